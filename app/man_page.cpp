// Writing skyloom(1): fixed sections (description, exit statuses, files,
// examples) around the options and controls, which come from the viewer's
// own tables, each entry as a tagged paragraph.
#include "app/man_page.h"

#include "app/command_line.h"
#include "input/controls.h"

namespace skyloom {

namespace {

constexpr const char* NAME_AND_SYNOPSIS_HEAD =
    ".SH NAME\n"
    "skyloom \\- viewer for a two\\-dimensional orbital system\n"
    ".SH SYNOPSIS\n"
    ".nh\n"
    ".ad l\n"
    ".B skyloom\n";

// The synopsis is set ragged and unhyphenated; the description restores both.
constexpr const char* DESCRIPTION =
    ".ad\n"
    ".hy\n"
    ".SH DESCRIPTION\n"
    ".B skyloom\n"
    "shows an orbital system full screen (or, with\n"
    ".BR \\-\\-window ,\n"
    "in a window): bodies that stand still or move on\n"
    "rotated, scaled, offset ellipses around a parent, advancing a fixed angle each\n"
    "frame. Without\n"
    ".I DEFINITION\n"
    "it shows its built\\-in system, the star Sol with one planet; otherwise the\n"
    "system that the definition file\n"
    ".I DEFINITION\n"
    "(or the embedded resource\n"
    ".BI incbin:: NAME\\fR)\n"
    "describes. A file that cannot be opened or parsed is reported in one line\n"
    "before the display opens.\n"
    ".PP\n"
    "The screen is tiled by panes that are split and merged with the buttons on\n"
    "each pane's frame; every pane has its own camera, which is panned, zoomed and\n"
    "locked onto a body to follow it. The name of the body under the pointer, or\n"
    "else of the selected one, stands in the pane's top\\-left corner.\n"
    "Every resource the viewer needs is built into the program.\n";

constexpr const char* CLOSING_SECTIONS =
    ".SH EXIT STATUS\n"
    ".TP\n"
    ".B 0\n"
    "Escape was held, the window was closed, the frames of\n"
    ".B \\-\\-frames\n"
    "were run, or\n"
    ".B \\-\\-help\n"
    "or\n"
    ".B \\-\\-version\n"
    "printed its text.\n"
    ".TP\n"
    ".B 1\n"
    "The definition could not be opened or parsed, or no display could be opened;\n"
    "one line with the reason goes to standard error.\n"
    ".TP\n"
    ".B 2\n"
    "The command line is not well formed: a one\\-line error and the usage go to\n"
    "standard error.\n"
    ".SH FILES\n"
    ".TP\n"
    ".I screenshots/HH.MM.SS.png\n"
    "Written while F11 is held, in the folder\n"
    ".I screenshots\n"
    "of the working directory, named after the local time. The folder must\n"
    "already exist; without it nothing is written. Each file is written under a\n"
    "temporary name and renamed when complete.\n"
    ".PP\n"
    "Nothing else is read or written but the\n"
    ".I DEFINITION\n"
    "file and the files it includes.\n"
    ".SH EXAMPLES\n"
    "Show a definition of your own:\n"
    ".PP\n"
    ".RS\n"
    ".B skyloom binary.txt\n"
    ".RE\n"
    ".PP\n"
    "Run the built\\-in system for 300 frames, then exit:\n"
    ".PP\n"
    ".RS\n"
    ".B skyloom \\-\\-frames 300\n"
    ".RE\n"
    ".SH SEE ALSO\n"
    ".BR skyloom\\-defs (1),\n"
    ".BR skyloom\\-font (1),\n"
    ".BR skyloom\\-blend (1)\n";

bool OnlyStopsAtOnce(const TViewerOption& option) {
  return option.name == "--help" || option.name == "--version";
}

// "\fB--frames\fR \fIN\fR": an option with its argument, for a synopsis or a tag.
std::string OptionWords(const TViewerOption& option) {
  std::string words = "\\fB" + ManText(option.name) + "\\fR";
  if (!option.argument.empty()) words += " \\fI" + ManText(option.argument) + "\\fR";
  return words;
}

std::string Synopsis() {
  std::string text;
  for (const TViewerOption& option : ViewerOptions()) {
    if (!OnlyStopsAtOnce(option)) text += "[" + OptionWords(option) + "]\n";
  }
  text += "[\\fIDEFINITION\\fR]\n";
  for (const TViewerOption& option : ViewerOptions()) {
    if (OnlyStopsAtOnce(option)) text += ".br\n.B skyloom\n" + OptionWords(option) + "\n";
  }
  return text;
}

std::string OptionsSection() {
  std::string text = ".SH OPTIONS\n";
  for (const TViewerOption& option : ViewerOptions()) {
    text += ".TP\n" + OptionWords(option) + "\n" + ManText(option.help) + ".\n";
  }
  return text;
}

std::string ControlsSection() {
  std::string text =
      ".SH CONTROLS\n"
      "The wheel and keys act on the pane under the pointer.\n";
  std::string_view section;
  for (const TControl& control : Controls()) {
    if (control.section != section) {
      section = control.section;
      text += ".SS " + ManText(section) + "\n";
    }
    text += ".TP\n\\fB" + ManText(control.input) + "\\fR\n" + ManText(control.effect) + ".\n";
  }
  return text;
}

}  // namespace

std::string ManText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  bool line_start = true;
  for (const char c : text) {
    if (line_start && (c == '.' || c == '\'')) out += "\\&";
    line_start = false;
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else if (c == '\n' || c == '\r') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string ViewerManPage(std::string_view version) {
  return ".TH SKYLOOM 1 \"\" \"Skyloom " + ManText(version) + "\" \"User Commands\"\n" +
         NAME_AND_SYNOPSIS_HEAD + Synopsis() + DESCRIPTION + OptionsSection() + ControlsSection() +
         CLOSING_SECTIONS;
}

}  // namespace skyloom
