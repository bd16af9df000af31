// The shared start of the pane tests: a 1024 x 768 display without a window,
// a clock set by hand, the pane icons loaded, and helpers that script whole
// frames of mouse input and run every pane's update the way the workspace does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "input/mouse.h"
#include "model/body.h"
#include "model/space.h"
#include "panes/camera.h"
#include "panes/spacebox.h"
#include "panes/viewbox.h"
#include "runtime/backend_recording.h"
#include "runtime/display.h"
#include "runtime/input.h"

namespace skyloom::testing_panes {

constexpr int SCREEN_W = 1024;
constexpr int SCREEN_H = 768;
// Far from clock reading 0, so that the first press is no double click.
constexpr int START_MS = 1'000'000;
// Milliseconds between two scripted frames: well inside a double click.
constexpr int FRAME_MS = 40;
// Longer than a double click.
constexpr int LONG_AFTER_MS = 1000;

// A pane rectangle, for comparing panes with expectations.
struct Rect {
  int x, y, w, h;
  bool operator==(const Rect&) const = default;
};

inline Rect RectOf(const viewbox& p) {
  return {p.x, p.y, p.w, p.h};
}

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

inline std::vector<Rect> RectsOf(const viewboxList& panes) {
  std::vector<Rect> rects;
  for (const viewboxRef& p : panes) rects.push_back(RectOf(*p));
  return rects;
}

inline bool Holds(const viewboxList& panes, const viewboxRef& pane) {
  return std::find(panes.begin(), panes.end(), pane) != panes.end();
}

// The workspace's update pass: every pane present when the pass begins and
// still present at its turn is updated once, in list order.
inline void UpdatePanes(viewboxList& panes) {
  const viewboxList snapshot = panes;
  for (const viewboxRef& p : snapshot) {
    if (Holds(panes, p)) p->update(panes);
  }
}

inline void DrawPanes(const viewboxList& panes) {
  for (const viewboxRef& p : panes) p->draw();
}

// Top-left corner of a button of a pane.
inline int ButtonX(const viewbox& pane, const vbbuttonRef& button) {
  return pane.buttonx(*button);
}
inline int ButtonY(const viewbox& pane, const vbbuttonRef& button) {
  for (const vbbuttonRef& b : pane.top) {
    if (b == button) return pane.toprowy();
  }
  return pane.botrowy();
}

class PanesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder = OpenRecordingDisplay(SCREEN_W, SCREEN_H);
    SetManualClock(START_MS);
    ASSERT_EQ(InitPanes(), 1);
    ASSERT_EQ(loadfollowimages(), 1);
  }
  void TearDown() override {
    CloseDisplay();
    UseRealClock();
  }

  static TInputState& Input() { return ProgramInput(); }

  // The top of a new frame: time moves on, then the mouse is sampled.
  static void Frame(int ms = FRAME_MS) {
    AdvanceManualClock(ms);
    updatemouse();
  }
  static void MoveTo(int x, int y) { Input().PointerMoved(x, y); }

  // A frame in which button goes down at (x, y), long after any earlier
  // press, then one in which it is let go; after each, update runs (the
  // panes' or a camera's).
  template <typename Update>
  static void Click(int button, int x, int y, Update&& update) {
    MoveTo(x, y);
    Input().ButtonDown(button);
    Frame(LONG_AFTER_MS);
    update();
    Input().ButtonUp(button);
    Frame();
    update();
  }
  // Two left clicks at (x, y) two frames apart: the second press is a double
  // click.
  template <typename Update>
  static void DoubleClick(int x, int y, Update&& update) {
    Click(MOUSE_LEFT, x, y, update);
    Input().ButtonDown(MOUSE_LEFT);
    Frame();
    update();
    Input().ButtonUp(MOUSE_LEFT);
    Frame();
    update();
  }

  // Clicks the middle of one button of a pane, updating every pane.
  static void ClickButton(viewboxList& panes, const viewbox& pane, const vbbuttonRef& button,
                          int mouse_button) {
    Click(mouse_button, ButtonX(pane, button) + 5, ButtonY(pane, button) + 5,
          [&] { UpdatePanes(panes); });
  }

  std::shared_ptr<TRecordingBackend> recorder;
};

// Bodies for camera and label tests.
inline bodyRef MakeBody(const std::u16string& name, double radius, double x, double y) {
  bodyRef b = body::Create();
  b->name = name;
  b->setradius(radius);
  b->setpos(vect2d::Create(x, y));
  return b;
}

// A child on an orbit of that distance and start angle around parent.
inline bodyRef MakeChild(const bodyRef& parent, const std::u16string& name, double radius,
                         double distance, double angle) {
  bodyRef b = body::Create();
  b->name = name;
  b->setradius(radius);
  b->orbit = vect2d::Create(distance, angle);
  b->setparent(parent);
  return b;
}

// A system of the given top-level bodies, placed and listed.
inline spaceRef MakeSpace(const std::vector<bodyRef>& tops) {
  spaceRef s = space::Create();
  s->bodies = tops;
  s->init();
  s->getallbodies();
  return s;
}

// The primitives of one kind, in recording order.
inline std::vector<TRecordedPrimitive> OfKind(const TRecordingBackend& r,
                                              TRecordedPrimitive::Kind kind) {
  std::vector<TRecordedPrimitive> out;
  for (const TRecordedPrimitive& p : r.primitives) {
    if (p.kind == kind) out.push_back(p);
  }
  return out;
}

// The bounding box of a primitive's vertices.
struct Box {
  float l, t, r, b;
  float w() const { return r - l; }
  float h() const { return b - t; }
  float cx() const { return (l + r) / 2; }
  float cy() const { return (t + b) / 2; }
};

inline Box BoxOf(const TRecordedPrimitive& p) {
  Box box{p.vertices[0].x, p.vertices[0].y, p.vertices[0].x, p.vertices[0].y};
  for (const TDrawPoint& v : p.vertices) {
    box.l = std::min(box.l, v.x);
    box.t = std::min(box.t, v.y);
    box.r = std::max(box.r, v.x);
    box.b = std::max(box.b, v.y);
  }
  return box;
}

inline bool SameColour(const TDrawStyle& s, int red, int green, int blue) {
  return s.red == red && s.green == green && s.blue == blue;
}

}  // namespace skyloom::testing_panes
