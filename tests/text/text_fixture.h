// Small fonts and byte helpers shared by the text tests: a font whose glyph
// pixels tell frame, column and row apart, and font files built in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/png.h"
#include "runtime/display.h"
#include "runtime/stream.h"
#include "text/font.h"

namespace skyloom::testing_text {

// Glyph pixel of frame i at (x, y): opaque where x + y is even (red = i,
// green = x, blue = y), fully transparent elsewhere. Opaque or transparent
// pixels composite onto a blank pixmap without rounding.
inline uint32_t PatternPixel(int i, int x, int y) {
  if ((x + y) % 2 != 0) return 0;
  return 0xFF000000u | (uint32_t(i) << 16) | (uint32_t(x) << 8) | uint32_t(y);
}

inline PixmapRef PatternAtlas(int cellw, int cellh) {
  PixmapRef atlas = TPixmap::Create(cellw * 16, cellh * 16, PIXEL_RGBA8888, 4);
  for (int i = 0; i < 256; ++i) {
    for (int y = 0; y < cellh; ++y) {
      for (int x = 0; x < cellw; ++x) {
        atlas->WritePixel(cellw * (i % 16) + x, cellh * (i / 16) + y, PatternPixel(i, x, y));
      }
    }
  }
  return atlas;
}

// The layout font of the examples: every width 5, hspacing 1, charh 8,
// vspacing 3, in 6 x 8 cells.
inline FontRef MakeTestFont(int cellw = 6, int cellh = 8) {
  FontRef font = Font::Create();
  font->image = LoadAnimImageFrom(PatternAtlas(cellw, cellh), cellw, cellh, 0, 256);
  font->charw.fill(5);
  font->charh = 8;
  font->maxw = 6;
  font->hspacing = 1;
  font->vspacing = 3;
  return font;
}

// A growable memory stream is not part of the runtime: write into a large
// fixed block and keep the bytes written.
template <typename WriteFn>
std::vector<uint8_t> WriteToBytes(WriteFn&& write) {
  std::vector<uint8_t> block(1 << 20);
  auto stream = TRamStream::Create(block.data(), int64_t(block.size()), false, true);
  write(StreamRef(stream));
  block.resize(size_t(stream->Pos()));
  return block;
}

inline StreamRef ReadStream(std::vector<uint8_t> bytes) {
  return TRamStream::CreateCopy(std::move(bytes), true, false);
}

inline std::vector<uint8_t> FontFileBytes(const Font& font) {
  return WriteToBytes([&](const StreamRef& s) { font.Write(s); });
}

inline std::vector<uint8_t> PngBytes(const PixmapRef& pixmap) {
  return WriteToBytes([&](const StreamRef& s) { WritePNG(s, pixmap, 9); });
}

inline std::vector<uint8_t> IntArrayBytes(const std::vector<int32_t>& values) {
  return WriteToBytes([&](const StreamRef& s) { WriteIntArrayPNG(s, values); });
}

// The pieces of a font file, to be assembled with deliberate faults.
struct FontFileParts {
  std::string magic = "gont";
  std::vector<uint8_t> base_top = {0, 0, 0, 0};
  std::vector<uint8_t> atlas;
  std::vector<uint8_t> strings = {0x00, 0x00};  // empty name and author
  std::vector<int32_t> metrics = {8, 6, 1, 3};  // charh, maxw, hspacing, vspacing
  uint8_t reserved = 0;
  std::vector<uint8_t> widths;

  FontFileParts()
      : atlas(PngBytes(PatternAtlas(1, 1))), widths(IntArrayBytes(std::vector<int32_t>(256, 5))) {}

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out(magic.begin(), magic.end());
    if (magic == "gont") out.insert(out.end(), base_top.begin(), base_top.end());
    out.insert(out.end(), atlas.begin(), atlas.end());
    out.insert(out.end(), strings.begin(), strings.end());
    for (int32_t m : metrics) {
      for (int k = 0; k < 4; ++k) out.push_back(uint8_t(uint32_t(m) >> (8 * k)));
    }
    out.push_back(reserved);
    out.insert(out.end(), widths.begin(), widths.end());
    return out;
  }
};

// Every pixel of every frame of two images is the same.
inline void ExpectSameFrames(const TImage& a, const TImage& b) {
  ASSERT_EQ(a.frames.size(), b.frames.size());
  ASSERT_EQ(a.width, b.width);
  ASSERT_EQ(a.height, b.height);
  for (size_t i = 0; i < a.frames.size(); ++i) {
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) {
        ASSERT_EQ(a.frames[i]->ReadPixel(x, y), b.frames[i]->ReadPixel(x, y))
            << "frame " << i << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace skyloom::testing_text
