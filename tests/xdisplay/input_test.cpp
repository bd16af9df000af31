// Input on a real X display: key, button, wheel and focus events injected
// through the X server (XTest, by xdotool) and read back through the polled
// input calls.
#include "tests/xdisplay/x_support.h"

namespace skyloom::xtest {
namespace {

constexpr int kKeyA = 65;
constexpr int kLeftShift = 160;

class InputTest : public RealDisplayTest {
 protected:
  void SetUp() override {
    RealDisplayTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    window = FindWindow("Skyloom display tests");
    ASSERT_FALSE(window.empty());
    // The platform reports focus changes late (SDL holds them back for
    // 200 ms). Give the window the focus and let any report arrive, then go
    // through a loss and a gain that are seen, so that no focus event is still
    // on its way when the test starts.
    ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
    Settle(400);
    ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " unfocus"), 0);
    ASSERT_TRUE(WaitFor([] { return IsSuspended(); }));
    ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
    ASSERT_TRUE(WaitFor([] { return !IsSuspended(); }));
    // Start from zero counters whatever arrived while the window came up.
    for (int code : {kKeyA, kLeftShift}) TakeKeyHits(code);
    for (int button : {1, 2, 3}) TakeButtonHits(button);
  }
  void TearDown() override {
    if (HaveXServer()) RunX(Xdotool("keyup a keyup shift"));
  }
  std::string window;
};

TEST_F(InputTest, KeyDownAndUpSetAndClearTheHeldFlagWithOneHit) {
  ASSERT_EQ(RunX(Xdotool("keydown a")), 0);
  EXPECT_TRUE(WaitFor([] { return IsKeyDown(kKeyA); }));
  EXPECT_EQ(TakeKeyHits(kKeyA), 1);
  EXPECT_EQ(TakeKeyHits(kKeyA), 0);
  ASSERT_EQ(RunX(Xdotool("keyup a")), 0);
  EXPECT_TRUE(WaitFor([] { return !IsKeyDown(kKeyA); }));
  EXPECT_EQ(TakeKeyHits(kKeyA), 0);
}

TEST_F(InputTest, HoldingAKeyThroughAutoRepeatCountsOneHit) {
  ASSERT_EQ(RunX(Xdotool("keydown a")), 0);
  EXPECT_TRUE(WaitFor([] { return IsKeyDown(kKeyA); }));
  Settle(1200);  // beyond the X server's auto-repeat delay
  EXPECT_TRUE(IsKeyDown(kKeyA));
  ASSERT_EQ(RunX(Xdotool("keyup a")), 0);
  EXPECT_TRUE(WaitFor([] { return !IsKeyDown(kKeyA); }));
  EXPECT_EQ(TakeKeyHits(kKeyA), 1);
}

TEST_F(InputTest, QuickTapsCountEachPress) {
  ASSERT_EQ(RunX(Xdotool("key a a a")), 0);
  int hits = 0;
  EXPECT_TRUE(WaitFor([&] { return (hits += TakeKeyHits(kKeyA)) >= 3; }));
  EXPECT_EQ(hits, 3);
  EXPECT_FALSE(IsKeyDown(kKeyA));
}

TEST_F(InputTest, LeftAndRightModifiersAreSeparateKeys) {
  // xdotool presses left Shift along with right Shift; releasing the left
  // one must leave the right one held.
  ASSERT_EQ(RunX(Xdotool("keydown Shift_R")), 0);
  EXPECT_TRUE(WaitFor([] { return IsKeyDown(161); }));
  ASSERT_EQ(RunX(Xdotool("keyup Shift_L")), 0);
  EXPECT_TRUE(WaitFor([] { return !IsKeyDown(kLeftShift); }));
  EXPECT_TRUE(IsKeyDown(161));
  ASSERT_EQ(RunX(Xdotool("keyup Shift_R")), 0);
  EXPECT_TRUE(WaitFor([] { return !IsKeyDown(161); }));
  EXPECT_EQ(TakeKeyHits(161), 1);
}

TEST_F(InputTest, WheelNotchesAddUp) {
  const int start = WheelPosition();
  ASSERT_EQ(RunX(Xdotool("click 4 click 4")), 0);  // away from the user
  EXPECT_TRUE(WaitFor([&] { return WheelPosition() == start + 2; }));
  ASSERT_EQ(RunX(Xdotool("click 5")), 0);
  EXPECT_TRUE(WaitFor([&] { return WheelPosition() == start + 1; }));
}

TEST_F(InputTest, ButtonsCountHitsAndReportHeldState) {
  ASSERT_EQ(RunX(Xdotool("mousemove 200 150 click 1 click 1")), 0);
  int hits = 0;
  EXPECT_TRUE(WaitFor([&] { return (hits += TakeButtonHits(1)) >= 2; }));
  EXPECT_EQ(hits, 2);
  EXPECT_FALSE(IsButtonDown(1));
  EXPECT_EQ(PointerX(), 200);
  EXPECT_EQ(PointerY(), 150);

  ASSERT_EQ(RunX(Xdotool("mousedown 3")), 0);  // X's right button is button 2 here
  EXPECT_TRUE(WaitFor([] { return IsButtonDown(2); }));
  EXPECT_FALSE(IsButtonDown(3));
  ASSERT_EQ(RunX(Xdotool("mouseup 3 mousedown 2")), 0);
  EXPECT_TRUE(WaitFor([] { return IsButtonDown(3) && !IsButtonDown(2); }));
  RunX(Xdotool("mouseup 2"));
  EXPECT_TRUE(WaitFor([] { return !IsButtonDown(3); }));
  EXPECT_EQ(TakeButtonHits(2), 1);
  EXPECT_EQ(TakeButtonHits(3), 1);
}

TEST_F(InputTest, MoveMouseWarpsThePointer) {
  MoveMouse(321, 123);
  EXPECT_EQ(PointerX(), 321);
  EXPECT_TRUE(WaitFor(
      [] { return Capture("xdotool getmouselocation").find("x:321 y:123") != std::string::npos; }));
}

TEST_F(InputTest, LosingFocusReleasesKeysAndClearsCountersAndWheel) {
  ASSERT_EQ(RunX(Xdotool("keydown shift click 4")), 0);
  EXPECT_TRUE(WaitFor([] { return IsKeyDown(kLeftShift) && WheelPosition() != 0; }));

  ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " unfocus"), 0);
  EXPECT_TRUE(WaitFor([] { return IsSuspended(); }));
  EXPECT_FALSE(IsKeyDown(kLeftShift));
  EXPECT_EQ(TakeKeyHits(kLeftShift), 0);
  EXPECT_EQ(WheelPosition(), 0);

  ASSERT_EQ(RunX(Xdotool("keyup shift")), 0);
  ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
  EXPECT_TRUE(WaitFor([] { return !IsSuspended(); }));
  EXPECT_FALSE(IsKeyDown(kLeftShift));
}

}  // namespace
}  // namespace skyloom::xtest
