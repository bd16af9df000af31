// The input state's event rules, the key map and the clock, without a window.
#include <gtest/gtest.h>

#include <regex>

#include "runtime/display.h"
#include "runtime/input.h"
#include "runtime/input_sdl.h"

namespace skyloom {
namespace {

TEST(InputState, KeyPressCountsOnceUntilReleased) {
  TInputState in;
  in.KeyDown(65);
  in.KeyDown(65);  // auto-repeat
  in.KeyDown(65);
  EXPECT_TRUE(in.IsKeyDown(65));
  EXPECT_EQ(in.TakeKeyHits(65), 1);
  EXPECT_EQ(in.TakeKeyHits(65), 0);
  in.KeyUp(65);
  EXPECT_FALSE(in.IsKeyDown(65));
  in.KeyDown(65);
  in.KeyUp(65);
  in.KeyDown(65);
  in.KeyUp(65);
  EXPECT_FALSE(in.IsKeyDown(65));
  EXPECT_EQ(in.TakeKeyHits(65), 2);
  EXPECT_FALSE(in.IsKeyDown(66));
}

TEST(InputState, ButtonsFollowTheKeyRule) {
  TInputState in;
  in.ButtonDown(1);
  in.ButtonDown(1);
  in.ButtonDown(3);
  in.ButtonUp(3);
  EXPECT_TRUE(in.IsButtonDown(1));
  EXPECT_FALSE(in.IsButtonDown(2));
  EXPECT_FALSE(in.IsButtonDown(3));
  EXPECT_EQ(in.TakeButtonHits(1), 1);
  EXPECT_EQ(in.TakeButtonHits(3), 1);
  EXPECT_EQ(in.TakeButtonHits(2), 0);
}

TEST(InputState, OutOfRangeCodesAreIgnored) {
  TInputState in;
  for (int code : {-1, 256, 1000}) {
    in.KeyDown(code);
    EXPECT_FALSE(in.IsKeyDown(code));
    EXPECT_EQ(in.TakeKeyHits(code), 0);
  }
  for (int button : {-1, 0, 4}) {
    in.ButtonDown(button);
    EXPECT_FALSE(in.IsButtonDown(button));
    EXPECT_EQ(in.TakeButtonHits(button), 0);
  }
  in.KeyDown(255);
  EXPECT_TRUE(in.IsKeyDown(255));
}

TEST(InputState, WheelAddsWholeNotchesTruncatedTowardZero) {
  const struct {
    int delta, notches;
  } cases[] = {{120, 1}, {240, 2}, {-119, 0}, {119, 0}, {-120, -1}, {-359, -2}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(WheelNotches(c.delta), c.notches) << c.delta;

  TInputState in;
  in.WheelMoved(WheelNotches(240));
  in.WheelMoved(WheelNotches(-119));
  in.WheelMoved(WheelNotches(-120));
  EXPECT_EQ(in.WheelPosition(), 1);
}

TEST(InputState, FocusChangesReleaseEverything) {
  for (bool lose : {true, false}) {
    TInputState in;
    in.KeyDown(160);
    in.KeyDown(27);
    in.ButtonDown(2);
    in.WheelMoved(3);
    in.PointerMoved(40, 50);
    if (lose) {
      in.FocusLost();
    } else {
      in.FocusGained();
    }
    EXPECT_FALSE(in.IsKeyDown(160));
    EXPECT_FALSE(in.IsKeyDown(27));
    EXPECT_FALSE(in.IsButtonDown(2));
    EXPECT_EQ(in.TakeKeyHits(160), 0);
    EXPECT_EQ(in.TakeButtonHits(2), 0);
    EXPECT_EQ(in.WheelPosition(), 0);
    EXPECT_EQ(in.PointerX(), 40);  // the pointer is where it is
    EXPECT_EQ(in.IsSuspended(), lose);
  }
}

TEST(InputState, SuspensionEndsWhenFocusReturns) {
  TInputState in;
  in.FocusLost();
  EXPECT_TRUE(in.IsSuspended());
  in.FocusGained();
  EXPECT_FALSE(in.IsSuspended());
}

TEST(InputState, CloseRequestIsTakenOnce) {
  TInputState in;
  EXPECT_FALSE(in.TakeCloseRequest());
  in.CloseRequested();
  in.CloseRequested();
  EXPECT_TRUE(in.TakeCloseRequest());
  EXPECT_FALSE(in.TakeCloseRequest());
}

TEST(ProgramInput, InputCallsReadTheProgramWideState) {
  OpenRecordingDisplay(200, 100);
  ProgramInput().KeyDown(27);
  ProgramInput().ButtonDown(3);
  ProgramInput().WheelMoved(-2);
  ProgramInput().CloseRequested();
  EXPECT_TRUE(IsKeyDown(27));
  EXPECT_EQ(TakeKeyHits(27), 1);
  EXPECT_TRUE(IsButtonDown(3));
  EXPECT_EQ(TakeButtonHits(3), 1);
  EXPECT_EQ(WheelPosition(), -2);
  EXPECT_TRUE(TakeCloseRequest());
  MoveMouse(7, 9);
  EXPECT_EQ(PointerX(), 7);
  EXPECT_EQ(PointerY(), 9);
  // Opening again starts from a clean state.
  OpenRecordingDisplay(200, 100);
  EXPECT_FALSE(IsKeyDown(27));
  EXPECT_EQ(WheelPosition(), 0);
  CloseDisplay();
}

// SDL scancodes are the USB HID usage numbers of the keys.
TEST(KeyMap, ScancodesBecomeVirtualKeys) {
  const struct {
    int scancode, vk;
  } cases[] = {
      {4, 65},   {29, 90},  {30, 49},   {38, 57},   {39, 48},   {40, 13},   {41, 27},   {42, 8},
      {43, 9},   {44, 32},  {45, 189},  {46, 187},  {58, 112},  {68, 122},  {69, 123},  {73, 45},
      {74, 36},  {75, 33},  {76, 46},   {77, 35},   {78, 34},   {79, 39},   {80, 37},   {81, 40},
      {82, 38},  {51, 186}, {52, 222},  {53, 192},  {54, 188},  {55, 190},  {56, 191},  {47, 219},
      {48, 221}, {49, 220}, {224, 162}, {225, 160}, {226, 164}, {228, 163}, {229, 161}, {230, 165},
      {89, 97},  {98, 96},  {0, -1},    {300, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << "scancode " << c.scancode;
  }
}

TEST(KeyMap, SdlButtonsBecomeLeftRightMiddle) {
  EXPECT_EQ(ButtonFromSdl(1), 1);  // left
  EXPECT_EQ(ButtonFromSdl(3), 2);  // right
  EXPECT_EQ(ButtonFromSdl(2), 3);  // middle
  EXPECT_EQ(ButtonFromSdl(4), -1);
}

TEST(Clock, SleepingAdvancesTheMillisecondClock) {
  const int before = MillisecondClock();
  SleepMilliseconds(30);
  const int elapsed =
      static_cast<int>(static_cast<uint32_t>(MillisecondClock()) - static_cast<uint32_t>(before));
  EXPECT_GE(elapsed, 30);
  EXPECT_LT(elapsed, 5000);
  const int start = MillisecondClock();
  SleepMilliseconds(-100);
  SleepMilliseconds(0);
  EXPECT_LT(static_cast<uint32_t>(MillisecondClock()) - static_cast<uint32_t>(start), 1000u);
}

TEST(Clock, LocalTimeIsHoursMinutesSeconds) {
  const std::u16string text = LocalTimeText();
  const std::string bytes(text.begin(), text.end());
  EXPECT_TRUE(std::regex_match(bytes, std::regex("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]")))
      << bytes;
}

}  // namespace
}  // namespace skyloom
