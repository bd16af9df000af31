// Checking the body nodes of a parsed definition for keys bodies do not read,
// values that are not numbers, and bodies beyond the body limit.
#include "model/body_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "defs/dictnode.h"
#include "model/body.h"
#include "model/body_nodes.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

constexpr size_t kMostEdits = 2;
constexpr std::u16string_view kBodyNode = u"body";

// Edits that turn a into b: letters added, dropped, changed, or two
// neighbours swapped (optimal string alignment).
size_t EditDistance(std::u16string_view a, std::u16string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// Whether the whole text is a number as C's strtod reads one.
bool IsNumber(const std::u16string& text) {
  for (const char16_t c : text) {
    if (c > 0x7F) return false;
  }
  const std::string bytes = ToBytes(text);
  char* end = nullptr;
  std::strtod(bytes.c_str(), &end);
  return end != bytes.c_str() && *end == '\0';
}

// A number as it reads in a message, such as 0 or 12.5.
std::string ShortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string Quoted(std::u16string_view text) {
  return "'" + Excerpt(text) + "'";
}

// The warnings about one body node's own entries, in the order they stand.
void CheckEntries(dictnode& node, const std::vector<std::u16string>& known,
                  std::vector<DefinitionWarning>& warnings) {
  if (!node.data.root) return;
  std::vector<const dictnodedata*> entries;
  for (const BinNodeRef& key : node.data.root->nodesinorder()) {
    for (const BinNodeData* e = key->data.get(); e; e = e->nxt.get()) {
      if (auto* entry = dynamic_cast<const dictnodedata*>(e->data.get())) entries.push_back(entry);
    }
  }
  std::sort(entries.begin(), entries.end(), [](const dictnodedata* a, const dictnodedata* b) {
    return std::pair(a->line, a->column) < std::pair(b->line, b->column);
  });
  for (const dictnodedata* entry : entries) {
    const SourcePosition at{node.path, entry->line, entry->column};
    if (std::find(known.begin(), known.end(), entry->name) == known.end()) {
      const std::u16string nearest = NearestKey(entry->name, known);
      warnings.push_back(
          {at, "unknown key " + Quoted(entry->name) +
                   (nearest.empty() ? "" : " (did you mean " + Quoted(nearest) + "?)")});
    } else if (entry->name != BodyNodes::KEYS[BodyNodes::NAME] &&
               std::find(BodyNodes::KEYS.begin(), BodyNodes::KEYS.end(), entry->name) !=
                   BodyNodes::KEYS.end() &&
               !entry->value.empty() && !IsNumber(entry->value)) {
      warnings.push_back({at, ToUtf8(entry->name) + ": " + Quoted(entry->value) +
                                  " is not a number (read as " +
                                  ShortNumber(ParseDouble(entry->value)) + ")"});
    }
  }
}

// Every node of the tree below root (included files too), depth first.
std::vector<dictnode*> AllNodes(dictnode& root) {
  std::vector<dictnode*> all;
  std::vector<dictnode*> pending{&root};
  while (!pending.empty()) {
    dictnode* node = pending.back();
    pending.pop_back();
    all.push_back(node);
    if (!node->nodes.root) continue;
    for (const BinNodeRef& key : node->nodes.root->nodesinorder()) {
      for (const BinNodeData* e = key->data.get(); e; e = e->nxt.get()) {
        if (auto* child = dynamic_cast<dictnode*>(e->data.get())) pending.push_back(child);
      }
    }
  }
  return all;
}

// The first body node a reading of root skips, following the shares that
// body::read gives (the first bodies in reading order are kept).
dictnode* FirstSkipped(dictnode& root, BodyNodes& bodynodes) {
  dictnode* node = &root;
  uint64_t limit = body::MAX_BODIES + 1;  // the root itself is no body
  for (;;) {
    const std::vector<dictnode*> children = bodynodes.ChildrenOf(*node);
    uint64_t left = limit - 1;
    dictnode* partial = nullptr;
    for (size_t i = children.size(); i-- > 0;) {
      const uint64_t count = bodynodes.CountOf(*children[i]);
      if (left == 0) return children[i];
      if (count > left) {
        partial = children[i];
        break;
      }
      left -= count;
    }
    if (!partial) return nullptr;
    node = partial;
    limit = left;
  }
}

}  // namespace

std::u16string NearestKey(std::u16string_view key, const std::vector<std::u16string>& known) {
  std::u16string nearest;
  size_t best = kMostEdits + 1;
  for (const std::u16string& candidate : known) {
    const size_t edits = EditDistance(key, candidate);
    if (edits < best && edits < std::min(key.size(), candidate.size())) {
      best = edits;
      nearest = candidate;
    }
  }
  return nearest;
}

void CheckBodyDefinitions(dictnode& root, const std::u16string& idkey,
                          std::vector<DefinitionWarning>& warnings) {
  std::vector<std::u16string> known(BodyNodes::KEYS.begin(), BodyNodes::KEYS.end());
  if (!idkey.empty()) known.push_back(ToLower(idkey));
  for (dictnode* node : AllNodes(root)) {
    if (node->name == kBodyNode) CheckEntries(*node, known, warnings);
  }
  BodyNodes bodynodes;
  const uint64_t total = bodynodes.CountBelow(root);
  if (total <= static_cast<uint64_t>(body::MAX_BODIES)) return;
  const dictnode* skipped = FirstSkipped(root, bodynodes);
  if (!skipped) return;
  const uint64_t more = total - body::MAX_BODIES;
  const std::string count = total == std::numeric_limits<uint64_t>::max()
                                ? "more than " + std::to_string(more)
                                : std::to_string(more);
  warnings.push_back({SourcePosition{skipped->path, skipped->line, skipped->column},
                      count + " bodies from this one on are skipped: one reading builds at most " +
                          std::to_string(body::MAX_BODIES) + " bodies"});
}

}  // namespace skyloom
