// Helpers for the system's 16-bit strings.
#include "runtime/strings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "runtime/lower_case_runs.h"

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
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
    if (pair) {
      // A surrogate pair is one character beyond U+FFFF: four bytes.
      const char32_t code = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[++i] - 0xDC00);
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (unit < 0x80) {
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

std::string PathBytesText(std::u16string_view path) {
  std::string text;
  for (const char16_t unit : path) {
    if (unit <= 0xFF) {
      text += static_cast<char>(unit);
    } else {
      text += ToUtf8(std::u16string_view(&unit, 1));
    }
  }
  return text;
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
  // The last run that starts at or before c.
  const auto after =
      std::upper_bound(std::begin(kLowerCaseRuns), std::end(kLowerCaseRuns), c,
                       [](char16_t unit, const TLowerCaseRun& run) { return unit < run.first; });
  if (after == std::begin(kLowerCaseRuns)) return c;
  const TLowerCaseRun& run = *(after - 1);
  if (c > run.last || (c - run.first) % run.step != 0) return c;
  return static_cast<char16_t>(c + run.delta);
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
