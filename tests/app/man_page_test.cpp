// The viewer's man page: text escaped for troff, and a page whose OPTIONS
// and CONTROLS sections carry every entry of the options and controls tables.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/man_page.h"
#include "input/controls.h"

namespace skyloom {
namespace {

TEST(ManText, EscapesWhatTroffWouldReadAsMarkup) {
  const struct {
    std::string_view in;
    std::string out;
  } cases[] = {
      {"plain words", "plain words"},
      {"--frames", "\\-\\-frames"},
      {"top-left", "top\\-left"},
      {"a\\b", "a\\eb"},
      {".starts a request", "\\&.starts a request"},
      {"'starts one too", "\\&'starts one too"},
      {"a dot. inside", "a dot. inside"},
      {"two\nlines", "two lines"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ManText(c.in), c.out) << c.in;
}

// The lines of the page from a section heading to the next heading.
std::string Section(const std::string& page, const std::string& heading) {
  const size_t start = page.find(".SH " + heading + "\n");
  if (start == std::string::npos) return "";
  const size_t end = page.find("\n.SH ", start + 1);
  return page.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

TEST(ViewerManPage, OptionsSectionHoldsEveryOptionWithItsHelp) {
  const std::string options = Section(ViewerManPage("9.8.7"), "OPTIONS");
  ASSERT_FALSE(options.empty());
  for (const TViewerOption& option : ViewerOptions()) {
    std::string tag = ".TP\n\\fB" + ManText(option.name) + "\\fR";
    if (!option.argument.empty()) tag += " \\fI" + ManText(option.argument) + "\\fR";
    EXPECT_NE(options.find(tag + "\n" + ManText(option.help) + ".\n"), std::string::npos)
        << option.name;
  }
}

TEST(ViewerManPage, ControlsSectionHoldsEveryControlUnderItsSection) {
  const std::string controls = Section(ViewerManPage("9.8.7"), "CONTROLS");
  ASSERT_FALSE(controls.empty());
  size_t at = 0;
  for (const TControl& control : Controls()) {
    const std::string subsection = ".SS " + ManText(control.section) + "\n";
    const size_t heading = controls.rfind(subsection);
    const std::string entry =
        ".TP\n\\fB" + ManText(control.input) + "\\fR\n" + ManText(control.effect) + ".\n";
    const size_t found = controls.find(entry, at);
    ASSERT_NE(found, std::string::npos) << control.input;
    EXPECT_LT(heading, found) << control.input << " comes after its section heading";
    at = found + entry.size();  // the table's order is kept
  }
}

TEST(ViewerManPage, HeaderNamesTheVersionAndSynopsisTheOptions) {
  const std::string page = ViewerManPage("9.8.7");
  EXPECT_TRUE(page.starts_with(".TH SKYLOOM 1 \"\" \"Skyloom 9.8.7\" \"User Commands\"\n"));
  EXPECT_TRUE(page.ends_with("\n"));
  const std::string synopsis = Section(page, "SYNOPSIS");
  // Every option but --help and --version, in the table's order, then DEFINITION.
  size_t at = 0;
  for (const TViewerOption& option : ViewerOptions()) {
    if (option.name == "--help" || option.name == "--version") continue;
    const size_t found = synopsis.find("[\\fB" + ManText(option.name) + "\\fR", at);
    ASSERT_NE(found, std::string::npos) << option.name;
    at = found;
  }
  EXPECT_NE(synopsis.find("]\n[\\fIDEFINITION\\fR]\n", at), std::string::npos);
  EXPECT_NE(synopsis.find(".B skyloom\n\\fB\\-\\-version\\fR\n"), std::string::npos);
  for (const char* heading : {"NAME", "DESCRIPTION", "EXIT STATUS", "FILES", "EXAMPLES"}) {
    EXPECT_FALSE(Section(page, heading).empty()) << heading;
  }
}

}  // namespace
}  // namespace skyloom
