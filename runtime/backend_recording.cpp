// The recording backend: appends one entry per drawing call.
#include "runtime/backend_recording.h"

#include <memory>

namespace skyloom {

bool TRecordingBackend::Counted() {
  ++counted;
  return keep;
}

void TRecordingBackend::Clear(const TViewport& viewport, int red, int green, int blue) {
  if (!Counted()) return;
  TRecordedPrimitive p;
  p.kind = TRecordedPrimitive::CLEAR;
  p.style.red = red;
  p.style.green = green;
  p.style.blue = blue;
  p.style.viewport = viewport;
  primitives.push_back(std::move(p));
}

void TRecordingBackend::FillPolygon(const std::vector<TDrawPoint>& corners,
                                    const TDrawStyle& style) {
  if (Counted()) primitives.push_back({TRecordedPrimitive::POLYGON, corners, style});
}

void TRecordingBackend::Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) {
  if (!Counted()) return;
  TRecordedPrimitive p{TRecordedPrimitive::LINE, {from, to}, style};
  p.line_width = width;
  primitives.push_back(std::move(p));
}

void TRecordingBackend::Point(TDrawPoint at, const TDrawStyle& style) {
  if (Counted()) primitives.push_back({TRecordedPrimitive::POINT, {at}, style});
}

void TRecordingBackend::Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
                              const TDrawStyle& style) {
  if (!Counted()) return;
  TRecordedPrimitive p{
      TRecordedPrimitive::IMAGE, {corners[0], corners[1], corners[2], corners[3]}, style};
  p.image = &image;
  p.frame = frame;
  primitives.push_back(std::move(p));
}

void TRecordingBackend::Present(bool wait_for_blank) {
  ++presents;
  if (wait_for_blank) ++waited_presents;
}

PixmapRef TRecordingBackend::Grab(int /*x*/, int /*y*/, int w, int h) {
  PixmapRef pixmap = TPixmap::Create(w, h, PIXEL_RGBA8888);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixmap->WritePixel(x, y, 0xFF000000u);
  }
  return pixmap;
}

}  // namespace skyloom
