// The skyloom-blend tool run as a program: the composite it saves with the
// default mode and with a chosen mode, opacity and flags, the list of mode
// names, and its exit statuses and messages for failures and usage errors.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/blend.h"
#include "imaging/png.h"
#include "runtime/open.h"
#include "runtime/pixmap.h"
#include "runtime/strings.h"
#include "tests/support/programs.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

using Outcome = test_support::ProgramOutcome;
using test_support::ReadFile;

class BlendToolTest : public testing::Test {
 protected:
  void SetUp() override {
    tool = fs::path(SKYLOOM_BINARY_DIR) / "bin" / "skyloom-blend";
    if (!fs::exists(tool)) GTEST_SKIP() << "skyloom-blend is not built";
    // One folder per test: CTest may run the tests of this suite in parallel.
    dir = fs::path(SKYLOOM_BINARY_DIR) / "blend_tool_test" /
          testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
  }

  // Runs the tool with arguments already quoted for the shell.
  Outcome Run(const std::string& arguments) const {
    return test_support::RunCommand(test_support::Quoted(tool) + " " + arguments + " </dev/null",
                                    dir);
  }

  // Saves an RGBA image of the given rows of 0xAARRGGBB pixels; returns its
  // quoted path.
  std::string Image(const char* name, const std::vector<std::vector<uint32_t>>& rows) const {
    PixmapRef pixmap = TPixmap::Create(static_cast<int>(rows[0].size()),
                                       static_cast<int>(rows.size()), PIXEL_RGBA8888);
    for (size_t y = 0; y < rows.size(); ++y) {
      for (size_t x = 0; x < rows[y].size(); ++x) {
        pixmap->WritePixel(static_cast<int>(x), static_cast<int>(y), rows[y][x]);
      }
    }
    EXPECT_EQ(SavePixmapAsPNG(pixmap, FromBytes((dir / name).string()), 6), 1) << name;
    return Path(name);
  }

  std::string Path(const char* name) const { return "'" + (dir / name).string() + "'"; }

  // The pixels of a saved image, row by row.
  std::vector<std::vector<uint32_t>> Pixels(const char* name) const {
    PixmapRef pixmap = ReadPNG(OpenInput(FromBytes((dir / name).string())));
    if (!pixmap) return {};
    std::vector<std::vector<uint32_t>> rows(pixmap->height);
    for (int y = 0; y < pixmap->height; ++y) {
      for (int x = 0; x < pixmap->width; ++x) rows[y].push_back(pixmap->ReadPixel(x, y));
    }
    return rows;
  }

  fs::path tool;
  fs::path dir;
};

TEST_F(BlendToolTest, CompositesWithNormalByDefault) {
  const std::string top =
      Image("top.png", {{0x80000000u, 0xFF123456u}, {0x00FFFFFFu, 0x80000000u}});
  const std::string bottom =
      Image("bottom.png", {{0xFFFFFFFFu, 0x80ABCDEFu}, {0xFF102030u, 0x00FFFFFFu}});
  const Outcome outcome = Run(top + " " + bottom + " " + Path("out.png"));
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  // Half black over opaque white and over clear white, an opaque source, and
  // a clear one that leaves the destination.
  const std::vector<std::vector<uint32_t>> expected = {{0xFF7F7F7Fu, 0xFF123456u},
                                                       {0xFF102030u, 0x807F7F7Fu}};
  EXPECT_EQ(Pixels("out.png"), expected);
}

TEST_F(BlendToolTest, CompositesWithTheChosenModeOpacityAndFlags) {
  const std::string top = Image("top.png", {{0xFFFF8000u, 0xFF00FF00u}});
  const std::string bottom = Image("bottom.png", {{0xFF808080u, 0x40FFFFFFu}});
  const Outcome outcome =
      Run("--mode Multiply --opacity 128 --flags 7 " + top + " " + bottom + " " + Path("out.png"));
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // Opacity 128 makes a = 128. Multiply gives (128, 64, 0) and (0, 255, 0);
  // each channel is (m * 128 + d * 127) div 255, and without flag 8 the
  // destination's alpha stays.
  const std::vector<std::vector<uint32_t>> expected = {{0xFF805F3Fu, 0x407FFF7Fu}};
  EXPECT_EQ(Pixels("out.png"), expected);
}

TEST_F(BlendToolTest, ListsEveryModeOnce) {
  const Outcome outcome = Run("--list");
  ASSERT_EQ(outcome.status, 0);
  std::istringstream lines(outcome.out);
  std::set<std::string> names;
  int count = 0;
  for (std::string name; std::getline(lines, name); ++count) {
    EXPECT_NE(FindBlendMode(name), nullptr) << name;
    names.insert(name);
  }
  EXPECT_EQ(count, 144);
  EXPECT_EQ(names.size(), 144u);
}

TEST_F(BlendToolTest, FailuresExitWithOneLineAndUsageErrorsWithTheUsage) {
  const std::string small = Image("small.png", {{0xFF000000u, 0xFF000000u}});
  const std::string tall = Image("tall.png", {{0xFF000000u, 0xFF000000u}, {0, 0}});
  std::ofstream(dir / "text.png") << "not a PNG image";
  const std::string out = Path("out.png");
  struct Case {
    const char* what;
    std::string arguments;
    int status;
  };
  const Case cases[] = {
      {"sizes differ", small + " " + tall + " " + out, 1},
      {"missing top", Path("none.png") + " " + small + " " + out, 1},
      {"bottom is no PNG", small + " " + Path("text.png") + " " + out, 1},
      {"output folder missing", small + " " + small + " " + Path("none/out.png"), 1},
      {"output is a folder", small + " " + small + " " + Path(""), 1},
      {"unknown mode", "--mode multiply " + small + " " + small + " " + out, 2},
      {"mode without a name", small + " " + small + " " + out + " --mode", 2},
      {"opacity not a number", "--opacity half " + small + " " + small + " " + out, 2},
      {"flags not whole", "--flags 1.5 " + small + " " + small + " " + out, 2},
      {"unknown option", "--quiet " + small + " " + small + " " + out, 2},
      {"no arguments", "", 2},
      {"two paths", small + " " + small, 2},
      {"four paths", small + " " + small + " " + out + " " + out, 2},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_EQ(outcome.out, "") << c.what;
    EXPECT_TRUE(outcome.err.starts_with("skyloom-blend: ")) << c.what << ": " << outcome.err;
    if (c.status == 1) {
      EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << c.what << ": " << outcome.err;
    } else {
      EXPECT_NE(outcome.err.find("\nusage: skyloom-blend"), std::string::npos) << c.what;
    }
  }
  EXPECT_FALSE(fs::exists(dir / "out.png"));
}

}  // namespace
}  // namespace skyloom
