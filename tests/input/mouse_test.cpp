// The per-frame mouse state: pointer deltas, button edges, double clicks, the
// wheel step, the idle count and the rectangle test, driven frame by frame
// through scripted input and the manual clock.
#include <climits>
#include <vector>

#include "tests/input/input_fixture.h"

namespace skyloom {
namespace {

using MouseTest = InputTest;

// One frame: the clock moves on by ms, then the mouse is sampled.
void Frame(int ms = 16) {
  AdvanceManualClock(ms);
  updatemouse();
}

TEST_F(MouseTest, FirstFrameDeltaIsThePointerPosition) {
  updatemouse();
  EXPECT_EQ(mousex, WIDTH / 2);
  EXPECT_EQ(mousey, HEIGHT / 2);
  EXPECT_EQ(mousedx, WIDTH / 2);
  EXPECT_EQ(mousedy, HEIGHT / 2);

  Input().PointerMoved(100, 300);
  Frame();
  EXPECT_EQ(mousex, 100);
  EXPECT_EQ(mousey, 300);
  EXPECT_EQ(mousedx, 100 - WIDTH / 2);
  EXPECT_EQ(mousedy, 300 - HEIGHT / 2);

  Frame();
  EXPECT_EQ(mousedx, 0);
  EXPECT_EQ(mousedy, 0);
}

TEST_F(MouseTest, HeldButtonHasOnePressedAndOneReleasedFrame) {
  // Per frame: whether the button is held when the frame samples it, and the
  // edges that frame must show.
  const struct {
    bool held;
    int down, pressed, released;
  } frames[] = {
      {false, 0, 0, 0}, {true, 1, 1, 0},  {true, 1, 0, 0}, {true, 1, 0, 0},
      {false, 0, 0, 1}, {false, 0, 0, 0}, {true, 1, 1, 0}, {false, 0, 0, 1},
  };
  for (int button : {MOUSE_LEFT, MOUSE_RIGHT, MOUSE_MIDDLE}) {
    SCOPED_TRACE(button);
    InitMouse();
    int i = 0;
    for (const auto& f : frames) {
      SCOPED_TRACE(i++);
      if (f.held) {
        Input().ButtonDown(button);
      } else {
        Input().ButtonUp(button);
      }
      Frame(1000);  // far apart: no double clicks here
      EXPECT_EQ(mousedown[button], f.down);
      EXPECT_EQ(mousepressed[button], f.pressed);
      EXPECT_EQ(mousereleased[button], f.released);
      for (int other = MOUSE_LEFT; other <= MOUSE_BUTTONS; ++other) {
        if (other == button) continue;
        EXPECT_EQ(mousedown[other] + mousepressed[other] + mousereleased[other], 0) << other;
      }
    }
  }
}

TEST_F(MouseTest, PressAndReleaseBetweenTwoFramesIsNotSeen) {
  updatemouse();
  Frame();
  ASSERT_EQ(mouseidle, 2);
  Input().ButtonDown(MOUSE_LEFT);
  Input().ButtonUp(MOUSE_LEFT);
  Frame();
  EXPECT_EQ(mousedown[MOUSE_LEFT], 0);
  EXPECT_EQ(mousepressed[MOUSE_LEFT], 0);
  EXPECT_EQ(mousereleased[MOUSE_LEFT], 0);
  EXPECT_EQ(mouseidle, 3);
}

// Presses the button at the current clock reading, then lets go halfway to
// the next press.
void Click(int button, int ms_to_next_press) {
  Input().ButtonDown(button);
  updatemouse();
  Input().ButtonUp(button);
  Frame(ms_to_next_press / 2);
  AdvanceManualClock(ms_to_next_press - ms_to_next_press / 2);
}

TEST_F(MouseTest, DoubleClickIsMeasuredFromPressToPress) {
  const struct {
    std::vector<int> gaps;  // ms from each press to the next
    std::vector<int> flagged;
  } cases[] = {
      {{320}, {0, 1}},
      {{321}, {0, 0}},
      {{2}, {0, 1}},
      // Every press restarts the measure: the third press is 600 ms after the
      // first but 300 after the second.
      {{300, 300}, {0, 1, 1}},
      {{400, 300}, {0, 0, 1}},
  };
  for (const auto& c : cases) {
    for (int button : {MOUSE_LEFT, MOUSE_MIDDLE}) {
      SCOPED_TRACE(::testing::Message() << "button " << button << " gaps " << c.gaps[0]);
      InitMouse();
      SetManualClock(START_MS);
      for (size_t i = 0; i < c.flagged.size(); ++i) {
        Input().ButtonDown(button);
        updatemouse();
        ASSERT_EQ(mousepressed[button], 1);
        EXPECT_EQ(mousedoubleclick[button], c.flagged[i]) << "press " << i;
        EXPECT_EQ(lastpress[button], MillisecondClock());
        Input().ButtonUp(button);
        if (i < c.gaps.size()) {
          Frame(c.gaps[i] / 2);
          EXPECT_EQ(mousedoubleclick[button], 0) << "only the frame of the press";
          AdvanceManualClock(c.gaps[i] - c.gaps[i] / 2);
        }
      }
    }
  }
}

TEST_F(MouseTest, DoubleClicksOfDifferentButtonsAreSeparate) {
  Click(MOUSE_LEFT, 100);
  Input().ButtonDown(MOUSE_RIGHT);
  updatemouse();
  EXPECT_EQ(mousepressed[MOUSE_RIGHT], 1);
  EXPECT_EQ(mousedoubleclick[MOUSE_RIGHT], 0);
}

// The clock wraps at 2^32 and, read as a signed number, jumps from INT_MAX
// to INT_MIN at 2^31; the time between presses is the 32-bit difference.
TEST_F(MouseTest, DoubleClickAcrossAClockWrap) {
  const struct {
    int first_press;
    int gap;
    int flagged;
  } cases[] = {
      {-100, 250, 1},         {-100, 321, 0},         {INT_MAX - 99, 250, 1},
      {INT_MAX - 99, 321, 0}, {INT_MAX - 99, 320, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.first_press << " + " << c.gap);
    InitMouse();
    SetManualClock(c.first_press);
    Click(MOUSE_LEFT, c.gap);
    Input().ButtonDown(MOUSE_LEFT);
    updatemouse();
    EXPECT_EQ(mousepressed[MOUSE_LEFT], 1);
    EXPECT_EQ(mousedoubleclick[MOUSE_LEFT], c.flagged);
    Input().ButtonUp(MOUSE_LEFT);
  }
}

TEST_F(MouseTest, WheelStepIsPreviousMinusCurrentPosition) {
  // The platform's wheel position grows when rolled away from the user.
  const struct {
    int notches;  // moved on the platform between two frames
    int step;
  } cases[] = {{-2, 2}, {1, -1}, {0, 0}, {5, -5}};
  updatemouse();
  EXPECT_EQ(mousewheel, 0);
  for (const auto& c : cases) {
    Input().WheelMoved(c.notches);
    Frame();
    EXPECT_EQ(mousewheel, c.step) << c.notches;
    EXPECT_EQ(lastwheel, WheelPosition());
    Frame();
    EXPECT_EQ(mousewheel, 0) << "a step lasts one frame";
  }
}

TEST_F(MouseTest, FocusLossShowsAsOneStepOfTheOldWheelPosition) {
  Input().WheelMoved(3);
  Input().ButtonDown(MOUSE_RIGHT);
  updatemouse();
  Frame();
  ASSERT_EQ(lastwheel, 3);
  ASSERT_EQ(mousedown[MOUSE_RIGHT], 1);

  Input().FocusLost();
  Frame();
  EXPECT_EQ(mousewheel, 3);
  EXPECT_EQ(lastwheel, 0);
  EXPECT_EQ(mousereleased[MOUSE_RIGHT], 1);  // the focus loss let go of the button
  EXPECT_EQ(mouseidle, 0);
  Frame();
  EXPECT_EQ(mousewheel, 0);
}

TEST_F(MouseTest, IdleCountsFramesSinceTheLastRelease) {
  for (int n = 1; n <= 3; ++n) {
    Frame();
    EXPECT_EQ(mouseidle, n);
  }
  Input().ButtonDown(MOUSE_MIDDLE);
  Frame();
  EXPECT_EQ(mouseidle, 4) << "a press is not a release";
  Frame();
  Input().ButtonUp(MOUSE_MIDDLE);
  Frame();
  EXPECT_EQ(mouseidle, 0);
  Frame();
  EXPECT_EQ(mouseidle, 1);

  // Any button's release resets it, even while another is held.
  Input().ButtonDown(MOUSE_LEFT);
  Input().ButtonDown(MOUSE_RIGHT);
  Frame();
  EXPECT_EQ(mouseidle, 2);
  Input().ButtonUp(MOUSE_RIGHT);
  Frame();
  EXPECT_EQ(mouseidle, 0);
  Frame();
  EXPECT_EQ(mouseidle, 1);
}

TEST_F(MouseTest, InRectHasTheLeftAndTopEdgesInside) {
  const struct {
    int px, py;
    int x, y, w, h;
    int in;
  } cases[] = {
      {10, 10, 10, 10, 5, 5, 1},
      {14, 14, 10, 10, 5, 5, 1},
      {15, 12, 10, 10, 5, 5, 0},
      {12, 15, 10, 10, 5, 5, 0},
      {9, 12, 10, 10, 5, 5, 0},
      {12, 9, 10, 10, 5, 5, 0},
      {12, 12, 10, 10, 0, 5, 0},
      {12, 12, 10, 10, -5, 5, 0},
      {-2, -2, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1},
      {-1, -2, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0},
      {-5, -5, -10, -10, 10, 10, 1},
      // Far edges past INT_MAX: x + w must not wrap round to a negative number.
      {12, 12, 10, 10, INT_MAX, INT_MAX, 1},
      {INT_MAX - 1, INT_MAX - 1, INT_MAX - 5, INT_MAX - 5, 10, 10, 1},
      {INT_MAX, 0, INT_MAX, 0, INT_MAX, 1, 1},
  };
  for (const auto& c : cases) {
    Input().PointerMoved(c.px, c.py);
    Frame();
    EXPECT_EQ(mouseinrect(c.x, c.y, c.w, c.h), c.in)
        << "pointer (" << c.px << ", " << c.py << ") rect " << c.x << ", " << c.y << ", " << c.w
        << ", " << c.h;
  }
}

TEST_F(MouseTest, InRectUsesThePositionOfThisFrame) {
  Input().PointerMoved(12, 12);
  updatemouse();
  Input().PointerMoved(100, 100);
  EXPECT_EQ(mouseinrect(10, 10, 5, 5), 1);
  Frame();
  EXPECT_EQ(mouseinrect(10, 10, 5, 5), 0);
}

}  // namespace
}  // namespace skyloom
