// Tests of the system's time controls: the step at rate 1 against the
// designed arithmetic, pausing, single steps, faster, slower and reverse,
// the elapsed frame count and the text that shows the rate.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "model/body.h"
#include "model/space.h"

namespace skyloom {
namespace {

constexpr double DEG_TO_RAD = 0.017453292519943295;
constexpr double RAD_TO_DEG = 57.29577951308232;

// One orbit of the table: a child of a fixed parent at (30, -20).
struct Orbit {
  double dist, angle, speed;
  double scalex = 1, scaley = 1;  // 1, 1: no scale vector
  double rot = 0;
  double movex = 0, movey = 0;  // 0, 0: no offset vector
};

const std::vector<Orbit> ORBITS = {
    {110, 40, 0.25, 1.5, 0.5, 45, 40, 20},  // the embedded planet
    {10, 0, 1},
    {16, 90, -2},
    {1e6, 359.9, 0.001, 1, 3},
    {0.5, -720, 7.3, 0.25, 1, -30},
    {250, 180, 0.1, 1, 1, 0, -100, 5},
};

// A system of one fixed parent with one child per orbit, each child with a
// grandchild that copies its orbit at a tenth of the size.
spaceRef SystemOf(const std::vector<Orbit>& orbits) {
  spaceRef system = space::Create();
  bodyRef parent = body::Create();
  parent->pos = vect2d::Create(30, -20);
  auto orbiter = [](const Orbit& o, double size) {
    bodyRef b = body::Create();
    b->orbit = vect2d::Create(o.dist * size, o.angle);
    b->revspeed = o.speed;
    if (o.scalex != 1 || o.scaley != 1) b->scaleorbit = vect2d::Create(o.scalex, o.scaley);
    b->rotorbit = o.rot;
    if (o.movex != 0 || o.movey != 0) b->moveorbit = vect2d::Create(o.movex, o.movey);
    return b;
  };
  for (const Orbit& o : orbits) {
    bodyRef child = orbiter(o, 1);
    child->setparent(parent);
    orbiter(o, 0.1)->setparent(child);
  }
  system->bodies.push_back(parent);
  system->init();
  system->getallbodies();
  return system;
}

// The designed step, written out: the angle grows by revspeed, then the
// point on the circle is scaled, turned through its polar form, offset and
// placed on the parent.
void DesignedStep(body& b, double parentx, double parenty) {
  b.orbit->y += b.revspeed;
  const double a = b.orbit->y * DEG_TO_RAD;
  double px = b.orbit->x * std::cos(a), py = b.orbit->x * std::sin(a);
  if (b.scaleorbit) {
    px *= b.scaleorbit->x;
    py *= b.scaleorbit->y;
  }
  if (b.rotorbit != 0) {
    const double length = std::sqrt(px * px + py * py);
    const double angle = (std::atan2(py, px) * RAD_TO_DEG + b.rotorbit) * DEG_TO_RAD;
    px = length * std::cos(angle);
    py = length * std::sin(angle);
  }
  if (b.moveorbit) {
    px += b.moveorbit->x;
    py += b.moveorbit->y;
  }
  b.pos = vect2d::Create(px + parentx, py + parenty);
  for (const bodyRef& kid : b.kids) DesignedStep(*kid, b.pos->x, b.pos->y);
}

std::vector<double> Angles(const space& system) {
  std::vector<double> angles;
  for (const bodyRef& b : system.allbodies) {
    if (b->orbit) angles.push_back(b->orbit->y);
  }
  return angles;
}

std::vector<vect2d> Positions(const space& system) {
  std::vector<vect2d> positions;
  for (const bodyRef& b : system.allbodies) positions.push_back(*b->pos);
  return positions;
}

void ExpectNear(const std::vector<double>& a, const std::vector<double>& b, double tolerance) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "angle " << i;
}

void ExpectNear(const std::vector<vect2d>& a, const std::vector<vect2d>& b, double tolerance) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_NEAR(a[i].x, b[i].x, tolerance) << "body " << i;
    EXPECT_NEAR(a[i].y, b[i].y, tolerance) << "body " << i;
  }
}

TEST(TimeRate, AtRateOneEveryPositionIsTheDesignedStepBitForBit) {
  spaceRef system = SystemOf(ORBITS);
  spaceRef reference = SystemOf(ORBITS);
  constexpr int FRAMES = 3000;
  for (int frame = 1; frame <= FRAMES; ++frame) {
    system->update();
    for (const bodyRef& kid : reference->bodies.front()->kids) DesignedStep(*kid, 30, -20);
    if (frame % 500 != 0 && frame != 1) continue;
    for (size_t i = 0; i < system->allbodies.size(); ++i) {
      const body& got = *system->allbodies[i];
      const body& want = *reference->allbodies[i];
      ASSERT_EQ(got.pos->x, want.pos->x) << "body " << i << ", frame " << frame;
      ASSERT_EQ(got.pos->y, want.pos->y) << "body " << i << ", frame " << frame;
    }
  }
  EXPECT_EQ(system->elapsed, FRAMES);
}

TEST(TimeRate, FasterSlowerAndReverseStepByPowersOfTwoWithinTheLimits) {
  struct Case {
    const char* name;
    std::function<void(space&)> press;
    int presses;
    double rate;
  };
  const std::vector<Case> cases = {
      {"faster once", &space::faster, 1, 2},
      {"faster to the limit", &space::faster, 6, 64},
      {"faster past the limit", &space::faster, 9, 64},
      {"slower once", &space::slower, 1, 0.5},
      {"slower to the limit", &space::slower, 6, 1.0 / 64},
      {"slower past the limit", &space::slower, 9, 1.0 / 64},
      {"reverse", &space::reverse, 1, -1},
      {"reverse twice", &space::reverse, 2, 1},
  };
  for (const Case& c : cases) {
    space system;
    for (int i = 0; i < c.presses; ++i) c.press(system);
    EXPECT_EQ(system.rate, c.rate) << c.name;
  }

  space backwards;
  backwards.reverse();
  for (int i = 0; i < 9; ++i) backwards.faster();
  EXPECT_EQ(backwards.rate, -64) << "the limits hold for the size of a negative rate";
  for (int i = 0; i < 20; ++i) backwards.slower();
  EXPECT_EQ(backwards.rate, -1.0 / 64);
}

TEST(TimeRate, RateTwoForOneFrameEqualsTwoFramesAtRateOne) {
  spaceRef doubled = SystemOf(ORBITS);
  spaceRef normal = SystemOf(ORBITS);
  doubled->faster();
  for (int frame = 0; frame < 100; ++frame) {
    doubled->update();
    normal->update();
    normal->update();
  }
  ExpectNear(Angles(*doubled), Angles(*normal), 1e-9);
  EXPECT_EQ(doubled->elapsed, normal->elapsed);
}

TEST(TimePause, HoldsEveryPositionAndResumingRestoresTheRate) {
  spaceRef system = SystemOf(ORBITS);
  system->faster();
  system->update();
  const std::vector<vect2d> before = Positions(*system);
  system->togglepause();
  for (int frame = 0; frame < 50; ++frame) system->update();
  ExpectNear(Positions(*system), before, 0);
  EXPECT_EQ(system->elapsed, 2);
  EXPECT_EQ(system->rate, 2) << "pausing keeps the rate";

  system->togglepause();
  spaceRef twin = SystemOf(ORBITS);
  for (int frame = 0; frame < 4; ++frame) twin->update();
  system->update();
  ExpectNear(Positions(*system), Positions(*twin), 1e-6);
}

TEST(TimeStep, WhilePausedAdvancesExactlyOneFrameAtTheCurrentRate) {
  struct Case {
    const char* name;
    int faster, slower;
    bool reverse;
  };
  const std::vector<Case> cases = {
      {"rate 1", 0, 0, false},
      {"rate 4", 2, 0, false},
      {"rate 1/8", 0, 3, false},
      {"rate -2", 1, 0, true},
  };
  for (const Case& c : cases) {
    spaceRef stepped = SystemOf(ORBITS);
    spaceRef running = SystemOf(ORBITS);
    for (space* s : {stepped.get(), running.get()}) {
      for (int i = 0; i < c.faster; ++i) s->faster();
      for (int i = 0; i < c.slower; ++i) s->slower();
      if (c.reverse) s->reverse();
    }
    stepped->togglepause();
    stepped->stepframe();
    running->update();
    ExpectNear(Angles(*stepped), Angles(*running), 0);
    ExpectNear(Positions(*stepped), Positions(*running), 0);
    EXPECT_EQ(stepped->elapsed, stepped->rate) << c.name;
    stepped->update();
    ExpectNear(Positions(*stepped), Positions(*running), 0);
  }
}

TEST(TimeStep, DoesNothingWhileRunningAndReverseThenStepUndoesAStep) {
  spaceRef system = SystemOf(ORBITS);
  const std::vector<double> start = Angles(*system);
  const std::vector<vect2d> placed = Positions(*system);
  system->stepframe();
  ExpectNear(Angles(*system), start, 0);
  EXPECT_EQ(system->elapsed, 0);

  system->togglepause();
  system->stepframe();
  system->reverse();
  system->stepframe();
  ExpectNear(Angles(*system), start, 1e-9);
  ExpectNear(Positions(*system), placed, 1e-6);
  EXPECT_EQ(system->elapsed, 0);
}

TEST(TimeText, NamesThePauseAndAnyRateButOne) {
  struct Case {
    int faster, slower;
    bool reverse, paused;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {0, 0, false, false, u""},           {0, 0, false, true, u"paused"},
      {2, 0, false, false, u"4x"},         {6, 0, false, false, u"64x"},
      {0, 1, false, false, u"1/2x"},       {0, 6, false, false, u"1/64x"},
      {1, 0, true, false, u"-2x"},         {0, 0, true, false, u"-1x"},
      {0, 2, true, true, u"paused -1/4x"},
  };
  for (const Case& c : cases) {
    space system;
    for (int i = 0; i < c.faster; ++i) system.faster();
    for (int i = 0; i < c.slower; ++i) system.slower();
    if (c.reverse) system.reverse();
    if (c.paused) system.togglepause();
    EXPECT_EQ(system.ratetext(), c.text) << "rate " << system.rate;
  }
}

}  // namespace
}  // namespace skyloom
