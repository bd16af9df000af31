// Characters of the usual US keyboard layout: the character a key (by its
// Windows virtual-key code) types, with or without Shift. Used where the
// viewer takes typed text, since the input layer reports keys, not text.
#pragma once

namespace skyloom {

// The character key code types on a US layout, Shift held or not; 0 for a
// key that types nothing (Enter, Backspace, arrows, modifiers, F keys...).
// Letters type lower case without Shift; the keypad types its digits and
// signs either way.
char16_t UsLayoutCharacter(int code, bool shift);

}  // namespace skyloom
