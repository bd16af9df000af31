// Random clicks on the pane buttons keep the screen tiled: after every frame
// the panes cover the first pane's rectangle exactly, none is smaller than a
// split allows, and each click changes only what its button may change.
#include <cstdint>
#include <iostream>
#include <random>

#include "panes_fixture.h"

namespace skyloom::testing_panes {
namespace {

constexpr Rect kScreen = {8, 8, 1008, 752};
constexpr int kClicks = 10000;
constexpr uint32_t kSeed = 20240611;
// What a split must leave each part: frame and buttons (2 + 22, 44) plus
// the minimum content size 128, and one more.
constexpr int kLeastW = 24 + 44 + 128 + 1;
constexpr int kLeastH = 24 + 128 + 1;

int64_t Area(const Rect& r) {
  return int64_t(r.w) * r.h;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// The panes lie inside the screen rectangle, do not overlap, and their areas
// add up to its area: together they cover it exactly.
void ExpectTiling(const viewboxList& panes) {
  int64_t area = 0;
  for (size_t i = 0; i < panes.size(); ++i) {
    const Rect r = RectOf(*panes[i]);
    ASSERT_GE(r.x, kScreen.x) << r;
    ASSERT_GE(r.y, kScreen.y) << r;
    ASSERT_LE(r.x + r.w, kScreen.x + kScreen.w) << r;
    ASSERT_LE(r.y + r.h, kScreen.y + kScreen.h) << r;
    ASSERT_GE(r.w, kLeastW) << r;
    ASSERT_GE(r.h, kLeastH) << r;
    area += Area(r);
    for (size_t j = i + 1; j < panes.size(); ++j) {
      ASSERT_FALSE(Overlap(r, RectOf(*panes[j]))) << r << " and " << RectOf(*panes[j]);
    }
  }
  ASSERT_EQ(area, Area(kScreen));
}

using TilingProperty = PanesTest;

TEST_F(TilingProperty, RandomButtonClicksKeepThePanesTilingTheScreen) {
  std::cout << "seed " << kSeed << "\n";
  std::mt19937 random(kSeed);
  viewboxList panes = {spacebox::Create(kScreen.x, kScreen.y, kScreen.w, kScreen.h, 128, 128)};
  int splits = 0, merges = 0, refused_merges = 0, most = 1;

  // One frame as the program runs it: mouse, draw every pane, update them.
  auto frame = [&] {
    Frame(500);  // far apart: no click is a double click
    recorder->Forget();
    DrawPanes(panes);
    UpdatePanes(panes);
  };

  for (int click = 0; click < kClicks; ++click) {
    SCOPED_TRACE(testing::Message() << "click " << click << ", seed " << kSeed);
    const viewboxRef pane = panes[random() % panes.size()];
    vbbuttonList buttons = pane->top;
    buttons.insert(buttons.end(), pane->bot.begin(), pane->bot.end());
    ASSERT_EQ(buttons.size(), 7u);
    const vbbuttonRef button = buttons[random() % buttons.size()];
    const int mouse_button = 1 + int(random() % 3);
    const int bx = ButtonX(*pane, button) + int(random() % 11);
    const int by = ButtonY(*pane, button) + int(random() % 11);

    const viewboxList before = panes;
    const std::vector<Rect> rects_before = RectsOf(panes);
    const Rect was = RectOf(*pane);

    MoveTo(bx, by);
    Input().ButtonDown(mouse_button);
    frame();
    ASSERT_NO_FATAL_FAILURE(ExpectTiling(panes));
    const Rect now = RectOf(*pane);
    ASSERT_TRUE(Holds(panes, pane)) << "the clicking pane stays";

    const bool left = mouse_button == MOUSE_LEFT, right = mouse_button == MOUSE_RIGHT;
    const bool split = button == pane->split_h || button == pane->split_v;
    const bool horizontal = button == pane->split_h;
    if (split && (left || right)) {
      const int parts = left ? 2 : 3;
      const int length = horizontal ? was.w : was.h;
      const int bar = horizontal ? kLeastW - 1 : kLeastH - 1;
      if (length / parts > bar) {
        ASSERT_EQ(panes.size(), before.size() + parts - 1) << "a split that fits happens";
        const int part = length / parts;
        ASSERT_EQ(now, horizontal ? (Rect{was.x, was.y, part, was.h})
                                  : (Rect{was.x, was.y, was.w, part}));
        for (int k = 0; k < parts - 1; ++k) {
          ASSERT_TRUE(std::dynamic_pointer_cast<spacebox>(panes[k]));
        }
        ++splits;
      } else {
        ASSERT_EQ(panes, before);
        ASSERT_EQ(RectsOf(panes), rects_before);
      }
    } else if (button == pane->merge_u || button == pane->merge_d || button == pane->merge_l ||
               button == pane->merge_r) {
      if (!left || panes.size() == before.size()) {
        ASSERT_EQ(panes, before) << "nothing but a left click merges";
        ASSERT_EQ(RectsOf(panes), rects_before);
        if (left) ++refused_merges;
      } else {
        // Panes are only removed, and the pane grows on the clicked side only.
        ASSERT_LT(panes.size(), before.size());
        for (const viewboxRef& p : panes) ASSERT_TRUE(Holds(before, p));
        const int left_edge = now.x, right_edge = now.x + now.w;
        const int top_edge = now.y, bottom_edge = now.y + now.h;
        const bool up = button == pane->merge_u, down = button == pane->merge_d;
        const bool to_left = button == pane->merge_l, to_right = button == pane->merge_r;
        ASSERT_EQ(left_edge == was.x, !to_left);
        ASSERT_EQ(right_edge == was.x + was.w, !to_right);
        ASSERT_EQ(top_edge == was.y, !up);
        ASSERT_EQ(bottom_edge == was.y + was.h, !down);
        ++merges;
      }
    } else {
      // The follow button, or a middle click on a split button.
      ASSERT_EQ(panes, before);
      ASSERT_EQ(RectsOf(panes), rects_before);
    }
    most = std::max(most, int(panes.size()));

    // The release frame changes nothing.
    const viewboxList pressed = panes;
    const std::vector<Rect> rects_pressed = RectsOf(panes);
    Input().ButtonUp(mouse_button);
    frame();
    ASSERT_EQ(panes, pressed);
    ASSERT_EQ(RectsOf(panes), rects_pressed);
  }
  std::cout << splits << " splits, " << merges << " merges, " << refused_merges
            << " refused left-click merges, at most " << most << " panes\n";
  // The run must have exercised both directions many times.
  EXPECT_GT(splits, 300);
  EXPECT_GT(merges, 300);
  EXPECT_GT(refused_merges, 300);
  EXPECT_GT(most, 10);
}

}  // namespace
}  // namespace skyloom::testing_panes
