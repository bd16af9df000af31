// Colour-model conversions: known values of every model, round trips from
// RGB and back over a grid of colours, the integer conversions with their
// wrapping and limiting, clampcolor and the drawing-colour setter.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "imaging/colour.h"
#include "runtime/backend_recording.h"
#include "runtime/display.h"

namespace skyloom {
namespace {

using Conversion = Colour (*)(const Colour&);

void ExpectNear(const Colour& actual, const Colour& expected, float tolerance,
                const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (int i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(actual[i], expected[i], tolerance) << what << ", element " << i;
  }
}

struct KnownValue {
  const char* name;
  Conversion convert;
  Colour input;
  Colour expected;
  float tolerance;
};

TEST(ColourTest, ConversionsGiveKnownValues) {
  const float third = 1.0f / 3.0f;
  const KnownValue cases[] = {
      {"rgbtohsl grey", rgbtohsl, {0.5f, 0.5f, 0.5f}, {0, 0, 0.5f}, 1e-6f},
      {"rgbtohsl red", rgbtohsl, {1, 0, 0}, {0, 1, 0.5f}, 1e-6f},
      {"rgbtohsl green", rgbtohsl, {0, 1, 0}, {third, 1, 0.5f}, 1e-6f},
      {"rgbtohsl blue", rgbtohsl, {0, 0, 1}, {2 * third, 1, 0.5f}, 1e-6f},
      {"rgbtohsl magenta", rgbtohsl, {1, 0, 1}, {5.0f / 6, 1, 0.5f}, 1e-6f},
      // Lightness above one half takes the other saturation formula.
      {"rgbtohsl light", rgbtohsl, {1, 0.5f, 0.5f}, {0, 1, 0.75f}, 1e-6f},
      {"hsltorgb grey", hsltorgb, {0.7f, 0, 0.3f}, {0.3f, 0.3f, 0.3f}, 0},
      {"hsltorgb dark", hsltorgb, {0, 1, 0.25f}, {0.5f, 0, 0}, 1e-6f},
      {"rgbtohsv black", rgbtohsv, {0, 0, 0}, {0, 0, 0}, 0},
      {"rgbtohsv cyan", rgbtohsv, {0, 0.5f, 0.5f}, {0.5f, 1, 0.5f}, 1e-6f},
      {"hsvtorgb full turn", hsvtorgb, {1, 1, 1}, {1, 0, 0}, 0},
      {"hsvtorgb no turn", hsvtorgb, {0, 1, 1}, {1, 0, 0}, 0},
      {"hsvtorgb negative hue", hsvtorgb, {-0.5f, 1, 1}, {0, 0, 0}, 0},
      {"hsvtorgb yellow-green", hsvtorgb, {0.25f, 1, 1}, {0.5f, 1, 0}, 1e-6f},
      {"rgbtohcy magenta", rgbtohcy, {1, 0, 1}, {5.0f / 6, 1, 0.41f}, 1e-6f},
      {"hcytorgb magenta", hcytorgb, {5.0f / 6, 1, 0.41f}, {1, 0, 1}, 1e-5f},
      {"hcytorgb negative hue", hcytorgb, {-0.5f, 1, 0.4f}, {0.4f, 0.4f, 0.4f}, 1e-6f},
      {"hcytorgb hue 1 is sector 6", hcytorgb, {1, 1, 0.3f}, {1, 0, 0}, 1e-6f},
      {"rgbtoxyz white", rgbtoxyz, {1, 1, 1}, {1.00003f, 1, 1.00016f}, 2e-5f},
      {"rgbtoxyz dark",
       rgbtoxyz,
       {0.02f, 0.02f, 0.02f},
       {0.02f / 12.92f, 0.02f / 12.92f, 0.02f / 12.92f},
       1e-5f},
      {"xyztorgb white", xyztorgb, {1, 1, 1}, {1.000001f, 1.000033f, 0.999927f}, 2e-6f},
      {"rgbtolab white", rgbtolab, {1, 1, 1}, {100, 0, 0}, 0.02f},
      {"rgbtolab black", rgbtolab, {0, 0, 0}, {0, 0, 0}, 1e-4f},
      {"rgbtolab red", rgbtolab, {1, 0, 0}, {53.24f, 80.09f, 67.20f}, 0.05f},
      {"labtorgb grey", labtorgb, {53.38896f, 0, 0}, {0.5f, 0.5f, 0.5f}, 5e-5f},
      {"rgbtocmy", rgbtocmy, {0.25f, 0.5f, 1}, {0.75f, 0.5f, 0}, 0},
      {"cmytocmyk full", cmytocmyk, {1, 1, 1}, {0, 0, 0, 1}, 0},
      {"cmytocmyk mixed", cmytocmyk, {0.5f, 0.6f, 0.7f}, {0, 0.2f, 0.4f, 0.5f}, 1e-6f},
      {"cmyktocmy", cmyktocmy, {0, 0.2f, 0.4f, 0.5f}, {0.5f, 0.6f, 0.7f}, 1e-6f},
      {"rgbtocmyk white", rgbtocmyk, {1, 1, 1}, {0, 0, 0, 0}, 0},
      {"cmyktorgb black ink", cmyktorgb, {0.3f, 0.3f, 0.3f, 1}, {0, 0, 0}, 0},
      {"rgbtoyiq white", rgbtoyiq, {1, 1, 1}, {1, -0.000001f, 0.000215f}, 1e-6f},
      {"rgbtoyiq red", rgbtoyiq, {1, 0, 0}, {0.299f, 0.595716f, 0.211456f}, 1e-6f},
      {"rgbtoyuv white", rgbtoyuv, {1, 1, 1}, {1, 0, 0}, 1e-6f},
      {"rgbtoyuv black", rgbtoyuv, {0, 0, 0}, {-1, 0, 0}, 0},
      {"rgbtoyuv blue",
       rgbtoyuv,
       {0, 0, 1},
       {-0.772f, 0.886f * 0.492f * 2.2935781f, -0.114f * 0.877f * 1.6260163f},
       1e-5f},
  };
  for (const KnownValue& c : cases) ExpectNear(c.convert(c.input), c.expected, c.tolerance, c.name);
}

TEST(ColourTest, EightBitChannelsLineariseLikeTheirNeighbours) {
  // The channels k/255 are linearised from a table; a colour one float step
  // away takes the formula, and the two must agree.
  for (int k = 0; k <= 255; ++k) {
    const float c = static_cast<float>(k) / 255.0f;
    const float next = std::nextafter(c, 2.0f);
    ExpectNear(rgbtoxyz({c, c, c}), rgbtoxyz({next, next, next}), 1e-6f,
               "channel " + std::to_string(k));
  }
}

TEST(ColourTest, ByteConversionsEqualTheConversionsOfTheScaledColour) {
  // Every channel value in every position, beside a few levels in the others.
  const int others[] = {0, 1, 128, 254, 255};
  const int lab_parts[] = {LAB_L, LAB_A, LAB_B, LAB_L | LAB_A, LAB_A | LAB_B, LAB_ALL};
  for (int k = 0; k <= 255; ++k) {
    for (int position = 0; position < 3; ++position) {
      for (int other : others) {
        int c[3] = {other, 255 - other, other};
        c[position] = k;
        const Colour rgb = colorfromrgb(c[0], c[1], c[2]);
        const std::string what =
            std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]);
        ASSERT_EQ(XyzFromBytes(c[0], c[1], c[2]), rgbtoxyz(rgb)) << what;
        const Colour lab = rgbtolab(rgb);
        for (int parts : lab_parts) {
          const Colour some = LabFromBytes(c[0], c[1], c[2], parts);
          ASSERT_EQ(some[0], lab[0]) << what;
          ASSERT_EQ(some[1], parts & LAB_A ? lab[1] : 0.0f) << what << ", parts " << parts;
          ASSERT_EQ(some[2], parts & LAB_B ? lab[2] : 0.0f) << what << ", parts " << parts;
        }
      }
    }
  }
}

// The 8-bit channel of a linear channel written out as companding,
// clampcolor and colorints define it.
int LimitedByteByFormula(double v) {
  const float companded =
      v > 0.0031308f
          ? static_cast<float>(1.055f * std::pow(v, static_cast<double>(1.0f / 2.4f)) - 0.055f)
          : static_cast<float>(12.92f * v);
  const float limited = std::min(1.0f, companded > 0 ? companded : 0.0f);
  return static_cast<int>(limited * 255.0f);
}

double DoubleOfBits(uint64_t bits) {
  return std::bit_cast<double>(bits);
}
uint64_t BitsOf(double v) {
  return std::bit_cast<uint64_t>(v);
}

TEST(ColourTest, LimitedByteOfLinearEqualsTheFormulaAroundEveryStep) {
  // The byte changes only where it steps up; every double within 2048 steps
  // of the double on either side of each step is tried, found here by a
  // bisection of the test's own.
  const uint64_t threshold = BitsOf(static_cast<double>(0.0031308f));
  for (int byte = LimitedByteByFormula(DoubleOfBits(threshold + 1)) + 1; byte <= 255; ++byte) {
    uint64_t low = threshold, high = BitsOf(4.0);
    while (high - low > 1) {
      const uint64_t middle = low + (high - low) / 2;
      (LimitedByteByFormula(DoubleOfBits(middle)) >= byte ? high : low) = middle;
    }
    for (uint64_t bits = high - 2048; bits <= high + 2048; ++bits) {
      const double v = DoubleOfBits(bits);
      ASSERT_EQ(LimitedByteOfLinear(v), LimitedByteByFormula(v)) << "v " << v << ", byte " << byte;
    }
  }
}

TEST(ColourTest, LimitedByteOfLinearEqualsTheFormulaEverywhereElse) {
  const double special[] = {-INFINITY,
                            -1.0,
                            -0.0,
                            0.0,
                            std::numeric_limits<double>::denorm_min(),
                            0.0031308f,
                            std::nextafter(static_cast<double>(0.0031308f), 1.0),
                            0.5,
                            1.0,
                            std::nextafter(1.0, 2.0),
                            1.5,
                            4.0,
                            1e300,
                            INFINITY,
                            NAN};
  for (double v : special) EXPECT_EQ(LimitedByteOfLinear(v), LimitedByteByFormula(v)) << v;
  // Doubles spread evenly by their bits from 0 to 4.
  std::mt19937_64 random(7);
  std::uniform_int_distribution<uint64_t> bits(0, BitsOf(4.0));
  for (int i = 0; i < 200000; ++i) {
    const double v = DoubleOfBits(bits(random));
    ASSERT_EQ(LimitedByteOfLinear(v), LimitedByteByFormula(v)) << v;
  }
}

TEST(ColourTest, LimitedBytesOfXyzAndLabAreTheClampedConversions) {
  const Colour colours[] = {
      {0, 0, 0},        {1, 1, 1},  {0.5f, 0.2f, 0.9f}, {1.2f, -0.1f, 0.4f}, {53.2f, 80.1f, 67.2f},
      {100, -128, 127}, {20, 0, 0}, {NAN, 0.5f, 0.5f}};
  for (const Colour& c : colours) {
    Colour rgb = xyztorgb(c);
    clampcolor(rgb);
    EXPECT_EQ(XyzToLimitedBytes(c), colorints(rgb)) << c[0] << ", " << c[1] << ", " << c[2];
    rgb = labtorgb(c);
    clampcolor(rgb);
    EXPECT_EQ(LabToLimitedBytes(c), colorints(rgb)) << c[0] << ", " << c[1] << ", " << c[2];
  }
}

TEST(ColourTest, HueToRgbWrapsTheHueOnceAndFollowsItsFourSegments) {
  struct Case {
    float h;
    float expected;
  } cases[] = {
      {0.0f, 0.2f},  {1.0f / 12, 0.5f},  // rising from m1 to m2
      {0.25f, 0.8f}, {0.6f, 0.2f + 0.6f * (2.0f / 3 - 0.6f) * 6},
      {0.9f, 0.2f},  {-0.75f, 0.8f},  // -0.75 wraps to 0.25
      {1.25f, 0.8f},                  // 1.25 wraps to 0.25
  };
  for (const Case& c : cases) EXPECT_NEAR(huetorgb(0.2f, 0.8f, c.h), c.expected, 1e-6f) << c.h;
}

TEST(ColourTest, HuesThatAreNotNumbersGiveTheFallbackColours) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  ExpectNear(hsvtorgb({nan, 1, 1}), {0, 0, 0}, 0, "hsv NaN hue");
  ExpectNear(hsvtorgb({1e30f, 1, 1}), {0, 0, 0}, 0, "hsv hue beyond int range");
  ExpectNear(hcytorgb({nan, 1, 0.5f}), {0.5f, 0.5f, 0.5f}, 1e-6f, "hcy NaN hue");
  ExpectNear(hcytorgb({1.5f, 1, 0.5f}), {0.5f, 0.5f, 0.5f}, 1e-6f, "hcy hue beyond 1");
}

struct RoundTrip {
  const char* model;
  Conversion from_rgb;
  Conversion to_rgb;
  // The matrix models carry coefficients of four to six digits, so their
  // inverses are not exact; the others come back up to float rounding.
  float tolerance;
};

void PrintTo(const RoundTrip& model, std::ostream* out) {
  *out << model.model;
}

class ColourRoundTripTest : public testing::TestWithParam<RoundTrip> {};

TEST_P(ColourRoundTripTest, ReturnsTheColourUpToRounding) {
  const RoundTrip& model = GetParam();
  for (int r = 0; r <= 255; r += 15) {
    for (int g = 0; g <= 255; g += 15) {
      for (int b = 0; b <= 255; b += 15) {
        const Colour rgb = colorfromrgb(r, g, b);
        const Colour back = model.to_rgb(model.from_rgb(rgb));
        ExpectNear(back, rgb, model.tolerance,
                   std::string(model.model) + " of " + std::to_string(r) + "," + std::to_string(g) +
                       "," + std::to_string(b));
        if (HasFailure()) return;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Models, ColourRoundTripTest,
                         testing::Values(RoundTrip{"HSL", rgbtohsl, hsltorgb, 1e-6f},
                                         RoundTrip{"HSV", rgbtohsv, hsvtorgb, 1e-6f},
                                         RoundTrip{"HCY", rgbtohcy, hcytorgb, 1e-6f},
                                         RoundTrip{"CMYK", rgbtocmyk, cmyktorgb, 1e-6f},
                                         RoundTrip{"XYZ", rgbtoxyz, xyztorgb, 5e-4f},
                                         RoundTrip{"Lab", rgbtolab, labtorgb, 5e-4f},
                                         RoundTrip{"YIQ", rgbtoyiq, yiqtorgb, 5e-4f},
                                         RoundTrip{"YUV", rgbtoyuv, yuvtorgb, 5e-4f}),
                         [](const testing::TestParamInfo<RoundTrip>& info) {
                           return std::string(info.param.model);
                         });

TEST(ColourTest, ConversionsReturnANewColourOfTheModelsSize) {
  const Colour rgb(0.2f, 0.4f, 0.6f);
  const Colour cmyk = rgbtocmyk(rgb);
  EXPECT_EQ(cmyk.size(), 4);
  EXPECT_EQ(cmyktorgb(cmyk).size(), 3);
  EXPECT_EQ(rgb, Colour(0.2f, 0.4f, 0.6f));
}

TEST(ColourTest, IntegerColoursScaleByTwoHundredAndFiftyFive) {
  EXPECT_EQ(colorfromrgb(255, 0, 51), Colour(1, 0, 0.2f));
  EXPECT_EQ(colorfromargb(0x80FF8000u), Colour(1, 128.0f / 255, 0));
  // Alpha plays no part, and every byte of the packed value scales back.
  EXPECT_EQ(colorfromargb(0x00FF8000u), colorfromargb(0xFFFF8000u));
  for (int k = 0; k <= 255; ++k) {
    EXPECT_EQ(colorints(colorfromrgb(k, k, k)), (std::array<int, 3>{k, k, k})) << k;
  }
}

TEST(ColourTest, ColorBytesWrapWhereColorIntsDoNotLimit) {
  const Colour out_of_range(1.5f, -0.1f, 0.5f);
  EXPECT_EQ(colorints(out_of_range), (std::array<int, 3>{382, -25, 127}));
  EXPECT_EQ(colorbytes(out_of_range), (std::array<uint8_t, 3>{126, 231, 127}));
}

TEST(ColourTest, ClampColorLimitsTheFirstThreeElementsAndZeroesNaN) {
  Colour cmyk(-0.5f, std::numeric_limits<float>::quiet_NaN(), 2, 7);
  EXPECT_EQ(clampcolor(cmyk), 0);
  EXPECT_EQ(cmyk, Colour(0, 0, 1, 7));
  Colour inside(0.25f, 0, 1);
  clampcolor(inside);
  EXPECT_EQ(inside, Colour(0.25f, 0, 1));
}

TEST(ColourTest, TruncToIntTruncatesTowardZeroAndMapsTheUnrepresentable) {
  EXPECT_EQ(TruncToInt(2.9), 2);
  EXPECT_EQ(TruncToInt(-2.9), -2);
  EXPECT_EQ(TruncToInt(2147483647.5), 2147483647);
  EXPECT_EQ(TruncToInt(2147483648.0), INT_MIN);
  EXPECT_EQ(TruncToInt(std::nan("")), INT_MIN);
}

class DrawColourTest : public testing::Test {
 protected:
  void SetUp() override { recorder_ = OpenRecordingDisplay(16, 16); }
  void TearDown() override { CloseDisplay(); }

  // The colour of a pixel plotted with the current drawing colour.
  std::array<int, 3> PlottedColour() {
    Plot(1, 1);
    const TDrawStyle& style = recorder_->Last().style;
    return {style.red, style.green, style.blue};
  }

  std::shared_ptr<TRecordingBackend> recorder_;
};

TEST_F(DrawColourTest, SetDrawColorLimitsEachChannel) {
  EXPECT_EQ(setdrawcolorf(1.5f, -0.1f, 0.5f), 0);
  EXPECT_EQ(PlottedColour(), (std::array<int, 3>{255, 0, 127}));
  setdrawcolorf(std::numeric_limits<float>::quiet_NaN(), 0.2f, 1);
  EXPECT_EQ(PlottedColour(), (std::array<int, 3>{0, 51, 255}));
}

TEST_F(DrawColourTest, SetDrawColorVTakesTheFirstThreeElements) {
  EXPECT_EQ(setdrawcolorv(Colour(0.2f, 0.4f, 1, 0.9f)), 0);
  EXPECT_EQ(PlottedColour(), (std::array<int, 3>{51, 102, 255}));
}

}  // namespace
}  // namespace skyloom
