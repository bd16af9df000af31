// The skyloom-font tool run as a program: exit statuses for usage errors and
// failures, measuring the label font, building from a glyph source, and
// rendering and exporting to files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime/open.h"
#include "runtime/strings.h"
#include "tests/text/text_fixture.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
};

class FontToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tool = fs::path(SKYLOOM_BINARY_DIR) / "bin" / "skyloom-font";
    if (!fs::exists(tool)) GTEST_SKIP() << "skyloom-font is not built";
    // One folder per test: CTest may run the tests of this suite in parallel.
    dir = fs::path(SKYLOOM_BINARY_DIR) / "font_tool_test" /
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
  }

  // Runs the tool with arguments already quoted for the shell; standard error
  // is dropped, standard output kept.
  Outcome Run(const std::string& arguments) const {
    const std::string command = "'" + tool.string() + "' " + arguments + " 2>/dev/null";
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.out.append(buffer, n);
    const int raw = pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
  }

  std::string Path(const char* name) const { return "'" + (dir / name).string() + "'"; }

  fs::path tool;
  fs::path dir;
};

TEST_F(FontToolTest, ExitStatusesForUsageErrorsAndFailures) {
  struct Case {
    std::string arguments;
    int status;
  };
  const std::string label = "incbin::font_data/brisle.ift";
  const Case cases[] = {
      {"", 2},
      {"frobnicate x", 2},
      {"info", 2},
      {"info " + label + " extra", 2},
      {"measure " + label + " Hi --box 1 2", 2},
      {"measure " + label + " Hi --box 1 two 3", 2},
      {"render " + label + " Hi x.png --align middle", 2},
      {"render " + label + " Hi x.png --colour FFF", 2},
      {"info /no/such/font.ift", 1},
      {"info incbin::gradient.png", 1},
      {"build /no/such/source.glyphs " + Path("x.ift"), 1},
      {"export " + label + " /no/such/dir/out", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.arguments).status, c.status) << c.arguments;
}

TEST_F(FontToolTest, MeasuresTextWithTheLabelFont) {
  struct Case {
    std::string arguments;
    std::string out;
  };
  const Case cases[] = {
      {"'Sol 1'", "21 8 5\n"},
      {"'ab' --box 6 0 0", "4 19 2\n"},
      {"'\xc3\x85'", "5 8 1\n"},  // UTF-8 for code 197
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run("measure incbin::font_data/brisle.ift " + c.arguments);
    EXPECT_EQ(outcome.status, 0) << c.arguments;
    EXPECT_EQ(outcome.out, c.out) << c.arguments;
  }
}

TEST_F(FontToolTest, BuildsRendersAndExports) {
  const std::string source =
      "'" + std::string(SKYLOOM_SOURCE_DIR) + "/assets/font_data/brisle.glyphs'";
  ASSERT_EQ(Run("build " + source + " " + Path("built.ift")).status, 0);
  const Outcome info = Run("info " + Path("built.ift"));
  EXPECT_EQ(info.status, 0);
  EXPECT_NE(info.out.find("cell: 6 x 8"), std::string::npos) << info.out;

  ASSERT_EQ(Run("render " + Path("built.ift") + " 'Hi\nyou' " + Path("text.png") +
                " --colour FF00FF00 --align right")
                .status,
            0);
  PixmapRef picture = ReadPNG(OpenInput(FromBytes((dir / "text.png").string())));
  ASSERT_TRUE(picture);
  // "you" (4 + 1 + 4 + 1 + 4) is the widest line; two lines are 19 high.
  EXPECT_EQ(picture->width, 14);
  EXPECT_EQ(picture->height, 19);
  int green = 0;
  for (int y = 0; y < picture->height; ++y) {
    for (int x = 0; x < picture->width; ++x) {
      const uint32_t p = picture->ReadPixel(x, y);
      EXPECT_TRUE(p == 0xFF00FF00u || p == 0) << std::hex << p;
      green += p == 0xFF00FF00u;
    }
  }
  EXPECT_GT(green, 20);

  ASSERT_EQ(Run("export " + Path("built.ift") + " " + Path("exported")).status, 0);
  EXPECT_TRUE(fs::exists(dir / "exported.png"));
  EXPECT_EQ(fs::file_size(dir / "exported.dat"), 8u + 7 + 23 + 28 + 1024);
}

}  // namespace
}  // namespace skyloom
