// The shared start of the input tests: a display without a window whose input
// the tests script, a clock they set by hand, and fresh mouse and hotkey values.
#pragma once

#include <gtest/gtest.h>

#include "input/hotkey.h"
#include "input/mouse.h"
#include "runtime/display.h"
#include "runtime/input.h"

namespace skyloom {

class InputTest : public ::testing::Test {
 protected:
  static constexpr int WIDTH = 640;
  static constexpr int HEIGHT = 480;
  // Far from clock reading 0, so that the values that start at 0 (lastpress,
  // lastms) are long ago.
  static constexpr int START_MS = 1'000'000;

  void SetUp() override {
    OpenRecordingDisplay(WIDTH, HEIGHT);
    SetManualClock(START_MS);
    InitMouse();
    InitHotkeys();
  }
  void TearDown() override {
    CloseDisplay();
    UseRealClock();
  }
};

// The scripted input the display reads.
inline TInputState& Input() {
  return ProgramInput();
}

}  // namespace skyloom
