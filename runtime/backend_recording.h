// A drawing backend that draws nothing and records every call, for tests that
// check geometry, colour, blending and clipping without a window. Install it
// with OpenRecordingDisplay(width, height) from runtime/display.h.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/backend.h"

namespace skyloom {

// One recorded call. vertices holds the final display-space points: the
// corners of a polygon or image (top-left, top-right, bottom-right,
// bottom-left for an image), the two ends of a line, the one point of a plot.
struct TRecordedPrimitive {
  enum Kind { CLEAR, POLYGON, LINE, POINT, IMAGE };
  Kind kind = POLYGON;
  std::vector<TDrawPoint> vertices;
  TDrawStyle style;               // for CLEAR: the clear colour and the viewport cleared
  float line_width = 0;           // LINE only
  const TImage* image = nullptr;  // IMAGE only; for identity, not owned
  int frame = 0;                  // IMAGE only
};

class TRecordingBackend : public TDrawBackend {
 public:
  void Clear(const TViewport& viewport, int red, int green, int blue) override;
  void FillPolygon(const std::vector<TDrawPoint>& corners, const TDrawStyle& style) override;
  void Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) override;
  void Point(TDrawPoint at, const TDrawStyle& style) override;
  void Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
             const TDrawStyle& style) override;
  void Present(bool wait_for_blank) override;
  // The recorder keeps no pixels: a grab is opaque black of the asked size.
  PixmapRef Grab(int x, int y, int w, int h) override;

  // Everything recorded since the display opened or since Forget(), while
  // keep is set. Cleared, the recorder only counts: a display whose own cost
  // is next to nothing, for measuring the cost of what draws.
  bool keep = true;
  std::vector<TRecordedPrimitive> primitives;
  int64_t counted = 0;  // primitives since the display opened, kept or not
  int presents = 0;
  int waited_presents = 0;  // presents that asked to wait for the vertical blank

  void Forget() { primitives.clear(); }
  // The most recent primitive (callers make sure there is one).
  const TRecordedPrimitive& Last() const { return primitives.back(); }

 private:
  // Counts one primitive; whether to keep it.
  bool Counted();
};

}  // namespace skyloom
