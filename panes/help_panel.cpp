// The help panel's lines and their drawing.
#include "panes/help_panel.h"

#include <algorithm>

#include "input/controls.h"
#include "panes/label.h"
#include "runtime/display.h"

namespace skyloom {

namespace {

constexpr int PANEL_PADDING = 16;
constexpr int COLUMN_GAP = 16;  // between the input and effect texts, and between columns
constexpr int SECTION_GAP = 6;  // extra space above each heading but the first
constexpr int ROW_INDENT = 12;  // controls stand indented under their heading

std::u16string Text(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

void SetPanelColor() {
  SetColor(16, 16, 24);
}
void SetTextColor() {
  SetColor(255, 255, 255);
}

int Width(Font& font, const std::u16string& text) {
  return font.Size(text, nullptr)->x;
}

}  // namespace

std::vector<THelpLine> HelpLines() {
  std::vector<THelpLine> lines;
  std::string_view section;
  for (const TControl& control : Controls()) {
    if (lines.empty() || control.section != section) {
      section = control.section;
      lines.push_back({Text(section), u"", true});
    }
    lines.push_back({Text(control.input), Text(control.effect), false});
  }
  return lines;
}

int helppanel::toggle() {
  shown = !shown;
  return 0;
}

int helppanel::draw(int x, int y, int w, int h) const {
  const FontRef& font = labelfont();
  if (!shown || !font) return 0;
  SetPanelColor();
  DrawRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
           static_cast<float>(h));
  const std::vector<THelpLine> lines = HelpLines();
  int input_w = 0, effect_w = 0;
  for (const THelpLine& line : lines) {
    if (line.heading) continue;
    input_w = std::max(input_w, Width(*font, line.input));
    effect_w = std::max(effect_w, Width(*font, line.effect));
  }
  const int column_w = ROW_INDENT + input_w + COLUMN_GAP + effect_w + COLUMN_GAP;
  const int line_h = font->height();
  const int top = y + PANEL_PADDING, bottom = y + h - PANEL_PADDING;
  int left = x + PANEL_PADDING, at = top;
  SetTextColor();
  for (const THelpLine& line : lines) {
    const int gap = line.heading && at != top ? SECTION_GAP : 0;
    if (at + gap + line_h > bottom && at != top) {
      left += column_w;
      at = top;
    }
    if (at != top) at += gap;
    if (line.heading) {
      font->Draw(line.input, left, at, Font::LALIGN, nullptr, 1, 0, nullptr);
    } else {
      const int input_x = left + ROW_INDENT;
      font->Draw(line.input, input_x, at, Font::LALIGN, nullptr, 1, 0, nullptr);
      font->Draw(line.effect, input_x + input_w + COLUMN_GAP, at, Font::LALIGN, nullptr, 1, 0,
                 nullptr);
    }
    at += line_h;
  }
  return 0;
}

}  // namespace skyloom
