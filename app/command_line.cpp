// Parsing the viewer's command line into TViewerOptions, in the manner of the
// tools: options anywhere, one path, errors as one line of text.
#include "app/command_line.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace skyloom {

namespace {

constexpr TViewerOption OPTIONS[] = {
    {"--frames", "N", "run N frames (a whole number from 1 up), then exit"},
    {"--no-watch", "", "do not reload DEFINITION when its files change (Ctrl+R still does)"},
    {"--paused", "", "start with time paused (Space resumes, . steps)"},
    {"--window", "[WxH]", "a resizable window, WxH pixels (at least 320x240)"},
    {"--help", "", "show this text"},
    {"--version", "", "print the program's name and version, then exit"},
};

constexpr const char* USAGE_HEAD =
    "Shows an orbital system full screen (or in a window): the one the definition\n"
    "file DEFINITION (or the embedded resource incbin::NAME) describes, else the\n"
    "built-in one.\n"
    "Holding Escape or closing the window quits; Alt+Enter switches between full\n"
    "screen and a window.\n";

// N of --frames: a whole number from 1 up in plain digits, nothing else.
bool ParseFrames(std::string_view text, int& frames) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  const char* end = text.data() + text.size();
  int value = 0;
  const auto [stop, fault] = std::from_chars(text.data(), end, value);
  if (fault != std::errc() || stop != end || value < 1) return false;
  frames = value;
  return true;
}

// A whole number of plain digits.
bool ParseWhole(std::string_view text, int& value) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  const char* end = text.data() + text.size();
  const auto [stop, fault] = std::from_chars(text.data(), end, value);
  return fault == std::errc() && stop == end;
}

// WxH of --window: two whole numbers joined by "x", at least the smallest
// window size.
bool ParseWindowSize(std::string_view text, int& width, int& height) {
  const size_t cross = text.find('x');
  if (cross == std::string_view::npos) return false;
  int w = 0, h = 0;
  if (!ParseWhole(text.substr(0, cross), w) || !ParseWhole(text.substr(cross + 1), h)) {
    return false;
  }
  if (w < MIN_WINDOW_WIDTH || h < MIN_WINDOW_HEIGHT) return false;
  width = w;
  height = h;
  return true;
}

// An argument after --window is its size when it starts with a digit.
bool LooksLikeSize(std::string_view text) {
  return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

std::string BadWindowSize(std::string_view text) {
  return "--window needs a size WxH of at least " + std::to_string(MIN_WINDOW_WIDTH) + "x" +
         std::to_string(MIN_WINDOW_HEIGHT) + ", not \"" + OneLineText(text) + "\"";
}

}  // namespace

std::span<const TViewerOption> ViewerOptions() {
  return OPTIONS;
}

std::string ViewerUsage() {
  std::string synopsis = "usage: skyloom";
  size_t width = 0;
  for (const TViewerOption& option : OPTIONS) {
    if (option.name == "--help" || option.name == "--version") continue;
    synopsis += " [" + std::string(option.name);
    if (!option.argument.empty()) synopsis += " " + std::string(option.argument);
    synopsis += "]";
  }
  for (const TViewerOption& option : OPTIONS) {
    width = std::max(width, option.name.size() + 1 + option.argument.size());
  }
  std::string usage = synopsis + " [DEFINITION]\n\n" + USAGE_HEAD + "\n";
  for (const TViewerOption& option : OPTIONS) {
    std::string left = std::string(option.name);
    if (!option.argument.empty()) left += " " + std::string(option.argument);
    usage +=
        "  " + left + std::string(width - left.size() + 2, ' ') + std::string(option.help) + "\n";
  }
  return usage;
}

std::string ParseViewerArguments(const std::vector<std::string_view>& args,
                                 TViewerOptions& options) {
  bool have_definition = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--no-watch") {
      options.watch = false;
    } else if (arg == "--paused") {
      options.paused = true;
    } else if (arg == "--frames") {
      if (++i == args.size()) return "--frames needs a number of frames";
      if (!ParseFrames(args[i], options.frames)) {
        return "--frames needs a whole number from 1 up, not \"" + OneLineText(args[i]) + "\"";
      }
    } else if (arg == "--window" || arg.starts_with("--window=")) {
      options.window = true;
      options.window_width = options.window_height = 0;
      std::string_view size;
      if (arg != "--window") {
        size = arg.substr(std::string_view("--window=").size());
      } else if (i + 1 < args.size() && LooksLikeSize(args[i + 1])) {
        size = args[++i];
      } else {
        continue;
      }
      if (!ParseWindowSize(size, options.window_width, options.window_height)) {
        return BadWindowSize(size);
      }
    } else if (arg.size() > 1 && arg.front() == '-') {
      return "unknown option " + OneLineText(arg);
    } else if (arg.empty()) {
      return "the DEFINITION path is empty";
    } else if (have_definition) {
      return "more than one DEFINITION given";
    } else {
      options.definition = arg;
      have_definition = true;
    }
  }
  return "";
}

std::string OneLineText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace skyloom
