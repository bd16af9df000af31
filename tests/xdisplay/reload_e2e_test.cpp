// The real viewer following its definition file on a 1024 x 768 X server: an
// edit in place and a save by rename show within a second, a broken save
// keeps the system and shows the red band at the bottom (and one line
// FILE:LINE:COLUMN: MESSAGE on standard error, naming the included file for
// a fault there), and the band goes with the next good save.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/xdisplay/screen_grab.h"
#include "tests/xdisplay/viewer_process.h"

namespace skyloom::xtest {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenW = 1024, kScreenH = 768;
constexpr uint32_t kDisc = 0x00FF00;
constexpr uint32_t kErrorBand = 0x800000;
// World (0, 0) on screen while the first pane's camera is at its start.
constexpr int kCentreX = 512, kCentreY = 384;
// A spot of the band's bottom row clear of its text.
constexpr int kBandX = 1000, kBandY = kScreenH - 1;
constexpr int kShowWithinMs = 1000;

std::string Star(int radius) {
  return "#root[ #body[ name: Star; x: 0; y: 0; radius: " + std::to_string(radius) + "; ]; ];";
}

// The width of the disc across its middle row, in pixels: twice its radius.
int DiscWidth(const ScreenImage& screen) {
  int width = 0;
  for (int x = kCentreX - 150; x <= kCentreX + 150; ++x) {
    if (screen.At(x, kCentreY) == kDisc) ++width;
  }
  return width;
}

bool Band(const ScreenImage& s) {
  return s.At(kBandX, kBandY) == kErrorBand;
}

// The lines the viewer printed on standard error.
std::vector<std::string> LinesOf(const std::string& printed) {
  std::vector<std::string> lines;
  std::istringstream in(printed);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Standard error, once the viewer has had time to print more than it should.
std::string PrintedAfterAWhile(ViewerProcess& viewer) {
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  return viewer.Stderr();
}

class ReloadE2ETest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
    window_ = StartWithWindow(viewer_, {"sys.txt"}, [](const std::string& folder) {
      std::ofstream(folder + "/sys.txt") << Star(20);
    });
    ASSERT_FALSE(window_.empty()) << viewer_->Stderr();
    path_ = viewer_->folder() + "/sys.txt";
    ASSERT_TRUE(ShownWithin([](const ScreenImage& s) { return DiscWidth(s) == 40; }, 5000))
        << DiscWidth(*GrabScreen(0, 0, kScreenW, kScreenH));
  }
  void TearDown() override { viewer_.reset(); }

  void Save(const std::string& text) { std::ofstream(path_, std::ios::trunc) << text; }
  void SaveByRename(const std::string& text) {
    std::ofstream(path_ + ".tmp", std::ios::trunc) << text;
    fs::rename(path_ + ".tmp", path_);
  }
  // Whether the screen shows what condition asks within the time.
  bool ShownWithin(const std::function<bool(const ScreenImage&)>& condition,
                   int timeout_ms = kShowWithinMs) {
    const ScreenImage screen = WaitForScreen(0, 0, kScreenW, kScreenH, condition, timeout_ms);
    return !screen.pixels.empty() && condition(screen);
  }
  static std::function<bool(const ScreenImage&)> DiscOf(int radius) {
    return [radius](const ScreenImage& s) { return DiscWidth(s) == 2 * radius && !Band(s); };
  }

  std::optional<ViewerProcess> viewer_;
  std::string window_;
  std::string path_;
};

TEST_F(ReloadE2ETest, EditsShowWithinASecondAndBrokenSavesShowTheBand) {
  Save(Star(40));
  EXPECT_TRUE(ShownWithin(DiscOf(40))) << "edit in place";

  SaveByRename(Star(60));
  EXPECT_TRUE(ShownWithin(DiscOf(60))) << "save by rename";

  // The text ends on line 3 after its 16 characters, with the body open.
  Save("#root[\n  #body[ name: Star;\n    radius: 10; ");
  EXPECT_TRUE(ShownWithin([](const ScreenImage& s) { return Band(s) && DiscWidth(s) == 120; }))
      << "broken save: band, and the last good system";
  const std::string printed = PrintedAfterAWhile(*viewer_);
  const std::vector<std::string> lines = LinesOf(printed);
  ASSERT_EQ(lines.size(), 1u) << printed;
  EXPECT_TRUE(
      lines[0].starts_with("skyloom: sys.txt:3:17: the text ends before its nodes are complete"))
      << lines[0];

  Save(Star(30));
  EXPECT_TRUE(ShownWithin(DiscOf(30))) << "fixed: the band goes";

  fs::remove(path_);
  EXPECT_TRUE(ShownWithin([](const ScreenImage& s) { return Band(s) && DiscWidth(s) == 60; }))
      << "deleted";
  SaveByRename(Star(25));
  EXPECT_TRUE(ShownWithin(DiscOf(25))) << "recreated";

  EXPECT_TRUE(viewer_->Running());
}

// A fault in an included file is named there, at its own line and column,
// and mending that file takes the band away.
TEST(ReloadE2E, AFaultInAnIncludedFileIsNamedThere) {
  if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  const std::string moon = "#body[ name: Moon; radius: 5; ];";
  std::optional<ViewerProcess> viewer;
  const std::string window = StartWithWindow(viewer, {"main.txt"}, [&](const std::string& folder) {
    std::ofstream(folder + "/main.txt")
        << "#root[\n  #body[ name: Star; x: 0; y: 0; radius: 20; ];\n"
           "  #include[ file: parts/moon.txt; ];\n];\n";
    fs::create_directory(folder + "/parts");
    std::ofstream(folder + "/parts/moon.txt") << moon;
  });
  ASSERT_FALSE(window.empty()) << viewer->Stderr();
  const auto disc = [](bool band) {
    return [band](const ScreenImage& s) { return DiscWidth(s) == 40 && Band(s) == band; };
  };
  ASSERT_FALSE(WaitForScreen(0, 0, kScreenW, kScreenH, disc(false), 5000).pixels.empty());
  const std::string moonpath = viewer->folder() + "/parts/moon.txt";

  // The "[" of "[Moon" on line 2 stands in column 16.
  std::ofstream(moonpath, std::ios::trunc) << "#body[\n  #body[ name: [Moon; ];\n];\n";
  EXPECT_TRUE(disc(true)(WaitForScreen(0, 0, kScreenW, kScreenH, disc(true), kShowWithinMs)))
      << "broken include: band, and the last good system";
  const std::string printed = PrintedAfterAWhile(*viewer);
  const std::vector<std::string> lines = LinesOf(printed);
  ASSERT_EQ(lines.size(), 1u) << printed;
  EXPECT_TRUE(
      lines[0].starts_with("skyloom: parts/moon.txt:2:16: \"[\" without a \"#\" of its own"))
      << lines[0];

  std::ofstream(moonpath, std::ios::trunc) << moon;
  EXPECT_TRUE(disc(false)(WaitForScreen(0, 0, kScreenW, kScreenH, disc(false), kShowWithinMs)))
      << "mended include: the band goes";
  EXPECT_TRUE(viewer->Running());
}

// With --no-watch a save changes nothing until Ctrl+R.
TEST(ReloadE2E, NoWatchWaitsForCtrlR) {
  if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  std::optional<ViewerProcess> viewer;
  const std::string window = StartWithWindow(
      viewer, {"--no-watch", "sys.txt"},
      [](const std::string& folder) { std::ofstream(folder + "/sys.txt") << Star(20); });
  ASSERT_FALSE(window.empty()) << viewer->Stderr();
  const auto width = [](int w) { return [w](const ScreenImage& s) { return DiscWidth(s) == w; }; };
  ASSERT_FALSE(WaitForScreen(0, 0, kScreenW, kScreenH, width(40), 5000).pixels.empty());
  ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::ofstream(viewer->folder() + "/sys.txt", std::ios::trunc) << Star(50);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(width(40)(*GrabScreen(0, 0, kScreenW, kScreenH))) << "not watched";
  ASSERT_EQ(RunX(Xdotool("keydown ctrl keydown r")), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_EQ(RunX(Xdotool("keyup r keyup ctrl")), 0);
  const ScreenImage after = WaitForScreen(0, 0, kScreenW, kScreenH, width(100), 2000);
  EXPECT_TRUE(width(100)(after)) << "Ctrl+R";
}

}  // namespace
}  // namespace skyloom::xtest
