// Blend modes: a software compositor for packed 0xAARRGGBB pixels and a
// library of 144 blend functions that it composites through, selectable by
// name.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/pixmap.h"

namespace skyloom {

// A blend function takes the source channels (r1, g1, b1) and the
// destination channels (r2, g2, b2), each 0...255, and writes the blended
// channels, each 0...255, to (r, g, b). It looks at nothing else, alpha
// included, and has no other effect.
using BlendFunction = void (*)(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g,
                               int& b);

// Channel flags: which parts of the destination a composite may change.
constexpr int BLEND_FLAG_BLUE = 1;
constexpr int BLEND_FLAG_GREEN = 2;
constexpr int BLEND_FLAG_RED = 4;
constexpr int BLEND_FLAG_ALPHA = 8;
constexpr int BLEND_FLAG_ALL = 15;

// Passed as flags to blendpixel: use the current flags.
constexpr int BLEND_CURRENT_FLAGS = -1;

// Makes function and flags the current blend state of the program (it starts
// as blend::Normal with BLEND_FLAG_ALL). A null function selects blend::Normal.
// The first time a channel-wise function of the library is selected, a 64 KiB
// table of its results for every pair of channels is built (one call per
// pair) and kept, and blendpixel looks its results up from then on. Returns 0.
int setblendmode(BlendFunction function, int flags);

// The current blend state.
BlendFunction currentblendfunction();
int currentblendflags();

// Composites src over dst through the current blend function:
//  - flags -1 means the current flags;
//  - the effective alpha a is src's alpha scaled by opacity/255 (limited to
//    255); opacity 0 or less, a of 0 or flags 0 give dst unchanged;
//  - with BLEND_FLAG_ALPHA the result alpha is the screen of a and dst's alpha,
//    otherwise dst's alpha;
//  - each colour channel whose flag is set moves from dst towards the blend
//    function's result by a/255; the others keep dst's value. The blend
//    function is called only when at least one colour flag is set.
// With blend::Normal and BLEND_FLAG_ALL this is source-over compositing.
// (Defined inline below, so that a caller's pixel loop compiles it in place.)
inline uint32_t blendpixel(uint32_t src, uint32_t dst, int opacity, int flags);

// Replaces pixel (x, y) of pixmap with blendpixel(colour, pixel, opacity,
// current flags). A null pixmap or a point outside it is left alone.
// Returns 0.
int blendpixmappixel(const PixmapRef& pixmap, int x, int y, uint32_t colour, int opacity);

// One blend function, the name it is known by, and whether it is
// channel-wise: each of its channels depends only on the same channel of the
// source and the destination.
struct BlendMode {
  std::string_view name;
  BlendFunction function;
  bool channelwise;
};

// Every blend function, in a fixed order: the channel-wise functions, those
// that mix channels, the composites, HardLightMax, and the functions that
// work on the components of a colour model.
std::span<const BlendMode> BlendModes();

// The blend function of a name (case-sensitive); null when there is none.
BlendFunction FindBlendMode(std::string_view name);

// The blend functions. In the comments s and d are the source and
// destination values of the channel being computed, S and D the whole
// colours; / between integers truncates toward zero, limit(x) is
// min(255, max(0, x)), trunc(x) truncates a floating-point value.
namespace blend {

#define SKYLOOM_BLEND_FUNCTION(name) \
  void name(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b)

// Channel-wise: the same formula on red, green and blue independently.
SKYLOOM_BLEND_FUNCTION(Normal);              // s
SKYLOOM_BLEND_FUNCTION(Lighten);             // max(s, d)
SKYLOOM_BLEND_FUNCTION(Darken);              // min(s, d)
SKYLOOM_BLEND_FUNCTION(Exclusion);           // trunc(s + d - s*d/127.5)
SKYLOOM_BLEND_FUNCTION(Difference);          // |s - d|
SKYLOOM_BLEND_FUNCTION(GrainMerge);          // limit(d + s - 127)
SKYLOOM_BLEND_FUNCTION(GrainExtractMerge);   // d <= 127: limit(d - s + 127), else GrainMerge
SKYLOOM_BLEND_FUNCTION(Multiply);            // s*d/255
SKYLOOM_BLEND_FUNCTION(Screen);              // s + d - s*d/255
SKYLOOM_BLEND_FUNCTION(Overlay);             // HardLight with s and d exchanged in the test
SKYLOOM_BLEND_FUNCTION(SoftLight);           // d moved towards s by a curve (single precision)
SKYLOOM_BLEND_FUNCTION(HardLight);           // s >= 128: screen of 2s-255 and d, else 2s*d/255
SKYLOOM_BLEND_FUNCTION(ColorDodge);          // s = 255: 255, else min(255, d*256/(255-s))
SKYLOOM_BLEND_FUNCTION(ColorBurn);           // s = 0: 0, else max(0, 255-(255-d)*256/s)
SKYLOOM_BLEND_FUNCTION(LinearBurnAdd);       // min(255, d + max(0, d+s-255))
SKYLOOM_BLEND_FUNCTION(DarkenAlt);           // max(0, d - max(0, d-s)), equal to Darken
SKYLOOM_BLEND_FUNCTION(DarkenAdd);           // min(255, d + min(s, d))
SKYLOOM_BLEND_FUNCTION(LinearBurnAlt);       // max(0, d - min(255-s, d)), equal to LinearBurn
SKYLOOM_BLEND_FUNCTION(SourceSquareMean);    // (s*s + s*d)/510
SKYLOOM_BLEND_FUNCTION(BaseSquareMean);      // (d*d + s*d)/510
SKYLOOM_BLEND_FUNCTION(Reflect);             // d = 255: 255, else min(255, s*s/(255-d))
SKYLOOM_BLEND_FUNCTION(Glow);                // s = 255: 255, else min(255, d*d/(255-s))
SKYLOOM_BLEND_FUNCTION(Freeze);              // d = 0: 0, else max(0, 255-(255-s)^2/d)
SKYLOOM_BLEND_FUNCTION(Heat);                // s = 0: 0, else max(0, 255-(255-d)^2/s)
SKYLOOM_BLEND_FUNCTION(InverseSumMultiply);  // d*|255-s-d|/255
SKYLOOM_BLEND_FUNCTION(PinLight);            // s >= 128: max(2(s-128), d), else min(2s, d)
SKYLOOM_BLEND_FUNCTION(VividLight);          // ColorDodge for s >= 128, ColorBurn below
SKYLOOM_BLEND_FUNCTION(HardMix);             // VividLight >= 128: 255, else 0
SKYLOOM_BLEND_FUNCTION(CubeMultiply);        // d*s*s*s/255^3
SKYLOOM_BLEND_FUNCTION(Add);                 // min(255, d + s)
SKYLOOM_BLEND_FUNCTION(Subtract);            // max(0, d - s)
SKYLOOM_BLEND_FUNCTION(AddInverse);          // min(255, d + 255 - s)
SKYLOOM_BLEND_FUNCTION(LinearBurn);          // max(0, d - (255-s))
SKYLOOM_BLEND_FUNCTION(LinearLight);         // limit(d + 2s - 255)
SKYLOOM_BLEND_FUNCTION(Power);               // trunc(d^(s/255))
SKYLOOM_BLEND_FUNCTION(Logarithm);           // trunc(ln(s)*d/ln 255), 0 for s = 0
SKYLOOM_BLEND_FUNCTION(SelfAlpha);           // (d*(255-s) + s*s)/255
SKYLOOM_BLEND_FUNCTION(BaseSquareMean2);     // d*(s+d)/510
SKYLOOM_BLEND_FUNCTION(DifferenceSubtract);  // max(0, d - |d-s|)
SKYLOOM_BLEND_FUNCTION(GreyDistance);        // min(255, d*|s-127| >> 7)
SKYLOOM_BLEND_FUNCTION(SquareDodge);         // min(255, d + s*s*d/65025)
SKYLOOM_BLEND_FUNCTION(SquareBurn);          // max(0, d - (255-s)^2*(255-d)/65025)
SKYLOOM_BLEND_FUNCTION(DoubleMultiply);      // trunc(min(255, d*s/127.5))
SKYLOOM_BLEND_FUNCTION(CurveDarken);         // trunc(limit(d - (255-s)*((255-s)/127.5 - 1)))
SKYLOOM_BLEND_FUNCTION(CurveLighten);        // trunc(limit(d + s*(s/127.5 - 1)))
SKYLOOM_BLEND_FUNCTION(Average);             // (s + d) >> 1
SKYLOOM_BLEND_FUNCTION(Modulo);              // d mod (s + 1)
SKYLOOM_BLEND_FUNCTION(MultiplyUnscaled);    // min(255, s*d)
SKYLOOM_BLEND_FUNCTION(Sine);                // trunc(|sin(s*0.703125 degrees)|*d)
SKYLOOM_BLEND_FUNCTION(Cosine);              // trunc(|cos(s*0.703125 degrees)|*d)
SKYLOOM_BLEND_FUNCTION(Tangent32);           // trunc(limit(tan((s*0.703125 - 90) degrees)*32 + d))
SKYLOOM_BLEND_FUNCTION(Tangent8);            // as Tangent32 with factor 8
SKYLOOM_BLEND_FUNCTION(Tangent128);          // as Tangent32 with factor 128
SKYLOOM_BLEND_FUNCTION(MultiplyDodge);       // min(255, d + (s*d >> 8))
SKYLOOM_BLEND_FUNCTION(MultiplyBurn);        // max(0, d - (255 - (s*d >> 8)))
SKYLOOM_BLEND_FUNCTION(MultiplySubtract);    // max(0, d - (s*d >> 8))
SKYLOOM_BLEND_FUNCTION(Posterize);           // clears the low k bits of d, k = trunc(s*7/255)
SKYLOOM_BLEND_FUNCTION(And);                 // s and d
SKYLOOM_BLEND_FUNCTION(Or);                  // s or d
SKYLOOM_BLEND_FUNCTION(Xor);                 // s xor d
SKYLOOM_BLEND_FUNCTION(Nand);                // (s and d) xor 255
SKYLOOM_BLEND_FUNCTION(Nor);                 // (s or d) xor 255
SKYLOOM_BLEND_FUNCTION(Xnor);                // (s xor d) xor 255

// Mixing channels. lum(X) = 3*red + 6*green + blue, sum(X) = red+green+blue;
// s' and s'' are the source's other two channels.
SKYLOOM_BLEND_FUNCTION(LumaCross);        // (s*lum(D) + d*lum(S))/5100
SKYLOOM_BLEND_FUNCTION(LumaWeight);       // (s*lum(S) + d*lum(D))/5100
SKYLOOM_BLEND_FUNCTION(LumaMix);          // (LumaWeight + LumaCross)/2
SKYLOOM_BLEND_FUNCTION(SumProduct);       // (d + sum(D))*(s + sum(S))/4080
SKYLOOM_BLEND_FUNCTION(SourceSumWeight);  // (d + s)*sum(S)/2040
SKYLOOM_BLEND_FUNCTION(BaseSumWeight);    // (d + s)*sum(D)/2040
SKYLOOM_BLEND_FUNCTION(ChromaAdd);        // limit(d + 2s - s' - s'')
SKYLOOM_BLEND_FUNCTION(ChromaAddHalf);    // limit(d + s - (s' + s'')/2)
SKYLOOM_BLEND_FUNCTION(BrightAdd);        // min(255, d + ((sum(S) + s) >> 2))

// Composites: an outer function applied to the result of an inner one. The
// inner function is always called directly, whatever is selected.
SKYLOOM_BLEND_FUNCTION(CurveBoth);     // CurveLighten(CurveDarken(S, D), D)
SKYLOOM_BLEND_FUNCTION(OverlayLuma);   // LumaCross(S, Overlay(S, D))
SKYLOOM_BLEND_FUNCTION(SoftScreen);    // Screen(S, SoftLight(S, D))
SKYLOOM_BLEND_FUNCTION(MultiplyAdd);   // Add(S, Multiply(S, D))
SKYLOOM_BLEND_FUNCTION(OverlaySoft);   // SoftLight(Overlay(S, D), D)
SKYLOOM_BLEND_FUNCTION(YiqQMultiply);  // Multiply(S, YiqQ(S, D))
SKYLOOM_BLEND_FUNCTION(HardLightMax);  // max(HardLight, DoubleMultiply) per channel

// Components of a colour model: S and D are converted from RGB (each channel
// over 255) into the model, a new colour is assembled from their components
// as listed, converted back, limited to 0...1 where marked [limited], and
// each channel scaled by 255 and truncated.
SKYLOOM_BLEND_FUNCTION(HslH);         // (S.h, D.s, D.l)
SKYLOOM_BLEND_FUNCTION(HslS);         // (D.h, S.s, D.l)
SKYLOOM_BLEND_FUNCTION(HslSAdd);      // (D.h, min(1, D.s + S.s), D.l)
SKYLOOM_BLEND_FUNCTION(HslSBurn);     // (D.h, max(0, D.s - (1 - S.s)), D.l)
SKYLOOM_BLEND_FUNCTION(HslSSub);      // (D.h, max(0, D.s - S.s), D.l)
SKYLOOM_BLEND_FUNCTION(HslSAvg);      // (D.h, (D.s + S.s)/2, D.l)
SKYLOOM_BLEND_FUNCTION(HslL);         // (D.h, D.s, S.l)
SKYLOOM_BLEND_FUNCTION(HslLAvg);      // (D.h, D.s, (D.l + S.l)/2)
SKYLOOM_BLEND_FUNCTION(HslHS);        // (S.h, S.s, D.l)
SKYLOOM_BLEND_FUNCTION(HslSL);        // (D.h, S.s, S.l)
SKYLOOM_BLEND_FUNCTION(HslHL);        // (S.h, D.s, S.l)
SKYLOOM_BLEND_FUNCTION(HslLAdd);      // (D.h, D.s, min(1, D.l + S.l))
SKYLOOM_BLEND_FUNCTION(HslLBurn);     // (D.h, D.s, max(0, D.l - (1 - S.l)))
SKYLOOM_BLEND_FUNCTION(HslLSub);      // (D.h, D.s, max(0, D.l - S.l))
SKYLOOM_BLEND_FUNCTION(HsvV);         // (D.h, D.s, S.v)
SKYLOOM_BLEND_FUNCTION(HsvVMin);      // (D.h, D.s, min(D.v, S.v))
SKYLOOM_BLEND_FUNCTION(HsvVMax);      // (D.h, D.s, max(D.v, S.v))
SKYLOOM_BLEND_FUNCTION(HsvVAvg);      // (D.h, D.s, (D.v + S.v)/2)
SKYLOOM_BLEND_FUNCTION(HcyC);         // (D.h, S.c, D.y) [limited]
SKYLOOM_BLEND_FUNCTION(HcyHC);        // (S.h, S.c, D.y) [limited]
SKYLOOM_BLEND_FUNCTION(HcyCY);        // (D.h, S.c, S.y) [limited]
SKYLOOM_BLEND_FUNCTION(HcyHY);        // (S.h, D.c, S.y) [limited]
SKYLOOM_BLEND_FUNCTION(CmykMY);       // (D.c, S.m, S.y, D.k)
SKYLOOM_BLEND_FUNCTION(CmykCY);       // (S.c, D.m, S.y, D.k)
SKYLOOM_BLEND_FUNCTION(CmykCM);       // (S.c, S.m, D.y, D.k)
SKYLOOM_BLEND_FUNCTION(CmykK);        // (D.c, D.m, D.y, S.k)
SKYLOOM_BLEND_FUNCTION(CmykMYK);      // (D.c, S.m, S.y, S.k)
SKYLOOM_BLEND_FUNCTION(CmykCYK);      // (S.c, D.m, S.y, S.k)
SKYLOOM_BLEND_FUNCTION(CmykCMK);      // (S.c, S.m, D.y, S.k)
SKYLOOM_BLEND_FUNCTION(XyzX);         // (S.x, D.y, D.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzY);         // (D.x, S.y, D.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzZ);         // (D.x, D.y, S.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzXY);        // (S.x, S.y, D.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzYZ);        // (D.x, S.y, S.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzXZ);        // (S.x, D.y, S.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzMultiply);  // (S.x*D.x, S.y*D.y, S.z*D.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzAdd);       // (S.x + D.x, S.y + D.y, S.z + D.z) [limited]
SKYLOOM_BLEND_FUNCTION(XyzBurn);      // (D.x - (1 - S.x), ...) per component [limited]
SKYLOOM_BLEND_FUNCTION(LabL);         // (S.L, D.a, D.b) [limited]
SKYLOOM_BLEND_FUNCTION(LabA);         // (D.L, S.a, D.b) [limited]
SKYLOOM_BLEND_FUNCTION(LabB);         // (D.L, D.a, S.b) [limited]
SKYLOOM_BLEND_FUNCTION(LabLA);        // (S.L, S.a, D.b) [limited]
SKYLOOM_BLEND_FUNCTION(LabAB);        // (D.L, S.a, S.b) [limited]
SKYLOOM_BLEND_FUNCTION(LabLB);        // (S.L, D.a, S.b) [limited]
SKYLOOM_BLEND_FUNCTION(LabMix);       // ((S.L + D.L)/2, S.a + D.a, S.b + D.b) [limited]
SKYLOOM_BLEND_FUNCTION(YiqY);         // (S.y, D.i, D.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqYAdd);      // (D.y + S.y, D.i, D.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqYSub);      // (D.y - S.y, D.i, D.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqMix);       // (S.y*D.y, (D.i + S.i)/2, (D.q + S.q)/2) [limited]
SKYLOOM_BLEND_FUNCTION(YiqI);         // (D.y, S.i, D.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqQ);         // (D.y, D.i, S.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqIAdd);      // (D.y, S.i + D.i, D.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqQAdd);      // (D.y, D.i, S.q + D.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqYI);        // (S.y, S.i, D.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqYQ);        // (S.y, D.i, S.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqIQ);        // (D.y, S.i, S.q) [limited]
SKYLOOM_BLEND_FUNCTION(YiqCross);     // (D.y, D.q + S.i, D.i + S.q) [limited]
SKYLOOM_BLEND_FUNCTION(YuvU);         // (D.y, S.u, D.v) [limited]
SKYLOOM_BLEND_FUNCTION(YuvV);         // (D.y, D.u, S.v) [limited]
SKYLOOM_BLEND_FUNCTION(YuvUAdd);      // (D.y, S.u + D.u, D.v) [limited]
SKYLOOM_BLEND_FUNCTION(YuvVAdd);      // (D.y, D.u, S.v + D.v) [limited]
SKYLOOM_BLEND_FUNCTION(YuvYU);        // (S.y, S.u, D.v) [limited]
SKYLOOM_BLEND_FUNCTION(YuvYV);        // (S.y, D.u, S.v) [limited]
SKYLOOM_BLEND_FUNCTION(YuvUV);        // (D.y, S.u, S.v) [limited]
SKYLOOM_BLEND_FUNCTION(YuvCross);     // (D.y, D.v + S.u, D.u + S.v) [limited]

#undef SKYLOOM_BLEND_FUNCTION

}  // namespace blend

// How blendpixel works. The state and the path through a call live in
// blend.cpp; the rest is here to be inlined.
namespace blend_internal {

// The results of a channel-wise blend function for every pair of 8-bit
// channels, indexed by s << 8 | d.
using ChannelTable = std::array<uint8_t, 65536>;

// The program-wide blend state, used from the main thread only. table holds
// the current function's results when it is a channel-wise function of the
// library, so that blendpixel looks them up instead of calling it.
struct State {
  BlendFunction function = blend::Normal;
  const ChannelTable* table = nullptr;
  int flags = BLEND_FLAG_ALL;
};
extern State g_state;

// x / 255 for 0 <= x <= 65534, without a division or a wide multiply.
inline uint32_t Div255(uint32_t x) {
  return (x + 1 + (x >> 8)) >> 8;
}

// The source alpha scaled by opacity/255 (opacity > 0), limited to 255.
// Formed in 64 bits so that no opacity can overflow the product.
inline uint32_t ScaleAlpha(uint32_t alpha, int opacity) {
  return static_cast<uint32_t>(std::min<int64_t>(255, int64_t{opacity} * alpha / 255));
}

// Each channel of a 0x00RRGGBB destination moved towards the same channel of
// the blended colour by alpha/255. Red and blue are worked in two 16-bit
// lanes of one word: every lane stays below 65535, so nothing carries across.
inline uint32_t MixChannels(uint32_t blended, uint32_t destination, uint32_t alpha) {
  const uint32_t rb = (blended & 0xFF00FF) * alpha + (destination & 0xFF00FF) * (255 - alpha);
  const uint32_t g = ((blended >> 8) & 255) * alpha + ((destination >> 8) & 255) * (255 - alpha);
  const uint32_t rb_over_255 = ((rb + 0x10001 + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  return rb_over_255 | Div255(g) << 8;
}

// The channels of 0x00RRGGBB that the colour flags 0...7 let change.
inline constexpr uint32_t kChannelMasks[8] = {0x000000, 0x0000FF, 0x00FF00, 0x00FFFF,
                                              0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// A channel-wise function's colour for src over dst, looked up channel by
// channel, as 0x00RRGGBB.
inline uint32_t LookUpBlend(const ChannelTable& table, uint32_t src, uint32_t dst) {
  const auto channel = [&](int shift) -> uint32_t {
    return uint32_t{table[((src >> shift) & 255) << 8 | ((dst >> shift) & 255)]} << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

// The composite of a blended 0x00RRGGBB colour over dst: the channels in
// changed move towards it by a/255, the others keep dst's value, and the
// alpha becomes alpha.
inline uint32_t Compose(uint32_t blended, uint32_t dst, uint32_t a, uint32_t alpha,
                        uint32_t changed) {
  const uint32_t rgb = dst & 0xFFFFFF;
  return alpha << 24 | (MixChannels(blended, rgb, a) & changed) | (rgb & ~changed);
}

// Compose with the colour that the current function gives when it is called.
uint32_t ComposeByCall(uint32_t src, uint32_t dst, uint32_t a, uint32_t alpha, uint32_t changed);

}  // namespace blend_internal

inline uint32_t blendpixel(uint32_t src, uint32_t dst, int opacity, int flags) {
  using namespace blend_internal;
  if (flags == BLEND_CURRENT_FLAGS) flags = g_state.flags;
  if (opacity <= 0) return dst;
  uint32_t a = src >> 24;
  if (opacity != 255) a = ScaleAlpha(a, opacity);
  if (a == 0 || flags == 0) return dst;

  const uint32_t da = dst >> 24;
  const uint32_t alpha = (flags & BLEND_FLAG_ALPHA) ? 255 - Div255((255 - a) * (255 - da)) : da;
  const uint32_t changed = kChannelMasks[flags & 7];
  if (!changed) return alpha << 24 | (dst & 0xFFFFFF);
  // Normal gives the source channels, a channel-wise function its table's.
  if (g_state.function == blend::Normal) return Compose(src & 0xFFFFFF, dst, a, alpha, changed);
  if (g_state.table) return Compose(LookUpBlend(*g_state.table, src, dst), dst, a, alpha, changed);
  return ComposeByCall(src, dst, a, alpha, changed);
}

}  // namespace skyloom
