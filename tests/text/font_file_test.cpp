// The image font file format: round trips, the two versions, the stored byte
// layout, damaged files, export, the font orderings and the current font.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/open.h"
#include "runtime/strings.h"
#include "tests/text/text_fixture.h"

namespace skyloom {
namespace {

using namespace testing_text;

std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), {});
}

// Length of the PNG datastream that starts at offset in bytes.
int64_t PngLengthAt(const std::vector<uint8_t>& bytes, int64_t offset) {
  auto stream = TRamStream::CreateCopy(bytes, true, false);
  stream->Seek(offset);
  EXPECT_TRUE(ReadPNG(stream));
  return stream->Pos() - offset;
}

TEST(FontFileTest, WriteThenReadKeepsEveryStoredFieldAndPixel) {
  FontRef font = MakeTestFont();
  for (int i = 0; i < 256; ++i) font->charw[i] = i * 3 - 100;
  font->charh = 7;
  font->maxw = 5;
  font->base = 70000;  // keeps its low 16 bits only
  font->top = 12;
  font->hspacing = -2;
  font->vspacing = 4;
  font->name = u"Test \u00e9";
  font->author = u"Someone";
  font->stagger = 3;
  font->setpixcolor(0x12345678);

  const std::vector<uint8_t> bytes = FontFileBytes(*font);
  StreamRef stream = ReadStream(bytes);
  FontRef back = Font::Read(stream);

  EXPECT_EQ(stream->Pos(), int64_t(bytes.size()));  // just after the width table
  EXPECT_EQ(back->charw, font->charw);
  EXPECT_EQ(back->charh, 7);
  EXPECT_EQ(back->maxw, 5);
  EXPECT_EQ(back->base, 70000 & 0xFFFF);
  EXPECT_EQ(back->top, 12);
  EXPECT_EQ(back->hspacing, -2);
  EXPECT_EQ(back->vspacing, 4);
  EXPECT_EQ(back->name, font->name);
  EXPECT_EQ(back->author, font->author);
  EXPECT_EQ(back->stagger, 0);
  EXPECT_EQ(back->pixrgb, 0);
  EXPECT_EQ(back->usepixrgb, 0);
  ExpectSameFrames(*font->image, *back->image);
}

TEST(FontFileTest, GontHeaderAndScrambledStringsAreStoredAsDocumented) {
  FontRef font = MakeTestFont(1, 1);
  font->base = 0x1234;
  font->top = 0xBEEF;
  font->name = u"Ab";
  font->author = u"";
  const std::vector<uint8_t> bytes = FontFileBytes(*font);
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "gont");
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 8),
            (std::vector<uint8_t>{0x34, 0x12, 0xEF, 0xBE}));
  const int64_t after_atlas = 8 + PngLengthAt(bytes, 8);
  // "A" = 0x41 -> 0xBE, "b" = 0x62 -> 0x9D, then the terminator; the empty
  // author is the single byte 00; then charh 8 as a little-endian integer.
  const std::vector<uint8_t> expected = {0xBE, 0x9D, 0x00, 0x00, 8, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + after_atlas,
                                 bytes.begin() + after_atlas + expected.size()),
            expected);
}

TEST(FontFileTest, HeaderVariantsReadTheirBaseAndTop) {
  struct Case {
    const char* what;
    std::string magic;
    std::vector<uint8_t> base_top;
    int32_t charh;
    uint8_t reserved;
    int32_t base, top;
  };
  const Case cases[] = {
      {"font version takes base from charh", "font", {}, 12, 0, 12, 0},
      {"gont with FF FF reads unsigned", "gont", {0xFF, 0xFF, 0xFF, 0xFF}, 8, 0, 65535, 65535},
      {"gont little-endian", "gont", {0x02, 0x01, 0x05, 0x00}, 8, 0, 0x102, 5},
      {"the reserved byte is ignored", "gont", {0, 0, 0, 0}, 8, 0xA7, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FontFileParts parts;
    parts.magic = c.magic;
    parts.base_top = c.base_top;
    parts.metrics[0] = c.charh;
    parts.reserved = c.reserved;
    const std::vector<uint8_t> bytes = parts.Bytes();
    StreamRef stream = ReadStream(bytes);
    FontRef font = Font::Read(stream);
    EXPECT_EQ(font->base, c.base);
    EXPECT_EQ(font->top, c.top);
    EXPECT_EQ(font->charh, c.charh);
    EXPECT_EQ(font->maxw, 6);
    EXPECT_EQ(font->charw[200], 5);
    EXPECT_EQ(stream->Pos(), int64_t(bytes.size()));
  }
}

TEST(FontFileTest, AtlasIsCutIntoSixteenBySixteenCellsOfOwnPixels) {
  FontFileParts parts;
  parts.atlas = PngBytes(PatternAtlas(6, 8));  // 96 x 128
  FontRef font = Font::Read(ReadStream(parts.Bytes()));
  ASSERT_TRUE(font->image);
  EXPECT_EQ(font->image->width, 6);
  EXPECT_EQ(font->image->height, 8);
  ASSERT_EQ(font->image->frames.size(), 256u);
  for (int i : {0, 1, 15, 16, 65, 255}) {
    SCOPED_TRACE(i);
    const TPixmap& frame = *font->image->frames[i];
    EXPECT_EQ(frame.width, 6);
    EXPECT_EQ(frame.height, 8);
    EXPECT_EQ(frame.ReadPixel(0, 0), PatternPixel(i, 0, 0));
    EXPECT_EQ(frame.ReadPixel(5, 7), PatternPixel(i, 5, 7));
  }
  // Frames do not share memory with each other.
  font->image->frames[1]->WritePixel(0, 0, 0xFFABCDEF);
  EXPECT_EQ(font->image->frames[0]->ReadPixel(0, 0), PatternPixel(0, 0, 0));
  EXPECT_EQ(font->image->frames[17]->ReadPixel(0, 0), PatternPixel(17, 0, 0));
}

TEST(FontFileTest, DamagedFilesRaiseAndSayWhy) {
  struct Case {
    const char* what;
    void (*damage)(FontFileParts&);
    std::string message;  // exact when it has no ':', else a prefix of the text
  };
  const Case cases[] = {
      {"unknown magic", [](FontFileParts& p) { p.magic = "GONT"; }, "Failed to read font"},
      {"atlas not a PNG", [](FontFileParts& p) { p.atlas = std::vector<uint8_t>(64, 0x42); },
       "Failed to read font: the glyph atlas is not a readable PNG image"},
      {"atlas PNG body corrupt",
       [](FontFileParts& p) {
         for (size_t k = 40; k < p.atlas.size() - 12; ++k) p.atlas[k] ^= 0x5A;
       },
       "Failed to read font: the glyph atlas is not a readable PNG image"},
      {"atlas narrower than 16",
       [](FontFileParts& p) { p.atlas = PngBytes(TPixmap::Create(15, 32, PIXEL_RGBA8888)); },
       "Failed to read font: the glyph atlas is 15 x 32 pixels, less than 16 x 16"},
      {"atlas lower than 16",
       [](FontFileParts& p) { p.atlas = PngBytes(TPixmap::Create(64, 8, PIXEL_GREY8)); },
       "Failed to read font: the glyph atlas is 64 x 8 pixels, less than 16 x 16"},
      {"width table too short",
       [](FontFileParts& p) { p.widths = IntArrayBytes(std::vector<int32_t>(255, 1)); },
       "Failed to read font: the width table holds 255 entries instead of 256"},
      {"width table too long",
       [](FontFileParts& p) { p.widths = IntArrayBytes(std::vector<int32_t>(289, 1)); },
       "Failed to read font: the width table holds 289 entries instead of 256"},
      {"width table not a PNG", [](FontFileParts& p) { p.widths = std::vector<uint8_t>(100, 0); },
       "Failed to read font: the width table is not a readable PNG image"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FontFileParts parts;
    c.damage(parts);
    try {
      Font::Read(ReadStream(parts.Bytes()));
      ADD_FAILURE() << "no error";
    } catch (const FontReadException& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

TEST(FontFileTest, EveryTruncationRaisesWithoutReadingOutOfBounds) {
  const std::vector<uint8_t> bytes = FontFileParts().Bytes();
  ASSERT_NO_THROW(Font::Read(ReadStream(bytes)));
  for (size_t length = 0; length < bytes.size(); ++length) {
    SCOPED_TRACE(length);
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
    // The copy holds exactly the cut bytes, so the sanitizer build catches
    // any read past them.
    EXPECT_ANY_THROW(Font::Read(ReadStream(std::move(cut))));
  }
}

TEST(FontFileTest, ExportWritesThePictureAndTheDataFile) {
  FontRef font = MakeTestFont();
  for (int i = 0; i < 256; ++i) font->charw[i] = i % 7;
  font->name = u"Nm";
  font->author = u"Au";
  font->base = 9;
  font->top = 2;
  const auto dir = std::filesystem::path(SKYLOOM_BINARY_DIR) / "font_export_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);

  EXPECT_EQ(font->export_(FromBytes((dir / "exported.ift").string())), 0);

  PixmapRef picture = ReadPNG(OpenInput(FromBytes((dir / "exported.png").string())));
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->width, 96);
  ASSERT_EQ(picture->height, 128);
  for (int i : {0, 65, 255}) {
    EXPECT_EQ(picture->ReadPixel(6 * (i % 16) + 2, 8 * (i / 16) + 4), PatternPixel(i, 2, 4));
  }

  std::vector<uint8_t> expected = {'S', 'F', 'N', 'T', 1, 0, 0, 0, 0xB1, 0x92, 0, 0xBE, 0x8A, 0};
  auto put = [&](int32_t v) {
    for (int k = 0; k < 4; ++k) expected.push_back(uint8_t(uint32_t(v) >> (8 * k)));
  };
  for (int32_t v : {6, 8, 1, 3, 2, 9, 0}) put(v);  // maxw charh hspacing vspacing top base 0
  for (int32_t w : font->charw) put(w);
  EXPECT_EQ(FileBytes(dir / "exported.dat"), expected);
}

TEST(FontFileTest, ExportIntoAMissingFolderRaises) {
  FontRef font = MakeTestFont(1, 1);
  const auto missing = std::filesystem::path(SKYLOOM_BINARY_DIR) / "no_such_folder" / "x.ift";
  EXPECT_THROW(font->export_(FromBytes(missing.string())), FontExportException);
  EXPECT_THROW(Font::Create()->export_(u"anything.ift"), FontExportException);
}

// A character whose low 8 bits are FF would be stored as the string's 00
// terminator, so the fields after it would be read from the wrong bytes.
TEST(FontFileTest, NameOrAuthorThatCannotBeStoredIsRefusedBeforeWriting) {
  struct Case {
    const char* what;
    std::u16string name, author;
  };
  const Case cases[] = {
      {"y with diaeresis in the name", u"Caf\u00ff", u"A"},
      {"code 0x1FF in the author", u"N", u"x\u01ffy"},
  };
  const auto dir = std::filesystem::path(SKYLOOM_BINARY_DIR) / "font_unstorable_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FontRef font = MakeTestFont(1, 1);
    font->name = c.name;
    font->author = c.author;
    std::vector<uint8_t> block(1 << 16);
    StreamRef out = TRamStream::Create(block.data(), int64_t(block.size()), false, true);
    EXPECT_THROW(font->Write(out), std::invalid_argument);
    EXPECT_EQ(out->Pos(), 0);
    EXPECT_THROW(font->export_(FromBytes((dir / "x.ift").string())), FontExportException);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.dat"));
  }
  // Low bytes other than FF are stored (as their low 8 bits).
  FontRef font = MakeTestFont(1, 1);
  font->name = u"\u00fe\u0100";
  FontRef back = Font::Read(ReadStream(FontFileBytes(*font)));
  EXPECT_EQ(back->name, std::u16string(u"\u00fe\u0000", 2));
}

Font MetricFont(int32_t width, int32_t hspacing, int32_t charh, int32_t vspacing) {
  Font font;
  font.charw.fill(width);
  font.hspacing = hspacing;
  font.charh = charh;
  font.vspacing = vspacing;
  return font;
}

TEST(FontFileTest, ComparesizeOrdersByLineHeightTimesMeanAdvance) {
  struct Case {
    const char* what;
    Font a, b;
    int expected;
  };
  const Case cases[] = {
      // trunc(11 x (1 + 1280 / 255)) = 66, the same as an exact 11 x 6.
      {"metric 66 against 66", MetricFont(5, 1, 8, 3), MetricFont(0, 6, 8, 3), 0},
      {"larger line height", MetricFont(5, 1, 9, 3), MetricFont(5, 1, 8, 3), 1},
      {"smaller", MetricFont(5, 1, 8, 3), MetricFont(5, 1, 8, 4), -1},
      // 256 widths of 51 over 255 make 51.2: 10 x 51.2 = 512 > 511 (a
      // divisor of 256 would give 510).
      {"divisor 255", MetricFont(51, 0, 10, 0), MetricFont(0, 511, 1, 0), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Font::comparesize(c.a, c.b), c.expected);
    EXPECT_EQ(Font::comparesize(c.b, c.a), -c.expected);
  }
}

TEST(FontFileTest, NameAndAuthorComparisons) {
  struct Case {
    std::u16string a, b;
    int name, author;
  };
  const Case cases[] = {
      {u"same", u"same", 0, 1}, {u"abc", u"abd", -1, -1}, {u"abd", u"abc", 1, 1},
      {u"ab", u"abc", -1, -1},  {u"Z", u"a", -1, -1},     {u"\u0100", u"z", 1, 1},
  };
  for (const Case& c : cases) {
    Font fa, fb;
    fa.name = fa.author = c.a;
    fb.name = fb.author = c.b;
    EXPECT_EQ(Font::comparename(fa, fb), c.name) << ToUtf8(c.a) << " " << ToUtf8(c.b);
    EXPECT_EQ(Font::compareauthor(fa, fb), c.author) << ToUtf8(c.a) << " " << ToUtf8(c.b);
  }
}

class CurrentFontTest : public ::testing::Test {
 protected:
  void SetUp() override { setfont(nullptr); }
  void TearDown() override { setfont(nullptr); }
};

TEST_F(CurrentFontTest, LoadfontSetsTheFirstFontAsCurrent) {
  const auto path = std::filesystem::path(SKYLOOM_BINARY_DIR) / "font_load_test.ift";
  {
    StreamRef out = OpenOutput(FromBytes(path.string()));
    ASSERT_TRUE(out);
    MakeTestFont(1, 1)->Write(out);
  }
  EXPECT_EQ(loadfont(u"no/such/file.ift"), nullptr);
  EXPECT_EQ(currentfont(), nullptr);

  FontRef first = loadfont(FromBytes(path.string()));
  ASSERT_TRUE(first);
  EXPECT_EQ(currentfont(), first);
  FontRef second = loadfont(FromBytes(path.string()));
  ASSERT_TRUE(second);
  EXPECT_NE(second, first);
  EXPECT_EQ(currentfont(), first);

  setfont(second);
  EXPECT_EQ(currentfont(), second);
  setfont(nullptr);
  EXPECT_EQ(currentfont(), nullptr);
}

}  // namespace
}  // namespace skyloom
