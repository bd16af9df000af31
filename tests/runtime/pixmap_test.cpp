// Pixel buffers: pitch, pixel conversions by format, Convert, windows and
// copies, and the refusal of sizes the buffer could not hold.
#include <gtest/gtest.h>

#include "runtime/pixmap.h"

namespace skyloom {
namespace {

TEST(PixmapTest, PitchRoundsRowsUpToTheAlignment) {
  struct Case {
    int width, format, align, pitch;
  };
  const Case cases[] = {
      {3, PIXEL_RGB888, 4, 12}, {3, PIXEL_GREY8, 4, 4},    {4, PIXEL_RGBA8888, 4, 16},
      {5, PIXEL_BGR888, 1, 15}, {0, PIXEL_RGBA8888, 4, 0},
  };
  for (const Case& c : cases) {
    auto pixmap = TPixmap::Create(c.width, 2, c.format, c.align);
    EXPECT_EQ(pixmap->pitch, c.pitch) << c.width << " " << c.format;
    EXPECT_EQ(pixmap->capacity, c.pitch * 2);
    EXPECT_EQ(pixmap->PixelPtr(1, 1), pixmap->pixels + c.pitch + BytesPerPixel(c.format));
  }
}

TEST(PixmapTest, PixelsConvertByFormat) {
  const uint32_t written = 0x80102030;  // alpha 128, red 16, green 32, blue 48
  struct Case {
    int format;
    uint32_t read_back;
    std::vector<uint8_t> stored;
  };
  const Case cases[] = {
      {PIXEL_GREY8, 0xFF202020, {32}},
      {PIXEL_ALPHA8, 0x80FFFFFF, {0x80}},
      {PIXEL_BGR888, 0xFF102030, {0x30, 0x20, 0x10}},
      {PIXEL_RGB888, 0xFF102030, {0x10, 0x20, 0x30}},
      {PIXEL_BGRA8888, 0x80102030, {0x30, 0x20, 0x10, 0x80}},
      {PIXEL_RGBA8888, 0x80102030, {0x10, 0x20, 0x30, 0x80}},
  };
  for (const Case& c : cases) {
    auto pixmap = TPixmap::Create(2, 2, c.format);
    pixmap->WritePixel(1, 1, written);
    EXPECT_EQ(pixmap->ReadPixel(1, 1), c.read_back) << c.format;
    const uint8_t* p = pixmap->PixelPtr(1, 1);
    EXPECT_EQ(std::vector<uint8_t>(p, p + c.stored.size()), c.stored) << c.format;
  }
}

TEST(PixmapTest, ConvertMatchesPixelByPixelConversion) {
  for (int from = PIXEL_GREY8; from <= PIXEL_RGBA8888; ++from) {
    auto source = TPixmap::Create(5, 3, from);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        source->WritePixel(x, y, 0x01000000u * (x * 40) + 0x10305u * (y + x * 7) + 0xF0u * x);
    for (int to = PIXEL_GREY8; to <= PIXEL_RGBA8888; ++to) {
      auto converted = source->Convert(to);
      ASSERT_EQ(converted->format, to);
      auto expected = TPixmap::Create(5, 3, to);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
          expected->WritePixel(x, y, source->ReadPixel(x, y));
          EXPECT_EQ(converted->ReadPixel(x, y), expected->ReadPixel(x, y)) << from << "->" << to;
        }
    }
  }
}

TEST(PixmapTest, WindowSharesPixelsAndOutlivesItsSource) {
  std::shared_ptr<TPixmap> window;
  {
    auto source = TPixmap::Create(4, 4, PIXEL_RGBA8888);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) source->WritePixel(x, y, 0xFF000000u | (y * 4 + x));
    window = source->Window(1, 2, 2, 2);
    EXPECT_EQ(window->pitch, source->pitch);
    window->WritePixel(0, 0, 0xFFABCDEF);
    EXPECT_EQ(source->ReadPixel(1, 2), 0xFFABCDEFu);
  }
  EXPECT_EQ(window->ReadPixel(1, 1), 0xFF00000Eu);  // source pixel (2, 3)
  auto copy = window->Copy();
  copy->WritePixel(1, 1, 0);
  EXPECT_EQ(window->ReadPixel(1, 1), 0xFF00000Eu);
  EXPECT_EQ(copy->pitch, 8);
}

TEST(PixmapTest, ImpossibleSizesAreRefused) {
  EXPECT_THROW(TPixmap::Create(-1, 4, PIXEL_RGBA8888), TPixmapException);
  EXPECT_THROW(TPixmap::Create(4, -1, PIXEL_RGBA8888), TPixmapException);
  EXPECT_THROW(TPixmap::Create(70000, 70000, PIXEL_RGBA8888), TPixmapException);
  EXPECT_THROW(TPixmap::Create(4, 4, 9), TPixmapException);
  auto empty = TPixmap::Create(0, 0, PIXEL_GREY8);
  EXPECT_EQ(empty->capacity, 0);
}

}  // namespace
}  // namespace skyloom
