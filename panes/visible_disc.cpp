// The visible part of a large disc: a covered box, or the box cut by the
// edges of the disc's polygon that face it.
#include "panes/visible_disc.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "runtime/display.h"

namespace skyloom {

namespace {

constexpr double kTurn = 2 * M_PI;

using point = std::pair<double, double>;

bool Inside(const clipbox& box, double x, double y) {
  return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

void SetBoxCorners(const clipbox& box, discpolygon& polygon) {
  polygon.resize(4);
  polygon[0] = {box.left, box.top};
  polygon[1] = {box.right, box.top};
  polygon[2] = {box.right, box.bottom};
  polygon[3] = {box.left, box.bottom};
}

// The length of (x, y); hypot only where the squares would overflow. The
// test comes before the root so that nothing waits for it.
double Length(double x, double y) {
  const double square = x * x + y * y;
  return square <= std::numeric_limits<double>::max() ? std::sqrt(square) : std::hypot(x, y);
}

// The largest whole number not above x, for |x| well within a long's range
// (a corner index); cheaper than std::floor's call.
long Floor(double x) {
  const long whole = static_cast<long>(x);
  return whole > x ? whole - 1 : whole;
}

// The angle of (x, y), as atan2 gives it for finite coordinates, from the
// arc tangent of a ratio of at most 1, which costs less than atan2.
double Angle(double y, double x) {
  if (std::fabs(x) >= std::fabs(y)) {
    const double angle = std::atan(y / x);
    return x >= 0 ? angle : y >= 0 ? angle + M_PI : angle - M_PI;
  }
  return (y > 0 ? M_PI / 2 : -M_PI / 2) - std::atan(x / y);
}

// Takes the values that depend only on the corner count, once per count.
void PrepareCorners(discwork& work, int n) {
  if (work.corners == n) return;
  work.corners = n;
  work.inner = std::cos(M_PI / n);
  work.step = kTurn / n;
  work.step_cos = std::cos(work.step);
  work.step_sin = std::sin(work.step);
}

point Corner(double cx, double cy, double r, int n, long index) {
  const long wrapped = ((index % n) + n) % n;
  const double angle = kTurn * static_cast<double>(wrapped) / n;
  return {cx + r * std::cos(angle), cy + r * std::sin(angle)};
}

// One Sutherland-Hodgman step: the part of the polygon on the side of the
// line where inside(p) holds goes into kept; cut(a, b) is where the edge a-b
// crosses the line.
template <typename InsideTest, typename Crossing>
void ClipSide(const discpolygon& polygon, discpolygon& kept, InsideTest inside, Crossing cut) {
  kept.clear();
  for (size_t i = 0; i < polygon.size(); ++i) {
    const point& a = polygon[i];
    const point& b = polygon[i + 1 == polygon.size() ? 0 : i + 1];
    const bool a_in = inside(a), b_in = inside(b);
    if (a_in) kept.push_back(a);
    if (a_in != b_in) kept.push_back(cut(a, b));
  }
}

// Cuts work.polygon to the box, side by side, between the two buffers.
void ClipToBox(const clipbox& box, discwork& work) {
  const auto at_x = [](const point& a, const point& b, double x) {
    const double t = (x - a.first) / (b.first - a.first);
    return point{x, a.second + t * (b.second - a.second)};
  };
  const auto at_y = [](const point& a, const point& b, double y) {
    const double t = (y - a.second) / (b.second - a.second);
    return point{a.first + t * (b.first - a.first), y};
  };
  discpolygon& polygon = work.polygon;
  discpolygon& other = work.spare;
  ClipSide(
      polygon, other, [&](const point& p) { return p.first >= box.left; },
      [&](const point& a, const point& b) { return at_x(a, b, box.left); });
  ClipSide(
      other, polygon, [&](const point& p) { return p.first <= box.right; },
      [&](const point& a, const point& b) { return at_x(a, b, box.right); });
  ClipSide(
      polygon, other, [&](const point& p) { return p.second >= box.top; },
      [&](const point& a, const point& b) { return at_y(a, b, box.top); });
  ClipSide(
      other, polygon, [&](const point& p) { return p.second <= box.bottom; },
      [&](const point& a, const point& b) { return at_y(a, b, box.bottom); });
}

// Keeps the part of work.polygon on the disc's side of the polygon edge
// from a to b (corners in the order of their angles, so the disc lies to
// the left in y-up terms: the cross product is not negative there). An
// edge the whole polygon lies behind costs only the side tests.
void CutByEdge(const point& a, const point& b, discwork& work) {
  const double ex = b.first - a.first, ey = b.second - a.second;
  const auto side = [&](const point& p) {
    return ex * (p.second - a.second) - ey * (p.first - a.first);
  };
  const discpolygon& polygon = work.polygon;
  bool all_in = true;
  for (const point& p : polygon) all_in = all_in && side(p) >= 0;
  if (all_in) return;
  discpolygon& kept = work.spare;
  kept.clear();
  for (size_t i = 0; i < polygon.size(); ++i) {
    const point& p = polygon[i];
    const point& q = polygon[i + 1 == polygon.size() ? 0 : i + 1];
    const double sp = side(p), sq = side(q);
    if (sp >= 0) kept.push_back(p);
    if ((sp >= 0) != (sq >= 0)) {
      const double t = sp / (sp - sq);
      kept.push_back({p.first + t * (q.first - p.first), p.second + t * (q.second - p.second)});
    }
  }
  std::swap(work.polygon, work.spare);
}

// Whether every corner of the box lies within the polygon's inner circle.
bool Covers(double cx, double cy, double r, const discwork& work, const clipbox& box) {
  const double inner = r * work.inner;
  const double far_x = std::max(std::fabs(box.left - cx), std::fabs(box.right - cx));
  const double far_y = std::max(std::fabs(box.top - cy), std::fabs(box.bottom - cy));
  return far_x * far_x + far_y * far_y <= inner * inner;
}

// The turns up to which SmallTurnCosSin is exact in double precision: the
// first series term it leaves out is below 1e-20 of the result.
constexpr double kSmallTurn = 1e-3;

// cos and sin of a turn of at most kSmallTurn by their series.
void SmallTurnCosSin(double turn, double& c, double& s) {
  const double t2 = turn * turn;
  constexpr double kHalf = 1.0 / 2, kTwelfth = 1.0 / 12, kThirtieth = 1.0 / 30;
  constexpr double kSixth = 1.0 / 6, kTwentieth = 1.0 / 20;
  c = 1 - t2 * kHalf * (1 - t2 * kTwelfth * (1 - t2 * kThirtieth));
  s = turn * (1 - t2 * kSixth * (1 - t2 * kTwentieth));
}

// The unit direction of the wedge's first corner, turned back by behind from
// the direction (dx, dy) of length distance: when the turn back is
// small, the corner's arc functions follow from those of the aim without a
// call of their own. NaN when the turn is too large for that.
void FirstCornerDirection(double dx, double dy, double distance, double behind, double& ux,
                          double& uy) {
  if (!(std::fabs(behind) <= kSmallTurn) || !(distance > 0)) {
    ux = uy = NAN;
    return;
  }
  const double per_length = 1 / distance;
  const double aim_cos = dx * per_length, aim_sin = dy * per_length;
  double c, s;
  SmallTurnCosSin(behind, c, s);
  ux = aim_cos * c + aim_sin * s;
  uy = aim_sin * c - aim_cos * s;
}

void AllCornersCutToBox(double cx, double cy, double r, int n, const clipbox& box, discwork& work) {
  work.polygon.clear();
  for (long i = 0; i < n; ++i) work.polygon.push_back(Corner(cx, cy, r, n, i));
  ClipToBox(box, work);
}

// The box cut by the polygon's edges that can reach it. Every point of an
// edge lies, seen from the centre, within that edge's angular step, so the
// edges over the box's angular extent bound all of the polygon the box
// sees; the rest of the polygon, and the wedge's sides from the centre, lie
// outside the box. The extent is taken from the circle round the box, which
// holds the box: two arc functions per disc instead of one per box corner.
// The corners follow one another by a fixed turn from the first.
void BoxCutByFacingEdges(double cx, double cy, double r, int n, const clipbox& box,
                         discwork& work) {
  const double mid_x = (box.left + box.right) / 2, mid_y = (box.top + box.bottom) / 2;
  const double reach = Length(box.right - mid_x, box.bottom - mid_y);
  const double distance = Length(mid_x - cx, mid_y - cy);
  const double aim = Angle(mid_y - cy, mid_x - cx);
  const double spread = reach >= distance ? M_PI : std::asin(reach / distance);
  const double step = work.step;
  const long first = Floor((aim - spread) / step);
  const long last = Floor((aim + spread) / step) + 1;
  if (last - first + 1 >= n) {
    AllCornersCutToBox(cx, cy, r, n, box, work);
    return;
  }
  SetBoxCorners(box, work.polygon);
  double ux, uy;
  FirstCornerDirection(mid_x - cx, mid_y - cy, distance, aim - first * step, ux, uy);
  if (std::isnan(ux)) std::tie(ux, uy) = Corner(0, 0, 1, n, first);
  point a{cx + r * ux, cy + r * uy};
  for (long i = first; i < last && !work.polygon.empty(); ++i) {
    const double next_x = ux * work.step_cos - uy * work.step_sin;
    uy = ux * work.step_sin + uy * work.step_cos;
    ux = next_x;
    const point b{cx + r * ux, cy + r * uy};
    CutByEdge(a, b, work);
    a = b;
  }
}

}  // namespace

void VisibleDiscPolygon(double cx, double cy, double r, int n, const clipbox& box, discwork& work) {
  work.polygon.clear();
  r = std::fabs(r);
  // A centre out of range has no place on the screen (and no angle to aim at).
  if (n < 3 || !(r > 0) || !std::isfinite(cx) || !std::isfinite(cy)) return;
  PrepareCorners(work, n);
  if (Covers(cx, cy, r, work, box)) {
    SetBoxCorners(box, work.polygon);
  } else if (Inside(box, cx, cy)) {
    // Only when the disc is about the box's size: its corners are few.
    AllCornersCutToBox(cx, cy, r, n, box, work);
  } else {
    BoxCutByFacingEdges(cx, cy, r, n, box, work);
  }
}

discpolygon VisibleDiscPolygon(double cx, double cy, double r, int n, const clipbox& box) {
  discwork work;
  VisibleDiscPolygon(cx, cy, r, n, box, work);
  return std::move(work.polygon);
}

void DrawVisibleDisc(double cx, double cy, double r, const clipbox& box, discwork& work) {
  const float size = static_cast<float>(2 * r);
  VisibleDiscPolygon(cx, cy, r, OvalCornerCount(size, size), box, work);
  work.offsets.clear();
  for (const auto& [x, y] : work.polygon) {
    work.offsets.emplace_back(static_cast<float>(x), static_cast<float>(y));
  }
  DrawPolygon(0, 0, work.offsets);
}

}  // namespace skyloom
