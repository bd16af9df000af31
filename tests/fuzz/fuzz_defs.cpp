// Feeds arbitrary bytes to the definition parser through a memory stream and
// exercises the lookups on whatever tree comes out. Included paths are put
// below a directory that does not exist, so no include can reach a real file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "defs/dictnode.h"

namespace {

constexpr char16_t kNoSuchDirectory[] = u"/nonexistent-skyloom-fuzz/";
constexpr int kMaxNodesVisited = 2000;

void Exercise(const skyloom::dictnodeRef& root) {
  std::vector<skyloom::dictnodeRef> pending{root};
  for (int visited = 0; !pending.empty() && visited < kMaxNodesVisited; ++visited) {
    skyloom::dictnodeRef node = pending.back();
    pending.pop_back();
    for (const std::u16string& value : node->getvalues(u"id")) skyloom::dictnode::colorvalue(value);
    node->getvalue(u"name");
    node->getnode(node->name);
    for (auto e = node->nodes.ObjectEnumerator(); e->HasNext();) {
      if (auto child = std::dynamic_pointer_cast<skyloom::dictnode>(e->NextObject())) {
        pending.push_back(child);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = skyloom::TRamStream::CreateReadOnly(data, static_cast<int64_t>(size));
  try {
    Exercise(skyloom::dictnode::parse(stream, kNoSuchDirectory, u"fuzz", u"id"));
  } catch (const skyloom::TStreamReadException&) {
  } catch (const skyloom::DefinitionParseError&) {
  }
  return 0;
}
