// PNG coding through libpng: png_write_png for encoding and, for decoding, the
// steps png_read_png takes, so that rows land straight in the pixmap; libpng's
// longjmp errors and the streams' exceptions are kept apart.
#include "imaging/png.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <exception>
#include <utility>

#include "runtime/file_output.h"
#include "runtime/open.h"

namespace skyloom {

namespace {

constexpr int kSignatureBytes = 8;
constexpr int kIntArrayLevel = 9;

// libpng reports errors by longjmp. Every libpng call therefore runs inside a
// small guarded function whose frame holds nothing to destroy, and a stream
// exception is parked by the callback and raised again once libpng has
// returned: no C++ exception ever unwinds through libpng's C frames.

// Where libpng's callbacks find the stream of one encode or decode, and where
// a stream exception waits until libpng has unwound. It lives in the frame
// of the public function, above every frame a longjmp can skip.
class PngIo {
 public:
  explicit PngIo(TStream& stream) : _stream(stream) {}

  // Each returns false after parking the stream's exception.
  bool Read(uint8_t* data, size_t length) noexcept {
    return Guard([&] { _stream.ReadBytes(data, int64_t(length)); });
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

// The decode runs in three guarded steps, so that the pixmap can be made in
// between, outside any frame a longjmp may land in. Each step reports what
// the next one needs in plain values.
struct DecodedHeader {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bit_depth = 0;
  int colour_type = 0;
  bool transparency = false;
};

// Reads the chunks before the image data (IHDR, PLTE, tRNS, ...).
bool ReadHeaderGuarded(png_structp png, png_infop info, PngIo* io, DecodedHeader* header) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, png_uint_32(kMaxPngSide), png_uint_32(kMaxPngSide));
  png_set_sig_bytes(png, kSignatureBytes);
  png_set_read_fn(png, io, ReadFromStream);
  png_read_info(png, info);
  png_get_IHDR(png, info, &header->width, &header->height, &header->bit_depth, &header->colour_type,
               nullptr, nullptr, nullptr);
  header->transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  return true;
}

// Asks for 8-bit samples with palettes and tRNS expanded (what png_read_png
// does for PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_EXPAND), plus grey to RGB
// where grey would arrive with alpha, and reports the resulting layout.
bool ApplyTransformsGuarded(png_structp png, png_infop info, bool grey_to_rgb,
                            DecodedHeader* result) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_strip_16(png);
  png_set_expand(png);
  if (grey_to_rgb) png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  result->bit_depth = png_get_bit_depth(png, info);
  result->colour_type = png_get_color_type(png, info);
  return true;
}

// Decodes every row straight into the given row pointers, then reads the
// chunks after the image up to the CRC of IEND.
bool ReadImageGuarded(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

bool WithinSizeLimits(const DecodedHeader& header) {
  const int64_t width = header.width, height = header.height;
  return width <= kMaxPngSide && height <= kMaxPngSide && width * height <= kMaxPngPixels;
}

// The pixmap format for the decoded layout; 0 when there is none.
int PixmapFormatFor(const DecodedHeader& decoded) {
  if (decoded.bit_depth != 8) return 0;
  switch (decoded.colour_type) {
    case PNG_COLOR_TYPE_GRAY:
      return PIXEL_GREY8;
    case PNG_COLOR_TYPE_RGB:
      return PIXEL_RGB888;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return PIXEL_RGBA8888;
    default:
      return 0;
  }
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

std::string SavePNGFile(const PixmapRef& pixmap, const std::u16string& path, int level) {
  if (!pixmap) return "no picture to write";
  return WriteFileSafely(
      path, [&](const StreamRef& stream) { return WritePNG(stream, pixmap, level) == 1; });
}

int SavePixmapAsPNG(const PixmapRef& pixmap, const std::u16string& path, int level) {
  return SavePNGFile(pixmap, path, level).empty() ? 1 : 0;
}

PixmapRef ReadPNG(const StreamRef& stream) {
  if (!stream) return nullptr;
  uint8_t signature[kSignatureBytes];
  stream->ReadBytes(signature, kSignatureBytes);
  if (png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
    stream->Close();
    return nullptr;
  }
  PngReadStructs structs;
  if (!structs.info) {
    stream->Close();
    return nullptr;
  }
  PngIo io(*stream);
  DecodedHeader header;
  const bool read_header = ReadHeaderGuarded(structs.png, structs.info, &io, &header);
  io.RethrowStreamFailure();
  // Refused before libpng allocates anything for the rows.
  if (!read_header || !WithinSizeLimits(header)) return nullptr;

  // Grey with alpha, and grey with a tRNS colour, arrive as RGB with alpha.
  const bool grey_with_alpha = header.colour_type == PNG_COLOR_TYPE_GRAY_ALPHA ||
                               (header.colour_type == PNG_COLOR_TYPE_GRAY && header.transparency);
  DecodedHeader decoded = header;
  const bool transformed =
      ApplyTransformsGuarded(structs.png, structs.info, grey_with_alpha, &decoded);
  io.RethrowStreamFailure();
  const int format = PixmapFormatFor(decoded);
  if (!transformed || format == 0) return nullptr;

  auto pixmap = TPixmap::Create(int(header.width), int(header.height), format, 4);
  std::vector<png_bytep> rows(header.height);
  for (int y = 0; y < pixmap->height; ++y) rows[size_t(y)] = pixmap->PixelPtr(0, y);
  const bool read_image = ReadImageGuarded(structs.png, rows.data());
  io.RethrowStreamFailure();
  return read_image ? pixmap : nullptr;
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
