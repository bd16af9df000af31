// Hotkeys: command triggers bound to one or more keys, each with a required
// combination of modifier keys. Polled once per frame, a hotkey fires when a
// key goes down and, while it stays held, again after its repeat delay.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace skyloom {

// The modifier state: Alt adds 1, Shift 2, Control 4. It changes only through
// updatemod, so it stays 0 (no modifier) unless a caller asks for it.
extern int32_t modstate;

// One key of a hotkey: its code (a Windows virtual-key number), the modifier
// kind it requires and its timing.
class control_key;
using control_keyRef = std::shared_ptr<control_key>;

class control_key {
 public:
  uint8_t num = 0;
  // The last poll at which the key was not active, or the last repeat.
  int32_t lastms = 0;
  // 1 while the next activation fires at once; 0 after that first firing.
  int32_t init = 1;
  int32_t modkind = 0;

  static control_keyRef Create(int code, int modkind);

  // 1 when the key fires at this poll. It is active while held with the
  // modifier state its kind asks for (or any state for kind `any`). An
  // active key fires when delay >= 0 and delay milliseconds have passed since
  // lastms (a repeat, which restarts lastms), or else once at the first poll
  // of an activation. A negative delay turns repeats off; 0 fires every poll.
  int get(int delay);
  // Whether the key is held, whatever the modifiers; changes nothing.
  int down() const;
};

class Key;
using KeyRef = std::shared_ptr<Key>;

class Key {
 public:
  // Modifier kinds.
  static constexpr int none = 0;
  static constexpr int alt = 1;
  static constexpr int shift = 2;
  static constexpr int shiftalt = 3, altshift = 3;
  static constexpr int ctrl = 4;
  static constexpr int ctrlalt = 5, altctrl = 5;
  static constexpr int ctrlshift = 6, shiftctrl = 6;
  static constexpr int ctrlaltshift = 7, ctrlshiftalt = 7, altshiftctrl = 7, altctrlshift = 7,
                       shiftctrlalt = 7, shiftaltctrl = 7;
  static constexpr int any = 8;  // every combination, none included

  static constexpr int DEFAULT_DELAY = 210;

  std::vector<control_keyRef> keys;  // in the order they were added
  int32_t keydelay = DEFAULT_DELAY;  // repeat delay in milliseconds

  // A hotkey with one control key per pair whose code is 0 or more, in pair
  // order; pairs with a negative code are skipped.
  static KeyRef Create(int code1 = -1, int mod1 = 0, int code2 = -1, int mod2 = 0, int code3 = -1,
                       int mod3 = 0, int code4 = -1, int mod4 = 0);

  // Appends a control key for code modulo 256.
  control_keyRef AddKey(int code, int modkind);
  // Removes every control key of code modulo 256 and that kind (-1: any
  // kind); 1 when at least one went.
  int RemoveKey(int code, int modkind);
  // Sets the kind of every control key; returns 0.
  int setmod(int modkind);
  // Asks the control keys in order with keydelay; the first that fires ends
  // the poll with 1 and the later ones are not asked.
  int get();
  // 1 when any control key is held.
  int down() const;
  // The longest time any held control key has been held since its lastms;
  // 0 when none is held.
  int downtime() const;
};

// A hotkey of one key (code modulo 256) that fires at every poll while held:
// keydelay 0.
KeyRef singlekey(int code, int modkind);

// 1 when the left or right key of that modifier is held.
int ctrldown();
int shiftdown();
int altdown();
// modstate = ctrldown() * 4 + shiftdown() * 2 + altdown(); returns 0.
int updatemod();

// Module initialisation: modstate back to 0.
void InitHotkeys();

}  // namespace skyloom
