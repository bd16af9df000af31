// TPixmap: pixel buffers, pixel access and format conversion.
#include "runtime/pixmap.h"

#include <cstring>
#include <limits>

namespace skyloom {

int BytesPerPixel(int format) {
  switch (format) {
    case PIXEL_GREY8:
    case PIXEL_ALPHA8:
      return 1;
    case PIXEL_BGR888:
    case PIXEL_RGB888:
      return 3;
    case PIXEL_BGRA8888:
    case PIXEL_RGBA8888:
      return 4;
    default:
      return 0;
  }
}

std::shared_ptr<TPixmap> TPixmap::Create(int width, int height, int format, int align) {
  const int bytes_per_pixel = BytesPerPixel(format);
  if (bytes_per_pixel == 0) throw TPixmapException("Unknown pixel format");
  if (width < 0 || height < 0) throw TPixmapException("Pixmap size is negative");
  if (align < 1) align = 1;
  const int64_t row = int64_t(width) * bytes_per_pixel;
  const int64_t pitch = (row + align - 1) / align * align;
  const int64_t capacity = pitch * height;
  if (pitch > std::numeric_limits<int>::max() || capacity > std::numeric_limits<int>::max()) {
    throw TPixmapException("Pixmap is too large");
  }
  auto pixmap = std::make_shared<TPixmap>();
  pixmap->_memory.reset(new uint8_t[capacity > 0 ? capacity : 1]);
  pixmap->pixels = pixmap->_memory.get();
  pixmap->width = width;
  pixmap->height = height;
  pixmap->pitch = static_cast<int>(pitch);
  pixmap->format = format;
  pixmap->capacity = static_cast<int>(capacity);
  return pixmap;
}

uint32_t TPixmap::ReadPixel(int x, int y) const {
  const uint8_t* p = PixelPtr(x, y);
  switch (format) {
    case PIXEL_GREY8:
      return 0xFF000000u + p[0] * 0x10101u;
    case PIXEL_ALPHA8:
      return (uint32_t(p[0]) << 24) | 0xFFFFFFu;
    case PIXEL_BGR888:
      return 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
    case PIXEL_RGB888:
      return 0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2];
    case PIXEL_BGRA8888:
      return (uint32_t(p[3]) << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
    case PIXEL_RGBA8888:
      return (uint32_t(p[3]) << 24) | (p[0] << 16) | (p[1] << 8) | p[2];
    default:
      return 0;
  }
}

void TPixmap::WritePixel(int x, int y, uint32_t argb) {
  uint8_t* p = PixelPtr(x, y);
  const uint8_t a = argb >> 24, r = argb >> 16, g = argb >> 8, b = argb;
  switch (format) {
    case PIXEL_GREY8:
      p[0] = static_cast<uint8_t>((r + g + b) / 3);
      break;
    case PIXEL_ALPHA8:
      p[0] = a;
      break;
    case PIXEL_BGR888:
      p[0] = b, p[1] = g, p[2] = r;
      break;
    case PIXEL_RGB888:
      p[0] = r, p[1] = g, p[2] = b;
      break;
    case PIXEL_BGRA8888:
      p[0] = b, p[1] = g, p[2] = r, p[3] = a;
      break;
    case PIXEL_RGBA8888:
      p[0] = r, p[1] = g, p[2] = b, p[3] = a;
      break;
    default:
      break;
  }
}

namespace {

// RGBA <-> BGRA: the two 32-bit layouts differ only in the order of red and blue.
void SwapRedBlueRow(const uint8_t* from, uint8_t* to, int width) {
  for (int x = 0; x < width; ++x, from += 4, to += 4) {
    to[0] = from[2], to[1] = from[1], to[2] = from[0], to[3] = from[3];
  }
}

// Any colour layout to grey: the mean of the three colour bytes, whatever their order.
void GreyRow(const uint8_t* from, uint8_t* to, int width, int bytes_per_pixel) {
  for (int x = 0; x < width; ++x, from += bytes_per_pixel) {
    to[x] = static_cast<uint8_t>((from[0] + from[1] + from[2]) / 3);
  }
}

}  // namespace

std::shared_ptr<TPixmap> TPixmap::Convert(int new_format) const {
  if (new_format == format) return Copy();
  auto result = Create(width, height, new_format, 4);
  const bool swap_red_blue = (format == PIXEL_RGBA8888 && new_format == PIXEL_BGRA8888) ||
                             (format == PIXEL_BGRA8888 && new_format == PIXEL_RGBA8888);
  const int bytes_per_pixel = BytesPerPixel(format);
  const bool to_grey = new_format == PIXEL_GREY8 && bytes_per_pixel >= 3;
  for (int y = 0; y < height; ++y) {
    if (swap_red_blue) {
      SwapRedBlueRow(PixelPtr(0, y), result->PixelPtr(0, y), width);
    } else if (to_grey) {
      GreyRow(PixelPtr(0, y), result->PixelPtr(0, y), width, bytes_per_pixel);
    } else {
      for (int x = 0; x < width; ++x) result->WritePixel(x, y, ReadPixel(x, y));
    }
  }
  return result;
}

std::shared_ptr<TPixmap> TPixmap::Window(int x, int y, int w, int h) {
  auto view = std::make_shared<TPixmap>();
  view->_source = shared_from_this();
  view->pixels = PixelPtr(x, y);
  view->width = w;
  view->height = h;
  view->pitch = pitch;
  view->format = format;
  view->capacity = pitch * h;
  return view;
}

std::shared_ptr<TPixmap> TPixmap::Copy() const {
  auto result = Create(width, height, format, 4);
  const size_t row = size_t(width) * BytesPerPixel(format);
  for (int y = 0; y < height; ++y) std::memcpy(result->PixelPtr(0, y), PixelPtr(0, y), row);
  return result;
}

void TPixmap::CopyRow(int y, const uint8_t* source) {
  std::memcpy(PixelPtr(0, y), source, size_t(width) * BytesPerPixel(format));
}

}  // namespace skyloom
