// The drawing backend: what a device must do once the display layer has
// worked out the final geometry. Every primitive arrives in display pixels
// with origin, rotation and scale already applied, together with its style.
#pragma once

#include <memory>
#include <vector>

#include "runtime/display.h"

namespace skyloom {

// A point in display pixels (x right, y down, (0, 0) the top-left pixel).
struct TDrawPoint {
  float x = 0.0f;
  float y = 0.0f;
};

// How a primitive is coloured, blended and clipped.
struct TDrawStyle {
  int red = 255, green = 255, blue = 255;
  float alpha = 1.0f;
  int blend = BLEND_MASK;
  TViewport viewport;
};

// Device data a backend keeps for one image frame (a texture). Backends
// derive from it; the image owns it and drops it with the image.
class TTexture {
 public:
  virtual ~TTexture() = default;
};

class TDrawBackend {
 public:
  virtual ~TDrawBackend() = default;

  // Fills the viewport with a colour, ignoring blending.
  virtual void Clear(const TViewport& viewport, int red, int green, int blue) = 0;
  // A filled convex polygon (rectangles and ovals), corners in order.
  virtual void FillPolygon(const std::vector<TDrawPoint>& corners, const TDrawStyle& style) = 0;
  // A line between pixel positions; the end pixel is not set.
  virtual void Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) = 0;
  // The single pixel at a position.
  virtual void Point(TDrawPoint at, const TDrawStyle& style) = 0;
  // A frame of an image mapped onto corners: top-left, top-right,
  // bottom-right, bottom-left of the image. The frame index is valid.
  virtual void Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
                     const TDrawStyle& style) = 0;
  // Shows the back buffer, waiting for the vertical blank when asked.
  virtual void Present(bool wait_for_blank) = 0;
  // The rectangle of the back buffer as opaque RGBA8888, rows top to bottom.
  virtual PixmapRef Grab(int x, int y, int w, int h) = 0;
};

}  // namespace skyloom
