// The display's part-surface clears, skipped only while they would change no
// pixel, and a window's size following the window system at each flip, on
// the recording display.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

#include "runtime/backend_recording.h"
#include "runtime/display.h"

namespace skyloom {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The viewport a camera would clear: well inside the display.
constexpr TViewport kContent{100, 100, 200, 150};

int Clears(const TRecordingBackend& recorder) {
  int clears = 0;
  for (const TRecordedPrimitive& p : recorder.primitives)
    clears += p.kind == TRecordedPrimitive::CLEAR;
  return clears;
}

struct SkipCase {
  const char* name;
  std::function<void()> before;  // after the whole-surface clear, before the content's
  bool skipped;
};

TEST(ClearSkipping, APartClearIsSkippedOnlyWhileItsAreaIsStillClear) {
  const SkipCase cases[] = {
      {"nothing drawn since the whole clear", [] {}, true},
      {"a rectangle beside the area, edge to edge",
       [] { DrawRect(100, 80, 200, 20); },  // rows 80..99, the area starts at row 100
       true},
      {"strips all round it, edge to edge",
       [] {
         DrawRect(90, 90, 220, 10);
         DrawRect(90, 250, 220, 10);
         DrawRect(90, 100, 10, 150);
         DrawRect(300, 100, 10, 150);
       },
       true},
      {"an image beside it",
       [] {
         DrawImageAt(LoadAnimImageFrom(TPixmap::Create(11, 11, PIXEL_RGBA8888), 11, 11, 0, 1), 100,
                     89);
       },
       true},
      {"a rectangle reaching one row into it", [] { DrawRect(100, 80, 200, 21); }, false},
      {"a rectangle inside it", [] { DrawRect(150, 150, 4, 4); }, false},
      {"a line ending just outside it (lines reach further)", [] { DrawLine(50, 99, 99, 99); },
       false},
      {"a point inside it", [] { Plot(299, 249); }, false},
      {"a polygon beside it",
       [] {
         DrawPolygon(100, 80, {{0, 0}, {200, 0}, {200, 20}});
       },
       true},
      {"a polygon reaching into it",
       [] {
         DrawPolygon(100, 80, {{0, 0}, {200, 0}, {0, 40}});
       },
       false},
      {"drawing clipped away by a viewport elsewhere",
       [] {
         SetViewport(400, 0, 100, 100);
         DrawRect(0, 0, 640, 480);
         SetViewport(0, 0, kWidth, kHeight);
       },
       true},
      {"drawing inside a viewport that overlaps it",
       [] {
         SetViewport(250, 200, 100, 100);
         DrawRect(0, 0, 640, 480);
         SetViewport(0, 0, kWidth, kHeight);
       },
       false},
      {"a shape whose corners are not numbers", [] { DrawRect(NAN, 0, 5, 5); }, false},
      {"another clear colour", [] { SetClsColor(10, 0, 0); }, false},
      {"a flip since the whole clear", [] { Flip(); }, false},
      {"skipping switched off", [] { SetClearSkipping(false); }, false},
  };
  for (const SkipCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::shared_ptr<TRecordingBackend> recorder = OpenRecordingDisplay(kWidth, kHeight);
    SetClsColor(0, 0, 0);
    Cls();
    c.before();
    SetViewport(kContent.x, kContent.y, kContent.w, kContent.h);
    recorder->Forget();
    Cls();
    EXPECT_EQ(Clears(*recorder), c.skipped ? 0 : 1);
    SetClearSkipping(true);
    CloseDisplay();
  }
}

TEST(ClearSkipping, WithoutAWholeClearFirstEveryClearIsDone) {
  std::shared_ptr<TRecordingBackend> recorder = OpenRecordingDisplay(kWidth, kHeight);
  SetViewport(kContent.x, kContent.y, kContent.w, kContent.h);
  Cls();
  Cls();
  EXPECT_EQ(Clears(*recorder), 2);
  CloseDisplay();
}

TEST(ClearSkipping, AClearOfAnotherColourMakesItsAreaDrawnInto) {
  std::shared_ptr<TRecordingBackend> recorder = OpenRecordingDisplay(kWidth, kHeight);
  Cls();
  SetClsColor(0, 0, 200);
  SetViewport(kContent.x, kContent.y, kContent.w, kContent.h);
  Cls();
  SetClsColor(0, 0, 0);
  recorder->Forget();
  Cls();  // back to black: the blue must go
  EXPECT_EQ(Clears(*recorder), 1);
  CloseDisplay();
}

struct SizeCase {
  const char* name;
  int min_w, min_h;      // the window's smallest size
  int asked_w, asked_h;  // what the window system gives it
  int width, height;     // the display's size after the flip
};

TEST(WindowSize, TakenAtTheFlipAndKeptAtLeastAtTheSmallestSize) {
  const SizeCase cases[] = {
      {"larger", 320, 240, 1000, 700, 1000, 700},
      {"smaller", 320, 240, 400, 300, 400, 300},
      {"narrower than the smallest", 500, 240, 400, 300, 500, 300},
      {"lower than the smallest", 320, 350, 400, 300, 400, 350},
      {"no smallest size", 0, 0, 100, 50, 100, 50},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.name);
    OpenRecordingWindow(kWidth, kHeight);
    SetDisplayMinimumSize(c.min_w, c.min_h);
    ResizeRecordingDisplay(c.asked_w, c.asked_h);
    EXPECT_EQ(DisplayWidth(), kWidth) << "the size holds until the flip";
    Flip();
    EXPECT_EQ(DisplayWidth(), c.width);
    EXPECT_EQ(DisplayHeight(), c.height);
    const TViewport v = GetViewport();
    EXPECT_EQ((std::array{v.x, v.y, v.w, v.h}), (std::array{0, 0, c.width, c.height}))
        << "a viewport of the whole display follows it";
    CloseDisplay();
  }
}

TEST(WindowSize, AFullScreenDisplayKeepsItsSizeAndASmallerViewportStays) {
  OpenRecordingDisplay(kWidth, kHeight);
  ResizeRecordingDisplay(800, 600);
  Flip();
  EXPECT_EQ(DisplayWidth(), kWidth);
  EXPECT_TRUE(DisplayFullscreen());
  CloseDisplay();

  OpenRecordingWindow(kWidth, kHeight);
  EXPECT_FALSE(DisplayFullscreen());
  SetViewport(10, 10, 50, 50);
  ResizeRecordingDisplay(800, 600);
  Flip();
  EXPECT_EQ(DisplayWidth(), 800);
  const TViewport v = GetViewport();
  EXPECT_EQ((std::array{v.x, v.y, v.w, v.h}), (std::array{10, 10, 50, 50}));
  CloseDisplay();
}

TEST(ReopenDisplay, SwitchesBetweenWindowAndFullScreenKeepingTheDrawingState) {
  OpenRecordingWindow(800, 600);
  SetColor(1, 2, 3);
  SetViewport(10, 10, 50, 50);
  ASSERT_EQ(ReopenDisplay(1024, 768, 32, 60), 1) << DisplayError();
  EXPECT_TRUE(DisplayFullscreen());
  EXPECT_EQ(DisplayWidth(), 1024);
  EXPECT_EQ(DisplayHeight(), 768);
  EXPECT_EQ(DrawState().red, 1);
  const TViewport v = GetViewport();
  EXPECT_EQ((std::array{v.x, v.y, v.w, v.h}), (std::array{0, 0, 1024, 768}));
  ASSERT_EQ(ReopenDisplay(800, 600, 0, 0), 1);
  EXPECT_FALSE(DisplayFullscreen());
  EXPECT_EQ(ReopenDisplay(0, 600, 0, 0), 0);
  EXPECT_FALSE(DisplayError().empty());
  EXPECT_EQ(DisplayWidth(), 800) << "a failed switch leaves the display as it was";
  CloseDisplay();
  EXPECT_EQ(ReopenDisplay(800, 600, 0, 0), 0) << "no display to switch";
}

}  // namespace
}  // namespace skyloom
