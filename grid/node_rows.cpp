#include "grid/node_rows.h"

#include "nodes/node.h"

// One row: its node and its place in a treap ordered by position (a binary tree whose item
// count below each item gives positions, kept balanced by random priorities, the highest on top).
struct TNodeRows::TItem {
    TNode* Node = nullptr;
    TItem* Left = nullptr;
    TItem* Right = nullptr;
    TItem* Up = nullptr;
    uint32_t Priority = 0;
    int32_t Size = 1;
};

// A map from node to entry with open addressing: pointer keys in a power-of-two table, linear
// probing, deletion by shifting the entries of the probe sequence back (no tombstones). It
// stands in for std::unordered_map, which allocates a node per entry: with it, expanding and
// collapsing all 100,000 entries of the benchmark library under Wine took 38-43 and 23-24 ms
// instead of 29 and 15 ms, too near the 50 ms a user should wait at most.
class TNodeRows::TIndex {
public:
    TItem* Find(const TNode* node) const {
        if (slots_.empty()) return nullptr;
        for (size_t i = Home(node);; i = (i + 1) & mask_) {
            if (slots_[i].Key == node) return slots_[i].Value;
            if (!slots_[i].Key) return nullptr;
        }
    }
    // False when Node has an entry already.
    bool Insert(const TNode* node, TItem* item) {
        if ((size_ + 1) * 2 > slots_.size()) Grow((size_ + 1) * 2);
        size_t i = Home(node);
        for (; slots_[i].Key; i = (i + 1) & mask_)
            if (slots_[i].Key == node) return false;
        slots_[i] = TSlot{node, item};
        ++size_;
        return true;
    }
    void Erase(const TNode* node) {
        if (slots_.empty()) return;
        size_t i = Home(node);
        for (; slots_[i].Key != node; i = (i + 1) & mask_)
            if (!slots_[i].Key) return;
        // Later entries of the sequence whose home is not between the gap and them move into it.
        for (size_t j = (i + 1) & mask_; slots_[j].Key; j = (j + 1) & mask_) {
            const size_t home = Home(slots_[j].Key);
            const bool stays = i <= j ? (home > i && home <= j) : (home > i || home <= j);
            if (stays) continue;
            slots_[i] = slots_[j];
            i = j;
        }
        slots_[i] = TSlot{};
        --size_;
    }
    void Clear() {
        slots_.clear();
        size_ = 0;
        mask_ = 0;
    }
    void Reserve(size_t count) {
        if (count * 2 > slots_.size()) Grow(count * 2);
    }

private:
    struct TSlot {
        const TNode* Key = nullptr;
        TItem* Value = nullptr;
    };
    size_t Home(const TNode* node) const {
        uint64_t h = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(node));
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        return static_cast<size_t>(h) & mask_;
    }
    void Grow(size_t atLeast) {
        size_t capacity = 16;
        while (capacity < atLeast) capacity *= 2;
        std::vector<TSlot> old = std::move(slots_);
        slots_.assign(capacity, TSlot{});
        mask_ = capacity - 1;
        size_ = 0;
        for (const TSlot& slot : old)
            if (slot.Key) Insert(slot.Key, slot.Value);
    }

    std::vector<TSlot> slots_;
    size_t size_ = 0;
    size_t mask_ = 0;
};

namespace {

constexpr int32_t ItemBlockSize = 4096;

}  // namespace

TNodeRows::TNodeRows() : items_(std::make_unique<TIndex>()) {}

TNodeRows::~TNodeRows() { Clear(); }

bool TNodeRows::Contains(const TNode* node) const { return items_->Find(node) != nullptr; }

// --- the treap ---

int32_t TNodeRows::SizeOf(const TItem* item) { return item ? item->Size : 0; }

void TNodeRows::Update(TItem* item) {
    item->Size = 1 + SizeOf(item->Left) + SizeOf(item->Right);
    if (item->Left) item->Left->Up = item;
    if (item->Right) item->Right->Up = item;
}

TNodeRows::TItem* TNodeRows::NewItem(TNode* node) {
    TItem* item = free_;
    if (item) {
        free_ = item->Right;
    } else {
        if (blocks_.empty() || blockUsed_ == ItemBlockSize) {
            blocks_.push_back(std::make_unique<TItem[]>(ItemBlockSize));
            blockUsed_ = 0;
        }
        item = &blocks_.back()[static_cast<size_t>(blockUsed_++)];
    }
    *item = TItem{};
    item->Node = node;
    // xorshift32: priorities only need to be spread, not unpredictable.
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    item->Priority = seed_;
    if (!items_->Insert(node, item)) duplicate_ = true;
    return item;
}

void TNodeRows::ReleaseItem(TItem* item) {
    item->Node = nullptr;
    item->Left = item->Up = nullptr;
    item->Right = free_;
    free_ = item;
}

void TNodeRows::FreeTree(TItem* tree) {
    std::vector<TItem*> pending;
    if (tree) pending.push_back(tree);
    while (!pending.empty()) {
        TItem* item = pending.back();
        pending.pop_back();
        if (item->Left) pending.push_back(item->Left);
        if (item->Right) pending.push_back(item->Right);
        if (items_->Find(item->Node) == item) items_->Erase(item->Node);
        ReleaseItem(item);
    }
}

// The items of Nodes in this order as one treap.
TNodeRows::TItem* TNodeRows::Build(const std::vector<TNode*>& nodes) {
    std::vector<TItem*> items;
    items.reserve(nodes.size());
    for (TNode* node : nodes) items.push_back(NewItem(node));
    return Link(items);
}

// Each item goes to the right end and takes the items of lower priority on that end as its
// left subtree (a Cartesian tree built in one pass).
TNodeRows::TItem* TNodeRows::Link(const std::vector<TItem*>& items) {
    std::vector<TItem*> spine;
    for (TItem* item : items) {
        item->Left = item->Right = item->Up = nullptr;
        item->Size = 1;
        TItem* last = nullptr;
        while (!spine.empty() && spine.back()->Priority < item->Priority) {
            last = spine.back();
            spine.pop_back();
        }
        item->Left = last;
        if (!spine.empty()) spine.back()->Right = item;
        spine.push_back(item);
    }
    if (spine.empty()) return nullptr;
    TItem* top = spine.front();
    // Sizes bottom-up: in reverse pre-order every item comes after its children.
    std::vector<TItem*> order;
    order.reserve(items.size());
    std::vector<TItem*> pending{top};
    while (!pending.empty()) {
        TItem* item = pending.back();
        pending.pop_back();
        order.push_back(item);
        if (item->Left) pending.push_back(item->Left);
        if (item->Right) pending.push_back(item->Right);
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) Update(*it);
    top->Up = nullptr;
    return top;
}

// The items of Tree in order, without recursion.
void TNodeRows::AppendItems(TItem* tree, std::vector<TItem*>& out) {
    std::vector<TItem*> pending;
    for (TItem* item = tree; item || !pending.empty();) {
        while (item) {
            pending.push_back(item);
            item = item->Left;
        }
        item = pending.back();
        pending.pop_back();
        out.push_back(item);
        item = item->Right;
    }
}

void TNodeRows::Split(TItem* tree, int32_t count, TItem*& first, TItem*& rest) {
    if (!tree) {
        first = rest = nullptr;
        return;
    }
    if (SizeOf(tree->Left) >= count) {
        Split(tree->Left, count, first, tree->Left);
        rest = tree;
    } else {
        Split(tree->Right, count - SizeOf(tree->Left) - 1, tree->Right, rest);
        first = tree;
    }
    Update(tree);
    if (first) first->Up = nullptr;
    if (rest) rest->Up = nullptr;
}

TNodeRows::TItem* TNodeRows::Merge(TItem* first, TItem* rest) {
    if (!first) return rest;
    if (!rest) return first;
    if (first->Priority > rest->Priority) {
        first->Right = Merge(first->Right, rest);
        Update(first);
        first->Up = nullptr;
        return first;
    }
    rest->Left = Merge(first, rest->Left);
    Update(rest);
    rest->Up = nullptr;
    return rest;
}

TNodeRows::TItem* TNodeRows::Select(int32_t index) const {
    TItem* item = tree_;
    while (item) {
        const int32_t left = SizeOf(item->Left);
        if (index < left) {
            item = item->Left;
        } else if (index == left) {
            return item;
        } else {
            index -= left + 1;
            item = item->Right;
        }
    }
    return nullptr;
}

int32_t TNodeRows::Rank(const TItem* item) {
    int32_t rank = SizeOf(item->Left);
    for (const TItem* x = item; x->Up; x = x->Up)
        if (x == x->Up->Right) rank += SizeOf(x->Up->Left) + 1;
    return rank;
}

TNodeRows::TItem* TNodeRows::Successor(TItem* item) {
    if (item->Right) {
        item = item->Right;
        while (item->Left) item = item->Left;
        return item;
    }
    while (item->Up && item == item->Up->Right) item = item->Up;
    return item->Up;
}

// --- rows ---

void TNodeRows::Reset(TNode* root, bool showRoot) {
    Clear();
    if (!root) return;
    root_ = root;
    showRoot_ = showRoot;
    const std::vector<TNode*> nodes = Recount(root, showRoot);
    items_->Reserve(nodes.size());
    tree_ = Build(nodes);
    duplicate_ = false;
}

void TNodeRows::Clear() {
    tree_ = nullptr;
    free_ = nullptr;
    blocks_.clear();
    blockUsed_ = 0;
    items_->Clear();
    root_ = nullptr;
    duplicate_ = false;
}

void TNodeRows::Rebuild() { Reset(root_, showRoot_); }

int32_t TNodeRows::Count() const { return SizeOf(tree_); }

TNode* TNodeRows::NodeAt(int32_t index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Select(index)->Node;
}

int32_t TNodeRows::IndexOf(const TNode* node) const {
    const TItem* item = items_->Find(node);
    return item ? Rank(item) : -1;
}

std::vector<TNode*> TNodeRows::Nodes(int32_t index, int32_t count) const {
    std::vector<TNode*> nodes;
    if (index < 0 || count <= 0) return nodes;
    for (TItem* item = Select(index); item && count > 0; item = Successor(item), --count) nodes.push_back(item->Node);
    return nodes;
}

bool TNodeRows::ChildrenShown(const TNode* node) const {
    if (!node || !node->State().Has(nsExpanded)) return false;
    return node == root_ || Contains(node);
}

void TNodeRows::AppendVisible(TNode* node, std::vector<TNode*>& out) {
    // Without recursion: a walk of the expanded part below Node in display order.
    std::vector<TNode*> pending{node};
    while (!pending.empty()) {
        TNode* next = pending.back();
        pending.pop_back();
        out.push_back(next);
        if (!next->State().Has(nsExpanded)) continue;
        for (int i = next->ChildCount() - 1; i >= 0; --i) pending.push_back(next->Child(i));
    }
}

std::vector<TNode*> TNodeRows::Recount(TNode* root, bool showRoot) {
    std::vector<TNode*> nodes;
    if (!root) return nodes;
    if (showRoot) nodes.push_back(root);
    if (!root->State().Has(nsExpanded)) return nodes;
    for (int i = 0; i < root->ChildCount(); ++i) AppendVisible(root->Child(i), nodes);
    return nodes;
}

int32_t TNodeRows::ChildPosition(const TNode* node) const {
    const TNode* parent = node->Parent();
    const int index = node->IndexInParent();
    if (index > 0) {
        // The rows of the sibling before it end right before the node's.
        const TNode* previous = parent->Child(index - 1);
        const int32_t at = IndexOf(previous);
        return at < 0 ? -1 : at + 1 + previous->VisibleCount();
    }
    if (parent == root_ && !showRoot_) return 0;
    const int32_t at = IndexOf(parent);
    return at < 0 ? -1 : at + 1;
}

bool TNodeRows::IsBlockOf(const TNode* node, int32_t at, int32_t count) const {
    if (count < 1 || at < 0 || at + count > Count()) return false;
    if (NodeAt(at) != node) return false;
    if (count > 1 && !node->IsInSubtree(NodeAt(at + count - 1))) return false;
    return at + count == Count() || !node->IsInSubtree(NodeAt(at + count));
}

bool TNodeRows::InsertNodes(int32_t at, const std::vector<TNode*>& nodes) {
    if (nodes.empty()) return true;
    TItem* first = nullptr;
    TItem* rest = nullptr;
    Split(tree_, at, first, rest);
    tree_ = Merge(Merge(first, Build(nodes)), rest);
    if (!duplicate_) return true;
    // A node that already had a row: the rows were not what the tree was before.
    Rebuild();
    return false;
}

void TNodeRows::DeleteRows(int32_t at, int32_t count) {
    TItem* first = nullptr;
    TItem* rest = nullptr;
    TItem* gone = nullptr;
    TItem* after = nullptr;
    Split(tree_, at, first, rest);
    Split(rest, count, gone, after);
    FreeTree(gone);
    tree_ = Merge(first, after);
}

// --- tree changes ---

TNodeRows::TChange TNodeRows::NodeInserted(TNode* node) {
    TChange change;
    if (!Valid() || !node || !node->Parent() || !ChildrenShown(node->Parent())) return change;
    const int32_t at = Contains(node) ? -1 : ChildPosition(node);
    if (at < 0 || at > Count()) {
        return Rebuilt<TChange>();
    }
    std::vector<TNode*> nodes;
    AppendVisible(node, nodes);
    change.Rebuilt = !InsertNodes(at, nodes);
    change.Index = at;
    change.Count = static_cast<int32_t>(nodes.size());
    change.Inserted = true;
    return change;
}

TNodeRows::TChange TNodeRows::NodeRemoved(TNode* node) {
    TChange change;
    if (!Valid() || !node) return change;
    if (node == root_) {
        Clear();
        change.Rebuilt = true;
        return change;
    }
    const int32_t at = IndexOf(node);
    if (at < 0) return change;
    const int32_t count = 1 + node->VisibleCount();
    if (!IsBlockOf(node, at, count)) {
        return Rebuilt<TChange>();
    }
    DeleteRows(at, count);
    change.Index = at;
    change.Count = count;
    return change;
}

TNodeRows::TChange TNodeRows::NodeExpanded(TNode* node, int32_t rows) {
    TChange change;
    if (!Valid() || !node) return change;
    int32_t below = 0;
    if (node == root_ && !showRoot_) {
        below = 0;
    } else {
        const int32_t at = IndexOf(node);
        if (at < 0) return change;
        below = at + 1;
    }
    change.Index = below;
    if (node->State().Has(nsExpanded)) {
        change.Inserted = true;
        std::vector<TNode*> nodes;
        for (int i = 0; i < node->ChildCount(); ++i) AppendVisible(node->Child(i), nodes);
        if (nodes.empty()) return change;
        // The children had no rows while the node was collapsed.
        if (below < Count() && node->IsInSubtree(NodeAt(below))) return Rebuilt<TChange>();
        if (!InsertNodes(below, nodes)) {
            // The rows were rebuilt already.
            change = TChange{};
            change.Rebuilt = true;
            return change;
        }
        change.Count = static_cast<int32_t>(nodes.size());
        return change;
    }
    if (rows <= 0) return change;
    if (below + rows > Count() || !node->IsInSubtree(NodeAt(below)) || !node->IsInSubtree(NodeAt(below + rows - 1)) ||
        (below + rows < Count() && node->IsInSubtree(NodeAt(below + rows))))
        return Rebuilt<TChange>();
    DeleteRows(below, rows);
    change.Count = rows;
    return change;
}

TNodeRows::TMove TNodeRows::NodeMoved(TNode* node) {
    TMove move;
    if (!Valid() || !node) return move;
    const int32_t from = IndexOf(node);
    if (from < 0) return move;
    const int32_t count = 1 + node->VisibleCount();
    if (!IsBlockOf(node, from, count)) {
        return Rebuilt<TMove>();
    }
    TItem* first = nullptr;
    TItem* rest = nullptr;
    TItem* block = nullptr;
    TItem* after = nullptr;
    Split(tree_, from, first, rest);
    Split(rest, count, block, after);
    tree_ = Merge(first, after);
    // Where it goes is found among the other rows: the block's own items are out of the tree.
    const int32_t to = ChildPosition(node);
    if (to < 0 || to > Count()) {
        tree_ = Merge(tree_, block);
        return Rebuilt<TMove>();
    }
    Split(tree_, to, first, after);
    tree_ = Merge(Merge(first, block), after);
    move.From = from;
    move.To = to;
    move.Count = count;
    return move;
}

TNodeRows::TReorder TNodeRows::ReorderChildren(TNode* parent) {
    TReorder reorder;
    if (!Valid() || !parent || !ChildrenShown(parent)) return reorder;
    const int32_t first = parent == root_ && !showRoot_ ? 0 : IndexOf(parent) + 1;
    const int32_t count = parent->VisibleCount();
    if (first + count > Count()) {
        return Rebuilt<TReorder>();
    }
    if (count < 2) return reorder;
    TItem* before = nullptr;
    TItem* rest = nullptr;
    TItem* block = nullptr;
    TItem* after = nullptr;
    Split(tree_, first, before, rest);
    Split(rest, count, block, after);
    std::vector<TItem*> items;
    items.reserve(static_cast<size_t>(count));
    AppendItems(block, items);
    // Each child in its present order with the rows below it; a child's place in the block is
    // its rank there (the block is a treap of its own now).
    std::vector<TItem*> placed;
    placed.reserve(items.size());
    reorder.Order.reserve(items.size());
    bool fits = true;
    bool moved = false;
    for (int i = 0; i < parent->ChildCount() && fits; ++i) {
        TNode* child = parent->Child(i);
        TItem* item = items_->Find(child);
        const int32_t at = item ? Rank(item) : -1;
        const int32_t size = 1 + child->VisibleCount();
        fits = at >= 0 && at + size <= count && items[static_cast<size_t>(at)] == item;
        for (int32_t j = 0; fits && j < size; ++j) {
            moved = moved || at + j != static_cast<int32_t>(placed.size());
            placed.push_back(items[static_cast<size_t>(at + j)]);
            reorder.Order.push_back(at + j);
        }
    }
    if (!fits || placed.size() != items.size()) {
        tree_ = Merge(Merge(before, block), after);
        return Rebuilt<TReorder>();
    }
    if (moved) block = Link(placed);
    else reorder.Order.clear();
    tree_ = Merge(Merge(before, block), after);
    reorder.First = first;
    return reorder;
}
