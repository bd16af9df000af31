// Building bodies and the system from a parsed definition: every key is
// optional, an empty value counts as absent, numbers are read as atof does.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "defs/dictnode.h"
#include "model/body.h"
#include "model/body_nodes.h"
#include "model/space.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

using Key = BodyNodes::Key;

// The number a key gives, or nothing when the key is absent or its value is
// empty.
std::optional<double> Number(const BodyNodes::Values& values, Key key) {
  if (values[key].empty()) return std::nullopt;
  return ParseDouble(values[key]);
}

// Whether a pair of keys that is present fills the vector the body already
// has, or always starts a new one from the defaults.
enum class Start { IfNull, Anew };

// Fills a vector from an optional pair of keys: when either key is present,
// created at (fx, fy) (if still null, or always for Start::Anew); then each
// present component is set. With neither key the vector is left as it is.
void FillPair(vect2dRef& target, const std::optional<double>& x, const std::optional<double>& y,
              double fx, double fy, Start start) {
  if (!x && !y) return;
  if (!target || start == Start::Anew) target = vect2d::Create(fx, fy);
  if (x) target->x = *x;
  if (y) target->y = *y;
}

// Shares limit bodies among the nodes in reading order (the reverse of the
// order given), each taking what it makes while any is left: the bodies kept
// are the first in reading order.
std::vector<uint64_t> ShareInReadingOrder(const std::vector<dictnode*>& nodes, uint64_t limit,
                                          BodyNodes& bodynodes) {
  std::vector<uint64_t> shares(nodes.size());
  for (size_t i = nodes.size(); i-- > 0 && limit > 0;) {
    shares[i] = std::min(bodynodes.CountOf(*nodes[i]), limit);
    limit -= shares[i];
  }
  return shares;
}

}  // namespace

int body::readdictnode(dictnode& node) {
  BodyNodes bodynodes;
  readtree(node, MAX_BODIES, bodynodes);
  return 0;
}

void body::readtree(dictnode& node, uint64_t limit, BodyNodes& bodynodes) {
  readkeys(bodynodes.ValuesOf(node));
  const std::vector<dictnode*> children = bodynodes.ChildrenOf(node);
  const std::vector<uint64_t> shares = ShareInReadingOrder(children, limit - 1, bodynodes);
  for (size_t i = 0; i < children.size(); ++i) {
    if (shares[i] == 0) continue;
    bodyRef child = body::Create();
    child->readtree(*children[i], shares[i], bodynodes);
    child->setparent(shared_from_this());
  }
}

void body::readkeys(const BodyNodes::Values& values) {
  const auto x = Number(values, Key::X);
  const auto y = Number(values, Key::Y);
  const auto orbitdist = Number(values, Key::ORBITDIST);
  const auto orbitangle = Number(values, Key::ORBITANGLE);
  const auto scalex = Number(values, Key::ORBITSCALEX);
  const auto scaley = Number(values, Key::ORBITSCALEY);
  const auto movex = Number(values, Key::ORBITMOVEX);
  const auto movey = Number(values, Key::ORBITMOVEY);
  if (const auto r = Number(values, Key::RADIUS)) setradius(*r);
  if (!values[Key::NAME].empty()) name = values[Key::NAME];
  if (const auto speed = Number(values, Key::REVSPEED)) revspeed = *speed;
  if (const auto rot = Number(values, Key::ORBITROT)) rotorbit = *rot;

  FillPair(pos, x, y, 0, 0, Start::IfNull);
  FillPair(orbit, orbitdist, orbitangle, 0, 0, Start::IfNull);
  FillPair(scaleorbit, scalex, scaley, 1, 1, Start::Anew);
  FillPair(moveorbit, movex, movey, 0, 0, Start::Anew);
}

bodyList body::read(dictnode& node) {
  BodyNodes bodynodes;
  bodyList bodies;
  const std::vector<dictnode*> children = bodynodes.ChildrenOf(node);
  const std::vector<uint64_t> shares = ShareInReadingOrder(children, MAX_BODIES, bodynodes);
  for (size_t i = 0; i < children.size(); ++i) {
    if (shares[i] == 0) continue;
    bodyRef b = body::Create();
    b->readtree(*children[i], shares[i], bodynodes);
    bodies.push_back(std::move(b));
  }
  return bodies;
}

spaceRef space::read(dictnode& node) {
  spaceRef system = space::Create();
  system->bodies = body::read(node);
  system->init();
  system->getallbodies();
  return system;
}

}  // namespace skyloom
