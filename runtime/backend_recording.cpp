// The recording backend: appends one entry per drawing call. Entries that
// Forget drops are kept aside and reused, so that recording frame after frame
// does not allocate a vertex list per primitive.
#include "runtime/backend_recording.h"

#include <memory>

namespace skyloom {

TRecordedPrimitive& TRecordingBackend::Record(TRecordedPrimitive::Kind kind,
                                              const TDrawStyle& style) {
  if (_spare.empty()) {
    primitives.emplace_back();
  } else {
    primitives.push_back(std::move(_spare.back()));
    _spare.pop_back();
  }
  TRecordedPrimitive& p = primitives.back();
  p.kind = kind;
  p.vertices.clear();
  p.style = style;
  p.line_width = 0;
  p.image = nullptr;
  p.frame = 0;
  return p;
}

void TRecordingBackend::Forget() {
  for (TRecordedPrimitive& p : primitives) _spare.push_back(std::move(p));
  primitives.clear();
}

void TRecordingBackend::Clear(const TViewport& viewport, int red, int green, int blue) {
  TDrawStyle style;
  style.red = red;
  style.green = green;
  style.blue = blue;
  style.viewport = viewport;
  Record(TRecordedPrimitive::CLEAR, style);
}

void TRecordingBackend::FillPolygon(const std::vector<TDrawPoint>& corners,
                                    const TDrawStyle& style) {
  Record(TRecordedPrimitive::POLYGON, style).vertices.assign(corners.begin(), corners.end());
}

void TRecordingBackend::Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) {
  TRecordedPrimitive& p = Record(TRecordedPrimitive::LINE, style);
  p.vertices.push_back(from);
  p.vertices.push_back(to);
  p.line_width = width;
}

void TRecordingBackend::Point(TDrawPoint at, const TDrawStyle& style) {
  Record(TRecordedPrimitive::POINT, style).vertices.push_back(at);
}

void TRecordingBackend::Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
                              const TDrawStyle& style) {
  TRecordedPrimitive& p = Record(TRecordedPrimitive::IMAGE, style);
  p.vertices.assign(corners, corners + 4);
  p.image = &image;
  p.frame = frame;
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
