// The double-precision box: edges, union and intersection, containment and
// the moves the camera uses to keep its screen area.
#include "geom/bbox.h"

#include <algorithm>
#include <utility>

#include "runtime/strings.h"

namespace skyloom {

std::u16string bbox::ToString() const {
  return u"x: " + FormatDouble(l) + u"," + FormatDouble(r) + u" y: " + FormatDouble(t) + u"," +
         FormatDouble(b);
}

bboxRef bbox::Create(double l, double r, double t, double b) {
  return std::make_shared<bbox>(l, r, t, b);
}

int bbox::set(double nl, double nr, double nt, double nb) {
  l = nl;
  r = nr;
  t = nt;
  b = nb;
  return 0;
}

double bbox::width() const {
  return r - l;
}
double bbox::height() const {
  return b - t;
}
vect2dRef bbox::center() const {
  return vect2d::Create(l + width() / 2, t + height() / 2);
}
bboxRef bbox::copy() const {
  return Create(l, r, t, b);
}

int bbox::exists() const {
  return r > l && b > t;
}
int bbox::equals(const bbox& o) const {
  return l == o.l && r == o.r && t == o.t && b == o.b;
}

int bbox::translate(const vect2d& v) {
  return set(l + v.x, r + v.x, t + v.y, b + v.y);
}

int bbox::setcenter(const vect2d& v) {
  const double w = width();
  const double h = height();
  l = v.x - w / 2;
  r = l + w;
  t = v.y - h / 2;
  b = t + h;
  return 0;
}

int bbox::setcorner(const vect2d& v) {
  const double w = width();
  const double h = height();
  return set(v.x, v.x + w, v.y, v.y + h);
}

int bbox::intersects(const bbox& o) const {
  return b > o.t && o.b > t && l < o.r && o.l < r;
}

int bbox::contains(const bbox& o) const {
  return l <= o.l && r >= o.r && t <= o.t && b >= o.b;
}

bboxRef bbox::intersection(const bbox& o) const {
  return Create(std::max(l, o.l), std::min(r, o.r), std::max(t, o.t), std::min(b, o.b));
}

bboxRef bbox::merge(const bbox& o) const {
  return Create(std::min(l, o.l), std::max(r, o.r), std::min(t, o.t), std::max(b, o.b));
}

bboxRef bbox::mergewith(const bbox& o) {
  set(std::min(l, o.l), std::max(r, o.r), std::min(t, o.t), std::max(b, o.b));
  return nullptr;
}

int bbox::sanitize() {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return 0;
}

bboxRef bbox::sanitized() const {
  return Create(std::min(l, r), std::max(l, r), std::min(t, b), std::max(t, b));
}

double bbox::area() const {
  return (r - l) * (b - t);
}

int bbox::containsvect(const vect2d& v) const {
  return l <= v.x && v.x < r && t <= v.y && v.y < b;
}

bboxRef bbox::expand(const vect2d& v) const {
  return Create(std::min(l, v.x), std::max(r, v.x), std::min(t, v.y), std::max(b, v.y));
}

}  // namespace skyloom
