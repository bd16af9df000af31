// Integer vectors and rectangles: the compact stream layout byte for byte,
// magnitude and ordering, text form, and the closed-edge rectangle tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "geom/vector.h"

namespace skyloom {
namespace {

using Bytes = std::vector<uint8_t>;

// A memory stream large enough for any vector or rectangle layout.
struct Scratch {
  Bytes bytes = Bytes(64, 0xEE);
  std::shared_ptr<TRamStream> stream =
      TRamStream::Create(bytes.data(), int64_t(bytes.size()), true, true);

  Bytes Written() const { return Bytes(bytes.begin(), bytes.begin() + stream->Pos()); }
};

std::shared_ptr<TRamStream> Reader(Bytes& bytes) {
  return TRamStream::Create(bytes.data(), int64_t(bytes.size()), true, false);
}

struct LayoutCase {
  int32_t x, y, z;
  Bytes layout;
};

TEST(VectorTest, WritesOnlyUpToTheLastNonZeroComponentAndReadsItBack) {
  const LayoutCase cases[] = {
      {0, 0, 0, {0x00}},
      {5, 0, 0, {0x01, 0x05, 0x00, 0x00, 0x00}},
      {0, 0, 7, {0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0x07, 0, 0, 0}},
      {0, -1, 0, {0x02, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}},
      {-2147483647 - 1, 0x01020304, 0, {0x02, 0x00, 0x00, 0x00, 0x80, 0x04, 0x03, 0x02, 0x01}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z);
    Scratch out;
    Vector(c.x, c.y, c.z).write(*out.stream);
    EXPECT_EQ(out.Written(), c.layout);

    Bytes layout = c.layout;
    auto back = Vector::read(*Reader(layout));
    EXPECT_EQ(back->x, c.x);
    EXPECT_EQ(back->y, c.y);
    EXPECT_EQ(back->z, c.z);
  }
}

TEST(VectorTest, ReadTakesAtMostThreeComponentsAndLeavesTheRestOfTheStream) {
  Bytes bytes = {0x05, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 0xAB};
  auto stream = Reader(bytes);
  auto v = Vector::read(*stream);
  EXPECT_EQ(v->ToString(), u"1,2,3");
  EXPECT_EQ(stream->Pos(), 13);
  EXPECT_EQ(stream->ReadByte(), 0xAB);

  Bytes one = {0x01, 0x2A, 0x00, 0x00, 0x00};
  EXPECT_EQ(Vector::read(*Reader(one))->ToString(), u"42,0,0");
}

TEST(VectorTest, ReadOfATruncatedLayoutRaisesTheStreamError) {
  Bytes bytes = {0x02, 0x01, 0x00, 0x00, 0x00, 0x02};
  EXPECT_THROW(Vector::read(*Reader(bytes)), TStreamReadException);
}

TEST(VectorTest, MagnitudeIsTheEuclideanLengthEvenBeyondThe32BitRange) {
  EXPECT_EQ(Vector(3, 4, 0).Magnitude(), 5.0f);
  EXPECT_EQ(Vector(0, 0, -12).Magnitude(), 12.0f);
  EXPECT_EQ(Vector().Magnitude(), 0.0f);
  // The squares of these sum far past 2^31; wrapping would give nonsense.
  const int32_t low = std::numeric_limits<int32_t>::min();
  EXPECT_FLOAT_EQ(Vector(low, low, low).Magnitude(), float(2147483648.0 * std::sqrt(3.0)));
  EXPECT_FLOAT_EQ(Vector(50000, 50000, 0).Magnitude(), float(50000 * std::sqrt(2.0)));
}

TEST(VectorTest, ToStringJoinsDecimalComponentsWithCommas) {
  EXPECT_EQ(Vector(1, -2, 3).ToString(), u"1,-2,3");
  EXPECT_EQ(Vector().ToString(), u"0,0,0");
  EXPECT_EQ(Vector(std::numeric_limits<int32_t>::min(), 0, 2147483647).ToString(),
            u"-2147483648,0,2147483647");
}

TEST(VectorTest, SortOrdersByMagnitudeAndNeverReturnsZero) {
  const Vector short_one(1, 1, 0), long_one(0, 5, 0), same_length(-5, 0, 0);
  EXPECT_EQ(Vector::Sort(short_one, long_one), -1);
  EXPECT_EQ(Vector::Sort(long_one, short_one), 1);
  EXPECT_EQ(Vector::Sort(long_one, same_length), 1);
  EXPECT_EQ(Vector::Sort(same_length, long_one), 1);
  EXPECT_EQ(Vector::Sort(long_one, long_one), 1);
}

struct PointCase {
  int32_t x, y;
  int inside;
};

TEST(RectTest, ContainsUsesClosedEdges) {
  auto box = rect::Create(0, 0, 10, 10);
  const PointCase cases[] = {
      {0, 0, 1},  {10, 10, 1}, {10, 0, 1}, {5, 5, 1},  {0, 10, 1},
      {11, 5, 0}, {-1, 0, 0},  {5, 11, 0}, {5, -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    EXPECT_EQ(box->Contains(c.x, c.y), c.inside);
    EXPECT_EQ(box->ContainsPoint(Vector(c.x, c.y, 99)), c.inside);
  }
}

TEST(RectTest, NegativeSizesAreNotNormalisedAndContainNothing) {
  const RectRef boxes[] = {rect::Create(5, 5, -3, 4), rect::Create(5, 5, 4, -3),
                           rect::Create(5, 5, -3, -3)};
  for (const auto& box : boxes) {
    for (int32_t y = -2; y <= 12; ++y) {
      for (int32_t x = -2; x <= 12; ++x) EXPECT_EQ(box->Contains(x, y), 0) << x << "," << y;
    }
  }
}

TEST(RectTest, EdgesNearTheIntegerLimitDoNotWrap) {
  const int32_t high = std::numeric_limits<int32_t>::max();
  auto box = rect::Create(high - 5, 0, 10, 10);
  EXPECT_EQ(box->Contains(high, 5), 1);
  EXPECT_EQ(box->Contains(0, 5), 0);
  EXPECT_EQ(box->Overlaps(*rect::Create(high, 0, 0, 0)), 1);
  EXPECT_EQ(box->Overlaps(*rect::Create(0, 0, 10, 10)), 0);
}

struct OverlapCase {
  int32_t x, y, w, h;
  int overlaps;
};

TEST(RectTest, OverlapsIncludesTouchingEdgesAndCorners) {
  auto box = rect::Create(0, 0, 10, 10);
  const OverlapCase cases[] = {
      {10, 0, 5, 5, 1},     // shares the right edge
      {11, 0, 5, 5, 0},     // one column to the right
      {-5, -5, 5, 5, 1},    // touches the top-left corner
      {-6, 0, 5, 5, 0},     // one column to the left
      {0, 10, 5, 5, 1},     // shares the bottom edge
      {0, 11, 5, 5, 0},     // below
      {0, -6, 5, 5, 0},     // above
      {2, 2, 3, 3, 1},      // inside
      {-5, -5, 30, 30, 1},  // around
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
    auto other = rect::Create(c.x, c.y, c.w, c.h);
    EXPECT_EQ(box->Overlaps(*other), c.overlaps);
    EXPECT_EQ(other->Overlaps(*box), c.overlaps);
  }
}

TEST(RectTest, WritesPosThenSizeAndReadsThemBack) {
  Scratch out;
  rect::Create(5, 0, 0, -1)->write(*out.stream);
  const Bytes expected = {0x01, 0x05, 0, 0, 0, 0x02, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(out.Written(), expected);

  Bytes layout = expected;
  layout.push_back(0x7F);
  auto stream = Reader(layout);
  auto back = rect::read(*stream);
  EXPECT_EQ(back->pos->ToString(), u"5,0,0");
  EXPECT_EQ(back->size->ToString(), u"0,-1,0");
  EXPECT_EQ(stream->ReadByte(), 0x7F);

  Scratch empty;
  rect().write(*empty.stream);
  EXPECT_EQ(empty.Written(), (Bytes{0x00, 0x00}));
}

}  // namespace
}  // namespace skyloom
