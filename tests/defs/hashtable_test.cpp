// The chained hash table and its string hash: hash values, the bucket rule,
// repeated keys, move-to-front, resizing, fill reports, copies and the
// enumerators.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "defs/hashtable.h"
#include "runtime/strings.h"
#include "tests/defs/string_values.h"

namespace skyloom {
namespace {

using test_values::Str;
using test_values::Text;

// A hash that reads the key's leading number, so tests choose the buckets.
int32_t NumberHash(const std::u16string& key) {
  return static_cast<int32_t>(ParseDouble(key));
}

TEST(HashStringTest, KnownValues) {
  EXPECT_EQ(hashstring(u""), 454783320);
  EXPECT_EQ(hashstring(u"abc"), -1967872251);
}

TEST(HashStringTest, UsesTheLowByteOfEachUnit) {
  EXPECT_EQ(hashstring(u"\u0161bc"), hashstring(u"abc"));
  EXPECT_EQ(hashstring(u"a\u0100"), hashstring(std::u16string(u"a\0", 2)));
}

TEST(HashStringTest, EveryByteOfEveryLengthCounts) {
  // Lengths around the 12-byte blocks; changing any one byte changes the hash.
  for (size_t length = 1; length <= 37; ++length) {
    std::u16string key(length, u'q');
    const int32_t base = hashstring(key);
    for (size_t i = 0; i < length; ++i) {
      std::u16string other = key;
      other[i] = u'r';
      EXPECT_NE(hashstring(other), base) << "length " << length << " byte " << i;
    }
    EXPECT_NE(hashstring(key + u"q"), base) << "length " << length;
  }
}

TEST(HashTableTest, BucketIsTheAbsoluteTruncatedRemainder) {
  auto table = HashTable::Create(256, hashstring);
  EXPECT_EQ(table->bucketof(u"abc"), 251);
  struct Case {
    const char16_t* key;
    int size;
    int bucket;
  };
  const Case cases[] = {{u"7", 5, 2}, {u"-7", 5, 2}, {u"-2147483648", 10, 8}, {u"0", 1, 0}};
  for (const Case& c : cases) {
    auto numbers = HashTable::Create(c.size, NumberHash);
    EXPECT_EQ(numbers->bucketof(c.key), c.bucket) << ToUtf8(c.key);
  }
  table->insert(u"abc", Str(u"x"));
  EXPECT_EQ(Text(table->bucket(251)[0]), u"x");
}

TEST(HashTableTest, RepeatedKeysNewestFirst) {
  auto table = HashTable::Create(16, hashstring);
  ObjectRef a = Str(u"A");
  ObjectRef b = Str(u"B");
  table->insert(u"other", nullptr);
  table->insert(u"k", a);
  table->insert(u"k", b);
  EXPECT_EQ(table->find(u"k", 0), b);
  EXPECT_EQ(table->findall(u"k"), (std::vector<ObjectRef>{b, a}));
  EXPECT_EQ(table->findallnodes(u"k").size(), 2u);
  EXPECT_EQ(table->count(), 3);
  EXPECT_EQ(table->removeall(u"k"), 2);
  EXPECT_EQ(table->count(), 1);
  EXPECT_EQ(table->find(u"k", 0), nullptr);
}

TEST(HashTableTest, NullValuesStayNull) {
  auto table = HashTable::Create(4, hashstring);
  HashNodeRef node = table->insert(u"k", nullptr);
  EXPECT_EQ(node->data, nullptr);
  EXPECT_EQ(table->find(u"k", 1), nullptr);
  EXPECT_EQ(table->findnode(u"k", 1), node);
}

TEST(HashTableTest, ResizeReversesEntriesThatShareABucket) {
  auto table = HashTable::Create(8, hashstring);
  ObjectRef a = Str(u"A");
  table->insert(u"k", a);
  table->insert(u"k", Str(u"B"));
  table->resize(8);
  EXPECT_EQ(table->find(u"k", 0), a);
  table->resize(3);
  EXPECT_EQ(table->size(), 3);
  EXPECT_EQ(table->count(), 2);
  EXPECT_EQ(Text(table->find(u"k", 0)), u"B");
}

TEST(HashTableTest, MoveToFrontFollowsTheMode) {
  struct Case {
    int mode;
    int autobringtofront;
    bool moves;
  };
  const Case cases[] = {{1, 0, true},   {-1, 1, true}, {-1, 7, true},
                        {-1, 0, false}, {0, 1, false}, {2, 1, false}};
  for (const Case& c : cases) {
    auto table = HashTable::Create(4, hashstring);
    table->autobringtofront = c.autobringtofront;
    HashNodeRef older = table->insert(u"k", Str(u"A"));
    table->insert(u"k", Str(u"B"));
    auto link = table->findnodelink(u"k", older, c.mode);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->node(), older);
    EXPECT_EQ(Text(table->find(u"k", 0)), c.moves ? u"A" : u"B")
        << "mode " << c.mode << " default " << c.autobringtofront;
  }
}

TEST(HashTableTest, LookupByKeyMovesOnlyPastOtherKeys) {
  auto table = HashTable::Create(1, hashstring);  // one bucket for everything
  table->insert(u"x", Str(u"x"));
  table->insert(u"y", Str(u"y"));
  table->find(u"x", -1);
  EXPECT_EQ(Text(table->bucket(0)[0]), u"x");
  table->find(u"y", 0);
  EXPECT_EQ(Text(table->bucket(0)[0]), u"x");
}

TEST(HashTableTest, FillReports) {
  auto table = HashTable::Create(10, NumberHash);
  EXPECT_EQ(table->checkfill(), 0);
  EXPECT_EQ(table->maxbucketdepth(), 0);
  EXPECT_EQ(table->maxbucket(), 0);
  table->insert(u"13", Str(u"first"));
  table->insert(u"3", Str(u"second"));
  EXPECT_EQ(table->checkfill(), 1);
  EXPECT_EQ(table->maxbucketdepth(), 2);
  EXPECT_EQ(table->maxbucket(), 3);
  table->insert(u"5", nullptr);
  table->insert(u"15", nullptr);
  EXPECT_EQ(table->maxbucket(), 3);  // the lowest index wins a tie
  EXPECT_EQ(table->checkfill(), 2);
  std::vector<std::u16string> fullest;
  for (const ObjectRef& v : HashTableMaxBucketValues(table)) fullest.push_back(Text(v));
  EXPECT_EQ(fullest, (std::vector<std::u16string>{u"second", u"first"}));
  EXPECT_TRUE(table->bucket(9).empty());
  EXPECT_TRUE(HashTableBucketList(table, 9)->empty());
  EXPECT_THROW(table->bucket(10), std::out_of_range);
  EXPECT_THROW(table->bucket(-1), std::out_of_range);
}

TEST(HashTableTest, RemovalByNodeAndByKey) {
  auto table = HashTable::Create(4, hashstring);
  HashNodeRef a = table->insert(u"k", Str(u"A"));
  HashNodeRef b = table->insert(u"k", Str(u"B"));
  EXPECT_EQ(table->removenode(HashNode::Create(u"k", a->data)), 0);  // same contents, other entry
  EXPECT_EQ(table->removenode(a), 1);
  EXPECT_EQ(table->removenode(a), 0);
  EXPECT_EQ(table->remove(u"k"), b);
  EXPECT_EQ(table->remove(u"k"), nullptr);
  EXPECT_EQ(table->count(), 0);
  table->insert(u"k", nullptr);
  table->insert(u"k", nullptr);
  EXPECT_EQ(table->removeallnodes(u"k").size(), 2u);
}

TEST(HashTableTest, CopySharesEntriesButNotBuckets) {
  auto table = HashTable::Create(8, hashstring);
  table->autobringtofront = 0;
  table->insert(u"k", Str(u"old"));
  HashTableRef copy = table->copy();
  EXPECT_EQ(copy->size(), 8);
  EXPECT_EQ(copy->autobringtofront, 0);
  table->findnode(u"k", 0)->data = Str(u"new");
  EXPECT_EQ(Text(copy->find(u"k", 0)), u"new");
  table->remove(u"k");
  EXPECT_EQ(copy->count(), 1);
}

TEST(HashTableTest, EnumeratorsWalkBucketsInOrder) {
  auto table = HashTable::Create(5, NumberHash);
  EXPECT_FALSE(table->ObjectEnumerator()->HasNext());
  table->insert(u"4", Str(u"four"));
  table->insert(u"1", Str(u"one"));
  table->insert(u"6", Str(u"six"));  // bucket 1, in front of "1"
  std::vector<std::u16string> values, keys;
  for (auto e = table->ObjectEnumerator(); e->HasNext();) values.push_back(Text(e->NextObject()));
  for (auto e = table->KeyEnumerator(); e->HasNext();) keys.push_back(Text(e->NextObject()));
  EXPECT_EQ(values, (std::vector<std::u16string>{u"six", u"one", u"four"}));
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"6", u"1", u"4"}));

  // The entry just returned may be taken out.
  int seen = 0;
  for (auto e = table->NodeEnumerator()->ObjectEnumerator(); e->HasNext(); ++seen) {
    table->removenode(std::static_pointer_cast<HashNode>(e->NextObject()));
  }
  EXPECT_EQ(seen, 3);
  EXPECT_EQ(table->count(), 0);
}

TEST(HashTableTest, EnumeratorKeepsTheArrayItWasMadeOn) {
  auto table = HashTable::Create(4, hashstring);
  table->insert(u"a", Str(u"a"));
  HashEnumRef e = table->ObjectEnumerator();
  table->setsize(4);
  table->insert(u"b", Str(u"b"));
  ASSERT_TRUE(e->HasNext());
  EXPECT_EQ(Text(e->NextObject()), u"a");
  EXPECT_FALSE(e->HasNext());
  EXPECT_EQ(e->NextObject(), nullptr);
}

TEST(HashTableTest, ClearLeavesEnumeratorsSafe) {
  // An enumerator made before a clear goes on over entries it can still
  // reach safely (like one made before a resize); the table itself is empty.
  auto table = HashTable::Create(1, hashstring);
  table->insert(u"a", Str(u"a"));
  table->insert(u"b", Str(u"b"));
  HashEnumRef e = table->ObjectEnumerator();
  EXPECT_EQ(Text(e->NextObject()), u"b");
  EXPECT_EQ(table->clear(), 0);
  EXPECT_EQ(table->count(), 0);
  EXPECT_EQ(table->size(), 1);
  EXPECT_EQ(table->find(u"a", 0), nullptr);
  ASSERT_TRUE(e->HasNext());
  EXPECT_EQ(Text(e->NextObject()), u"a");
  EXPECT_FALSE(e->HasNext());
  EXPECT_FALSE(table->ObjectEnumerator()->HasNext());
}

TEST(HashTableTest, TablesThatCannotHashRaiseErrors) {
  // Without a hash function hashing fails first, whether or not the table
  // has buckets: a table made with the default constructor has neither.
  HashTable bare;
  EXPECT_THROW(bare.insert(u"k", nullptr), std::bad_function_call);
  EXPECT_THROW(bare.find(u"k", 0), std::bad_function_call);
  bare.setsize(4);
  EXPECT_THROW(bare.insert(u"k", nullptr), std::bad_function_call);
  auto empty = HashTable::Create(0, hashstring);
  EXPECT_THROW(empty->find(u"k", 0), std::logic_error);
  EXPECT_EQ(empty->count(), 0);
  auto full = HashTable::Create(2, hashstring);
  full->insert(u"k", nullptr);
  EXPECT_THROW(full->resize(0), std::logic_error);
  EXPECT_EQ(full->size(), 2);
  EXPECT_NE(full->findnode(u"k", 0), nullptr);
}

TEST(HashTableTest, FreeFunctionsPassMinusOne) {
  HashTableRef table = HashTableCreate(1, hashstring);
  HashTableSetBringToFront(table, 0);
  EXPECT_EQ(HashTableGetBringToFront(table), 0);
  HashTableInsert(table, u"x", Str(u"x"));
  HashTableInsertNode(table, HashNodeCreate(u"y", Str(u"y")));
  EXPECT_EQ(Text(HashTableFind(table, u"x")), u"x");
  EXPECT_EQ(Text(HashTableBucket(table, 0)[0]), u"y");  // not moved: the default is off
  HashTableSetBringToFront(table, 1);
  EXPECT_EQ(HashNodeKey(HashTableFindNode(table, u"x")), u"x");
  EXPECT_EQ(Text(HashTableBucket(table, 0)[0]), u"x");
  EXPECT_TRUE(HashTableFindNodeLink(table, u"y").has_value());
  EXPECT_EQ(HashTableMaxBucketList(table)->size(), 2u);
  EXPECT_EQ(HashTableResize(table, 3), 0);
  EXPECT_EQ(HashTableSize(table), 3);
  EXPECT_EQ(HashTableCount(table), 2);
  EXPECT_EQ(HashTableClear(table), 0);
  EXPECT_EQ(HashTableCount(table), 0);
}

}  // namespace
}  // namespace skyloom
