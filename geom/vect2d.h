// vect2d: the two-dimensional vector and point type in double precision.
// Operations that yield a vector allocate a fresh one and leave their inputs
// alone; the "apply" variants change the receiver in place. Angles are degrees.
#pragma once

#include <memory>
#include <string>

#include "runtime/object.h"

namespace skyloom {

class vect2d;
using vect2dRef = std::shared_ptr<vect2d>;

class vect2d : public Object {
 public:
  double x = 0;
  double y = 0;

  vect2d() = default;
  vect2d(double x_, double y_) : x(x_), y(y_) {}

  // x and y, each formatted "%#.17lg", joined by ",".
  std::u16string ToString() const override;

  // Orders by squared length (comparevects) when other is a vect2d; any other
  // kind of object falls back to the root class's identity order.
  int compare(const Object& other) const override;

  // Construction and state.
  static vect2dRef Create(double x, double y);
  static vect2dRef forangle(double degrees);  // (cos a, sin a)
  vect2dRef copy() const;
  int set(double nx, double ny);
  int setto(const vect2d& v);
  int setzero();

  // Tests and ordering; truth values are 1 or 0.
  int iszero() const;
  // Relative tolerance against the receiver's own components, strict; the y
  // test is made only when the x test passed. A zero component never passes.
  int equals(const vect2d& v, double tol) const;
  int equalsexact(const vect2d& v) const;
  int comparevects(const vect2d& v) const;  // 1, -1 or 0 by squared length

  // Arithmetic returning a new vector.
  vect2dRef add(const vect2d& v) const;
  vect2dRef addx(const vect2d& v) const;
  vect2dRef addy(const vect2d& v) const;
  vect2dRef sub(const vect2d& v) const;
  vect2dRef mult(const vect2d& v) const;  // component-wise
  vect2dRef negate() const;
  vect2dRef negatex() const;
  vect2dRef negatey() const;
  vect2dRef scale(double s) const;
  vect2dRef perp() const;                     // (-y, x)
  vect2dRef rperp() const;                    // (y, -x)
  vect2dRef rotate(const vect2d& v) const;    // complex product
  vect2dRef unrotate(const vect2d& v) const;  // product with the conjugate of v
  vect2dRef project(const vect2d& v) const;   // projection onto v
  vect2dRef normalize() const;                // no zero check: (0,0) gives NaN
  vect2dRef normalizesafe() const;            // (0,0) gives (0,0)
  vect2dRef clamp(double len) const;          // at most len long
  vect2dRef lerp(const vect2d& v, double t) const;
  vect2dRef lerpconst(const vect2d& v, float d) const;  // step of at most d towards v
  vect2dRef recttopolar() const;                        // (length, angle in degrees)
  vect2dRef polartorect() const;                        // reads x as radius, y as angle in degrees

  // In-place variants. Those declared to return a vector always return null.
  int applyadd(const vect2d& v);
  vect2dRef applyaddx(const vect2d& v);
  vect2dRef applyaddy(const vect2d& v);
  int applysub(const vect2d& v);
  vect2dRef applymult(const vect2d& v);
  int applynegate();
  int applynegatex();
  int applynegatey();
  int applyscale(double s);
  int applynormalize();
  int applynormalizesafe();
  int applyclamp(double len);

  // Scalar queries.
  double dot(const vect2d& v) const;
  double cross(const vect2d& v) const;
  double length() const;
  double lengthsq() const;
  double dist(const vect2d& v) const;
  double distsq(const vect2d& v) const;
  double angleto(const vect2d& v) const;  // direction from the receiver to v, degrees
  double toangle() const;                 // atan2(y, x) in degrees, (-180, 180]
  double slope() const;                   // y / x; +infinity when x is 0
};

}  // namespace skyloom
