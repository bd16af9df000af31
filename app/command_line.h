// The viewer's command line (ViewerUsage() shows its synopsis): parsed into
// options without printing anything, so that main decides what goes where.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom {

// What the command line asks of the viewer.
struct TViewerOptions {
  int frames = 0;          // frames to run before exiting with 0; 0: no limit
  std::string definition;  // file path or "incbin::NAME" as given; empty: the embedded one
  bool help = false;       // --help: print ViewerUsage() to standard output, exit 0
  bool version = false;    // --version: print "skyloom VERSION" to standard output, exit 0
  bool watch = true;       // follow edits of a DEFINITION file; --no-watch turns it off
  bool paused = false;     // --paused: start with simulated time paused
  bool window = false;     // --window: a resizable window instead of full screen
  // --window WxH: the window's size; 0 x 0: the default size for the screen.
  int window_width = 0;
  int window_height = 0;
};

// The smallest window --window accepts (and the window ever takes).
constexpr int MIN_WINDOW_WIDTH = 320;
constexpr int MIN_WINDOW_HEIGHT = 240;

// One option of the viewer's command line, as --help and the man page list it.
struct TViewerOption {
  std::string_view name;      // "--frames"
  std::string_view argument;  // "N", or "" for a flag
  std::string_view help;      // one line: what it does
};

// Every option in the order --help lists them.
std::span<const TViewerOption> ViewerOptions();

// The text --help prints, and a usage error prints after its one-line
// message: the synopsis, a short description, then one line per option.
std::string ViewerUsage();

// Fills options from the arguments (without the program name) and returns
// "" when they are well formed. Otherwise returns a one-line message without
// a line end or the program's name, e.g. "unknown option --fast": main then
// prints it and ViewerUsage() to standard error and exits with 2.
//
// Every argument that starts with "-" (but "-" alone) is an option: "--help"
// or "-h", "--version", "--no-watch", "--paused", and "--frames N", where N is a whole
// number from 1 up in plain digits; a repeated --frames counts the last time; "--window",
// optionally followed by its size WxH (taken as the size when the next argument starts
// with a digit) or written "--window=WxH", where W and H are whole numbers of at least
// 320 and 240. Any other argument is the DEFINITION; an empty one, or a second one, is an
// error.
std::string ParseViewerArguments(const std::vector<std::string_view>& args,
                                 TViewerOptions& options);

// The bytes of text fit for one line of a message: control characters
// (below 0x20, and 0x7F) become "\xNN"; all other bytes stay as they are.
std::string OneLineText(std::string_view text);

}  // namespace skyloom
