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
uint32_t Div255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

// Moves a destination channel towards the blended one by alpha/255.
uint32_t Mix(uint32_t blended, uint32_t destination, uint32_t alpha) {
  return Div255(blended * alpha + destination * (255 - alpha));
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

  const uint32_t da = dst >> 24, dr = (dst >> 16) & 255, dg = (dst >> 8) & 255, db = dst & 255;
  const uint32_t alpha = (flags & BLEND_FLAG_ALPHA) ? 255 - Div255((255 - a) * (255 - da)) : da;
  uint32_t red = dr, green = dg, blue = db;
  if (flags & (BLEND_FLAG_RED | BLEND_FLAG_GREEN | BLEND_FLAG_BLUE)) {
    const uint32_t sr = (src >> 16) & 255, sg = (src >> 8) & 255, sb = src & 255;
    uint32_t br = sr, bg = sg, bb = sb;
    // Normal gives the source channels: skip the call on the common path.
    if (g_function != blend::Normal) {
      int r, g, b;
      g_function(sr, sg, sb, dr, dg, db, r, g, b);
      br = r, bg = g, bb = b;
    }
    if (flags & BLEND_FLAG_RED) red = Mix(br, dr, a);
    if (flags & BLEND_FLAG_GREEN) green = Mix(bg, dg, a);
    if (flags & BLEND_FLAG_BLUE) blue = Mix(bb, db, a);
  }
  return alpha << 24 | red << 16 | green << 8 | blue;
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
