// The time status in the top-right corner of a camera's rectangle.
#include "panes/time_status.h"

#include "panes/camera.h"
#include "panes/label.h"

namespace skyloom {

int drawtimestatus(const camera& cam) {
  const FontRef& font = labelfont();
  if (!cam.view || !font) return 0;
  const std::u16string text = cam.view->ratetext();
  if (text.empty()) return 0;
  const int width = font->Size(text, nullptr)->x;
  SetColor(255, 255, 255);
  font->Draw(text, cam.w - TIME_STATUS_INSET - width, TIME_STATUS_INSET, Font::LALIGN, nullptr, 1,
             0, nullptr);
  return 0;
}

}  // namespace skyloom
