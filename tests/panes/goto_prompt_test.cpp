// The go-to prompt: ranking of names, captions of shared names, editing with
// the keys (US layout, Shift), Tab, Enter and Escape, and the band it draws.
#include "panes/goto_prompt.h"

#include "panes/label.h"
#include "panes_fixture.h"

namespace skyloom::testing_panes {
namespace {

constexpr int SHIFT_KEY = 160;

std::vector<std::u16string> Captions(const space& system, const bodyList& bodies) {
  std::vector<std::u16string> captions;
  for (const bodyRef& b : bodies) captions.push_back(bodycaption(system, *b));
  return captions;
}

// Rock (children Moon, Moonlet), Stone (child Moon), Harmony, Lunar moon,
// top-level in that order.
spaceRef Moons() {
  bodyRef rock = MakeBody(u"Rock", 10, 0, 0);
  MakeChild(rock, u"Moon", 2, 30, 0);
  MakeChild(rock, u"Moonlet", 1, 40, 90);
  bodyRef stone = MakeBody(u"Stone", 10, 200, 0);
  MakeChild(stone, u"Moon", 2, 30, 0);
  return MakeSpace({rock, stone, MakeBody(u"Harmony", 5, -200, 0),
                    MakeBody(u"Lunar moon", 5, 0, 200), MakeBody(u"MOON", 3, 0, -200)});
}

TEST(BodyMatches, ExactBeforePrefixBeforeContainsInBodyOrder) {
  const spaceRef system = Moons();
  struct Case {
    std::u16string text;
    std::vector<std::u16string> captions;
  };
  const std::vector<Case> cases = {
      {u"moon", {u"Moon (Rock)", u"Moon (Stone)", u"MOON", u"Moonlet", u"Lunar moon"}},
      {u"MoOnL", {u"Moonlet"}},
      {u"oon", {u"Moon (Rock)", u"Moonlet", u"Moon (Stone)", u"Lunar moon", u"MOON"}},
      {u"r", {u"Rock", u"Harmony", u"Lunar moon"}},
      {u"rock", {u"Rock"}},
      {u" moon", {u"Lunar moon"}},
      {u"pluto", {}},
      {u"",
       {u"Rock", u"Moon (Rock)", u"Moonlet", u"Stone", u"Moon (Stone)", u"Harmony", u"Lunar moon",
        u"MOON"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Captions(*system, bodymatches(*system, c.text)), c.captions)
        << std::string(c.text.begin(), c.text.end());
  }
}

class GotoPromptTest : public PanesTest {
 protected:
  void SetUp() override {
    PanesTest::SetUp();
    std::string error;
    ASSERT_EQ(loadlabelfont(error), 1) << error;
    pane = spacebox::Create(8, 8, 1008, 752, 128, 128);
    pane->cam->view = Moons();
    pane->draw();  // places the camera in the content area
    prompt.openon(pane);
  }

  // Presses each key (with Shift when asked) and lets the prompt read them.
  int Press(std::initializer_list<int> codes, bool shift = false) {
    if (shift) Input().KeyDown(SHIFT_KEY);
    int escaped = 0;
    for (int code : codes) {
      Input().KeyDown(code);
      Input().KeyUp(code);
      escaped |= prompt.takekeys();
    }
    Input().KeyUp(SHIFT_KEY);
    return escaped;
  }

  std::u16string Chosen() const {
    const bodyRef b = prompt.chosen();
    return b ? bodycaption(*pane->cam->view, *b) : u"";
  }

  spaceboxRef pane;
  gotoprompt prompt;
};

TEST_F(GotoPromptTest, KeysTypeTheUsLayoutsCharacters) {
  struct Case {
    std::vector<int> codes;
    bool shift;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {{72, 65, 76}, false, u"hal"},
      {{72, 65, 76}, true, u"HAL"},
      {{49, 50, 48, 32}, false, u"120 "},
      {{49, 50, 48}, true, u"!@)"},
      {{186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222}, false, u";=,-./`[\\]'"},
      {{186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222}, true, u":+<_>?~{|}\""},
      {{96, 105, 106, 107, 109, 110, 111}, true, u"09*+-./"},
      {{112, 37, 160, 20, 46}, false, u""},  // F1, an arrow, Shift, Caps Lock, Delete
  };
  for (const Case& c : cases) {
    prompt.openon(pane);
    for (int code : c.codes) Press({code}, c.shift);
    EXPECT_EQ(prompt.text, c.text);
    EXPECT_TRUE(prompt.open);
  }
}

TEST_F(GotoPromptTest, BackspaceTabAndTheBestMatch) {
  Press({77, 79, 79});  // moo
  EXPECT_EQ(Chosen(), u"Moon (Rock)");
  EXPECT_EQ(prompt.hint(), u"n (Rock)");
  Press({9});
  EXPECT_EQ(Chosen(), u"Moonlet");
  Press({9, 9, 9});
  EXPECT_EQ(Chosen(), u"Lunar moon");
  EXPECT_EQ(prompt.hint(), u"  Lunar moon") << "a match inside the name is shown whole";
  Press({9});
  EXPECT_EQ(Chosen(), u"Moon (Rock)") << "Tab wraps round";
  Press({9, 8});
  EXPECT_EQ(prompt.text, u"mo");
  EXPECT_EQ(Chosen(), u"Moon (Rock)") << "editing goes back to the best match";
  Press({8, 8, 8});
  EXPECT_EQ(prompt.text, u"");
  EXPECT_EQ(Chosen(), u"Rock");
}

TEST_F(GotoPromptTest, EnterSelectsAndFollowsTheMatchLikeADoubleClick) {
  Press({83, 84});  // st
  Press({13});
  EXPECT_FALSE(prompt.open);
  const camera& cam = *pane->cam;
  ASSERT_TRUE(cam.focus);
  EXPECT_EQ(cam.focus->name, u"Stone");
  EXPECT_EQ(cam.follow, 1);
  EXPECT_EQ(cam.pos->x, 200);
  EXPECT_EQ(cam.pos->y, 0);
}

TEST_F(GotoPromptTest, WithoutAMatchEnterDoesNothing) {
  pane->cam->focus = nullptr;
  Press({80, 76, 85});  // plu
  EXPECT_EQ(prompt.hint(), std::u16string(u" ") + PROMPT_NO_MATCH);
  Press({13});
  EXPECT_TRUE(prompt.open);
  EXPECT_EQ(pane->cam->focus, nullptr);
  EXPECT_EQ(pane->cam->follow, 0);
}

TEST_F(GotoPromptTest, EscapeClosesAndNothingElse) {
  pane->cam->zoom = 2;
  Press({72});
  EXPECT_EQ(Press({27}), 1);
  EXPECT_FALSE(prompt.open);
  EXPECT_EQ(pane->cam->focus, nullptr);
  EXPECT_EQ(pane->cam->zoom, 2);
  EXPECT_EQ(Press({72}), 0) << "a closed prompt reads nothing";
  EXPECT_EQ(prompt.text, u"");
}

TEST_F(GotoPromptTest, DrawsADarkBandWithTheTextAtTheBottomOfTheContent) {
  Press({82, 77});  // rm: nothing starts with it, Harmony holds it
  recorder->Forget();
  prompt.draw();
  const std::vector<TRecordedPrimitive> polygons = OfKind(*recorder, TRecordedPrimitive::POLYGON);
  ASSERT_EQ(polygons.size(), 1u);
  const Box band = BoxOf(polygons.front());
  const camera& cam = *pane->cam;
  EXPECT_EQ(band.l, cam.x);
  EXPECT_EQ(band.r, cam.x + cam.w);
  EXPECT_EQ(band.b, cam.y + cam.h);
  EXPECT_LT(polygons.front().style.red + polygons.front().style.green, 128) << "dark";
  const TViewport& clip = polygons.front().style.viewport;
  EXPECT_EQ(clip.x, cam.x);
  EXPECT_EQ(clip.w, cam.w) << "nothing spills into the next pane";
  std::u16string white, grey;
  for (const TRecordedPrimitive& g : OfKind(*recorder, TRecordedPrimitive::IMAGE)) {
    EXPECT_GE(BoxOf(g).t, band.t);
    EXPECT_LE(BoxOf(g).b, band.b);
    (SameColour(g.style, 255, 255, 255) ? white : grey) += char16_t(g.frame);
  }
  EXPECT_EQ(white, u"Go to: rm");
  EXPECT_EQ(grey, u"  Harmony");

  prompt.close();
  recorder->Forget();
  prompt.draw();
  EXPECT_TRUE(recorder->primitives.empty());
}

}  // namespace
}  // namespace skyloom::testing_panes
