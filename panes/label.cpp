// The body label and its program-wide font.
#include "panes/label.h"

#include "panes/camera.h"
#include "panes/label_text.h"
#include "text/gradient.h"

namespace skyloom {

namespace {

// Where the band and the name stand in the camera's rectangle.
constexpr int LABEL_BAND_X = 2, LABEL_BAND_Y = 2;
constexpr int LABEL_TEXT_X = 4, LABEL_TEXT_Y = 4;

}  // namespace

FontRef& labelfont() {
  static FontRef font;
  return font;
}

int loadlabelfont(std::string& error) {
  try {
    labelfont() = loadfont(LABEL_FONT_URL);
  } catch (const std::exception& e) {
    error = e.what();
    return 0;
  }
  if (!labelfont()) error = "the embedded font cannot be opened";
  return labelfont() ? 1 : 0;
}

int drawlabel(const camera& cam) {
  const bodyRef& shown = cam.over ? cam.over : cam.focus;
  const FontRef& font = labelfont();
  if (!shown || !font) return 0;
  const std::u16string text =
      LabelText(shown->name, *font, cam.w - LABEL_TEXT_X, cam.h - LABEL_TEXT_Y);
  SetColor(0, 0, 0);
  const float width = static_cast<float>(font->Size(text, nullptr)->x);
  DrawGradient(LABEL_BAND_X, LABEL_BAND_Y, 2 * width, static_cast<float>(font->height()), 0);
  SetColor(255, 255, 255);
  font->Draw(text, LABEL_TEXT_X, LABEL_TEXT_Y, Font::LALIGN, nullptr, 1, 0, nullptr);
  return 0;
}

}  // namespace skyloom
