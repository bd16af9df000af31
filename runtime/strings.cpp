// Helpers for the system's 16-bit strings.
#include "runtime/strings.h"

#include <cstdio>
#include <cstdlib>

namespace skyloom {

int CompareUnits(std::u16string_view a, std::u16string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) return int(a[i]) - int(b[i]);
  }
  return int(a.size()) - int(b.size());
}

std::u16string FromBytes(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<unsigned char>(bytes[i]);
  return text;
}

std::string ToBytes(std::u16string_view text) {
  std::string bytes(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char>(text[i] & 0xFF);
  return bytes;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t unit : text) {
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | (unit >> 6));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (unit >> 12));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

std::u16string Trim(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] <= 32) ++begin;
  while (end > begin && text[end - 1] <= 32) --end;
  return std::u16string(text.substr(begin, end - begin));
}

static char16_t LowerUnit(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;              // Latin-1 capitals
  if (c >= 0x100 && c <= 0x137) return (c & 1) ? c : c + 1;  // Latin Extended-A pairs
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return (c & 1) ? c : c + 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek capitals
  if (c >= 0x410 && c <= 0x42F) return c + 32;                // Cyrillic capitals
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

std::u16string ToLower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& unit : out) unit = LowerUnit(unit);
  return out;
}

std::u16string FormatDouble(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%#.17lg", value);
  return FromBytes(buffer);
}

std::u16string FormatFloat(float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%#.9g", static_cast<double>(value));
  return FromBytes(buffer);
}

double ParseDouble(std::u16string_view text) {
  const std::string bytes = ToBytes(text);
  return std::atof(bytes.c_str());
}

}  // namespace skyloom
