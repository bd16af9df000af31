// The compositor's program-wide state and its path through a call, the lookup
// tables of the channel-wise functions and the table that names every blend
// function. blendpixel itself is defined inline in blend.h.
#include "imaging/blend.h"

#include <algorithm>
#include <array>
#include <memory>

namespace skyloom {

namespace blend_internal {

State g_state;

uint32_t ComposeByCall(uint32_t src, uint32_t dst, uint32_t a, uint32_t alpha, uint32_t changed) {
  int r, g, b;
  g_state.function((src >> 16) & 255, (src >> 8) & 255, src & 255, (dst >> 16) & 255,
                   (dst >> 8) & 255, dst & 255, r, g, b);
  // Blend functions keep to 0...255; the masks keep a stray value in its lane.
  const uint32_t blended = (static_cast<uint32_t>(r) & 255) << 16 |
                           (static_cast<uint32_t>(g) & 255) << 8 | (static_cast<uint32_t>(b) & 255);
  return Compose(blended, dst, a, alpha, changed);
}

}  // namespace blend_internal

namespace {

using blend_internal::ChannelTable;
using blend_internal::g_state;

// Functions whose every channel depends only on the same channel of the
// source and destination, and those that mix channels.
#define CHANNELWISE(name)    \
  BlendMode {                \
#name, blend::name, true \
  }
#define MIXING(name)          \
  BlendMode {                 \
#name, blend::name, false \
  }

constexpr std::array kModes = {
    // Channel-wise.
    CHANNELWISE(Normal),
    CHANNELWISE(Lighten),
    CHANNELWISE(Darken),
    CHANNELWISE(Exclusion),
    CHANNELWISE(Difference),
    CHANNELWISE(GrainMerge),
    CHANNELWISE(GrainExtractMerge),
    CHANNELWISE(Multiply),
    CHANNELWISE(Screen),
    CHANNELWISE(Overlay),
    CHANNELWISE(SoftLight),
    CHANNELWISE(HardLight),
    CHANNELWISE(ColorDodge),
    CHANNELWISE(ColorBurn),
    CHANNELWISE(LinearBurnAdd),
    CHANNELWISE(DarkenAlt),
    CHANNELWISE(DarkenAdd),
    CHANNELWISE(LinearBurnAlt),
    CHANNELWISE(SourceSquareMean),
    CHANNELWISE(BaseSquareMean),
    CHANNELWISE(Reflect),
    CHANNELWISE(Glow),
    CHANNELWISE(Freeze),
    CHANNELWISE(Heat),
    CHANNELWISE(InverseSumMultiply),
    CHANNELWISE(PinLight),
    CHANNELWISE(VividLight),
    CHANNELWISE(HardMix),
    CHANNELWISE(CubeMultiply),
    CHANNELWISE(Add),
    CHANNELWISE(Subtract),
    CHANNELWISE(AddInverse),
    CHANNELWISE(LinearBurn),
    CHANNELWISE(LinearLight),
    CHANNELWISE(Power),
    CHANNELWISE(Logarithm),
    CHANNELWISE(SelfAlpha),
    CHANNELWISE(BaseSquareMean2),
    CHANNELWISE(DifferenceSubtract),
    CHANNELWISE(GreyDistance),
    CHANNELWISE(SquareDodge),
    CHANNELWISE(SquareBurn),
    CHANNELWISE(DoubleMultiply),
    CHANNELWISE(CurveDarken),
    CHANNELWISE(CurveLighten),
    CHANNELWISE(Average),
    CHANNELWISE(Modulo),
    CHANNELWISE(MultiplyUnscaled),
    CHANNELWISE(Sine),
    CHANNELWISE(Cosine),
    CHANNELWISE(Tangent32),
    CHANNELWISE(Tangent8),
    CHANNELWISE(Tangent128),
    CHANNELWISE(MultiplyDodge),
    CHANNELWISE(MultiplyBurn),
    CHANNELWISE(MultiplySubtract),
    CHANNELWISE(Posterize),
    CHANNELWISE(And),
    CHANNELWISE(Or),
    CHANNELWISE(Xor),
    CHANNELWISE(Nand),
    CHANNELWISE(Nor),
    CHANNELWISE(Xnor),
    // Mixing channels.
    MIXING(LumaCross),
    MIXING(LumaWeight),
    MIXING(LumaMix),
    MIXING(SumProduct),
    MIXING(SourceSumWeight),
    MIXING(BaseSumWeight),
    MIXING(ChromaAdd),
    MIXING(ChromaAddHalf),
    MIXING(BrightAdd),
    // Composites.
    CHANNELWISE(CurveBoth),
    MIXING(OverlayLuma),
    CHANNELWISE(SoftScreen),
    CHANNELWISE(MultiplyAdd),
    CHANNELWISE(OverlaySoft),
    MIXING(YiqQMultiply),
    CHANNELWISE(HardLightMax),
    // Colour-model components.
    MIXING(HslH),
    MIXING(HslS),
    MIXING(HslSAdd),
    MIXING(HslSBurn),
    MIXING(HslSSub),
    MIXING(HslSAvg),
    MIXING(HslL),
    MIXING(HslLAvg),
    MIXING(HslHS),
    MIXING(HslSL),
    MIXING(HslHL),
    MIXING(HslLAdd),
    MIXING(HslLBurn),
    MIXING(HslLSub),
    MIXING(HsvV),
    MIXING(HsvVMin),
    MIXING(HsvVMax),
    MIXING(HsvVAvg),
    MIXING(HcyC),
    MIXING(HcyHC),
    MIXING(HcyCY),
    MIXING(HcyHY),
    MIXING(CmykMY),
    MIXING(CmykCY),
    MIXING(CmykCM),
    MIXING(CmykK),
    MIXING(CmykMYK),
    MIXING(CmykCYK),
    MIXING(CmykCMK),
    MIXING(XyzX),
    MIXING(XyzY),
    MIXING(XyzZ),
    MIXING(XyzXY),
    MIXING(XyzYZ),
    MIXING(XyzXZ),
    MIXING(XyzMultiply),
    MIXING(XyzAdd),
    MIXING(XyzBurn),
    MIXING(LabL),
    MIXING(LabA),
    MIXING(LabB),
    MIXING(LabLA),
    MIXING(LabAB),
    MIXING(LabLB),
    MIXING(LabMix),
    MIXING(YiqY),
    MIXING(YiqYAdd),
    MIXING(YiqYSub),
    MIXING(YiqMix),
    MIXING(YiqI),
    MIXING(YiqQ),
    MIXING(YiqIAdd),
    MIXING(YiqQAdd),
    MIXING(YiqYI),
    MIXING(YiqYQ),
    MIXING(YiqIQ),
    MIXING(YiqCross),
    MIXING(YuvU),
    MIXING(YuvV),
    MIXING(YuvUAdd),
    MIXING(YuvVAdd),
    MIXING(YuvYU),
    MIXING(YuvYV),
    MIXING(YuvUV),
    MIXING(YuvCross),
};

#undef CHANNELWISE
#undef MIXING

// The results of a channel-wise function, worked out by calling it on every
// pair of channels in the red position.
std::unique_ptr<ChannelTable> MakeChannelTable(BlendFunction function) {
  auto table = std::make_unique<ChannelTable>();
  for (int s = 0; s < 256; ++s) {
    for (int d = 0; d < 256; ++d) {
      int r, g, b;
      function(s, 0, 0, d, 0, 0, r, g, b);
      (*table)[s << 8 | d] = static_cast<uint8_t>(r);
    }
  }
  return table;
}

// The table of a function when it is a channel-wise one of the library, built
// the first time the function is selected and kept for the life of the
// program; null for any other function. Normal needs none.
const ChannelTable* ChannelTableOf(BlendFunction function) {
  static std::array<std::unique_ptr<ChannelTable>, kModes.size()> tables;
  if (function == blend::Normal) return nullptr;
  for (size_t i = 0; i < kModes.size(); ++i) {
    if (kModes[i].function != function) continue;
    if (!kModes[i].channelwise) return nullptr;
    if (!tables[i]) tables[i] = MakeChannelTable(function);
    return tables[i].get();
  }
  return nullptr;
}

}  // namespace

int setblendmode(BlendFunction function, int flags) {
  g_state.function = function ? function : blend::Normal;
  g_state.table = ChannelTableOf(g_state.function);
  g_state.flags = flags;
  return 0;
}

BlendFunction currentblendfunction() {
  return g_state.function;
}
int currentblendflags() {
  return g_state.flags;
}

int blendpixmappixel(const PixmapRef& pixmap, int x, int y, uint32_t colour, int opacity) {
  if (!pixmap || x < 0 || y < 0 || x >= pixmap->width || y >= pixmap->height) return 0;
  pixmap->WritePixel(x, y,
                     blendpixel(colour, pixmap->ReadPixel(x, y), opacity, BLEND_CURRENT_FLAGS));
  return 0;
}

std::span<const BlendMode> BlendModes() {
  return kModes;
}

BlendFunction FindBlendMode(std::string_view name) {
  const auto found = std::find_if(kModes.begin(), kModes.end(),
                                  [&](const BlendMode& mode) { return mode.name == name; });
  return found == kModes.end() ? nullptr : found->function;
}

}  // namespace skyloom
