// The chained hash table: bucket selection, insertion at the front, lookups
// with move-to-front, resizing in bucket order, enumeration, and the lookup2
// string hash.
#include "defs/hashtable.h"

#include <stdexcept>

namespace skyloom {

namespace {

constexpr uint32_t kGoldenRatio = 0x9E3779B9u;
constexpr uint32_t kHashInitialValue = 52867;

inline void Mix(uint32_t& a, uint32_t& b, uint32_t& c) {
  a -= b;
  a -= c;
  a ^= (c >> 13);
  b -= c;
  b -= a;
  b ^= (a << 8);
  c -= a;
  c -= b;
  c ^= (b >> 13);
  a -= b;
  a -= c;
  a ^= (c >> 12);
  b -= c;
  b -= a;
  b ^= (a << 16);
  c -= a;
  c -= b;
  c ^= (b >> 5);
  a -= b;
  a -= c;
  a ^= (c >> 3);
  b -= c;
  b -= a;
  b ^= (a << 10);
  c -= a;
  c -= b;
  c ^= (b >> 15);
}

// Four key bytes from position i as a little-endian word.
inline uint32_t Word(const std::u16string& k, size_t i) {
  return uint32_t(k[i] & 0xFF) | uint32_t(k[i + 1] & 0xFF) << 8 | uint32_t(k[i + 2] & 0xFF) << 16 |
         uint32_t(k[i + 3] & 0xFF) << 24;
}

inline uint32_t Byte(const std::u16string& k, size_t i, int shift) {
  return uint32_t(k[i] & 0xFF) << shift;
}

}  // namespace

int32_t hashstring(const std::u16string& k) {
  uint32_t a = kGoldenRatio;
  uint32_t b = kGoldenRatio;
  uint32_t c = kHashInitialValue;
  const size_t len = k.size();
  size_t i = 0;
  for (; len - i >= 12; i += 12) {
    a += Word(k, i);
    b += Word(k, i + 4);
    c += Word(k, i + 8);
    Mix(a, b, c);
  }
  c += static_cast<uint32_t>(len);
  switch (len - i) {  // every case falls through
    case 11:
      c += Byte(k, i + 10, 24);
      [[fallthrough]];
    case 10:
      c += Byte(k, i + 9, 16);
      [[fallthrough]];
    case 9:
      c += Byte(k, i + 8, 8);
      [[fallthrough]];
    case 8:
      b += Byte(k, i + 7, 24);
      [[fallthrough]];
    case 7:
      b += Byte(k, i + 6, 16);
      [[fallthrough]];
    case 6:
      b += Byte(k, i + 5, 8);
      [[fallthrough]];
    case 5:
      b += Byte(k, i + 4, 0);
      [[fallthrough]];
    case 4:
      a += Byte(k, i + 3, 24);
      [[fallthrough]];
    case 3:
      a += Byte(k, i + 2, 16);
      [[fallthrough]];
    case 2:
      a += Byte(k, i + 1, 8);
      [[fallthrough]];
    case 1:
      a += Byte(k, i, 0);
      [[fallthrough]];
    default:
      break;
  }
  Mix(a, b, c);
  return static_cast<int32_t>(c);
}

// ---- HashNode --------------------------------------------------------------

HashNodeRef HashNode::Create(std::u16string key, ObjectRef value) {
  return std::make_shared<HashNode>(std::move(key), std::move(value));
}

// ---- HashTable: shape ------------------------------------------------------

HashTableRef HashTable::Create(int size, HashFunction hashfunc) {
  auto table = std::make_shared<HashTable>();
  table->hashfunc = std::move(hashfunc);
  table->setsize(size);
  return table;
}

int HashTable::setsize(int size) {
  data = std::make_shared<HashBucketArray>(size > 0 ? size : 0);
  return 0;
}

int HashTable::resize(int size) {
  // Checked before anything changes, so a refused resize loses no entry.
  if (size < 1 && count() > 0) throw std::logic_error("Hash table has no buckets");
  std::shared_ptr<HashBucketArray> old = data;
  setsize(size);
  for (const HashBucket& list : *old) {
    for (const HashNodeRef& node : list) insertnode(node);
  }
  return 0;
}

int HashTable::checkfill() const {
  int filled = 0;
  for (const HashBucket& list : *data) filled += list.empty() ? 0 : 1;
  return filled;
}

HashTableRef HashTable::copy() const {
  auto table = Create(size(), hashfunc);
  table->autobringtofront = autobringtofront;
  *table->data = *data;  // new lists holding the same entries
  return table;
}

int HashTable::clear() {
  // A fresh array rather than emptying the lists in place: an enumerator
  // standing in a bucket keeps a valid position on the array it was made on.
  return setsize(size());
}

int HashTable::count() const {
  size_t total = 0;
  for (const HashBucket& list : *data) total += list.size();
  return static_cast<int>(total);
}

int HashTable::maxbucketdepth() const {
  if (data->empty()) return 0;
  return static_cast<int>((*data)[maxbucket()].size());
}

int HashTable::maxbucket() const {
  int best = 0;
  size_t depth = 0;
  for (size_t i = 0; i < data->size(); ++i) {
    if ((*data)[i].size() > depth) {
      depth = (*data)[i].size();
      best = static_cast<int>(i);
    }
  }
  return best;
}

std::vector<ObjectRef> HashTable::bucket(int index) const {
  std::vector<ObjectRef> values;
  for (const HashNodeRef& node : data->at(static_cast<size_t>(index))) values.push_back(node->data);
  return values;
}

int HashTable::bucketof(const std::u16string& key) const {
  // Hash first: without a hash function the call fails alike with or without buckets.
  const int32_t h = hashfunc(key);
  if (data->empty()) throw std::logic_error("Hash table has no buckets");
  const int32_t n = static_cast<int32_t>(data->size());
  const int32_t remainder = h % n;  // truncated toward zero: sign of h
  return remainder < 0 ? -remainder : remainder;
}

// ---- HashTable: entries ----------------------------------------------------

int HashTable::insertnode(const HashNodeRef& node) {
  (*data)[bucketof(node->key)].push_front(node);
  return 0;
}

HashNodeRef HashTable::insert(const std::u16string& key, ObjectRef value) {
  HashNodeRef node = HashNode::Create(key, std::move(value));
  insertnode(node);
  return node;
}

std::optional<HashLink> HashTable::findnodelink(const std::u16string& key, const HashNodeRef& node,
                                                int mode) {
  HashBucket& list = (*data)[bucketof(key)];
  for (auto it = list.begin(); it != list.end(); ++it) {
    const bool found = node ? *it == node : (*it)->key == key;
    if (!found) continue;
    if (mode == 1 || (mode == -1 && autobringtofront != 0)) {
      if (it != list.begin()) list.splice(list.begin(), list, it);
    }
    return HashLink{&list, it};
  }
  return std::nullopt;
}

std::vector<HashLink> HashTable::findallnodelinks(const std::u16string& key) {
  std::vector<HashLink> links;
  HashBucket& list = (*data)[bucketof(key)];
  for (auto it = list.begin(); it != list.end(); ++it) {
    if ((*it)->key == key) links.push_back(HashLink{&list, it});
  }
  return links;
}

HashNodeRef HashTable::findnode(const std::u16string& key, int mode) {
  auto link = findnodelink(key, nullptr, mode);
  return link ? link->node() : nullptr;
}

std::vector<HashNodeRef> HashTable::findallnodes(const std::u16string& key) {
  std::vector<HashNodeRef> nodes;
  for (const HashLink& link : findallnodelinks(key)) nodes.push_back(link.node());
  return nodes;
}

ObjectRef HashTable::find(const std::u16string& key, int mode) {
  auto link = findnodelink(key, nullptr, mode);
  return link ? link->node()->data : nullptr;
}

std::vector<ObjectRef> HashTable::findall(const std::u16string& key) {
  std::vector<ObjectRef> values;
  for (const HashLink& link : findallnodelinks(key)) values.push_back(link.node()->data);
  return values;
}

int HashTable::removenode(const HashNodeRef& node) {
  if (!node) return 0;
  auto link = findnodelink(node->key, node, 0);
  if (!link) return 0;
  link->remove();
  return 1;
}

HashNodeRef HashTable::remove(const std::u16string& key) {
  auto link = findnodelink(key, nullptr, 0);
  if (!link) return nullptr;
  HashNodeRef node = link->node();
  link->remove();
  return node;
}

int HashTable::removeall(const std::u16string& key) {
  return static_cast<int>(removeallnodes(key).size());
}

std::vector<HashNodeRef> HashTable::removeallnodes(const std::u16string& key) {
  std::vector<HashNodeRef> nodes;
  for (HashLink& link : findallnodelinks(key)) {
    nodes.push_back(link.node());
    link.remove();
  }
  return nodes;
}

HashEnumRef HashTable::ObjectEnumerator() const {
  return HashEnum::Create(data, 0);
}
HashEnumRef HashTable::KeyEnumerator() const {
  return HashEnum::Create(data, 1);
}
HashEnumRef HashTable::NodeEnumerator() const {
  return HashNodeEnum::Create(data, 0);
}

// ---- Enumerators -----------------------------------------------------------

HashEnumRef HashEnum::Create(std::shared_ptr<HashBucketArray> array, int mode) {
  auto e = std::make_shared<HashEnum>();
  e->array = std::move(array);
  e->mode = mode;
  e->gotofirst();
  return e;
}

int HashEnum::gotofirst() {
  list = nullptr;
  for (; index < static_cast<int>(array->size()); ++index) {
    HashBucket& bucket = (*array)[index];
    if (!bucket.empty()) {
      list = &bucket;
      link = list->begin();
      return 0;
    }
  }
  return 0;
}

bool HashEnum::HasNext() {
  if (!list) return false;
  if (link != list->end()) return true;
  ++index;
  gotofirst();
  return list != nullptr;
}

HashNodeRef HashEnum::advance() {
  if (!HasNext()) return nullptr;
  HashNodeRef node = *link;
  ++link;
  return node;
}

ObjectRef HashEnum::NextObject() {
  HashNodeRef node = advance();
  if (!node) return nullptr;
  if (mode == 1) return StringObject::Create(node->key);
  return node->data;
}

HashEnumRef HashNodeEnum::Create(std::shared_ptr<HashBucketArray> array, int mode) {
  auto e = std::make_shared<HashNodeEnum>();
  e->array = std::move(array);
  e->mode = mode;
  e->gotofirst();
  return e;
}

ObjectRef HashNodeEnum::NextObject() {
  return advance();
}

// ---- Free-function forms ---------------------------------------------------

HashTableRef HashTableCreate(int size, HashFunction hashfunc) {
  return HashTable::Create(size, std::move(hashfunc));
}
HashTableRef HashTableCopy(const HashTableRef& table) {
  return table->copy();
}
int HashTableClear(const HashTableRef& table) {
  table->clear();
  return 0;
}
int HashTableCheckFill(const HashTableRef& table) {
  return table->checkfill();
}
int HashTableResize(const HashTableRef& table, int size) {
  table->resize(size);
  return 0;
}
int HashTableCount(const HashTableRef& table) {
  return table->count();
}
int HashTableMaxBucketDepth(const HashTableRef& table) {
  return table->maxbucketdepth();
}
int HashTableMaxBucket(const HashTableRef& table) {
  return table->maxbucket();
}
std::vector<ObjectRef> HashTableMaxBucketValues(const HashTableRef& table) {
  return table->bucket(table->maxbucket());
}
HashBucketRef HashTableMaxBucketList(const HashTableRef& table) {
  return HashTableBucketList(table, table->maxbucket());
}
std::vector<ObjectRef> HashTableBucket(const HashTableRef& table, int index) {
  return table->bucket(index);
}
HashBucketRef HashTableBucketList(const HashTableRef& table, int index) {
  // Shares ownership of the whole array, so the bucket outlives a resize.
  return HashBucketRef(table->data, &table->data->at(static_cast<size_t>(index)));
}
int HashTableSize(const HashTableRef& table) {
  return table->size();
}
HashNodeRef HashTableInsert(const HashTableRef& table, const std::u16string& key, ObjectRef value) {
  return table->insert(key, std::move(value));
}
int HashTableInsertNode(const HashTableRef& table, const HashNodeRef& node) {
  table->insertnode(node);
  return 0;
}
ObjectRef HashTableFind(const HashTableRef& table, const std::u16string& key) {
  return table->find(key, -1);
}
HashNodeRef HashTableFindNode(const HashTableRef& table, const std::u16string& key) {
  return table->findnode(key, -1);
}
std::optional<HashLink> HashTableFindNodeLink(const HashTableRef& table,
                                              const std::u16string& key) {
  return table->findnodelink(key, nullptr, -1);
}
std::vector<ObjectRef> HashTableFindAll(const HashTableRef& table, const std::u16string& key) {
  return table->findall(key);
}
std::vector<HashNodeRef> HashTableFindAllNodes(const HashTableRef& table,
                                               const std::u16string& key) {
  return table->findallnodes(key);
}
HashNodeRef HashTableRemove(const HashTableRef& table, const std::u16string& key) {
  return table->remove(key);
}
int HashTableRemoveAll(const HashTableRef& table, const std::u16string& key) {
  return table->removeall(key);
}
std::vector<HashNodeRef> HashTableRemoveAllNodes(const HashTableRef& table,
                                                 const std::u16string& key) {
  return table->removeallnodes(key);
}
HashEnumRef HashTableObjectEnumerator(const HashTableRef& table) {
  return table->ObjectEnumerator();
}
HashEnumRef HashTableKeyEnumerator(const HashTableRef& table) {
  return table->KeyEnumerator();
}
HashEnumRef HashTableNodeEnumerator(const HashTableRef& table) {
  return table->NodeEnumerator();
}
std::u16string HashNodeKey(const HashNodeRef& node) {
  return node->key;
}
ObjectRef HashNodeValue(const HashNodeRef& node) {
  return node->data;
}
HashNodeRef HashNodeCreate(const std::u16string& key, ObjectRef value) {
  return HashNode::Create(key, std::move(value));
}
int HashTableSetBringToFront(const HashTableRef& table, int value) {
  table->autobringtofront = value;
  return 0;
}
int HashTableGetBringToFront(const HashTableRef& table) {
  return table->autobringtofront;
}

}  // namespace skyloom
