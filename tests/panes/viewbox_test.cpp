// Tiling panes: where the buttons stand and what they draw, when a click
// splits a pane and into what, which neighbours a merge swallows, and the
// neighbour searches behind merging.
#include <utility>

#include "panes_fixture.h"

namespace skyloom::testing_panes {
namespace {

using PaneButtons = PanesTest;

// The first pane of a 1024 x 768 screen.
spaceboxRef FirstPane() {
  return spacebox::Create(8, 8, 1008, 752, 128, 128);
}

TEST_F(PaneButtons, StandInTheirSlotsOfTheTopAndBottomRows) {
  spaceboxRef pane = FirstPane();
  ASSERT_EQ(pane->top.size(), 3u);
  ASSERT_EQ(pane->bot.size(), 4u);
  const int top_y = 9, bot_y = 8 + 752 - 1 - 11;
  const struct {
    const char* name;
    vbbuttonRef button;
    int x, y;
  } cases[] = {
      {"follow", pane->follow, 9, top_y},      {"merge_u", pane->merge_u, 993, top_y},
      {"merge_r", pane->merge_r, 1004, top_y}, {"merge_l", pane->merge_l, 9, bot_y},
      {"merge_d", pane->merge_d, 20, bot_y},   {"split_h", pane->split_h, 993, bot_y},
      {"split_v", pane->split_v, 1004, bot_y},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ButtonX(*pane, c.button), c.x);
    EXPECT_EQ(ButtonY(*pane, c.button), c.y);
    // Pressing inside any corner of the 11 x 11 square hits this button and
    // no other; one pixel right of or below it misses it.
    const std::pair<int, int> hits[] = {{0, 0}, {10, 0}, {0, 10}, {10, 10}};
    for (auto [dx, dy] : hits) {
      MoveTo(c.x + dx, c.y + dy);
      Input().ButtonDown(MOUSE_LEFT);
      Frame();
      pane->updatebuttons(pane->top, pane->toprowy());
      pane->updatebuttons(pane->bot, pane->botrowy());
      for (const auto& other : cases) {
        EXPECT_EQ(other.button->state, other.button == c.button ? MOUSE_LEFT : 0)
            << other.name << " pressed at +" << dx << ",+" << dy;
      }
      Input().ButtonUp(MOUSE_LEFT);
      Frame();
    }
    const std::pair<int, int> misses[] = {{11, 5}, {5, 11}, {-1, 5}, {5, -1}};
    for (auto [dx, dy] : misses) {
      MoveTo(c.x + dx, c.y + dy);
      Input().ButtonDown(MOUSE_LEFT);
      Frame();
      pane->updatebuttons(pane->top, pane->toprowy());
      pane->updatebuttons(pane->bot, pane->botrowy());
      EXPECT_EQ(c.button->state, 0) << "pressed at +" << dx << ",+" << dy;
      Input().ButtonUp(MOUSE_LEFT);
      Frame();
    }
  }
}

TEST_F(PaneButtons, StateIsTheFirstMouseButtonPressedThisFrameAndOnlyThisFrame) {
  spaceboxRef pane = FirstPane();
  MoveTo(ButtonX(*pane, pane->split_h) + 3, ButtonY(*pane, pane->split_h) + 3);
  Input().ButtonDown(MOUSE_MIDDLE);
  Input().ButtonDown(MOUSE_RIGHT);
  Frame();
  pane->updatebuttons(pane->bot, pane->botrowy());
  EXPECT_EQ(pane->split_h->state, MOUSE_RIGHT);
  Frame();  // still held, but pressed in the previous frame
  pane->updatebuttons(pane->bot, pane->botrowy());
  EXPECT_EQ(pane->split_h->state, 0);
}

TEST_F(PaneButtons, DrawTheGreyFrameRoundTheContentThenEveryIconAtItsSlot) {
  spaceboxRef pane = FirstPane();
  recorder->Forget();
  pane->draw();
  ASSERT_FALSE(recorder->primitives.empty());
  // The frame round the content area (11, 22, 1002, 724) as four strips:
  // above, below, left and right of it, the content itself left unfilled.
  const struct {
    float l, t, r, b;
  } strips[] = {{9, 9, 1015, 22}, {9, 746, 1015, 759}, {9, 22, 11, 746}, {1013, 22, 1015, 746}};
  ASSERT_GE(recorder->primitives.size(), std::size(strips));
  for (size_t i = 0; i < std::size(strips); ++i) {
    SCOPED_TRACE(i);
    const TRecordedPrimitive& strip = recorder->primitives[i];
    EXPECT_EQ(strip.kind, TRecordedPrimitive::POLYGON);
    EXPECT_TRUE(SameColour(strip.style, 128, 128, 128));
    const Box box = BoxOf(strip);
    EXPECT_FLOAT_EQ(box.l, strips[i].l);
    EXPECT_FLOAT_EQ(box.t, strips[i].t);
    EXPECT_FLOAT_EQ(box.r, strips[i].r);
    EXPECT_FLOAT_EQ(box.b, strips[i].b);
  }

  // Top row, then bottom row, each in the order the buttons were added.
  std::vector<vbbuttonRef> order = pane->top;
  order.insert(order.end(), pane->bot.begin(), pane->bot.end());
  // Frame, seven icons, then the content: the camera's clear.
  ASSERT_EQ(recorder->primitives.size(), std::size(strips) + order.size() + 1);
  EXPECT_EQ(recorder->primitives.back().kind, TRecordedPrimitive::CLEAR);
  const std::vector<TRecordedPrimitive> images = OfKind(*recorder, TRecordedPrimitive::IMAGE);
  ASSERT_EQ(images.size(), order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(images[i].image, order[i]->image.get());
    const Box at = BoxOf(images[i]);
    EXPECT_FLOAT_EQ(at.l, float(ButtonX(*pane, order[i])));
    EXPECT_FLOAT_EQ(at.t, float(ButtonY(*pane, order[i])));
    EXPECT_FLOAT_EQ(at.w(), 11);
    EXPECT_FLOAT_EQ(at.h(), 11);
    // Drawn with the frame's grey, so the white marks show grey.
    EXPECT_TRUE(SameColour(images[i].style, 128, 128, 128));
  }
}

// --- Splitting --------------------------------------------------------------------

using PaneSplit = PanesTest;

struct SplitCase {
  const char* name;
  int w, h;
  bool vertical_button;  // split_v rather than split_h
  int mouse_button;
  std::vector<Rect> after;  // the list afterwards, in order
};

TEST_F(PaneSplit, ThresholdsAndResultingRectangles) {
  const SplitCase cases[] = {
      {"two side by side at 394",
       394,
       400,
       false,
       MOUSE_LEFT,
       {{205, 8, 197, 400}, {8, 8, 197, 400}}},
      {"two side by side refused at 393", 393, 400, false, MOUSE_LEFT, {{8, 8, 393, 400}}},
      {"two above each other at 306",
       400,
       306,
       true,
       MOUSE_LEFT,
       {{8, 161, 400, 153}, {8, 8, 400, 153}}},
      {"two above each other refused at 305", 400, 305, true, MOUSE_LEFT, {{8, 8, 400, 305}}},
      {"three side by side at 591",
       591,
       400,
       false,
       MOUSE_RIGHT,
       {{402, 8, 197, 400}, {205, 8, 197, 400}, {8, 8, 197, 400}}},
      {"three side by side refused at 590", 590, 400, false, MOUSE_RIGHT, {{8, 8, 590, 400}}},
      {"three above each other at 459",
       400,
       459,
       true,
       MOUSE_RIGHT,
       {{8, 314, 400, 153}, {8, 161, 400, 153}, {8, 8, 400, 153}}},
      {"three above each other refused at 458", 400, 458, true, MOUSE_RIGHT, {{8, 8, 400, 458}}},
      {"width 1009 keeps 504 and gives 505",
       1009,
       752,
       false,
       MOUSE_LEFT,
       {{512, 8, 505, 752}, {8, 8, 504, 752}}},
      {"three of 1010 give the rest to the last",
       1010,
       752,
       false,
       MOUSE_RIGHT,
       {{680, 8, 338, 752}, {344, 8, 336, 752}, {8, 8, 336, 752}}},
      {"middle click splits nothing", 1008, 752, false, MOUSE_MIDDLE, {{8, 8, 1008, 752}}},
      {"middle click splits nothing vertically",
       1008,
       752,
       true,
       MOUSE_MIDDLE,
       {{8, 8, 1008, 752}}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    spaceboxRef pane = spacebox::Create(8, 8, c.w, c.h, 128, 128);
    viewboxList panes = {pane};
    ClickButton(panes, *pane, c.vertical_button ? pane->split_v : pane->split_h, c.mouse_button);
    EXPECT_EQ(RectsOf(panes), c.after);
    EXPECT_EQ(panes.back(), pane) << "the splitting pane keeps the first part";
    for (const viewboxRef& p : panes) {
      EXPECT_EQ(p->minw, 128);
      EXPECT_EQ(p->minh, 128);
    }
  }
}

TEST_F(PaneSplit, SideBySideAndMergedBackOnTheFullScreen) {
  spaceboxRef first = FirstPane();
  viewboxList panes = {first};
  ClickButton(panes, *first, first->split_h, MOUSE_LEFT);
  ASSERT_EQ(panes.size(), 2u);
  EXPECT_EQ(panes[1], first);
  EXPECT_EQ(RectOf(*panes[0]), (Rect{512, 8, 504, 752}));
  EXPECT_EQ(RectOf(*panes[1]), (Rect{8, 8, 504, 752}));

  ClickButton(panes, *first, first->merge_r, MOUSE_LEFT);
  ASSERT_EQ(panes.size(), 1u);
  EXPECT_EQ(panes[0], first);
  EXPECT_EQ(RectOf(*first), (Rect{8, 8, 1008, 752}));
}

TEST_F(PaneSplit, ASpacePaneSplitsIntoSpacePanesWithACopyOfItsCamera) {
  spaceboxRef first = FirstPane();
  bodyRef sol = MakeBody(u"Sol", 17, 0, 0);
  first->cam->view = MakeSpace({sol});
  first->cam->focus = sol;
  first->cam->zoom = 2.5;
  first->cam->pos->set(30, -40);
  viewboxList panes = {first};
  ClickButton(panes, *first, first->split_v, MOUSE_RIGHT);
  ASSERT_EQ(panes.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    auto made = std::dynamic_pointer_cast<spacebox>(panes[i]);
    ASSERT_TRUE(made) << "a split of a space pane makes space panes";
    ASSERT_TRUE(made->follow) << "with their own follow button";
    EXPECT_EQ(made->top.size(), 3u);
    ASSERT_NE(made->cam, first->cam);
    EXPECT_NE(made->cam->pos, first->cam->pos) << "a copy of the position, not the same one";
    EXPECT_EQ(made->cam->pos->x, 30);
    EXPECT_EQ(made->cam->pos->y, -40);
    EXPECT_EQ(made->cam->zoom, 2.5);
    EXPECT_EQ(made->cam->view, first->cam->view);
    EXPECT_EQ(made->cam->focus, sol);
  }
  EXPECT_NE(panes[0], panes[1]);
  EXPECT_NE(std::dynamic_pointer_cast<spacebox>(panes[0])->cam,
            std::dynamic_pointer_cast<spacebox>(panes[1])->cam);
}

TEST_F(PaneSplit, APlainPaneSplitsIntoPlainPanes) {
  viewboxRef pane = viewbox::Create(8, 8, 1008, 752, 0, 0);
  viewboxList panes = {pane};
  ClickButton(panes, *pane, pane->split_h, MOUSE_LEFT);
  ASSERT_EQ(panes.size(), 2u);
  EXPECT_FALSE(std::dynamic_pointer_cast<spacebox>(panes[0]));
  EXPECT_EQ(panes[0]->top.size(), 2u);
  // Without a follow button or minimum sizes: 2 + 22 + 44 = 68 is the bar.
  viewboxRef small = viewbox::Create(0, 0, 138, 100, 0, 0);
  panes = {small};
  ClickButton(panes, *small, small->split_h, MOUSE_LEFT);
  EXPECT_EQ(panes.size(), 2u);
  small = viewbox::Create(0, 0, 137, 100, 0, 0);
  panes = {small};
  ClickButton(panes, *small, small->split_h, MOUSE_LEFT);
  EXPECT_EQ(panes.size(), 1u);
}

// --- Merging ----------------------------------------------------------------------

using PaneMerge = PanesTest;

enum Side { UP, DOWN, LEFT, RIGHT };

vbbuttonRef MergeButton(const viewbox& p, Side side) {
  switch (side) {
    case UP:
      return p.merge_u;
    case DOWN:
      return p.merge_d;
    case LEFT:
      return p.merge_l;
    case RIGHT:
      return p.merge_r;
  }
  return nullptr;
}

struct MergeCase {
  const char* name;
  std::vector<Rect> panes;  // the first one merges
  Side side;
  int mouse_button;
  Rect grown;                  // the merging pane afterwards
  std::vector<int> survivors;  // indices into panes still listed, in order
};

TEST_F(PaneMerge, GrowsOverLinedUpNeighboursAndRemovesWhatLiesInside) {
  const MergeCase cases[] = {
      {"up over two narrower panes does nothing",
       {{100, 300, 400, 200}, {100, 100, 150, 200}, {250, 150, 200, 150}},
       UP,
       MOUSE_LEFT,
       {100, 300, 400, 200},
       {0, 1, 2}},
      {"up over two covering panes reaches the top of the taller",
       {{100, 300, 400, 200}, {100, 100, 150, 200}, {250, 150, 250, 150}},
       UP,
       MOUSE_LEFT,
       {100, 100, 400, 400},
       {0}},
      {"up also removes a pane inside that does not touch, keeps others",
       {{100, 300, 400, 200},
        {100, 100, 150, 200},
        {250, 150, 250, 150},
        {250, 100, 250, 50},
        {500, 100, 100, 400},
        {100, 0, 400, 100}},
       UP,
       MOUSE_LEFT,
       {100, 100, 400, 400},
       {0, 4, 5}},
      {"up refused when a pane lies partly inside",
       {{100, 300, 400, 200}, {100, 100, 150, 200}, {250, 200, 250, 100}, {250, 50, 250, 150}},
       UP,
       MOUSE_LEFT,
       {100, 300, 400, 200},
       {0, 1, 2, 3}},
      {"up in a grid of four, beside a pane whose bottom is level with its top",
       {{8, 384, 504, 376}, {8, 8, 504, 376}, {512, 8, 504, 376}, {512, 384, 504, 376}},
       UP,
       MOUSE_LEFT,
       {8, 8, 504, 752},
       {0, 2, 3}},
      {"down in a grid of four",
       {{8, 8, 504, 376}, {512, 8, 504, 376}, {8, 384, 504, 376}, {512, 384, 504, 376}},
       DOWN,
       MOUSE_LEFT,
       {8, 8, 504, 752},
       {0, 1, 3}},
      {"left in a grid of four",
       {{512, 8, 504, 376}, {8, 8, 504, 376}, {8, 384, 504, 376}, {512, 384, 504, 376}},
       LEFT,
       MOUSE_LEFT,
       {8, 8, 1008, 376},
       {0, 2, 3}},
      {"right in a grid of four",
       {{8, 8, 504, 376}, {512, 8, 504, 376}, {8, 384, 504, 376}, {512, 384, 504, 376}},
       RIGHT,
       MOUSE_LEFT,
       {8, 8, 1008, 376},
       {0, 2, 3}},
      {"down reaches the bottom of the farther",
       {{0, 0, 400, 100}, {0, 100, 200, 300}, {200, 100, 200, 200}, {200, 300, 200, 100}},
       DOWN,
       MOUSE_LEFT,
       {0, 0, 400, 400},
       {}},
      {"down over neighbours wider than the pane does nothing",
       {{0, 0, 400, 100}, {0, 100, 500, 300}},
       DOWN,
       MOUSE_LEFT,
       {0, 0, 400, 100},
       {0, 1}},
      {"left over one pane of the same rows",
       {{512, 8, 504, 752}, {8, 8, 504, 752}},
       LEFT,
       MOUSE_LEFT,
       {8, 8, 1008, 752},
       {}},
      {"left over two stacked panes",
       {{512, 8, 504, 752}, {8, 8, 504, 376}, {8, 384, 504, 376}},
       LEFT,
       MOUSE_LEFT,
       {8, 8, 1008, 752},
       {}},
      {"left over a pane taller than the pane does nothing",
       {{512, 8, 504, 376}, {8, 8, 504, 752}, {512, 384, 504, 376}},
       LEFT,
       MOUSE_LEFT,
       {512, 8, 504, 376},
       {0, 1, 2}},
      {"right over two stacked panes of different widths",
       {{8, 8, 504, 752}, {512, 8, 200, 376}, {512, 384, 504, 376}, {712, 8, 304, 376}},
       RIGHT,
       MOUSE_LEFT,
       {8, 8, 1008, 752},
       {}},
      {"right refused when a pane lies partly inside",
       {{8, 8, 504, 752}, {512, 8, 200, 376}, {512, 384, 504, 376}, {712, 8, 400, 376}},
       RIGHT,
       MOUSE_LEFT,
       {8, 8, 504, 752},
       {0, 1, 2, 3}},
      {"right click does not merge",
       {{8, 8, 504, 752}, {512, 8, 504, 752}},
       RIGHT,
       MOUSE_RIGHT,
       {8, 8, 504, 752},
       {0, 1}},
      {"middle click does not merge",
       {{8, 8, 504, 752}, {8, 8 + 752, 504, 752}},
       DOWN,
       MOUSE_MIDDLE,
       {8, 8, 504, 752},
       {0, 1}},
      {"right click does not merge up",
       {{8, 400, 504, 360}, {8, 8, 504, 392}},
       UP,
       MOUSE_RIGHT,
       {8, 400, 504, 360},
       {0, 1}},
      {"screen edge above", {{8, 8, 1008, 752}}, UP, MOUSE_LEFT, {8, 8, 1008, 752}, {0}},
      {"screen edge below", {{8, 8, 1008, 752}}, DOWN, MOUSE_LEFT, {8, 8, 1008, 752}, {0}},
      {"screen edge left", {{8, 8, 1008, 752}}, LEFT, MOUSE_LEFT, {8, 8, 1008, 752}, {0}},
      {"screen edge right", {{8, 8, 1008, 752}}, RIGHT, MOUSE_LEFT, {8, 8, 1008, 752}, {0}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    viewboxList panes;
    for (const Rect& r : c.panes) panes.push_back(spacebox::Create(r.x, r.y, r.w, r.h, 128, 128));
    const viewboxList before = panes;
    const viewboxRef merging = panes[0];
    ClickButton(panes, *merging, MergeButton(*merging, c.side), c.mouse_button);
    EXPECT_EQ(RectOf(*merging), c.grown);
    viewboxList expected;
    for (int i : c.survivors) expected.push_back(before[i]);
    if (!Holds(expected, merging)) expected.insert(expected.begin(), merging);
    EXPECT_EQ(panes, expected);
    for (size_t i = 1; i < before.size(); ++i) {
      EXPECT_EQ(RectOf(*before[i]), c.panes[i]) << "pane " << i << " is never resized";
    }
  }
}

// --- Neighbour searches -----------------------------------------------------------

struct FindCase {
  const char* name;
  int args[8];  // minleft, maxright, mintop, maxbottom, left, top, right, bottom
  std::vector<int> found;
  int minx, miny, maxx, maxy;
};

TEST(PaneSearch, FindBoxesKeepsThePanesMeetingEveryGivenCondition) {
  // Two rows: 0 and 1 above, 2 and 3 below.
  const Rect rects[] = {{0, 0, 100, 50}, {100, 0, 200, 50}, {0, 50, 150, 70}, {150, 50, 150, 30}};
  viewboxList panes;
  for (const Rect& r : rects) panes.push_back(viewbox::Create(r.x, r.y, r.w, r.h, 0, 0));
  const FindCase cases[] = {
      {"no condition", {-1, -1, -1, -1, -1, -1, -1, -1}, {0, 1, 2, 3}, 0, 0, 300, 120},
      {"minleft", {100, -1, -1, -1, -1, -1, -1, -1}, {1, 3}, 100, 0, 300, 80},
      {"maxright", {-1, 150, -1, -1, -1, -1, -1, -1}, {0, 2}, 0, 0, 150, 120},
      {"mintop", {-1, -1, 50, -1, -1, -1, -1, -1}, {2, 3}, 0, 50, 300, 120},
      {"maxbottom", {-1, -1, -1, 80, -1, -1, -1, -1}, {0, 1, 3}, 0, 0, 300, 80},
      {"left", {-1, -1, -1, -1, 150, -1, -1, -1}, {3}, 150, 50, 300, 80},
      {"top", {-1, -1, -1, -1, -1, 50, -1, -1}, {2, 3}, 0, 50, 300, 120},
      {"right", {-1, -1, -1, -1, -1, -1, 300, -1}, {1, 3}, 100, 0, 300, 80},
      {"bottom", {-1, -1, -1, -1, -1, -1, -1, 50}, {0, 1}, 0, 0, 300, 50},
      {"all at once", {0, 150, 50, 120, 0, 50, 150, 120}, {2}, 0, 50, 150, 120},
      {"none", {-1, -1, -1, -1, 7, -1, -1, -1}, {}, 0, 0, 0, 0},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int* a = c.args;
    const vbinfo info = viewbox::findboxes(panes, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
    viewboxList expected;
    for (int i : c.found) expected.push_back(panes[i]);
    EXPECT_EQ(info.list, expected);
    EXPECT_EQ(info.count, int(c.found.size()));
    EXPECT_EQ(info.minx, c.minx);
    EXPECT_EQ(info.miny, c.miny);
    EXPECT_EQ(info.maxx, c.maxx);
    EXPECT_EQ(info.maxy, c.maxy);
  }
  // Wholly inside, edges included; a pane sticking out by one pixel is not.
  EXPECT_EQ(viewbox::findboxesin(panes, 0, 0, 300, 80),
            (viewboxList{panes[0], panes[1], panes[3]}));
  EXPECT_EQ(viewbox::findboxesin(panes, 1, 0, 300, 80), (viewboxList{panes[1], panes[3]}));
  EXPECT_TRUE(viewbox::findboxesin(panes, 0, 0, 299, 49).empty());
}

}  // namespace
}  // namespace skyloom::testing_panes
