// The compositor for packed pixels, the program-wide blend state and the
// table that names every blend function.
#include "imaging/blend.h"

#include <algorithm>
#include <array>

namespace skyloom {
namespace {

// The program-wide blend state, used from the main thread only.
BlendFunction g_function = blend::Normal;
int g_flags = BLEND_FLAG_ALL;

// x / 255 for 0 <= x <= 65534, without a division or a wide multiply.
uint32_t Div255(uint32_t x) {
  return (x + 1 + (x >> 8)) >> 8;
}

// Each channel of a 0x00RRGGBB destination moved towards the same channel of
// the blended colour by alpha/255. Red and blue are worked in two 16-bit
// lanes of one word: every lane stays below 65535, so nothing carries across.
uint32_t MixChannels(uint32_t blended, uint32_t destination, uint32_t alpha) {
  const uint32_t rb = (blended & 0xFF00FF) * alpha + (destination & 0xFF00FF) * (255 - alpha);
  const uint32_t g = ((blended >> 8) & 255) * alpha + ((destination >> 8) & 255) * (255 - alpha);
  const uint32_t rb_over_255 = ((rb + 0x10001 + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  return rb_over_255 | Div255(g) << 8;
}

// The channels of 0x00RRGGBB that the colour flags 0...7 let change.
constexpr uint32_t kChannelMasks[8] = {0x000000, 0x0000FF, 0x00FF00, 0x00FFFF,
                                       0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// The current blend function's colour for src over dst, as 0x00RRGGBB.
uint32_t Blended(uint32_t src, uint32_t dst) {
  // Normal gives the source channels: no call on the most common path.
  if (g_function == blend::Normal) return src & 0xFFFFFF;
  int r, g, b;
  g_function((src >> 16) & 255, (src >> 8) & 255, src & 255, (dst >> 16) & 255, (dst >> 8) & 255,
             dst & 255, r, g, b);
  // Blend functions keep to 0...255; the masks keep a stray value in its lane.
  return (static_cast<uint32_t>(r) & 255) << 16 | (static_cast<uint32_t>(g) & 255) << 8 |
         (static_cast<uint32_t>(b) & 255);
}

#define MODE(name)     \
  BlendMode {          \
#name, blend::name \
  }

constexpr std::array kModes = {
    // Channel-wise.
    MODE(Normal),
    MODE(Lighten),
    MODE(Darken),
    MODE(Exclusion),
    MODE(Difference),
    MODE(GrainMerge),
    MODE(GrainExtractMerge),
    MODE(Multiply),
    MODE(Screen),
    MODE(Overlay),
    MODE(SoftLight),
    MODE(HardLight),
    MODE(ColorDodge),
    MODE(ColorBurn),
    MODE(LinearBurnAdd),
    MODE(DarkenAlt),
    MODE(DarkenAdd),
    MODE(LinearBurnAlt),
    MODE(SourceSquareMean),
    MODE(BaseSquareMean),
    MODE(Reflect),
    MODE(Glow),
    MODE(Freeze),
    MODE(Heat),
    MODE(InverseSumMultiply),
    MODE(PinLight),
    MODE(VividLight),
    MODE(HardMix),
    MODE(CubeMultiply),
    MODE(Add),
    MODE(Subtract),
    MODE(AddInverse),
    MODE(LinearBurn),
    MODE(LinearLight),
    MODE(Power),
    MODE(Logarithm),
    MODE(SelfAlpha),
    MODE(BaseSquareMean2),
    MODE(DifferenceSubtract),
    MODE(GreyDistance),
    MODE(SquareDodge),
    MODE(SquareBurn),
    MODE(DoubleMultiply),
    MODE(CurveDarken),
    MODE(CurveLighten),
    MODE(Average),
    MODE(Modulo),
    MODE(MultiplyUnscaled),
    MODE(Sine),
    MODE(Cosine),
    MODE(Tangent32),
    MODE(Tangent8),
    MODE(Tangent128),
    MODE(MultiplyDodge),
    MODE(MultiplyBurn),
    MODE(MultiplySubtract),
    MODE(Posterize),
    MODE(And),
    MODE(Or),
    MODE(Xor),
    MODE(Nand),
    MODE(Nor),
    MODE(Xnor),
    // Mixing channels.
    MODE(LumaCross),
    MODE(LumaWeight),
    MODE(LumaMix),
    MODE(SumProduct),
    MODE(SourceSumWeight),
    MODE(BaseSumWeight),
    MODE(ChromaAdd),
    MODE(ChromaAddHalf),
    MODE(BrightAdd),
    // Composites.
    MODE(CurveBoth),
    MODE(OverlayLuma),
    MODE(SoftScreen),
    MODE(MultiplyAdd),
    MODE(OverlaySoft),
    MODE(YiqQMultiply),
    MODE(HardLightMax),
    // Colour-model components.
    MODE(HslH),
    MODE(HslS),
    MODE(HslSAdd),
    MODE(HslSBurn),
    MODE(HslSSub),
    MODE(HslSAvg),
    MODE(HslL),
    MODE(HslLAvg),
    MODE(HslHS),
    MODE(HslSL),
    MODE(HslHL),
    MODE(HslLAdd),
    MODE(HslLBurn),
    MODE(HslLSub),
    MODE(HsvV),
    MODE(HsvVMin),
    MODE(HsvVMax),
    MODE(HsvVAvg),
    MODE(HcyC),
    MODE(HcyHC),
    MODE(HcyCY),
    MODE(HcyHY),
    MODE(CmykMY),
    MODE(CmykCY),
    MODE(CmykCM),
    MODE(CmykK),
    MODE(CmykMYK),
    MODE(CmykCYK),
    MODE(CmykCMK),
    MODE(XyzX),
    MODE(XyzY),
    MODE(XyzZ),
    MODE(XyzXY),
    MODE(XyzYZ),
    MODE(XyzXZ),
    MODE(XyzMultiply),
    MODE(XyzAdd),
    MODE(XyzBurn),
    MODE(LabL),
    MODE(LabA),
    MODE(LabB),
    MODE(LabLA),
    MODE(LabAB),
    MODE(LabLB),
    MODE(LabMix),
    MODE(YiqY),
    MODE(YiqYAdd),
    MODE(YiqYSub),
    MODE(YiqMix),
    MODE(YiqI),
    MODE(YiqQ),
    MODE(YiqIAdd),
    MODE(YiqQAdd),
    MODE(YiqYI),
    MODE(YiqYQ),
    MODE(YiqIQ),
    MODE(YiqCross),
    MODE(YuvU),
    MODE(YuvV),
    MODE(YuvUAdd),
    MODE(YuvVAdd),
    MODE(YuvYU),
    MODE(YuvYV),
    MODE(YuvUV),
    MODE(YuvCross),
};

#undef MODE

}  // namespace

int setblendmode(BlendFunction function, int flags) {
  g_function = function ? function : blend::Normal;
  g_flags = flags;
  return 0;
}

BlendFunction currentblendfunction() {
  return g_function;
}
int currentblendflags() {
  return g_flags;
}

uint32_t blendpixel(uint32_t src, uint32_t dst, int opacity, int flags) {
  if (flags == BLEND_CURRENT_FLAGS) flags = g_flags;
  if (opacity <= 0) return dst;
  uint32_t a = src >> 24;
  // Formed in 64 bits so that no opacity can overflow the product.
  if (opacity != 255) a = static_cast<uint32_t>(std::min<int64_t>(255, int64_t{opacity} * a / 255));
  if (a == 0 || flags == 0) return dst;

  const uint32_t da = dst >> 24;
  const uint32_t alpha = (flags & BLEND_FLAG_ALPHA) ? 255 - Div255((255 - a) * (255 - da)) : da;
  uint32_t rgb = dst & 0xFFFFFF;
  if (const uint32_t changed = kChannelMasks[flags & 7]) {
    rgb = (MixChannels(Blended(src, dst), rgb, a) & changed) | (rgb & ~changed);
  }
  return alpha << 24 | rgb;
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
