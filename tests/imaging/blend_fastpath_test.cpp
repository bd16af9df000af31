// The shortcuts of the compositor and of the colour-model functions give
// exactly what the plain way gives: the lookup tables of the channel-wise
// functions and the call-free Normal path over every pair of 8-bit channels
// in every position, and the XYZ and Lab functions against their formulas.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "imaging/blend.h"
#include "imaging/colour.h"

namespace skyloom {
namespace {

// The function that ThroughCall forwards to. ThroughCall is no function of
// the library, so blendpixel has no table for it and must call it.
BlendFunction g_forward_to = nullptr;

void ThroughCall(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) {
  g_forward_to(r1, g1, b1, r2, g2, b2, r, g, b);
}

class ChannelwiseShortcutTest : public testing::TestWithParam<BlendMode> {
 protected:
  void TearDown() override { setblendmode(blend::Normal, BLEND_FLAG_ALL); }
};

// Every pair (s, d) appears in red as it is, in green exchanged and in blue
// inverted, so each channel meets all 65536 pairs while the other two hold
// different values. Opaque pixels make the composite equal to the function's
// own channels.
// The source and destination pixels of pair (s, d): s and d in red, the
// same pair exchanged in green and inverted in blue, so that each channel
// meets all 65536 pairs while the other two hold different values. Opaque
// pixels make the composite equal to the function's own channels.
uint32_t SourceOfPair(int s, int d) {
  return 0xFF000000u | s << 16 | d << 8 | (255 - s);
}
uint32_t DestinationOfPair(int s, int d) {
  return 0xFF000000u | d << 16 | s << 8 | (255 - d);
}

TEST_P(ChannelwiseShortcutTest, EqualsCallingTheFunctionForEveryPairOfChannels) {
  const BlendMode mode = GetParam();
  g_forward_to = mode.function;
  setblendmode(ThroughCall, BLEND_FLAG_ALL);
  std::vector<uint32_t> called;
  for (int s = 0; s < 256; ++s) {
    for (int d = 0; d < 256; ++d) {
      called.push_back(blendpixel(SourceOfPair(s, d), DestinationOfPair(s, d), 255, -1));
    }
  }
  setblendmode(mode.function, BLEND_FLAG_ALL);
  for (int s = 0; s < 256; ++s) {
    for (int d = 0; d < 256; ++d) {
      ASSERT_EQ(blendpixel(SourceOfPair(s, d), DestinationOfPair(s, d), 255, -1),
                called[s << 8 | d])
          << mode.name << ": s " << s << ", d " << d;
    }
  }
}

std::vector<BlendMode> ChannelwiseModes() {
  std::vector<BlendMode> modes;
  for (const BlendMode& mode : BlendModes()) {
    if (mode.channelwise) modes.push_back(mode);
  }
  return modes;
}

INSTANTIATE_TEST_SUITE_P(Channelwise, ChannelwiseShortcutTest,
                         testing::ValuesIn(ChannelwiseModes()),
                         [](const testing::TestParamInfo<BlendMode>& info) {
                           return std::string(info.param.name);
                         });

// The XYZ and Lab functions convert 8-bit colours without the power
// function where a table gives the same values, work out only the
// components they use, and scale their limited result through the steps of
// the sRGB curve. Each is compared here with its formula written out with
// the plain conversions.
struct ComponentFormula {
  const char* name;
  Colour (*from_rgb)(const Colour&);
  Colour (*to_rgb)(const Colour&);
  Colour (*assemble)(const Colour& S, const Colour& D);
};

const ComponentFormula kLimitedFormulas[] = {
    {"XyzX", rgbtoxyz, xyztorgb, [](auto& S, auto& D) { return Colour(S[0], D[1], D[2]); }},
    {"XyzY", rgbtoxyz, xyztorgb, [](auto& S, auto& D) { return Colour(D[0], S[1], D[2]); }},
    {"XyzZ", rgbtoxyz, xyztorgb, [](auto& S, auto& D) { return Colour(D[0], D[1], S[2]); }},
    {"XyzXY", rgbtoxyz, xyztorgb, [](auto& S, auto& D) { return Colour(S[0], S[1], D[2]); }},
    {"XyzYZ", rgbtoxyz, xyztorgb, [](auto& S, auto& D) { return Colour(D[0], S[1], S[2]); }},
    {"XyzXZ", rgbtoxyz, xyztorgb, [](auto& S, auto& D) { return Colour(S[0], D[1], S[2]); }},
    {"XyzMultiply", rgbtoxyz, xyztorgb,
     [](auto& S, auto& D) { return Colour(S[0] * D[0], S[1] * D[1], S[2] * D[2]); }},
    {"XyzAdd", rgbtoxyz, xyztorgb,
     [](auto& S, auto& D) { return Colour(S[0] + D[0], S[1] + D[1], S[2] + D[2]); }},
    {"XyzBurn", rgbtoxyz, xyztorgb,
     [](auto& S, auto& D) {
       return Colour(D[0] - (1 - S[0]), D[1] - (1 - S[1]), D[2] - (1 - S[2]));
     }},
    {"LabL", rgbtolab, labtorgb, [](auto& S, auto& D) { return Colour(S[0], D[1], D[2]); }},
    {"LabA", rgbtolab, labtorgb, [](auto& S, auto& D) { return Colour(D[0], S[1], D[2]); }},
    {"LabB", rgbtolab, labtorgb, [](auto& S, auto& D) { return Colour(D[0], D[1], S[2]); }},
    {"LabLA", rgbtolab, labtorgb, [](auto& S, auto& D) { return Colour(S[0], S[1], D[2]); }},
    {"LabAB", rgbtolab, labtorgb, [](auto& S, auto& D) { return Colour(D[0], S[1], S[2]); }},
    {"LabLB", rgbtolab, labtorgb, [](auto& S, auto& D) { return Colour(S[0], D[1], S[2]); }},
    {"LabMix", rgbtolab, labtorgb,
     [](auto& S, auto& D) { return Colour((S[0] + D[0]) / 2, S[1] + D[1], S[2] + D[2]); }},
};

std::array<int, 3> ByFormula(const ComponentFormula& f, const int s[3], const int d[3]) {
  Colour rgb = f.to_rgb(f.assemble(f.from_rgb(colorfromrgb(s[0], s[1], s[2])),
                                   f.from_rgb(colorfromrgb(d[0], d[1], d[2]))));
  clampcolor(rgb);
  return colorints(rgb);
}

TEST(ComponentShortcutTest, XyzAndLabFunctionsEqualTheirFormulas) {
  // The corners and middle of the RGB cube against each other, then random
  // pairs of colours.
  std::vector<std::array<int, 6>> pairs;
  const int levels[] = {0, 128, 255};
  for (int a : levels)
    for (int b : levels)
      for (int c : levels)
        for (int x : levels)
          for (int y : levels)
            for (int z : levels) pairs.push_back({a, b, c, x, y, z});
  std::mt19937 random(11);
  for (int i = 0; i < 3000; ++i) {
    std::array<int, 6> pair;
    for (int& channel : pair) channel = static_cast<int>(random() & 255);
    pairs.push_back(pair);
  }
  for (const ComponentFormula& f : kLimitedFormulas) {
    const BlendFunction function = FindBlendMode(f.name);
    ASSERT_NE(function, nullptr) << f.name;
    for (const auto& p : pairs) {
      std::array<int, 3> out{-1, -1, -1};
      function(p[0], p[1], p[2], p[3], p[4], p[5], out[0], out[1], out[2]);
      ASSERT_EQ(out, ByFormula(f, &p[0], &p[3]))
          << f.name << ": (" << p[0] << ", " << p[1] << ", " << p[2] << ") over (" << p[3] << ", "
          << p[4] << ", " << p[5] << ")";
    }
  }
}

}  // namespace
}  // namespace skyloom
