// Skyloom installed the way a user or a package installs it: cmake --install
// into a fresh prefix, then the tree is checked file by file, the desktop
// entry validated, every man page rendered and compared with its program's
// usage, every program asked its version, and the installed viewer run from
// an empty folder on the X display (skipped without one).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/png.h"
#include "runtime/open.h"
#include "runtime/strings.h"
#include "skyloom_version.h"
#include "tests/support/programs.h"
#include "tests/xdisplay/viewer_process.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

const fs::path PREFIX = SKYLOOM_INSTALL_PREFIX;
constexpr const char* PROGRAMS[] = {"skyloom", "skyloom-defs", "skyloom-font", "skyloom-blend"};
constexpr int ICON_SIZES[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int VIEWER_FRAMES_TIMEOUT_MS = 30000;

using Outcome = test_support::ProgramOutcome;
using test_support::Quoted;
using test_support::ReadFile;

// Runs a shell command line, its output and error caught in files beside
// the prefix.
Outcome RunShell(const std::string& command) {
  return test_support::RunCommand(command, PREFIX.parent_path());
}

// Every "--name" in a text; in man page source the hyphens are "\-".
std::set<std::string> LongOptions(std::string text) {
  text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
  std::set<std::string> options;
  const std::regex option(R"(--[a-z][a-z0-9-]*)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it) {
    options.insert(it->str());
  }
  return options;
}

std::string Joined(const std::set<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += word + " ";
  return text;
}

fs::path ManPage(const std::string& program) {
  return PREFIX / "share/man/man1" / (program + ".1");
}

// One install for the whole program: the prefix is emptied first, so that
// nothing left by an earlier run can stand in for a missing file.
class InstalledTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fs::remove_all(PREFIX);
    install = RunShell(std::string(SKYLOOM_CMAKE) + " --install " + Quoted(SKYLOOM_BINARY_DIR) +
                       " --prefix " + Quoted(PREFIX));
  }
  void SetUp() override {
    ASSERT_EQ(install.status, 0) << "cmake --install failed:\n" << install.out << install.err;
  }
  static Outcome install;
};
Outcome InstalledTree::install;

TEST_F(InstalledTree, HoldsEveryFileWhereItBelongs) {
  std::vector<std::string> files = {
      "share/applications/skyloom.desktop",
      "share/doc/skyloom/README.md",
      "share/doc/skyloom/LICENSE",
  };
  for (const char* program : PROGRAMS) {
    files.push_back(std::string("bin/") + program);
    files.push_back(std::string("share/man/man1/") + program + ".1");
  }
  for (const int size : ICON_SIZES) {
    const std::string side = std::to_string(size);
    files.push_back("share/icons/hicolor/" + side + "x" + side + "/apps/skyloom.png");
  }
  for (const std::string& file : files) {
    EXPECT_TRUE(fs::is_regular_file(PREFIX / file)) << file;
  }
  for (const char* program : PROGRAMS) {
    const fs::perms perms = fs::status(PREFIX / "bin" / program).permissions();
    EXPECT_NE(perms & fs::perms::others_exec, fs::perms::none) << program;
  }
  // The build-time helpers stay in the build.
  EXPECT_FALSE(fs::exists(PREFIX / "bin/skyloom_make_man_page"));
  EXPECT_FALSE(fs::exists(PREFIX / "bin/skyloom_make_icon"));
}

TEST_F(InstalledTree, DesktopEntryValidatesAndOpensAFile) {
  const fs::path entry = PREFIX / "share/applications/skyloom.desktop";
  const Outcome check = RunShell("desktop-file-validate " + Quoted(entry));
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_EQ(check.out.find("error"), std::string::npos) << check.out;
  EXPECT_EQ(check.out.find("warning"), std::string::npos) << check.out;

  const std::string text = ReadFile(entry);
  for (const char* line :
       {"Type=Application\n", "Name=Skyloom\n", "Exec=skyloom %f\n", "Icon=skyloom\n",
        "Terminal=false\n", "Categories=Education;Science;Astronomy;\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  EXPECT_NE(text.find("\nComment="), std::string::npos);
}

TEST_F(InstalledTree, IconsArePngPicturesOfTheirSize) {
  for (const int size : ICON_SIZES) {
    const std::string side = std::to_string(size);
    const fs::path file = PREFIX / "share/icons/hicolor" / (side + "x" + side) / "apps/skyloom.png";
    SCOPED_TRACE(file.string());
    const StreamRef stream = OpenInput(FromBytes(file.string()));
    ASSERT_TRUE(stream);
    const PixmapRef icon = ReadPNG(stream);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, size);
    EXPECT_EQ(icon->height, size);
    const PixmapRef rgba = icon->Convert(PIXEL_RGBA8888);
    EXPECT_EQ(rgba->ReadPixel(0, 0) >> 24, 0u) << "the corner is transparent";
    EXPECT_EQ(rgba->ReadPixel(size / 2, size / 2) >> 24, 0xFFu) << "the middle is opaque";
  }
}

TEST_F(InstalledTree, ManPagesRenderWithoutWarnings) {
  for (const char* program : PROGRAMS) {
    SCOPED_TRACE(program);
    const Outcome page =
        RunShell("MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l " + Quoted(ManPage(program)));
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(page.err, "");
    for (const char* heading :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES", "EXAMPLES"}) {
      EXPECT_NE(page.out.find("\n" + std::string(heading) + "\n"), std::string::npos) << heading;
    }
    if (std::string(program) == "skyloom") {
      EXPECT_NE(page.out.find("\nCONTROLS\n"), std::string::npos);
    }
  }
}

TEST_F(InstalledTree, ManPagesListExactlyTheOptionsOfTheUsage) {
  for (const char* program : PROGRAMS) {
    SCOPED_TRACE(program);
    const Outcome usage = RunShell(Quoted(PREFIX / "bin" / program) + " --help");
    ASSERT_EQ(usage.status, 0) << usage.err;
    const std::set<std::string> in_usage = LongOptions(usage.out);
    EXPECT_TRUE(in_usage.count("--version"));
    EXPECT_EQ(Joined(LongOptions(ReadFile(ManPage(program)))), Joined(in_usage));
  }
}

TEST_F(InstalledTree, EveryProgramPrintsItsNameAndVersion) {
  for (const char* program : PROGRAMS) {
    const Outcome version = RunShell(Quoted(PREFIX / "bin" / program) + " --version");
    EXPECT_EQ(version.status, 0) << program;
    EXPECT_EQ(version.out, std::string(program) + " " + SKYLOOM_VERSION + "\n");
    EXPECT_EQ(version.err, "") << program;
  }
  EXPECT_TRUE(std::regex_match(std::string(SKYLOOM_VERSION), std::regex(R"(0\.\d+\.\d+)")));
}

// The installed viewer needs no file beside it: started in an empty folder it
// runs its frames on the display and leaves the folder as empty as it was.
TEST_F(InstalledTree, ViewerRunsFromAnEmptyFolder) {
  if (!xtest::HaveXServer()) GTEST_SKIP() << "no DISPLAY";
  std::optional<xtest::ViewerProcess> viewer;
  int status = -1;
  // The X server now and then refuses a connection that follows closely on
  // another client's end: such a start is tried again, up to three in all.
  for (int attempt = 0; attempt < 3; ++attempt) {
    viewer.emplace(std::vector<std::string>{"--frames", "5"});
    ASSERT_FALSE(viewer->folder().empty());
    status = viewer->WaitForExit(VIEWER_FRAMES_TIMEOUT_MS);
    if (status != 1 || viewer->Stderr().find("cannot open the display") == std::string::npos) break;
  }
  EXPECT_EQ(status, 0) << viewer->Stderr();
  EXPECT_TRUE(fs::is_empty(viewer->folder()));
}

}  // namespace
}  // namespace skyloom
