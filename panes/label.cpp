// The body label and its program-wide font.
#include "panes/label.h"

#include "panes/camera.h"
#include "text/gradient.h"

namespace skyloom {

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
  SetColor(0, 0, 0);
  const float width = static_cast<float>(font->Size(shown->name, nullptr)->x);
  DrawGradient(2, 2, 2 * width, static_cast<float>(font->height()), 0);
  SetColor(255, 255, 255);
  font->Draw(shown->name, 4, 4, Font::LALIGN, nullptr, 1, 0, nullptr);
  return 0;
}

}  // namespace skyloom
