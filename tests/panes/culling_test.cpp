// Drawing that follows what is on screen: the orbit corners worked out with
// one rotation matrix and a stepped angle agree with the polar-form
// computation, and discs and orbits wholly outside the camera's rectangle
// are skipped while everything that reaches it is drawn as before.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/space.h"
#include "panes/camera.h"
#include "runtime/backend_recording.h"
#include "runtime/display.h"

namespace skyloom {
namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// Corner i of an orbit outline computed as the outline is defined: the angle
// grows by 360 / n from start, the corner (cos a rx, sin a ry) is turned
// through its polar form (length, atan2 + rotation) and moved to the centre.
camera::orbitcorner PolarCorner(double cx, double cy, double rx, double ry, double rotation,
                                double a) {
  double vx = std::cos(a * kDegToRad) * rx, vy = std::sin(a * kDegToRad) * ry;
  if (rotation != 0) {
    const double length = std::sqrt(vx * vx + vy * vy);
    const double angle = (std::atan2(vy, vx) * kRadToDeg + rotation) * kDegToRad;
    vx = length * std::cos(angle);
    vy = length * std::sin(angle);
  }
  return {vx + cx, vy + cy};
}

TEST(OrbitCorners, AgreeWithThePolarFormWithinAMillionthOfAPixel) {
  struct Orbit {
    double cx, cy, rx, ry, rotation, start;
  };
  const Orbit orbits[] = {
      {0, 0, 110, 110, 0, 40},           // a circle
      {40, 20, 165, 55, 45, 40.25},      // the embedded planet's orbit
      {-300, 200, 2640, 880, 45, 7e4},   // zoomed in 16 times, after many laps
      {0, 0, 3, 1, -170, -12.5},         // tiny, turned backwards
      {512, 384, 800, -120, 359.5, 0},   // a negative scale factor
      {1e4, -1e4, 20000, 19000, 90, 1},  // far off, large
      {0, 0, 0, 0, 30, 0},               // a point
  };
  camera::orbitcorners corners;
  for (const Orbit& o : orbits) {
    const int n = camera::OrbitCorners(o.cx, o.cy, o.rx, o.ry, o.rotation, o.start, corners);
    ASSERT_EQ(n, camera::OrbitSides(o.rx, o.ry));
    double a = o.start;
    for (int i = 0; i < n; ++i, a += 360.0 / n) {
      const camera::orbitcorner expected = PolarCorner(o.cx, o.cy, o.rx, o.ry, o.rotation, a);
      EXPECT_NEAR(corners[i].x, expected.x, 1e-6) << "orbit rx " << o.rx << ", corner " << i;
      EXPECT_NEAR(corners[i].y, expected.y, 1e-6) << "orbit rx " << o.rx << ", corner " << i;
    }
  }
}

// A camera of 200 x 100 pixels at (100, 50) over bodies placed by hand.
class CullingTest : public testing::Test {
 protected:
  void SetUp() override {
    recorder_ = OpenRecordingDisplay(1024, 768);
    cam_.setbounds(100, 50, 200, 100);
    cam_.view = space::Create();
  }
  void TearDown() override { CloseDisplay(); }

  bodyRef AddBody(double x, double y, double radius) {
    bodyRef b = body::Create();
    b->setradius(radius);
    b->setpos(vect2d::Create(x, y));
    cam_.view->bodies.push_back(b);
    cam_.view->getallbodies();
    return b;
  }
  bodyRef AddMoon(const bodyRef& parent, double dist, double angle) {
    bodyRef m = body::Create();
    m->setradius(1);
    m->orbit = vect2d::Create(dist, angle);
    m->setparent(parent);
    m->checkpos();
    cam_.view->getallbodies();
    return m;
  }

  int Count(TRecordedPrimitive::Kind kind) {
    recorder_->Forget();
    cam_.render();
    int count = 0;
    for (const TRecordedPrimitive& p : recorder_->primitives) count += p.kind == kind;
    return count;
  }

  std::shared_ptr<TRecordingBackend> recorder_;
  camera cam_;
};

// The view shows world x from -100 to 100 and y from -50 to 50 at zoom 1.
TEST_F(CullingTest, DiscsReachingTheRectangleAreDrawnOthersSkipped) {
  struct Case {
    double x, y, radius;
    bool drawn;
  };
  const Case cases[] = {
      {0, 0, 5, true},     {-104, 0, 5, true},     // its edge reaches inside
      {0, 53, 4, true},    {-112, 0, 5, false},    // wholly to the left
      {0, -70, 5, false},  {300, 300, 40, false},  // above; far off
      {400, 0, 350, true},                         // a huge disc covering part of the view
  };
  for (const Case& c : cases) {
    cam_.view = space::Create();
    AddBody(c.x, c.y, c.radius);
    EXPECT_EQ(Count(TRecordedPrimitive::POLYGON), c.drawn ? 1 : 0)
        << "disc at " << c.x << ", " << c.y << " radius " << c.radius;
  }
}

TEST_F(CullingTest, HaloCountsTowardsTheDisc) {
  const bodyRef b = AddBody(-107.5, 0, 5);  // the disc ends 2.5 px short, the halo reaches in
  cam_.focus = b;
  EXPECT_EQ(Count(TRecordedPrimitive::POLYGON), 2);
}

TEST_F(CullingTest, OrbitsAreSkippedOnlyWhenTheirEllipseCannotReachTheRectangle) {
  const bodyRef star = AddBody(0, 0, 5);
  AddMoon(star, 30, 0);  // wholly inside: every side drawn
  EXPECT_EQ(Count(TRecordedPrimitive::LINE), 12);

  cam_.pos = vect2d::Create(0, 200);  // the star and its small orbit far below the view
  EXPECT_EQ(Count(TRecordedPrimitive::LINE), 0);
  EXPECT_EQ(Count(TRecordedPrimitive::POLYGON), 0);

  AddMoon(star, 180, 90);  // a wide orbit round the unseen star crosses the view
  EXPECT_EQ(Count(TRecordedPrimitive::LINE), camera::OrbitSides(180, 180));
}

TEST_F(CullingTest, ZoomingInOnABodyDrawsOnlyWhatIsNearIt) {
  std::vector<bodyRef> bodies;
  for (int i = 0; i < 50; ++i) bodies.push_back(AddBody(i * 100.0, 0, 3));
  cam_.zoom = 4;  // 50 x 25 world units around the origin
  EXPECT_EQ(Count(TRecordedPrimitive::POLYGON), 1);
  cam_.zoom = 0.08;
  EXPECT_EQ(Count(TRecordedPrimitive::POLYGON), 13) << "world x up to 1250 at zoom 0.08";
}

}  // namespace
}  // namespace skyloom
