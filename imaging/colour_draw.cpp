// The drawing-colour setters of the colour library: floating-point colours
// become the display's 0...255 drawing colour. Kept apart from the
// conversions so that programs that only convert colours need no display.
#include <algorithm>

#include "imaging/colour.h"
#include "runtime/display.h"

namespace skyloom {
namespace {

int LimitedChannel(float x) {
  return std::clamp(TruncToInt(x * 255.0f), 0, 255);
}

}  // namespace

int setdrawcolorf(float r, float g, float b) {
  SetColor(LimitedChannel(r), LimitedChannel(g), LimitedChannel(b));
  return 0;
}

int setdrawcolorv(const Colour& colour) {
  return setdrawcolorf(colour[0], colour[1], colour[2]);
}

}  // namespace skyloom
