// PNG coding: the encoding and decoding tables, stream positioning, the
// integer-array image, size limits, error outcomes, and the third-party
// PngSuite and corrupt-file sets under tests/data.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/png.h"
#include "runtime/open.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const fs::path kData = SKYLOOM_TEST_DATA;

std::u16string Url(const fs::path& path) {
  const std::string text = path.string();
  return std::u16string(text.begin(), text.end());
}

Bytes FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A writable memory stream with room for any test image, and the bytes
// written so far.
struct MemoryFile {
  Bytes buffer = Bytes(1 << 20, 0);
  std::shared_ptr<TRamStream> stream =
      TRamStream::Create(buffer.data(), int64_t(buffer.size()), true, true);

  Bytes Written() const { return Bytes(buffer.begin(), buffer.begin() + stream->Pos()); }
};

StreamRef ReadOnly(const Bytes& bytes) {
  return TRamStream::CreateCopy(bytes, true, false);
}

// A small pixmap whose pixels all differ in every channel.
PixmapRef Pattern(int format, int width = 5, int height = 3) {
  auto pixmap = TPixmap::Create(width, height, format, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t i = uint32_t(y * width + x);
      pixmap->WritePixel(x, y,
                         (0x10 + i * 13) << 24 | (i * 40) << 16 | (0xFF - i * 7) << 8 | i * 3);
    }
  }
  return pixmap;
}

Bytes Encode(const PixmapRef& pixmap, int level = 6) {
  MemoryFile file;
  EXPECT_EQ(WritePNG(file.stream, pixmap, level), 1);
  return file.Written();
}

void ExpectSamePixels(const TPixmap& expected, const TPixmap& actual) {
  ASSERT_EQ(actual.width, expected.width);
  ASSERT_EQ(actual.height, expected.height);
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      ASSERT_EQ(actual.ReadPixel(x, y), expected.ReadPixel(x, y)) << "at " << x << "," << y;
    }
  }
}

// Header fields of an encoded datastream (the IHDR chunk follows the
// signature directly).
int BitDepthOf(const Bytes& png) {
  return png.at(24);
}
int ColourTypeOf(const Bytes& png) {
  return png.at(25);
}

// A stream that counts Close calls and can fail its reads or writes with an
// exception that is not one of the stream errors.
class ProbeStream : public TRamStream {
 public:
  static std::shared_ptr<ProbeStream> Over(Bytes& bytes) {
    auto stream = std::make_shared<ProbeStream>();
    stream->_buf = bytes.data();
    stream->_size = int64_t(bytes.size());
    stream->_read = stream->_write = true;
    return stream;
  }
  int Close() override { return ++closes, 0; }
  int64_t Read(void* buffer, int64_t count) override {
    if (fail_after >= 0 && _pos + count > fail_after) throw std::logic_error("probe");
    return TRamStream::Read(buffer, count);
  }
  int64_t Write(const void* buffer, int64_t count) override {
    if (fail_after >= 0 && _pos + count > fail_after) throw std::logic_error("probe");
    return TRamStream::Write(buffer, count);
  }

  int closes = 0;
  int64_t fail_after = -1;
};

// ---- encoding ----

struct EncodeCase {
  int format;
  int colour_type;
  int decoded_format;
};

TEST(PngEncodeTest, EachFormatUsesItsColourTypeAndRoundTripsItsPixels) {
  const EncodeCase cases[] = {
      {PIXEL_GREY8, 0, PIXEL_GREY8},       {PIXEL_RGB888, 2, PIXEL_RGB888},
      {PIXEL_BGR888, 2, PIXEL_RGB888},     {PIXEL_RGBA8888, 6, PIXEL_RGBA8888},
      {PIXEL_BGRA8888, 6, PIXEL_RGBA8888}, {PIXEL_ALPHA8, 6, PIXEL_RGBA8888},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format);
    const auto original = Pattern(c.format);
    const Bytes png = Encode(original);
    EXPECT_EQ(BitDepthOf(png), 8);
    EXPECT_EQ(ColourTypeOf(png), c.colour_type);
    const auto decoded = ReadPNG(ReadOnly(png));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->format, c.decoded_format);
    // Same 0xAARRGGBB values: BGR layouts were swapped to RGB order in the
    // file, and alpha-only pixels came out white with their alpha.
    ExpectSamePixels(*original, *decoded);
  }
}

TEST(PngEncodeTest, AlphaOnlyPixmapsBecomeWhiteWithTheirAlpha) {
  auto alpha = TPixmap::Create(2, 1, PIXEL_ALPHA8, 4);
  alpha->pixels[0] = 0x00, alpha->pixels[1] = 0x80;
  const auto decoded = ReadPNG(ReadOnly(Encode(alpha)));
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->ReadPixel(0, 0), 0x00FFFFFFu);
  EXPECT_EQ(decoded->ReadPixel(1, 0), 0x80FFFFFFu);
}

TEST(PngEncodeTest, WindowsAndPaddedRowsEncodeOnlyTheirOwnPixels) {
  auto padded = TPixmap::Create(3, 4, PIXEL_RGB888, 16);  // pitch 16 for 9 bytes of pixels
  std::fill(padded->pixels, padded->pixels + padded->capacity, 0xAB);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 3; ++x) padded->WritePixel(x, y, 0xFF000000u | uint32_t(x * 70 + y));
  }
  auto decoded = ReadPNG(ReadOnly(Encode(padded)));
  ASSERT_NE(decoded, nullptr);
  ExpectSamePixels(*padded, *decoded);

  auto big = Pattern(PIXEL_RGBA8888, 9, 7);
  auto window = big->Window(2, 3, 4, 2);
  decoded = ReadPNG(ReadOnly(Encode(window)));
  ASSERT_NE(decoded, nullptr);
  ExpectSamePixels(*window, *decoded);
}

TEST(PngEncodeTest, LevelsAreClampedIntoZeroToNine) {
  auto flat = TPixmap::Create(64, 64, PIXEL_RGBA8888, 4);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) flat->WritePixel(x, y, 0xFF000000u | uint32_t((x / 8) * 0x111111));
  }
  const Bytes stored = Encode(flat, 0), best = Encode(flat, 9);
  EXPECT_GT(stored.size(), best.size());  // the level reaches zlib
  EXPECT_EQ(Encode(flat, -3), stored);
  EXPECT_EQ(Encode(flat, 12), best);
}

TEST(PngEncodeTest, DatastreamIsCompleteAndLeavesTheStreamAfterIend) {
  MemoryFile file;
  ASSERT_EQ(WritePNG(file.stream, Pattern(PIXEL_GREY8), 3), 1);
  const Bytes png = file.Written();
  const Bytes signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const Bytes iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  ASSERT_GT(png.size(), signature.size() + iend.size());
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  EXPECT_TRUE(std::equal(iend.begin(), iend.end(), png.end() - int(iend.size())));
}

TEST(PngEncodeTest, NullArgumentsAndUnencodableSizesGiveZero) {
  MemoryFile file;
  EXPECT_EQ(WritePNG(nullptr, Pattern(PIXEL_GREY8), 3), 0);
  EXPECT_EQ(WritePNG(file.stream, nullptr, 3), 0);
  EXPECT_EQ(file.stream->Pos(), 0);
  // PNG has no empty images: libpng refuses the header and the call gives 0,
  // and the stream is usable again for the next image.
  EXPECT_EQ(WritePNG(file.stream, TPixmap::Create(0, 4, PIXEL_GREY8), 3), 0);
  EXPECT_EQ(WritePNG(file.stream, TPixmap::Create(4, 0, PIXEL_GREY8), 3), 0);
  EXPECT_EQ(WritePNG(file.stream, Pattern(PIXEL_GREY8), 3), 1);
}

TEST(PngEncodeTest, ErrorsArePrintedNowhere) {
  testing::internal::CaptureStderr();
  MemoryFile file;
  EXPECT_EQ(WritePNG(file.stream, TPixmap::Create(0, 4, PIXEL_GREY8), 3), 0);
  EXPECT_EQ(ReadPNG(ReadOnly(FileBytes(kData / "png-corrupt" / "badcrc.png"))), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(PngEncodeTest, StreamErrorsReachTheCallerUnchanged) {
  Bytes tiny(40);
  auto short_stream = TRamStream::Create(tiny.data(), int64_t(tiny.size()), false, true);
  EXPECT_THROW(WritePNG(short_stream, Pattern(PIXEL_RGB888), 3), TStreamWriteException);

  Bytes room(4096);
  auto probe = ProbeStream::Over(room);
  probe->fail_after = 50;
  EXPECT_THROW(WritePNG(probe, Pattern(PIXEL_RGB888), 3), std::logic_error);

  // Nothing of the failed call lingers: the next encode is complete.
  const auto pixmap = Pattern(PIXEL_RGB888);
  auto decoded = ReadPNG(ReadOnly(Encode(pixmap)));
  ASSERT_NE(decoded, nullptr);
  ExpectSamePixels(*pixmap, *decoded);
}

TEST(PngEncodeTest, SavePixmapWritesAFileOrNothing) {
  const fs::path dir = fs::path(SKYLOOM_BINARY_DIR) / "png_test_output";
  fs::create_directories(dir);
  const fs::path target = dir / "saved.png";
  fs::remove(target);
  const auto pixmap = Pattern(PIXEL_BGRA8888);
  ASSERT_EQ(SavePixmapAsPNG(pixmap, Url(target), 5), 1);
  auto decoded = ReadPNG(OpenInput(Url(target)));
  ASSERT_NE(decoded, nullptr);
  ExpectSamePixels(*pixmap, *decoded);

  const fs::path unreachable = dir / "no such folder" / "saved.png";
  EXPECT_EQ(SavePixmapAsPNG(pixmap, Url(unreachable), 5), 0);
  EXPECT_FALSE(fs::exists(unreachable.parent_path()));
}

// ---- decoding ----

TEST(PngDecodeTest, BackToBackDatastreamsDecodeOneAfterTheOther) {
  MemoryFile file;
  const auto first = Pattern(PIXEL_RGBA8888, 4, 4), second = Pattern(PIXEL_GREY8, 7, 2);
  ASSERT_EQ(WritePNG(file.stream, first, 3), 1);
  const int64_t first_length = file.stream->Pos();
  ASSERT_EQ(WritePNG(file.stream, second, 3), 1);
  file.stream->WriteByte(0x5A);

  Bytes both = file.Written();
  auto stream = ReadOnly(both);
  auto one = ReadPNG(stream);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(stream->Pos(), first_length);
  ExpectSamePixels(*first, *one);
  auto two = ReadPNG(stream);
  ASSERT_NE(two, nullptr);
  ExpectSamePixels(*second, *two);
  EXPECT_EQ(stream->ReadByte(), 0x5A);
}

TEST(PngDecodeTest, BadSignatureGivesNullAndClosesTheStream) {
  Bytes bytes = Encode(Pattern(PIXEL_GREY8));
  bytes[1] = 'Q';
  auto probe = ProbeStream::Over(bytes);
  EXPECT_EQ(ReadPNG(probe), nullptr);
  EXPECT_EQ(probe->closes, 1);
  EXPECT_EQ(ReadPNG(nullptr), nullptr);
}

TEST(PngDecodeTest, CorruptDataGivesNullAndLeavesTheStreamOpen) {
  Bytes bytes = Encode(Pattern(PIXEL_RGB888));
  bytes[bytes.size() - 20] ^= 0x55;  // inside the last IDAT: its CRC no longer matches
  auto probe = ProbeStream::Over(bytes);
  EXPECT_EQ(ReadPNG(probe), nullptr);
  EXPECT_EQ(probe->closes, 0);
}

TEST(PngDecodeTest, StreamErrorsReachTheCallerUnchanged) {
  const Bytes whole = Encode(Pattern(PIXEL_RGBA8888));
  for (size_t cut : {size_t(5), size_t(20), whole.size() / 2, whole.size() - 1}) {
    SCOPED_TRACE(testing::Message() << "cut at " << cut);
    EXPECT_THROW(ReadPNG(ReadOnly(Bytes(whole.begin(), whole.begin() + int(cut)))),
                 TStreamReadException);
  }
  Bytes copy = whole;
  auto probe = ProbeStream::Over(copy);
  probe->fail_after = 60;
  EXPECT_THROW(ReadPNG(probe), std::logic_error);
  EXPECT_NE(ReadPNG(ReadOnly(whole)), nullptr);
}

// A copy of png with its IHDR width and height replaced and the CRC fixed.
Bytes WithHeaderSize(Bytes png, uint32_t width, uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = uint8_t(width >> (24 - 8 * i));
    png[20 + i] = uint8_t(height >> (24 - 8 * i));
  }
  const uint32_t crc = uint32_t(crc32(0, png.data() + 12, 17));
  for (int i = 0; i < 4; ++i) png[29 + i] = uint8_t(crc >> (24 - 8 * i));
  return png;
}

TEST(PngDecodeTest, HeadersBeyondTheSizeLimitsAreRefusedBeforeDecoding) {
  const Bytes small = Encode(Pattern(PIXEL_RGBA8888, 1, 1));
  struct {
    uint32_t width, height;
  } const too_large[] = {
      {40000, 40000},                  // 1.6e9 pixels
      {uint32_t(kMaxPngSide) + 1, 1},  // one side too long
      {1, uint32_t(kMaxPngSide) + 1},
      {uint32_t(kMaxPngPixels / 1024) + 1, 1024},  // just past the pixel count
      {0x7FFFFFFF, 0x7FFFFFFF},
  };
  for (const auto& size : too_large) {
    SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
    auto stream = ReadOnly(WithHeaderSize(small, size.width, size.height));
    EXPECT_EQ(ReadPNG(stream), nullptr);
    // Stopped before the image data: signature, IHDR and the IDAT header.
    EXPECT_LE(stream->Pos(), 8 + 25 + 8);
  }
}

// A 16-bit RGB-with-alpha PNG written by libpng itself, one row of the given
// width: the widest row buffers the decoder has to allocate.
Bytes Wide16BitPng(png_uint_32 width) {
  const fs::path path = fs::path(SKYLOOM_BINARY_DIR) / "png_test_wide16.png";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr);
  if (!file) return {};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Bytes row(size_t(width) * 8);
  for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(i / 8 % 251);
  png_bytep rows[] = {row.data()};
  png_init_io(png, file);
  png_set_IHDR(png, info, width, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows);
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return FileBytes(path);
}

TEST(PngDecodeTest, ImagesAtTheSideLimitAreAccepted) {
  const auto tall = TPixmap::Create(1, int(kMaxPngSide), PIXEL_GREY8, 1);
  for (int y = 0; y < tall->height; ++y) tall->pixels[y] = uint8_t(y * 7);
  const auto decoded = ReadPNG(ReadOnly(Encode(tall, 1)));
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->height, kMaxPngSide);
  EXPECT_EQ(decoded->ReadPixel(0, 999999), tall->ReadPixel(0, 999999));

  const auto wide = ReadPNG(ReadOnly(Wide16BitPng(png_uint_32(kMaxPngSide))));
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->width, kMaxPngSide);
  EXPECT_EQ(wide->format, PIXEL_RGBA8888);
  // Each 16-bit sample keeps its high byte, i / 8 % 251 of its first byte.
  EXPECT_EQ(wide->ReadPixel(999999, 0), 0x01010101u * uint32_t(999999 % 251));
}

// ---- integer arrays ----

TEST(PngIntArrayTest, DivisorPairsListEveryDivisorInIncreasingOrder) {
  struct {
    int64_t n;
    std::vector<std::u16string> pairs;
  } const cases[] = {
      {12, {u"1,12,0", u"2,6,0", u"3,4,0", u"4,3,0", u"6,2,0", u"12,1,0"}},
      {-12, {u"1,12,0", u"2,6,0", u"3,4,0", u"4,3,0", u"6,2,0", u"12,1,0"}},
      {16, {u"1,16,0", u"2,8,0", u"4,4,0", u"8,2,0", u"16,1,0"}},
      {7, {u"1,7,0", u"7,1,0"}},
      {1, {u"1,1,0"}},
      {0, {}},
      {2147483647, {u"1,2147483647,0", u"2147483647,1,0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "n = " << c.n);
    std::vector<std::u16string> actual;
    for (const auto& pair : DivisorPairs(c.n)) actual.push_back(pair->ToString());
    EXPECT_EQ(actual, c.pairs);
  }
}

struct ArrayShape {
  size_t length;
  std::set<std::pair<int, int>> shapes;  // accepted (width, height)
};

TEST(PngIntArrayTest, ArraysBecomeTheMostNearlySquareImageAndReadBack) {
  const ArrayShape cases[] = {
      {256, {{16, 16}}},
      {7, {{1, 7}, {7, 1}}},
      {12, {{3, 4}, {4, 3}}},
      {1, {{1, 1}}},
      {100003, {{1, 100003}, {100003, 1}}},  // a prime: one row or one column
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " values");
    std::vector<int32_t> values(c.length);
    for (size_t i = 0; i < c.length; ++i) values[i] = int32_t(i * 2654435761u);
    values.front() = std::numeric_limits<int32_t>::min();
    values.back() = c.length > 1 ? -1 : 0;

    MemoryFile file;
    ASSERT_EQ(WriteIntArrayPNG(file.stream, values), 1);
    const Bytes png = file.Written();
    const auto image = ReadPNG(ReadOnly(png));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, PIXEL_RGBA8888);
    EXPECT_TRUE(c.shapes.count({image->width, image->height}))
        << image->width << " x " << image->height;
    EXPECT_EQ(ReadIntArrayPNG(ReadOnly(png)), values);
  }
}

TEST(PngIntArrayTest, PixelsHoldTheComplementInRedGreenBlueAlphaOrder) {
  std::vector<int32_t> values(256, 0);
  values[17] = 5;
  values[18] = 0x12345678;
  MemoryFile file;
  ASSERT_EQ(WriteIntArrayPNG(file.stream, values), 1);
  const auto image = ReadPNG(ReadOnly(file.Written()));
  ASSERT_NE(image, nullptr);
  const auto bytes_at = [&](int x, int y) {
    const uint8_t* p = image->PixelPtr(x, y);
    return Bytes(p, p + 4);
  };
  EXPECT_EQ(bytes_at(1, 1), (Bytes{0xFF, 0xFF, 0xFA, 0xFF}));  // NOT 5
  EXPECT_EQ(bytes_at(2, 1), (Bytes{0xCB, 0xA9, 0x87, 0xED}));  // NOT 0x12345678
  EXPECT_EQ(bytes_at(0, 0), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));  // zeros are opaque white
  EXPECT_EQ(bytes_at(15, 15), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(PngIntArrayTest, EmptyArrayWritesNothingAndUnreadableImagesGiveNothing) {
  MemoryFile file;
  EXPECT_EQ(WriteIntArrayPNG(file.stream, {}), 0);
  EXPECT_EQ(file.stream->Pos(), 0);
  EXPECT_TRUE(ReadIntArrayPNG(ReadOnly(Bytes(64, 0x42))).empty());
  EXPECT_TRUE(ReadIntArrayPNG(ReadOnly(FileBytes(kData / "png-corrupt" / "badadler.png"))).empty());
}

// ---- PngSuite ----

// What a PngSuite file name says about the image: an optional "i" for
// interlaced, "basn" or "ftXX" with "ftb" and "ftp1" carrying transparency,
// then colour type and bit depth ("3p08").
struct SuiteName {
  bool interlaced;
  bool transparent;
  int colour_type;
  int bit_depth;
};

SuiteName Describe(const std::string& stem) {
  const bool interlaced = stem[0] == 'i';
  const std::string rest = interlaced ? stem.substr(1) : stem;
  const bool transparent = rest.rfind("ftb", 0) == 0 || rest.rfind("ftp1", 0) == 0;
  const std::string code = rest.substr(rest.size() - 4);
  return {interlaced, transparent, code[0] - '0', std::stoi(code.substr(2))};
}

int ExpectedFormat(const SuiteName& name) {
  if (name.colour_type == 4 || name.colour_type == 6 || name.transparent) return PIXEL_RGBA8888;
  return name.colour_type == 0 ? PIXEL_GREY8 : PIXEL_RGB888;
}

std::vector<fs::path> SuiteFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kData / "pngsuite")) {
    if (entry.path().extension() == ".png") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

PixmapRef DecodeFile(const fs::path& path) {
  auto stream = OpenInput(Url(path));
  EXPECT_NE(stream, nullptr) << path;
  if (!stream) return nullptr;
  auto pixmap = ReadPNG(stream);
  EXPECT_EQ(stream->Pos(), stream->Size()) << "the whole file is one datastream";
  return pixmap;
}

TEST(PngSuiteTest, EveryFileDecodesToTheFormatOfItsColourType) {
  const auto files = SuiteFiles();
  ASSERT_FALSE(files.empty());
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const SuiteName name = Describe(path.stem().string());
    const auto pixmap = DecodeFile(path);
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(pixmap->width, 32);
    EXPECT_EQ(pixmap->height, 32);
    EXPECT_EQ(pixmap->format, ExpectedFormat(name));

    int transparent = 0, opaque = 0;
    std::set<uint32_t> colours;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const uint32_t argb = pixmap->ReadPixel(x, y);
        colours.insert(argb);
        transparent += (argb >> 24) == 0;
        opaque += (argb >> 24) == 0xFF;
        const uint8_t r = argb >> 16, g = argb >> 8, b = argb;
        if (name.colour_type == 0 || name.colour_type == 4) {
          // Grey (with alpha) arrives with red = green = blue.
          ASSERT_TRUE(r == g && g == b) << x << "," << y;
        }
        if (name.colour_type == 0 && name.bit_depth < 8) {
          // Low-depth grey is scaled to the full range: 1 bit to 0/255, 2
          // bits to multiples of 85, 4 bits to multiples of 17.
          ASSERT_EQ(r % (255 / ((1 << name.bit_depth) - 1)), 0) << x << "," << y;
        }
      }
    }
    if (name.colour_type == 3) {
      EXPECT_LE(colours.size(), size_t(1) << name.bit_depth);
    }
    if (name.transparent) {
      EXPECT_GT(transparent, 0);
      EXPECT_GT(opaque, 0);
    }
    if (path.stem().string().find("ftp0") != std::string::npos) {
      EXPECT_EQ(opaque, 32 * 32);
    }
  }
}

// Zero colour samples (alpha not counted) of the basic images, from the
// set's own README ("pngtest -m"). Stripping 16-bit samples to their high
// byte can only add zeros, so those counts are lower bounds.
TEST(PngSuiteTest, ZeroSampleCountsMatchTheSetsReadme) {
  const std::map<std::string, int> counts = {
      {"basn0g01", 524}, {"basn0g08", 3},   {"basn2c08", 6},  {"basn4a08", 32},   {"basn6a08", 160},
      {"basn0g16", 1},   {"basn2c16", 592}, {"basn4a16", 64}, {"basn6a16", 1072},
  };
  for (const auto& [stem, readme_count] : counts) {
    SCOPED_TRACE(stem);
    const SuiteName name = Describe(stem);
    const auto pixmap = DecodeFile(kData / "pngsuite" / (stem + ".png"));
    ASSERT_NE(pixmap, nullptr);
    const int colour_channels = name.colour_type == 0 || name.colour_type == 4 ? 1 : 3;
    int zeros = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const uint32_t argb = pixmap->ReadPixel(x, y);
        for (int c = 0; c < colour_channels; ++c) zeros += ((argb >> (8 * c)) & 0xFF) == 0;
      }
    }
    if (name.bit_depth == 16) {
      EXPECT_GE(zeros, readme_count);
    } else {
      EXPECT_EQ(zeros, readme_count);
    }
  }
}

TEST(PngSuiteTest, InterlacedTwinsDecodeToTheSamePixels) {
  int pairs = 0;
  for (const auto& path : SuiteFiles()) {
    const std::string file = path.filename().string();
    if (!Describe(path.stem().string()).interlaced) continue;
    SCOPED_TRACE(file);
    const auto interlaced = DecodeFile(path);
    const auto plain = DecodeFile(path.parent_path() / file.substr(1));
    ASSERT_NE(interlaced, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(interlaced->format, plain->format);
    ExpectSamePixels(*plain, *interlaced);
    ++pairs;
  }
  EXPECT_GT(pairs, 0);
}

// ---- corrupt files ----

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

enum class Outcome {
  kDecodes,     // libpng accepts the file (only ancillary chunks are bad)
  kNull,        // libpng rejects it: "PNG ERROR", ReadPNG gives null
  kStreamEnds,  // a chunk declares more bytes than the file holds
};

TEST(PngCorruptTest, EveryFileHasAKnownCleanOutcome) {
  std::map<std::string, Outcome> expected = {
      {"bad_iCCP.png", Outcome::kNull},                   // IHDR CRC does not match
      {"badadler.png", Outcome::kNull},                   // zlib checksum of the image data
      {"badcrc.png", Outcome::kNull},                     // CRC of the IDAT chunk
      {"empty_ancillary_chunks.png", Outcome::kDecodes},  // empty chunks are skipped
      // A 1 GiB tEXt chunk: its buffer is refused, which libpng treats as an
      // error for this chunk type.
      {"huge_tEXt_chunk.png", Outcome::kNull},
  };
  // Each declares a 1 GiB chunk (IDAT or an ancillary one) in a 57 to 79 byte
  // file: libpng skips the chunk (a buffer that large is refused) or reads it
  // through the stream, which ends first.
  for (const char* chunk :
       {"IDAT.png", "bKGD_chunk.png", "cHRM_chunk.png", "eXIf_chunk.png", "gAMA_chunk.png",
        "hIST_chunk.png", "iCCP_chunk.png", "iTXt_chunk.png", "juNK_unsafe_to_copy.png",
        "juNk_safe_to_copy.png", "pCAL_chunk.png", "pHYs_chunk.png", "sCAL_chunk.png",
        "sPLT_chunk.png", "sRGB_chunk.png", "sTER_chunk.png", "tIME_chunk.png", "zTXt_chunk.png"}) {
    expected[std::string("huge_") + chunk] = Outcome::kStreamEnds;
  }
  const long peak_before = PeakResidentKiB();

  std::set<std::string> seen;
  for (const auto& entry : fs::directory_iterator(kData / "png-corrupt")) {
    const std::string file = entry.path().filename().string();
    if (entry.path().extension() != ".png") continue;
    SCOPED_TRACE(file);
    seen.insert(file);
    ASSERT_TRUE(expected.count(file)) << "no outcome listed for this file";
    auto stream = OpenInput(Url(entry.path()));
    ASSERT_NE(stream, nullptr);
    switch (expected[file]) {
      case Outcome::kDecodes: {
        const auto pixmap = ReadPNG(stream);
        ASSERT_NE(pixmap, nullptr);
        EXPECT_EQ(pixmap->width, 1);
        EXPECT_EQ(pixmap->height, 1);
        EXPECT_EQ(pixmap->format, PIXEL_RGB888);  // a palette without transparency
        EXPECT_EQ(stream->Pos(), stream->Size());
        break;
      }
      case Outcome::kNull:
        EXPECT_EQ(ReadPNG(stream), nullptr);
        break;
      case Outcome::kStreamEnds:
        EXPECT_THROW(ReadPNG(stream), TStreamReadException);
        break;
    }
  }
  EXPECT_EQ(seen.size(), expected.size());
  // No chunk was loaded whole: a 1 GiB buffer filled by libpng would show here.
  EXPECT_LT(PeakResidentKiB() - peak_before, 256 * 1024);
}

}  // namespace
}  // namespace skyloom
