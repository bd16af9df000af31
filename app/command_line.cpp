// Parsing the viewer's command line into TViewerOptions, in the manner of the
// tools: options anywhere, one path, errors as one line of text.
#include "app/command_line.h"

#include <charconv>
#include <cstdio>

namespace skyloom {

namespace {

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

std::string ParseViewerArguments(const std::vector<std::string_view>& args,
                                 TViewerOptions& options) {
  bool have_definition = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
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
