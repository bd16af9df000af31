// Random sequences of splits, merges and window resizes on a recording
// window: the panes keep tiling the area inside the border exactly, edges
// that were shared stay shared, sizing back to the size of the last split or
// merge restores that layout exactly, no pane drops below its smallest size,
// and every camera keeps its centre, zoom and selection.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <map>
#include <random>

#include "app/command_line.h"
#include "app/workspace.h"
#include "input/mouse.h"
#include "runtime/backend_recording.h"
#include "runtime/input.h"

namespace skyloom {
namespace {

constexpr int kSteps = 4000;
constexpr uint32_t kSeed = 20261211;
constexpr int kLargestW = 1900, kLargestH = 1300;

struct Rect {
  int x, y, w, h;
  bool operator==(const Rect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

Rect RectOf(const viewbox& p) {
  return {p.x, p.y, p.w, p.h};
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Inside the area, no overlap, areas adding up to the area's: an exact tiling.
void ExpectTiling(const viewboxList& panes, const TPaneArea& area) {
  int64_t covered = 0;
  for (size_t i = 0; i < panes.size(); ++i) {
    const Rect r = RectOf(*panes[i]);
    ASSERT_GE(r.x, area.x) << r;
    ASSERT_GE(r.y, area.y) << r;
    ASSERT_LE(r.x + r.w, area.x + area.w) << r;
    ASSERT_LE(r.y + r.h, area.y + area.h) << r;
    ASSERT_GE(r.w, panes[i]->smallestw()) << r;
    ASSERT_GE(r.h, panes[i]->smallesth()) << r;
    covered += int64_t(r.w) * r.h;
    for (size_t j = i + 1; j < panes.size(); ++j) {
      ASSERT_FALSE(Overlap(r, RectOf(*panes[j]))) << r << " and " << RectOf(*panes[j]);
    }
  }
  ASSERT_EQ(covered, int64_t(area.w) * area.h);
}

// One edge two panes had in common: a's right or bottom edge is b's left or
// top edge.
struct SharedEdge {
  const viewbox* a;
  const viewbox* b;
  bool vertical;
};

std::vector<SharedEdge> SharedEdges(const viewboxList& panes) {
  std::vector<SharedEdge> edges;
  for (const viewboxRef& a : panes) {
    for (const viewboxRef& b : panes) {
      if (a->x + a->w == b->x) edges.push_back({a.get(), b.get(), true});
      if (a->y + a->h == b->y) edges.push_back({a.get(), b.get(), false});
    }
  }
  return edges;
}

struct View {
  double x, y, zoom;
  bodyRef focus;
  int follow;
  bool operator==(const View&) const = default;
};

View ViewOf(const viewbox& pane) {
  const camera& cam = *dynamic_cast<const spacebox&>(pane).cam;
  return {cam.pos->x, cam.pos->y, cam.zoom, cam.focus, cam.follow};
}

class ResizeProperty : public testing::Test {
 protected:
  void SetUp() override {
    InitPanes();
    loadfollowimages();
    recorder = OpenRecordingWindow(1024, 768);
    recorder->keep = false;
    SetManualClock(100000);
    system = space::Create();
    ws = workspace::Create(system);
  }
  void TearDown() override {
    ProgramInput().Reset();
    UseRealClock();
    CloseDisplay();
  }

  // One frame of the program with the pointer at (x, y), button held or not.
  void Frame(int x, int y, int held) {
    AdvanceManualClock(1000);  // far apart: no double clicks
    for (int b = 1; b <= 3; ++b) ProgramInput().ButtonUp(b);
    if (held) ProgramInput().ButtonDown(held);
    ProgramInput().PointerMoved(x, y);
    updatemouse();
    Cls();
    ws->draw();
    ws->update();
    Flip();
  }

  void ClickRandomButton(std::mt19937& random) {
    const viewboxRef pane = ws->boxes[random() % ws->boxes.size()];
    vbbuttonList buttons = pane->top;
    buttons.insert(buttons.end(), pane->bot.begin(), pane->bot.end());
    const vbbuttonRef button = buttons[random() % buttons.size()];
    const int x = pane->buttonx(*button) + 5;
    const bool on_top = std::find(pane->top.begin(), pane->top.end(), button) != pane->top.end();
    const int y = (on_top ? pane->toprowy() : pane->botrowy()) + 5;
    Frame(x, y, 1 + int(random() % 2));
    Frame(x, y, 0);
  }

  std::shared_ptr<TRecordingBackend> recorder;
  spaceRef system;
  workspaceRef ws;
};

TEST_F(ResizeProperty, SplitsMergesAndResizesKeepTheLayout) {
  std::cout << "seed " << kSeed << "\n";
  std::mt19937 random(kSeed);
  bodyRef sun = body::Create();
  int resizes = 0, layouts = 1, restored = 0, refused_sizes = 0;

  // The layout as last split or merged, and the size it was made at.
  int layout_w = DisplayWidth(), layout_h = DisplayHeight();
  std::vector<Rect> layout_rects;
  std::vector<SharedEdge> layout_edges;
  auto take_layout = [&] {
    layout_w = DisplayWidth();
    layout_h = DisplayHeight();
    layout_rects.clear();
    for (const viewboxRef& p : ws->boxes) layout_rects.push_back(RectOf(*p));
    layout_edges = SharedEdges(ws->boxes);
  };
  take_layout();

  for (int step = 0; step < kSteps; ++step) {
    SCOPED_TRACE(testing::Message() << "step " << step << ", seed " << kSeed);
    const int op = int(random() % 3);
    if (op == 0) {
      const viewboxList before = ws->boxes;
      const std::vector<Rect> rects_before = [&] {
        std::vector<Rect> r;
        for (const viewboxRef& p : before) r.push_back(RectOf(*p));
        return r;
      }();
      // Give each camera a view of its own, to see that resizes keep it.
      for (const viewboxRef& p : ws->boxes) {
        camera& cam = *dynamic_cast<spacebox&>(*p).cam;
        cam.pos->set(double(random() % 2001) - 1000, double(random() % 2001) - 1000);
        cam.zoom = 0.1 + double(random() % 1000) / 100;
        if (random() % 2) {
          cam.focus = sun;
          cam.follow = 0;
        }
      }
      ClickRandomButton(random);
      std::vector<Rect> rects_after;
      for (const viewboxRef& p : ws->boxes) rects_after.push_back(RectOf(*p));
      if (ws->boxes != before || rects_after != rects_before) {
        ++layouts;
        take_layout();
      }
    } else {
      // A new size, now and then below what the layout needs, or back to
      // the size of the last split or merge.
      int w = 320 + int(random() % (kLargestW - 320));
      int h = 240 + int(random() % (kLargestH - 240));
      if (op == 2) {
        w = layout_w;
        h = layout_h;
      }
      std::vector<View> views;
      for (const viewboxRef& p : ws->boxes) views.push_back(ViewOf(*p));
      ResizeRecordingDisplay(w, h);
      Flip();
      int min_w = 0, min_h = 0;
      DisplayMinimumSize(min_w, min_h);
      ASSERT_GE(min_w, MIN_WINDOW_WIDTH);
      ASSERT_GE(min_h, MIN_WINDOW_HEIGHT);
      EXPECT_EQ(DisplayWidth(), std::max(w, min_w));
      EXPECT_EQ(DisplayHeight(), std::max(h, min_h));
      refused_sizes += w < min_w || h < min_h;
      Frame(0, 0, 0);
      ++resizes;
      ASSERT_NO_FATAL_FAILURE(ExpectTiling(ws->boxes, workspace::area()));
      for (const SharedEdge& e : layout_edges) {
        if (e.vertical) {
          ASSERT_EQ(e.a->x + e.a->w, e.b->x) << "a shared vertical edge came apart";
        } else {
          ASSERT_EQ(e.a->y + e.a->h, e.b->y) << "a shared horizontal edge came apart";
        }
      }
      for (size_t i = 0; i < ws->boxes.size(); ++i) {
        ASSERT_EQ(ViewOf(*ws->boxes[i]), views[i]) << "pane " << i;
        const spacebox& pane = dynamic_cast<const spacebox&>(*ws->boxes[i]);
        // The view's centre is drawn at the centre of the pane's content.
        const vect2d centre = pane.cam->worldat(pane.contentx() + pane.contentw() / 2,
                                                pane.contenty() + pane.contenth() / 2);
        ASSERT_EQ(centre.x, pane.cam->pos->x);
        ASSERT_EQ(centre.y, pane.cam->pos->y);
      }
      if (DisplayWidth() == layout_w && DisplayHeight() == layout_h) {
        ++restored;
        std::vector<Rect> now;
        for (const viewboxRef& p : ws->boxes) now.push_back(RectOf(*p));
        ASSERT_EQ(now, layout_rects) << "sizing back did not restore the layout";
      }
    }
    ASSERT_NO_FATAL_FAILURE(ExpectTiling(ws->boxes, workspace::area()));
  }
  std::cout << layouts << " layouts, " << resizes << " resizes (" << refused_sizes
            << " below the smallest size), " << restored << " back to a layout's size\n";
  EXPECT_GT(layouts, 50);
  EXPECT_GT(restored, 500);
  EXPECT_GT(refused_sizes, 10);
}

}  // namespace
}  // namespace skyloom
