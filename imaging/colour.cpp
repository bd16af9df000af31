// Colour-model conversions. Components are stored in single precision; the
// arithmetic between them runs in double precision (locals are doubles), with
// every constant written as a single-precision value that is then widened.
#include "imaging/colour.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <vector>

namespace skyloom {
namespace {

// sRGB companding.
constexpr float kLinearThreshold = 0.04045f;
constexpr float kGammaThreshold = 0.0031308f;
constexpr float kGammaOffset = 0.055f;
constexpr float kGammaScale = 1.055f;
constexpr float kLinearSlope = 12.92f;
constexpr double kGammaExponent = 2.4f;
constexpr double kInverseGammaExponent = 1.0f / 2.4f;

// CIE L*a*b*.
constexpr float kLabEpsilon = 0.008856f;
constexpr float kLabSlope = 7.787f;
constexpr float kLabOffset = 16.0f / 116.0f;
constexpr double kCubeRootExponent = 1.0f / 3.0f;

// Fractions of a turn used by huetorgb.
constexpr float kOneSixth = 1.0f / 6.0f;
constexpr float kOneThird = 1.0f / 3.0f;
constexpr float kOneHalf = 0.5f;
constexpr float kTwoThirds = 2.0f / 3.0f;

// Luma weights of the HCY model.
constexpr float kHcyRed = 0.3f;
constexpr float kHcyGreen = 0.59f;
constexpr float kHcyBlue = 0.11f;

// Luma weights shared by YIQ and YUV.
constexpr float kLumaRed = 0.299f;
constexpr float kLumaGreen = 0.587f;
constexpr float kLumaBlue = 0.114f;

// trunc(x * 255) with the product formed in single precision, so that k/255
// scales back to exactly k.
int Scale255(float x) {
  return TruncToInt(x * 255.0f);
}

// One channel of RGB made linear and scaled to 0...100.
double LineariseByFormula(double c) {
  const double linear = c > kLinearThreshold
                            ? std::pow((c + kGammaOffset) / kGammaScale, kGammaExponent)
                            : c / kLinearSlope;
  return linear * 100;
}

// The linearised values of the 256 channels k/255 that 8-bit colours
// convert to, which the blend modes meet on every pixel.
struct LinearTable {
  std::array<float, 256> input;
  std::array<double, 256> linear;
  LinearTable() {
    for (int k = 0; k < 256; ++k) {
      input[k] = static_cast<float>(k) / 255.0f;
      linear[k] = LineariseByFormula(input[k]);
    }
  }
};

const LinearTable& Linear() {
  static const LinearTable table;
  return table;
}

// LineariseByFormula, looked up when c is exactly one of the table's inputs.
double Linearise(float c) {
  const LinearTable& table = Linear();
  const float scaled = c * 255.0f;
  if (scaled >= 0 && scaled <= 255) {
    const int k = static_cast<int>(scaled + 0.5f);
    if (table.input[k] == c) return table.linear[k];
  }
  return LineariseByFormula(c);
}

// One linear channel back to sRGB.
float Compand(double v) {
  if (v > kGammaThreshold)
    return static_cast<float>(kGammaScale * std::pow(v, kInverseGammaExponent) - kGammaOffset);
  return static_cast<float>(kLinearSlope * v);
}

// A component limited to 0...1 as clampcolor limits it; NaN becomes 0.
float Limit01(float c) {
  const float at_least_zero = c > 0 ? c : 0.0f;  // NaN fails the test
  return std::min(1.0f, at_least_zero);
}

// The 8-bit channel of one linear channel: companded, limited to 0...1 and
// scaled, as a limited colour-model blend scales it.
int LimitedByteByFormula(double v) {
  return Scale255(Limit01(Compand(v)));
}

// LimitedByteByFormula where it needs the power function (v above
// kGammaThreshold), without calling it. Over that range the byte rises from
// its value just above the threshold to 255 one step at a time: every stage
// after the power function (scaling, rounding to single precision, limiting,
// truncation) never decreases, and the power function is within one unit in
// the last place of the exact power, which rises by more than two units
// between doubles ten apart. So away from a step the byte cannot differ from
// the table's, and the tests compare the two over every double within 2048
// of each step. The table holds the smallest double of each step, found by
// bisection over the doubles with the formula itself; the byte of v is the
// first value plus the number of steps at or below v. An index by the top
// bits of v gives a count to start from.
class CompandSteps {
 public:
  CompandSteps() {
    const uint64_t above = std::bit_cast<uint64_t>(static_cast<double>(kGammaThreshold));
    first_bits_ = above;
    first_byte_ = LimitedByteByFormula(std::bit_cast<double>(above + 1));
    const uint64_t saturated = std::bit_cast<uint64_t>(4.0);  // far past 255
    for (int byte = first_byte_ + 1; byte <= 255; ++byte) {
      uint64_t low = above, high = saturated;  // byte(low) < byte <= byte(high)
      while (high - low > 1) {
        const uint64_t middle = low + (high - low) / 2;
        (LimitedByteByFormula(std::bit_cast<double>(middle)) >= byte ? high : low) = middle;
      }
      steps_.push_back(std::bit_cast<double>(high));
    }
    const size_t buckets = BucketOf(steps_.back()) + 1;
    for (size_t i = 0; i < buckets; ++i) {
      const double start = std::bit_cast<double>(first_bits_ + (uint64_t{i} << kBucketShift));
      bucket_counts_.push_back(static_cast<uint8_t>(
          std::upper_bound(steps_.begin(), steps_.end(), start) - steps_.begin()));
    }
  }

  // The byte of v, for v > kGammaThreshold.
  int ByteOf(double v) const {
    if (v >= steps_.back()) return 255;
    size_t count = bucket_counts_[BucketOf(v)];
    while (steps_[count] <= v) ++count;
    return first_byte_ + static_cast<int>(count);
  }

 private:
  // Buckets of 2^44 consecutive doubles: 256 to each power of two.
  static constexpr int kBucketShift = 44;

  size_t BucketOf(double v) const {
    return (std::bit_cast<uint64_t>(v) - first_bits_) >> kBucketShift;
  }

  uint64_t first_bits_;                 // kGammaThreshold as a double
  int first_byte_;                      // the byte just above kGammaThreshold
  std::vector<double> steps_;           // steps_[j]: the first v whose byte is first_byte_ + 1 + j
  std::vector<uint8_t> bucket_counts_;  // steps at or below each bucket's first double
};

double LabForward(double t) {
  return t > kLabEpsilon ? std::pow(t, kCubeRootExponent) : kLabSlope * t + kLabOffset;
}

float LabInverse(double f) {
  const double cube = f * f * f;
  return static_cast<float>(cube > kLabEpsilon ? cube : (f - kLabOffset) / kLabSlope);
}

// The extremes of the three channels and the hue they share in the HSL, HSV
// and HCY models.
struct HueInfo {
  float max;
  float min;
  float hue;
};

HueInfo Hue(const Colour& rgb) {
  const float r = rgb[0], g = rgb[1], b = rgb[2];
  HueInfo info{std::max({r, g, b}), std::min({r, g, b}), 0.0f};
  const double delta = static_cast<double>(info.max) - info.min;
  if (delta == 0) return info;
  double h;
  if (r == info.max) {
    h = (g - static_cast<double>(b)) / delta;
    if (g < b) h += 6;
  } else if (g == info.max) {
    h = (b - static_cast<double>(r)) / delta + 2;
  } else {
    h = (r - static_cast<double>(g)) / delta + 4;
  }
  info.hue = static_cast<float>(h / 6);
  return info;
}

// The linear RGB channels of a normalised XYZ colour, before companding.
std::array<double, 3> LinearOfXyz(const Colour& xyz) {
  const double x = static_cast<double>(xyz[0]) * kWhiteX / 100;
  const double y = static_cast<double>(xyz[1]) * kWhiteY / 100;
  const double z = static_cast<double>(xyz[2]) * kWhiteZ / 100;
  return {3.2406f * x - 1.5372f * y - 0.4986f * z, -0.9689f * x + 1.8758f * y + 0.0415f * z,
          0.0557f * x - 0.2040f * y + 1.0570f * z};
}

// Normalised XYZ from linearised channels.
Colour XyzFromLinear(double r, double g, double b) {
  return Colour(static_cast<float>((0.4124f * r + 0.3576f * g + 0.1805f * b) / kWhiteX),
                static_cast<float>((0.2126f * r + 0.7152f * g + 0.0722f * b) / kWhiteY),
                static_cast<float>((0.0193f * r + 0.1192f * g + 0.9505f * b) / kWhiteZ));
}

}  // namespace

int TruncToInt(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT_MIN;
  return static_cast<int>(value);
}

std::array<uint8_t, 3> colorbytes(const Colour& colour) {
  std::array<uint8_t, 3> bytes{};
  for (int i = 0; i < 3; ++i) bytes[i] = static_cast<uint8_t>(Scale255(colour[i]) & 255);
  return bytes;
}

std::array<int, 3> colorints(const Colour& colour) {
  return {Scale255(colour[0]), Scale255(colour[1]), Scale255(colour[2])};
}

Colour colorfromrgb(int r, int g, int b) {
  return Colour(static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
                static_cast<float>(b) / 255.0f);
}

Colour colorfromargb(uint32_t argb) {
  return colorfromrgb((argb >> 16) & 255, (argb >> 8) & 255, argb & 255);
}

Colour rgbtoxyz(const Colour& rgb) {
  return XyzFromLinear(Linearise(rgb[0]), Linearise(rgb[1]), Linearise(rgb[2]));
}

Colour XyzFromBytes(int r, int g, int b) {
  const LinearTable& table = Linear();
  return XyzFromLinear(table.linear[r], table.linear[g], table.linear[b]);
}

Colour LabFromBytes(int r, int g, int b, int parts) {
  const Colour xyz = XyzFromBytes(r, g, b);
  const double fy = LabForward(xyz[1]);
  const double fx = parts & LAB_A ? LabForward(xyz[0]) : 0;
  const double fz = parts & LAB_B ? LabForward(xyz[2]) : 0;
  return Colour(static_cast<float>(116 * fy - 16),
                parts & LAB_A ? static_cast<float>(500 * (fx - fy)) : 0.0f,
                parts & LAB_B ? static_cast<float>(200 * (fy - fz)) : 0.0f);
}

Colour xyztorgb(const Colour& xyz) {
  const std::array<double, 3> linear = LinearOfXyz(xyz);
  return Colour(Compand(linear[0]), Compand(linear[1]), Compand(linear[2]));
}

int LimitedByteOfLinear(double v) {
  if (!(v > kGammaThreshold)) return LimitedByteByFormula(v);
  static const CompandSteps steps;
  return steps.ByteOf(v);
}

std::array<int, 3> XyzToLimitedBytes(const Colour& xyz) {
  const std::array<double, 3> linear = LinearOfXyz(xyz);
  return {LimitedByteOfLinear(linear[0]), LimitedByteOfLinear(linear[1]),
          LimitedByteOfLinear(linear[2])};
}

std::array<int, 3> LabToLimitedBytes(const Colour& lab) {
  return XyzToLimitedBytes(labtoxyz(lab));
}

Colour xyztolab(const Colour& xyz) {
  const double fx = LabForward(xyz[0]), fy = LabForward(xyz[1]), fz = LabForward(xyz[2]);
  return Colour(static_cast<float>(116 * fy - 16), static_cast<float>(500 * (fx - fy)),
                static_cast<float>(200 * (fy - fz)));
}

Colour labtoxyz(const Colour& lab) {
  const double fy = (static_cast<double>(lab[0]) + 16) / 116;
  const double fx = lab[1] / 500.0 + fy;
  const double fz = fy - lab[2] / 200.0;
  return Colour(LabInverse(fx), LabInverse(fy), LabInverse(fz));
}

Colour rgbtolab(const Colour& rgb) {
  return xyztolab(rgbtoxyz(rgb));
}
Colour labtorgb(const Colour& lab) {
  return xyztorgb(labtoxyz(lab));
}

Colour rgbtocmy(const Colour& rgb) {
  return Colour(1 - rgb[0], 1 - rgb[1], 1 - rgb[2]);
}
Colour cmytorgb(const Colour& cmy) {
  return Colour(1 - cmy[0], 1 - cmy[1], 1 - cmy[2]);
}

Colour cmytocmyk(const Colour& cmy) {
  float k = 1;
  for (int i = 0; i < 3; ++i) {
    if (cmy[i] < k) k = cmy[i];
  }
  if (k == 1) return Colour(0, 0, 0, 1);
  const double ink = 1.0 - k;
  const auto remove_black = [&](float x) {
    return static_cast<float>((x - static_cast<double>(k)) / ink);
  };
  return Colour(remove_black(cmy[0]), remove_black(cmy[1]), remove_black(cmy[2]), k);
}

Colour cmyktocmy(const Colour& cmyk) {
  const double k = cmyk[3];
  const auto add_black = [&](float x) { return static_cast<float>(x * (1 - k) + k); };
  return Colour(add_black(cmyk[0]), add_black(cmyk[1]), add_black(cmyk[2]));
}

Colour rgbtocmyk(const Colour& rgb) {
  return cmytocmyk(rgbtocmy(rgb));
}
Colour cmyktorgb(const Colour& cmyk) {
  return cmytorgb(cmyktocmy(cmyk));
}

Colour rgbtohsl(const Colour& rgb) {
  const HueInfo hue = Hue(rgb);
  const double sum = static_cast<double>(hue.max) + hue.min;
  const float l = static_cast<float>(sum / 2);
  if (hue.max == hue.min) return Colour(0, 0, l);
  const double delta = static_cast<double>(hue.max) - hue.min;
  const double s = l <= 0.5f ? delta / sum : delta / (2 - sum);
  return Colour(hue.hue, static_cast<float>(s), l);
}

float huetorgb(float m1, float m2, float h) {
  if (h < 0) h += 1;
  if (h > 1) h -= 1;
  const double low = m1, high = m2;
  if (h < kOneSixth) return static_cast<float>(low + (high - low) * 6 * h);
  if (h < kOneHalf) return m2;
  if (h < kTwoThirds)
    return static_cast<float>(low + (high - low) * (kTwoThirds - static_cast<double>(h)) * 6);
  return m1;
}

Colour hsltorgb(const Colour& hsl) {
  const float h = hsl[0];
  const double s = hsl[1], l = hsl[2];
  if (hsl[1] == 0) return Colour(hsl[2], hsl[2], hsl[2]);
  const double m2 = l < 0.5 ? l * (1 + s) : (l + s) - s * l;
  const float m1 = static_cast<float>(2 * l - m2);
  const float high = static_cast<float>(m2);
  return Colour(huetorgb(m1, high, static_cast<float>(h + static_cast<double>(kOneThird))),
                huetorgb(m1, high, h),
                huetorgb(m1, high, static_cast<float>(h - static_cast<double>(kOneThird))));
}

Colour rgbtohsv(const Colour& rgb) {
  const HueInfo hue = Hue(rgb);
  const double delta = static_cast<double>(hue.max) - hue.min;
  const float s = hue.max != 0 ? static_cast<float>(delta / hue.max) : 0.0f;
  return Colour(hue.hue, s, hue.max);
}

Colour hsvtorgb(const Colour& hsv) {
  const float h = hsv[0] * 6.0f;
  const int i = TruncToInt(h);
  const double f = static_cast<double>(h) - i;
  const double s = hsv[1];
  const float v = hsv[2];
  const float p = static_cast<float>(v * (1 - s));
  const float q = static_cast<float>(v * (1 - s * f));
  const float t = static_cast<float>(v * (1 - s * (1 - f)));
  switch (i % 6) {
    case 0:
      return Colour(v, t, p);
    case 1:
      return Colour(q, v, p);
    case 2:
      return Colour(p, v, t);
    case 3:
      return Colour(p, q, v);
    case 4:
      return Colour(t, p, v);
    case 5:
      return Colour(v, p, q);
    default:
      return Colour(0, 0, 0);
  }
}

Colour rgbtohcy(const Colour& rgb) {
  const HueInfo hue = Hue(rgb);
  const double luma = kHcyRed * static_cast<double>(rgb[0]) +
                      kHcyGreen * static_cast<double>(rgb[1]) +
                      kHcyBlue * static_cast<double>(rgb[2]);
  return Colour(hue.hue, hue.max - hue.min, static_cast<float>(luma));
}

Colour hcytorgb(const Colour& hcy) {
  const double h = static_cast<double>(hcy[0]) * 6;
  const double c = hcy[1];
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  if (h >= 0 && h < 1) {
    r = c, g = x;
  } else if (h >= 1 && h < 2) {
    r = x, g = c;
  } else if (h >= 2 && h < 3) {
    g = c, b = x;
  } else if (h >= 3 && h < 4) {
    g = x, b = c;
  } else if (h >= 4 && h < 5) {
    r = x, b = c;
  } else if (h >= 5 && h <= 6) {
    r = c, b = x;
  }
  const double m = hcy[2] - (kHcyRed * r + kHcyGreen * g + kHcyBlue * b);
  return Colour(static_cast<float>(r + m), static_cast<float>(g + m), static_cast<float>(b + m));
}

Colour rgbtoyiq(const Colour& rgb) {
  const double r = rgb[0], g = rgb[1], b = rgb[2];
  return Colour(static_cast<float>(kLumaRed * r + kLumaGreen * g + kLumaBlue * b),
                static_cast<float>(0.595716f * r - 0.274453f * g - 0.321264f * b),
                static_cast<float>(0.211456f * r - 0.522591f * g + 0.31135f * b));
}

Colour yiqtorgb(const Colour& yiq) {
  const double y = yiq[0], i = yiq[1], q = yiq[2];
  return Colour(static_cast<float>(y + 0.9563f * i + 0.621f * q),
                static_cast<float>(y - 0.2721f * i - 0.6474f * q),
                static_cast<float>(y - 1.107f * i + 1.7046f * q));
}

Colour rgbtoyuv(const Colour& rgb) {
  const double r = rgb[0], g = rgb[1], b = rgb[2];
  const double y = static_cast<float>(kLumaRed * r + kLumaGreen * g + kLumaBlue * b);
  return Colour(static_cast<float>(2 * y - 1), static_cast<float>(0.492f * (b - y) * kYuvScaleU),
                static_cast<float>(0.877f * (r - y) * kYuvScaleV));
}

Colour yuvtorgb(const Colour& yuv) {
  const double y = (static_cast<double>(yuv[0]) + 1) / 2;
  const double u = yuv[1] / static_cast<double>(kYuvScaleU);
  const double v = yuv[2] / static_cast<double>(kYuvScaleV);
  return Colour(static_cast<float>(y + 1.14f * v), static_cast<float>(y - 0.395f * u - 0.581f * v),
                static_cast<float>(y + 2.032f * u));
}

int clampcolor(Colour& colour) {
  for (int i = 0; i < 3; ++i) colour[i] = Limit01(colour[i]);
  return 0;
}

}  // namespace skyloom
