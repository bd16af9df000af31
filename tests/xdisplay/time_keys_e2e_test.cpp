// The viewer's keys for time, place, going to a body and help, end to end on
// a 1024 x 768 X server: keys pressed and let go through XTest (xdotool) as a
// person would, checked on what the screen shows.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/xdisplay/screen_grab.h"
#include "tests/xdisplay/viewer_process.h"

namespace skyloom::xtest {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenW = 1024, kScreenH = 768;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kFrameGrey = 0x808080;
constexpr uint32_t kDisc = 0x00FF00;
constexpr uint32_t kPromptBand = 0x181820;
constexpr uint32_t kHelpPanel = 0x101018;

// The first pane's content: (8, 8, 1008, 752) less the frame and button rows.
constexpr int kContentX = 11, kContentY = 22, kContentW = 1002, kContentH = 724;
constexpr double kCentreX = kContentX + kContentW / 2, kCentreY = kContentY + kContentH / 2;

// A sun left of the centre and a body named Far well outside the first view.
constexpr const char* kFarSystem =
    "#root[ #body[ name: Sun; radius: 20; x: -300; y: 0; ];\n"
    "       #body[ name: Far; radius: 10; x: 3000; y: 2000; ]; ];\n";

bool Same(const ScreenImage& a, const ScreenImage& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

int Count(const ScreenImage& image, uint32_t colour, int x, int y, int w, int h) {
  return FindSpot(image, colour, x, y, w, h).count;
}

class ViewerKeysE2ETest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  }
  void TearDown() override {
    for (const std::string& key : held) RunX(Xdotool("keyup " + key));
    viewer.reset();
  }

  void Start(const std::vector<std::string>& args = {},
             const std::function<void(const std::string&)>& prepare = nullptr) {
    const std::string window = StartWithWindow(viewer, args, prepare);
    ASSERT_FALSE(window.empty()) << "no window: " << viewer->Stderr();
    const ScreenImage first = WaitForScreen(
        0, 0, 100, 20, [](const ScreenImage& s) { return s.At(60, 12) == kFrameGrey; }, 5000);
    ASSERT_EQ(first.At(60, 12), kFrameGrey) << "the first pane never showed";
    ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(RunX(Xdotool("mousemove 100 700")), 0);  // in the pane, on empty space
  }

  ScreenImage Content() {
    std::optional<ScreenImage> grab = GrabScreen(kContentX, kContentY, kContentW, kContentH);
    EXPECT_TRUE(grab);
    return grab ? *grab : ScreenImage{};
  }
  ScreenImage ContentWhen(const std::function<bool(const ScreenImage&)>& condition) {
    return WaitForScreen(kContentX, kContentY, kContentW, kContentH, condition, 4000);
  }

  // Holds the key over several frames, as a person presses it, then lets go.
  void Tap(const std::string& key) {
    ASSERT_EQ(RunX(Xdotool("keydown " + key)), 0);
    held.insert(key);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(RunX(Xdotool("keyup " + key)), 0);
    held.erase(key);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
  }

  // White text in the top-right corner of the content: the time status.
  static int StatusPixels(const ScreenImage& s) {
    return Count(s, kWhite, kContentX + kContentW - 90, kContentY + 2, 88, 12);
  }

  std::optional<ViewerProcess> viewer;
  std::set<std::string> held;
};

TEST_F(ViewerKeysE2ETest, PauseHoldsTheSystemAndPeriodStepsIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(StatusPixels(Content()), 0) << "nothing at 1x";
  for (int i = 0; i < 6; ++i) ASSERT_NO_FATAL_FAILURE(Tap("l"));  // 64x: a step is 16 degrees
  ASSERT_NO_FATAL_FAILURE(Tap("space"));
  const ScreenImage paused = ContentWhen([](const ScreenImage& s) { return StatusPixels(s) > 0; });
  ASSERT_GT(StatusPixels(paused), 0) << "the status shows";
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const ScreenImage still = Content();
  EXPECT_TRUE(Same(paused, still)) << "paused, nothing moves";

  ASSERT_NO_FATAL_FAILURE(Tap("period"));
  const ScreenImage stepped = ContentWhen([&](const ScreenImage& s) { return !Same(s, still); });
  ASSERT_FALSE(Same(stepped, still)) << "a step moves the planet";
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_TRUE(Same(Content(), stepped)) << "one step only";

  ASSERT_NO_FATAL_FAILURE(Tap("space"));
  const ScreenImage running = ContentWhen([&](const ScreenImage& s) { return !Same(s, stepped); });
  EXPECT_FALSE(Same(running, stepped)) << "resumed";
  EXPECT_GT(StatusPixels(running), 0) << "64x still shows";
}

TEST_F(ViewerKeysE2ETest, AFitsEverythingAndHGoesHome) {
  ASSERT_NO_FATAL_FAILURE(Start({"--paused"}));
  // Sol (radius 17) at the origin and Sol 1 (radius 7) at its start
  // (104.378, 134.375): their discs span x -17..111.378, y -17..141.375.
  const double left = -17, right = 104.378 + 7, top = -17, bottom = 134.375 + 7;
  const double zoom =
      std::min((kContentW - 32) / (right - left), (kContentH - 32) / (bottom - top));
  const double sol_x = kCentreX - (left + right) / 2 * zoom;
  const double sol_y = kCentreY - (top + bottom) / 2 * zoom;
  ASSERT_NO_FATAL_FAILURE(Tap("a"));
  const auto fitted = [&](const ScreenImage& s) {
    return Count(s, kDisc, static_cast<int>(sol_x) - 4, static_cast<int>(sol_y) - 4, 8, 8) == 64;
  };
  const ScreenImage fit = ContentWhen(fitted);
  ASSERT_TRUE(fitted(fit)) << "Sol is not where the fit puts it";
  const int r = static_cast<int>(17 * zoom);
  const Spot sol = FindSpot(fit, kDisc, static_cast<int>(sol_x) - r - 4,
                            static_cast<int>(sol_y) - r - 4, 2 * r + 8, 2 * r + 8);
  EXPECT_NEAR(sol.x, sol_x, 2);
  EXPECT_NEAR(sol.y, sol_y, 2);
  EXPECT_NEAR(sol.count, M_PI * 17 * zoom * 17 * zoom, 0.05 * sol.count) << "zoom " << zoom;
  // Sol 1's disc touches the 16-pixel margin at the bottom.
  const int bottom_row = kContentY + kContentH - 16 - 1;
  EXPECT_GT(Count(fit, kDisc, kContentX, bottom_row - 2, kContentW, 3), 0);
  EXPECT_EQ(Count(fit, kDisc, kContentX, bottom_row + 2, kContentW, 10), 0);

  ASSERT_NO_FATAL_FAILURE(Tap("h"));
  const auto home = [&](const ScreenImage& s) {
    return Count(s, kDisc, static_cast<int>(kCentreX) - 4, static_cast<int>(kCentreY) - 4, 8, 8) ==
           64;
  };
  const ScreenImage back = ContentWhen(home);
  ASSERT_TRUE(home(back));
  const Spot sol_home = FindSpot(back, kDisc, static_cast<int>(kCentreX) - 25,
                                 static_cast<int>(kCentreY) - 25, 50, 50);
  EXPECT_NEAR(sol_home.count, M_PI * 17 * 17, 0.1 * sol_home.count) << "zoom 1 again";
}

TEST_F(ViewerKeysE2ETest, TypingFarAndEnterFollowsFar) {
  ASSERT_NO_FATAL_FAILURE(Start({"far.txt"}, [](const std::string& folder) {
    std::ofstream(folder + "/far.txt") << kFarSystem;
  }));
  const auto far_centred = [](const ScreenImage& s) {
    return Count(s, kDisc, static_cast<int>(kCentreX) - 4, static_cast<int>(kCentreY) - 4, 8, 8) ==
           64;
  };
  ASSERT_FALSE(far_centred(Content())) << "nothing at the centre before";
  ASSERT_NO_FATAL_FAILURE(Tap("Return"));
  const auto band = [](const ScreenImage& s) {
    return Count(s, kPromptBand, kContentX, kContentY + kContentH - 17, kContentW, 17) > 1000;
  };
  ASSERT_TRUE(band(ContentWhen(band))) << "the prompt's band at the bottom";
  for (const char* key : {"f", "a", "r"}) ASSERT_NO_FATAL_FAILURE(Tap(key));
  ASSERT_NO_FATAL_FAILURE(Tap("Return"));
  const ScreenImage after = ContentWhen(far_centred);
  ASSERT_TRUE(far_centred(after)) << "Far is not followed";
  const Spot far = FindSpot(after, kDisc, static_cast<int>(kCentreX) - 15,
                            static_cast<int>(kCentreY) - 15, 30, 30);
  EXPECT_NEAR(far.count, M_PI * 10 * 10, 0.15 * far.count);
  EXPECT_FALSE(band(after)) << "the prompt closed";
  EXPECT_GT(Count(after, kWhite, kContentX, kContentY, 40, 14), 0) << "the label names Far";
}

TEST_F(ViewerKeysE2ETest, EscapeClosesThePromptWithoutQuittingAndF11WaitsForIt) {
  ASSERT_NO_FATAL_FAILURE(
      Start({}, [](const std::string& folder) { fs::create_directory(folder + "/screenshots"); }));
  ASSERT_NO_FATAL_FAILURE(Tap("Return"));
  const auto band = [](const ScreenImage& s) {
    return Count(s, kPromptBand, kContentX, kContentY + kContentH - 17, kContentW, 17) > 1000;
  };
  ASSERT_TRUE(band(ContentWhen(band)));
  ASSERT_NO_FATAL_FAILURE(Tap("F11"));
  ASSERT_NO_FATAL_FAILURE(Tap("h"));
  ASSERT_EQ(RunX(Xdotool("keydown Escape")), 0);
  held.insert("Escape");
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  ASSERT_EQ(RunX(Xdotool("keyup Escape")), 0);
  held.erase("Escape");
  const ScreenImage closed = ContentWhen([&](const ScreenImage& s) { return !band(s); });
  EXPECT_FALSE(band(closed)) << "the prompt closed";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(viewer->Running()) << "Escape in the prompt does not quit";
  EXPECT_TRUE(fs::is_empty(viewer->folder() + "/screenshots")) << "F11 went to the prompt";

  ASSERT_NO_FATAL_FAILURE(Tap("Escape"));
  EXPECT_EQ(viewer->WaitForExit(), 0) << "Escape quits again once the prompt is closed";
}

TEST_F(ViewerKeysE2ETest, F1ShowsTheHelpPanelAndHidesItAgain) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const auto panel = [](const ScreenImage& s) {
    return s.At(900, 740) == kHelpPanel && s.At(60, 12) == kHelpPanel;
  };
  ASSERT_NO_FATAL_FAILURE(Tap("F1"));
  const ScreenImage shown = WaitForScreen(0, 0, kScreenW, kScreenH, panel, 4000);
  ASSERT_TRUE(panel(shown)) << "the panel covers the screen, frames too";
  EXPECT_GT(Count(shown, kWhite, 0, 0, kScreenW, kScreenH), 2000) << "lines of white text";
  ASSERT_NO_FATAL_FAILURE(Tap("F1"));
  const ScreenImage hidden = WaitForScreen(
      0, 0, kScreenW, kScreenH, [](const ScreenImage& s) { return s.At(60, 12) == kFrameGrey; },
      4000);
  EXPECT_EQ(hidden.At(60, 12), kFrameGrey) << "the frame shows again";
  EXPECT_EQ(Count(hidden, kHelpPanel, 0, 0, kScreenW, kScreenH), 0);
}

}  // namespace
}  // namespace skyloom::xtest
