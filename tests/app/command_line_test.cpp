// The viewer's command line: which argument lists give which options, which
// are usage errors and what those errors say, and one-line message text.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace skyloom {
namespace {

struct ArgsCase {
  const char* name;
  std::vector<std::string_view> args;
  std::string error = "";  // "" when the arguments are well formed
  int frames = 0;
  std::string definition = "";
  bool help = false;
  bool version = false;
  bool watch = true;
  bool paused = false;
};

TEST(ParseViewerArguments, OptionsOrUsageErrors) {
  const ArgsCase cases[] = {
      {"no arguments: embedded definition, no limit", {}, ""},
      {"a path", {"examples/binary.txt"}, "", 0, "examples/binary.txt"},
      {"an embedded url",
       {"incbin::game_solar_systemdef.txt"},
       "",
       0,
       "incbin::game_solar_systemdef.txt"},
      {"frames then path", {"--frames", "300", "x.txt"}, "", 300, "x.txt"},
      {"path then frames", {"x.txt", "--frames", "300"}, "", 300, "x.txt"},
      {"frames alone", {"--frames", "1"}, "", 1, ""},
      {"the largest int", {"--frames", "2147483647"}, "", 2147483647, ""},
      {"repeated frames: the last counts", {"--frames", "5", "--frames", "7"}, "", 7, ""},
      {"a lone dash is a path", {"-"}, "", 0, "-"},
      {"--help", {"--help"}, "", 0, "", true},
      {"-h", {"-h"}, "", 0, "", true},
      {"help beside other options", {"--frames", "3", "a.txt", "--help"}, "", 3, "a.txt", true},
      {"--version", {"--version"}, "", 0, "", false, true},
      {"version beside a path", {"a.txt", "--version"}, "", 0, "a.txt", false, true},
      {"a short -v is not --version", {"-v"}, "unknown option -v"},
      {"version glued to a value", {"--version=1"}, "unknown option --version=1"},
      {"no-watch before a path", {"--no-watch", "a.txt"}, "", 0, "a.txt", false, false, false},
      {"no-watch after a path and frames",
       {"a.txt", "--frames", "2", "--no-watch"},
       "",
       2,
       "a.txt",
       false,
       false,
       false},
      {"no-watch alone", {"--no-watch"}, "", 0, "", false, false, false},
      {"--paused", {"--paused"}, "", 0, "", false, false, true, true},
      {"paused among the others",
       {"x.txt", "--paused", "--frames", "2"},
       "",
       2,
       "x.txt",
       false,
       false,
       true,
       true},
      {"paused twice", {"--paused", "--paused"}, "", 0, "", false, false, true, true},

      {"frames without N", {"--frames"}, "--frames needs a number of frames"},
      {"frames without N after a path", {"a.txt", "--frames"}, "--frames needs a number of frames"},
      {"frames 0", {"--frames", "0"}, "--frames needs a whole number from 1 up, not \"0\""},
      {"frames -1", {"--frames", "-1"}, "--frames needs a whole number from 1 up, not \"-1\""},
      {"frames 12x", {"--frames", "12x"}, "--frames needs a whole number from 1 up, not \"12x\""},
      {"frames beyond int",
       {"--frames", "99999999999"},
       "--frames needs a whole number from 1 up, not \"99999999999\""},
      {"frames empty", {"--frames", ""}, "--frames needs a whole number from 1 up, not \"\""},
      {"frames with a plus",
       {"--frames", "+5"},
       "--frames needs a whole number from 1 up, not \"+5\""},
      {"frames with a space",
       {"--frames", " 5"},
       "--frames needs a whole number from 1 up, not \" 5\""},
      {"frames 1.5", {"--frames", "1.5"}, "--frames needs a whole number from 1 up, not \"1.5\""},
      {"frames taking the next option",
       {"--frames", "--help"},
       "--frames needs a whole number from 1 up, not \"--help\""},
      {"unknown long option", {"--fast", "a.txt"}, "unknown option --fast"},
      {"unknown short option", {"-x"}, "unknown option -x"},
      {"glued frames value", {"--frames=3"}, "unknown option --frames=3"},
      {"no-watch with a value", {"--no-watch=1"}, "unknown option --no-watch=1"},
      {"no-watch misspelt", {"--nowatch"}, "unknown option --nowatch"},
      {"paused takes no value", {"--paused=1"}, "unknown option --paused=1"},
      {"a short paused", {"-p"}, "unknown option -p"},
      {"two paths", {"a.txt", "b.txt"}, "more than one DEFINITION given"},
      {"two paths around frames",
       {"a.txt", "--frames", "2", "b.txt"},
       "more than one DEFINITION given"},
      {"an empty path", {""}, "the DEFINITION path is empty"},
      {"a line end in an unknown option", {"--a\nb"}, "unknown option --a\\x0Ab"},
  };
  for (const ArgsCase& c : cases) {
    SCOPED_TRACE(c.name);
    TViewerOptions options;
    const std::string error = ParseViewerArguments(c.args, options);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(error.find('\n'), std::string::npos);
    if (!c.error.empty()) continue;
    EXPECT_EQ(options.frames, c.frames);
    EXPECT_EQ(options.definition, c.definition);
    EXPECT_EQ(options.help, c.help);
    EXPECT_EQ(options.version, c.version);
    EXPECT_EQ(options.watch, c.watch);
    EXPECT_EQ(options.paused, c.paused);
  }
}

struct WindowCase {
  const char* name;
  std::vector<std::string_view> args;
  std::string error = "";  // "" when the arguments are well formed
  bool window = false;
  int width = 0, height = 0;  // 0 x 0: the default size
  std::string definition = "";
};

TEST(ParseViewerArguments, WindowWithOrWithoutASize) {
  const std::string bad = "--window needs a size WxH of at least 320x240, not ";
  const WindowCase cases[] = {
      {"no option: full screen", {"a.txt"}, "", false, 0, 0, "a.txt"},
      {"alone", {"--window"}, "", true},
      {"before a path", {"--window", "a.txt"}, "", true, 0, 0, "a.txt"},
      {"after a path", {"a.txt", "--window"}, "", true, 0, 0, "a.txt"},
      {"with a size", {"--window", "800x600"}, "", true, 800, 600},
      {"with a size and a path", {"--window", "800x600", "a.txt"}, "", true, 800, 600, "a.txt"},
      {"glued size", {"--window=1024x700"}, "", true, 1024, 700},
      {"the smallest size", {"--window", "320x240"}, "", true, 320, 240},
      {"the last one counts", {"--window", "800x600", "--window"}, "", true, 0, 0},
      {"beside frames", {"--window", "--frames", "3"}, "", true, 0, 0},

      {"too narrow", {"--window", "319x240"}, bad + "\"319x240\""},
      {"too low", {"--window", "320x239"}, bad + "\"320x239\""},
      {"no height", {"--window", "800x"}, bad + "\"800x\""},
      {"no cross", {"--window", "800"}, bad + "\"800\""},
      {"capital X", {"--window", "800X600"}, bad + "\"800X600\""},
      {"a sign", {"--window", "800x+600"}, bad + "\"800x+600\""},
      {"two crosses", {"--window", "800x600x2"}, bad + "\"800x600x2\""},
      {"beyond int", {"--window", "99999999999x600"}, bad + "\"99999999999x600\""},
      {"empty glued size", {"--window="}, bad + "\"\""},
      {"a control character", {"--window=8\n00x600"}, bad + "\"8\\x0A00x600\""},
      {"a misspelling", {"--windows"}, "unknown option --windows"},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.name);
    TViewerOptions options;
    const std::string error = ParseViewerArguments(c.args, options);
    EXPECT_EQ(error, c.error);
    if (!c.error.empty()) continue;
    EXPECT_EQ(options.window, c.window);
    EXPECT_EQ(options.window_width, c.width);
    EXPECT_EQ(options.window_height, c.height);
    EXPECT_EQ(options.definition, c.definition);
  }
}

TEST(ViewerUsage, SynopsisFirstAndEndsWithALineEnd) {
  const std::string text = ViewerUsage();
  const std::string_view usage = text;
  EXPECT_TRUE(usage.starts_with(
      "usage: skyloom [--frames N] [--no-watch] [--paused] [--window [WxH]] [DEFINITION]\n"));
  EXPECT_TRUE(usage.ends_with("\n"));
  EXPECT_NE(usage.find("--help"), std::string_view::npos);
}

TEST(ViewerUsage, ListsEveryOptionOnALineOfItsOwn) {
  const std::string usage = ViewerUsage();
  for (const TViewerOption& option : ViewerOptions()) {
    const std::string line = "\n  " + std::string(option.name);
    EXPECT_NE(usage.find(line), std::string::npos) << option.name;
    EXPECT_NE(usage.find(std::string(option.help) + "\n"), std::string::npos) << option.name;
  }
}

TEST(OneLineText, ControlCharactersBecomeEscapes) {
  const struct {
    std::string_view in;
    std::string out;
  } cases[] = {
      {"plain path/x.txt", "plain path/x.txt"},
      {"a\nb\r", "a\\x0Ab\\x0D"},
      {std::string_view("\0\t\x1F\x7F", 4), "\\x00\\x09\\x1F\\x7F"},
      {"back\\slash", "back\\slash"},
      {"caf\xC3\xA9 \xFF", "caf\xC3\xA9 \xFF"},  // bytes from 0x80 up stay as given
  };
  for (const auto& c : cases) EXPECT_EQ(OneLineText(c.in), c.out) << c.out;
}

}  // namespace
}  // namespace skyloom
