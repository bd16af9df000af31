// Tests of the double box: edge conventions of overlap and containment,
// boxes built from others, and moves that keep the size.
#include "geom/bbox.h"

#include <gtest/gtest.h>

#include <functional>

namespace skyloom {
namespace {

void ExpectEdges(const bbox& box, double l, double r, double t, double b, const char* what) {
  EXPECT_DOUBLE_EQ(box.l, l) << what;
  EXPECT_DOUBLE_EQ(box.r, r) << what;
  EXPECT_DOUBLE_EQ(box.t, t) << what;
  EXPECT_DOUBLE_EQ(box.b, b) << what;
}

TEST(BboxTest, NewBoxIsEmptyAndDoesNotExist) {
  const bbox box;
  ExpectEdges(box, 0, 0, 0, 0, "default");
  EXPECT_EQ(box.exists(), 0);
  EXPECT_EQ(box.area(), 0);
  ExpectEdges(*bbox::Create(1, 2, 3, 4), 1, 2, 3, 4, "Create argument order");
}

TEST(BboxTest, SizeCentreAndArea) {
  const bbox box(0, 10, 20, 40);
  EXPECT_DOUBLE_EQ(box.width(), 10);
  EXPECT_DOUBLE_EQ(box.height(), 20);
  EXPECT_DOUBLE_EQ(box.area(), 200);
  const vect2dRef c = box.center();
  EXPECT_DOUBLE_EQ(c->x, 5);
  EXPECT_DOUBLE_EQ(c->y, 30);
  EXPECT_DOUBLE_EQ(bbox(5, 1, 7, 3).area(), 16);  // signed extents
  EXPECT_DOUBLE_EQ(bbox(0, 2, 5, 1).area(), -8);
}

TEST(BboxTest, IntersectsIsStrictAndContainsIsInclusive) {
  struct {
    bbox a, o;
    int intersects, contains;
  } const cases[] = {
      {{0, 10, 0, 10}, {10, 20, 0, 10}, 0, 0},  // shared vertical edge
      {{0, 10, 0, 10}, {0, 10, 10, 20}, 0, 0},  // shared horizontal edge
      {{0, 10, 0, 10}, {9, 20, 9, 20}, 1, 0},  {{0, 10, 0, 10}, {0, 10, 0, 10}, 1, 1},  // itself
      {{0, 10, 0, 10}, {2, 8, 3, 7}, 1, 1},    {{0, 10, 0, 10}, {2, 12, 3, 7}, 1, 0},
      {{2, 8, 3, 7}, {0, 10, 0, 10}, 1, 0},    {{0, 10, 0, 10}, {20, 30, 20, 30}, 0, 0},
      {{0, 10, 0, 10}, {2, 8, -5, -1}, 0, 0},  // overlaps in x only
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.a.intersects(c.o), c.intersects) << c.o.l << "," << c.o.r << "," << c.o.t;
    EXPECT_EQ(c.a.contains(c.o), c.contains) << c.o.l << "," << c.o.r << "," << c.o.t;
  }
}

TEST(BboxTest, ContainsVectIncludesLeftAndTopEdgesOnly) {
  const bbox box(0, 10, 0, 10);
  struct {
    vect2d v;
    int inside;
  } const cases[] = {{{0, 0}, 1},  {{9.5, 9.5}, 1}, {{10, 5}, 0},
                     {{5, 10}, 0}, {{-0.1, 5}, 0},  {{5, -0.1}, 0}};
  for (const auto& c : cases) EXPECT_EQ(box.containsvect(c.v), c.inside) << c.v.x << "," << c.v.y;
}

struct DerivedCase {
  const char* name;
  std::function<bboxRef(const bbox&)> op;
  bbox box;
  double l, r, t, b;
};

TEST(BboxTest, DerivedBoxesAreNewAndLeaveTheReceiverAlone) {
  const DerivedCase cases[] = {
      {"edge-sharing intersection",
       [](auto& a) { return a.intersection(bbox(10, 20, 0, 10)); },
       {0, 10, 0, 10},
       10,
       10,
       0,
       10},
      {"intersection",
       [](auto& a) { return a.intersection(bbox(5, 20, -5, 3)); },
       {0, 10, 0, 10},
       5,
       10,
       0,
       3},
      {"merge", [](auto& a) { return a.merge(bbox(5, 6, -2, -1)); }, {0, 1, 0, 1}, 0, 6, -2, 1},
      {"sanitized", [](auto& a) { return a.sanitized(); }, {5, 1, 7, 3}, 1, 5, 3, 7},
      {"expand", [](auto& a) { return a.expand(vect2d(-1, 50)); }, {0, 10, 20, 40}, -1, 10, 20, 50},
      {"expand inside",
       [](auto& a) { return a.expand(vect2d(5, 30)); },
       {0, 10, 20, 40},
       0,
       10,
       20,
       40},
      {"copy", [](auto& a) { return a.copy(); }, {1, 2, 3, 4}, 1, 2, 3, 4},
  };
  for (const auto& c : cases) {
    const bbox box = c.box;
    const bboxRef result = c.op(box);
    ASSERT_NE(result, nullptr) << c.name;
    EXPECT_NE(result.get(), &box);
    ExpectEdges(*result, c.l, c.r, c.t, c.b, c.name);
    EXPECT_EQ(box.equals(c.box), 1) << c.name << " changed the receiver";
  }
  EXPECT_EQ(bbox(0, 10, 0, 10).intersection(bbox(10, 20, 0, 10))->exists(), 0);
}

struct InPlaceCase {
  const char* name;
  std::function<bool(bbox&)> op;  // true when the result is as declared
  bbox box;
  double l, r, t, b;
};

TEST(BboxTest, InPlaceOperations) {
  const InPlaceCase cases[] = {
      {"mergewith",
       [](auto& a) { return !a.mergewith(bbox(5, 6, -2, -1)); },
       {0, 1, 0, 1},
       0,
       6,
       -2,
       1},
      {"sanitize", [](auto& a) { return a.sanitize() == 0; }, {5, 1, 7, 3}, 1, 5, 3, 7},
      {"sanitize well-formed", [](auto& a) { return a.sanitize() == 0; }, {1, 5, 3, 7}, 1, 5, 3, 7},
      {"setcenter",
       [](auto& a) { return a.setcenter(vect2d(0, 0)) == 0; },
       {0, 10, 20, 40},
       -5,
       5,
       -10,
       10},
      {"setcorner",
       [](auto& a) { return a.setcorner(vect2d(3, 4)) == 0; },
       {0, 10, 20, 40},
       3,
       13,
       4,
       24},
      {"translate",
       [](auto& a) { return a.translate(vect2d(1, -2)) == 0; },
       {0, 10, 20, 40},
       1,
       11,
       18,
       38},
      {"set", [](auto& a) { return a.set(4, 3, 2, 1) == 0; }, {}, 4, 3, 2, 1},
  };
  for (const auto& c : cases) {
    bbox box = c.box;
    EXPECT_TRUE(c.op(box)) << c.name << " returned the wrong value";
    ExpectEdges(box, c.l, c.r, c.t, c.b, c.name);
  }
}

TEST(BboxTest, ExistsAndEquals) {
  EXPECT_EQ(bbox(0, 1, 0, 1).exists(), 1);
  EXPECT_EQ(bbox(0, 1, 1, 1).exists(), 0);
  EXPECT_EQ(bbox(1, 0, 0, 1).exists(), 0);
  const bbox box(1, 2, 3, 4);
  EXPECT_EQ(box.equals(bbox(1, 2, 3, 4)), 1);
  EXPECT_EQ(box.equals(bbox(1, 2, 3, 5)), 0);
  EXPECT_EQ(box.equals(bbox(0, 2, 3, 4)), 0);
}

TEST(BboxTest, ToStringJoinsFormattedEdges) {
  EXPECT_EQ(bbox(1, 2, 3, 4).ToString(),
            u"x: 1.0000000000000000,2.0000000000000000 y: 3.0000000000000000,4.0000000000000000");
}

}  // namespace
}  // namespace skyloom
