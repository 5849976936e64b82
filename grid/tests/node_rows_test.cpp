// The node grid's rows over a tree: every change a node reports moves exactly the rows the tree
// shows (checked against a plain recount after thousands of random inserts, moves, deletions,
// expansions, collapses, sorts and renames), the change records say which rows went where, and
// rows that missed a change rebuild themselves from the tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grid/node_rows.h"
#include "nodes/node.h"

namespace {

// Stands for the grid: receives the tree's notifications as the control of its root, applies
// them to the rows, and keeps a plain list of row nodes that it changes only as the change
// records say, as the grid changes its own rows.
// With Lazy, moves among siblings only mark their parent, and the rows are put in order at
// the next other change or check (as the grid does with the moves of a sort).
class TRowsFollower : public TNodeControl {
public:
    explicit TRowsFollower(bool showRoot, bool lazy = false) : showRoot_(showRoot), lazy_(lazy) {}

    intptr_t NodeMessage(TNode*, unsigned msg, intptr_t, intptr_t lParam) override {
        if (msg != NM_NODECHANGED || !Rows.Valid()) return 0;
        const auto& change = *reinterpret_cast<const TNodeChange*>(lParam);
        ++Notifications;
        if (lazy_ && change.Code == ncMoved) {
            TNode* parent = change.Node->Parent();
            if (parent && Rows.ChildrenShown(parent)) reordered_.push_back(parent);
            return 1;
        }
        Flush();
        switch (change.Code) {
        case ncInserted: Apply(Rows.NodeInserted(change.Node)); break;
        case ncRemoved: Apply(Rows.NodeRemoved(change.Node)); break;
        case ncExpanded: Apply(Rows.NodeExpanded(change.Node, static_cast<int32_t>(change.Param))); break;
        case ncMoved: Apply(Rows.NodeMoved(change.Node)); break;
        default: break;
        }
        return 1;
    }

    void Start(TNode* root) {
        root_ = root;
        Rows.Reset(root, showRoot_);
        Mirror = Rows.Nodes(0, Rows.Count());
    }
    // Puts the rows of reordered children in order, and the list along with them.
    void Flush() {
        const std::vector<TNode*> parents = std::move(reordered_);
        reordered_.clear();
        for (TNode* parent : parents) {
            if (!root_->IsInSubtree(parent)) continue;
            const TNodeRows::TReorder reorder = Rows.ReorderChildren(parent);
            if (reorder.Rebuilt) {
                Resync();
                continue;
            }
            if (reorder.Order.empty()) continue;
            ++Reorders;
            const std::vector<TNode*> before(Mirror.begin() + reorder.First,
                                             Mirror.begin() + reorder.First + static_cast<int32_t>(reorder.Order.size()));
            for (size_t i = 0; i < reorder.Order.size(); ++i)
                Mirror[static_cast<size_t>(reorder.First) + i] = before[static_cast<size_t>(reorder.Order[i])];
        }
    }

    TNodeRows Rows;
    std::vector<TNode*> Mirror;
    int Rebuilds = 0;
    int Notifications = 0;
    int Reorders = 0;

private:
    void Apply(const TNodeRows::TChange& change) {
        if (change.Rebuilt) return Resync();
        if (change.Count == 0) return;
        if (change.Inserted) {
            const std::vector<TNode*> added = Rows.Nodes(change.Index, change.Count);
            Mirror.insert(Mirror.begin() + change.Index, added.begin(), added.end());
        } else {
            Mirror.erase(Mirror.begin() + change.Index, Mirror.begin() + change.Index + change.Count);
        }
    }
    void Apply(const TNodeRows::TMove& move) {
        if (move.Rebuilt) return Resync();
        if (move.Count == 0) return;
        std::vector<TNode*> block(Mirror.begin() + move.From, Mirror.begin() + move.From + move.Count);
        Mirror.erase(Mirror.begin() + move.From, Mirror.begin() + move.From + move.Count);
        Mirror.insert(Mirror.begin() + move.To, block.begin(), block.end());
    }
    void Resync() {
        ++Rebuilds;
        Mirror = Rows.Nodes(0, Rows.Count());
    }
    bool showRoot_;
    bool lazy_;
    TNode* root_ = nullptr;
    std::vector<TNode*> reordered_;
};

// A tree under a root that reports to a follower.
class TFollowedTree {
public:
    explicit TFollowedTree(bool showRoot, bool lazy = false) : follower(showRoot, lazy) {
        root = TNode::Create<TNode>("root");
        root->SetState(root->State() + nsRoot);
        root->SetNodeData(static_cast<TNodeControl*>(&follower));
    }
    ~TFollowedTree() {
        root->SetNodeData(nullptr);
        delete root;
    }
    TNode* Add(TNode* parent, const std::string& text, bool expanded = false) {
        TNode* node = TNode::Create<TNode>(text);
        if (expanded) node->SetState(node->State() + nsExpanded);
        parent->InsertNode(-1, node, imChild | imLast);
        return node;
    }
    // Every node of the tree, the root first.
    std::vector<TNode*> All() const {
        std::vector<TNode*> nodes;
        root->ForEach([&nodes](TNode* n) { nodes.push_back(n); return false; }, feSelf | feCollapsed);
        return nodes;
    }

    TRowsFollower follower;
    TNode* root;
};

// The rows, the follower's own list and the row of every node agree with a recount.
::testing::AssertionResult RowsMatchTree(TFollowedTree& tree) {
    tree.follower.Flush();
    const TNodeRows& rows = tree.follower.Rows;
    const std::vector<TNode*> expected = TNodeRows::Recount(tree.root, rows.ShowRoot());
    if (!rows.Valid()) return ::testing::AssertionFailure() << "rows were cleared";
    if (rows.Nodes(0, rows.Count()) != expected)
        return ::testing::AssertionFailure() << "rows " << rows.Count() << " but the tree shows " << expected.size();
    if (tree.follower.Mirror != expected)
        return ::testing::AssertionFailure() << "the change records led to " << tree.follower.Mirror.size()
                                             << " rows, the tree shows " << expected.size();
    for (TNode* node : tree.All()) {
        const auto found = std::find(expected.begin(), expected.end(), node);
        const int32_t row = found == expected.end() ? -1 : static_cast<int32_t>(found - expected.begin());
        if (rows.IndexOf(node) != row)
            return ::testing::AssertionFailure() << "node \"" << node->Text() << "\" at " << rows.IndexOf(node)
                                                 << ", shown at " << row;
        if (row >= 0 && rows.NodeAt(row) != node) return ::testing::AssertionFailure() << "row " << row;
    }
    if (rows.NodeAt(-1) || rows.NodeAt(rows.Count())) return ::testing::AssertionFailure() << "rows outside";
    return ::testing::AssertionSuccess();
}

// Random tree operations, each reported to the follower by the nodes themselves.
class TRandomTree {
public:
    TRandomTree(TFollowedTree& tree, uint32_t seed) : tree_(tree), random_(seed) {}

    // One operation; returns its name for the failure message.
    std::string Step() {
        const std::vector<TNode*> all = tree_.All();
        const int pick = Below(100);
        const bool small = all.size() < 200;
        if (pick < (small ? 40 : 22)) return Insert(all);
        if (pick < 34) return Delete(all);
        if (pick < 50) return Move(all);
        if (pick < 74) return Toggle(all);
        if (pick < 80) return SortSome(all);
        if (pick < 88) return Rename(all);
        if (pick < 92) return ClearSome(all);
        if (pick < 96) return DetachAndReinsert(all);
        return InsertSubtree(all);
    }

private:
    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
    TNode* Any(const std::vector<TNode*>& all) { return all[static_cast<size_t>(Below(static_cast<int>(all.size())))]; }
    TNode* AnyButRoot(const std::vector<TNode*>& all) { return all.size() < 2 ? nullptr : all[1 + Below(int(all.size()) - 1)]; }
    std::string Text() { return std::string(1, static_cast<char>('a' + Below(6))) + std::to_string(Below(50)); }
    TNode* NewNode() {
        TNode* node = TNode::Create<TNode>(Text());
        if (Below(3) == 0) node->SetOption(node->Option() - noCanSort);
        if (Below(2) == 0) node->SetState(node->State() + nsExpanded);
        return node;
    }

    std::string Insert(const std::vector<TNode*>& all) {
        TNode* parent = Any(all);
        TNode* node = NewNode();
        switch (Below(5)) {
        case 0: parent->InsertNode(-1, node, imChild); return "sorted insert";
        case 1: parent->InsertNode(-1, node, imChild | imFirst); return "insert first";
        case 2: parent->InsertNode(Below(parent->ChildCount() + 2), node, imIntoSelf); return "insert at index";
        case 3: tree_.root->InsertNode(Below(tree_.root->Count() + 2), node, 0); return "insert before a node";
        default: parent->InsertNode(-1, node, imChild | imLast); return "append";
        }
    }
    std::string InsertSubtree(const std::vector<TNode*>& all) {
        TNode* top = NewNode();
        top->SetState(top->State() + nsExpanded);
        for (int i = 0, n = 1 + Below(4); i < n; ++i) {
            TNode* child = NewNode();
            top->InsertNode(-1, child, imChild);
            if (Below(2)) child->InsertNode(-1, NewNode(), imChild);
        }
        Any(all)->InsertNode(-1, top, imChild);
        return "insert a subtree";
    }
    std::string Delete(const std::vector<TNode*>& all) {
        TNode* node = AnyButRoot(all);
        if (!node) return "nothing to delete";
        node->Delete();
        return "delete";
    }
    // A parent for Node outside its own subtree.
    TNode* NewParentFor(const std::vector<TNode*>& all, TNode* node) {
        for (int tries = 0; tries < 8; ++tries) {
            TNode* parent = Any(all);
            if (!node->IsInSubtree(parent)) return parent;
        }
        return tree_.root;
    }
    std::string Move(const std::vector<TNode*>& all) {
        TNode* node = AnyButRoot(all);
        if (!node) return "nothing to move";
        TNode* parent = NewParentFor(all, node);
        switch (Below(4)) {
        case 0: node->SetParent(parent); return "set parent";
        case 1: parent->InsertNode(-1, node, imChild | imFirst); return "move first";
        case 2: {
            // Among its own siblings at another index (a drop in the same parent).
            TNode* own = node->Parent();
            own->InsertNode(Below(own->ChildCount() + 1), node, imIntoSelf);
            return "reorder";
        }
        default: parent->InsertNode(Below(parent->ChildCount() + 1), node, imIntoSelf); return "move to index";
        }
    }
    std::string Toggle(const std::vector<TNode*>& all) {
        // Expanding wins more often, so that most of the tree has rows.
        TNode* node = Any(all);
        if (Below(3) == 0 && node != tree_.root) {
            const bool recurse = Below(8) == 0;
            node->Collapse(recurse);
            return recurse ? "collapse all" : "collapse";
        }
        const bool recurse = Below(5) == 0;
        node->Expand(recurse);
        return recurse ? "expand all" : "expand";
    }
    std::string SortSome(const std::vector<TNode*>& all) {
        Any(all)->Sort(0);
        return "sort";
    }
    std::string Rename(const std::vector<TNode*>& all) {
        TNode* node = AnyButRoot(all);
        if (!node) return "nothing to rename";
        node->SetText(Text());
        node->Parent()->Sort(0);
        return "rename and sort";
    }
    std::string ClearSome(const std::vector<TNode*>& all) {
        TNode* node = Any(all);
        if (node->Count() > 30) return "clear skipped";
        node->Clear();
        return "clear";
    }
    std::string DetachAndReinsert(const std::vector<TNode*>& all) {
        TNode* node = AnyButRoot(all);
        if (!node) return "nothing to detach";
        node->SetParent(nullptr);
        if (Below(4) == 0) {
            delete node;
            return "detach and free";
        }
        const std::vector<TNode*> rest = tree_.All();
        Any(rest)->InsertNode(-1, node, imChild);
        return "detach and reinsert";
    }

    TFollowedTree& tree_;
    std::mt19937 random_;
};

struct TRandomRun {
    uint32_t Seed;
    bool ShowRoot;
    bool Lazy;  // moves gathered and put in order at the next other change
};

void PrintTo(const TRandomRun& run, std::ostream* os) {
    *os << "seed " << run.Seed << (run.ShowRoot ? ", root shown" : "") << (run.Lazy ? ", moves gathered" : "");
}

class NodeRowsRandom : public ::testing::TestWithParam<TRandomRun> {};

TEST_P(NodeRowsRandom, ThousandsOfChangesKeepEveryRowEqualToARecount) {
    const auto [seed, showRoot, lazy] = GetParam();
    TFollowedTree tree(showRoot, lazy);
    TNode* group = tree.Add(tree.root, "group", true);
    for (int i = 0; i < 20; ++i) tree.Add(i % 3 ? group : tree.root, "n" + std::to_string(i), i % 2 == 0);
    tree.follower.Start(tree.root);
    ASSERT_TRUE(RowsMatchTree(tree));

    TRandomTree random(tree, seed);
    for (int step = 0; step < 4000; ++step) {
        const std::string operation = random.Step();
        ASSERT_TRUE(RowsMatchTree(tree)) << "step " << step << ": " << operation;
    }
    // The changes were followed, not rebuilt from the tree each time.
    EXPECT_GT(tree.follower.Notifications, 4000);
    EXPECT_EQ(tree.follower.Rebuilds, 0);
    if (lazy) {
        EXPECT_GT(tree.follower.Reorders, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, NodeRowsRandom,
                         ::testing::Values(TRandomRun{1, false, false}, TRandomRun{2, true, false},
                                           TRandomRun{3, false, true}, TRandomRun{4, true, true},
                                           TRandomRun{5, false, false}, TRandomRun{6, false, true}));

// A small tree: root > a (expanded: a1, a2 (expanded: a2x, a2y), a3), b (collapsed: b1), c.
class NodeRowsChanges : public ::testing::Test {
protected:
    void SetUp() override {
        a = tree.Add(tree.root, "a", true);
        a1 = tree.Add(a, "a1");
        a2 = tree.Add(a, "a2", true);
        a2x = tree.Add(a2, "a2x");
        a2y = tree.Add(a2, "a2y");
        a3 = tree.Add(a, "a3");
        b = tree.Add(tree.root, "b");
        b1 = tree.Add(b, "b1");
        c = tree.Add(tree.root, "c");
        tree.follower.Start(tree.root);
    }
    TNodeRows& Rows() { return tree.follower.Rows; }

    TFollowedTree tree{false};
    TNode *a, *a1, *a2, *a2x, *a2y, *a3, *b, *b1, *c;
};

TEST_F(NodeRowsChanges, RowsInDisplayOrderWithoutTheHiddenRoot) {
    EXPECT_EQ(Rows().Nodes(0, 100), (std::vector<TNode*>{a, a1, a2, a2x, a2y, a3, b, c}));
    EXPECT_EQ(Rows().IndexOf(tree.root), -1);
    EXPECT_EQ(Rows().IndexOf(b1), -1);
    EXPECT_EQ(Rows().IndexOf(c), 7);
    EXPECT_TRUE(Rows().ChildrenShown(tree.root));
    EXPECT_TRUE(Rows().ChildrenShown(a2));
    EXPECT_FALSE(Rows().ChildrenShown(b));
    EXPECT_FALSE(Rows().ChildrenShown(a2x));  // a leaf is not expanded
}

TEST_F(NodeRowsChanges, TheShownRootIsTheFirstRow) {
    tree.follower.Rows.Reset(tree.root, true);
    EXPECT_EQ(Rows().Count(), 9);
    EXPECT_EQ(Rows().NodeAt(0), tree.root);
    EXPECT_EQ(Rows().IndexOf(a), 1);
}

TEST_F(NodeRowsChanges, ARemovedNodeTakesItsVisibleRowsWithIt) {
    const TNodeRows::TChange change = Rows().NodeRemoved(nullptr);
    EXPECT_EQ(change.Count, 0);
    // Removing a2 (expanded, two rows below it) takes rows 2..4.
    a2->SetParent(nullptr);
    EXPECT_EQ(tree.follower.Mirror, (std::vector<TNode*>{a, a1, a3, b, c}));
    EXPECT_TRUE(RowsMatchTree(tree));
    delete a2;
    EXPECT_TRUE(RowsMatchTree(tree));
}

TEST_F(NodeRowsChanges, ChangesBelowACollapsedNodeMoveNoRows) {
    const size_t before = tree.follower.Mirror.size();
    TNode* b2 = tree.Add(b, "b2");
    b1->SetText("zz");
    b->Sort(0);
    delete b2;
    EXPECT_EQ(tree.follower.Mirror.size(), before);
    EXPECT_TRUE(RowsMatchTree(tree));
}

TEST_F(NodeRowsChanges, CollapsingAndExpandingTakeAndGiveTheRowsBelow) {
    struct Case {
        const char* name;
        std::function<void()> change;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases{
        {"collapse a", [&] { a->Collapse(false); }, {"a", "b", "c"}},
        {"expand a again keeps a2 open", [&] { a->Expand(false); }, {"a", "a1", "a2", "a2x", "a2y", "a3", "b", "c"}},
        {"collapse a2", [&] { a2->Collapse(false); }, {"a", "a1", "a2", "a3", "b", "c"}},
        {"expand b", [&] { b->Expand(false); }, {"a", "a1", "a2", "a3", "b", "b1", "c"}},
        {"collapse everything below a", [&] { a->Collapse(true); }, {"a", "b", "b1", "c"}},
        {"expand everything below a", [&] { a->Expand(true); }, {"a", "a1", "a2", "a2x", "a2y", "a3", "b", "b1", "c"}},
    };
    for (const Case& step : cases) {
        step.change();
        std::vector<std::string> texts;
        for (TNode* node : tree.follower.Mirror) texts.push_back(node->Text());
        EXPECT_EQ(texts, step.rows) << step.name;
        EXPECT_TRUE(RowsMatchTree(tree)) << step.name;
    }
}

TEST_F(NodeRowsChanges, AMovedNodeTakesItsBlockAlong) {
    // Sorting c before a: its one row goes to the top.
    c->SetText("0c");
    tree.root->Sort(0);
    EXPECT_EQ(tree.follower.Mirror.front(), c);
    // a2 with its two rows goes behind a3.
    a->InsertNode(2, a2, imIntoSelf);
    ASSERT_TRUE(RowsMatchTree(tree));
    EXPECT_EQ(Rows().IndexOf(a3), Rows().IndexOf(a1) + 1);
    EXPECT_EQ(Rows().IndexOf(a2), Rows().IndexOf(a3) + 1);
    EXPECT_EQ(Rows().NodeAt(Rows().IndexOf(a2) + 2), a2y);
}

TEST_F(NodeRowsChanges, ReorderingChildrenMovesEachChildWithItsRows) {
    // The children of a and of root change places while nobody puts the rows in order.
    tree.root->SetNodeData(nullptr);
    a->InsertNode(0, a3, imIntoSelf);    // a3, a1, a2 (a2x, a2y)
    tree.root->InsertNode(0, c, imIntoSelf);  // c, a, b
    tree.root->SetNodeData(static_cast<TNodeControl*>(&tree.follower));
    const TNodeRows::TReorder own = Rows().ReorderChildren(a);
    EXPECT_EQ(own.First, 1);
    // a3 came from place 4 of the block, a1 from 0, a2 and its rows from 1..3.
    EXPECT_EQ(own.Order, (std::vector<int32_t>{4, 0, 1, 2, 3}));
    const TNodeRows::TReorder top = Rows().ReorderChildren(tree.root);
    EXPECT_EQ(top.First, 0);
    EXPECT_EQ(top.Order, (std::vector<int32_t>{7, 0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Rows().Nodes(0, 100), TNodeRows::Recount(tree.root, false));
    // In order already: nothing to do.
    EXPECT_TRUE(Rows().ReorderChildren(a).Order.empty());
    EXPECT_TRUE(Rows().ReorderChildren(b).Order.empty());  // collapsed: its children have no rows
}

TEST_F(NodeRowsChanges, RowsThatMissedAChangeRebuildFromTheTree) {
    // b is expanded while nobody listens: the rows still think it is collapsed.
    tree.root->SetNodeData(nullptr);
    b->Expand(false);
    tree.root->SetNodeData(static_cast<TNodeControl*>(&tree.follower));
    // Its removal names more rows than the rows hold for it: they are rebuilt.
    b->SetParent(nullptr);
    EXPECT_EQ(tree.follower.Rebuilds, 1);
    EXPECT_TRUE(RowsMatchTree(tree));
    delete b;
    EXPECT_TRUE(RowsMatchTree(tree));
}

TEST_F(NodeRowsChanges, ClearedRowsFollowNothingUntilReset) {
    Rows().Clear();
    EXPECT_FALSE(Rows().Valid());
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_EQ(Rows().NodeAt(0), nullptr);
    EXPECT_EQ(Rows().IndexOf(a), -1);
    tree.Add(tree.root, "d");
    EXPECT_EQ(Rows().NodeInserted(c).Count, 0);
    tree.follower.Start(tree.root);
    EXPECT_TRUE(RowsMatchTree(tree));
}

TEST(NodeRowsScale, AFlatListOfManyRowsAnswersBothWays) {
    TFollowedTree tree(false);
    std::vector<TNode*> nodes;
    for (int i = 0; i < 20000; ++i) {
        TNode* node = TNode::Create<TNode>("n");
        node->SetOption(node->Option() - noCanSort);
        tree.root->InsertNode(-1, node, imChild | imLast);
        nodes.push_back(node);
    }
    tree.follower.Start(tree.root);
    ASSERT_EQ(tree.follower.Rows.Count(), 20000);
    for (int i = 0; i < 20000; i += 997) {
        EXPECT_EQ(tree.follower.Rows.NodeAt(i), nodes[static_cast<size_t>(i)]);
        EXPECT_EQ(tree.follower.Rows.IndexOf(nodes[static_cast<size_t>(i)]), i);
    }
    // Removing from the middle shifts the rows behind by one.
    delete nodes[10000];
    EXPECT_EQ(tree.follower.Rows.IndexOf(nodes[10001]), 10000);
    EXPECT_EQ(tree.follower.Rows.NodeAt(19998), nodes[19999]);
}

}  // namespace
