// Resolving body keys, children and body counts along chains of copies, with
// each node's result kept so that no chain is walked twice.
#include "model/body_nodes.h"

#include <limits>

#include "defs/dictnode.h"

namespace skyloom {

namespace {

constexpr std::u16string_view kBodyNode = u"body";

uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
  return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max()
                                                      : a + b;
}

}  // namespace

BodyNodes::OwnValues BodyNodes::OwnValuesOf(dictnode& node) {
  OwnValues own;
  for (int k = 0; k < KEY_COUNT; ++k) {
    if (ObjectRef entry = node.data.find(std::u16string(KEYS[k]), 0)) {
      own.values[k] = static_cast<const dictnodedata&>(*entry).value;
      own.present[k] = true;
    }
  }
  return own;
}

BodyNodes::Values BodyNodes::ValuesOf(dictnode& node) {
  // The chain from node to the first node already resolved (or its end),
  // resolved from that end back, each copied node kept.
  std::vector<dictnode*> chain;
  const Values* inherited = nullptr;
  for (dictnode* n = node.copyof.get(); n; n = n->copyof.get()) {
    const auto known = values_.find(n);
    if (known != values_.end()) {
      inherited = &known->second;
      break;
    }
    chain.push_back(n);
  }
  Values resolved = inherited ? *inherited : Values{};
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    OwnValues own = OwnValuesOf(**it);
    for (int k = 0; k < KEY_COUNT; ++k) {
      if (own.present[k]) resolved[k] = std::move(own.values[k]);
    }
    inherited = &values_.emplace(*it, resolved).first->second;
  }
  OwnValues own = OwnValuesOf(node);
  Values values = inherited ? *inherited : Values{};
  for (int k = 0; k < KEY_COUNT; ++k) {
    if (own.present[k]) values[k] = std::move(own.values[k]);
  }
  return values;
}

std::vector<dictnode*> BodyNodes::OwnChildrenOf(dictnode& node) {
  std::vector<dictnode*> children;
  for (const ObjectRef& value : node.nodes.findall(std::u16string(kBodyNode), 0)) {
    if (auto* child = dynamic_cast<dictnode*>(value.get())) children.push_back(child);
  }
  return children;
}

dictnode* BodyNodes::NextWithChildren(dictnode& node) {
  std::vector<dictnode*> walked;
  dictnode* found = nullptr;
  for (dictnode* n = &node; n; n = n->copyof.get()) {
    const auto known = nextwithchildren_.find(n);
    if (known != nextwithchildren_.end()) {
      found = known->second;
      break;
    }
    if (n->nodes.find(std::u16string(kBodyNode), 0)) {
      found = n;
      break;
    }
    walked.push_back(n);
  }
  for (dictnode* n : walked) nextwithchildren_.emplace(n, found);
  return found;
}

std::vector<dictnode*> BodyNodes::ChildrenOf(dictnode& node) {
  std::vector<dictnode*> children;
  for (dictnode* n = NextWithChildren(node); n;) {
    for (dictnode* child : OwnChildrenOf(*n)) children.push_back(child);
    n = n->copyof ? NextWithChildren(*n->copyof) : nullptr;
  }
  return children;
}

uint64_t BodyNodes::CountOf(dictnode& node) {
  return SaturatingAdd(1, CountBelow(node));
}

uint64_t BodyNodes::CountBelow(dictnode& node) {
  // Along the copy chain: each node's own children, plus what its copy
  // brings; resolved from the chain's end back.
  std::vector<dictnode*> chain;
  uint64_t below = 0;
  for (dictnode* n = &node; n; n = n->copyof.get()) {
    const auto known = countbelow_.find(n);
    if (known != countbelow_.end()) {
      below = known->second;
      break;
    }
    chain.push_back(n);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (dictnode* child : OwnChildrenOf(**it)) below = SaturatingAdd(below, CountOf(*child));
    countbelow_.emplace(*it, below);
  }
  return below;
}

}  // namespace skyloom
