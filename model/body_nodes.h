// A view of a definition tree for building bodies: a node's body keys with
// its copies resolved, its body children and the number of bodies it makes,
// each worked out once per node, so that a long chain of copies costs time
// linear in its length.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skyloom {

class dictnode;

class BodyNodes {
 public:
  // The keys a body reads, in the order they are read.
  enum Key {
    X,
    Y,
    ORBITDIST,
    ORBITANGLE,
    ORBITSCALEX,
    ORBITSCALEY,
    ORBITMOVEX,
    ORBITMOVEY,
    RADIUS,
    NAME,
    REVSPEED,
    ORBITROT,
    KEY_COUNT
  };
  static constexpr std::array<std::u16string_view, KEY_COUNT> KEYS = {
      u"x",          u"y",          u"orbitdist", u"orbitangle", u"orbitscalex", u"orbitscaley",
      u"orbitmovex", u"orbitmovey", u"radius",    u"name",       u"revspeed",    u"orbitrot"};
  using Values = std::array<std::u16string, KEY_COUNT>;

  // What getvalue gives for each key: the node's own entry, else its copy's.
  Values ValuesOf(dictnode& node);
  // What getnodes(u"body") gives: the node's own body children (last
  // first), then its copy's.
  std::vector<dictnode*> ChildrenOf(dictnode& node);
  // How many bodies the node makes: itself and every body below it,
  // counting inherited children; saturates at UINT64_MAX.
  uint64_t CountOf(dictnode& node);
  // The same for all the bodies below the node.
  uint64_t CountBelow(dictnode& node);

 private:
  // Own entries only; a key without an entry is left out of present.
  struct OwnValues {
    Values values;
    std::array<bool, KEY_COUNT> present{};
  };
  static OwnValues OwnValuesOf(dictnode& node);
  static std::vector<dictnode*> OwnChildrenOf(dictnode& node);
  // The first node of the copy chain from node on (node itself included)
  // that has body children of its own; null when none has.
  dictnode* NextWithChildren(dictnode& node);

  std::unordered_map<const dictnode*, Values> values_;  // of copied nodes
  std::unordered_map<const dictnode*, dictnode*> nextwithchildren_;
  std::unordered_map<const dictnode*, uint64_t> countbelow_;
};

}  // namespace skyloom
