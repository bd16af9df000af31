// body: one body of the orbital system, either fixed at a position or moving
// on an ellipse around its parent (a circle scaled along its axes, rotated and
// offset from the parent), its angle growing by revspeed degrees every frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geom/vect2d.h"
#include "model/body_nodes.h"
#include "runtime/object.h"

namespace skyloom {

class dictnode;
class body;
using bodyRef = std::shared_ptr<body>;
using bodyList = std::vector<bodyRef>;

// The time rate at which a step advances every body by its revspeed.
constexpr double NORMAL_RATE = 1.0;

class body : public Object, public std::enable_shared_from_this<body> {
 public:
  std::u16string name;
  double radius = 0;
  double diameter = 0;  // always 2 * radius
  double r2 = 0;        // always radius * radius, for hover tests

  // Current position in world units. Null for a body given neither "x"/"y"
  // nor an orbit: such a body has no place and is left out of drawing.
  // Placement on the orbit gives a new vect2d each time, so a position a
  // caller keeps does not move under it.
  vect2dRef pos;
  // Polar form of the orbit: x is the distance, y the angle in degrees
  // (never wrapped). Null for a body that does not orbit.
  vect2dRef orbit;
  vect2dRef moveorbit;   // offset of the orbit's centre from the parent; null: none
  vect2dRef scaleorbit;  // factors on the orbit's x and y axes; null: none
  double rotorbit = 0;   // rotation of the scaled orbit in degrees
  double revspeed = 0;   // degrees added to the orbit angle per frame

  // The parent does not keep its children alive through this link; the
  // children are owned by the parent's kids list.
  std::weak_ptr<body> parent;
  bodyList kids;

  // Bodies link to each other through shared references, so a body that
  // takes part in a tree (setparent, readdictnode with children) must be
  // made with Create.
  static bodyRef Create() { return std::make_shared<body>(); }

  // Most bodies one reading of a definition builds (readdictnode: the body
  // and its descendants; read: all the trees it returns). Nodes that copy
  // siblings share their children, so a short text can name exponentially
  // many bodies; past this many, the rest is skipped: the bodies kept are
  // the first in reading order (a node's inherited children, then its own,
  // each before its descendants).
  static constexpr int64_t MAX_BODIES = 100000;

  // Fills the body from a definition node: the position and orbit keys,
  // "radius", "name", "revspeed", "orbitrot", then one child body per child
  // node named "body". A key with an empty value counts as absent; numbers
  // are read as C's atof reads them. A position or orbit the body already
  // has is kept and only its present components change; a present scale or
  // offset key starts a new vector from (1, 1) or (0, 0).
  int readdictnode(dictnode& node);

  // One new body per child node of node named "body", in the order the node
  // lists them; these bodies have no parent. At most MAX_BODIES bodies in all.
  static bodyList read(dictnode& node);

  // Detaches the body from its current parent and appends it to p's kids.
  // A null p, or one that is this body or one of its descendants (which
  // would close a loop in the tree), is refused and nothing changes.
  int setparent(const bodyRef& p);

  int setradius(double r);

  // Makes v the position; for a body with a parent the orbit becomes the
  // polar form of v minus the parent's position.
  int setpos(const vect2dRef& v);

  // Recomputes pos from the orbit; does nothing for a body without one. The
  // orbit is centred on the parent's position, or on the world origin for a
  // top-level body or a parent without a position.
  int checkpos();

  // One step of motion: the orbit angle grows by revspeed.
  virtual int handle();
  // A step at a time rate: the orbit angle grows by revspeed * rate. At rate
  // 1 this is exactly handle's step.
  int advance(double rate);

  // handle, checkpos, then update of every child in kids order.
  int update();
  // update at a time rate: advance(rate) instead of handle.
  int update(double rate);

  // checkpos, then init of every child: places the tree without moving it.
  int init();

 private:
  // readdictnode keeping at most limit bodies (this one included, limit of
  // 1 or more): the first in reading order.
  void readtree(dictnode& node, uint64_t limit, BodyNodes& bodynodes);
  void readkeys(const std::array<std::u16string, BodyNodes::KEY_COUNT>& values);

  // Where this body's children are centred: its position, or the world
  // origin when it has none.
  const vect2d& anchor() const;
  void placeon(const vect2d& centre);
  void updatefrom(const vect2d& centre, double rate);
  void initfrom(const vect2d& centre);
  const vect2d& parentanchor() const;
};

}  // namespace skyloom
