// The help panel: its lines come from the table of controls, it draws a dark
// panel with every line in white while shown and nothing while hidden, and a
// rectangle too short for the list flows it into further columns.
#include "panes/help_panel.h"

#include "input/controls.h"
#include "panes/label.h"
#include "panes_fixture.h"

namespace skyloom::testing_panes {
namespace {

std::u16string Text(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

class HelpPanelTest : public PanesTest {
 protected:
  void SetUp() override {
    PanesTest::SetUp();
    std::string error;
    ASSERT_EQ(loadlabelfont(error), 1) << error;
  }
  // The glyphs drawn, as text without spaces; each must be white.
  std::u16string Glyphs() const {
    std::u16string text;
    for (const TRecordedPrimitive& g : OfKind(*recorder, TRecordedPrimitive::IMAGE)) {
      EXPECT_TRUE(SameColour(g.style, 255, 255, 255));
      if (g.frame != u' ') text += char16_t(g.frame);
    }
    return text;
  }
};

TEST_F(HelpPanelTest, ListsEverySectionThenItsControlsInTableOrder) {
  const std::vector<THelpLine> lines = HelpLines();
  size_t at = 0;
  std::string_view section;
  for (const TControl& control : Controls()) {
    if (control.section != section) {
      section = control.section;
      ASSERT_LT(at, lines.size());
      EXPECT_TRUE(lines[at].heading);
      EXPECT_EQ(lines[at++].input, Text(section));
    }
    ASSERT_LT(at, lines.size());
    EXPECT_FALSE(lines[at].heading);
    EXPECT_EQ(lines[at].input, Text(control.input));
    EXPECT_EQ(lines[at++].effect, Text(control.effect));
  }
  EXPECT_EQ(at, lines.size());
}

TEST_F(HelpPanelTest, DrawsEveryLineOverADarkPanelOnlyWhileShown) {
  helppanel panel;
  panel.draw(0, 0, SCREEN_W, SCREEN_H);
  EXPECT_TRUE(recorder->primitives.empty()) << "hidden: nothing";

  panel.toggle();
  panel.draw(0, 0, SCREEN_W, SCREEN_H);
  const std::vector<TRecordedPrimitive> polygons = OfKind(*recorder, TRecordedPrimitive::POLYGON);
  ASSERT_EQ(polygons.size(), 1u);
  const Box back = BoxOf(polygons.front());
  EXPECT_EQ(back.l, 0);
  EXPECT_EQ(back.t, 0);
  EXPECT_EQ(back.r, SCREEN_W);
  EXPECT_EQ(back.b, SCREEN_H);
  EXPECT_LT(polygons.front().style.red + polygons.front().style.green, 64) << "dark";
  std::u16string all;
  for (const THelpLine& line : HelpLines()) all += line.input + line.effect;
  std::erase(all, u' ');
  EXPECT_EQ(Glyphs(), all);
  for (const TRecordedPrimitive& g : OfKind(*recorder, TRecordedPrimitive::IMAGE)) {
    const Box box = BoxOf(g);
    EXPECT_TRUE(box.l >= 0 && box.r <= SCREEN_W && box.t >= 0 && box.b <= SCREEN_H);
  }

  panel.toggle();
  recorder->Forget();
  panel.draw(0, 0, SCREEN_W, SCREEN_H);
  EXPECT_TRUE(recorder->primitives.empty()) << "hidden again";
}

TEST_F(HelpPanelTest, AShortRectangleFlowsTheLinesIntoColumns) {
  helppanel panel;
  panel.toggle();
  constexpr int SHORT = 200;
  panel.draw(0, 0, 4000, SHORT);
  float top = 1e9, bottom = 0, right = 0;
  for (const TRecordedPrimitive& g : OfKind(*recorder, TRecordedPrimitive::IMAGE)) {
    const Box box = BoxOf(g);
    top = std::min(top, box.t);
    bottom = std::max(bottom, box.b);
    right = std::max(right, box.r);
  }
  EXPECT_GE(top, 0);
  EXPECT_LE(bottom, SHORT);
  EXPECT_GT(right, 1500) << "more than one column";
}

}  // namespace
}  // namespace skyloom::testing_panes
