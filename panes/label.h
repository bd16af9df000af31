// The body label: the name of the body under the pointer, or else of the
// selected body, in white image-font text on a black band fading out to the
// right, in the top-left corner of every camera's rectangle.
#pragma once

#include "text/font.h"

namespace skyloom {

class camera;

constexpr const char16_t* LABEL_FONT_URL = u"incbin::font_data/brisle.ift";

// The font of every label; null until loadlabelfont.
FontRef& labelfont();

// Loads labelfont from LABEL_FONT_URL (the display must be open). Returns 1
// on success; 0 with the reason in error (a missing resource, a damaged file).
int loadlabelfont(std::string& error);

// The label of cam, drawn with the origin at its rectangle's top-left corner:
// the band at (2, 2), twice the name's width long and the font's height
// thick, then the name at (4, 4). Nothing without a body or without a font.
// The name is what LabelText keeps of it in the rectangle.
int drawlabel(const camera& cam);

}  // namespace skyloom
