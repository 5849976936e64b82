// TNodeRows: the rows a node grid shows, in display order: the visible nodes below a root (the
// root itself first when it is shown). Each tree change a node reports (inserted, removed,
// expanded or collapsed, moved among its siblings) is applied to the rows incrementally, and the
// change tells the grid which rows to insert, delete or move. Rows are kept in a balanced tree
// ordered by position, with a map from node to entry, so that the node of a row and the row of
// a node both take logarithmic time however large the tree is.
//
// The rows follow the tree only while every change reaches them in order; a grid that misses
// changes (inside an update bracket) clears them and resets them later. Row counts come from
// the nodes' own visible counts: a removed node takes 1 + its VisibleCount rows with it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class TNode;

class TNodeRows {
public:
    TNodeRows();
    ~TNodeRows();
    TNodeRows(const TNodeRows&) = delete;
    TNodeRows& operator=(const TNodeRows&) = delete;

    // The rows of Root's tree as they are now; ShowRoot makes the root itself the first row.
    void Reset(TNode* root, bool showRoot);
    // Forgets every row: the rows are invalid until the next Reset.
    void Clear();
    bool Valid() const { return root_ != nullptr; }
    TNode* Root() const { return root_; }
    bool ShowRoot() const { return showRoot_; }

    int32_t Count() const;
    // Null outside 0..Count-1.
    TNode* NodeAt(int32_t index) const;
    // -1 for a node without a row.
    int32_t IndexOf(const TNode* node) const;
    bool Contains(const TNode* node) const;
    // The nodes of rows Index..Index+Count-1 (as far as there are rows).
    std::vector<TNode*> Nodes(int32_t index, int32_t count) const;
    // Whether the children of Node have rows: Node is expanded and has a row, or is the root.
    bool ChildrenShown(const TNode* node) const;

    // What a tree change did to the rows. Count rows went in (Inserted) or out at Index; a
    // change the rows could not follow rebuilt them from the tree (Rebuilt: every row may
    // have changed).
    struct TChange {
        int32_t Index = 0;
        int32_t Count = 0;
        bool Inserted = false;
        bool Rebuilt = false;
    };
    // The Count rows of a moved node went from From to To (To counted after they were taken
    // out).
    struct TMove {
        int32_t From = 0;
        int32_t To = 0;
        int32_t Count = 0;
        bool Rebuilt = false;
    };

    // Node was placed under its (new) parent: it and its visible descendants get rows when the
    // parent's children are shown.
    TChange NodeInserted(TNode* node);
    // Node left its parent (it still names it, its own counters are as before): its rows go.
    TChange NodeRemoved(TNode* node);
    // Node was expanded (its visible descendants get rows) or collapsed (Rows rows below it go).
    TChange NodeExpanded(TNode* node, int32_t rows);
    // Node moved among its siblings: its rows go to its new place.
    TMove NodeMoved(TNode* node);

    // The rows of Parent's children put into the children's present order, each child with its
    // rows below it: what a burst of moves among those children (a sort) comes to, done once.
    // Order[i] is the place (counted from First) the row now at First + i had before; empty
    // when nothing moved.
    struct TReorder {
        int32_t First = 0;
        std::vector<int32_t> Order;
        bool Rebuilt = false;
    };
    TReorder ReorderChildren(TNode* parent);

    // The visible nodes of Root's tree counted by walking it: what the rows must equal.
    static std::vector<TNode*> Recount(TNode* root, bool showRoot);

private:
    struct TItem;
    class TIndex;

    // Node and its visible descendants in display order.
    static void AppendVisible(TNode* node, std::vector<TNode*>& out);
    // The row Node gets among the rows as they are now (its parent's children shown).
    int32_t ChildPosition(const TNode* node) const;
    // Rows At..At+Count-1 are Node's: it first, its subtree up to the last one, none after.
    bool IsBlockOf(const TNode* node, int32_t at, int32_t count) const;
    // False when the rows had to be rebuilt.
    bool InsertNodes(int32_t at, const std::vector<TNode*>& nodes);
    void DeleteRows(int32_t at, int32_t count);
    // Resets from the tree when a change did not fit the rows.
    void Rebuild();
    // Rebuilds and says so in a change, move or reorder record: every row may have changed.
    template <class TResult>
    TResult Rebuilt() {
        Rebuild();
        TResult result;
        result.Rebuilt = true;
        return result;
    }

    static int32_t SizeOf(const TItem* item);
    // The item's size from its children's, and the children's links up to it.
    static void Update(TItem* item);
    TItem* NewItem(TNode* node);
    // Gives Item back for reuse (its node's entry in the index is gone already).
    void ReleaseItem(TItem* item);
    void FreeTree(TItem* tree);
    TItem* Build(const std::vector<TNode*>& nodes);
    // Links Items (each without children) into one treap in this order, in linear time.
    static TItem* Link(const std::vector<TItem*>& items);
    static void AppendItems(TItem* tree, std::vector<TItem*>& out);
    TItem* Select(int32_t index) const;
    static int32_t Rank(const TItem* item);
    static TItem* Successor(TItem* item);
    static void Split(TItem* tree, int32_t count, TItem*& first, TItem*& rest);
    static TItem* Merge(TItem* first, TItem* rest);

    TNode* root_ = nullptr;
    bool showRoot_ = false;
    TItem* tree_ = nullptr;
    // The entry of each node with a row.
    std::unique_ptr<TIndex> items_;
    // Entries are made in blocks and reused: expanding a large tree makes many at once.
    std::vector<std::unique_ptr<TItem[]>> blocks_;
    int32_t blockUsed_ = 0;
    TItem* free_ = nullptr;
    uint32_t seed_ = 0x9E3779B9u;
    // Set when an item was made for a node that already had one (the rows did not fit).
    bool duplicate_ = false;
};
