// The blend functions that work on the components of a colour model: both
// colours go into the model, a new colour is assembled from their
// components, and it comes back to 8-bit RGB.
#include <algorithm>

#include "imaging/blend.h"
#include "imaging/colour.h"

namespace skyloom::blend {
namespace {

// A colour model: its conversion from 8-bit RGB channels, which needs to
// work out only the components in parts, its conversion back to RGB, and
// where the model has one, a conversion straight to limited 8-bit channels.
struct Model {
  Colour (*from_bytes)(int r, int g, int b, int parts);
  Colour (*to_rgb)(const Colour&);
  std::array<int, 3> (*to_limited_bytes)(const Colour&) = nullptr;
};

// A conversion from RGB applied to the channels over 255; parts is ignored.
template <Colour (*from_rgb)(const Colour&)>
Colour FromBytes(int r, int g, int b, int /*parts*/) {
  return from_rgb(colorfromrgb(r, g, b));
}

Colour XyzFromBytesOfParts(int r, int g, int b, int /*parts*/) {
  return XyzFromBytes(r, g, b);
}

constexpr Model kHsl{FromBytes<rgbtohsl>, hsltorgb};
constexpr Model kHsv{FromBytes<rgbtohsv>, hsvtorgb};
constexpr Model kHcy{FromBytes<rgbtohcy>, hcytorgb};
constexpr Model kCmyk{FromBytes<rgbtocmyk>, cmyktorgb};
constexpr Model kXyz{XyzFromBytesOfParts, xyztorgb, XyzToLimitedBytes};
constexpr Model kLab{LabFromBytes, labtorgb, LabToLimitedBytes};
constexpr Model kYiq{FromBytes<rgbtoyiq>, yiqtorgb};
constexpr Model kYuv{FromBytes<rgbtoyuv>, yuvtorgb};

// Whether the recombined colour is limited to 0...1 before scaling.
constexpr bool kLimited = true;
constexpr bool kUnlimited = false;

// Every component of a colour, for the models that always work out all.
constexpr int kAllParts = 15;

template <const Model& model, bool limited, int source_parts, int destination_parts,
          typename Assemble>
void ComponentBlend(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b,
                    Assemble assemble) {
  const Colour source = model.from_bytes(r1, g1, b1, source_parts);
  const Colour destination = model.from_bytes(r2, g2, b2, destination_parts);
  const Colour assembled = assemble(source, destination);
  std::array<int, 3> channels;
  if (limited && model.to_limited_bytes) {
    channels = model.to_limited_bytes(assembled);
  } else {
    Colour result = model.to_rgb(assembled);
    if (limited) clampcolor(result);
    channels = colorints(result);
  }
  r = channels[0];
  g = channels[1];
  b = channels[2];
}

}  // namespace

// Defines a component blend function from its model, whether it is limited
// and the components of the assembled colour, written in terms of S and D,
// the source and destination colours in the model.
#define COMPONENT_BLEND(name, model, limited, ...) \
  PARTS_BLEND(name, model, limited, kAllParts, kAllParts, __VA_ARGS__)

// The same for a model that works out only the components that are used:
// source_parts and destination_parts name the components of S and D that
// the assembled colour reads.
#define PARTS_BLEND(name, model, limited, source_parts, destination_parts, ...)       \
  void name(int r1, int g1, int b1, int r2, int g2, int b2, int& r, int& g, int& b) { \
    ComponentBlend<model, limited, source_parts, destination_parts>(                  \
        r1, g1, b1, r2, g2, b2, r, g, b,                                              \
        []([[maybe_unused]] const Colour& S, [[maybe_unused]] const Colour& D) {      \
          return Colour(__VA_ARGS__);                                                 \
        });                                                                           \
  }

// HSL: [0] hue, [1] saturation, [2] lightness.
COMPONENT_BLEND(HslH, kHsl, kUnlimited, S[0], D[1], D[2])
COMPONENT_BLEND(HslS, kHsl, kUnlimited, D[0], S[1], D[2])
COMPONENT_BLEND(HslSAdd, kHsl, kUnlimited, D[0], std::min(1.0f, D[1] + S[1]), D[2])
COMPONENT_BLEND(HslSBurn, kHsl, kUnlimited, D[0], std::max(0.0f, D[1] - (1 - S[1])), D[2])
COMPONENT_BLEND(HslSSub, kHsl, kUnlimited, D[0], std::max(0.0f, D[1] - S[1]), D[2])
COMPONENT_BLEND(HslSAvg, kHsl, kUnlimited, D[0], (D[1] + S[1]) / 2, D[2])
COMPONENT_BLEND(HslL, kHsl, kUnlimited, D[0], D[1], S[2])
COMPONENT_BLEND(HslLAvg, kHsl, kUnlimited, D[0], D[1], (D[2] + S[2]) / 2)
COMPONENT_BLEND(HslHS, kHsl, kUnlimited, S[0], S[1], D[2])
COMPONENT_BLEND(HslSL, kHsl, kUnlimited, D[0], S[1], S[2])
COMPONENT_BLEND(HslHL, kHsl, kUnlimited, S[0], D[1], S[2])
COMPONENT_BLEND(HslLAdd, kHsl, kUnlimited, D[0], D[1], std::min(1.0f, D[2] + S[2]))
COMPONENT_BLEND(HslLBurn, kHsl, kUnlimited, D[0], D[1], std::max(0.0f, D[2] - (1 - S[2])))
COMPONENT_BLEND(HslLSub, kHsl, kUnlimited, D[0], D[1], std::max(0.0f, D[2] - S[2]))

// HSV: [0] hue, [1] saturation, [2] value.
COMPONENT_BLEND(HsvV, kHsv, kUnlimited, D[0], D[1], S[2])
COMPONENT_BLEND(HsvVMin, kHsv, kUnlimited, D[0], D[1], std::min(D[2], S[2]))
COMPONENT_BLEND(HsvVMax, kHsv, kUnlimited, D[0], D[1], std::max(D[2], S[2]))
COMPONENT_BLEND(HsvVAvg, kHsv, kUnlimited, D[0], D[1], (D[2] + S[2]) / 2)

// HCY: [0] hue, [1] chroma, [2] luma.
COMPONENT_BLEND(HcyC, kHcy, kLimited, D[0], S[1], D[2])
COMPONENT_BLEND(HcyHC, kHcy, kLimited, S[0], S[1], D[2])
COMPONENT_BLEND(HcyCY, kHcy, kLimited, D[0], S[1], S[2])
COMPONENT_BLEND(HcyHY, kHcy, kLimited, S[0], D[1], S[2])

// CMYK: [0] cyan, [1] magenta, [2] yellow, [3] black.
COMPONENT_BLEND(CmykMY, kCmyk, kUnlimited, D[0], S[1], S[2], D[3])
COMPONENT_BLEND(CmykCY, kCmyk, kUnlimited, S[0], D[1], S[2], D[3])
COMPONENT_BLEND(CmykCM, kCmyk, kUnlimited, S[0], S[1], D[2], D[3])
COMPONENT_BLEND(CmykK, kCmyk, kUnlimited, D[0], D[1], D[2], S[3])
COMPONENT_BLEND(CmykMYK, kCmyk, kUnlimited, D[0], S[1], S[2], S[3])
COMPONENT_BLEND(CmykCYK, kCmyk, kUnlimited, S[0], D[1], S[2], S[3])
COMPONENT_BLEND(CmykCMK, kCmyk, kUnlimited, S[0], S[1], D[2], S[3])

// XYZ: [0] X, [1] Y, [2] Z.
COMPONENT_BLEND(XyzX, kXyz, kLimited, S[0], D[1], D[2])
COMPONENT_BLEND(XyzY, kXyz, kLimited, D[0], S[1], D[2])
COMPONENT_BLEND(XyzZ, kXyz, kLimited, D[0], D[1], S[2])
COMPONENT_BLEND(XyzXY, kXyz, kLimited, S[0], S[1], D[2])
COMPONENT_BLEND(XyzYZ, kXyz, kLimited, D[0], S[1], S[2])
COMPONENT_BLEND(XyzXZ, kXyz, kLimited, S[0], D[1], S[2])
COMPONENT_BLEND(XyzMultiply, kXyz, kLimited, S[0] * D[0], S[1] * D[1], S[2] * D[2])
COMPONENT_BLEND(XyzAdd, kXyz, kLimited, S[0] + D[0], S[1] + D[1], S[2] + D[2])
COMPONENT_BLEND(XyzBurn, kXyz, kLimited, D[0] - (1 - S[0]), D[1] - (1 - S[1]), D[2] - (1 - S[2]))

// Lab: [0] L, [1] a, [2] b.
PARTS_BLEND(LabL, kLab, kLimited, LAB_L, LAB_A | LAB_B, S[0], D[1], D[2])
PARTS_BLEND(LabA, kLab, kLimited, LAB_A, LAB_L | LAB_B, D[0], S[1], D[2])
PARTS_BLEND(LabB, kLab, kLimited, LAB_B, LAB_L | LAB_A, D[0], D[1], S[2])
PARTS_BLEND(LabLA, kLab, kLimited, LAB_L | LAB_A, LAB_B, S[0], S[1], D[2])
PARTS_BLEND(LabAB, kLab, kLimited, LAB_A | LAB_B, LAB_L, D[0], S[1], S[2])
PARTS_BLEND(LabLB, kLab, kLimited, LAB_L | LAB_B, LAB_A, S[0], D[1], S[2])
PARTS_BLEND(LabMix, kLab, kLimited, LAB_ALL, LAB_ALL, (S[0] + D[0]) / 2, S[1] + D[1], S[2] + D[2])

// YIQ: [0] Y, [1] I, [2] Q.
COMPONENT_BLEND(YiqY, kYiq, kLimited, S[0], D[1], D[2])
COMPONENT_BLEND(YiqYAdd, kYiq, kLimited, D[0] + S[0], D[1], D[2])
COMPONENT_BLEND(YiqYSub, kYiq, kLimited, D[0] - S[0], D[1], D[2])
COMPONENT_BLEND(YiqMix, kYiq, kLimited, S[0] * D[0], (D[1] + S[1]) / 2, (D[2] + S[2]) / 2)
COMPONENT_BLEND(YiqI, kYiq, kLimited, D[0], S[1], D[2])
COMPONENT_BLEND(YiqQ, kYiq, kLimited, D[0], D[1], S[2])
COMPONENT_BLEND(YiqIAdd, kYiq, kLimited, D[0], S[1] + D[1], D[2])
COMPONENT_BLEND(YiqQAdd, kYiq, kLimited, D[0], D[1], S[2] + D[2])
COMPONENT_BLEND(YiqYI, kYiq, kLimited, S[0], S[1], D[2])
COMPONENT_BLEND(YiqYQ, kYiq, kLimited, S[0], D[1], S[2])
COMPONENT_BLEND(YiqIQ, kYiq, kLimited, D[0], S[1], S[2])
COMPONENT_BLEND(YiqCross, kYiq, kLimited, D[0], D[2] + S[1], D[1] + S[2])

// YUV: [0] Y, [1] U, [2] V.
COMPONENT_BLEND(YuvU, kYuv, kLimited, D[0], S[1], D[2])
COMPONENT_BLEND(YuvV, kYuv, kLimited, D[0], D[1], S[2])
COMPONENT_BLEND(YuvUAdd, kYuv, kLimited, D[0], S[1] + D[1], D[2])
COMPONENT_BLEND(YuvVAdd, kYuv, kLimited, D[0], D[1], S[2] + D[2])
COMPONENT_BLEND(YuvYU, kYuv, kLimited, S[0], S[1], D[2])
COMPONENT_BLEND(YuvYV, kYuv, kLimited, S[0], D[1], S[2])
COMPONENT_BLEND(YuvUV, kYuv, kLimited, D[0], S[1], S[2])
COMPONENT_BLEND(YuvCross, kYuv, kLimited, D[0], D[2] + S[1], D[1] + S[2])

#undef COMPONENT_BLEND
#undef PARTS_BLEND

}  // namespace skyloom::blend
