// space: the orbital system. It owns the tree of bodies built from a
// definition node, places every body at its starting angle, and advances
// the whole tree by one step per frame.
#pragma once

#include <memory>
#include <string>

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
  // Simulated time. rate is signed (negative runs the orbits backwards) and
  // is a power of two between 1/MAX_RATE and MAX_RATE; pausing is a flag of
  // its own so that resuming restores the rate. elapsed is the number of
  // simulated frames so far: the sum of the rates of every step taken; a system
  // rebuilt from an edited definition starts from this time (see carrytime).
  static constexpr double MAX_RATE = 64;
  double rate = NORMAL_RATE;
  bool paused = false;
  double elapsed = 0;

  static spaceRef Create() { return std::make_shared<space>(); }

  // Builds the system from the "body" children of node, places every body
  // at its starting angle (init) and fills allbodies.
  static spaceRef read(dictnode& node);

  int init();  // init of every top-level body
  // One frame: unless paused, update of every top-level body at the rate.
  // At rate 1 every body steps exactly as its update does.
  int update();

  // The time controls (one press each).
  int togglepause();  // pause, or resume at the rate in force before
  int faster();       // twice the rate, up to MAX_RATE times
  int slower();       // half the rate, down to 1/MAX_RATE
  int reverse();      // the rate's sign flips
  // While paused, one step: what one frame at the current rate advances.
  // Running, it does nothing.
  int stepframe();
  // How time runs, for display: "" at rate 1 while running; otherwise
  // "paused", the rate ("4x", "1/2x", "-2x") or both ("paused -1/4x").
  std::u16string ratetext() const;

  // Moves every orbiting body to where it stands after `frames` simulated
  // frames from its starting angle (angle + revspeed * frames), sets elapsed
  // to frames and places the tree again. For a freshly read system only.
  int carrytime(double frames);

  int getallbodies();             // refills allbodies from the tree
  int addbody(const bodyRef& b);  // appends b, then its descendants

 private:
  // Every top-level body one step at the rate; elapsed grows by the rate.
  void step();
};

}  // namespace skyloom
