// The painted program icon: the sizes it accepts, and at each size a star in
// the middle, a planet where the orbit puts it, the dark sky round them and
// clear corners, with smoothed (part-covered) pixels at the sky's rim.
#include <gtest/gtest.h>

#include <cmath>

#include "app/icon.h"

namespace skyloom {
namespace {

TEST(PaintSkyloomIcon, RefusesSizesOutsideItsRange) {
  for (const int size : {-1, 0, ICON_MIN_SIZE - 1, ICON_MAX_SIZE + 1}) {
    EXPECT_EQ(PaintSkyloomIcon(size), nullptr) << size;
  }
  EXPECT_NE(PaintSkyloomIcon(ICON_MIN_SIZE), nullptr);
}

TEST(PaintSkyloomIcon, EachPartWhereItBelongsAtEverySize) {
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const PixmapRef icon = PaintSkyloomIcon(size);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, size);
    EXPECT_EQ(icon->height, size);
    EXPECT_EQ(icon->format, PIXEL_RGBA8888);
    EXPECT_EQ(icon->ReadPixel(size / 2, size / 2), ICON_STAR);
    for (const auto& [x, y] :
         {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
      EXPECT_EQ(icon->ReadPixel(x, y), 0u) << x << "," << y;
    }
    double px = 0, py = 0;
    IconPlanetCentre(size, px, py);
    EXPECT_EQ(icon->ReadPixel(static_cast<int>(px), static_cast<int>(py)), ICON_PLANET);
    // Between the star and the top of the sky disc lies open sky.
    EXPECT_EQ(icon->ReadPixel(size / 2, size / 8), ICON_SKY);
    // Along the sky disc's rim, pixels are partly covered.
    bool smooth_rim = false;
    for (int y = 0; y < size / 2; ++y) {
      for (int x = 0; x < size / 2; ++x) {
        const uint32_t alpha = icon->ReadPixel(x, y) >> 24;
        smooth_rim |= alpha > 0 && alpha < 0xFF;
      }
    }
    EXPECT_TRUE(smooth_rim);
  }
}

}  // namespace
}  // namespace skyloom
