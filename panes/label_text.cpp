// Cutting a label's name to the pane, with "?" for glyphs the font lacks.
#include "panes/label_text.h"

#include <algorithm>

namespace skyloom {

namespace {

constexpr int kFirstPrintable = 32;
constexpr int kLastCode = 0xFF;
// A bound on the characters looked at: every shown character but the
// zero-width control codes advances at least a pixel, so more than this
// many per pixel of the pane never fit.
constexpr size_t kCharactersPerPixel = 2;

int CodeOf(char16_t c) {
  return c & kLastCode;
}

bool IsLineBreak(char16_t c) {
  const int code = CodeOf(c);
  return code == 10 || code == 13 || code == 255;
}

int Advance(const Font& font, char16_t c) {
  return font.charw[CodeOf(c)] + font.hspacing;
}

// Right edge of "..." begun at x.
int EllipsisEnd(const Font& font, int x) {
  int end = x;
  for (char16_t dot : LABEL_ELLIPSIS) end += Advance(font, dot);
  return end - font.hspacing;
}

// Ends the text with "...": the last line loses characters from its end
// until the dots fit the width after them.
std::u16string Cut(std::u16string text, size_t line_start, int line_width, const Font& font,
                   int width) {
  while (text.size() > line_start && EllipsisEnd(font, line_width) > width) {
    line_width -= Advance(font, text.back());
    text.pop_back();
  }
  text += LABEL_ELLIPSIS;
  return text;
}

}  // namespace

bool FontShows(const Font& font, char16_t c) {
  if (c > kLastCode) return false;
  return c < kFirstPrintable || IsLineBreak(c) || font.charw[c] > 0;
}

std::u16string LabelText(const std::u16string& name, const Font& font, int width, int height) {
  const int line_height = std::max(font.height(), 1);
  const int most_lines = std::max(height / line_height, 1);
  const size_t most_characters =
      kCharactersPerPixel * static_cast<size_t>(std::max(width, 0) + std::max(height, 0)) + 1;
  std::u16string text;
  size_t line_start = 0;
  int line_width = 0;
  int lines = 1;
  for (size_t i = 0; i < name.size(); ++i) {
    if (i >= most_characters) return Cut(std::move(text), line_start, line_width, font, width);
    const char16_t c = FontShows(font, name[i]) ? name[i] : LABEL_MISSING_GLYPH;
    if (IsLineBreak(c)) {
      if (lines == most_lines) return Cut(std::move(text), line_start, line_width, font, width);
      ++lines;
      text += c;
      line_start = text.size();
      line_width = 0;
      continue;
    }
    if (line_width + font.charw[CodeOf(c)] > width) {
      return Cut(std::move(text), line_start, line_width, font, width);
    }
    text += c;
    line_width += Advance(font, c);
  }
  return text;
}

}  // namespace skyloom
