// Helpers for the system's strings: sequences of 16-bit code units compared
// unit by unit, trimmed of control characters and spaces, and moved to and
// from bytes one unit per byte.
#pragma once

#include <string>
#include <string_view>

namespace skyloom {

// Difference of the first differing code units, else of the lengths.
int CompareUnits(std::u16string_view a, std::u16string_view b);

// Each byte becomes one code unit 0 to 255 (Latin-1 view of the bytes).
std::u16string FromBytes(std::string_view bytes);

// Each code unit becomes its low 8 bits.
std::string ToBytes(std::u16string_view text);

// UTF-8 for messages on a terminal: a surrogate pair becomes its one
// character, every other unit is taken as a code point.
std::string ToUtf8(std::u16string_view text);

// A path or URL as it reads in a message: units up to 0xFF are the bytes
// the user gave (see FromBytes), higher units their UTF-8 form.
std::string PathBytesText(std::u16string_view path);

// Removes every character of code 32 or less from both ends.
std::u16string Trim(std::u16string_view text);

// A-Z to a-z; from U+00C0 up, the simple Unicode lower-case mapping of each
// code unit (U+0130 becomes "i"; no unit becomes two).
std::u16string ToLower(std::u16string_view text);

// Double as text with the C format "%#.17lg"; float with "%#.9g".
std::u16string FormatDouble(double value);
std::u16string FormatFloat(float value);

// The C library's atof of the text's bytes: leading spaces, the longest
// numeric prefix, 0 when there is none.
double ParseDouble(std::u16string_view text);

}  // namespace skyloom
