// PNG coding through libpng's high-level interface (png_write_png and
// png_read_png). libpng reports errors by longjmp, so every libpng call runs
// inside a small guarded function whose frame holds nothing to destroy, and
// stream exceptions are parked in the callbacks and raised again once libpng
// has returned: no C++ exception ever unwinds through libpng's C frames.
#include "imaging/png.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>

#include "runtime/open.h"

namespace skyloom {

namespace {

constexpr int kSignatureBytes = 8;
constexpr int kIntArrayLevel = 9;

// Where libpng's callbacks find the stream of one encode or decode, and where
// a stream exception waits until libpng has unwound. It lives in the frame
// of the public function, above every frame a longjmp can skip.
class PngIo {
 public:
  explicit PngIo(TStream& stream) : _stream(stream) {}

  // Bytes already taken from the stream that libpng must see first.
  void PushBack(const uint8_t* bytes, size_t count) {
    std::memcpy(_pending, bytes, count);
    _pending_size = count;
    _pending_used = 0;
  }

  // Each returns false after parking the stream's exception.
  bool Read(uint8_t* data, size_t length) noexcept {
    return Guard([&] {
      const size_t served = std::min(length, _pending_size - _pending_used);
      std::memcpy(data, _pending + _pending_used, served);
      _pending_used += served;
      if (length > served) _stream.ReadBytes(data + served, int64_t(length - served));
    });
  }
  bool Write(const uint8_t* data, size_t length) noexcept {
    return Guard([&] { _stream.WriteBytes(data, int64_t(length)); });
  }
  bool Flush() noexcept {
    return Guard([&] { _stream.Flush(); });
  }

  // Raises the parked stream exception, if any.
  void RethrowStreamFailure() {
    if (_failure) std::rethrow_exception(std::exchange(_failure, nullptr));
  }

 private:
  template <typename Action>
  bool Guard(Action action) noexcept {
    try {
      action();
      return true;
    } catch (...) {
      _failure = std::current_exception();
      return false;
    }
  }

  TStream& _stream;
  std::exception_ptr _failure;
  uint8_t _pending[16] = {};
  size_t _pending_size = 0;
  size_t _pending_used = 0;
};

// libpng callbacks. On failure they end libpng's call through png_error,
// whose longjmp leaves only frames without destructors behind.
void ReadFromStream(png_structp png, png_bytep data, size_t length) {
  if (!static_cast<PngIo*>(png_get_io_ptr(png))->Read(data, length)) png_error(png, "stream");
}

void WriteToStream(png_structp png, png_bytep data, size_t length) {
  if (!static_cast<PngIo*>(png_get_io_ptr(png))->Write(data, length)) png_error(png, "stream");
}

void FlushStream(png_structp png) {
  if (!static_cast<PngIo*>(png_get_io_ptr(png))->Flush()) png_error(png, "stream");
}

// Every libpng error becomes the "PNG ERROR" outcome of the guarded call; no
// message is printed. Warnings are dropped.
[[noreturn]] void RaisePngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void IgnorePngWarning(png_structp, png_const_charp) {}

// libpng's structures for one call, destroyed whichever way the call ends.
class PngWriteStructs {
 public:
  PngWriteStructs()
      : png(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, RaisePngError,
                                    IgnorePngWarning)),
        info(png ? png_create_info_struct(png) : nullptr) {}
  ~PngWriteStructs() {
    if (png) png_destroy_write_struct(&png, &info);
  }
  PngWriteStructs(const PngWriteStructs&) = delete;
  PngWriteStructs& operator=(const PngWriteStructs&) = delete;

  png_structp png;
  png_infop info;
};

// The decoder's allocator: any block above kMaxPngAllocation is refused, which
// libpng turns into an error or, for an ancillary chunk, skips the chunk.
png_voidp AllocateBounded(png_structp, png_alloc_size_t size) {
  return size <= png_alloc_size_t(kMaxPngAllocation) ? std::malloc(size) : nullptr;
}
void FreeBounded(png_structp, png_voidp block) {
  std::free(block);
}

class PngReadStructs {
 public:
  PngReadStructs()
      : png(png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, RaisePngError,
                                     IgnorePngWarning, nullptr, AllocateBounded, FreeBounded)),
        info(png ? png_create_info_struct(png) : nullptr) {}
  ~PngReadStructs() {
    if (png) png_destroy_read_struct(&png, &info, nullptr);
  }
  PngReadStructs(const PngReadStructs&) = delete;
  PngReadStructs& operator=(const PngReadStructs&) = delete;

  png_structp png;
  png_infop info;
};

// How a pixmap format is written.
struct Encoding {
  int colour_type;
  int transforms;
  bool convert_to_rgba;
};

Encoding EncodingFor(int format) {
  switch (format) {
    case PIXEL_GREY8:
      return {PNG_COLOR_TYPE_GRAY, PNG_TRANSFORM_IDENTITY, false};
    case PIXEL_RGB888:
      return {PNG_COLOR_TYPE_RGB, PNG_TRANSFORM_IDENTITY, false};
    case PIXEL_BGR888:
      return {PNG_COLOR_TYPE_RGB, PNG_TRANSFORM_BGR, false};
    case PIXEL_RGBA8888:
      return {PNG_COLOR_TYPE_RGB_ALPHA, PNG_TRANSFORM_IDENTITY, false};
    case PIXEL_BGRA8888:
      return {PNG_COLOR_TYPE_RGB_ALPHA, PNG_TRANSFORM_BGR, false};
    default:
      return {PNG_COLOR_TYPE_RGB_ALPHA, PNG_TRANSFORM_IDENTITY, true};
  }
}

// The whole libpng side of an encode. Only trivially destructible values live
// here and nothing is read after a longjmp lands, so the jump is safe.
bool EncodeGuarded(png_structp png, png_infop info, PngIo* io, png_uint_32 width,
                   png_uint_32 height, const Encoding& encoding, png_bytepp rows, int level) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, io, WriteToStream, FlushStream);
  png_set_compression_level(png, level);
  png_set_IHDR(png, info, width, height, 8, encoding.colour_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows);
  png_write_png(png, info, encoding.transforms, nullptr);
  return true;
}

// The whole libpng side of a decode, guarded the same way.
bool DecodeGuarded(png_structp png, png_infop info, PngIo* io) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, png_uint_32(kMaxPngSide), png_uint_32(kMaxPngSide));
  png_set_sig_bytes(png, kSignatureBytes);
  png_set_read_fn(png, io, ReadFromStream);
  png_read_png(png, info, PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_EXPAND, nullptr);
  return true;
}

uint32_t BigEndian32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

// Reads the length, type, width and height at the start of the IHDR chunk and
// hands them back to libpng through io. False when the header declares an
// image beyond the size limits; anything else malformed is left to libpng.
bool HeaderWithinLimits(TStream& stream, PngIo& io) {
  uint8_t start[16];
  stream.ReadBytes(start, sizeof start);
  io.PushBack(start, sizeof start);
  if (BigEndian32(start) != 13 || std::memcmp(start + 4, "IHDR", 4) != 0) return true;
  const int64_t width = BigEndian32(start + 8), height = BigEndian32(start + 12);
  return width <= kMaxPngSide && height <= kMaxPngSide && width * height <= kMaxPngPixels;
}

// The decoded rows as a pixmap, by the colour type libpng delivers them in.
PixmapRef PixmapFromRows(png_structp png, png_infop info) {
  png_uint_32 width = 0, height = 0;
  int bit_depth = 0, colour_type = 0;
  png_get_IHDR(png, info, &width, &height, &bit_depth, &colour_type, nullptr, nullptr, nullptr);
  if (bit_depth != 8) return nullptr;
  int format = 0;
  switch (colour_type) {
    case PNG_COLOR_TYPE_GRAY:
      format = PIXEL_GREY8;
      break;
    case PNG_COLOR_TYPE_RGB:
      format = PIXEL_RGB888;
      break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      format = PIXEL_RGBA8888;
      break;
    default:
      return nullptr;
  }
  const png_bytepp rows = png_get_rows(png, info);
  auto pixmap = TPixmap::Create(int(width), int(height), format, 4);
  for (png_uint_32 y = 0; y < height; ++y) {
    if (colour_type != PNG_COLOR_TYPE_GRAY_ALPHA) {
      pixmap->CopyRow(int(y), rows[y]);
      continue;
    }
    const uint8_t* from = rows[y];
    uint8_t* to = pixmap->PixelPtr(0, int(y));
    for (png_uint_32 x = 0; x < width; ++x, from += 2, to += 4) {
      to[0] = to[1] = to[2] = from[0];
      to[3] = from[1];
    }
  }
  return pixmap;
}

}  // namespace

int WritePNG(const StreamRef& stream, const PixmapRef& pixmap, int level) {
  if (!stream || !pixmap) return 0;
  level = std::clamp(level, 0, 9);
  const Encoding encoding = EncodingFor(pixmap->format);
  const PixmapRef source = encoding.convert_to_rgba ? pixmap->Convert(PIXEL_RGBA8888) : pixmap;
  std::vector<png_bytep> rows(size_t(source->height));
  for (int y = 0; y < source->height; ++y) rows[size_t(y)] = source->PixelPtr(0, y);

  PngIo io(*stream);
  PngWriteStructs structs;
  if (!structs.info) return 0;
  const bool written = EncodeGuarded(structs.png, structs.info, &io, png_uint_32(source->width),
                                     png_uint_32(source->height), encoding, rows.data(), level);
  io.RethrowStreamFailure();
  return written ? 1 : 0;
}

int SavePixmapAsPNG(const PixmapRef& pixmap, const std::u16string& path, int level) {
  const StreamRef stream = OpenOutput(path);
  if (!stream) return 0;
  const int written = WritePNG(stream, pixmap, level);
  stream->Close();
  return written;
}

PixmapRef ReadPNG(const StreamRef& stream) {
  if (!stream) return nullptr;
  uint8_t signature[kSignatureBytes];
  stream->ReadBytes(signature, kSignatureBytes);
  if (png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
    stream->Close();
    return nullptr;
  }
  PngIo io(*stream);
  if (!HeaderWithinLimits(*stream, io)) return nullptr;

  PngReadStructs structs;
  if (!structs.info) {
    stream->Close();
    return nullptr;
  }
  const bool decoded = DecodeGuarded(structs.png, structs.info, &io);
  io.RethrowStreamFailure();
  return decoded ? PixmapFromRows(structs.png, structs.info) : nullptr;
}

int WriteIntArrayPNG(const StreamRef& stream, const std::vector<int32_t>& values) {
  if (values.empty()) return 0;
  std::vector<VectorRef> pairs = DivisorPairs(int64_t(values.size()));
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const VectorRef& a, const VectorRef& b) { return Vector::Sort(*a, *b) < 0; });
  const int width = pairs.front()->x, height = pairs.front()->y;
  auto pixmap = TPixmap::Create(width, height, PIXEL_RGBA8888, 4);
  for (size_t i = 0; i < values.size(); ++i) {
    pixmap->WritePixel(int(i % size_t(width)), int(i / size_t(width)), ~uint32_t(values[i]));
  }
  return WritePNG(stream, pixmap, kIntArrayLevel);
}

std::vector<int32_t> ReadIntArrayPNG(const StreamRef& stream) {
  const PixmapRef pixmap = ReadPNG(stream);
  if (!pixmap) return {};
  std::vector<int32_t> values;
  values.reserve(size_t(pixmap->width) * size_t(pixmap->height));
  for (int y = 0; y < pixmap->height; ++y) {
    for (int x = 0; x < pixmap->width; ++x) values.push_back(int32_t(~pixmap->ReadPixel(x, y)));
  }
  return values;
}

std::vector<VectorRef> DivisorPairs(int64_t n) {
  // The magnitude in unsigned arithmetic, so that the most negative n works.
  const uint64_t m = n < 0 ? 0 - uint64_t(n) : uint64_t(n);
  // Divisors up to the square root, then their partners in increasing order.
  std::vector<uint64_t> small;
  for (uint64_t d = 1; d <= m / d; ++d) {
    if (m % d == 0) small.push_back(d);
  }
  std::vector<VectorRef> pairs;
  const auto add = [&](uint64_t d) {
    pairs.push_back(Vector::Create(int32_t(d), int32_t(m / d), 0));
  };
  for (uint64_t d : small) add(d);
  for (auto it = small.rbegin(); it != small.rend(); ++it) {
    if (*it != m / *it) add(m / *it);
  }
  return pairs;
}

}  // namespace skyloom
