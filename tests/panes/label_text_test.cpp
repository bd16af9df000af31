// What the label shows of a name: cut with "..." to the pane, "?" for
// characters the font has no glyph for, and a huge name laid out no further
// than the pane reaches.
#include <chrono>

#include "panes/label.h"
#include "panes/label_text.h"
#include "panes_fixture.h"
#include "text/gradient.h"

namespace skyloom::testing_panes {
namespace {

// A font whose printable Latin-1 glyphs are 5 pixels wide with 1 pixel
// between them, lines 9 pixels apart, and no glyph for codes 0x80 to 0xBF.
FontRef NarrowFont() {
  FontRef font = Font::Create();
  for (int code = 32; code < 256; ++code) font->charw[code] = code >= 0x80 && code < 0xC0 ? 0 : 5;
  font->charw[255] = 0;
  font->hspacing = 1;
  font->charh = 8;
  font->vspacing = 1;
  return font;
}

TEST(LabelText, KeepsWhatFitsAndMarksWhatIsCutOrMissing) {
  const FontRef font = NarrowFont();
  const struct {
    const char* what;
    std::u16string name;
    int width, height;
    std::u16string shown;
  } cases[] = {
      {"fits", u"Alpha", 100, 20, u"Alpha"},
      {"fits exactly: the last glyph ends at the edge", u"ABCDE", 29, 20, u"ABCDE"},
      {"one pixel short: cut so the dots fit", u"ABCDE", 28, 20, u"A..."},
      {"cut long name", u"ABCDEFGHIJ", 30, 20, u"AB..."},
      {"characters beyond the font's 256", u"S\u00FCd \u03A9mega", 200, 20, u"S\u00FCd ?mega"},
      {"a code without a glyph", u"a\u0085b", 200, 20, u"a?b"},
      {"line breaks past the height", u"a\nb\nc", 100, 20, u"a\nb..."},
      {"line breaks within the height", u"a\nb", 100, 20, u"a\nb"},
      {"empty", u"", 100, 20, u""},
      {"no room at all", u"Alpha", 2, 20, u"..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LabelText(c.name, *font, c.width, c.height), c.shown);
  }
}

TEST(LabelText, AHugeNameCostsNoMoreThanTheWidthItFills) {
  const FontRef font = NarrowFont();
  const std::u16string huge(4 << 20, u'x');
  const std::u16string controls(4 << 20, u'\x01');  // zero-width codes, never filling a line
  for (const std::u16string* name : {&huge, &controls}) {
    const auto start = std::chrono::steady_clock::now();
    const std::u16string shown = LabelText(*name, *font, 300, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
    EXPECT_LE(shown.size(), 1100u);
    EXPECT_TRUE(shown.ends_with(u"...")) << shown.size();
  }
}

class LabelLayoutTest : public PanesTest {
 protected:
  void SetUp() override {
    PanesTest::SetUp();
    ASSERT_EQ(InitGradient(), 1);
    std::string error;
    ASSERT_EQ(loadlabelfont(error), 1) << error;
    cam = camera::Create();
    cam->setbounds(100, 50, 300, 200);
  }

  // The label of a selected body of that name, with the glyph codes drawn.
  std::u16string LabelOf(const std::u16string& name) {
    const bodyRef b = MakeBody(name, 10, 0, 0);
    cam->view = MakeSpace({b});
    cam->focus = b;
    recorder->Forget();
    cam->render();
    std::u16string shown;
    for (const TRecordedPrimitive& g : OfKind(*recorder, TRecordedPrimitive::IMAGE)) {
      if (g.image == labelfont()->image.get()) shown += char16_t(g.frame);
    }
    return shown;
  }

  cameraRef cam;
};

TEST_F(LabelLayoutTest, TheLabelDrawsOnlyWhatFitsAndQuestionMarksForMissingGlyphs) {
  EXPECT_EQ(LabelOf(u"S\u00FCd \u03A9mega"), u"S\u00FCd ?mega");
  const std::u16string huge = LabelOf(std::u16string(4 << 20, u'W'));
  EXPECT_TRUE(huge.ends_with(u"...")) << huge.size();
  EXPECT_LT(huge.size(), 100u);  // a 300-pixel pane holds about 50 glyphs
}

}  // namespace
}  // namespace skyloom::testing_panes
