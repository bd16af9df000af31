// BinTree: an ordered multimap keyed by strings. Each node holds one key and a
// chain of values, newest first; lookups can splay the node they reach to the
// root, and the whole tree can be rebuilt into a perfectly balanced shape.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/object.h"

namespace skyloom {

class BinNodeData;
class BinNode;
class BinTree;
class BinEnum;
using BinNodeDataRef = std::shared_ptr<BinNodeData>;
using BinNodeRef = std::shared_ptr<BinNode>;
using BinTreeRef = std::shared_ptr<BinTree>;
using BinEnumRef = std::shared_ptr<BinEnum>;

// One entry of a node's value chain. `nxt` leads to the next older entry.
class BinNodeData {
 public:
  static BinNodeDataRef Create(ObjectRef value);
  // Releases long chains one entry at a time instead of recursively.
  ~BinNodeData();

  // A new chain with one new entry per entry from this one on, same values.
  BinNodeDataRef copy() const;
  // The values from this entry on joined by ", "; a value that is not a
  // StringObject contributes an empty item.
  std::u16string csv() const;

  BinNodeDataRef nxt;
  ObjectRef data;
};

// One key of the tree with its value chain and its links. `parent` is a
// non-owning back link; a node owns its children. Nodes must be made with
// Create (they hand out shared references to themselves).
class BinNode : public Object, public std::enable_shared_from_this<BinNode> {
 public:
  static BinNodeRef Create(std::u16string key, ObjectRef value);
  // Detaches the children (their parent becomes null) and releases the
  // subtree without recursion; children still held elsewhere stay intact.
  ~BinNode() override;

  std::u16string csv() const;
  BinNodeRef leftmostchild();
  BinNodeRef rightmostchild();
  // Unhooks this node from its parent. Returns 0.
  int orphan();
  // Orphans this node and hangs it (with its subtree) as the right child of
  // dest's rightmost node (movetoleft: left child of its leftmost node).
  int movetoright(const BinNodeRef& dest);
  int movetoleft(const BinNodeRef& dest);

  // Takes this node out of its tree and returns the node now standing in its
  // place, or null. The removed node keeps its key and values and is left
  // fully detached (no parent, no children).
  BinNodeRef remove();
  // Drops every chain entry holding exactly this object. When the chain is
  // then empty and removeifempty is non-zero, removes the node and returns its
  // replacement; otherwise returns this node.
  BinNodeRef removevalue(const ObjectRef& value, int removeifempty);
  // Drops the newest entry (if any), then as removevalue.
  BinNodeRef removeonevalue(int removeifempty);
  BinNodeRef removeallvalues(int removeifempty);

  ObjectRef value() const;                // newest value or null
  std::vector<ObjectRef> values() const;  // newest first
  int containsvalue(const ObjectRef& value) const;
  int valuecount() const;

  // Inserts a detached node into the subtree rooted here; returns the node
  // that now holds the key (newnode, or the existing node that took its chain).
  BinNodeRef insert(const BinNodeRef& newnode);
  // Puts the whole chain in front of this node's entries. Returns 0.
  int addvalue(const BinNodeDataRef& chain);
  // The node where a search for key stops; never null.
  BinNodeRef findclosest(const std::u16string& key);

  int count() const;
  int countvalues() const;
  int height() const;
  // Detaches every node of the subtree from every other. Returns 0.
  int clearlinks();

  // Rebuilds the subtree into a perfectly balanced one; returns its root.
  BinNodeRef optimize();
  // Balanced subtree of nodes[first..last] (the upper middle of an even
  // slice becomes the root); null for an empty slice, std::out_of_range for
  // a slice reaching outside the array.
  static BinNodeRef optimize_(int first, int last, const std::vector<BinNodeRef>& nodes);

  // The subtree's nodes in left-node-right, right-node-left, node-left-right
  // and left-right-node order.
  std::vector<BinNodeRef> nodesinorder();
  std::vector<BinNodeRef> nodesreverseorder();
  std::vector<BinNodeRef> nodespreorder();
  std::vector<BinNodeRef> nodespostorder();
  // Workers: store the nodes into nodes[index...] and advance index. Return
  // 0; std::out_of_range when the array has no room for the subtree.
  int nodesinorder_(int& index, std::vector<BinNodeRef>& nodes);
  int nodesreverseorder_(int& index, std::vector<BinNodeRef>& nodes);
  int nodespreorder_(int& index, std::vector<BinNodeRef>& nodes);
  int nodespostorder_(int& index, std::vector<BinNodeRef>& nodes);

  // The same orders, but each element is the node's chain head.
  std::vector<BinNodeDataRef> inorder();
  std::vector<BinNodeDataRef> reverseorder();
  std::vector<BinNodeDataRef> preorder();
  std::vector<BinNodeDataRef> postorder();
  int inorder_(int& index, std::vector<BinNodeDataRef>& chains);
  int reverseorder_(int& index, std::vector<BinNodeDataRef>& chains);
  int preorder_(int& index, std::vector<BinNodeDataRef>& chains);
  int postorder_(int& index, std::vector<BinNodeDataRef>& chains);

  // Next / previous node in key order, or null.
  BinNodeRef successor();
  BinNodeRef predecessor();
  // Deep copy of the subtree with copied chains holding the same values.
  BinNodeRef copy() const;

  std::u16string key;
  BinNodeDataRef data;
  BinNode* parent = nullptr;
  BinNodeRef l;
  BinNodeRef r;
};

// The tree. Lookups take a splay argument s: 1 splays the node reached to the
// root, -1 splays only when autosplay is exactly 1, anything else never.
// Traversals, counting, copying and destruction are iterative, so even a
// degenerate (list-shaped) tree of any height is safe.
class BinTree : public Object {
 public:
  explicit BinTree(int splay = 1) : autosplay(splay) {}
  ~BinTree() override;
  BinTree(const BinTree&) = delete;
  BinTree& operator=(const BinTree&) = delete;

  static BinTreeRef Create(int splay);

  int isempty() const { return root ? 0 : 1; }
  int issplay() const { return autosplay; }
  int setsplay(int splay) {
    autosplay = splay;
    return 0;
  }
  // Deep copy; the copy's autosplay is 1 whatever this tree's.
  BinTreeRef copy() const;

  // Adds value under key (a null value stores the key itself as a
  // StringObject). Returns the node holding the key, splayed per s.
  BinNodeRef insert(const std::u16string& key, ObjectRef value, int s);
  BinNodeRef findclosestnode(const std::u16string& key, int s);
  BinNodeRef findnode(const std::u16string& key, int s);
  ObjectRef findclosest(const std::u16string& key, int s);
  int contains(const std::u16string& key, int s);
  ObjectRef find(const std::u16string& key, int s);
  std::vector<ObjectRef> findall(const std::u16string& key, int s);
  int findcount(const std::u16string& key, int s);

  // Removes the newest value of key, and the node once it has none. Returns
  // the node found (detached when it left the tree) or null. Never splays.
  BinNodeRef remove(const std::u16string& key);
  // Removes the node of key with all its values; returns it or null.
  BinNodeRef removeall(const std::u16string& key);
  // Removes a node of this tree; returns the node that took its place.
  BinNodeRef removenode(const BinNodeRef& node);
  // Removes every entry holding exactly value: under key, or under every key
  // when key is "". Nodes left without values are removed. Returns 0.
  int removevalue(const ObjectRef& value, const std::u16string& key);

  int count() const { return root ? root->count() : 0; }
  int countvalues() const { return root ? root->countvalues() : 0; }
  int height() const { return root ? root->height() : 0; }
  int clear();
  int optimize();
  // 0 in order, 1 reverse order, 2 preorder, 3 postorder; chain heads.
  std::vector<BinNodeDataRef> toarray(int mode);

  BinEnumRef ObjectEnumerator();
  BinEnumRef KeyEnumerator();
  BinEnumRef NodeEnumerator();

  // Bottom-up splay of a node of this tree to the root. Returns 0.
  int splay(const BinNodeRef& node);
  // Rotations about a node of this tree; a node that is neither the root nor
  // has a parent is left alone. Return 0.
  int rotright(const BinNodeRef& node);
  int rotleft(const BinNodeRef& node);

  BinNodeRef root;
  int autosplay = 1;

 private:
  void splayper(BinNode* node, int s);
  void splayraw(BinNode* x);
  void rotright(BinNode* n);
  void rotleft(BinNode* n);
  // The owning link that points at n: its parent's child link or root.
  BinNodeRef* slotof(BinNode* n);
  BinNodeRef exact(const std::u16string& key);
  // Removes node from the tree, keeping root up to date.
  BinNodeRef unlink(const BinNodeRef& node);
};

// Enumerator in ascending key order: kind 0 values (newest first within a
// key), 1 keys (as StringObject), 2 nodes. The node just returned may be
// removed from the tree during the enumeration.
class BinEnum : public Object, public std::enable_shared_from_this<BinEnum> {
 public:
  static BinEnumRef Create(BinNodeRef node, int kind);

  bool HasNext();
  // The next item, or null when there is none.
  ObjectRef NextObject();
  BinEnumRef ObjectEnumerator() { return shared_from_this(); }

  BinNodeRef node;
  BinNodeDataRef data;
  int kind = 0;
};

// Free-function forms. Where the method takes a splay argument these pass
// -1, except BinTreeContains, which passes 0.
BinTreeRef BinTreeCreate(int splay);
int BinTreeSetSplay(const BinTreeRef& tree, int splay);  // stores 1 or 0
int BinTreeGetSplay(const BinTreeRef& tree);
BinNodeRef BinTreeRoot(const BinTreeRef& tree);
int BinTreeSplay(const BinTreeRef& tree, const BinNodeRef& node);
int BinTreeClear(const BinTreeRef& tree);
int BinTreeCountValues(const BinTreeRef& tree);
int BinTreeCount(const BinTreeRef& tree);
int BinTreeHeight(const BinTreeRef& tree);
int BinTreeIsEmpty(const BinTreeRef& tree);
int BinTreeContains(const BinTreeRef& tree, const std::u16string& key);
BinNodeRef BinTreeInsert(const BinTreeRef& tree, const std::u16string& key, ObjectRef value);
// The number of values the removed node held; 0 when the key was absent.
int BinTreeRemoveAll(const BinTreeRef& tree, const std::u16string& key);
BinNodeRef BinTreeRemove(const BinTreeRef& tree, const std::u16string& key);
int BinTreeRemoveNode(const BinTreeRef& tree, const BinNodeRef& node);
int BinTreeRemoveValue(const BinTreeRef& tree, const ObjectRef& value, const std::u16string& key);
ObjectRef BinTreeFind(const BinTreeRef& tree, const std::u16string& key);
BinNodeRef BinTreeFindNode(const BinTreeRef& tree, const std::u16string& key);
std::vector<ObjectRef> BinTreeFindAll(const BinTreeRef& tree, const std::u16string& key);
int BinTreeFindCount(const BinTreeRef& tree, const std::u16string& key);
std::vector<BinNodeDataRef> BinTreeToArray(const BinTreeRef& tree, int mode);
int BinTreeOptimize(const BinTreeRef& tree);
BinEnumRef BinTreeObjectEnumerator(const BinTreeRef& tree);
BinEnumRef BinTreeKeyEnumerator(const BinTreeRef& tree);
BinEnumRef BinTreeNodeEnumerator(const BinTreeRef& tree);
BinTreeRef BinTreeCopy(const BinTreeRef& tree);
std::u16string BinNodeCsv(const BinNodeRef& node);
std::vector<ObjectRef> BinNodeValues(const BinNodeRef& node);
std::u16string BinNodeKey(const BinNodeRef& node);
ObjectRef BinNodeValue(const BinNodeRef& node);

}  // namespace skyloom
