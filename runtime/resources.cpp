// The embedded resource registry: a process-wide list, newest entry first.
#include "runtime/resources.h"

#include <memory>

namespace skyloom {

namespace {

struct ResourceEntry {
  std::u16string name;
  const uint8_t* bytes;
  int size;
  std::unique_ptr<ResourceEntry> next;
};

std::unique_ptr<ResourceEntry>& RegistryHead() {
  static std::unique_ptr<ResourceEntry> head;
  return head;
}

const ResourceEntry* FindResource(const std::u16string& name) {
  for (const ResourceEntry* entry = RegistryHead().get(); entry; entry = entry->next.get()) {
    if (entry->name == name) return entry;
  }
  return nullptr;
}

}  // namespace

int RegisterResource(const std::u16string& name, const void* bytes, int size) {
  if (FindResource(name)) return 0;
  auto entry = std::make_unique<ResourceEntry>(
      ResourceEntry{name, static_cast<const uint8_t*>(bytes), size, std::move(RegistryHead())});
  RegistryHead() = std::move(entry);
  return 1;
}

const uint8_t* ResourceData(const std::u16string& name) {
  const ResourceEntry* entry = FindResource(name);
  return entry ? entry->bytes : nullptr;
}

int ResourceSize(const std::u16string& name) {
  const ResourceEntry* entry = FindResource(name);
  return entry ? entry->size : 0;
}

}  // namespace skyloom
