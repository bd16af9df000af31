// TPixmap: a pixel buffer in one of six byte layouts, with pixel access
// through 0xAARRGGBB values, format conversion, windows onto a rectangle of
// another pixmap and copies.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>

namespace skyloom {

constexpr int PIXEL_GREY8 = 1;     // grey
constexpr int PIXEL_ALPHA8 = 2;    // alpha
constexpr int PIXEL_BGR888 = 3;    // blue, green, red
constexpr int PIXEL_RGB888 = 4;    // red, green, blue
constexpr int PIXEL_BGRA8888 = 5;  // blue, green, red, alpha
constexpr int PIXEL_RGBA8888 = 6;  // red, green, blue, alpha

// Bytes per pixel of a format; 0 for an unknown format.
int BytesPerPixel(int format);

// Raised by TPixmap::Create for a negative size, an unknown format or a
// buffer larger than a 32-bit capacity can describe.
class TPixmapException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TPixmap : public std::enable_shared_from_this<TPixmap> {
 public:
  // A new pixmap; pitch is width x bytes per pixel rounded up to a multiple
  // of align. The pixel memory is not cleared.
  static std::shared_ptr<TPixmap> Create(int width, int height, int format, int align = 4);

  uint8_t* PixelPtr(int x, int y) const { return pixels + y * pitch + x * BytesPerPixel(format); }

  // 0xAARRGGBB of a pixel inside the pixmap (callers keep to its bounds).
  uint32_t ReadPixel(int x, int y) const;
  void WritePixel(int x, int y, uint32_t argb);

  // A new pixmap (alignment 4) in another format; the same format is copied
  // byte for byte.
  std::shared_ptr<TPixmap> Convert(int new_format) const;

  // A view of a rectangle of these pixels: same pitch and format, no copy.
  // The view keeps this pixmap alive.
  std::shared_ptr<TPixmap> Window(int x, int y, int w, int h);

  // An independent copy with alignment 4.
  std::shared_ptr<TPixmap> Copy() const;

  // Copies width x bytes-per-pixel bytes of a row in this pixmap's format
  // into row y.
  void CopyRow(int y, const uint8_t* source);

  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int format = 0;
  int capacity = 0;

 private:
  std::unique_ptr<uint8_t[]> _memory;  // owned pixels, null for a window
  std::shared_ptr<TPixmap> _source;    // the pixmap a window views
};

using PixmapRef = std::shared_ptr<TPixmap>;

}  // namespace skyloom
