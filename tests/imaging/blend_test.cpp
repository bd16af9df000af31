// Blend modes: the compositor's opacity, alpha and flag rules, pixmap
// compositing, the table of named functions, values of every family worked
// out from their formulas, and the 0...255 range of all 144 functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "imaging/blend.h"

namespace skyloom {
namespace {

// Restores the program-wide blend state that each test may change.
class BlendTest : public testing::Test {
 protected:
  void TearDown() override { setblendmode(blend::Normal, BLEND_FLAG_ALL); }
};

int g_blend_calls = 0;

// Gives white in every channel and counts its calls.
void CountingWhite(int, int, int, int, int, int, int& r, int& g, int& b) {
  ++g_blend_calls;
  r = g = b = 255;
}

TEST_F(BlendTest, StartsAsNormalWithAllFlags) {
  EXPECT_EQ(currentblendfunction(), &blend::Normal);
  EXPECT_EQ(currentblendflags(), 15);
}

TEST_F(BlendTest, CompositesNothingWithoutOpacityAlphaOrFlags) {
  struct Case {
    const char* what;
    uint32_t src;
    int opacity;
    int flags;
  } cases[] = {
      {"opacity 0", 0xFF102030u, 0, 15},
      {"negative opacity", 0xFF102030u, -1, 15},
      {"most negative opacity", 0xFF102030u, INT_MIN, 15},
      {"source alpha 0", 0x00102030u, 255, 15},
      {"source alpha 0, high opacity", 0x00102030u, 1000, 15},
      {"opacity scales alpha to 0", 0x01102030u, 200, 15},
      {"flags 0", 0xFF102030u, 255, 0},
  };
  setblendmode(CountingWhite, BLEND_FLAG_ALL);
  g_blend_calls = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(blendpixel(c.src, 0x80C0D0E0u, c.opacity, c.flags), 0x80C0D0E0u) << c.what;
  }
  EXPECT_EQ(g_blend_calls, 0);
}

TEST_F(BlendTest, NormalIsSourceOverInIntegers) {
  struct Case {
    const char* what;
    uint32_t src, dst;
    int opacity;
    uint32_t expected;
  } cases[] = {
      {"opaque source replaces", 0xFF123456u, 0x80ABCDEFu, 255, 0xFF123456u},
      {"half black over opaque white", 0x80000000u, 0xFFFFFFFFu, 255, 0xFF7F7F7Fu},
      {"half black over clear white", 0x80000000u, 0x00FFFFFFu, 255, 0x807F7F7Fu},
      {"opacity 128 makes a 128", 0xFFFFFFFFu, 0x00000000u, 128, 0x80808080u},
      {"opacity 510 doubles alpha 100", 0x64FFFFFFu, 0x00000000u, 510, 0xC8C8C8C8u},
      {"opacity 1000 limits alpha to 255", 0xC8FFFFFFu, 0x00000000u, 1000, 0xFFFFFFFFu},
      {"opacity near INT_MAX does not overflow", 0xC8FFFFFFu, 0x00000000u, INT_MAX, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(blendpixel(c.src, c.dst, c.opacity, BLEND_FLAG_ALL), c.expected) << c.what;
  }
}

TEST_F(BlendTest, SourceOverFollowsTheIntegerFormulaForEveryAlpha) {
  // Each channel and the alpha are worked separately: d + (s - d) * a / 255
  // in the form (s * a + d * (255 - a)) div 255, the alpha as a screen.
  const int levels[] = {0, 1, 2, 127, 128, 200, 254, 255};
  for (int a = 1; a <= 255; ++a) {
    for (int s : levels) {
      for (int d : levels) {
        const int other = 255 - d;  // a different value in the neighbouring channels
        const uint32_t src = uint32_t(a) << 24 | uint32_t(s) << 16 | uint32_t(d) << 8 | uint32_t(s);
        const uint32_t dst =
            uint32_t(d) << 24 | uint32_t(d) << 16 | uint32_t(other) << 8 | uint32_t(d);
        const uint32_t alpha = 255 - (255 - a) * (255 - d) / 255;
        const uint32_t over = (s * a + d * (255 - a)) / 255;
        const uint32_t green = (d * a + other * (255 - a)) / 255;
        ASSERT_EQ(blendpixel(src, dst, 255, BLEND_FLAG_ALL),
                  alpha << 24 | over << 16 | green << 8 | over)
            << "a " << a << ", s " << s << ", d " << d;
      }
    }
  }
}

TEST_F(BlendTest, FlagsChooseTheChannelsThatChange) {
  struct Case {
    int flags;
    uint32_t expected;
    int calls;  // of the blend function
  } cases[] = {
      {BLEND_FLAG_ALPHA, 0xA0000000u, 0},  // 255 - 127 * 191 / 255 = 160
      {BLEND_FLAG_RED, 0x40800000u, 1},    // 255 * 128 / 255
      {BLEND_FLAG_GREEN | BLEND_FLAG_BLUE, 0x40008080u, 1},
      {BLEND_FLAG_ALL, 0xA0808080u, 1},
      {16, 0x40000000u, 0},  // no known flag: nothing changes
  };
  setblendmode(CountingWhite, BLEND_FLAG_ALL);
  for (const Case& c : cases) {
    g_blend_calls = 0;
    EXPECT_EQ(blendpixel(0x80000000u, 0x40000000u, 255, c.flags), c.expected) << c.flags;
    EXPECT_EQ(g_blend_calls, c.calls) << c.flags;
  }
}

TEST_F(BlendTest, MinusOneTakesTheCurrentFlagsAndTheCurrentFunctionIsUsed) {
  EXPECT_EQ(setblendmode(blend::Multiply, BLEND_FLAG_RED | BLEND_FLAG_GREEN), 0);
  EXPECT_EQ(currentblendfunction(), &blend::Multiply);
  // Multiply of (255, 128, 0) over (128, 128, 128) is (128, 64, 0); blue is kept.
  EXPECT_EQ(blendpixel(0xFFFF8000u, 0xFF808080u, 255, BLEND_CURRENT_FLAGS), 0xFF804080u);
  EXPECT_EQ(blendpixel(0xFFFF8000u, 0xFF808080u, 255, BLEND_FLAG_ALL), 0xFF804000u);
}

TEST_F(BlendTest, ANullFunctionSelectsNormal) {
  setblendmode(nullptr, 7);
  EXPECT_EQ(currentblendfunction(), &blend::Normal);
  EXPECT_EQ(currentblendflags(), 7);
  EXPECT_EQ(blendpixel(0xFF123456u, 0x00000000u, 255, -1), 0x00123456u);
}

TEST_F(BlendTest, BlendPixmapPixelCompositesOnePixelInPlace) {
  PixmapRef pixmap = TPixmap::Create(2, 2, PIXEL_RGBA8888);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) pixmap->WritePixel(x, y, 0xFFFFFFFFu);
  }
  EXPECT_EQ(blendpixmappixel(pixmap, 1, 0, 0x80000000u, 255), 0);
  EXPECT_EQ(pixmap->ReadPixel(1, 0), 0xFF7F7F7Fu);
  // Points outside the pixmap, and a missing pixmap, are left alone.
  for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}}) {
    EXPECT_EQ(blendpixmappixel(pixmap, x, y, 0xFF000000u, 255), 0);
  }
  EXPECT_EQ(blendpixmappixel(nullptr, 0, 0, 0xFF000000u, 255), 0);
  EXPECT_EQ(pixmap->ReadPixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(pixmap->ReadPixel(0, 1), 0xFFFFFFFFu);
  EXPECT_EQ(pixmap->ReadPixel(1, 1), 0xFFFFFFFFu);
}

TEST_F(BlendTest, BlendPixmapPixelUsesTheCurrentMode) {
  PixmapRef pixmap = TPixmap::Create(1, 1, PIXEL_RGBA8888);
  pixmap->WritePixel(0, 0, 0x40808080u);
  setblendmode(blend::Screen, BLEND_FLAG_RED | BLEND_FLAG_GREEN | BLEND_FLAG_BLUE);
  blendpixmappixel(pixmap, 0, 0, 0xFFFF8000u, 255);
  EXPECT_EQ(pixmap->ReadPixel(0, 0), 0x40FFC080u);
}

TEST(BlendModeTableTest, Lists144FunctionsFoundByTheirNames) {
  const auto modes = BlendModes();
  EXPECT_EQ(modes.size(), 144u);
  std::set<std::string_view> names;
  std::set<BlendFunction> functions;
  for (const BlendMode& mode : modes) {
    names.insert(mode.name);
    functions.insert(mode.function);
    EXPECT_EQ(FindBlendMode(mode.name), mode.function) << mode.name;
  }
  EXPECT_EQ(names.size(), modes.size());
  EXPECT_EQ(functions.size(), modes.size());
  EXPECT_EQ(FindBlendMode("HcyC"), &blend::HcyC);
  EXPECT_EQ(FindBlendMode("multiply"), nullptr);
  EXPECT_EQ(FindBlendMode(""), nullptr);
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

void PrintTo(const Rgb& c, std::ostream* out) {
  *out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb Apply(BlendFunction function, Rgb s, Rgb d) {
  Rgb out{-1, -1, -1};
  function(s.r, s.g, s.b, d.r, d.g, d.b, out.r, out.g, out.b);
  return out;
}

struct Worked {
  const char* name;
  Rgb source, destination, expected;
};

// Values worked out from each function's formula.
const Worked kWorked[] = {
    // Channel-wise.
    {"Normal", {10, 20, 30}, {200, 100, 0}, {10, 20, 30}},
    {"Lighten", {10, 200, 30}, {20, 100, 30}, {20, 200, 30}},
    {"Darken", {10, 200, 30}, {20, 100, 30}, {10, 100, 30}},
    {"DarkenAlt", {10, 200, 30}, {20, 100, 30}, {10, 100, 30}},
    {"Difference", {10, 200, 30}, {20, 100, 30}, {10, 100, 0}},
    {"Exclusion", {255, 128, 0}, {128, 128, 128}, {127, 127, 128}},
    {"GrainMerge", {200, 0, 127}, {100, 100, 10}, {173, 0, 10}},
    {"GrainExtractMerge", {200, 0, 10}, {100, 100, 200}, {27, 227, 83}},
    {"Multiply", {255, 128, 0}, {128, 128, 128}, {128, 64, 0}},
    {"Screen", {255, 128, 0}, {128, 128, 128}, {255, 192, 128}},
    {"Overlay", {255, 128, 0}, {128, 127, 255}, {255, 127, 255}},
    {"HardLight", {255, 128, 0}, {128, 127, 255}, {255, 128, 0}},
    {"SoftLight", {191, 64, 128}, {100, 100, 0}, {119, 80, 0}},
    {"ColorDodge", {255, 0, 128}, {0, 100, 100}, {255, 100, 201}},
    {"ColorBurn", {0, 255, 128}, {255, 100, 100}, {0, 100, 0}},
    {"LinearBurnAdd", {200, 50, 0}, {100, 100, 255}, {145, 100, 255}},
    {"DarkenAdd", {10, 200, 30}, {20, 100, 200}, {30, 200, 230}},
    {"LinearBurn", {200, 50, 255}, {100, 100, 100}, {45, 0, 100}},
    {"LinearBurnAlt", {200, 50, 255}, {100, 100, 100}, {45, 0, 100}},
    {"SourceSquareMean", {255, 100, 0}, {255, 50, 200}, {255, 29, 0}},
    {"BaseSquareMean", {255, 100, 0}, {255, 50, 200}, {255, 14, 78}},
    {"Reflect", {100, 200, 0}, {255, 155, 100}, {255, 255, 0}},
    {"Glow", {255, 100, 0}, {10, 155, 100}, {255, 155, 39}},
    {"Freeze", {0, 155, 255}, {0, 100, 50}, {0, 155, 255}},
    {"Heat", {0, 100, 50}, {0, 155, 255}, {0, 155, 255}},
    {"InverseSumMultiply", {0, 100, 255}, {255, 100, 100}, {0, 21, 39}},
    {"PinLight", {200, 200, 50}, {100, 180, 150}, {144, 180, 100}},
    {"VividLight", {0, 200, 100}, {50, 50, 200}, {0, 232, 115}},
    {"HardMix", {0, 200, 100}, {50, 50, 200}, {0, 255, 0}},
    {"CubeMultiply", {255, 255, 128}, {255, 100, 255}, {255, 100, 32}},
    {"Add", {200, 0, 10}, {100, 5, 10}, {255, 5, 20}},
    {"Subtract", {200, 0, 10}, {100, 5, 10}, {0, 5, 0}},
    {"AddInverse", {200, 0, 10}, {100, 5, 10}, {155, 255, 255}},
    {"LinearLight", {200, 0, 128}, {100, 100, 100}, {245, 0, 101}},
    {"Power", {255, 0, 128}, {200, 0, 100}, {200, 1, 10}},
    {"Logarithm", {255, 0, 16}, {100, 100, 100}, {99, 0, 50}},
    {"SelfAlpha", {255, 0, 100}, {10, 200, 200}, {255, 200, 160}},
    {"BaseSquareMean2", {255, 0, 100}, {255, 100, 200}, {255, 19, 117}},
    {"DifferenceSubtract", {100, 200, 0}, {150, 100, 50}, {100, 0, 0}},
    {"GreyDistance", {0, 127, 255}, {255, 200, 100}, {253, 0, 100}},
    {"SquareDodge", {255, 128, 0}, {200, 100, 50}, {255, 125, 50}},
    {"SquareBurn", {0, 128, 255}, {200, 100, 50}, {145, 62, 50}},
    {"DoubleMultiply", {255, 64, 0}, {200, 100, 200}, {255, 50, 0}},
    {"CurveDarken", {255, 0, 128}, {100, 100, 100}, {100, 0, 100}},
    {"CurveLighten", {255, 0, 64}, {100, 100, 100}, {255, 100, 68}},
    {"Average", {255, 0, 3}, {0, 0, 4}, {127, 0, 3}},
    {"Modulo", {0, 255, 9}, {200, 200, 200}, {0, 200, 0}},
    {"MultiplyUnscaled", {2, 0, 100}, {100, 200, 3}, {200, 0, 255}},
    {"Sine", {128, 0, 64}, {200, 200, 200}, {200, 0, 141}},
    {"Cosine", {128, 0, 64}, {200, 200, 200}, {0, 200, 141}},
    {"Tangent32", {128, 0, 160}, {100, 100, 100}, {100, 0, 113}},
    {"Tangent8", {128, 255, 160}, {100, 100, 100}, {100, 255, 103}},
    {"Tangent128", {128, 96, 160}, {100, 100, 100}, {100, 46, 153}},
    {"MultiplyDodge", {255, 128, 0}, {200, 100, 50}, {255, 150, 50}},
    {"MultiplyBurn", {255, 128, 0}, {200, 100, 50}, {144, 0, 0}},
    {"MultiplySubtract", {255, 128, 0}, {200, 100, 50}, {1, 50, 50}},
    {"Posterize", {255, 0, 128}, {201, 201, 201}, {128, 201, 200}},
    {"And", {0xF0, 0x0F, 0xFF}, {0xCC, 0xCC, 0x33}, {0xC0, 0x0C, 0x33}},
    {"Or", {0xF0, 0x0F, 0xFF}, {0xCC, 0xCC, 0x33}, {0xFC, 0xCF, 0xFF}},
    {"Xor", {0xF0, 0x0F, 0xFF}, {0xCC, 0xCC, 0x33}, {0x3C, 0xC3, 0xCC}},
    {"Nand", {0xF0, 0x0F, 0xFF}, {0xCC, 0xCC, 0x33}, {0x3F, 0xF3, 0xCC}},
    {"Nor", {0xF0, 0x0F, 0xFF}, {0xCC, 0xCC, 0x33}, {0x03, 0x30, 0x00}},
    {"Xnor", {0xF0, 0x0F, 0xFF}, {0xCC, 0xCC, 0x33}, {0xC3, 0x3C, 0x33}},
    // Mixing channels.
    {"LumaCross", {255, 0, 0}, {0, 0, 100}, {5, 0, 15}},
    {"LumaWeight", {255, 0, 0}, {0, 0, 100}, {38, 0, 1}},
    {"LumaMix", {255, 0, 0}, {0, 0, 100}, {21, 0, 8}},
    {"SumProduct", {255, 0, 0}, {0, 0, 100}, {12, 6, 12}},
    {"SourceSumWeight", {255, 0, 0}, {0, 0, 100}, {31, 0, 12}},
    {"BaseSumWeight", {255, 0, 0}, {0, 0, 100}, {12, 0, 4}},
    {"ChromaAdd", {200, 50, 0}, {10, 150, 250}, {255, 50, 0}},
    {"ChromaAddHalf", {200, 50, 0}, {10, 150, 250}, {185, 100, 125}},
    {"BrightAdd", {200, 50, 0}, {10, 150, 250}, {122, 225, 255}},
    // Composites.
    {"CurveBoth", {255, 0, 128}, {100, 100, 100}, {78, 100, 78}},
    {"OverlayLuma", {200, 100, 50}, {100, 200, 50}, {101, 78, 20}},
    {"SoftScreen", {191, 64, 128}, {100, 100, 0}, {221, 124, 128}},
    {"MultiplyAdd", {255, 128, 0}, {128, 128, 128}, {255, 192, 0}},
    {"OverlaySoft", {255, 128, 0}, {128, 127, 255}, {128, 126, 255}},
    {"YiqQMultiply", {255, 128, 0}, {255, 0, 0}, {213, 21, 0}},
    {"HardLightMax", {130, 200, 64}, {250, 50, 100}, {254, 167, 50}},
    // HSL.
    {"HslHS", {128, 128, 128}, {200, 100, 50}, {125, 125, 125}},
    {"HslH", {255, 0, 0}, {0, 0, 255}, {255, 0, 0}},
    {"HslS", {128, 128, 128}, {200, 100, 50}, {125, 125, 125}},
    {"HslSAdd", {255, 0, 0}, {100, 100, 100}, {200, 0, 0}},
    {"HslSSub", {255, 0, 0}, {100, 100, 100}, {100, 100, 100}},
    {"HslSBurn", {128, 128, 128}, {255, 0, 0}, {127, 127, 127}},
    {"HslSAvg", {128, 128, 128}, {255, 0, 0}, {191, 63, 63}},
    {"HslL", {255, 255, 255}, {200, 100, 50}, {255, 255, 255}},
    {"HslLAvg", {255, 255, 255}, {255, 0, 0}, {255, 127, 127}},
    {"HslSL", {255, 0, 0}, {0, 0, 255}, {0, 0, 255}},
    {"HslHL", {255, 0, 0}, {100, 100, 100}, {127, 127, 127}},
    {"HslLAdd", {100, 100, 100}, {100, 100, 100}, {200, 200, 200}},
    {"HslLBurn", {0, 0, 0}, {200, 100, 50}, {0, 0, 0}},
    {"HslLSub", {255, 255, 255}, {200, 100, 50}, {0, 0, 0}},
    // HSV.
    {"HsvV", {128, 128, 128}, {255, 0, 0}, {128, 0, 0}},
    {"HsvVMin", {128, 128, 128}, {255, 0, 0}, {128, 0, 0}},
    {"HsvVMax", {255, 255, 255}, {128, 0, 0}, {255, 0, 0}},
    {"HsvVAvg", {0, 0, 0}, {255, 0, 0}, {127, 0, 0}},
    // HCY: limited after conversion back.
    {"HcyC", {255, 0, 255}, {128, 128, 128}, {255, 51, 51}},
    {"HcyHC", {255, 0, 0}, {0, 0, 0}, {178, 0, 0}},
    {"HcyCY", {255, 0, 0}, {0, 0, 255}, {48, 48, 255}},
    {"HcyHY", {255, 0, 0}, {100, 100, 100}, {76, 76, 76}},
    // CMYK.
    {"CmykK", {128, 128, 128}, {255, 0, 0}, {128, 0, 0}},
    {"CmykMY", {255, 0, 0}, {255, 255, 255}, {255, 0, 0}},
    {"CmykCY", {255, 0, 0}, {255, 255, 255}, {255, 255, 0}},
    {"CmykCM", {255, 0, 0}, {255, 255, 255}, {255, 0, 255}},
    {"CmykMYK", {128, 0, 0}, {0, 0, 255}, {0, 0, 0}},
    {"CmykCYK", {128, 0, 0}, {0, 0, 255}, {128, 0, 0}},
    {"CmykCMK", {128, 0, 0}, {0, 0, 255}, {128, 0, 128}},
    // XYZ.
    {"XyzX", {0, 0, 0}, {255, 255, 255}, {0, 255, 248}},
    {"XyzY", {0, 0, 0}, {255, 255, 255}, {255, 0, 255}},
    {"XyzZ", {0, 0, 0}, {255, 255, 255}, {255, 249, 0}},
    {"XyzAdd", {255, 255, 255}, {255, 255, 255}, {255, 255, 255}},
    {"XyzMultiply", {0, 0, 0}, {200, 100, 50}, {0, 0, 0}},
    {"XyzBurn", {0, 0, 0}, {200, 100, 50}, {0, 0, 0}},
    // Lab.
    {"LabL", {255, 255, 255}, {0, 0, 0}, {255, 255, 254}},
    {"LabL", {0, 0, 0}, {255, 255, 255}, {0, 0, 0}},
    // YIQ.
    {"YiqY", {255, 255, 255}, {0, 0, 0}, {255, 255, 255}},
    {"YiqYSub", {255, 255, 255}, {255, 255, 255}, {0, 0, 0}},
    {"YiqQ", {255, 128, 0}, {255, 0, 0}, {213, 43, 0}},
    {"YiqI", {255, 0, 0}, {100, 100, 100}, {245, 58, 0}},
    // YUV.
    {"YuvU", {0, 0, 255}, {128, 128, 128}, {128, 84, 255}},
};

TEST(BlendFunctionTest, GiveTheValuesOfTheirFormulas) {
  for (const Worked& w : kWorked) {
    const BlendFunction function = FindBlendMode(w.name);
    ASSERT_NE(function, nullptr) << w.name;
    EXPECT_EQ(Apply(function, w.source, w.destination), w.expected) << w.name;
  }
}

TEST(BlendFunctionTest, ExtremesOfTheChannelWiseFunctions) {
  for (int d = 0; d <= 255; ++d) {
    const Rgb dst{d, d, d};
    EXPECT_EQ(Apply(blend::ColorDodge, {255, 255, 255}, dst), (Rgb{255, 255, 255})) << d;
    EXPECT_EQ(Apply(blend::ColorBurn, {0, 0, 0}, dst), (Rgb{0, 0, 0})) << d;
    EXPECT_EQ(Apply(blend::Posterize, {255, 255, 255}, dst), (Rgb{d & 128, d & 128, d & 128})) << d;
    EXPECT_EQ(Apply(blend::Posterize, {0, 0, 0}, dst), dst) << d;
    EXPECT_EQ(Apply(blend::Modulo, {0, 0, 0}, dst), (Rgb{0, 0, 0})) << d;
    EXPECT_EQ(Apply(blend::Modulo, {255, 255, 255}, dst), dst) << d;
    // ln 255 rounded to single precision is slightly too large.
    const int log = d == 0 ? 0 : d - 1;
    EXPECT_EQ(Apply(blend::Logarithm, {255, 255, 255}, dst), (Rgb{log, log, log})) << d;
  }
  EXPECT_EQ(Apply(blend::CubeMultiply, {255, 255, 255}, {255, 255, 255}), (Rgb{255, 255, 255}));
}

TEST(BlendFunctionTest, TangentsAreExactAtMinusFortyFiveZeroAndFortyFiveDegrees) {
  // s = 64, 128 and 192 turn to -45, 0 and 45 degrees, where the tangent is
  // -1, 0 and 1 exactly, so the factor is taken from d, nothing or added to
  // it with no rounding loss, d = 0 included.
  const struct {
    BlendFunction function;
    int factor;
  } tangents[] = {{blend::Tangent8, 8}, {blend::Tangent32, 32}, {blend::Tangent128, 128}};
  for (const auto& t : tangents) {
    for (int d = 0; d <= 255; ++d) {
      EXPECT_EQ(Apply(t.function, {64, 128, 192}, {d, d, d}),
                (Rgb{std::max(0, d - t.factor), d, std::min(255, d + t.factor)}))
          << "factor " << t.factor << ", d " << d;
    }
  }
}

TEST(BlendFunctionTest, HslHSOfAGreyGivesTheDestinationsLightness) {
  const Rgb destinations[] = {{200, 100, 50}, {0, 255, 17}, {3, 3, 250}, {90, 90, 90}};
  for (const Rgb& d : destinations) {
    const int lightness = (std::max({d.r, d.g, d.b}) + std::min({d.r, d.g, d.b})) * 255 / 510;
    for (int grey : {0, 77, 255}) {
      EXPECT_EQ(Apply(blend::HslHS, {grey, grey, grey}, d), (Rgb{lightness, lightness, lightness}))
          << grey;
    }
  }
}

TEST(BlendFunctionTest, ComponentFunctionsThatKeepTheDestinationReturnIt) {
  // A colour blended over itself keeps every component, so these come back
  // to the destination (within one step of rounding in the matrix models).
  const char* keep_all[] = {"HslHS", "HslL",  "HslSAvg", "HsvV", "HsvVAvg", "HcyC",
                            "HcyHY", "CmykK", "CmykCM",  "XyzX", "XyzXZ",   "LabL",
                            "LabAB", "YiqY",  "YiqIQ",   "YuvU", "YuvUV"};
  const Rgb colours[] = {{200, 100, 50}, {0, 255, 17}, {128, 128, 128}, {255, 255, 255}};
  for (const char* name : keep_all) {
    for (const Rgb& c : colours) {
      const Rgb out = Apply(FindBlendMode(name), c, c);
      EXPECT_NEAR(out.r, c.r, 1) << name;
      EXPECT_NEAR(out.g, c.g, 1) << name;
      EXPECT_NEAR(out.b, c.b, 1) << name;
    }
  }
}

// Every function keeps every channel in 0...255 over a grid of channel
// values, each pair (s, d) tried in each channel position with the other
// channels at a few fixed levels.
class BlendRangeTest : public testing::TestWithParam<BlendMode> {};

TEST_P(BlendRangeTest, EveryChannelStaysInRange) {
  std::vector<int> levels = {0, 1, 127, 128, 254};
  for (int v = 0; v <= 255; v += 15) levels.push_back(v);
  const int others[][2] = {{0, 0}, {255, 255}, {0, 255}, {255, 0}, {64, 192}};
  const BlendFunction function = GetParam().function;
  for (int s : levels) {
    for (int d : levels) {
      for (int position = 0; position < 3; ++position) {
        for (const auto& other : others) {
          int src[3] = {other[0], 255 - other[0], other[0]};
          int dst[3] = {other[1], other[1], 255 - other[1]};
          src[position] = s;
          dst[position] = d;
          int out[3] = {-1, -1, -1};
          function(src[0], src[1], src[2], dst[0], dst[1], dst[2], out[0], out[1], out[2]);
          for (int channel : out) {
            ASSERT_TRUE(channel >= 0 && channel <= 255)
                << channel << " from (" << src[0] << ", " << src[1] << ", " << src[2] << ") over ("
                << dst[0] << ", " << dst[1] << ", " << dst[2] << ")";
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllModes, BlendRangeTest,
                         testing::ValuesIn(BlendModes().begin(), BlendModes().end()),
                         [](const testing::TestParamInfo<BlendMode>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace skyloom
