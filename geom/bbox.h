// bbox: an axis-aligned box in double precision given by its four edges,
// with y growing downwards as on the screen (t is the smallest y, b the
// largest). Nothing keeps a box well-formed; sanitize restores l <= r, t <= b.
#pragma once

#include <memory>
#include <string>

#include "geom/vect2d.h"
#include "runtime/object.h"

namespace skyloom {

class bbox;
using bboxRef = std::shared_ptr<bbox>;

class bbox : public Object {
 public:
  double l = 0;  // left edge, smallest x
  double r = 0;  // right edge, largest x
  double t = 0;  // top edge, smallest y
  double b = 0;  // bottom edge, largest y

  bbox() = default;
  bbox(double l_, double r_, double t_, double b_) : l(l_), r(r_), t(t_), b(b_) {}

  // "x: " l "," r " y: " t "," b, each number formatted "%#.17lg".
  std::u16string ToString() const override;

  // Edges in the order left, right, top, bottom.
  static bboxRef Create(double l, double r, double t, double b);
  int set(double nl, double nr, double nt, double nb);

  double width() const;
  double height() const;
  vect2dRef center() const;
  bboxRef copy() const;

  // Truth values are 1 or 0.
  int exists() const;  // strictly positive width and height
  int equals(const bbox& o) const;

  // Moving while keeping the size.
  int translate(const vect2d& v);
  int setcenter(const vect2d& v);
  int setcorner(const vect2d& v);  // top-left corner

  // Overlap is strict: boxes that only share an edge do not intersect.
  int intersects(const bbox& o) const;
  int contains(const bbox& o) const;
  // The overlap; inverted (exists() == 0) when the boxes are disjoint.
  bboxRef intersection(const bbox& o) const;
  bboxRef merge(const bbox& o) const;  // the union box
  bboxRef mergewith(const bbox& o);    // grows the receiver; returns null

  int sanitize();
  bboxRef sanitized() const;
  double area() const;  // signed extents multiplied

  // Left and top edges inside, right and bottom edges outside.
  int containsvect(const vect2d& v) const;
  bboxRef expand(const vect2d& v) const;  // smallest box holding the receiver and v
};

}  // namespace skyloom
