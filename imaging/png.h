// PNG coding: pixmaps to PNG datastreams and back on any open stream, saving
// a pixmap as a PNG file, and arrays of 32-bit integers stored as images.
// Encoding and decoding are done by libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geom/vector.h"
#include "runtime/pixmap.h"
#include "runtime/stream.h"

namespace skyloom {

// Largest width or height ReadPNG accepts (also libpng's own default limit,
// which WritePNG keeps).
constexpr int64_t kMaxPngSide = 1000000;
// Largest number of pixels ReadPNG accepts: 1 GiB as 8-bit RGBA. A header
// declaring more is refused before anything is allocated for the pixels.
constexpr int64_t kMaxPngPixels = int64_t(1) << 28;
// Largest single block libpng may allocate while decoding: enough for the
// row buffers of an image kMaxPngSide wide at 16 bits per sample. A chunk
// declaring more (text, profiles) is skipped rather than loaded.
constexpr int64_t kMaxPngAllocation = int64_t(16) << 20;

// Encodes the pixmap as one complete PNG datastream (signature to IEND) at the
// stream's position, at a zlib level clamped into 0 to 9. Always 8 bits per
// sample:
//   PIXEL_GREY8 -> grey; PIXEL_RGB888, PIXEL_BGR888 -> RGB;
//   PIXEL_RGBA8888, PIXEL_BGRA8888 -> RGB with alpha; any other format is
//   converted to PIXEL_RGBA8888 first (PIXEL_ALPHA8 gives white with alpha).
// Returns 1 on success and 0 when libpng fails (the stream may then hold a
// partial datastream) or the stream or pixmap is null. A stream read or
// write error is not caught: it reaches the caller as the stream's exception.
// The stream stays open.
int WritePNG(const StreamRef& stream, const PixmapRef& pixmap, int level);

// Encodes the pixmap as WritePNG into the file at path through
// WriteFileSafely: "" when the file is complete, else the reason, and then
// an earlier file at path is left as it was.
std::string SavePNGFile(const PixmapRef& pixmap, const std::u16string& path, int level);

// SavePNGFile as a flag: 1 when the file is complete, 0 on any failure.
int SavePixmapAsPNG(const PixmapRef& pixmap, const std::u16string& path, int level);

// Decodes one PNG datastream from the stream's position and leaves the stream
// just after it (after the CRC of its IEND chunk), so datastreams stored back
// to back decode one after the other. Samples arrive at 8 bits (16-bit ones
// are stripped, smaller ones and palettes expanded, tRNS becomes alpha):
//   grey -> PIXEL_GREY8; RGB -> PIXEL_RGB888; RGB with alpha ->
//   PIXEL_RGBA8888; grey with alpha -> PIXEL_RGBA8888 with red = green =
//   blue = grey. Pixmaps are made with alignment 4.
// Null for a corrupt datastream or one larger than kMaxPngSide/kMaxPngPixels;
// the stream then stays open at an unspecified position. Null with the
// stream CLOSED when the first 8 bytes are not the PNG signature. A stream
// that ends inside the datastream raises its read error.
PixmapRef ReadPNG(const StreamRef& stream);

// Stores the integers as a w x h PIXEL_RGBA8888 image at level 9, where
// w x h = values.size() is the most nearly square divisor pair (the first
// after sorting DivisorPairs with Vector::Sort). Element i is the pixel
// (i mod w, i div w) with the 0xAARRGGBB value NOT values[i]. Returns
// WritePNG's result; 0 without writing anything for an empty array.
int WriteIntArrayPNG(const StreamRef& stream, const std::vector<int32_t>& values);

// The integers of an image written by WriteIntArrayPNG: element x + y * width
// is NOT ReadPixel(x, y). Empty when the image cannot be decoded.
std::vector<int32_t> ReadIntArrayPNG(const StreamRef& stream);

// One Vector (d, |n| / d, 0) for every divisor d of |n|, in increasing d, both
// components cut to 32 bits. Empty for 0.
std::vector<VectorRef> DivisorPairs(int64_t n);

}  // namespace skyloom
