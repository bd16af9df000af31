// Colour models: conversions between RGB and XYZ, Lab, CMY, CMYK, HSL, HSV,
// HCY, YIQ and a scaled YUV, plus the small conversions between 8-bit integer
// colours and floating-point colours used by the blend modes.
#pragma once

#include <array>
#include <cstdint>

namespace skyloom {

// A floating-point colour: three single-precision components in the order of
// its model (four for CMYK). Every conversion below returns a new colour and
// leaves its argument unchanged; only clampcolor works in place.
//
// Component order and the ranges reached by colours that come from RGB 0...1:
//   RGB  red, green, blue                0...1
//   XYZ  X/Xn, Y/Yn, Z/Zn (D65 white)    about 0...1
//   Lab  L, a, b                         L 0...100, a and b signed
//   CMY  cyan, magenta, yellow           0...1
//   CMYK cyan, magenta, yellow, black    0...1
//   HSL  hue, saturation, lightness      0...1, hue a fraction of a turn
//   HSV  hue, saturation, value          0...1
//   HCY  hue, chroma, luma               0...1
//   YIQ  Y, I, Q                         Y 0...1, I +-0.596, Q +-0.523
//   YUV  2Y-1, U*2.2935781, V*1.6260163  about -1...1
class Colour {
 public:
  Colour() = default;
  Colour(float a, float b, float c) : _v{a, b, c, 0.0f}, _size(3) {}
  Colour(float a, float b, float c, float d) : _v{a, b, c, d}, _size(4) {}

  int size() const { return _size; }
  float& operator[](int i) { return _v[i]; }
  float operator[](int i) const { return _v[i]; }

  bool operator==(const Colour&) const = default;

 private:
  std::array<float, 4> _v{};
  int _size = 3;
};

// D65 reference white of the normalised XYZ model.
constexpr float kWhiteX = 95.047f;
constexpr float kWhiteY = 100.0f;
constexpr float kWhiteZ = 108.883f;

// Scale factors that bring U and V of the YUV model to about -1...1.
constexpr float kYuvScaleU = 2.2935781f;
constexpr float kYuvScaleV = 1.6260163f;

// Converts a floating-point value to int by truncating toward zero. NaN and
// values outside the int range give INT_MIN, as the processor's own
// conversion does, instead of undefined behaviour.
int TruncToInt(double value);

// Sets the drawing colour of the display to (c(r), c(g), c(b)) where
// c(x) = trunc(x * 255) limited to 0...255. Returns 0.
int setdrawcolorf(float r, float g, float b);

// setdrawcolorf of elements 0, 1 and 2. Returns 0.
int setdrawcolorv(const Colour& colour);

// trunc(x * 255) of elements 0, 1 and 2, kept to their low 8 bits: values
// outside 0...1 wrap around rather than being limited.
std::array<uint8_t, 3> colorbytes(const Colour& colour);

// trunc(x * 255) of elements 0, 1 and 2, not limited.
std::array<int, 3> colorints(const Colour& colour);

// (r/255, g/255, b/255).
Colour colorfromrgb(int r, int g, int b);

// The red, green and blue bytes of a packed 0xAARRGGBB colour over 255;
// alpha is ignored.
Colour colorfromargb(uint32_t argb);

// RGB <-> normalised XYZ (sRGB companding, D65 white).
Colour rgbtoxyz(const Colour& rgb);
Colour xyztorgb(const Colour& xyz);

// Normalised XYZ <-> CIE L*a*b*.
Colour xyztolab(const Colour& xyz);
Colour labtoxyz(const Colour& lab);

// RGB <-> Lab through XYZ.
Colour rgbtolab(const Colour& rgb);
Colour labtorgb(const Colour& lab);

// rgbtoxyz(colorfromrgb(r, g, b)) for channels 0...255, with the linearised
// channels taken from a table of all 256 instead of the power function.
Colour XyzFromBytes(int r, int g, int b);

// Lab components, added together as the parts argument of LabFromBytes.
constexpr int LAB_L = 1;
constexpr int LAB_A = 2;
constexpr int LAB_B = 4;
constexpr int LAB_ALL = 7;

// The components of rgbtolab(colorfromrgb(r, g, b)) that parts asks for, for
// channels 0...255; the others are 0. L is always there. The cube root of X
// is taken only for a, that of Z only for b.
Colour LabFromBytes(int r, int g, int b, int parts);

// The 8-bit channel of one linear RGB channel v as xyztorgb companding it,
// clampcolor and colorints give it. Where companding needs the power
// function, the byte comes from a table of the values of v at which it
// steps up, built once from the same formula.
int LimitedByteOfLinear(double v);

// colorints of xyztorgb(xyz) after clampcolor, through LimitedByteOfLinear.
std::array<int, 3> XyzToLimitedBytes(const Colour& xyz);

// XyzToLimitedBytes(labtoxyz(lab)).
std::array<int, 3> LabToLimitedBytes(const Colour& lab);

// RGB <-> CMY: each element x becomes 1 - x.
Colour rgbtocmy(const Colour& rgb);
Colour cmytorgb(const Colour& cmy);

// CMY (three elements) <-> CMYK (four elements): black is the smallest of
// the three inks, taken out of each.
Colour cmytocmyk(const Colour& cmy);
Colour cmyktocmy(const Colour& cmyk);

// RGB <-> CMYK through CMY.
Colour rgbtocmyk(const Colour& rgb);
Colour cmyktorgb(const Colour& cmyk);

// RGB <-> HSL. A grey has hue and saturation 0.
Colour rgbtohsl(const Colour& rgb);
Colour hsltorgb(const Colour& hsl);

// One channel of hsltorgb: the value at hue h (a fraction of a turn, taken
// once around into 0...1) between the levels m1 and m2.
float huetorgb(float m1, float m2, float h);

// RGB <-> HSV. Hues outside 0...1 that fall before the first sector give
// black.
Colour rgbtohsv(const Colour& rgb);
Colour hsvtorgb(const Colour& hsv);

// RGB <-> hue, chroma and luma (0.3 R + 0.59 G + 0.11 B). Hues outside 0...1
// give a grey of the requested luma.
Colour rgbtohcy(const Colour& rgb);
Colour hcytorgb(const Colour& hcy);

// RGB <-> YIQ.
Colour rgbtoyiq(const Colour& rgb);
Colour yiqtorgb(const Colour& yiq);

// RGB <-> scaled YUV: (2Y - 1, U * kYuvScaleU, V * kYuvScaleV).
Colour rgbtoyuv(const Colour& rgb);
Colour yuvtorgb(const Colour& yuv);

// Limits elements 0, 1 and 2 to 0...1 in place; NaN becomes 0. Returns 0.
int clampcolor(Colour& colour);

}  // namespace skyloom
