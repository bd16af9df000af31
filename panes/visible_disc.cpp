// The visible part of a large disc: a covered box, or the corners of the
// disc's polygon that face the box plus its centre, cut to the box.
#include "panes/visible_disc.h"

#include <algorithm>
#include <cmath>

#include "runtime/display.h"

namespace skyloom {

namespace {

constexpr double kTurn = 2 * M_PI;

using point = std::pair<double, double>;

bool Inside(const clipbox& box, double x, double y) {
  return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

discpolygon BoxCorners(const clipbox& box) {
  return {
      {box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
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

// Cuts the polygon to the box, side by side, between two buffers.
discpolygon ClipToBox(discpolygon polygon, const clipbox& box) {
  const auto at_x = [](const point& a, const point& b, double x) {
    const double t = (x - a.first) / (b.first - a.first);
    return point{x, a.second + t * (b.second - a.second)};
  };
  const auto at_y = [](const point& a, const point& b, double y) {
    const double t = (y - a.second) / (b.second - a.second);
    return point{a.first + t * (b.first - a.first), y};
  };
  discpolygon other;
  other.reserve(polygon.size() + 4);
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
  return polygon;
}

// Whether every corner of the box lies within the polygon's inner circle.
bool Covers(double cx, double cy, double r, int n, const clipbox& box) {
  const double inner = r * std::cos(M_PI / n);
  const double far_x = std::max(std::fabs(box.left - cx), std::fabs(box.right - cx));
  const double far_y = std::max(std::fabs(box.top - cy), std::fabs(box.bottom - cy));
  return far_x * far_x + far_y * far_y <= inner * inner;
}

// The polygon's corners that can bound the part inside the box, with the
// centre closing them into a wedge: every point of an edge lies, seen from
// the centre, within that edge's angular step, so a wedge over the box's
// angular extent holds all of the polygon the box sees. The extent is taken
// from the circle round the box, which holds the box: two arc functions per
// disc instead of one per box corner.
discpolygon WedgeFacingBox(double cx, double cy, double r, int n, const clipbox& box) {
  const double mid_x = (box.left + box.right) / 2, mid_y = (box.top + box.bottom) / 2;
  const double reach = std::hypot(box.right - mid_x, box.bottom - mid_y);
  const double distance = std::hypot(mid_x - cx, mid_y - cy);
  const double aim = std::atan2(mid_y - cy, mid_x - cx);
  const double spread = reach >= distance ? M_PI : std::asin(reach / distance);
  const double step = kTurn / n;
  const long first = static_cast<long>(std::floor((aim - spread) / step));
  const long last = static_cast<long>(std::floor((aim + spread) / step)) + 1;
  discpolygon wedge;
  if (last - first + 1 >= n) {
    wedge.reserve(n);
    for (long i = 0; i < n; ++i) wedge.push_back(Corner(cx, cy, r, n, i));
    return wedge;
  }
  wedge.reserve(last - first + 6);  // room for the cuts
  wedge.push_back({cx, cy});
  for (long i = first; i <= last; ++i) wedge.push_back(Corner(cx, cy, r, n, i));
  return wedge;
}

}  // namespace

discpolygon VisibleDiscPolygon(double cx, double cy, double r, int n, const clipbox& box) {
  r = std::fabs(r);
  // A centre out of range has no place on the screen (and no angle to aim at).
  if (n < 3 || !(r > 0) || !std::isfinite(cx) || !std::isfinite(cy)) return {};
  if (Covers(cx, cy, r, n, box)) return BoxCorners(box);
  discpolygon candidates;
  if (Inside(box, cx, cy)) {
    // Only when the disc is about the box's size: its corners are few.
    for (long i = 0; i < n; ++i) candidates.push_back(Corner(cx, cy, r, n, i));
  } else {
    candidates = WedgeFacingBox(cx, cy, r, n, box);
  }
  return ClipToBox(std::move(candidates), box);
}

void DrawVisibleDisc(double cx, double cy, double r, const clipbox& box) {
  const float size = static_cast<float>(2 * r);
  const discpolygon polygon = VisibleDiscPolygon(cx, cy, r, OvalCornerCount(size, size), box);
  std::vector<std::pair<float, float>> offsets;
  offsets.reserve(polygon.size());
  for (const auto& [x, y] : polygon) {
    offsets.emplace_back(static_cast<float>(x), static_cast<float>(y));
  }
  DrawPolygon(0, 0, offsets);
}

}  // namespace skyloom
