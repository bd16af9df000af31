// The ordered string tree: value chains, node operations, splaying, balanced
// rebuilds and enumeration. Walks over whole subtrees use explicit stacks so
// that a tree's height never limits what it can hold.
#include "defs/bintree.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "runtime/strings.h"

namespace skyloom {

namespace {

// Key order: the first differing code unit decides, then the shorter key.
int Compare(const std::u16string& a, const std::u16string& b) {
  return a.compare(b);  // char16_t traits compare unsigned units, then lengths
}

// Calls visit(node) for every node of the subtree, in the order selected by
// Order, without recursion.
enum class Order { kIn, kReverse, kPre, kPost };

template <Order order, typename Visit>
void Walk(BinNode* top, Visit&& visit) {
  if (!top) return;
  if constexpr (order == Order::kPre) {
    std::vector<BinNode*> stack{top};
    while (!stack.empty()) {
      BinNode* n = stack.back();
      stack.pop_back();
      visit(n);
      if (n->r) stack.push_back(n->r.get());
      if (n->l) stack.push_back(n->l.get());
    }
  } else if constexpr (order == Order::kIn || order == Order::kReverse) {
    constexpr bool forward = order == Order::kIn;
    std::vector<BinNode*> stack;
    BinNode* n = top;
    while (n || !stack.empty()) {
      while (n) {
        stack.push_back(n);
        n = forward ? n->l.get() : n->r.get();
      }
      n = stack.back();
      stack.pop_back();
      visit(n);
      n = forward ? n->r.get() : n->l.get();
    }
  } else {
    // Post order: node-right-left reversed gives left-right-node.
    std::vector<BinNode*> stack{top};
    std::vector<BinNode*> out;
    while (!stack.empty()) {
      BinNode* n = stack.back();
      stack.pop_back();
      out.push_back(n);
      if (n->l) stack.push_back(n->l.get());
      if (n->r) stack.push_back(n->r.get());
    }
    for (auto it = out.rbegin(); it != out.rend(); ++it) visit(*it);
  }
}

// The element at a caller's running index; an index outside the array throws
// std::out_of_range instead of writing past its end.
template <typename T>
T& SlotAt(std::vector<T>& array, int index) {
  return array.at(static_cast<size_t>(index));
}

template <Order order>
int CollectNodes(BinNode* top, int& index, std::vector<BinNodeRef>& nodes) {
  Walk<order>(top, [&](BinNode* n) { SlotAt(nodes, index++) = n->shared_from_this(); });
  return 0;
}

template <Order order>
int CollectChains(BinNode* top, int& index, std::vector<BinNodeDataRef>& chains) {
  Walk<order>(top, [&](BinNode* n) { SlotAt(chains, index++) = n->data; });
  return 0;
}

// Hangs child below parent on the given side (child may be null).
void Attach(BinNode* parent, BinNodeRef& link, BinNodeRef child) {
  link = std::move(child);
  if (link) link->parent = parent;
}

}  // namespace

// ---- BinNodeData ----------------------------------------------------------

BinNodeDataRef BinNodeData::Create(ObjectRef value) {
  auto entry = std::make_shared<BinNodeData>();
  entry->data = std::move(value);
  return entry;
}

BinNodeData::~BinNodeData() {
  BinNodeDataRef next = std::move(nxt);
  while (next && next.use_count() == 1) next = std::move(next->nxt);
}

BinNodeDataRef BinNodeData::copy() const {
  BinNodeDataRef head = Create(data);
  BinNodeData* tail = head.get();
  for (const BinNodeData* e = nxt.get(); e; e = e->nxt.get()) {
    tail->nxt = Create(e->data);
    tail = tail->nxt.get();
  }
  return head;
}

std::u16string BinNodeData::csv() const {
  std::u16string out;
  for (const BinNodeData* e = this; e; e = e->nxt.get()) {
    if (e != this) out += u", ";
    if (auto* text = dynamic_cast<const StringObject*>(e->data.get())) out += text->value;
  }
  return out;
}

// ---- BinNode: values and links --------------------------------------------

BinNodeRef BinNode::Create(std::u16string key, ObjectRef value) {
  auto node = std::make_shared<BinNode>();
  node->key = std::move(key);
  node->data = BinNodeData::Create(std::move(value));
  return node;
}

BinNode::~BinNode() {
  std::vector<BinNodeRef> pending;
  auto release = [&pending](BinNodeRef& child) {
    if (!child) return;
    child->parent = nullptr;
    pending.push_back(std::move(child));
  };
  release(l);
  release(r);
  while (!pending.empty()) {
    BinNodeRef n = std::move(pending.back());
    pending.pop_back();
    // A subtree still held elsewhere keeps its shape; only ours is taken apart.
    if (n.use_count() == 1) {
      release(n->l);
      release(n->r);
    }
  }
}

std::u16string BinNode::csv() const {
  return data ? data->csv() : std::u16string();
}

BinNodeRef BinNode::leftmostchild() {
  BinNode* n = this;
  while (n->l) n = n->l.get();
  return n->shared_from_this();
}

BinNodeRef BinNode::rightmostchild() {
  BinNode* n = this;
  while (n->r) n = n->r.get();
  return n->shared_from_this();
}

int BinNode::orphan() {
  if (parent) {
    if (parent->l.get() == this) {
      parent->l.reset();
    } else if (parent->r.get() == this) {
      parent->r.reset();
    }
  }
  parent = nullptr;
  return 0;
}

int BinNode::movetoright(const BinNodeRef& dest) {
  BinNodeRef self = shared_from_this();
  orphan();
  BinNodeRef end = dest->rightmostchild();
  Attach(end.get(), end->r, std::move(self));
  return 0;
}

int BinNode::movetoleft(const BinNodeRef& dest) {
  BinNodeRef self = shared_from_this();
  orphan();
  BinNodeRef end = dest->leftmostchild();
  Attach(end.get(), end->l, std::move(self));
  return 0;
}

BinNodeRef BinNode::remove() {
  BinNodeRef self = shared_from_this();  // keep alive while unhooking
  BinNodeRef replacement = l ? std::move(l) : std::move(r);
  BinNodeRef right = replacement == nullptr ? nullptr : std::move(r);
  BinNode* up = parent;
  if (up) {
    BinNodeRef& link = up->l.get() == this ? up->l : up->r;
    Attach(up, link, replacement);
  } else if (replacement) {
    replacement->parent = nullptr;
  }
  if (right) {
    right->parent = nullptr;
    BinNodeRef end = replacement->rightmostchild();
    Attach(end.get(), end->r, std::move(right));
  }
  parent = nullptr;
  return replacement;
}

BinNodeRef BinNode::removevalue(const ObjectRef& value, int removeifempty) {
  BinNodeDataRef* link = &data;
  while (*link) {
    if ((*link)->data == value) {
      *link = std::move((*link)->nxt);
    } else {
      link = &(*link)->nxt;
    }
  }
  if (!data && removeifempty) return remove();
  return shared_from_this();
}

BinNodeRef BinNode::removeonevalue(int removeifempty) {
  if (data) data = std::move(data->nxt);
  if (!data && removeifempty) return remove();
  return shared_from_this();
}

BinNodeRef BinNode::removeallvalues(int removeifempty) {
  data.reset();
  if (removeifempty) return remove();
  return shared_from_this();
}

ObjectRef BinNode::value() const {
  return data ? data->data : nullptr;
}

std::vector<ObjectRef> BinNode::values() const {
  std::vector<ObjectRef> out;
  for (const BinNodeData* e = data.get(); e; e = e->nxt.get()) out.push_back(e->data);
  return out;
}

int BinNode::containsvalue(const ObjectRef& value) const {
  for (const BinNodeData* e = data.get(); e; e = e->nxt.get()) {
    if (e->data == value) return 1;
  }
  return 0;
}

int BinNode::valuecount() const {
  int n = 0;
  for (const BinNodeData* e = data.get(); e; e = e->nxt.get()) ++n;
  return n;
}

// ---- BinNode: search and insertion ----------------------------------------

BinNodeRef BinNode::insert(const BinNodeRef& newnode) {
  BinNode* n = this;
  for (;;) {
    const int c = Compare(newnode->key, n->key);
    if (c == 0) {
      n->addvalue(newnode->data);
      newnode->data.reset();
      return n->shared_from_this();
    }
    BinNodeRef& next = c > 0 ? n->r : n->l;
    if (!next) {
      Attach(n, next, newnode);
      return newnode;
    }
    n = next.get();
  }
}

int BinNode::addvalue(const BinNodeDataRef& chain) {
  if (!chain) return 0;
  BinNodeData* last = chain.get();
  while (last->nxt) last = last->nxt.get();
  last->nxt = std::move(data);
  data = chain;
  return 0;
}

BinNodeRef BinNode::findclosest(const std::u16string& key) {
  BinNode* n = this;
  for (;;) {
    const int c = Compare(key, n->key);
    if (c == 0) break;
    if (c > 0 && n->r) {
      n = n->r.get();
    } else if (n->l) {
      n = n->l.get();
    } else {
      break;
    }
  }
  return n->shared_from_this();
}

// ---- BinNode: whole-subtree operations ------------------------------------

int BinNode::count() const {
  int n = 0;
  Walk<Order::kPre>(const_cast<BinNode*>(this), [&](BinNode*) { ++n; });
  return n;
}

int BinNode::countvalues() const {
  int n = 0;
  Walk<Order::kPre>(const_cast<BinNode*>(this), [&](BinNode* node) { n += node->valuecount(); });
  return n;
}

int BinNode::height() const {
  // Breadth first, one level at a time.
  std::vector<const BinNode*> level{this};
  std::vector<const BinNode*> next;
  int h = 0;
  while (!level.empty()) {
    ++h;
    next.clear();
    for (const BinNode* n : level) {
      if (n->l) next.push_back(n->l.get());
      if (n->r) next.push_back(n->r.get());
    }
    level.swap(next);
  }
  return h;
}

int BinNode::clearlinks() {
  BinNodeRef self = shared_from_this();
  std::vector<BinNodeRef> stack{self};
  while (!stack.empty()) {
    BinNodeRef n = std::move(stack.back());
    stack.pop_back();
    if (n->l) stack.push_back(std::move(n->l));
    if (n->r) stack.push_back(std::move(n->r));
    n->l.reset();
    n->r.reset();
    n->parent = nullptr;
  }
  return 0;
}

BinNodeRef BinNode::optimize() {
  BinNodeRef self = shared_from_this();
  std::vector<BinNodeRef> nodes = nodesinorder();
  BinNode* up = parent;
  BinNodeRef* side = nullptr;
  if (up) {
    if (up->l.get() == this) {
      side = &up->l;
    } else if (up->r.get() == this) {
      side = &up->r;
    } else {
      return self;
    }
  }
  clearlinks();
  BinNodeRef top = optimize_(0, static_cast<int>(nodes.size()) - 1, nodes);
  if (top && side) Attach(up, *side, top);
  return top;
}

BinNodeRef BinNode::optimize_(int first, int last, const std::vector<BinNodeRef>& nodes) {
  if (last < first) return nullptr;
  if (first < 0 || static_cast<size_t>(last) >= nodes.size()) {
    throw std::out_of_range("Node slice outside the array");
  }
  const int m = first + static_cast<int>(std::ceil((last - first) / 2.0));
  BinNode* middle = nodes[m].get();
  if (m - 1 >= first) Attach(middle, middle->l, optimize_(first, m - 1, nodes));
  if (m + 1 <= last) Attach(middle, middle->r, optimize_(m + 1, last, nodes));
  return nodes[m];
}

int BinNode::nodesinorder_(int& index, std::vector<BinNodeRef>& nodes) {
  return CollectNodes<Order::kIn>(this, index, nodes);
}
int BinNode::nodesreverseorder_(int& index, std::vector<BinNodeRef>& nodes) {
  return CollectNodes<Order::kReverse>(this, index, nodes);
}
int BinNode::nodespreorder_(int& index, std::vector<BinNodeRef>& nodes) {
  return CollectNodes<Order::kPre>(this, index, nodes);
}
int BinNode::nodespostorder_(int& index, std::vector<BinNodeRef>& nodes) {
  return CollectNodes<Order::kPost>(this, index, nodes);
}
int BinNode::inorder_(int& index, std::vector<BinNodeDataRef>& chains) {
  return CollectChains<Order::kIn>(this, index, chains);
}
int BinNode::reverseorder_(int& index, std::vector<BinNodeDataRef>& chains) {
  return CollectChains<Order::kReverse>(this, index, chains);
}
int BinNode::preorder_(int& index, std::vector<BinNodeDataRef>& chains) {
  return CollectChains<Order::kPre>(this, index, chains);
}
int BinNode::postorder_(int& index, std::vector<BinNodeDataRef>& chains) {
  return CollectChains<Order::kPost>(this, index, chains);
}

#define SKYLOOM_BINNODE_ARRAY(method, worker, type) \
  std::vector<type> BinNode::method() {             \
    std::vector<type> out(count());                 \
    int index = 0;                                  \
    worker(index, out);                             \
    return out;                                     \
  }
SKYLOOM_BINNODE_ARRAY(nodesinorder, nodesinorder_, BinNodeRef)
SKYLOOM_BINNODE_ARRAY(nodesreverseorder, nodesreverseorder_, BinNodeRef)
SKYLOOM_BINNODE_ARRAY(nodespreorder, nodespreorder_, BinNodeRef)
SKYLOOM_BINNODE_ARRAY(nodespostorder, nodespostorder_, BinNodeRef)
SKYLOOM_BINNODE_ARRAY(inorder, inorder_, BinNodeDataRef)
SKYLOOM_BINNODE_ARRAY(reverseorder, reverseorder_, BinNodeDataRef)
SKYLOOM_BINNODE_ARRAY(preorder, preorder_, BinNodeDataRef)
SKYLOOM_BINNODE_ARRAY(postorder, postorder_, BinNodeDataRef)
#undef SKYLOOM_BINNODE_ARRAY

BinNodeRef BinNode::successor() {
  if (r) return r->leftmostchild();
  BinNode* n = this;
  while (n->parent && n->parent->r.get() == n) n = n->parent;
  return n->parent ? n->parent->shared_from_this() : nullptr;
}

BinNodeRef BinNode::predecessor() {
  if (l) return l->rightmostchild();
  BinNode* n = this;
  while (n->parent && n->parent->l.get() == n) n = n->parent;
  return n->parent ? n->parent->shared_from_this() : nullptr;
}

BinNodeRef BinNode::copy() const {
  auto clone = [](const BinNode* n) {
    auto c = std::make_shared<BinNode>();
    c->key = n->key;
    if (n->data) c->data = n->data->copy();
    return c;
  };
  BinNodeRef top = clone(this);
  std::vector<std::pair<const BinNode*, BinNode*>> stack{{this, top.get()}};
  while (!stack.empty()) {
    auto [from, to] = stack.back();
    stack.pop_back();
    if (from->l) {
      Attach(to, to->l, clone(from->l.get()));
      stack.push_back({from->l.get(), to->l.get()});
    }
    if (from->r) {
      Attach(to, to->r, clone(from->r.get()));
      stack.push_back({from->r.get(), to->r.get()});
    }
  }
  return top;
}

// ---- BinTree ---------------------------------------------------------------

BinTree::~BinTree() {
  if (root) root->clearlinks();
}

BinTreeRef BinTree::Create(int splay) {
  return std::make_shared<BinTree>(splay);
}

BinTreeRef BinTree::copy() const {
  auto tree = Create(1);
  if (root) tree->root = root->copy();
  return tree;
}

void BinTree::splayper(BinNode* node, int s) {
  if (node && (s == 1 || (s == -1 && autosplay == 1))) splayraw(node);
}

BinNodeRef BinTree::insert(const std::u16string& key, ObjectRef value, int s) {
  if (!value) value = StringObject::Create(key);
  BinNodeRef node = BinNode::Create(key, std::move(value));
  if (!root) {
    root = node;
  } else {
    node = root->insert(node);
  }
  splayper(node.get(), s);
  return node;
}

BinNodeRef BinTree::findclosestnode(const std::u16string& key, int s) {
  if (!root) return nullptr;
  BinNodeRef node = root->findclosest(key);
  splayper(node.get(), s);
  return node;
}

BinNodeRef BinTree::exact(const std::u16string& key) {
  if (!root) return nullptr;
  BinNodeRef node = root->findclosest(key);
  return node->key == key ? node : nullptr;
}

BinNodeRef BinTree::findnode(const std::u16string& key, int s) {
  BinNodeRef node = exact(key);
  splayper(node.get(), s);
  return node;
}

ObjectRef BinTree::findclosest(const std::u16string& key, int s) {
  BinNodeRef node = findclosestnode(key, s);
  return node ? node->value() : nullptr;
}

int BinTree::contains(const std::u16string& key, int s) {
  BinNodeRef node = findclosestnode(key, s);
  return node && node->key == key ? 1 : 0;
}

ObjectRef BinTree::find(const std::u16string& key, int s) {
  BinNodeRef node = findnode(key, s);
  return node ? node->value() : nullptr;
}

std::vector<ObjectRef> BinTree::findall(const std::u16string& key, int s) {
  BinNodeRef node = findnode(key, s);
  return node ? node->values() : std::vector<ObjectRef>();
}

int BinTree::findcount(const std::u16string& key, int s) {
  BinNodeRef node = findnode(key, s);
  return node ? node->valuecount() : 0;
}

BinNodeRef BinTree::unlink(const BinNodeRef& node) {
  const bool wasroot = node == root;
  BinNodeRef replacement = node->remove();
  if (wasroot) root = replacement;
  return replacement;
}

BinNodeRef BinTree::remove(const std::u16string& key) {
  BinNodeRef node = exact(key);
  if (!node) return nullptr;
  if (node->data) node->data = std::move(node->data->nxt);
  if (!node->data) unlink(node);
  return node;
}

BinNodeRef BinTree::removeall(const std::u16string& key) {
  BinNodeRef node = exact(key);
  if (node) unlink(node);
  return node;
}

BinNodeRef BinTree::removenode(const BinNodeRef& node) {
  return node ? unlink(node) : nullptr;
}

int BinTree::removevalue(const ObjectRef& value, const std::u16string& key) {
  auto strip = [&](const BinNodeRef& node) {
    node->removevalue(value, 0);
    if (!node->data) unlink(node);
  };
  if (!key.empty()) {
    if (BinNodeRef node = exact(key)) strip(node);
    return 0;
  }
  if (root) {
    for (const BinNodeRef& node : root->nodesinorder()) strip(node);
  }
  return 0;
}

int BinTree::clear() {
  if (root) root->clearlinks();
  root.reset();
  return 0;
}

int BinTree::optimize() {
  if (root) root = root->optimize();
  return 0;
}

std::vector<BinNodeDataRef> BinTree::toarray(int mode) {
  if (!root) return {};
  switch (mode) {
    case 0:
      return root->inorder();
    case 1:
      return root->reverseorder();
    case 2:
      return root->preorder();
    case 3:
      return root->postorder();
    default:
      return {};
  }
}

BinEnumRef BinTree::ObjectEnumerator() {
  return BinEnum::Create(root ? root->leftmostchild() : nullptr, 0);
}
BinEnumRef BinTree::KeyEnumerator() {
  return BinEnum::Create(root ? root->leftmostchild() : nullptr, 1);
}
BinEnumRef BinTree::NodeEnumerator() {
  return BinEnum::Create(root ? root->leftmostchild() : nullptr, 2);
}

BinNodeRef* BinTree::slotof(BinNode* n) {
  if (BinNode* p = n->parent) return p->r.get() == n ? &p->r : &p->l;
  return root.get() == n ? &root : nullptr;
}

void BinTree::rotright(BinNode* n) {
  BinNodeRef* slot = slotof(n);
  if (!slot || !n->l) return;
  BinNode* up = n->parent;
  BinNodeRef self = std::move(*slot);
  BinNodeRef q = std::move(n->l);
  Attach(n, n->l, std::move(q->r));
  Attach(q.get(), q->r, std::move(self));
  q->parent = up;
  *slot = std::move(q);
}

void BinTree::rotleft(BinNode* n) {
  BinNodeRef* slot = slotof(n);
  if (!slot || !n->r) return;
  BinNode* up = n->parent;
  BinNodeRef self = std::move(*slot);
  BinNodeRef q = std::move(n->r);
  Attach(n, n->r, std::move(q->l));
  Attach(q.get(), q->l, std::move(self));
  q->parent = up;
  *slot = std::move(q);
}

int BinTree::rotright(const BinNodeRef& node) {
  if (node) rotright(node.get());
  return 0;
}

int BinTree::rotleft(const BinNodeRef& node) {
  if (node) rotleft(node.get());
  return 0;
}

int BinTree::splay(const BinNodeRef& node) {
  splayraw(node.get());
  return 0;
}

void BinTree::splayraw(BinNode* x) {
  while (x && x != root.get() && x->parent) {
    BinNode* p = x->parent;
    const bool xleft = p->l.get() == x;
    if (p == root.get()) {
      xleft ? rotright(p) : rotleft(p);
      break;
    }
    BinNode* g = p->parent;
    if (!g) break;  // x is not in this tree
    const bool pleft = g->l.get() == p;
    if (xleft && pleft) {
      rotright(g);
      rotright(p);
    } else if (!xleft && !pleft) {
      rotleft(g);
      rotleft(p);
    } else if (!xleft && pleft) {
      rotleft(p);
      rotright(g);
    } else {
      rotright(p);
      rotleft(g);
    }
  }
}

// ---- BinEnum ---------------------------------------------------------------

BinEnumRef BinEnum::Create(BinNodeRef node, int kind) {
  auto e = std::make_shared<BinEnum>();
  e->data = node ? node->data : nullptr;
  e->node = std::move(node);
  e->kind = kind;
  return e;
}

bool BinEnum::HasNext() {
  if (kind != 0) return node != nullptr;
  while (!data && node) {
    node = node->successor();
    data = node ? node->data : nullptr;
  }
  return data != nullptr;
}

ObjectRef BinEnum::NextObject() {
  if (kind == 0) {
    if (!HasNext()) return nullptr;
    ObjectRef value = data->data;
    data = data->nxt;
    return value;
  }
  if (!node) return nullptr;
  BinNodeRef current = std::move(node);
  node = current->successor();
  if (kind == 1) return StringObject::Create(current->key);
  return current;
}

// ---- Free-function forms ---------------------------------------------------

BinTreeRef BinTreeCreate(int splay) {
  return BinTree::Create(splay);
}
int BinTreeSetSplay(const BinTreeRef& tree, int splay) {
  return tree->setsplay(splay ? 1 : 0);
}
int BinTreeGetSplay(const BinTreeRef& tree) {
  return tree->issplay();
}
BinNodeRef BinTreeRoot(const BinTreeRef& tree) {
  return tree->root;
}
int BinTreeSplay(const BinTreeRef& tree, const BinNodeRef& node) {
  tree->splay(node);
  return 0;
}
int BinTreeClear(const BinTreeRef& tree) {
  tree->clear();
  return 0;
}
int BinTreeCountValues(const BinTreeRef& tree) {
  return tree->countvalues();
}
int BinTreeCount(const BinTreeRef& tree) {
  return tree->count();
}
int BinTreeHeight(const BinTreeRef& tree) {
  return tree->height();
}
int BinTreeIsEmpty(const BinTreeRef& tree) {
  return tree->isempty();
}
int BinTreeContains(const BinTreeRef& tree, const std::u16string& key) {
  return tree->contains(key, 0);
}
BinNodeRef BinTreeInsert(const BinTreeRef& tree, const std::u16string& key, ObjectRef value) {
  return tree->insert(key, std::move(value), -1);
}
int BinTreeRemoveAll(const BinTreeRef& tree, const std::u16string& key) {
  BinNodeRef node = tree->removeall(key);
  return node ? node->valuecount() : 0;
}
BinNodeRef BinTreeRemove(const BinTreeRef& tree, const std::u16string& key) {
  return tree->remove(key);
}
int BinTreeRemoveNode(const BinTreeRef& tree, const BinNodeRef& node) {
  tree->removenode(node);
  return 0;
}
int BinTreeRemoveValue(const BinTreeRef& tree, const ObjectRef& value, const std::u16string& key) {
  tree->removevalue(value, key);
  return 0;
}
ObjectRef BinTreeFind(const BinTreeRef& tree, const std::u16string& key) {
  return tree->find(key, -1);
}
BinNodeRef BinTreeFindNode(const BinTreeRef& tree, const std::u16string& key) {
  return tree->findnode(key, -1);
}
std::vector<ObjectRef> BinTreeFindAll(const BinTreeRef& tree, const std::u16string& key) {
  return tree->findall(key, -1);
}
int BinTreeFindCount(const BinTreeRef& tree, const std::u16string& key) {
  return tree->findcount(key, -1);
}
std::vector<BinNodeDataRef> BinTreeToArray(const BinTreeRef& tree, int mode) {
  return tree->toarray(mode);
}
int BinTreeOptimize(const BinTreeRef& tree) {
  tree->optimize();
  return 0;
}
BinEnumRef BinTreeObjectEnumerator(const BinTreeRef& tree) {
  return tree->ObjectEnumerator();
}
BinEnumRef BinTreeKeyEnumerator(const BinTreeRef& tree) {
  return tree->KeyEnumerator();
}
BinEnumRef BinTreeNodeEnumerator(const BinTreeRef& tree) {
  return tree->NodeEnumerator();
}
BinTreeRef BinTreeCopy(const BinTreeRef& tree) {
  return tree->copy();
}
std::u16string BinNodeCsv(const BinNodeRef& node) {
  return node->csv();
}
std::vector<ObjectRef> BinNodeValues(const BinNodeRef& node) {
  return node->values();
}
std::u16string BinNodeKey(const BinNodeRef& node) {
  return node->key;
}
ObjectRef BinNodeValue(const BinNodeRef& node) {
  return node->value();
}

}  // namespace skyloom
