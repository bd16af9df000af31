// Tests of the double vector: fresh results versus in-place changes, the
// tolerance and ordering rules, degree-based angles and the text form.
#include "geom/vect2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace skyloom {
namespace {

constexpr double kNear = 1e-12;

void ExpectNear(const vect2d& actual, double x, double y, const char* what) {
  EXPECT_NEAR(actual.x, x, kNear) << what;
  EXPECT_NEAR(actual.y, y, kNear) << what;
}

struct BinaryCase {
  const char* name;
  std::function<vect2dRef(const vect2d&, const vect2d&)> op;
  vect2d a, b;
  double x, y;
};

TEST(Vect2dTest, OperationsReturnFreshVectorsAndLeaveInputsAlone) {
  const BinaryCase cases[] = {
      {"add", [](auto& a, auto& b) { return a.add(b); }, {1, 2}, {3, 5}, 4, 7},
      {"addx", [](auto& a, auto& b) { return a.addx(b); }, {1, 2}, {3, 5}, 4, 2},
      {"addy", [](auto& a, auto& b) { return a.addy(b); }, {1, 2}, {3, 5}, 1, 7},
      {"sub", [](auto& a, auto& b) { return a.sub(b); }, {1, 2}, {3, 5}, -2, -3},
      {"mult", [](auto& a, auto& b) { return a.mult(b); }, {2, -3}, {4, 5}, 8, -15},
      {"negate", [](auto& a, auto&) { return a.negate(); }, {2, -3}, {}, -2, 3},
      {"negatex", [](auto& a, auto&) { return a.negatex(); }, {2, -3}, {}, -2, -3},
      {"negatey", [](auto& a, auto&) { return a.negatey(); }, {2, -3}, {}, 2, 3},
      {"scale", [](auto& a, auto&) { return a.scale(2.5); }, {2, -4}, {}, 5, -10},
      {"perp", [](auto& a, auto&) { return a.perp(); }, {1, 0}, {}, 0, 1},
      {"rperp", [](auto& a, auto&) { return a.rperp(); }, {1, 0}, {}, 0, -1},
      {"rotate", [](auto& a, auto& b) { return a.rotate(b); }, {1, 0}, {0, 1}, 0, 1},
      {"rotate general", [](auto& a, auto& b) { return a.rotate(b); }, {1, 2}, {3, 4}, -5, 10},
      {"unrotate", [](auto& a, auto& b) { return a.unrotate(b); }, {0, 1}, {0, 1}, 1, 0},
      {"unrotate general", [](auto& a, auto& b) { return a.unrotate(b); }, {1, 2}, {3, 4}, 11, 2},
      {"project", [](auto& a, auto& b) { return a.project(b); }, {3, 4}, {2, 0}, 3, 0},
      {"normalize", [](auto& a, auto&) { return a.normalize(); }, {3, 4}, {}, 0.6, 0.8},
      {"normalizesafe", [](auto& a, auto&) { return a.normalizesafe(); }, {3, 4}, {}, 0.6, 0.8},
      {"normalizesafe zero", [](auto& a, auto&) { return a.normalizesafe(); }, {0, 0}, {}, 0, 0},
      {"clamp at length", [](auto& a, auto&) { return a.clamp(5); }, {3, 4}, {}, 3, 4},
      {"clamp shorter", [](auto& a, auto&) { return a.clamp(2); }, {3, 4}, {}, 1.2, 1.6},
      {"lerp", [](auto& a, auto& b) { return a.lerp(b, 0.25); }, {0, 4}, {8, 0}, 2, 3},
      {"lerpconst step",
       [](auto& a, auto& b) { return a.lerpconst(b, 3.0f); },
       {0, 0},
       {10, 0},
       3,
       0},
      {"lerpconst arrive",
       [](auto& a, auto& b) { return a.lerpconst(b, 20.0f); },
       {0, 0},
       {10, 0},
       10,
       0},
      {"copy", [](auto& a, auto&) { return a.copy(); }, {7, -8}, {}, 7, -8},
      {"recttopolar", [](auto& a, auto&) { return a.recttopolar(); }, {0, 2}, {}, 2, 90},
      {"polartorect", [](auto& a, auto&) { return a.polartorect(); }, {2, 90}, {}, 0, 2},
  };
  for (const auto& c : cases) {
    const vect2d a = c.a, b = c.b;
    const vect2dRef result = c.op(a, b);
    ASSERT_NE(result, nullptr) << c.name;
    EXPECT_NE(result.get(), &a) << c.name;
    ExpectNear(*result, c.x, c.y, c.name);
    EXPECT_TRUE(a.equalsexact(c.a) && b.equalsexact(c.b)) << c.name << " changed an input";
  }
}

struct InPlaceCase {
  const char* name;
  std::function<bool(vect2d&, const vect2d&)> op;  // true when the result is as declared
  vect2d a, b;
  double x, y;
};

TEST(Vect2dTest, ApplyVariantsChangeTheReceiverAndReturnZeroOrNull) {
  auto zero = [](int r) { return r == 0; };
  const InPlaceCase cases[] = {
      {"applyadd", [&](auto& a, auto& b) { return zero(a.applyadd(b)); }, {1, 2}, {3, 5}, 4, 7},
      {"applyaddx", [](auto& a, auto& b) { return !a.applyaddx(b); }, {1, 2}, {3, 5}, 4, 2},
      {"applyaddy", [](auto& a, auto& b) { return !a.applyaddy(b); }, {1, 2}, {3, 5}, 1, 7},
      {"applysub", [&](auto& a, auto& b) { return zero(a.applysub(b)); }, {1, 2}, {3, 5}, -2, -3},
      {"applymult", [](auto& a, auto& b) { return !a.applymult(b); }, {2, -3}, {4, 5}, 8, -15},
      {"applynegate", [&](auto& a, auto&) { return zero(a.applynegate()); }, {2, -3}, {}, -2, 3},
      {"applynegatex", [&](auto& a, auto&) { return zero(a.applynegatex()); }, {2, -3}, {}, -2, -3},
      {"applynegatey", [&](auto& a, auto&) { return zero(a.applynegatey()); }, {2, -3}, {}, 2, 3},
      {"applyscale", [&](auto& a, auto&) { return zero(a.applyscale(-2)); }, {2, -3}, {}, -4, 6},
      {"applynormalize",
       [&](auto& a, auto&) { return zero(a.applynormalize()); },
       {3, 4},
       {},
       0.6,
       0.8},
      {"applynormalizesafe",
       [&](auto& a, auto&) { return zero(a.applynormalizesafe()); },
       {3, 4},
       {},
       0.6,
       0.8},
      {"applynormalizesafe zero",
       [&](auto& a, auto&) { return zero(a.applynormalizesafe()); },
       {0, 0},
       {},
       0,
       0},
      {"applyclamp long",
       [&](auto& a, auto&) { return zero(a.applyclamp(2)); },
       {3, 4},
       {},
       1.2,
       1.6},
      {"applyclamp short", [&](auto& a, auto&) { return zero(a.applyclamp(5)); }, {3, 4}, {}, 3, 4},
      {"set", [&](auto& a, auto&) { return zero(a.set(9, -1)); }, {3, 4}, {}, 9, -1},
      {"setto", [&](auto& a, auto& b) { return zero(a.setto(b)); }, {3, 4}, {6, 7}, 6, 7},
      {"setzero", [&](auto& a, auto&) { return zero(a.setzero()); }, {3, 4}, {}, 0, 0},
  };
  for (const auto& c : cases) {
    vect2d a = c.a;
    const vect2d b = c.b;
    EXPECT_TRUE(c.op(a, b)) << c.name << " returned the wrong value";
    ExpectNear(a, c.x, c.y, c.name);
    EXPECT_TRUE(b.equalsexact(c.b)) << c.name << " changed its argument";
  }
}

TEST(Vect2dTest, ScalarQueries) {
  const vect2d a(3, 4), b(-1, 1);
  EXPECT_DOUBLE_EQ(a.dot(b), 1);
  // The usual 2-D cross product x*v.y - y*v.x: positive from +x towards +y.
  EXPECT_DOUBLE_EQ(vect2d(1, 0).cross(vect2d(0, 1)), 1);
  EXPECT_DOUBLE_EQ(a.cross(b), 7);
  EXPECT_DOUBLE_EQ(a.length(), 5);
  EXPECT_DOUBLE_EQ(a.lengthsq(), 25);
  EXPECT_DOUBLE_EQ(a.distsq(b), 25);
  EXPECT_DOUBLE_EQ(a.dist(b), 5);
  EXPECT_DOUBLE_EQ(vect2d(1, 1).angleto(vect2d(1, 5)), 90);
  EXPECT_DOUBLE_EQ(vect2d(1, 1).angleto(vect2d(0, 1)), 180);
}

TEST(Vect2dTest, AnglesAreDegrees) {
  struct {
    vect2d v;
    double angle;
  } const cases[] = {{{1, 0}, 0},
                     {{0, 1}, 90},
                     {{-1, 0}, 180},
                     {{0, -1}, -90},
                     {{1, 1}, 45},
                     {{-1, -1}, -135},
                     // On the -x axis from below: still 180, the range is (-180, 180].
                     {{-1, -0.0}, 180},
                     {{-1, -1e-300}, 180}};
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(c.v.toangle(), c.angle) << c.v.x << "," << c.v.y;
    EXPECT_DOUBLE_EQ(vect2d(0, 0).angleto(c.v), c.angle) << "angleto " << c.v.x << "," << c.v.y;
  }
  EXPECT_DOUBLE_EQ(vect2d(-2, -0.0).recttopolar()->y, 180);

  ExpectNear(*vect2d::forangle(90), 0, 1, "forangle 90");
  ExpectNear(*vect2d::forangle(-180), -1, 0, "forangle -180");

  const vect2d v(-3.5, 12.25);
  const vect2dRef back = v.recttopolar()->polartorect();
  ExpectNear(*back, v.x, v.y, "polar round trip");
}

TEST(Vect2dTest, SlopeIsInfiniteForVerticalAndZeroVectors) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(vect2d(0, 5).slope(), inf);
  EXPECT_EQ(vect2d(0, -5).slope(), inf);
  EXPECT_EQ(vect2d(0, 0).slope(), inf);
  EXPECT_DOUBLE_EQ(vect2d(2, 5).slope(), 2.5);
}

TEST(Vect2dTest, NormalizeOfZeroGivesNaNWhereTheSafeFormsGiveZero) {
  EXPECT_TRUE(std::isnan(vect2d(0, 0).normalize()->x));
  vect2d z;
  z.applynormalize();
  EXPECT_TRUE(std::isnan(z.y));
}

TEST(Vect2dTest, EqualsUsesStrictToleranceRelativeToReceiver) {
  struct {
    vect2d a, b;
    double tol;
    int expected;
  } const cases[] = {
      {{1, 1}, {1.05, 0.95}, 0.1, 1},   {{1, 1}, {1.05, 0.95}, 0.05, 0},
      {{0, 1}, {0, 1}, 0.5, 0},    // zero x: tolerance 0, strict test fails
      {{1, 0}, {1, 0}, 0.5, 0},    // zero y after x passed
      {{1, 1}, {1.5, 1}, 0.5, 0},  // exactly at the tolerance is not inside
      {{-2, -2}, {-2.1, -1.9}, 0.1, 1}, {{1, 100}, {2, 100}, 0.1, 0},  // x fails, y would pass
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.a.equals(c.b, c.tol), c.expected)
        << "(" << c.a.x << "," << c.a.y << ") vs (" << c.b.x << "," << c.b.y << ") tol " << c.tol;
  }
  EXPECT_EQ(vect2d(1, 2).equalsexact(vect2d(1, 2)), 1);
  EXPECT_EQ(vect2d(1, 2).equalsexact(vect2d(1, 2.0000001)), 0);
  EXPECT_EQ(vect2d().iszero(), 1);
  EXPECT_EQ(vect2d(0, 1e-300).iszero(), 0);
}

TEST(Vect2dTest, CompareOrdersBySquaredLength) {
  const vect2d small(1, 1), big(0, 3), same_as_big(3, 0);
  EXPECT_EQ(big.comparevects(small), 1);
  EXPECT_EQ(small.comparevects(big), -1);
  EXPECT_EQ(big.comparevects(same_as_big), 0);

  const Object& as_object = big;
  EXPECT_EQ(as_object.compare(small), 1);
  EXPECT_EQ(small.compare(big), -1);
  EXPECT_EQ(same_as_big.compare(big), 0);
}

TEST(Vect2dTest, CompareWithAnotherKindFallsBackToIdentityOrder) {
  const vect2d v(1, 1);
  const StringObject text(u"1,1");
  const int forward = v.compare(text);
  EXPECT_NE(forward, 0);
  EXPECT_EQ(forward, -text.compare(v));
}

TEST(Vect2dTest, ToStringUsesFullPrecisionFormat) {
  EXPECT_EQ(vect2d(1, 2).ToString(), u"1.0000000000000000,2.0000000000000000");
  EXPECT_EQ(vect2d(-0.5, 1e20).ToString(), u"-0.50000000000000000,1.0000000000000000e+20");
}

}  // namespace
}  // namespace skyloom
