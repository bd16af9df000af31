// The glyph source format and the embedded label font built from it: parsing,
// errors with their line numbers, the painted atlas, and the committed font
// file matching a rebuild from its source.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "assets/embedded.h"
#include "runtime/open.h"
#include "tests/text/text_fixture.h"
#include "text/glyphsource.h"

namespace skyloom {
namespace {

using namespace testing_text;

constexpr char kSmall[] =
    "; a font of 3 x 2 cells\n"
    "name Tiny One\r\n"
    "author Me\n"
    "cell 3 2\n"
    "charh 2\nmaxw 3\nhspacing 1\nvspacing -1\nbase 0x10\ntop 4\n"
    "\n"
    "glyph 0x41 A\n"
    "#.#\n"
    ".#.\n"
    "glyph 32 space\n"
    "..\n"
    "..\n"
    "glyph 255\n"
    "#\n"
    "#\n";

TEST(GlyphSourceTest, ParsesMetricsWidthsAndPaintsTheAtlas) {
  const GlyphSource source = GlyphSource::Parse(kSmall);
  EXPECT_EQ(source.name, u"Tiny One");
  EXPECT_EQ(source.author, u"Me");
  EXPECT_EQ(source.cellw, 3);
  EXPECT_EQ(source.cellh, 2);
  EXPECT_EQ(source.charh, 2);
  EXPECT_EQ(source.maxw, 3);
  EXPECT_EQ(source.hspacing, 1);
  EXPECT_EQ(source.vspacing, -1);
  EXPECT_EQ(source.base, 16);
  EXPECT_EQ(source.top, 4);
  const auto widths = source.Widths();
  EXPECT_EQ(widths[65], 3);
  EXPECT_EQ(widths[32], 2);
  EXPECT_EQ(widths[255], 1);
  EXPECT_EQ(widths[66], 0);

  PixmapRef atlas = source.BuildAtlas();
  ASSERT_EQ(atlas->width, 48);
  ASSERT_EQ(atlas->height, 32);
  const uint32_t ink = 0xFFFFFFFF, blank = 0x00FFFFFF;
  // 'A' is in column 1, row 4; code 255 in column 15, row 15.
  const int ax = 3, ay = 8;
  EXPECT_EQ(atlas->ReadPixel(ax + 0, ay + 0), ink);
  EXPECT_EQ(atlas->ReadPixel(ax + 1, ay + 0), blank);
  EXPECT_EQ(atlas->ReadPixel(ax + 2, ay + 0), ink);
  EXPECT_EQ(atlas->ReadPixel(ax + 1, ay + 1), ink);
  EXPECT_EQ(atlas->ReadPixel(ax + 0, ay + 1), blank);
  EXPECT_EQ(atlas->ReadPixel(45, 30), ink);
  EXPECT_EQ(atlas->ReadPixel(45, 31), ink);
  EXPECT_EQ(atlas->ReadPixel(46, 31), blank);
  int inked = 0;
  for (int y = 0; y < atlas->height; ++y) {
    for (int x = 0; x < atlas->width; ++x) inked += atlas->ReadPixel(x, y) == ink;
  }
  EXPECT_EQ(inked, 3 + 2);
}

TEST(GlyphSourceTest, ErrorsNameTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"cell 2 2\nbogus 1\n", "line 2: unknown keyword \"bogus\""},
      {"glyph 65\n", "line 1: \"glyph\" before \"cell\""},
      {"name x\n", "line 1: no \"cell\" line"},
      {"cell 0 8\n", "line 1: cell size out of range 1 to 64"},
      {"cell 2 65\n", "line 1: cell size out of range 1 to 64"},
      {"cell 2 2\ncell 2 2\n", "line 2: the cell size is given twice"},
      {"cell 2 2\ncharh 1x\n", "line 2: \"1x\" is not a number"},
      {"cell 2 2\ncharh 1 2\n", "line 2: unexpected text after the value"},
      {"cell 2 2\nglyph 256\n..\n..\n", "line 2: character code out of range 0 to 255"},
      {"cell 2 2\nglyph 1\n..\n..\nglyph 1\n..\n..\n", "line 5: character 1 is given twice"},
      {"cell 2 2\nglyph 1\n..\n", "line 3: the glyph ends before its last row"},
      {"cell 2 2\nglyph 1\n.x\n..\n", "line 3: a row holds only '#' and '.'"},
      {"cell 2 2\nglyph 1\n...\n..\n", "line 3: row wider than the cell"},
      {"cell 2 2\nglyph 1\n..\n.\n", "line 2: the rows of character 1 differ in length"},
  };
  for (const Case& c : cases) {
    try {
      GlyphSource::Parse(c.text);
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (const GlyphSourceError& e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.text;
    }
  }
}

class LabelFontTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterEmbeddedResources(); }
  void TearDown() override { setfont(nullptr); }

  static std::string SourceText() {
    std::ifstream file(std::filesystem::path(SKYLOOM_SOURCE_DIR) / "assets/font_data/brisle.glyphs",
                       std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), {});
  }
};

TEST_F(LabelFontTest, EmbeddedFontHasItsMetricsAndMeasuresText) {
  setfont(nullptr);
  FontRef font = loadfont(u"incbin::font_data/brisle.ift");
  ASSERT_TRUE(font);
  EXPECT_EQ(currentfont(), font);
  EXPECT_EQ(font->charh, 8);
  EXPECT_EQ(font->maxw, 6);
  EXPECT_EQ(font->hspacing, 1);
  EXPECT_EQ(font->vspacing, 3);
  EXPECT_EQ(font->base, 0);
  EXPECT_EQ(font->top, 0);
  EXPECT_NE(font->name, u"unnamed");
  EXPECT_NE(font->author, u"unknown");
  ASSERT_TRUE(font->image);
  EXPECT_EQ(font->image->width, 6);
  EXPECT_EQ(font->image->height, 8);
  // S 5, o 4, l 2, space 3, 1 3, each followed by one pixel but the last.
  EXPECT_EQ(textwidth(u"Sol 1"), 21);
  EXPECT_EQ(font->height(), 11);
}

TEST_F(LabelFontTest, EveryPrintableAndLatinLetterIsDrawnAndFitsItsCell) {
  FontRef font = Font::Read(OpenInput(u"incbin::font_data/brisle.ift"));
  auto has_ink = [&](int code) {
    const TPixmap& frame = *font->image->frames[code];
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        if (frame.ReadPixel(x, y) >> 24 != 0) return true;
      }
    }
    return false;
  };
  for (int code = 32; code < 256; ++code) {
    if (code > 126 && code < 192) continue;
    SCOPED_TRACE(code);
    EXPECT_GT(font->charw[code], 0);
    EXPECT_LE(font->charw[code], font->maxw);
    EXPECT_EQ(has_ink(code), code != 32);
  }
  // Glyph pixels are opaque white or fully transparent, so drawing colours them.
  for (const PixmapRef& frame : font->image->frames) {
    for (int y = 0; y < frame->height; ++y) {
      for (int x = 0; x < frame->width; ++x) {
        const uint32_t p = frame->ReadPixel(x, y);
        ASSERT_TRUE(p == 0xFFFFFFFFu || p >> 24 == 0) << std::hex << p;
      }
    }
  }
}

TEST_F(LabelFontTest, CommittedFileMatchesARebuildFromItsSource) {
  FontRef built = FontFromGlyphSource(GlyphSource::Parse(SourceText()));
  FontRef embedded = Font::Read(OpenInput(u"incbin::font_data/brisle.ift"));
  EXPECT_EQ(embedded->name, built->name);
  EXPECT_EQ(embedded->author, built->author);
  EXPECT_EQ(embedded->charw, built->charw);
  EXPECT_EQ(embedded->charh, built->charh);
  EXPECT_EQ(embedded->maxw, built->maxw);
  EXPECT_EQ(embedded->hspacing, built->hspacing);
  EXPECT_EQ(embedded->vspacing, built->vspacing);
  EXPECT_EQ(embedded->base, built->base);
  EXPECT_EQ(embedded->top, built->top);
  ExpectSameFrames(*embedded->image, *built->image);
}

}  // namespace
}  // namespace skyloom
