// The compositor's shortcuts give exactly what calling the blend function
// gives: the lookup tables of the channel-wise functions and the call-free
// Normal path, checked over every pair of 8-bit channels in every position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/blend.h"

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

}  // namespace
}  // namespace skyloom
