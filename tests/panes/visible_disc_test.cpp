// Discs drawn at the cost of what is visible: up to the camera rectangle's
// size a disc is exactly the polygon it always was; a disc that covers the
// rectangle is the rectangle; one partly inside fills what its circle covers
// with a handful of corners, however large it is.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/space.h"
#include "panes/camera.h"
#include "panes/visible_disc.h"
#include "runtime/backend_recording.h"
#include "runtime/display.h"

namespace skyloom {
namespace {

// The camera's rectangle: 200 x 100 pixels at (100, 50); its centre, the
// drawing origin of the discs, is at (200, 100).
constexpr int kX = 100, kY = 50, kW = 200, kH = 100;
constexpr float kCentreX = kX + kW / 2, kCentreY = kY + kH / 2;
constexpr double kMargin = 2;  // the cut lies this far outside the rectangle

class VisibleDiscTest : public testing::Test {
 protected:
  void SetUp() override {
    recorder_ = OpenRecordingDisplay(1024, 768);
    cam_.setbounds(kX, kY, kW, kH);
    cam_.view = space::Create();
  }
  void TearDown() override { CloseDisplay(); }

  bodyRef Place(double x, double y, double radius) {
    cam_.view = space::Create();
    bodyRef b = body::Create();
    b->setradius(radius);
    b->setpos(vect2d::Create(x, y));
    cam_.view->bodies.push_back(b);
    cam_.view->getallbodies();
    return b;
  }

  std::vector<std::vector<TDrawPoint>> Polygons() const {
    std::vector<std::vector<TDrawPoint>> polygons;
    for (const TRecordedPrimitive& p : recorder_->primitives) {
      if (p.kind == TRecordedPrimitive::POLYGON) polygons.push_back(p.vertices);
    }
    return polygons;
  }

  std::vector<std::vector<TDrawPoint>> Rendered() {
    recorder_->Forget();
    cam_.render();
    return Polygons();
  }

  // What DrawCircle alone draws with the camera's origin and viewport.
  std::vector<TDrawPoint> Designed(double x, double y, double radius, double zoom, int grow) {
    recorder_->Forget();
    SetViewport(kX, kY, kW, kH);
    SetDrawOrigin(kCentreX, kCentreY);
    camera::DrawCircle(x, y, radius, zoom, grow);
    return Polygons().at(0);
  }

  std::shared_ptr<TRecordingBackend> recorder_;
  camera cam_;
};

bool SamePoints(const std::vector<TDrawPoint>& a, const std::vector<TDrawPoint>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  }
  return true;
}

TEST_F(VisibleDiscTest, UpToTheRectanglesSizeDiscsAreTheDesignedPolygon) {
  const struct {
    double x, y, radius, zoom;
    bool focused;
  } cases[] = {
      {0, 0, 5, 1, false},     {30, -20, 100, 1, false},  {-60, 10, 200, 1, false},
      {5, 5, 12, 16, false},   {0, 0, 2400, 0.08, false}, {-90, 40, 196, 1, true},
      {250, 0, 180, 1, false},  // mostly outside, still the whole polygon
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "disc at " << c.x << ", " << c.y << " radius " << c.radius
                                    << " zoom " << c.zoom);
    const bodyRef b = Place(c.x, c.y, c.radius);
    cam_.zoom = c.zoom;
    cam_.focus = c.focused ? b : nullptr;
    const auto drawn = Rendered();
    std::vector<std::vector<TDrawPoint>> expected;
    if (c.focused) expected.push_back(Designed(c.x, c.y, c.radius, c.zoom, 4));
    expected.push_back(Designed(c.x, c.y, c.radius, c.zoom, 0));
    ASSERT_EQ(drawn.size(), expected.size());
    for (size_t i = 0; i < drawn.size(); ++i) EXPECT_TRUE(SamePoints(drawn[i], expected[i]));
  }
}

TEST_F(VisibleDiscTest, ADiscCoveringTheRectangleIsTheRectangle) {
  const std::vector<TDrawPoint> box = {{kX - kMargin, kY - kMargin},
                                       {kX + kW + kMargin, kY - kMargin},
                                       {kX + kW + kMargin, kY + kH + kMargin},
                                       {kX - kMargin, kY + kH + kMargin}};
  const struct {
    double x, y, radius, zoom;
  } cases[] = {
      {0, 0, 1e9, 1},
      {1e9 - 1000, 0, 1e9, 1},  // its edge 900 pixels left of the rectangle
      {0, -1e6, 1e6 + 60, 1},   // just past the bottom corners
      {3, 4, 400, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "disc at " << c.x << ", " << c.y << " radius " << c.radius);
    Place(c.x, c.y, c.radius);
    cam_.zoom = c.zoom;
    const auto drawn = Rendered();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(SamePoints(drawn[0], box));
  }
}

// Whether a point lies inside a convex polygon (either winding).
bool InsideConvex(const std::vector<TDrawPoint>& polygon, double x, double y) {
  int sign = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const TDrawPoint& a = polygon[i];
    const TDrawPoint& b = polygon[(i + 1) % polygon.size()];
    const double cross = (double(b.x) - a.x) * (y - a.y) - (double(b.y) - a.y) * (x - a.x);
    const int side = cross > 0 ? 1 : cross < 0 ? -1 : 0;
    if (side == 0) continue;
    if (sign == 0) sign = side;
    if (side != sign) return false;
  }
  return true;
}

TEST_F(VisibleDiscTest, APartlyVisibleDiscFillsWhatItsCircleCoversWithFewCorners) {
  const struct {
    double x, y, radius;
  } cases[] = {
      {1e9 + 50, 0, 1e9},                             // edge upright at x = 50
      {0, 1e9 + 20, 1e9},                             // edge level at y = 20
      {-1e6, -1e6, 1e6 * std::sqrt(2.0) - 10},        // edge crossing diagonally
      {0, 520, 500},                                  // a disc of 1,000 corners
      {-3e4 - 100, -3e4 - 50, 3e4 * std::sqrt(2.0)},  // cutting the top-left corner
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "disc at " << c.x << ", " << c.y << " radius " << c.radius);
    Place(c.x, c.y, c.radius);
    const auto drawn = Rendered();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_LE(drawn[0].size(), 80u);  // the visible arc's corners, not all 1,000 to 65,536
    for (const TDrawPoint& v : drawn[0]) {
      EXPECT_GE(v.x, kX - kMargin - 1e-3);
      EXPECT_LE(v.x, kX + kW + kMargin + 1e-3);
      EXPECT_GE(v.y, kY - kMargin - 1e-3);
      EXPECT_LE(v.y, kY + kH + kMargin + 1e-3);
    }
    // Inside the polygon exactly where inside the circle, but within the
    // polygon's sagitta (well under two pixels) of the circle's edge.
    for (double sy = kY + 0.3; sy < kY + kH; sy += 3.7) {
      for (double sx = kX + 0.3; sx < kX + kW; sx += 3.7) {
        const double distance = std::hypot(sx - kCentreX - c.x, sy - kCentreY - c.y) - c.radius;
        if (std::fabs(distance) < 2) continue;
        EXPECT_EQ(InsideConvex(drawn[0], sx, sy), distance < 0) << "at " << sx << ", " << sy;
      }
    }
  }
}

// The whole n-cornered polygon cut to the box side by side: slow, but plainly
// the region the visible part must be.
discpolygon WholePolygonCut(double cx, double cy, double r, int n, const clipbox& box) {
  discpolygon polygon;
  for (int i = 0; i < n; ++i) {
    const double angle = 2 * M_PI * i / n;
    polygon.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
  }
  const auto cut = [&polygon](auto inside, auto crossing) {
    discpolygon kept;
    for (size_t i = 0; i < polygon.size(); ++i) {
      const auto& a = polygon[i];
      const auto& b = polygon[(i + 1) % polygon.size()];
      if (inside(a)) kept.push_back(a);
      if (inside(a) != inside(b)) kept.push_back(crossing(a, b));
    }
    polygon = kept;
  };
  using pt = std::pair<double, double>;
  const auto at_x = [](const pt& a, const pt& b, double x) {
    return pt{x, a.second + (x - a.first) / (b.first - a.first) * (b.second - a.second)};
  };
  const auto at_y = [](const pt& a, const pt& b, double y) {
    return pt{a.first + (y - a.second) / (b.second - a.second) * (b.first - a.first), y};
  };
  cut([&](const pt& p) { return p.first >= box.left; },
      [&](const pt& a, const pt& b) { return at_x(a, b, box.left); });
  cut([&](const pt& p) { return p.first <= box.right; },
      [&](const pt& a, const pt& b) { return at_x(a, b, box.right); });
  cut([&](const pt& p) { return p.second >= box.top; },
      [&](const pt& a, const pt& b) { return at_y(a, b, box.top); });
  cut([&](const pt& p) { return p.second <= box.bottom; },
      [&](const pt& a, const pt& b) { return at_y(a, b, box.bottom); });
  return polygon;
}

double Area(const discpolygon& polygon) {
  double twice = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const auto& a = polygon[i];
    const auto& b = polygon[(i + 1) % polygon.size()];
    twice += a.first * b.second - b.first * a.second;
  }
  return twice / 2;
}

// Whether every point of one polygon lies within tolerance of a point of the other.
bool NearEveryPoint(const discpolygon& from, const discpolygon& to, double tolerance) {
  for (const auto& [x, y] : from) {
    bool near = false;
    for (const auto& [tx, ty] : to) near = near || std::hypot(x - tx, y - ty) <= tolerance;
    if (!near) return false;
  }
  return true;
}

TEST(VisibleDiscPolygon, IsTheWholePolygonCutToTheBoxWhereverTheDiscLies) {
  const clipbox box{-504, -378, 504, 378};
  const double huge = 1e9;
  const struct {
    double cx, cy, r;
    int n;
  } cases[] = {
      {huge + 300, 0, huge, 65536},   // the box straddles the corner at half a turn
      {-huge - 200, 0, huge, 65536},  // and at the turn's start
      {0, -huge - 100, huge, 65536},
      {50, huge + 250, huge, 65536},
      {huge * std::cos(1.0) + 150, huge * std::sin(1.0) - 90, huge, 65536},
      {huge * std::cos(-2.5), huge * std::sin(-2.5) + 350, huge, 65536},
      {huge * std::cos(0.3) + 900, huge * std::sin(0.3), huge, 65536},  // misses the box
      {-1e6, -1e6, 1e6 * std::sqrt(2.0) - 10, 65536},
      {0, 900, 1000, 4000},        // many corners face the box
      {-1300, -1000, 1500, 6000},  // only a corner of the box inside
      {520, 390, 20, 12},          // a small disc just off the box's corner, missing it
      {700, 0, 260, 520},          // reaching in by a sliver
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "disc at " << c.cx << ", " << c.cy << " radius " << c.r << " corners " << c.n);
    const discpolygon visible = VisibleDiscPolygon(c.cx, c.cy, c.r, c.n, box);
    const discpolygon expected = WholePolygonCut(c.cx, c.cy, c.r, c.n, box);
    EXPECT_NEAR(Area(visible), Area(expected),
                1e-6 * (box.right - box.left) * (box.bottom - box.top));
    EXPECT_TRUE(NearEveryPoint(visible, expected, 1e-3));
    EXPECT_TRUE(NearEveryPoint(expected, visible, 1e-3));
  }
}

TEST(VisibleDiscPolygon, NothingForAMissOrANonsenseDiscTheBoxForAnEndlessOne) {
  const clipbox box{-10, -10, 10, 10};
  EXPECT_TRUE(VisibleDiscPolygon(1e9 + 20, 0, 1e9, 65536, box).empty());
  EXPECT_TRUE(VisibleDiscPolygon(0, 0, 0, 12, box).empty());
  EXPECT_TRUE(VisibleDiscPolygon(0, 0, NAN, 12, box).empty());
  EXPECT_TRUE(VisibleDiscPolygon(NAN, 0, 1e9, 65536, box).empty());
  EXPECT_TRUE(VisibleDiscPolygon(0, -INFINITY, 1e9, 65536, box).empty());
  EXPECT_EQ(VisibleDiscPolygon(0, 0, INFINITY, 65536, box).size(), 4u);
  EXPECT_EQ(VisibleDiscPolygon(0, 0, -1e9, 65536, box).size(), 4u);  // the radius's sign is lost
}

}  // namespace
}  // namespace skyloom
