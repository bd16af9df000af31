// The gradient bar: loading its embedded picture and drawing it stretched and
// turned through the drawing transform, which is reset afterwards.
#include "text/gradient.h"

#include "assets/embedded.h"

namespace skyloom {
namespace {

constexpr char16_t kGradientUrl[] = u"incbin::gradient.png";

ImageRef& GradientSlot() {
  static ImageRef image;
  return image;
}

}  // namespace

int InitGradient() {
  RegisterEmbeddedResources();
  GradientSlot() = LoadImageFrom(kGradientUrl);
  return GradientSlot() ? 1 : 0;
}

const ImageRef& gradientimage() {
  return GradientSlot();
}

void DrawGradient(float x, float y, float length, float thickness, int flip) {
  // Whole turns are dropped, so no flip overflows or loses its parity in a float.
  SetDrawRotation(static_cast<float>(flip % 2 * 180));
  SetDrawScale(length / GRADIENT_LENGTH, thickness);
  DrawImageAt(GradientSlot(), x, y, 0);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
}

PixmapRef MakeGradientPixmap() {
  PixmapRef pixmap = TPixmap::Create(GRADIENT_LENGTH, 1, PIXEL_RGBA8888, 4);
  for (int i = 0; i < GRADIENT_LENGTH; ++i) {
    pixmap->WritePixel(i, 0, (static_cast<uint32_t>(255 - i) << 24) | 0x00FFFFFFu);
  }
  return pixmap;
}

}  // namespace skyloom
