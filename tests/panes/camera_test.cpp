// The camera: the world-to-screen mapping, the zoom steps and their limits,
// panning, hovering, selecting and following, and what render draws: the
// clear, the discs with their halos and the orbit outlines.
#include <cmath>

#include "panes_fixture.h"

namespace skyloom::testing_panes {
namespace {

// An odd-sized rectangle, so that its centre (300, 200) shows the integer
// division of w and h.
constexpr int CX = 100, CY = 50, CW = 401, CH = 301;
constexpr int MIDX = 300, MIDY = 200;

class CameraTest : public PanesTest {
 protected:
  void SetUp() override {
    PanesTest::SetUp();
    cam = camera::Create();
    cam->setbounds(CX, CY, CW, CH);
  }

  // One frame of camera input.
  void Step() {
    Frame();
    cam->update();
  }
  void Wheel(int notches) {
    Input().WheelMoved(notches);
    Step();
  }
  void Key(int code) {
    Input().KeyDown(code);
    Step();
    Input().KeyUp(code);
  }
  void Render() {
    recorder->Forget();
    cam->render();
  }
  auto Updater() {
    return [this] { cam->update(); };
  }
  std::vector<TRecordedPrimitive> Polygons() const {
    return OfKind(*recorder, TRecordedPrimitive::POLYGON);
  }
  std::vector<TRecordedPrimitive> Lines() const {
    return OfKind(*recorder, TRecordedPrimitive::LINE);
  }

  cameraRef cam;
};

// The world point shown at a screen point, worked out from the mapping.
vect2d WorldAt(const camera& c, double sx, double sy) {
  return vect2d((sx - MIDX) / c.zoom + c.pos->x, (sy - MIDY) / c.zoom + c.pos->y);
}

TEST_F(CameraTest, MapsWorldPointsAroundTheRectanglesIntegerCentre) {
  bodyRef b = MakeBody(u"B", 5, 15, -10);
  cam->view = MakeSpace({b});
  cam->pos->set(10, -20);
  cam->zoom = 2;
  const vect2d at = cam->worldat(310, 220);
  EXPECT_DOUBLE_EQ(at.x, 15);
  EXPECT_DOUBLE_EQ(at.y, -10);

  Render();
  const std::vector<TRecordedPrimitive> discs = Polygons();
  ASSERT_EQ(discs.size(), 1u);
  const Box disc = BoxOf(discs[0]);
  EXPECT_NEAR(disc.cx(), 310, 1e-3);  // (15 - 10) x 2 + 300
  EXPECT_NEAR(disc.cy(), 220, 1e-3);  // (-10 + 20) x 2 + 200
  EXPECT_NEAR(disc.w(), 20, 1e-3);
  EXPECT_TRUE(SameColour(discs[0].style, 0, 255, 0));

  // The hover test uses the same mapping; the edge of the disc is outside.
  MoveTo(319, 220);
  Step();
  EXPECT_EQ(cam->over, b);
  MoveTo(320, 220);
  Step();
  EXPECT_EQ(cam->over, nullptr);

  // A body of radius 0 cannot be hovered, even dead on its centre.
  b->setradius(0);
  MoveTo(310, 220);
  Step();
  EXPECT_EQ(cam->over, nullptr);
}

TEST_F(CameraTest, SetBoundsKeepsTheRectangleAndItsBox) {
  cam->setbounds(7, 9, 30, 40);
  EXPECT_EQ(cam->x, 7);
  EXPECT_EQ(cam->y, 9);
  EXPECT_EQ(cam->w, 30);
  EXPECT_EQ(cam->h, 40);
  ASSERT_TRUE(cam->bounds);
  EXPECT_EQ(cam->bounds->l, 7);
  EXPECT_EQ(cam->bounds->r, 37);
  EXPECT_EQ(cam->bounds->t, 9);
  EXPECT_EQ(cam->bounds->b, 49);
}

TEST_F(CameraTest, WheelZoomsInTowardsThePointerUpToSixteenAndTheKeyStillPans) {
  MoveTo(MIDX + 50, MIDY + 30);
  Wheel(1);  // one notch away from the user
  EXPECT_DOUBLE_EQ(cam->zoom, 1.25);
  // pos moves towards the pointer's world point (50, 30) by the single
  // precision factor 0.21.
  EXPECT_DOUBLE_EQ(cam->pos->x, 50 * double(0.21f));
  EXPECT_DOUBLE_EQ(cam->pos->y, 30 * double(0.21f));
  for (int i = 2; i <= 12; ++i) Wheel(1);
  EXPECT_NEAR(cam->zoom, 14.55, 0.005);
  EXPECT_DOUBLE_EQ(cam->zoom, std::pow(1.25, 12));
  Wheel(1);
  EXPECT_EQ(cam->zoom, 16.0) << "the thirteenth step is cut to the limit, not 18.19";

  const vect2d held = *cam->pos;
  for (int i = 0; i < 3; ++i) Wheel(1);
  EXPECT_EQ(cam->zoom, 16.0);
  EXPECT_EQ(cam->pos->x, held.x) << "the wheel does nothing at the limit";
  EXPECT_EQ(cam->pos->y, held.y);

  const vect2d m = WorldAt(*cam, MIDX + 50, MIDY + 30);
  Key(camera::ZOOM_IN_KEY);
  EXPECT_EQ(cam->zoom, 16.0);
  const double t = double(0.21f);
  EXPECT_NEAR(cam->pos->x, held.x * (1 - t) + m.x * t, 1e-12);
  EXPECT_NEAR(cam->pos->y, held.y * (1 - t) + m.y * t, 1e-12);
  EXPECT_NE(cam->pos->x, held.x);
}

TEST_F(CameraTest, WheelZoomsOutAroundThePointerDownToTheSinglePrecisionLimit) {
  cam->pos->set(-7, 12);
  MoveTo(MIDX - 80, MIDY + 45);
  const vect2d m = WorldAt(*cam, MIDX - 80, MIDY + 45);
  for (int i = 1; i <= 11; ++i) {
    SCOPED_TRACE(i);
    Wheel(-1);  // one notch towards the user
    EXPECT_DOUBLE_EQ(cam->zoom, std::pow(1.25, -i));
    const vect2d still = WorldAt(*cam, MIDX - 80, MIDY + 45);
    EXPECT_NEAR(still.x, m.x, 1e-9) << "the point under the pointer stays put";
    EXPECT_NEAR(still.y, m.y, 1e-9);
  }
  EXPECT_NEAR(cam->zoom, 0.086, 0.0005);
  Wheel(-1);
  EXPECT_EQ(cam->zoom, double(0.08f));
  EXPECT_LT(cam->zoom, 0.08);
  const vect2d moved = WorldAt(*cam, MIDX - 80, MIDY + 45);
  EXPECT_GT(std::abs(moved.x - m.x), 1) << "a cut step does not keep the point";

  const vect2d held = *cam->pos;
  Wheel(-1);
  EXPECT_EQ(cam->zoom, double(0.08f));
  EXPECT_EQ(cam->pos->x, held.x);
  EXPECT_EQ(cam->pos->y, held.y);

  const vect2d m2 = WorldAt(*cam, MIDX - 80, MIDY + 45);
  Key(camera::ZOOM_OUT_KEY);
  EXPECT_EQ(cam->zoom, double(0.08f));
  EXPECT_NEAR(cam->pos->x, held.x * 1.25 - m2.x * 0.25, 1e-9);
  EXPECT_NEAR(cam->pos->y, held.y * 1.25 - m2.y * 0.25, 1e-9);
}

TEST_F(CameraTest, WheelStepsOtherThanOneNotchInsideDoNothing) {
  const struct {
    const char* name;
    int notches;
    int px, py;
  } cases[] = {
      {"two notches in", 2, MIDX + 20, MIDY},
      {"two notches out", -2, MIDX + 20, MIDY},
      {"one notch in, pointer right of the rectangle", 1, CX + CW, MIDY},
      {"one notch out, pointer below the rectangle", -1, MIDX, CY + CH},
      {"one notch in, pointer left of the rectangle", 1, CX - 1, MIDY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cam->zoom = 2;
    cam->pos->set(3, 4);
    MoveTo(c.px, c.py);
    Step();
    Wheel(c.notches);
    EXPECT_EQ(cam->zoom, 2);
    EXPECT_EQ(cam->pos->x, 3);
    EXPECT_EQ(cam->pos->y, 4);
  }
}

TEST_F(CameraTest, ZoomingWhileFollowingKeepsTheBodyInTheCentre) {
  bodyRef b = MakeBody(u"B", 5, 40, 30);
  cam->view = MakeSpace({b});
  cam->focus = b;
  cam->follow = 1;
  MoveTo(MIDX + 100, MIDY - 60);
  Wheel(1);
  EXPECT_DOUBLE_EQ(cam->zoom, 1.25);
  EXPECT_EQ(cam->pos->x, 40);
  EXPECT_EQ(cam->pos->y, 30);
  Wheel(-1);
  EXPECT_DOUBLE_EQ(cam->zoom, 1.0);
  EXPECT_EQ(cam->pos->x, 40);
  EXPECT_EQ(cam->pos->y, 30);
}

struct HaloCase {
  const char* name;
  bool focused, hovered;
  int halo_red, halo_green, halo_blue;  // -1: no halo
  int grow;
};

TEST_F(CameraTest, HaloColourAndWidthShowFocusAndHover) {
  const HaloCase cases[] = {
      {"focused and hovered", true, true, 0, 128, 128, 3},
      {"focused only", true, false, 0, 128, 128, 4},
      {"hovered only", false, true, 0, 96, 0, 3},
      {"neither", false, false, -1, -1, -1, 0},
  };
  for (const HaloCase& c : cases) {
    SCOPED_TRACE(c.name);
    bodyRef b = MakeBody(u"B", 10, 0, 0);
    cam->view = MakeSpace({b});
    cam->zoom = 2;  // the halo's width is in pixels, whatever the zoom
    cam->focus = c.focused ? b : nullptr;
    MoveTo(c.hovered ? MIDX + 5 : MIDX + 100, MIDY);
    Step();
    ASSERT_EQ(cam->over, c.hovered ? b : nullptr);
    Render();
    const std::vector<TRecordedPrimitive> polygons = Polygons();
    ASSERT_EQ(polygons.size(), c.halo_red < 0 ? 1u : 2u);
    const TRecordedPrimitive& disc = polygons.back();
    EXPECT_TRUE(SameColour(disc.style, 0, 255, 0));
    EXPECT_NEAR(BoxOf(disc).w(), 40, 1e-3);
    if (c.halo_red >= 0) {
      const TRecordedPrimitive& halo = polygons.front();
      EXPECT_TRUE(SameColour(halo.style, c.halo_red, c.halo_green, c.halo_blue));
      const Box box = BoxOf(halo);
      EXPECT_NEAR(box.w(), 40 + 2 * c.grow, 1e-3);
      EXPECT_NEAR(box.h(), 40 + 2 * c.grow, 1e-3);
      EXPECT_NEAR(box.cx(), MIDX, 1e-3);
      EXPECT_NEAR(box.cy(), MIDY, 1e-3);
    }
  }
}

TEST_F(CameraTest, TheLaterOfTwoOverlappingBodiesIsHoveredSelectedAndDrawnOnTop) {
  for (bool a_first : {true, false}) {
    SCOPED_TRACE(a_first ? "A listed first" : "B listed first");
    bodyRef a = MakeBody(u"A", 20, 0, 0);
    bodyRef b = MakeBody(u"B", 20, 6, 0);
    cam->view = MakeSpace(a_first ? std::vector<bodyRef>{a, b} : std::vector<bodyRef>{b, a});
    cam->focus = nullptr;
    const bodyRef later = a_first ? b : a;
    Click(MOUSE_LEFT, MIDX + 3, MIDY, Updater());
    EXPECT_EQ(cam->over, later);
    EXPECT_EQ(cam->focus, later);
    EXPECT_EQ(cam->follow, 0) << "a single click selects without following";
    Render();
    // The earlier body's disc, then the later body's halo and disc.
    const std::vector<TRecordedPrimitive> polygons = Polygons();
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_NEAR(BoxOf(polygons[2]).cx(), MIDX + later->pos->x, 1e-3);
    EXPECT_TRUE(SameColour(polygons[1].style, 0, 128, 128));
  }
}

TEST_F(CameraTest, MiddleDragPansFromInsideUntilReleasedAnywhere) {
  cam->zoom = 2;
  MoveTo(MIDX, MIDY);
  Input().ButtonDown(MOUSE_MIDDLE);
  Step();
  EXPECT_EQ(cam->is_panning, 1);
  MoveTo(MIDX + 40, MIDY);
  Step();
  EXPECT_DOUBLE_EQ(cam->pos->x, -20);  // the world follows the pointer
  EXPECT_DOUBLE_EQ(cam->pos->y, 0);
  MoveTo(700, 600);  // outside the rectangle
  Step();
  EXPECT_DOUBLE_EQ(cam->pos->x, -20 - (700 - MIDX - 40) / 2.0);
  EXPECT_DOUBLE_EQ(cam->pos->y, -(600 - MIDY) / 2.0);
  const vect2d held = *cam->pos;
  Input().ButtonUp(MOUSE_MIDDLE);
  MoveTo(720, 610);
  Step();
  EXPECT_EQ(cam->is_panning, 0) << "released outside";
  EXPECT_EQ(cam->pos->x, held.x) << "the releasing frame does not pan";
  MoveTo(MIDX, MIDY);
  Step();
  EXPECT_EQ(cam->pos->x, held.x);
  EXPECT_EQ(cam->pos->y, held.y);
}

TEST_F(CameraTest, MiddlePressOutsideStartsNoPan) {
  MoveTo(CX - 1, MIDY);
  Input().ButtonDown(MOUSE_MIDDLE);
  Step();
  EXPECT_EQ(cam->is_panning, 0);
  MoveTo(MIDX, MIDY);
  Step();
  EXPECT_EQ(cam->pos->x, 0);
  EXPECT_EQ(cam->pos->y, 0);
  Input().ButtonUp(MOUSE_MIDDLE);
  Step();
}

TEST_F(CameraTest, FollowingKeepsTheBodyCentredUntilAPan) {
  bodyRef sol = MakeBody(u"Sol", 17, 0, 0);
  bodyRef moon = MakeChild(sol, u"Moon", 5, 100, 0);
  moon->revspeed = 10;
  cam->view = MakeSpace({sol});
  cam->focus = moon;
  cam->follow = 1;
  cam->view->update();
  Step();
  EXPECT_DOUBLE_EQ(cam->pos->x, moon->pos->x);
  EXPECT_DOUBLE_EQ(cam->pos->y, moon->pos->y);
  EXPECT_NE(cam->pos, moon->pos) << "a copy of the values, not the body's own vector";

  MoveTo(MIDX, MIDY);
  Input().ButtonDown(MOUSE_MIDDLE);
  Step();
  EXPECT_EQ(cam->follow, 0);
  EXPECT_EQ(cam->focus, moon) << "panning keeps the selection";
  Input().ButtonUp(MOUSE_MIDDLE);
  Step();
  const vect2d left_at = *cam->pos;
  cam->view->update();
  Step();
  EXPECT_EQ(cam->pos->x, left_at.x);
  EXPECT_EQ(cam->pos->y, left_at.y);
}

TEST_F(CameraTest, DoubleClickOnABodySelectsAndFollowsIt) {
  bodyRef b = MakeBody(u"B", 10, 40, 30);
  cam->view = MakeSpace({b});
  // Two pixels right of the body's centre.
  const int px = MIDX + 42, py = MIDY + 30;
  Click(MOUSE_LEFT, px, py, Updater());
  EXPECT_EQ(cam->focus, b);
  EXPECT_EQ(cam->follow, 0);
  Input().ButtonDown(MOUSE_LEFT);
  Step();
  EXPECT_EQ(cam->focus, b);
  EXPECT_EQ(cam->follow, 1);
  EXPECT_DOUBLE_EQ(cam->pos->x, 42) << "centred on the pointer first";
  EXPECT_DOUBLE_EQ(cam->pos->y, 30);
  Input().ButtonUp(MOUSE_LEFT);
  Step();
  EXPECT_EQ(cam->pos->x, 40) << "then on the body it follows";
  EXPECT_EQ(cam->pos->y, 30);
}

TEST_F(CameraTest, DoubleClickOnEmptySpaceRecentresAndClearsTheSelection) {
  bodyRef b = MakeBody(u"B", 10, 40, 30);
  cam->view = MakeSpace({b});
  cam->focus = b;
  cam->follow = 1;
  cam->zoom = 2;
  Step();  // following: pos = (40, 30)
  // A single click on empty space keeps the selection.
  Click(MOUSE_LEFT, MIDX - 100, MIDY + 50, Updater());
  EXPECT_EQ(cam->focus, b);
  EXPECT_EQ(cam->follow, 1);
  DoubleClick(MIDX - 100, MIDY + 50, Updater());
  EXPECT_EQ(cam->focus, nullptr);
  EXPECT_EQ(cam->follow, 0);
  EXPECT_DOUBLE_EQ(cam->pos->x, 40 - 50);  // (-100) / 2 + 40
  EXPECT_DOUBLE_EQ(cam->pos->y, 30 + 25);
}

TEST_F(CameraTest, ADoubleClickOutsideTheRectangleDoesNothing) {
  bodyRef b = MakeBody(u"B", 10, 0, 0);
  cam->view = MakeSpace({b});
  cam->focus = b;
  DoubleClick(CX + CW + 5, MIDY, Updater());
  EXPECT_EQ(cam->focus, b);
  EXPECT_EQ(cam->pos->x, 0);
  EXPECT_EQ(cam->pos->y, 0);
}

struct OrbitCase {
  const char* name;
  double distance;
  bool scaled;
  double sx, sy;
  double zoom;
  size_t lines;
};

TEST_F(CameraTest, OrbitOutlinesHaveTwelveToSixtyFourSides) {
  const OrbitCase cases[] = {
      {"110 scaled 1.5 x 0.5 at zoom 1", 110, true, 1.5, 0.5, 1, 23},
      {"110 scaled 1.5 x 0.5 at zoom 16", 110, true, 1.5, 0.5, 16, 64},
      {"a negative product of radii", 110, true, -1.5, 0.5, 1, 12},
      {"small circle", 10, false, 1, 1, 1, 12},
      {"circle of 52", 52, false, 1, 1, 1, 13},
      {"circle of 200", 200, false, 1, 1, 1, 50},
      {"circle of 255", 255, false, 1, 1, 1, 63},
      {"circle of 256", 256, false, 1, 1, 1, 64},
      {"circle of 100 at zoom 0.5", 100, false, 1, 1, 0.5, 12},
      {"circle of 100 at zoom 4", 100, false, 1, 1, 4, 64},
  };
  for (const OrbitCase& c : cases) {
    SCOPED_TRACE(c.name);
    bodyRef sol = MakeBody(u"Sol", 5, 0, 0);
    bodyRef kid = MakeChild(sol, u"Kid", 2, c.distance, 30);
    if (c.scaled) kid->scaleorbit = vect2d::Create(c.sx, c.sy);
    cam->view = MakeSpace({sol});
    cam->zoom = c.zoom;
    Render();
    const std::vector<TRecordedPrimitive> lines = Lines();
    EXPECT_EQ(lines.size(), c.lines);
    for (const TRecordedPrimitive& l : lines) {
      EXPECT_TRUE(SameColour(l.style, 128, 128, 128));
    }
    EXPECT_EQ(OfKind(*recorder, TRecordedPrimitive::POINT).size(), 0u)
        << "orbit lines leave out their last pixel";
  }
  // A child placed without an orbit has no outline.
  bodyRef sol = MakeBody(u"Sol", 5, 0, 0);
  bodyRef fixed = MakeBody(u"Fixed", 2, 30, 40);
  fixed->setparent(sol);
  cam->view = MakeSpace({sol});
  Render();
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(Polygons().size(), 2u);
}

TEST_F(CameraTest, AnOrbitOutlineIsAClosedPolygonThroughTheChild) {
  // The embedded system: Sol 1 on an orbit of 110, scaled (1.5, 0.5), turned
  // by 45 degrees, its centre moved by (40, 20), at angle 40.
  bodyRef sol = MakeBody(u"Sol", 17, 0, 0);
  bodyRef kid = MakeChild(sol, u"Sol 1", 7, 110, 40);
  kid->scaleorbit = vect2d::Create(1.5, 0.5);
  kid->rotorbit = 45;
  kid->moveorbit = vect2d::Create(40, 20);
  cam->view = MakeSpace({sol});
  ASSERT_NEAR(kid->pos->x, 104.378, 5e-4);
  ASSERT_NEAR(kid->pos->y, 134.375, 5e-4);
  for (double zoom : {1.0, 0.5}) {  // the child's disc within the rectangle
    SCOPED_TRACE(zoom);
    cam->zoom = zoom;
    cam->pos->set(10, -5);
    Render();
    const std::vector<TRecordedPrimitive> lines = Lines();
    ASSERT_GE(lines.size(), 12u);
    const size_t n = lines.size();
    // Line i joins corner i to corner i - 1; the last one closes the
    // polygon from the first corner to the last.
    for (size_t i = 1; i + 1 < n; ++i) {
      EXPECT_NEAR(lines[i].vertices[1].x, lines[i - 1].vertices[0].x, 1e-3);
      EXPECT_NEAR(lines[i].vertices[1].y, lines[i - 1].vertices[0].y, 1e-3);
    }
    const TDrawPoint first = lines[0].vertices[1];
    EXPECT_NEAR(lines[n - 1].vertices[0].x, first.x, 1e-3);
    EXPECT_NEAR(lines[n - 1].vertices[0].y, first.y, 1e-3);
    EXPECT_NEAR(lines[n - 1].vertices[1].x, lines[n - 2].vertices[0].x, 1e-3);
    EXPECT_NEAR(lines[n - 1].vertices[1].y, lines[n - 2].vertices[0].y, 1e-3);
    // The first corner lies on the child's centre.
    EXPECT_NEAR(first.x, MIDX + (kid->pos->x - 10) * zoom, 2e-3);
    EXPECT_NEAR(first.y, MIDY + (kid->pos->y + 5) * zoom, 2e-3);
    // The child's disc is drawn after the orbit, so it lies on top.
    const TRecordedPrimitive& last = recorder->primitives.back();
    EXPECT_EQ(last.kind, TRecordedPrimitive::POLYGON);
    EXPECT_NEAR(BoxOf(last).cx(), first.x, 2e-3);
  }
}

TEST_F(CameraTest, ACopyFollowsTheSameBodyAndPansOnItsOwn) {
  bodyRef sol = MakeBody(u"Sol", 17, 0, 0);
  bodyRef moon = MakeChild(sol, u"Moon", 5, 100, 0);
  moon->revspeed = 10;
  cam->view = MakeSpace({sol});
  cam->focus = moon;
  cam->follow = 1;
  cam->zoom = 2;
  cam->over = sol;
  cam->is_panning = 1;
  cam->panx = 5;
  cam->pany = 6;
  cameraRef other = cam->copy();
  cam->is_panning = 0;
  EXPECT_EQ(other->over, nullptr);
  EXPECT_EQ(other->is_panning, 0);
  EXPECT_EQ(other->panx, 0);
  EXPECT_EQ(other->pany, 0);
  EXPECT_EQ(other->bounds, cam->bounds);
  EXPECT_EQ(other->view, cam->view);
  EXPECT_EQ(other->focus, moon);
  EXPECT_EQ(other->follow, 1);
  EXPECT_EQ(other->zoom, 2);
  EXPECT_EQ(other->x, CX);
  EXPECT_EQ(other->w, CW);
  ASSERT_NE(other->pos, cam->pos);

  // Two panes side by side: drag in the copy's rectangle only.
  other->setbounds(550, 400, 300, 300);
  auto both = [&] {
    Frame();
    cam->update();
    other->update();
  };
  cam->view->update();
  both();
  EXPECT_DOUBLE_EQ(other->pos->x, moon->pos->x);
  EXPECT_DOUBLE_EQ(other->pos->y, moon->pos->y);
  MoveTo(700, 550);
  Input().ButtonDown(MOUSE_MIDDLE);
  both();
  MoveTo(730, 550);
  both();
  Input().ButtonUp(MOUSE_MIDDLE);
  both();
  EXPECT_EQ(other->follow, 0);
  EXPECT_EQ(cam->follow, 1);
  EXPECT_DOUBLE_EQ(other->pos->x, moon->pos->x - 15);
  cam->view->update();
  both();
  EXPECT_DOUBLE_EQ(cam->pos->x, moon->pos->x) << "the original still follows";
  EXPECT_DOUBLE_EQ(cam->pos->y, moon->pos->y);
  EXPECT_NE(other->pos->y, moon->pos->y) << "the copy no longer does";
}

TEST_F(CameraTest, ABodyWithoutPositionIsNeitherDrawnNorHoveredButItsChildrenAre) {
  bodyRef lost = body::Create();
  lost->name = u"Lost";
  lost->setradius(10);
  bodyRef kid = MakeChild(lost, u"Kid", 4, 50, 0);
  cam->view = MakeSpace({lost});
  ASSERT_FALSE(lost->pos);
  ASSERT_TRUE(kid->pos);
  cam->pos->set(20, 0);
  cam->zoom = 2;
  // The world origin is at (260, 200) on screen.
  MoveTo(MIDX - 40, MIDY);
  Step();
  EXPECT_EQ(cam->over, nullptr);
  cam->focus = lost;  // even selected, it has nothing to draw
  Render();
  const std::vector<TRecordedPrimitive> polygons = Polygons();
  ASSERT_EQ(polygons.size(), 1u) << "only the child's disc";
  EXPECT_NEAR(BoxOf(polygons[0]).cx(), MIDX + (50 - 20) * 2, 1e-3);
  const std::vector<TRecordedPrimitive> lines = Lines();
  ASSERT_EQ(lines.size(), 25u);  // sqrt(100 x 100) / 4
  for (const TRecordedPrimitive& l : lines) {
    for (const TDrawPoint& v : l.vertices) {
      EXPECT_NEAR(std::hypot(v.x - (MIDX - 40), v.y - MIDY), 100, 1e-2)
          << "the child's orbit is centred on the world origin";
    }
  }
  cam->focus = nullptr;
  MoveTo(MIDX + 60, MIDY);
  Step();
  EXPECT_EQ(cam->over, kid);
}

TEST_F(CameraTest, RenderClipsToTheRectangleClearsItAndLeavesTheOriginAtItsCorner) {
  bodyRef b = MakeBody(u"B", 10, 0, 0);
  cam->view = MakeSpace({b});
  SetBlend(BLEND_SOLID);
  Render();
  ASSERT_FALSE(recorder->primitives.empty());
  const TRecordedPrimitive& clear = recorder->primitives[0];
  ASSERT_EQ(clear.kind, TRecordedPrimitive::CLEAR);
  EXPECT_EQ(clear.style.viewport.x, CX);
  EXPECT_EQ(clear.style.viewport.y, CY);
  EXPECT_EQ(clear.style.viewport.w, CW);
  EXPECT_EQ(clear.style.viewport.h, CH);
  for (const TRecordedPrimitive& p : recorder->primitives) {
    EXPECT_EQ(p.style.viewport.x, CX);
    EXPECT_EQ(p.style.viewport.w, CW);
  }
  const TViewport v = GetViewport();
  EXPECT_EQ(v.x, CX);
  EXPECT_EQ(v.y, CY);
  EXPECT_EQ(v.w, CW);
  EXPECT_EQ(v.h, CH);
  float ox = 0, oy = 0;
  GetDrawOrigin(ox, oy);
  EXPECT_EQ(ox, CX);
  EXPECT_EQ(oy, CY);
  EXPECT_EQ(GetBlend(), BLEND_ALPHA);
}

}  // namespace
}  // namespace skyloom::testing_panes
