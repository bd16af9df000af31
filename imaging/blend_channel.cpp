// The blend functions that work on 8-bit channels directly: those that apply
// one formula to red, green and blue independently, those that mix the
// channels of a colour, and the composites built from them.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "imaging/blend.h"
#include "imaging/colour.h"

namespace skyloom::blend {
namespace {

int Limit(int x) {
  return std::clamp(x, 0, 255);
}
double Limit(double x) {
  return std::clamp(x, 0.0, 255.0);
}

double Radians(double degrees) {
  return degrees * (std::numbers::pi / 180);
}

// Degrees per step of a source channel: 256 steps make 180 degrees.
constexpr double kDegreesPerStep = 0.703125;

// ln 255 rounded to single precision, slightly above the exact value.
constexpr double kLogOf255 = 5.541263580322266;

// 7/255 in single precision: turns a channel 0...255 into a shift 0...7.
constexpr double kPosterizeScale = 0.02745098f;

int DodgeChannel(int s, int d) {
  return s == 255 ? 255 : std::min(255, d * 256 / (255 - s));
}
int BurnChannel(int s, int d) {
  return s == 0 ? 0 : std::max(0, 255 - (255 - d) * 256 / s);
}

int VividLightChannel(int s, int d) {
  if (s == 0) return 0;
  if (s == 255) return 255;
  return s >= 128 ? DodgeChannel(s, d) : BurnChannel(s, d);
}

int HardLightChannel(int s, int d) {
  return s >= 128 ? 255 - (255 - s) * 2 * (255 - d) / 255 : s * 2 * d / 255;
}

int SoftLightChannel(int s, int d) {
  if (s > 127.5) {
    const float bend = static_cast<float>((255 - d) * ((s - 127.5) / 127.5));
    return static_cast<int>(static_cast<float>(d + bend * (0.5 - std::abs(s - 127.5) / 255)));
  }
  const float bend = static_cast<float>(d * ((127.5 - s) / 127.5));
  return static_cast<int>(static_cast<float>(d - bend * (0.5 - std::abs(d - 127.5) / 255)));
}

int DoubleMultiplyChannel(int s, int d) {
  return static_cast<int>(std::min(255.0, d * (s / 127.5)));
}

// The tangent of an angle in degrees. At 45 degrees either way it is exactly
// 1 or -1, which the radian conversion misses by a unit in the last place;
// that would make a truncated result one short.
double TanDegrees(double degrees) {
  if (degrees == 45) return 1;
  if (degrees == -45) return -1;
  return std::tan(Radians(degrees));
}

int TangentChannel(int s, int d, double factor) {
  const double slope = TanDegrees(s * kDegreesPerStep - 90);
  return static_cast<int>(Limit(slope * factor + d));
}

}  // namespace

// Defines a blend function that computes each of red, green and blue with
// the same formula of s (the source channel) and d (the destination one).
#define CHANNEL_BLEND(name, ...)                                                      \
  void name(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) { \
    const auto channel = []([[maybe_unused]] int s, [[maybe_unused]] int d) -> int {  \
      return __VA_ARGS__;                                                             \
    };                                                                                \
    r = channel(r1, r2);                                                              \
    g = channel(g1, g2);                                                              \
    b = channel(b1, b2);                                                              \
  }

CHANNEL_BLEND(Normal, s)
CHANNEL_BLEND(Lighten, std::max(s, d))
CHANNEL_BLEND(Darken, std::min(s, d))
CHANNEL_BLEND(Exclusion, static_cast<int>(s + d - s * d / 127.5))
CHANNEL_BLEND(Difference, std::abs(s - d))
CHANNEL_BLEND(GrainMerge, Limit(d + s - 127))
CHANNEL_BLEND(GrainExtractMerge, d <= 127 ? Limit(d - s + 127) : Limit(d + s - 127))
CHANNEL_BLEND(Multiply, s* d / 255)
CHANNEL_BLEND(Screen, s + d - s * d / 255)
CHANNEL_BLEND(Overlay, d >= 128 ? 255 - (255 - s) * 2 * (255 - d) / 255 : s * 2 * d / 255)
CHANNEL_BLEND(SoftLight, SoftLightChannel(s, d))
CHANNEL_BLEND(HardLight, HardLightChannel(s, d))
CHANNEL_BLEND(ColorDodge, DodgeChannel(s, d))
CHANNEL_BLEND(ColorBurn, BurnChannel(s, d))
CHANNEL_BLEND(LinearBurnAdd, std::min(255, d + std::max(0, d + s - 255)))
CHANNEL_BLEND(DarkenAlt, std::max(0, d - std::max(0, d - s)))
CHANNEL_BLEND(DarkenAdd, std::min(255, d + std::min(s, d)))
CHANNEL_BLEND(LinearBurnAlt, std::max(0, d - std::min(255 - s, d)))
CHANNEL_BLEND(SourceSquareMean, (s * s + s * d) / 510)
CHANNEL_BLEND(BaseSquareMean, (d * d + s * d) / 510)
CHANNEL_BLEND(Reflect, d == 255 ? 255 : std::min(255, s* s / (255 - d)))
CHANNEL_BLEND(Glow, s == 255 ? 255 : std::min(255, d* d / (255 - s)))
CHANNEL_BLEND(Freeze, d == 0 ? 0 : std::max(0, 255 - (255 - s) * (255 - s) / d))
CHANNEL_BLEND(Heat, s == 0 ? 0 : std::max(0, 255 - (255 - d) * (255 - d) / s))
CHANNEL_BLEND(InverseSumMultiply, d* std::abs(255 - s - d) / 255)
CHANNEL_BLEND(PinLight, s >= 128 ? std::max((s - 128) * 2, d) : std::min(s * 2, d))
CHANNEL_BLEND(VividLight, VividLightChannel(s, d))
CHANNEL_BLEND(HardMix, VividLightChannel(s, d) >= 128 ? 255 : 0)
CHANNEL_BLEND(CubeMultiply, static_cast<int>(int64_t{d} * s * s * s / 16581375))
CHANNEL_BLEND(Add, std::min(255, d + s))
CHANNEL_BLEND(Subtract, std::max(0, d - s))
CHANNEL_BLEND(AddInverse, std::min(255, d + 255 - s))
CHANNEL_BLEND(LinearBurn, std::max(0, d - (255 - s)))
CHANNEL_BLEND(LinearLight, Limit(d + s + s - 255))
CHANNEL_BLEND(Power, static_cast<int>(std::pow(static_cast<double>(d), s / 255.0)))
CHANNEL_BLEND(Logarithm, s == 0 ? 0 : static_cast<int>(std::max(0.0, std::log(s) * d / kLogOf255)))
CHANNEL_BLEND(SelfAlpha, (d * (255 - s) + s * s) / 255)
CHANNEL_BLEND(BaseSquareMean2, d*(s + d) / 510)
CHANNEL_BLEND(DifferenceSubtract, std::max(0, d - std::abs(d - s)))
CHANNEL_BLEND(GreyDistance, std::min(255, (d * std::abs(s - 127)) >> 7))
CHANNEL_BLEND(SquareDodge, std::min(255, d + s * s * d / 65025))
CHANNEL_BLEND(SquareBurn, std::max(0, d - (255 - s) * (255 - s) * (255 - d) / 65025))
CHANNEL_BLEND(DoubleMultiply, DoubleMultiplyChannel(s, d))
CHANNEL_BLEND(CurveDarken, static_cast<int>(Limit(d - (255 - s) * ((255 - s) / 127.5 - 1))))
CHANNEL_BLEND(CurveLighten, static_cast<int>(Limit(d + s * (s / 127.5 - 1))))
CHANNEL_BLEND(Average, (s + d) >> 1)
CHANNEL_BLEND(Modulo, d % (s + 1))
CHANNEL_BLEND(MultiplyUnscaled, std::min(255, s* d))
CHANNEL_BLEND(Sine, static_cast<int>(std::abs(std::sin(Radians(s* kDegreesPerStep))) * d))
CHANNEL_BLEND(Cosine, static_cast<int>(std::abs(std::cos(Radians(s* kDegreesPerStep))) * d))
CHANNEL_BLEND(Tangent32, TangentChannel(s, d, 32))
CHANNEL_BLEND(Tangent8, TangentChannel(s, d, 8))
CHANNEL_BLEND(Tangent128, TangentChannel(s, d, 128))
CHANNEL_BLEND(MultiplyDodge, std::min(255, d + ((s * d) >> 8)))
CHANNEL_BLEND(MultiplyBurn, std::max(0, d - (255 - ((s * d) >> 8))))
CHANNEL_BLEND(MultiplySubtract, std::max(0, d - ((s * d) >> 8)))
CHANNEL_BLEND(Posterize, (d >> static_cast<int>(s * kPosterizeScale))
                             << static_cast<int>(s * kPosterizeScale))
CHANNEL_BLEND(And, s& d)
CHANNEL_BLEND(Or, s | d)
CHANNEL_BLEND(Xor, s ^ d)
CHANNEL_BLEND(Nand, (s & d) ^ 255)
CHANNEL_BLEND(Nor, (s | d) ^ 255)
CHANNEL_BLEND(Xnor, (s ^ d) ^ 255)

#undef CHANNEL_BLEND

// Functions that mix channels: lum is 3 red + 6 green + blue (0...2550), sum
// is red + green + blue (0...765).

namespace {

int Lum(int red, int green, int blue) {
  return 3 * red + 6 * green + blue;
}

}  // namespace

void LumaCross(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  const int lum_s = Lum(r1, g1, b1), lum_d = Lum(r2, g2, b2);
  r = (r1 * lum_d + r2 * lum_s) / 5100;
  g = (g1 * lum_d + g2 * lum_s) / 5100;
  b = (b1 * lum_d + b2 * lum_s) / 5100;
}

void LumaWeight(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  const int lum_s = Lum(r1, g1, b1), lum_d = Lum(r2, g2, b2);
  r = (r1 * lum_s + r2 * lum_d) / 5100;
  g = (g1 * lum_s + g2 * lum_d) / 5100;
  b = (b1 * lum_s + b2 * lum_d) / 5100;
}

void LumaMix(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  int wr, wg, wb, cr, cg, cb;
  LumaWeight(r1, g1, b1, r2, g2, b2, wr, wg, wb);
  LumaCross(r1, g1, b1, r2, g2, b2, cr, cg, cb);
  r = (wr + cr) / 2;
  g = (wg + cg) / 2;
  b = (wb + cb) / 2;
}

void SumProduct(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  const int sum_s = r1 + g1 + b1, sum_d = r2 + g2 + b2;
  r = (r2 + sum_d) * (r1 + sum_s) / 4080;
  g = (g2 + sum_d) * (g1 + sum_s) / 4080;
  b = (b2 + sum_d) * (b1 + sum_s) / 4080;
}

void SourceSumWeight(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  const int sum_s = r1 + g1 + b1;
  r = (r2 * sum_s + r1 * sum_s) / 2040;
  g = (g2 * sum_s + g1 * sum_s) / 2040;
  b = (b2 * sum_s + b1 * sum_s) / 2040;
}

void BaseSumWeight(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  const int sum_d = r2 + g2 + b2;
  r = (r2 * sum_d + r1 * sum_d) / 2040;
  g = (g2 * sum_d + g1 * sum_d) / 2040;
  b = (b2 * sum_d + b1 * sum_d) / 2040;
}

void ChromaAdd(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  r = Limit(r2 + r1 + r1 - g1 - b1);
  g = Limit(g2 + g1 + g1 - r1 - b1);
  b = Limit(b2 + b1 + b1 - r1 - g1);
}

void ChromaAddHalf(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  r = Limit(r2 + r1 - (g1 + b1) / 2);
  g = Limit(g2 + g1 - (r1 + b1) / 2);
  b = Limit(b2 + b1 - (r1 + g1) / 2);
}

void BrightAdd(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  const int sum_s = r1 + g1 + b1;
  r = std::min(255, r2 + ((sum_s + r1) >> 2));
  g = std::min(255, g2 + ((sum_s + g1) >> 2));
  b = std::min(255, b2 + ((sum_s + b1) >> 2));
}

// Composites: the inner function is called by name, never through the
// current selection.

void CurveBoth(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  int ir, ig, ib;
  CurveDarken(r1, g1, b1, r2, g2, b2, ir, ig, ib);
  CurveLighten(ir, ig, ib, r2, g2, b2, r, g, b);
}

void OverlayLuma(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  int ir, ig, ib;
  Overlay(r1, g1, b1, r2, g2, b2, ir, ig, ib);
  LumaCross(r1, g1, b1, ir, ig, ib, r, g, b);
}

void SoftScreen(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  int ir, ig, ib;
  SoftLight(r1, g1, b1, r2, g2, b2, ir, ig, ib);
  Screen(r1, g1, b1, ir, ig, ib, r, g, b);
}

void MultiplyAdd(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  int ir, ig, ib;
  Multiply(r1, g1, b1, r2, g2, b2, ir, ig, ib);
  Add(r1, g1, b1, ir, ig, ib, r, g, b);
}

void OverlaySoft(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  int ir, ig, ib;
  Overlay(r1, g1, b1, r2, g2, b2, ir, ig, ib);
  SoftLight(ir, ig, ib, r2, g2, b2, r, g, b);
}

void YiqQMultiply(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  int ir, ig, ib;
  YiqQ(r1, g1, b1, r2, g2, b2, ir, ig, ib);
  Multiply(r1, g1, b1, ir, ig, ib, r, g, b);
}

void HardLightMax(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  r = std::max(HardLightChannel(r1, r2), DoubleMultiplyChannel(r1, r2));
  g = std::max(HardLightChannel(g1, g2), DoubleMultiplyChannel(g1, g2));
  b = std::max(HardLightChannel(b1, b2), DoubleMultiplyChannel(b1, b2));
}

}  // namespace skyloom::blend
