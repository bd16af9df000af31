// The ordered string tree: key order, value chains, splay and rotation
// shapes, removal, balanced rebuilds, traversals, enumerators, the free
// functions, and a randomised comparison against a simple model.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "defs/bintree.h"
#include "runtime/strings.h"
#include "tests/defs/string_values.h"

namespace skyloom {
namespace {

using test_values::Str;
using test_values::Text;

// Keys of the whole tree in preorder, which pins down its shape.
std::vector<std::u16string> Preorder(BinTree& tree) {
  std::vector<std::u16string> keys;
  if (tree.root) {
    for (const BinNodeRef& n : tree.root->nodespreorder()) keys.push_back(n->key);
  }
  return keys;
}

std::vector<std::u16string> Keys(BinTree& tree) {
  std::vector<std::u16string> keys;
  for (auto e = tree.KeyEnumerator(); e->HasNext();) keys.push_back(Text(e->NextObject()));
  return keys;
}

// A tree whose keys are inserted in the given order without splaying.
void Fill(BinTree& tree, const std::vector<std::u16string>& keys) {
  for (const std::u16string& key : keys) tree.insert(key, nullptr, 0);
}

// Every child points back at its parent and the root has none.
bool LinksConsistent(const BinTree& tree) {
  if (!tree.root) return true;
  if (tree.root->parent) return false;
  std::vector<BinNode*> stack{tree.root.get()};
  while (!stack.empty()) {
    BinNode* n = stack.back();
    stack.pop_back();
    for (BinNode* child : {n->l.get(), n->r.get()}) {
      if (!child) continue;
      if (child->parent != n) return false;
      stack.push_back(child);
    }
  }
  return true;
}

TEST(BinTreeTest, KeysSortByCodeUnitThenLength) {
  BinTree tree(1);
  Fill(tree, {u"abc", u"a", u"B", u"ab", u"\u00e9", u""});
  EXPECT_EQ(Keys(tree), (std::vector<std::u16string>{u"", u"B", u"a", u"ab", u"abc", u"\u00e9"}));
}

TEST(BinTreeTest, NullValueStoresTheKeyItself) {
  BinTree tree(1);
  tree.insert(u"k", nullptr, -1);
  EXPECT_EQ(Text(tree.find(u"k", 0)), u"k");
}

TEST(BinTreeTest, RepeatedKeyKeepsOneNodeNewestFirst) {
  BinTree tree(1);
  ObjectRef a = Str(u"A");
  ObjectRef b = Str(u"B");
  tree.insert(u"k", a, -1);
  BinNodeRef node = tree.insert(u"k", b, -1);
  EXPECT_EQ(tree.count(), 1);
  EXPECT_EQ(tree.find(u"k", -1), b);
  EXPECT_EQ(tree.findall(u"k", -1), (std::vector<ObjectRef>{b, a}));
  EXPECT_EQ(tree.findcount(u"k", -1), 2);
  EXPECT_EQ(node->csv(), u"B, A");

  EXPECT_EQ(tree.remove(u"k"), node);
  EXPECT_EQ(tree.findall(u"k", 0), (std::vector<ObjectRef>{a}));
  EXPECT_EQ(tree.remove(u"k"), node);  // the last value takes the node with it
  EXPECT_EQ(tree.isempty(), 1);
  EXPECT_EQ(tree.remove(u"k"), nullptr);
}

TEST(BinTreeTest, AbsentKeysAndEmptyTreesGiveEmptyResults) {
  BinTree tree(1);
  EXPECT_EQ(tree.find(u"x", 1), nullptr);
  EXPECT_EQ(tree.findclosestnode(u"x", 1), nullptr);
  EXPECT_EQ(tree.findclosest(u"x", 1), nullptr);
  EXPECT_EQ(tree.contains(u"x", 1), 0);
  EXPECT_TRUE(tree.findall(u"x", 1).empty());
  EXPECT_EQ(tree.count() + tree.countvalues() + tree.height(), 0);
  EXPECT_TRUE(tree.toarray(0).empty());
  EXPECT_FALSE(tree.ObjectEnumerator()->HasNext());
  EXPECT_EQ(tree.ObjectEnumerator()->NextObject(), nullptr);
  EXPECT_EQ(tree.removeall(u"x"), nullptr);
  tree.optimize();
  EXPECT_EQ(tree.isempty(), 1);
}

TEST(BinTreeTest, ClosestSearchGoesLeftWhenThereIsNoRightChild) {
  BinTree tree(1);
  Fill(tree, {u"b", u"a"});
  EXPECT_EQ(tree.findclosestnode(u"c", 0)->key, u"a");
  EXPECT_EQ(tree.root->key, u"b");
  EXPECT_EQ(Text(tree.findclosest(u"c", 0)), u"a");
}

TEST(BinTreeTest, ContainsSplaysWhereTheSearchStoppedEvenWhenAbsent) {
  BinTree tree(0);
  Fill(tree, {u"m", u"f", u"t", u"c"});
  EXPECT_EQ(tree.contains(u"d", 1), 0);
  EXPECT_EQ(tree.root->key, u"c");
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, SplayArgumentFollowsAutosplayOnlyForMinusOne) {
  struct Case {
    int autosplay;
    int s;
    bool splays;
  };
  const Case cases[] = {{1, -1, true}, {1, 0, false},  {1, 1, true}, {0, -1, false},
                        {0, 1, true},  {2, -1, false}, {2, 1, true}, {1, 2, false}};
  for (const Case& c : cases) {
    BinTree tree(0);
    Fill(tree, {u"m", u"f", u"t"});
    tree.setsplay(c.autosplay);
    tree.findnode(u"f", c.s);
    EXPECT_EQ(tree.root->key, c.splays ? u"f" : u"m")
        << "autosplay " << c.autosplay << " s " << c.s;
  }
}

// A balanced tree d(b(a,c), f(e,g)) splayed at one node gives a known shape.
TEST(BinTreeTest, SplayShapes) {
  struct Case {
    const char16_t* node;
    std::vector<std::u16string> preorder;
  };
  const Case cases[] = {
      {u"b", {u"b", u"a", u"d", u"c", u"f", u"e", u"g"}},  // zig
      {u"f", {u"f", u"d", u"b", u"a", u"c", u"e", u"g"}},  // zig
      {u"a", {u"a", u"b", u"d", u"c", u"f", u"e", u"g"}},  // zig-zig
      {u"g", {u"g", u"f", u"d", u"b", u"a", u"c", u"e"}},  // zig-zig
      {u"c", {u"c", u"b", u"a", u"d", u"f", u"e", u"g"}},  // zig-zag
      {u"e", {u"e", u"d", u"b", u"a", u"c", u"f", u"g"}},  // zig-zag
      {u"d", {u"d", u"b", u"a", u"c", u"f", u"e", u"g"}},  // already the root
  };
  for (const Case& c : cases) {
    BinTree tree(0);
    Fill(tree, {u"d", u"b", u"f", u"a", u"c", u"e", u"g"});
    tree.splay(tree.findnode(c.node, 0));
    EXPECT_EQ(Preorder(tree), c.preorder) << "splaying " << ToUtf8(c.node);
    EXPECT_TRUE(LinksConsistent(tree));
  }
}

TEST(BinTreeTest, RotationsAboutAnInnerNode) {
  BinTree tree(0);
  Fill(tree, {u"d", u"b", u"f", u"a", u"c", u"e", u"g"});
  tree.rotright(tree.findnode(u"b", 0));
  EXPECT_EQ(Preorder(tree),
            (std::vector<std::u16string>{u"d", u"a", u"b", u"c", u"f", u"e", u"g"}));
  tree.rotleft(tree.root);
  EXPECT_EQ(Preorder(tree),
            (std::vector<std::u16string>{u"f", u"d", u"a", u"b", u"c", u"e", u"g"}));
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, RemovingTheRootHangsTheRightSubtreeBelowTheLeftMaximum) {
  BinTree tree(0);
  Fill(tree, {u"d", u"b", u"f", u"a", u"c", u"e", u"g"});
  BinNodeRef removed = tree.removeall(u"d");
  EXPECT_EQ(removed->key, u"d");
  EXPECT_EQ(removed->parent, nullptr);
  EXPECT_EQ(removed->l, nullptr);
  EXPECT_EQ(Preorder(tree), (std::vector<std::u16string>{u"b", u"a", u"c", u"f", u"e", u"g"}));
  EXPECT_EQ(tree.findnode(u"f", 0)->parent, tree.findnode(u"c", 0).get());
  EXPECT_EQ(Keys(tree), (std::vector<std::u16string>{u"a", u"b", u"c", u"e", u"f", u"g"}));
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, RemovingNodesWithOneOrNoChild) {
  BinTree tree(0);
  Fill(tree, {u"d", u"b", u"f", u"a", u"g"});
  EXPECT_EQ(tree.removenode(tree.findnode(u"b", 0))->key, u"a");  // left child replaces it
  EXPECT_EQ(tree.removenode(tree.findnode(u"f", 0))->key, u"g");  // right child replaces it
  EXPECT_EQ(tree.removenode(tree.findnode(u"g", 0)), nullptr);    // leaf
  EXPECT_EQ(Preorder(tree), (std::vector<std::u16string>{u"d", u"a"}));
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, RemoveValueByIdentity) {
  BinTree tree(1);
  ObjectRef shared = Str(u"x");
  ObjectRef lookalike = Str(u"x");
  tree.insert(u"a", shared, 0);
  tree.insert(u"a", lookalike, 0);
  tree.insert(u"b", shared, 0);
  tree.insert(u"c", shared, 0);
  tree.insert(u"c", shared, 0);
  tree.insert(u"d", lookalike, 0);

  tree.removevalue(shared, u"b");
  EXPECT_EQ(tree.contains(u"b", 0), 0);
  EXPECT_EQ(tree.findcount(u"c", 0), 2);

  tree.removevalue(shared, u"");
  EXPECT_EQ(Keys(tree), (std::vector<std::u16string>{u"a", u"d"}));
  EXPECT_EQ(tree.findall(u"a", 0), (std::vector<ObjectRef>{lookalike}));
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, NodeValueRemovalKeepsOrDropsTheNode) {
  BinTree tree(1);
  ObjectRef a = Str(u"A");
  tree.insert(u"k", a, 0);
  tree.insert(u"k", Str(u"B"), 0);
  BinNodeRef node = tree.findnode(u"k", 0);
  EXPECT_EQ(node->removeonevalue(1), node);
  EXPECT_EQ(node->values(), (std::vector<ObjectRef>{a}));
  EXPECT_EQ(node->removevalue(a, 0), node);  // kept although empty
  EXPECT_EQ(node->valuecount(), 0);
  EXPECT_EQ(node->csv(), u"");
  EXPECT_EQ(node->value(), nullptr);
  EXPECT_EQ(tree.count(), 1);
}

TEST(BinTreeTest, ToArrayModes) {
  BinTree tree(0);
  Fill(tree, {u"b", u"a", u"c"});
  auto keys = [](const std::vector<BinNodeDataRef>& chains) {
    std::vector<std::u16string> out;
    for (const BinNodeDataRef& c : chains) out.push_back(Text(c->data));
    return out;
  };
  using V = std::vector<std::u16string>;
  EXPECT_EQ(keys(tree.toarray(0)), (V{u"a", u"b", u"c"}));
  EXPECT_EQ(keys(tree.toarray(1)), (V{u"c", u"b", u"a"}));
  EXPECT_EQ(keys(tree.toarray(2)), (V{u"b", u"a", u"c"}));
  EXPECT_EQ(keys(tree.toarray(3)), (V{u"a", u"c", u"b"}));
  EXPECT_TRUE(tree.toarray(4).empty());
  EXPECT_TRUE(tree.toarray(-1).empty());

  // The elements are the chain heads, leading on to the older values.
  tree.insert(u"a", Str(u"newer"), 0);
  BinNodeDataRef head = tree.toarray(0)[0];
  EXPECT_EQ(Text(head->data), u"newer");
  EXPECT_EQ(Text(head->nxt->data), u"a");
}

TEST(BinTreeTest, OptimizeBuildsABalancedTreeWithTheUpperMiddleAtTheTop) {
  BinTree four(0);
  Fill(four, {u"k1", u"k2", u"k3", u"k4"});  // a right-leaning list
  four.optimize();
  EXPECT_EQ(Preorder(four), (std::vector<std::u16string>{u"k3", u"k2", u"k1", u"k4"}));
  EXPECT_TRUE(LinksConsistent(four));

  for (int n : {1, 2, 7, 8, 100}) {
    BinTree tree(0);
    for (int i = 0; i < n; ++i)
      tree.insert(
          std::u16string(1, char16_t(u'A' + i % 60)) + std::u16string(1, char16_t(u'0' + i / 60)),
          nullptr, 0);
    tree.optimize();
    int expected = 0;
    while ((1 << expected) < n + 1) ++expected;
    EXPECT_EQ(tree.height(), expected) << n << " nodes";
    EXPECT_EQ(tree.count(), n);
    EXPECT_TRUE(LinksConsistent(tree));
  }
}

TEST(BinTreeTest, OptimizeOfAnInnerSubtreeKeepsItHangingInPlace) {
  BinTree tree(0);
  Fill(tree, {u"a", u"b", u"c", u"d", u"e"});
  BinNodeRef top = tree.findnode(u"b", 0)->optimize();
  EXPECT_EQ(top->key, u"d");
  EXPECT_EQ(tree.root->r, top);
  EXPECT_EQ(Preorder(tree), (std::vector<std::u16string>{u"a", u"d", u"c", u"b", u"e"}));
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, WorkersFillFromTheRunningIndexAndRefuseShortArrays) {
  BinTree tree(0);
  Fill(tree, {u"b", u"a", u"c"});
  std::vector<BinNodeRef> nodes(5);
  int index = 1;
  tree.root->nodesinorder_(index, nodes);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(nodes[0], nullptr);
  EXPECT_EQ(nodes[1]->key, u"a");
  EXPECT_EQ(nodes[3]->key, u"c");
  EXPECT_EQ(nodes[4], nullptr);

  // An array without room for the subtree, or a slice reaching past the
  // array, is refused rather than written or read beyond its end.
  std::vector<BinNodeRef> shortnodes(2);
  std::vector<BinNodeDataRef> shortchains(2);
  int at = 0;
  EXPECT_THROW(tree.root->nodespostorder_(at, shortnodes), std::out_of_range);
  at = -1;
  EXPECT_THROW(tree.root->preorder_(at, shortchains), std::out_of_range);
  const std::vector<BinNodeRef> pair{BinNode::Create(u"x", nullptr),
                                     BinNode::Create(u"y", nullptr)};
  EXPECT_THROW(BinNode::optimize_(0, 2, pair), std::out_of_range);
  EXPECT_THROW(BinNode::optimize_(-1, 1, pair), std::out_of_range);
  EXPECT_EQ(pair[1]->l, nullptr);  // refused before anything was linked
  EXPECT_EQ(tree.count(), 3);
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, SuccessorAndPredecessorWalkTheKeys) {
  BinTree tree(0);
  Fill(tree, {u"d", u"b", u"f", u"a", u"c", u"e", u"g"});
  std::u16string forward;
  for (BinNodeRef n = tree.root->leftmostchild(); n; n = n->successor()) forward += n->key;
  std::u16string backward;
  for (BinNodeRef n = tree.root->rightmostchild(); n; n = n->predecessor()) backward += n->key;
  EXPECT_EQ(forward, u"abcdefg");
  EXPECT_EQ(backward, u"gfedcba");
}

TEST(BinTreeTest, CopyIsDeepAndAlwaysAutosplays) {
  BinTree tree(0);
  ObjectRef v = Str(u"v");
  Fill(tree, {u"b", u"a", u"c"});
  tree.insert(u"a", v, 0);
  tree.findnode(u"c", 0)->removeallvalues(0);
  BinTreeRef copy = tree.copy();
  EXPECT_EQ(copy->autosplay, 1);
  EXPECT_EQ(Preorder(*copy), Preorder(tree));
  EXPECT_EQ(copy->find(u"a", 0), v);  // the same value object
  EXPECT_EQ(copy->findcount(u"c", 0), 0);
  EXPECT_NE(copy->findnode(u"a", 0), tree.findnode(u"a", 0));
  EXPECT_TRUE(LinksConsistent(*copy));
  copy->removeall(u"a");
  EXPECT_EQ(tree.findcount(u"a", 0), 2);
}

TEST(BinTreeTest, ValuesEnumerationRunsInKeyOrderNewestFirst) {
  BinTree tree(1);
  tree.insert(u"b", Str(u"3"), -1);
  tree.insert(u"a", Str(u"1"), -1);
  tree.insert(u"a", Str(u"2"), -1);
  std::vector<std::u16string> values;
  for (auto e = tree.ObjectEnumerator()->ObjectEnumerator(); e->HasNext();) {
    values.push_back(Text(e->NextObject()));
  }
  EXPECT_EQ(values, (std::vector<std::u16string>{u"2", u"1", u"3"}));
}

TEST(BinTreeTest, ValuesEnumerationSkipsEmptyChains) {
  BinTree tree(0);
  Fill(tree, {u"b", u"a", u"c"});
  tree.findnode(u"a", 0)->removeallvalues(0);
  tree.findnode(u"b", 0)->removeallvalues(0);
  auto e = tree.ObjectEnumerator();
  ASSERT_TRUE(e->HasNext());
  EXPECT_EQ(Text(e->NextObject()), u"c");
  EXPECT_FALSE(e->HasNext());
}

TEST(BinTreeTest, NodeJustReturnedMayBeRemovedDuringEnumeration) {
  BinTree tree(1);
  Fill(tree, {u"d", u"b", u"f", u"a", u"c", u"e", u"g"});
  std::u16string seen;
  for (auto e = tree.NodeEnumerator(); e->HasNext();) {
    auto node = std::static_pointer_cast<BinNode>(e->NextObject());
    seen += node->key;
    if (node->key != u"e") tree.removenode(node);
  }
  EXPECT_EQ(seen, u"abcdefg");
  EXPECT_EQ(Keys(tree), (std::vector<std::u16string>{u"e"}));
  EXPECT_TRUE(LinksConsistent(tree));
}

TEST(BinTreeTest, FreeFunctionsHaveTheirOwnReturnRules) {
  BinTreeRef tree = BinTreeCreate(0);
  BinTreeSetSplay(tree, 5);
  EXPECT_EQ(BinTreeGetSplay(tree), 1);
  BinTreeSetSplay(tree, 0);
  EXPECT_EQ(BinTreeGetSplay(tree), 0);

  BinTreeInsert(tree, u"m", nullptr);
  BinTreeInsert(tree, u"f", Str(u"1"));
  BinTreeInsert(tree, u"f", Str(u"2"));
  BinTreeSetSplay(tree, 1);
  EXPECT_EQ(BinTreeContains(tree, u"f"), 1);
  EXPECT_EQ(BinTreeRoot(tree)->key, u"m");  // contains does not splay
  EXPECT_EQ(Text(BinTreeFind(tree, u"f")), u"2");
  EXPECT_EQ(BinTreeRoot(tree)->key, u"f");  // find does (-1 with autosplay 1)

  EXPECT_EQ(BinNodeCsv(BinTreeFindNode(tree, u"f")), u"2, 1");
  EXPECT_EQ(BinTreeRemoveAll(tree, u"f"), 2);
  EXPECT_EQ(BinTreeRemoveAll(tree, u"f"), 0);
  EXPECT_EQ(BinTreeCount(tree), 1);
  EXPECT_EQ(BinTreeClear(tree), 0);
  EXPECT_EQ(BinTreeIsEmpty(tree), 1);
}

TEST(BinTreeTest, ClearDetachesEveryNode) {
  BinTree tree(0);
  Fill(tree, {u"b", u"a", u"c"});
  BinNodeRef a = tree.findnode(u"a", 0);
  BinNodeRef b = tree.root;
  tree.clear();
  EXPECT_EQ(tree.root, nullptr);
  EXPECT_EQ(a->parent, nullptr);
  EXPECT_EQ(b->l, nullptr);
  EXPECT_EQ(b->r, nullptr);
}

TEST(BinTreeTest, ListShapedTreesOfGreatHeightAreSafe) {
  // Sorted insertion without splaying makes a list as high as the tree is big;
  // counting, copying, traversing and releasing it must not recurse per level.
  constexpr int kNodes = 300000;
  auto tree = std::make_shared<BinTree>(0);
  BinNodeRef last;
  for (int i = 0; i < kNodes; ++i) {
    std::u16string key = u"k0000000";
    for (int v = i, pos = 7; v > 0; v /= 10, --pos) key[pos] = char16_t(u'0' + v % 10);
    BinNodeRef node = BinNode::Create(key, nullptr);
    if (last) {
      last->r = node;
      node->parent = last.get();
    } else {
      tree->root = node;
    }
    last = node;
  }
  EXPECT_EQ(tree->height(), kNodes);
  EXPECT_EQ(tree->count(), kNodes);
  EXPECT_EQ(tree->toarray(3).size(), size_t(kNodes));
  BinTreeRef copy = tree->copy();
  EXPECT_EQ(copy->height(), kNodes);
  tree.reset();
  EXPECT_EQ(last->parent, nullptr);  // a node held elsewhere is detached
  copy->splay(copy->findnode(u"k0150000", 0));
  EXPECT_EQ(copy->root->key, u"k0150000");
  EXPECT_TRUE(LinksConsistent(*copy));
}

// Drives the tree with random operations and checks it against a sorted map
// of newest-first value lists after every step.
TEST(BinTreeTest, BehavesLikeASortedMultimapUnderRandomOperations) {
  std::mt19937 random(20240611);
  const std::vector<std::u16string> keys = {u"",  u"a",  u"ab", u"abc", u"b",
                                            u"B", u"ba", u"z",  u"Z",   u"\u00ff"};
  std::vector<ObjectRef> values;
  for (int i = 0; i < 6; ++i) values.push_back(Str(u"v"));

  BinTree tree(1);
  std::map<std::u16string, std::vector<ObjectRef>> model;  // newest first
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  const int splays[] = {-1, 0, 1};

  for (int step = 0; step < 4000; ++step) {
    const std::u16string& key = keys[pick(keys.size())];
    const int s = splays[pick(3)];
    auto found = model.find(key);
    switch (pick(8)) {
      case 0:
      case 1:
      case 2: {
        ObjectRef value = values[pick(values.size())];
        tree.insert(key, value, s);
        model[key].insert(model[key].begin(), value);
        break;
      }
      case 3: {
        BinNodeRef node = tree.remove(key);
        ASSERT_EQ(node != nullptr, found != model.end());
        if (found != model.end()) {
          found->second.erase(found->second.begin());
          if (found->second.empty()) model.erase(found);
        }
        break;
      }
      case 4: {
        tree.removeall(key);
        model.erase(key);
        break;
      }
      case 5: {
        ObjectRef value = values[pick(values.size())];
        // The key "" stands for every key.
        const bool everywhere = pick(2) == 0 || key.empty();
        tree.removevalue(value, everywhere ? u"" : key);
        for (auto it = model.begin(); it != model.end();) {
          if (everywhere || it->first == key) std::erase(it->second, value);
          it = it->second.empty() ? model.erase(it) : std::next(it);
        }
        break;
      }
      case 6:
        ASSERT_EQ(tree.contains(key, s), found != model.end() ? 1 : 0);
        break;
      default: {
        const std::vector<ObjectRef> expected =
            found != model.end() ? found->second : std::vector<ObjectRef>();
        ASSERT_EQ(tree.findall(key, s), expected) << "step " << step;
        ASSERT_EQ(tree.find(key, s), expected.empty() ? nullptr : expected[0]);
        ASSERT_EQ(tree.findcount(key, s), static_cast<int>(expected.size()));
        break;
      }
    }
    std::vector<std::u16string> modelkeys;
    size_t modelvalues = 0;
    for (const auto& [k, v] : model) {
      modelkeys.push_back(k);
      modelvalues += v.size();
    }
    ASSERT_EQ(Keys(tree), modelkeys) << "step " << step;
    ASSERT_EQ(tree.count(), static_cast<int>(model.size()));
    ASSERT_EQ(tree.countvalues(), static_cast<int>(modelvalues));
    ASSERT_TRUE(LinksConsistent(tree)) << "step " << step;
  }
}

}  // namespace
}  // namespace skyloom
