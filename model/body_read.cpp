// Building bodies and the system from a parsed definition: every key is
// optional, an empty value counts as absent, numbers are read as atof does.
#include <cstdint>
#include <optional>

#include "defs/dictnode.h"
#include "model/body.h"
#include "model/space.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

// The text of key, or nothing when the key is absent or its value is empty.
std::optional<std::u16string> Present(dictnode& node, const std::u16string& key) {
  std::u16string value = node.getvalue(key);
  if (value.empty()) return std::nullopt;
  return value;
}

std::optional<double> Number(dictnode& node, const std::u16string& key) {
  if (auto text = Present(node, key)) return ParseDouble(*text);
  return std::nullopt;
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

}  // namespace

int body::readdictnode(dictnode& node) {
  int64_t room = MAX_BODIES - 1;  // the receiver is one of the bodies
  readtree(node, room);
  return 0;
}

void body::readtree(dictnode& node, int64_t& room) {
  readkeys(node);
  for (const dictnodeRef& childnode : node.getnodes(u"body")) {
    if (room == 0) break;
    --room;
    bodyRef child = body::Create();
    child->readtree(*childnode, room);
    child->setparent(shared_from_this());
  }
}

void body::readkeys(dictnode& node) {
  const auto x = Number(node, u"x");
  const auto y = Number(node, u"y");
  const auto orbitdist = Number(node, u"orbitdist");
  const auto orbitangle = Number(node, u"orbitangle");
  const auto scalex = Number(node, u"orbitscalex");
  const auto scaley = Number(node, u"orbitscaley");
  const auto movex = Number(node, u"orbitmovex");
  const auto movey = Number(node, u"orbitmovey");
  if (const auto r = Number(node, u"radius")) setradius(*r);
  if (auto text = Present(node, u"name")) name = std::move(*text);
  if (const auto speed = Number(node, u"revspeed")) revspeed = *speed;
  if (const auto rot = Number(node, u"orbitrot")) rotorbit = *rot;

  FillPair(pos, x, y, 0, 0, Start::IfNull);
  FillPair(orbit, orbitdist, orbitangle, 0, 0, Start::IfNull);
  FillPair(scaleorbit, scalex, scaley, 1, 1, Start::Anew);
  FillPair(moveorbit, movex, movey, 0, 0, Start::Anew);
}

bodyList body::read(dictnode& node) {
  bodyList bodies;
  int64_t room = MAX_BODIES;
  for (const dictnodeRef& childnode : node.getnodes(u"body")) {
    if (room == 0) break;
    --room;
    bodyRef b = body::Create();
    b->readtree(*childnode, room);
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
