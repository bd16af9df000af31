// The real viewer following its definition file on a 1024 x 768 X server: an
// edit in place and a save by rename show within a second, a broken save
// keeps the system and shows the red band at the bottom (and one line on
// standard error), and the band goes with the next good save.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

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
  static bool Band(const ScreenImage& s) { return s.At(kBandX, kBandY) == kErrorBand; }
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

  Save("#root[ #body[ name: Star; radius: 10; ");
  EXPECT_TRUE(ShownWithin([](const ScreenImage& s) { return Band(s) && DiscWidth(s) == 120; }))
      << "broken save: band, and the last good system";
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const std::string printed = viewer_->Stderr();
  EXPECT_NE(printed.find("sys.txt"), std::string::npos) << printed;
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;

  Save(Star(30));
  EXPECT_TRUE(ShownWithin(DiscOf(30))) << "fixed: the band goes";

  fs::remove(path_);
  EXPECT_TRUE(ShownWithin([](const ScreenImage& s) { return Band(s) && DiscWidth(s) == 60; }))
      << "deleted";
  SaveByRename(Star(25));
  EXPECT_TRUE(ShownWithin(DiscOf(25))) << "recreated";

  EXPECT_TRUE(viewer_->Running());
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
