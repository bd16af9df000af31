// Text layout and drawing: measurement with breaks, wrapping and box limits,
// the drawing scale, alignment, glyph placement on the screen (recorded) and
// compositing into pixmaps, recolouring and the module functions.
#include <gtest/gtest.h>

#include "runtime/backend_recording.h"
#include "tests/text/text_fixture.h"

namespace skyloom {
namespace {

using namespace testing_text;

struct Measured {
  int x, y, z;
  bool operator==(const Measured&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Measured& m) {
  return out << "(" << m.x << ", " << m.y << ", " << m.z << ")";
}

Measured Of(const VectorRef& v) {
  return {v->x, v->y, v->z};
}

TEST(LayoutTest, SizeOfTexts) {
  struct Case {
    const char* what;
    std::u16string text;
    VectorRef box;
    Measured expected;
  };
  const Case cases[] = {
      {"two characters", u"AB", nullptr, {11, 8, 2}},
      {"LF", u"A\nB", nullptr, {5, 19, 3}},
      {"empty", u"", nullptr, {0, 8, 0}},
      {"CR LF makes three lines", u"AB\r\nCD", nullptr, {11, 30, 6}},
      {"CR alone", u"A\rB", nullptr, {5, 19, 3}},
      {"code 255 breaks", u"A\u00ffB", nullptr, {5, 19, 3}},
      {"code 0x1FF breaks too", u"A\u01ffB", nullptr, {5, 19, 3}},
      {"trailing break", u"AB\n", nullptr, {11, 19, 3}},
      {"widest line wins", u"A\nABC\nAB", nullptr, {17, 30, 8}},
      {"wrap at 12", u"ABC", Vector::Create(12, 0, 0), {11, 19, 3}},
      {"no wrap when it fits", u"AB", Vector::Create(11, 0, 0), {11, 8, 2}},
      {"wrap every character", u"ABC", Vector::Create(5, 0, 0), {5, 30, 3}},
      {"height limit keeps the first line", u"A\nB", Vector::Create(0, 10, 0), {5, 8, 3}},
      {"height limit on a wrap", u"ABCD", Vector::Create(12, 18, 0), {11, 8, 4}},
      {"height limit that fits both", u"A\nB", Vector::Create(0, 19, 0), {5, 19, 3}},
      {"z counts characters", u"ABCD", Vector::Create(0, 0, 2), {11, 8, 4}},
      {"z stops before a break", u"AB\nCD", Vector::Create(0, 0, 2), {11, 8, 5}},
      {"z of 0 or less takes all", u"ABCD", Vector::Create(0, 0, -1), {23, 8, 4}},
  };
  FontRef font = MakeTestFont();
  for (const Case& c : cases) {
    EXPECT_EQ(Of(font->Size(c.text, c.box)), c.expected) << c.what;
  }
}

TEST(LayoutTest, WidthsAreTakenByLowEightBits) {
  FontRef font = MakeTestFont();
  font->charw[0x41] = 9;
  EXPECT_EQ(Of(font->Size(u"\u0141", nullptr)), (Measured{9, 8, 1}));
  EXPECT_EQ(Of(font->Size(u"A\u0141", nullptr)), (Measured{19, 8, 2}));
}

TEST(LayoutTest, FontWithoutImageMeasuresNothing) {
  FontRef font = MakeTestFont();
  font->image = nullptr;
  EXPECT_EQ(Of(font->Size(u"AB\nC", nullptr)), (Measured{0, 0, 0}));
  EXPECT_EQ(Of(font->Draw(u"AB", 0, 0, Font::LALIGN, nullptr, 1, 0, nullptr)), (Measured{0, 0, 0}));
}

TEST(LayoutTest, HeightIsLineHeightClampedToInt32) {
  struct Case {
    int32_t charh, vspacing, expected;
  };
  const Case cases[] = {
      {8, 3, 11},
      {8, -10, -2},
      {2147483647, 1, 2147483647},
      {-2147483647 - 1, -1, -2147483647 - 1},
  };
  FontRef font = MakeTestFont();
  for (const Case& c : cases) {
    font->charh = c.charh;
    font->vspacing = c.vspacing;
    EXPECT_EQ(font->height(), c.expected) << c.charh << " + " << c.vspacing;
  }
}

TEST(LayoutTest, AbsurdWidthsDoNotOverflow) {
  FontRef font = MakeTestFont();
  font->charw.fill(2147483647);
  font->hspacing = 2147483647;
  font->charh = 2147483647;
  font->vspacing = 2147483647;
  const Measured m = Of(font->Size(u"AB\nC", Vector::Create(3, 0, 0)));
  EXPECT_EQ(m.z, 4);
}

class RecordedTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder = OpenRecordingDisplay(640, 480);
    font = MakeTestFont();
    setfont(nullptr);
  }
  void TearDown() override {
    setfont(nullptr);
    CloseDisplay();
  }

  struct Glyph {
    int frame;
    float x, y;
    bool operator==(const Glyph&) const = default;
  };

  std::vector<Glyph> Glyphs() const {
    std::vector<Glyph> glyphs;
    for (const auto& p : recorder->primitives) {
      if (p.kind != TRecordedPrimitive::IMAGE) continue;
      EXPECT_EQ(p.image, font->image.get());
      glyphs.push_back({p.frame, p.vertices[0].x, p.vertices[0].y});
    }
    return glyphs;
  }

  std::shared_ptr<TRecordingBackend> recorder;
  FontRef font;
};

TEST_F(RecordedTextTest, DrawPlacesEachGlyphFrame) {
  font->Draw(u"AB\nC\u0141", 10, 20, Font::LALIGN, nullptr, 1, 0, nullptr);
  EXPECT_EQ(Glyphs(), (std::vector<Glyph>{{65, 10, 20}, {66, 16, 20}, {67, 10, 31}, {65, 16, 31}}));
}

TEST_F(RecordedTextTest, AlignmentPlacesEachLine) {
  struct Case {
    const char* what;
    int align;
    VectorRef box;
    std::vector<Glyph> expected;
  };
  // Lines "AB" (width 11) and "C" (width 5) drawn at x = 100.
  const Case cases[] = {
      {"left", Font::LALIGN, nullptr, {{65, 100, 0}, {66, 106, 0}, {67, 100, 11}}},
      {"right", Font::RALIGN, nullptr, {{65, 100, 0}, {66, 106, 0}, {67, 106, 11}}},
      {"center", Font::CENTER, nullptr, {{65, 100, 0}, {66, 106, 0}, {67, 103, 11}}},
      {"right in a box",
       Font::RALIGN,
       Vector::Create(20, 0, 0),
       {{65, 109, 0}, {66, 115, 0}, {67, 115, 11}}},
      {"center in a box",
       Font::CENTER,
       Vector::Create(20, 0, 0),
       {{65, 105, 0}, {66, 111, 0}, {67, 108, 11}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    recorder->Forget();
    font->Draw(u"AB\nC", 100, 0, c.align, c.box, 1, 1, nullptr);
    EXPECT_EQ(Glyphs(), c.expected);
  }
}

TEST_F(RecordedTextTest, CenterHalvesWidthsSeparately) {
  font->charw.fill(4);  // line "A" is 4 wide, line "C" 3
  font->charw['C'] = 3;
  font->Draw(u"A\nC", 0, 0, Font::CENTER, Vector::Create(5, 0, 0), 1, 1, nullptr);
  // 5 / 2 - 4 / 2 = 0 and 5 / 2 - 3 / 2 = 1.
  EXPECT_EQ(Glyphs(), (std::vector<Glyph>{{65, 0, 0}, {67, 1, 11}}));
}

TEST_F(RecordedTextTest, DrawingScaleStretchesLayoutUnlessUnscaled) {
  SetDrawScale(1.5f, 2.0f);
  // Advances truncate one by one: 9, 18, then 18 - 1.5 -> 16.
  EXPECT_EQ(Of(font->Draw(u"AB", 0, 0, Font::LALIGN, nullptr, 0, 0, nullptr)),
            (Measured{16, 16, 2}));
  EXPECT_EQ(Of(font->Draw(u"AB", 0, 0, Font::LALIGN, nullptr, 0, 1, nullptr)),
            (Measured{11, 8, 2}));
  EXPECT_EQ(Of(font->Size(u"AB", nullptr)), (Measured{11, 8, 2}));
  // Wrapping compares scaled widths with the box.
  EXPECT_EQ(Of(font->Draw(u"ABC", 0, 0, Font::LALIGN, Vector::Create(20, 0, 0), 0, 0, nullptr)),
            (Measured{16, 38, 3}));

  font->Draw(u"AB\nC", 10, 10, Font::LALIGN, nullptr, 1, 0, nullptr);
  EXPECT_EQ(Glyphs(), (std::vector<Glyph>{{65, 10, 10}, {66, 19, 10}, {67, 10, 32}}));
}

TEST_F(RecordedTextTest, StaggerSnapsLineStartsTowardZero) {
  font->stagger = 4;
  EXPECT_EQ(font->line(u"AB", 7, -7, 1, nullptr), 11);
  EXPECT_EQ(Glyphs(), (std::vector<Glyph>{{65, 4, -4}, {66, 10, -4}}));
}

TEST_F(RecordedTextTest, StaggerAtTheEndsOfTheIntRange) {
  struct Case {
    int stagger, x, y;
    float drawn_x, drawn_y;
  };
  constexpr int kMin = -2147483647 - 1;
  constexpr int kMax = 2147483647;
  const Case cases[] = {
      {-1, kMin, kMin, -2147483648.0f, -2147483648.0f},
      {-4, 7, -7, 4, -4},
      {kMin, kMax, kMin, 0, -2147483648.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stagger);
    recorder->Forget();
    font->stagger = c.stagger;
    font->line(u"A", c.x, c.y, 1, nullptr);
    EXPECT_EQ(Glyphs(), (std::vector<Glyph>{{65, c.drawn_x, c.drawn_y}}));
  }
}

TEST_F(RecordedTextTest, DrawtextUsesTheGivenOrCurrentFont) {
  drawtext(u"A", 3.9f, -2.7f, font);
  EXPECT_EQ(Glyphs(), (std::vector<Glyph>{{65, 3, -2}}));

  recorder->Forget();
  setfont(font);
  drawtext(u"B", 1.0f, 2.0f);
  EXPECT_EQ(Glyphs(), (std::vector<Glyph>{{66, 1, 2}}));
  EXPECT_EQ(textwidth(u"AB"), 11);
  EXPECT_EQ(textwidth(u"AB\nABC"), 17);
}

TEST_F(RecordedTextTest, WithoutAnyFontTextIsPrintedNotDrawn) {
  EXPECT_EQ(textwidth(u"AB"), 0);
  ::testing::internal::CaptureStdout();
  drawtext(u"hello", 5, 5);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "hello\r\n");
  EXPECT_TRUE(recorder->primitives.empty());
}

class PixmapTextTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kBlank = 0x00000000;

  void SetUp() override {
    font = MakeTestFont();
    target = TPixmap::Create(20, 12, PIXEL_RGBA8888);
    for (int y = 0; y < target->height; ++y) {
      for (int x = 0; x < target->width; ++x) target->WritePixel(x, y, kBlank);
    }
  }

  // The pixel the target should hold after drawing character code at (x0,
  // y0) with columns glyph columns copied, recoloured by colour when non-zero.
  uint32_t Expected(int code, int x0, int y0, int columns, int x, int y, uint32_t colour) const {
    const int gx = x - x0;
    const int gy = y - y0;
    if (gx < 0 || gy < 0 || gx >= columns || gy >= font->charh) return kBlank;
    const uint32_t p = PatternPixel(code, gx, gy);
    if (p >> 24 == 0) return kBlank;
    return colour != 0 ? colour : p;
  }

  void ExpectGlyphAt(int code, int x0, int y0, int columns, uint32_t colour = 0) const {
    for (int y = 0; y < target->height; ++y) {
      for (int x = 0; x < target->width; ++x) {
        ASSERT_EQ(target->ReadPixel(x, y), Expected(code, x0, y0, columns, x, y, colour))
            << "at " << x << "," << y;
      }
    }
  }

  FontRef font;
  PixmapRef target;
};

TEST_F(PixmapTextTest, GlyphPixelsAreCompositedAsStored) {
  font->Draw(u"A", 3, 2, Font::LALIGN, nullptr, 1, 1, target);
  ExpectGlyphAt(65, 3, 2, 6);
}

TEST_F(PixmapTextTest, OnlyMaxwColumnsAndCharhRowsAreCopied) {
  font->maxw = 3;
  font->charh = 5;
  font->line(u"\u0142", 0, 0, 1, target);
  ExpectGlyphAt(0x42, 0, 0, 3);
}

TEST_F(PixmapTextTest, PixelColourRecoloursInkAndClearingRestoresIt) {
  font->setpixcolor(0xFF102030);
  EXPECT_EQ(font->usepixrgb, 1);
  font->line(u"C", 1, 1, 1, target);
  ExpectGlyphAt(67, 1, 1, 6, 0xFF102030);

  SetUp();
  font->setpixcolor(0xFF102030);
  font->clearpixcolor();
  EXPECT_EQ(font->usepixrgb, 0);
  font->line(u"C", 1, 1, 1, target);
  ExpectGlyphAt(67, 1, 1, 6);
}

TEST_F(PixmapTextTest, GlyphsOutsideTheTargetAreClipped) {
  struct Case {
    int x, y;
  };
  for (const Case& c : {Case{-3, -4}, Case{17, 9}, Case{-100, 0}, Case{0, 1000}}) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    SetUp();
    font->line(u"D", c.x, c.y, 1, target);
    ExpectGlyphAt(68, c.x, c.y, 6);
  }
}

TEST_F(PixmapTextTest, MetricsLargerThanTheCellReadNoFurther) {
  font->maxw = 50;
  font->charh = 50;
  font->line(u"E", 0, 0, 1, target);
  font->charh = 8;  // the cell's own height, for the expectation
  ExpectGlyphAt(69, 0, 0, 6);
}

TEST(GetpixelTest, AlphaIsTheSmallerAndColourComesFromTheSecond) {
  struct Case {
    uint32_t a, b, expected;
  };
  const Case cases[] = {
      {0x80FFFFFF, 0xFF102030, 0x80102030},
      {0xFFFFFFFF, 0x40102030, 0x40102030},
      {0x00ABCDEF, 0xFF000000, 0x00000000},
      {0xFF123456, 0xFFABCDEF, 0xFFABCDEF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uint32_t(Font::getpixel(int32_t(c.a), int32_t(c.b))), c.expected)
        << std::hex << c.a << " " << c.b;
  }
}

}  // namespace
}  // namespace skyloom
