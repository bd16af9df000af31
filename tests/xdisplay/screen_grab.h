// What the X server's screen shows, read back through the window helper's
// grab command (a binary PPM of a rectangle of the root window), with the
// pixel measurements that the end-to-end tests make on it: colours, the
// middle and extent of a coloured spot, and 11 x 11 icon pictures.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/xdisplay/x_support.h"

namespace skyloom::xtest {

// A rectangle of the screen as 0xRRGGBB values, addressed in screen
// coordinates.
struct ScreenImage {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint32_t> pixels;  // row by row

  bool Contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
  // The colour at screen point (x, y); 0xFF000000 (no colour) outside.
  uint32_t At(int x, int y) const {
    return Contains(x, y) ? pixels[static_cast<size_t>(y - top) * width + (x - left)] : 0xFF000000u;
  }
};

// The rectangle of the screen as it shows now; nothing when it cannot be read.
inline std::optional<ScreenImage> GrabScreen(int x, int y, int w, int h) {
  const std::string path = "/tmp/skyloom-grab-" + std::to_string(getpid()) + ".ppm";
  const std::string command = std::string(XWINDOW_HELPER) + " grab " + std::to_string(x) + " " +
                              std::to_string(y) + " " + std::to_string(w) + " " +
                              std::to_string(h) + " " + path;
  if (RunX(command) != 0) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::remove(path.c_str());  // the open file stays readable
  std::string magic;
  int width = 0, height = 0, depth = 0;
  in >> magic >> width >> height >> depth;
  in.get();  // the one blank after the header
  if (magic != "P6" || width != w || height != h || depth != 255) return std::nullopt;
  std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
  if (!in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()))) {
    return std::nullopt;
  }
  ScreenImage image{x, y, w, h, {}};
  image.pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    image.pixels[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  }
  return image;
}

// Grabs the rectangle until the condition holds of it or the time is up, and
// returns the last grab (empty only when no grab succeeded at all).
inline ScreenImage WaitForScreen(int x, int y, int w, int h,
                                 const std::function<bool(const ScreenImage&)>& condition,
                                 int timeout_ms = 3000) {
  ScreenImage last;
  WaitFor(
      [&] {
        std::optional<ScreenImage> grab = GrabScreen(x, y, w, h);
        if (!grab) return false;
        last = std::move(*grab);
        return condition(last);
      },
      timeout_ms);
  return last;
}

// The middle of the pixels of one colour within a rectangle and how many
// there are; count 0 when there are none. The middle is in drawing
// coordinates, where pixel (x, y) covers x to x + 1: a disc drawn around
// (512, 384) has its middle there.
struct Spot {
  double x = 0, y = 0;
  int count = 0;
};

inline Spot FindSpot(const ScreenImage& image, uint32_t colour, int x, int y, int w, int h) {
  Spot spot;
  double sum_x = 0, sum_y = 0;
  for (int py = y; py < y + h; ++py) {
    for (int px = x; px < x + w; ++px) {
      if (image.At(px, py) != colour) continue;
      sum_x += px + 0.5;
      sum_y += py + 0.5;
      ++spot.count;
    }
  }
  if (spot.count > 0) {
    spot.x = sum_x / spot.count;
    spot.y = sum_y / spot.count;
  }
  return spot;
}

// The run of one colour along row y through column x: its first and last
// column, or {x, x - 1} (length 0) when (x, y) has another colour.
struct Run {
  int first = 0, last = -1;
  int length() const { return last - first + 1; }
};

inline Run RunThrough(const ScreenImage& image, uint32_t colour, int x, int y) {
  Run run{x, x - 1};
  if (image.At(x, y) != colour) return run;
  run.last = x;
  while (image.At(run.first - 1, y) == colour) --run.first;
  while (image.At(run.last + 1, y) == colour) ++run.last;
  return run;
}

// How many of the points on the circle of radius r around (cx, cy) (drawing
// coordinates), one per 10 degrees, lie on a pixel of the colour.
inline int CountOnCircle(const ScreenImage& image, uint32_t colour, double cx, double cy,
                         double r) {
  int count = 0;
  for (int degrees = 0; degrees < 360; degrees += 10) {
    const double a = degrees * M_PI / 180;
    const int x = static_cast<int>(std::floor(cx + r * std::cos(a)));
    const int y = static_cast<int>(std::floor(cy + r * std::sin(a)));
    if (image.At(x, y) == colour) ++count;
  }
  return count;
}

// An icon picture: 11 rows of 11 characters, "X" for a mark, "." for black.
using IconPicture = std::vector<std::string>;

// The first pixel of the 11 x 11 square at (x, y) that differs from the
// picture, marks in the mark colour, as "(x, y) is 0x... not 0x...";
// "" when the square shows the picture.
inline std::string IconDifference(const ScreenImage& image, int x, int y,
                                  const IconPicture& picture, uint32_t mark) {
  for (int row = 0; row < 11; ++row) {
    for (int column = 0; column < 11; ++column) {
      const uint32_t want = picture[row][column] == 'X' ? mark : 0x000000u;
      const uint32_t have = image.At(x + column, y + row);
      if (have != want) {
        char text[96];
        std::snprintf(text, sizeof text, "(%d, %d) is 0x%06X, not 0x%06X", x + column, y + row,
                      have, want);
        return text;
      }
    }
  }
  return "";
}

}  // namespace skyloom::xtest
