// space: the orbital system. It owns the tree of bodies built from a
// definition node, places every body at its starting angle, and advances
// the whole tree by one step per frame.
#pragma once

#include <memory>

#include "model/body.h"
#include "runtime/object.h"

namespace skyloom {

class dictnode;
class space;
using spaceRef = std::shared_ptr<space>;

class space : public Object {
 public:
  bodyList bodies;     // the top-level bodies
  bodyList allbodies;  // every body in pre-order: each body, then its descendants
  // Simulated frames so far: update adds one per call. A system rebuilt from
  // an edited definition starts from this time (see carrytime).
  double elapsed = 0;

  static spaceRef Create() { return std::make_shared<space>(); }

  // Builds the system from the "body" children of node, places every body
  // at its starting angle (init) and fills allbodies.
  static spaceRef read(dictnode& node);

  int init();    // init of every top-level body
  int update();  // one frame: update of every top-level body, elapsed + 1

  // Moves every orbiting body to where it stands after `frames` simulated
  // frames from its starting angle (angle + revspeed * frames), sets elapsed
  // to frames and places the tree again. For a freshly read system only.
  int carrytime(double frames);

  int getallbodies();             // refills allbodies from the tree
  int addbody(const bodyRef& b);  // appends b, then its descendants
};

}  // namespace skyloom
