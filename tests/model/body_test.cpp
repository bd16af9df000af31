// Tests of bodies and the system built in code: orbit placement, the
// per-frame step through a tree, the pre-order body list and parent links.
#include <gtest/gtest.h>

#include <cmath>

#include "model/body.h"
#include "model/space.h"

namespace skyloom {
namespace {

bodyRef Named(const char16_t* name) {
  bodyRef b = body::Create();
  b->name = name;
  return b;
}

bodyRef Orbiter(const char16_t* name, double dist, double angle, double speed) {
  bodyRef b = Named(name);
  b->orbit = vect2d::Create(dist, angle);
  b->revspeed = speed;
  return b;
}

void ExpectAt(const bodyRef& b, double x, double y) {
  ASSERT_NE(b->pos, nullptr) << "no position";
  EXPECT_NEAR(b->pos->x, x, 1e-9);
  EXPECT_NEAR(b->pos->y, y, 1e-9);
}

double Cos(double degrees) {
  return std::cos(degrees * M_PI / 180);
}
double Sin(double degrees) {
  return std::sin(degrees * M_PI / 180);
}

TEST(BodyTest, OrbitIsScaledThenRotatedThenMovedFromTheParent) {
  bodyRef parent = Named(u"parent");
  parent->pos = vect2d::Create(1000, -500);
  bodyRef b = Orbiter(u"b", 10, 90, 0);
  b->scaleorbit = vect2d::Create(3, 0.5);  // (0, 10) becomes (0, 5)
  b->rotorbit = 90;                        // then (-5, 0)
  b->moveorbit = vect2d::Create(7, 8);     // then (2, 8)
  b->setparent(parent);
  b->checkpos();
  ExpectAt(b, 1002, -492);
}

TEST(BodyTest, TopLevelOrbitAndChildOfUnplacedBodyCentreOnTheOrigin) {
  bodyRef top = Orbiter(u"top", 5, 0, 0);
  top->init();
  ExpectAt(top, 5, 0);

  bodyRef unplaced = Named(u"unplaced");
  bodyRef child = Orbiter(u"child", 2, 90, 0);
  child->setparent(unplaced);
  unplaced->init();
  EXPECT_EQ(unplaced->pos, nullptr);
  ExpectAt(child, 0, 2);
  unplaced->update();
  EXPECT_EQ(unplaced->pos, nullptr);
}

TEST(BodyTest, EveryChildUsesItsParentsPositionOfTheSameFrame) {
  bodyRef star = Orbiter(u"star", 100, 0, 10);
  bodyRef planet = Orbiter(u"planet", 10, 0, 0);
  bodyRef moon = Orbiter(u"moon", 1, 90, 0);
  planet->setparent(star);
  moon->setparent(planet);
  space system;
  system.bodies = {star};
  system.init();
  ExpectAt(star, 100, 0);
  ExpectAt(planet, 110, 0);
  ExpectAt(moon, 110, 1);

  for (int frame = 1; frame <= 3; ++frame) {
    system.update();
    const double sx = 100 * Cos(10 * frame), sy = 100 * Sin(10 * frame);
    ExpectAt(star, sx, sy);
    ExpectAt(planet, sx + 10, sy);
    ExpectAt(moon, sx + 10, sy + 1);
  }
}

TEST(BodyTest, RevspeedSetsDirectionAndTheAngleIsNeverWrapped) {
  struct {
    double speed;
    int frames;
    double angle;
  } const cases[] = {{0.25, 4, 41}, {-30, 3, -50}, {0, 5, 40}, {100, 4, 440}};
  for (const auto& c : cases) {
    bodyRef b = Orbiter(u"b", 10, 40, c.speed);
    b->init();
    for (int i = 0; i < c.frames; ++i) b->update();
    EXPECT_DOUBLE_EQ(b->orbit->y, c.angle) << "speed " << c.speed;
    ExpectAt(b, 10 * Cos(c.angle), 10 * Sin(c.angle));
  }
}

TEST(BodyTest, InitPlacesWithoutMovingAndFixedBodiesStayPut) {
  bodyRef fixed = Named(u"fixed");
  fixed->pos = vect2d::Create(3, 4);
  fixed->revspeed = 5;  // no orbit: nothing to turn
  bodyRef b = Orbiter(u"b", 10, 0, 45);
  b->setparent(fixed);
  fixed->init();
  ExpectAt(fixed, 3, 4);
  ExpectAt(b, 13, 4);
  fixed->update();
  ExpectAt(fixed, 3, 4);
  EXPECT_DOUBLE_EQ(b->orbit->y, 45);
}

TEST(BodyTest, APositionKeptByACallerDoesNotMoveUnderIt) {
  bodyRef b = Orbiter(u"b", 10, 0, 90);
  b->init();
  const vect2dRef kept = b->pos;
  b->update();
  ExpectAt(b, 0, 10);
  EXPECT_NEAR(kept->x, 10, 1e-12);
  EXPECT_NEAR(kept->y, 0, 1e-12);
}

TEST(BodyTest, SetradiusSetsDiameterAndSquare) {
  body b;
  b.setradius(7);
  EXPECT_EQ(b.radius, 7);
  EXPECT_EQ(b.diameter, 14);
  EXPECT_EQ(b.r2, 49);
}

TEST(BodyTest, SetposOfAChildSetsItsOrbitRelativeToTheParent) {
  bodyRef parent = Named(u"parent");
  parent->pos = vect2d::Create(10, 10);
  bodyRef child = Named(u"child");
  child->setparent(parent);
  child->setpos(vect2d::Create(10, 13));
  ASSERT_NE(child->orbit, nullptr);
  EXPECT_DOUBLE_EQ(child->orbit->x, 3);
  EXPECT_DOUBLE_EQ(child->orbit->y, 90);
  child->checkpos();
  ExpectAt(child, 10, 13);

  bodyRef loose = Named(u"loose");
  loose->setpos(vect2d::Create(1, 2));
  EXPECT_EQ(loose->orbit, nullptr);
  ExpectAt(loose, 1, 2);
}

TEST(BodyTest, SetparentMovesTheBodyAndRefusesLoops) {
  bodyRef a = Named(u"a"), b = Named(u"b"), c = Named(u"c");
  c->setparent(a);
  c->setparent(a);
  EXPECT_EQ(a->kids, bodyList{c});
  c->setparent(b);
  EXPECT_TRUE(a->kids.empty());
  EXPECT_EQ(b->kids, bodyList{c});
  EXPECT_EQ(c->parent.lock(), b);

  b->setparent(c);  // c is below b: would close a loop
  b->setparent(b);
  b->setparent(nullptr);
  EXPECT_EQ(b->parent.lock(), nullptr);
  EXPECT_TRUE(c->kids.empty());
  b->update();  // terminates
}

TEST(SpaceTest, AllbodiesIsPreOrder) {
  bodyRef a = Named(u"A"), b = Named(u"B"), c = Named(u"C"), d = Named(u"D"), e = Named(u"E");
  b->setparent(a);
  d->setparent(a);
  c->setparent(b);
  space system;
  system.bodies = {a, e};
  system.getallbodies();
  EXPECT_EQ(system.allbodies, (bodyList{a, b, c, d, e}));
  system.getallbodies();  // refills rather than appends
  EXPECT_EQ(system.allbodies.size(), 5u);
}

}  // namespace
}  // namespace skyloom
