// Bodies: the parent/child links, placement on the orbit and the per-frame
// step. Positions are computed top-down, so a child always orbits its
// parent's position of the same frame.
#include "model/body.h"

#include <algorithm>
#include <cmath>

namespace skyloom {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// The centre used where a position is needed from a body that has none: a
// top-level body with an orbit, or a child of a body without a position.
const vect2d kOrigin(0, 0);

}  // namespace

int body::setparent(const bodyRef& p) {
  if (!p) return 0;
  for (const body* up = p.get(); up; up = up->parent.lock().get()) {
    if (up == this) return 0;
  }
  if (bodyRef old = parent.lock()) {
    auto& siblings = old->kids;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), shared_from_this()),
                   siblings.end());
  }
  parent = p;
  p->kids.push_back(shared_from_this());
  return 0;
}

int body::setradius(double r) {
  radius = r;
  diameter = r + r;
  r2 = r * r;
  return 0;
}

int body::setpos(const vect2dRef& v) {
  pos = v;
  if (!v || parent.expired()) return 0;
  orbit = v->sub(parentanchor())->recttopolar();
  return 0;
}

int body::checkpos() {
  if (orbit) placeon(parentanchor());
  return 0;
}

int body::handle() {
  if (orbit) orbit->y += revspeed;
  return 0;
}

int body::advance(double rate) {
  if (orbit) orbit->y += revspeed * rate;
  return 0;
}

int body::update() {
  updatefrom(parentanchor(), NORMAL_RATE);
  return 0;
}

int body::update(double rate) {
  updatefrom(parentanchor(), rate);
  return 0;
}

int body::init() {
  initfrom(parentanchor());
  return 0;
}

const vect2d& body::anchor() const {
  return pos ? *pos : kOrigin;
}

const vect2d& body::parentanchor() const {
  // The parent is owned further up the tree and outlives this call.
  const bodyRef up = parent.lock();
  return up ? up->anchor() : kOrigin;
}

void body::placeon(const vect2d& centre) {
  const double d = orbit->x;
  const double a = orbit->y * kDegToRad;
  double px = d * std::cos(a);
  double py = d * std::sin(a);
  if (scaleorbit) {
    px *= scaleorbit->x;
    py *= scaleorbit->y;
  }
  if (rotorbit != 0) {
    // Rotation through the polar form: length, angle in degrees plus rotorbit.
    const double length = std::sqrt(px * px + py * py);
    const double angle = (std::atan2(py, px) * kRadToDeg + rotorbit) * kDegToRad;
    px = length * std::cos(angle);
    py = length * std::sin(angle);
  }
  if (moveorbit) {
    px += moveorbit->x;
    py += moveorbit->y;
  }
  // Each placement gives a new position; a position that nobody else holds
  // can be overwritten instead, which no one can tell apart and saves an
  // allocation per body per frame.
  if (pos && pos.use_count() == 1) {
    pos->set(px + centre.x, py + centre.y);
  } else {
    pos = vect2d::Create(px + centre.x, py + centre.y);
  }
}

void body::updatefrom(const vect2d& centre, double rate) {
  // At the normal rate the step stays the overridable handle, so the
  // designed arithmetic runs unchanged.
  if (rate == NORMAL_RATE) {
    handle();
  } else {
    advance(rate);
  }
  if (orbit) placeon(centre);
  const vect2d& mine = anchor();
  for (const bodyRef& kid : kids) kid->updatefrom(mine, rate);
}

void body::initfrom(const vect2d& centre) {
  if (orbit) placeon(centre);
  const vect2d& mine = anchor();
  for (const bodyRef& kid : kids) kid->initfrom(mine);
}

}  // namespace skyloom
