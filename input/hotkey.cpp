// Hotkey polling: a control key's activation, first firing and repeats, and
// the modifier state read from the left and right modifier keys.
#include "input/hotkey.h"

#include <algorithm>

#include "runtime/display.h"

namespace skyloom {

int32_t modstate = 0;

namespace {

constexpr int LEFT_SHIFT = 160, RIGHT_SHIFT = 161;
constexpr int LEFT_CONTROL = 162, RIGHT_CONTROL = 163;
constexpr int LEFT_ALT = 164, RIGHT_ALT = 165;

uint8_t KeyCode(int code) {
  return static_cast<uint8_t>(code);  // modulo 256
}

int EitherDown(int left, int right) {
  return IsKeyDown(left) || IsKeyDown(right) ? 1 : 0;
}

}  // namespace

control_keyRef control_key::Create(int code, int modkind) {
  auto key = std::make_shared<control_key>();
  key->num = KeyCode(code);
  key->modkind = modkind;
  return key;
}

int control_key::get(int delay) {
  const int32_t now = MillisecondClock();
  const bool active = IsKeyDown(num) && (modkind == modstate || modkind == Key::any);
  if (!active) {
    init = 1;
    lastms = now;
    return 0;
  }
  if (delay >= 0 && ClockDifference(now, lastms) >= delay) {
    lastms = now;
    return 1;
  }
  if (init == 1) {
    init = 0;
    return 1;
  }
  return 0;
}

int control_key::down() const {
  return IsKeyDown(num) ? 1 : 0;
}

KeyRef Key::Create(int code1, int mod1, int code2, int mod2, int code3, int mod3, int code4,
                   int mod4) {
  auto hotkey = std::make_shared<Key>();
  const int pairs[4][2] = {{code1, mod1}, {code2, mod2}, {code3, mod3}, {code4, mod4}};
  for (const auto& [code, mod] : pairs) {
    if (code >= 0) hotkey->AddKey(code, mod);
  }
  return hotkey;
}

control_keyRef Key::AddKey(int code, int modkind) {
  keys.push_back(control_key::Create(code, modkind));
  return keys.back();
}

int Key::RemoveKey(int code, int modkind) {
  const uint8_t num = KeyCode(code);
  const size_t before = keys.size();
  std::erase_if(keys, [&](const control_keyRef& k) {
    return k->num == num && (modkind == -1 || k->modkind == modkind);
  });
  return keys.size() < before ? 1 : 0;
}

int Key::setmod(int modkind) {
  for (const control_keyRef& k : keys) k->modkind = modkind;
  return 0;
}

int Key::get() {
  for (const control_keyRef& k : keys) {
    if (k->get(keydelay)) return 1;
  }
  return 0;
}

int Key::down() const {
  return std::any_of(keys.begin(), keys.end(), [](const control_keyRef& k) { return k->down(); })
             ? 1
             : 0;
}

int Key::downtime() const {
  const int32_t now = MillisecondClock();
  int32_t longest = 0;
  bool any_held = false;
  for (const control_keyRef& k : keys) {
    if (!k->down()) continue;
    const int32_t held = ClockDifference(now, k->lastms);
    longest = any_held ? std::max(longest, held) : held;
    any_held = true;
  }
  return longest;
}

KeyRef singlekey(int code, int modkind) {
  KeyRef hotkey = Key::Create();
  hotkey->AddKey(code, modkind);
  hotkey->keydelay = 0;
  return hotkey;
}

int ctrldown() {
  return EitherDown(LEFT_CONTROL, RIGHT_CONTROL);
}
int shiftdown() {
  return EitherDown(LEFT_SHIFT, RIGHT_SHIFT);
}
int altdown() {
  return EitherDown(LEFT_ALT, RIGHT_ALT);
}

int updatemod() {
  modstate = ctrldown() * 4 + shiftdown() * 2 + altdown();
  return 0;
}

void InitHotkeys() {
  modstate = 0;
}

}  // namespace skyloom
