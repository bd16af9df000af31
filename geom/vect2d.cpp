// The double-precision vector: construction, arithmetic, in-place variants
// and the polar conversions the orbital model relies on.
#include "geom/vect2d.h"

#include <cmath>
#include <limits>

#include "runtime/strings.h"

namespace skyloom {

namespace {

// Angles are degrees everywhere: trigonometry converts on the way in and out.
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

double SinDeg(double degrees) {
  return std::sin(degrees * kDegToRad);
}
double CosDeg(double degrees) {
  return std::cos(degrees * kDegToRad);
}
// In (-180, 180]: atan2 gives -180 on the negative x axis approached from
// below (y of -0 or too small to move the result), which is the angle 180.
double Atan2Deg(double y, double x) {
  const double degrees = std::atan2(y, x) * kRadToDeg;
  return degrees == -180 ? 180 : degrees;
}

}  // namespace

std::u16string vect2d::ToString() const {
  return FormatDouble(x) + u"," + FormatDouble(y);
}

int vect2d::compare(const Object& other) const {
  if (auto* v = dynamic_cast<const vect2d*>(&other)) return comparevects(*v);
  return Object::compare(other);
}

vect2dRef vect2d::Create(double x, double y) {
  return std::make_shared<vect2d>(x, y);
}
vect2dRef vect2d::forangle(double degrees) {
  return Create(CosDeg(degrees), SinDeg(degrees));
}
vect2dRef vect2d::copy() const {
  return Create(x, y);
}

int vect2d::set(double nx, double ny) {
  x = nx;
  y = ny;
  return 0;
}
int vect2d::setto(const vect2d& v) {
  return set(v.x, v.y);
}
int vect2d::setzero() {
  return set(0, 0);
}

int vect2d::iszero() const {
  return x == 0 && y == 0;
}

int vect2d::equals(const vect2d& v, double tol) const {
  if (!(std::fabs(x - v.x) < std::fabs(x * tol))) return 0;
  return std::fabs(y - v.y) < std::fabs(y * tol);
}

int vect2d::equalsexact(const vect2d& v) const {
  return x == v.x && y == v.y;
}

int vect2d::comparevects(const vect2d& v) const {
  const double mine = lengthsq();
  const double theirs = v.lengthsq();
  if (mine > theirs) return 1;
  if (mine != theirs) return -1;
  return 0;
}

vect2dRef vect2d::add(const vect2d& v) const {
  return Create(x + v.x, y + v.y);
}
vect2dRef vect2d::addx(const vect2d& v) const {
  return Create(x + v.x, y);
}
vect2dRef vect2d::addy(const vect2d& v) const {
  return Create(x, y + v.y);
}
vect2dRef vect2d::sub(const vect2d& v) const {
  return Create(x - v.x, y - v.y);
}
vect2dRef vect2d::mult(const vect2d& v) const {
  return Create(x * v.x, y * v.y);
}
vect2dRef vect2d::negate() const {
  return Create(-x, -y);
}
vect2dRef vect2d::negatex() const {
  return Create(-x, y);
}
vect2dRef vect2d::negatey() const {
  return Create(x, -y);
}
vect2dRef vect2d::scale(double s) const {
  return Create(s * x, s * y);
}
vect2dRef vect2d::perp() const {
  return Create(-y, x);
}
vect2dRef vect2d::rperp() const {
  return Create(y, -x);
}
vect2dRef vect2d::rotate(const vect2d& v) const {
  return Create(x * v.x - y * v.y, x * v.y + y * v.x);
}
vect2dRef vect2d::unrotate(const vect2d& v) const {
  return Create(x * v.x + y * v.y, y * v.x - x * v.y);
}
vect2dRef vect2d::project(const vect2d& v) const {
  return v.scale(dot(v) / v.lengthsq());
}

vect2dRef vect2d::normalize() const {
  const double len = length();
  return Create(x / len, y / len);
}

vect2dRef vect2d::normalizesafe() const {
  const double len = length();
  if (len == 0) return Create(0, 0);
  return Create(x / len, y / len);
}

vect2dRef vect2d::clamp(double len) const {
  if (lengthsq() > len * len) return normalize()->scale(len);
  return copy();
}

vect2dRef vect2d::lerp(const vect2d& v, double t) const {
  return Create(x * (1 - t) + v.x * t, y * (1 - t) + v.y * t);
}

vect2dRef vect2d::lerpconst(const vect2d& v, float d) const {
  return add(*v.sub(*this)->clamp(static_cast<double>(d)));
}

vect2dRef vect2d::recttopolar() const {
  return Create(length(), toangle());
}
vect2dRef vect2d::polartorect() const {
  return Create(x * CosDeg(y), x * SinDeg(y));
}

int vect2d::applyadd(const vect2d& v) {
  return set(x + v.x, y + v.y);
}
vect2dRef vect2d::applyaddx(const vect2d& v) {
  x += v.x;
  return nullptr;
}
vect2dRef vect2d::applyaddy(const vect2d& v) {
  y += v.y;
  return nullptr;
}
int vect2d::applysub(const vect2d& v) {
  return set(x - v.x, y - v.y);
}
vect2dRef vect2d::applymult(const vect2d& v) {
  set(x * v.x, y * v.y);
  return nullptr;
}
int vect2d::applynegate() {
  return set(-x, -y);
}
int vect2d::applynegatex() {
  return set(-x, y);
}
int vect2d::applynegatey() {
  return set(x, -y);
}
int vect2d::applyscale(double s) {
  return set(x * s, y * s);
}

int vect2d::applynormalize() {
  const double len = length();
  return set(x / len, y / len);
}

int vect2d::applynormalizesafe() {
  const double len = length();
  if (len == 0) return setzero();
  return set(x / len, y / len);
}

int vect2d::applyclamp(double len) {
  if (lengthsq() > len * len) {
    applynormalize();
    applyscale(len);
  }
  return 0;
}

double vect2d::dot(const vect2d& v) const {
  return x * v.x + y * v.y;
}
// The usual two-dimensional cross product: the z of the 3-D cross product.
double vect2d::cross(const vect2d& v) const {
  return x * v.y - y * v.x;
}
double vect2d::length() const {
  return std::sqrt(lengthsq());
}
double vect2d::lengthsq() const {
  return x * x + y * y;
}
double vect2d::dist(const vect2d& v) const {
  return std::sqrt(distsq(v));
}
double vect2d::distsq(const vect2d& v) const {
  const double dx = x - v.x;
  const double dy = y - v.y;
  return dx * dx + dy * dy;
}
double vect2d::angleto(const vect2d& v) const {
  return Atan2Deg(v.y - y, v.x - x);
}
double vect2d::toangle() const {
  return Atan2Deg(y, x);
}
double vect2d::slope() const {
  if (x == 0) return std::numeric_limits<double>::infinity();
  return y / x;
}

}  // namespace skyloom
