// What the body label shows of a name: the part that fits in the pane, cut
// with "..." when the rest would not, and "?" for each character the label
// font has no glyph for. Only the shown part is looked at, so a huge name
// costs no more than a short one.
#pragma once

#include <string>

#include "text/font.h"

namespace skyloom {

constexpr char16_t LABEL_MISSING_GLYPH = u'?';
constexpr std::u16string_view LABEL_ELLIPSIS = u"...";

// Whether the font shows the character: a code above 0xFF never (the font
// has 256 glyphs, and its low byte would show some other character), a
// printable code only when its glyph has a width. Line breaks and control
// codes count as shown.
bool FontShows(const Font& font, char16_t c);

// The name as the label lays it out in a space width pixels wide and height
// pixels high at scale 1: every character the font does not show replaced by
// "?", and, when the name would run past the right edge or below the bottom,
// cut so that what is kept plus "..." fits. A name that fits and that the
// font shows whole comes back unchanged.
std::u16string LabelText(const std::u16string& name, const Font& font, int width, int height);

}  // namespace skyloom
