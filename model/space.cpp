// The orbital system: placement of the whole tree, the per-frame step and
// the flat pre-order list of bodies that the cameras walk.
#include "model/space.h"

namespace skyloom {

int space::init() {
  for (const bodyRef& b : bodies) b->init();
  return 0;
}

int space::update() {
  if (!paused) step();
  return 0;
}

int space::carrytime(double frames) {
  for (const bodyRef& b : allbodies) {
    if (b->orbit) b->orbit->y += b->revspeed * frames;
  }
  elapsed = frames;
  return init();
}

int space::getallbodies() {
  allbodies.clear();
  for (const bodyRef& b : bodies) addbody(b);
  return 0;
}

int space::addbody(const bodyRef& b) {
  allbodies.push_back(b);
  for (const bodyRef& kid : b->kids) addbody(kid);
  return 0;
}

}  // namespace skyloom
