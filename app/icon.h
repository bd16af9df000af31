// Skyloom's program icon, painted at any size: a gold star in the middle of a
// dark round sky, a tilted elliptical orbit round it and a blue planet on it.
// The desktop entry's icons are made from it when the project is built.
#pragma once

#include <cstdint>

#include "runtime/pixmap.h"

namespace skyloom {

// Colours of the icon's parts, 0xAARRGGBB.
constexpr uint32_t ICON_SKY = 0xFF0B1530;
constexpr uint32_t ICON_ORBIT = 0xFF8FA8D8;
constexpr uint32_t ICON_STAR = 0xFFFFC83C;
constexpr uint32_t ICON_PLANET = 0xFF3C9BE6;

// Smallest and largest side PaintSkyloomIcon accepts.
constexpr int ICON_MIN_SIZE = 8;
constexpr int ICON_MAX_SIZE = 1024;

// A size x size PIXEL_RGBA8888 picture of the icon; outside the sky disc it
// is transparent, and edges are smoothed by sampling each pixel 4 x 4 times.
// Null for a size outside ICON_MIN_SIZE..ICON_MAX_SIZE.
PixmapRef PaintSkyloomIcon(int size);

// Where the planet's centre lies, in pixels from the top-left corner, in
// an icon of the given size (for checks of the picture).
void IconPlanetCentre(int size, double& x, double& y);

}  // namespace skyloom
