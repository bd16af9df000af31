// The US layout's characters by virtual-key code.
#include "input/us_layout.h"

namespace skyloom {

namespace {

constexpr int SPACE = 32;
constexpr int DIGIT_0 = 48, DIGIT_9 = 57;
constexpr int LETTER_A = 65, LETTER_Z = 90;
constexpr int KEYPAD_0 = 96, KEYPAD_9 = 105;

// The digit row with Shift: ) ! @ # $ % ^ & * ( for 0 to 9.
constexpr char16_t SHIFTED_DIGITS[] = u")!@#$%^&*(";

struct TPunctuation {
  int code;
  char16_t plain, shifted;
};

constexpr TPunctuation PUNCTUATION[] = {
    {186, u';', u':'},
    {187, u'=', u'+'},
    {188, u',', u'<'},
    {189, u'-', u'_'},
    {190, u'.', u'>'},
    {191, u'/', u'?'},
    {192, u'`', u'~'},
    {219, u'[', u'{'},
    {220, u'\\', u'|'},
    {221, u']', u'}'},
    {222, u'\'', u'"'},
    // The keypad's signs, which Shift does not change.
    {106, u'*', u'*'},
    {107, u'+', u'+'},
    {109, u'-', u'-'},
    {110, u'.', u'.'},
    {111, u'/', u'/'},
};

}  // namespace

char16_t UsLayoutCharacter(int code, bool shift) {
  if (code == SPACE) return u' ';
  if (code >= LETTER_A && code <= LETTER_Z) {
    return static_cast<char16_t>(shift ? code : code - LETTER_A + u'a');
  }
  if (code >= DIGIT_0 && code <= DIGIT_9) {
    return shift ? SHIFTED_DIGITS[code - DIGIT_0] : static_cast<char16_t>(code);
  }
  if (code >= KEYPAD_0 && code <= KEYPAD_9) return static_cast<char16_t>(code - KEYPAD_0 + u'0');
  for (const TPunctuation& key : PUNCTUATION) {
    if (key.code == code) return shift ? key.shifted : key.plain;
  }
  return 0;
}

}  // namespace skyloom
