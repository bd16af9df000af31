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
    {"--help", "", "show this text"},
    {"--version", "", "print the program's name and version, then exit"},
};

constexpr const char* USAGE_HEAD =
    "Shows an orbital system full screen: the one the definition file DEFINITION\n"
    "(or the embedded resource incbin::NAME) describes, else the built-in one.\n"
    "Holding Escape or closing the window quits.\n";

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
