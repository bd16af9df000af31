// The input state behind the polled input calls: held flags and hit counters
// of keys and mouse buttons, the pointer, the wheel, the close request and the
// focus. The platform layer turns its events into the calls below.
#pragma once

#include <array>

namespace skyloom {

// Steps of the platform's wheel delta: one notch is 120 units, truncated
// toward zero (240 gives 2, -119 gives 0).
int WheelNotches(int delta);

class TInputState {
 public:
  static constexpr int KEY_COUNT = 256;
  static constexpr int BUTTON_COUNT = 3;  // 1 left, 2 right, 3 middle

  // A press of a key not held sets the flag and counts one hit; a press of a
  // held key (the platform's auto-repeat) changes nothing. Codes outside
  // 0..255 are ignored, as are buttons outside 1..3.
  void KeyDown(int code);
  void KeyUp(int code);
  void ButtonDown(int button);
  void ButtonUp(int button);
  void PointerMoved(int x, int y);
  void WheelMoved(int notches);
  // Both release every key and button and zero every counter and the wheel.
  void FocusLost();
  void FocusGained();
  void CloseRequested() { _close_requested = true; }
  // Everything back to the state of a newly opened display.
  void Reset();

  bool IsKeyDown(int code) const;
  int TakeKeyHits(int code);
  bool IsButtonDown(int button) const;
  int TakeButtonHits(int button);
  int PointerX() const { return _pointer_x; }
  int PointerY() const { return _pointer_y; }
  int WheelPosition() const { return _wheel; }
  bool TakeCloseRequest();
  bool IsSuspended() const { return _suspended; }

 private:
  struct Switch {
    bool held = false;
    int hits = 0;
  };
  static void Press(Switch& s);
  void ReleaseAll();

  std::array<Switch, KEY_COUNT> _keys{};
  std::array<Switch, BUTTON_COUNT + 1> _buttons{};  // index 0 unused
  int _pointer_x = 0;
  int _pointer_y = 0;
  int _wheel = 0;
  bool _close_requested = false;
  bool _suspended = false;
};

}  // namespace skyloom
