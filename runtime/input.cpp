// The input state: event rules for keys, buttons, pointer, wheel and focus.
#include "runtime/input.h"

namespace skyloom {

namespace {
constexpr int WHEEL_DELTA = 120;  // platform wheel units per notch
bool ValidKey(int code) {
  return code >= 0 && code < TInputState::KEY_COUNT;
}
bool ValidButton(int button) {
  return button >= 1 && button <= TInputState::BUTTON_COUNT;
}
}  // namespace

int WheelNotches(int delta) {
  return delta / WHEEL_DELTA;
}

void TInputState::Press(Switch& s) {
  if (s.held) return;
  s.held = true;
  ++s.hits;
}

void TInputState::KeyDown(int code) {
  if (ValidKey(code)) Press(_keys[code]);
}

void TInputState::KeyUp(int code) {
  if (ValidKey(code)) _keys[code].held = false;
}

void TInputState::ButtonDown(int button) {
  if (ValidButton(button)) Press(_buttons[button]);
}

void TInputState::ButtonUp(int button) {
  if (ValidButton(button)) _buttons[button].held = false;
}

void TInputState::PointerMoved(int x, int y) {
  _pointer_x = x;
  _pointer_y = y;
}

void TInputState::WheelMoved(int notches) {
  _wheel += notches;
}

void TInputState::ReleaseAll() {
  _keys.fill({});
  _buttons.fill({});
  _wheel = 0;
}

void TInputState::FocusLost() {
  ReleaseAll();
  _suspended = true;
}

void TInputState::FocusGained() {
  ReleaseAll();
  _suspended = false;
}

void TInputState::Reset() {
  *this = TInputState();
}

bool TInputState::IsKeyDown(int code) const {
  return ValidKey(code) && _keys[code].held;
}

int TInputState::TakeKeyHits(int code) {
  if (!ValidKey(code)) return 0;
  const int hits = _keys[code].hits;
  _keys[code].hits = 0;
  return hits;
}

bool TInputState::IsButtonDown(int button) const {
  return ValidButton(button) && _buttons[button].held;
}

int TInputState::TakeButtonHits(int button) {
  if (!ValidButton(button)) return 0;
  const int hits = _buttons[button].hits;
  _buttons[button].hits = 0;
  return hits;
}

bool TInputState::TakeCloseRequest() {
  const bool requested = _close_requested;
  _close_requested = false;
  return requested;
}

}  // namespace skyloom
