// HashTable: a string-keyed table with separate chaining, repeated keys and
// optional move-to-front on lookup, plus the string hash `hashstring` (the
// lookup2 hash) used by the definition parser.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/object.h"

namespace skyloom {

// One entry: a key and a shared value (null allowed).
class HashNode : public Object {
 public:
  HashNode() = default;
  HashNode(std::u16string k, ObjectRef v) : key(std::move(k)), data(std::move(v)) {}
  static std::shared_ptr<HashNode> Create(std::u16string key, ObjectRef value);

  std::u16string key;
  ObjectRef data;
};

class HashTable;
class HashEnum;
using HashNodeRef = std::shared_ptr<HashNode>;
using HashTableRef = std::shared_ptr<HashTable>;
using HashEnumRef = std::shared_ptr<HashEnum>;
// A bucket: entries front to back. The buckets live in one array, shared by
// the table and its enumerators; a HashBucketRef to one bucket keeps the
// whole array alive.
using HashBucket = std::list<HashNodeRef>;
using HashBucketRef = std::shared_ptr<HashBucket>;
using HashBucketArray = std::vector<HashBucket>;
using HashFunction = std::function<int32_t(const std::u16string&)>;

// The position of one entry in its bucket; it can be removed in place. A link
// stays valid while its entry stays in the bucket and the table keeps that
// bucket array (no setsize or resize).
struct HashLink {
  HashBucket* list;
  HashBucket::iterator it;

  const HashNodeRef& node() const { return *it; }
  void remove() { list->erase(it); }
};

// lookup2 (Jenkins, 1996) over the low bytes of the code units, with the
// initial value 52867, as a signed 32-bit integer.
int32_t hashstring(const std::u16string& key);

class HashTable : public Object {
 public:
  // No buckets and no hash function: only Create makes a usable table.
  HashTable() : data(std::make_shared<HashBucketArray>()) {}

  static HashTableRef Create(int size, HashFunction hashfunc);

  // A new array of size empty buckets; the entries held before are dropped.
  int setsize(int size);
  // Changes the number of buckets, re-inserting every entry in bucket order.
  // A size below 1 for a table with entries throws std::logic_error and
  // leaves the table as it was.
  int resize(int size);
  // Number of buckets holding at least one entry.
  int checkfill() const;
  // Same size, hash function and move-to-front default; the new buckets hold
  // the same entries (shared, not copied) in the same order.
  HashTableRef copy() const;
  // Empties every bucket by giving the table a new array of the same size;
  // like setsize, it leaves enumerators on the array they were made on.
  int clear();
  int count() const;
  int size() const { return static_cast<int>(data->size()); }
  int maxbucketdepth() const;
  int maxbucket() const;
  // Values of the entries of one bucket, front to back. index must lie in
  // [0, size()); otherwise std::out_of_range is thrown.
  std::vector<ObjectRef> bucket(int index) const;

  int insertnode(const HashNodeRef& node);
  HashNodeRef insert(const std::u16string& key, ObjectRef value);

  // Finds node (when given) or else the first entry of key in key's bucket.
  // mode: 1 moves it to the front, -1 does so when autobringtofront is
  // non-zero, anything else never.
  std::optional<HashLink> findnodelink(const std::u16string& key, const HashNodeRef& node,
                                       int mode);
  std::vector<HashLink> findallnodelinks(const std::u16string& key);
  HashNodeRef findnode(const std::u16string& key, int mode);
  std::vector<HashNodeRef> findallnodes(const std::u16string& key);
  ObjectRef find(const std::u16string& key, int mode);
  std::vector<ObjectRef> findall(const std::u16string& key);

  // 1 when that very entry was in the table and has been taken out.
  int removenode(const HashNodeRef& node);
  HashNodeRef remove(const std::u16string& key);
  int removeall(const std::u16string& key);
  std::vector<HashNodeRef> removeallnodes(const std::u16string& key);

  HashEnumRef ObjectEnumerator() const;
  HashEnumRef KeyEnumerator() const;
  HashEnumRef NodeEnumerator() const;

  // Bucket index of key: |hashfunc(key) mod size()|. Throws
  // std::bad_function_call without a hash function (checked first) and
  // std::logic_error for a table without buckets.
  int bucketof(const std::u16string& key) const;

  std::shared_ptr<HashBucketArray> data;
  HashFunction hashfunc;
  int autobringtofront = 1;
};

// Enumerator over a bucket array, bucket 0 upward, each bucket front to back:
// mode 0 yields values, mode 1 keys (as StringObject). The entry just
// returned may be removed from the table; removing others is not allowed
// while enumerating.
class HashEnum : public Object, public std::enable_shared_from_this<HashEnum> {
 public:
  static HashEnumRef Create(std::shared_ptr<HashBucketArray> array, int mode);

  int gotofirst();
  bool HasNext();
  virtual ObjectRef NextObject();
  HashEnumRef ObjectEnumerator() { return shared_from_this(); }

  std::shared_ptr<HashBucketArray> array;
  int index = 0;
  // The current bucket and position in it; no bucket when exhausted.
  HashBucket* list = nullptr;
  HashBucket::iterator link;
  int mode = 0;

 protected:
  // Moves to the current entry and past it; null when there is none.
  HashNodeRef advance();
};

// Enumerator yielding the HashNode entries themselves.
class HashNodeEnum : public HashEnum {
 public:
  static HashEnumRef Create(std::shared_ptr<HashBucketArray> array, int mode);
  ObjectRef NextObject() override;
};

// Free-function forms; where the method takes a mode they pass -1.
HashTableRef HashTableCreate(int size, HashFunction hashfunc);
HashTableRef HashTableCopy(const HashTableRef& table);
int HashTableClear(const HashTableRef& table);
int HashTableCheckFill(const HashTableRef& table);
int HashTableResize(const HashTableRef& table, int size);
int HashTableCount(const HashTableRef& table);
int HashTableMaxBucketDepth(const HashTableRef& table);
int HashTableMaxBucket(const HashTableRef& table);
std::vector<ObjectRef> HashTableMaxBucketValues(const HashTableRef& table);
HashBucketRef HashTableMaxBucketList(const HashTableRef& table);
std::vector<ObjectRef> HashTableBucket(const HashTableRef& table, int index);
HashBucketRef HashTableBucketList(const HashTableRef& table, int index);
int HashTableSize(const HashTableRef& table);
HashNodeRef HashTableInsert(const HashTableRef& table, const std::u16string& key, ObjectRef value);
int HashTableInsertNode(const HashTableRef& table, const HashNodeRef& node);
ObjectRef HashTableFind(const HashTableRef& table, const std::u16string& key);
HashNodeRef HashTableFindNode(const HashTableRef& table, const std::u16string& key);
std::optional<HashLink> HashTableFindNodeLink(const HashTableRef& table, const std::u16string& key);
std::vector<ObjectRef> HashTableFindAll(const HashTableRef& table, const std::u16string& key);
std::vector<HashNodeRef> HashTableFindAllNodes(const HashTableRef& table,
                                               const std::u16string& key);
HashNodeRef HashTableRemove(const HashTableRef& table, const std::u16string& key);
int HashTableRemoveAll(const HashTableRef& table, const std::u16string& key);
std::vector<HashNodeRef> HashTableRemoveAllNodes(const HashTableRef& table,
                                                 const std::u16string& key);
HashEnumRef HashTableObjectEnumerator(const HashTableRef& table);
HashEnumRef HashTableKeyEnumerator(const HashTableRef& table);
HashEnumRef HashTableNodeEnumerator(const HashTableRef& table);
std::u16string HashNodeKey(const HashNodeRef& node);
ObjectRef HashNodeValue(const HashNodeRef& node);
HashNodeRef HashNodeCreate(const std::u16string& key, ObjectRef value);
int HashTableSetBringToFront(const HashTableRef& table, int value);  // stored unchanged
int HashTableGetBringToFront(const HashTableRef& table);

}  // namespace skyloom
