// The fast paths of the node model against straightforward versions of the same rules:
// sorted insertion (which halves the children while they are known to be in order), placing
// by SetParent and while reading a stream, and Sort (one pass over children in order, moves
// found from the rank on). Random trees with duplicate texts, letter-case variants, children
// that cannot be sorted and texts changed after insertion.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

#include "base/stream.h"
#include "nodes/node.h"
#include "nodes/node_stream.h"

namespace {

const std::vector<std::string> Texts{"", "a", "A", "ab", "Ab", "aB", "b", "B", "ba", "c", "C", "ca", "d", "zz"};

std::string RandomText(std::mt19937& random) { return Texts[random() % Texts.size()]; }

TNode* NewNode(std::mt19937& random, bool sortable) {
    TNode* node = TNode::Create<TNode>(RandomText(random));
    if (!sortable) node->SetOption(node->Option() - noCanSort);
    return node;
}

std::vector<TNode*> ChildrenOf(const TNode* node) {
    std::vector<TNode*> list;
    for (int i = 0; i < node->ChildCount(); ++i) list.push_back(node->Child(i));
    return list;
}

// The first child that sorts after Node, by asking every child; the end when there is none.
size_t ScanPosition(const std::vector<TNode*>& list, const TNode* node) {
    for (size_t i = 0; i < list.size(); ++i)
        if (node->Compare(list[i], -1) > 0) return i;
    return list.size();
}

// Collects the ncMoved notifications in the order they come.
class TMoveRecorder : public TNodeChangeSink {
public:
    TMoveRecorder() { previous_ = SetNodeChangeSink(this); }
    ~TMoveRecorder() override { SetNodeChangeSink(previous_); }
    void NotifyChange(TNode* node, TNodeCode code, intptr_t param) override {
        if (code == ncMoved) moves.emplace_back(node, param);
    }
    void NotifyRootChange(TNode*, TNode*, intptr_t, TNodeCode) override {}
    void RemoveNode(TNode*) override {}
    std::vector<std::pair<TNode*, intptr_t>> moves;

private:
    TNodeChangeSink* previous_;
};

// Sort as the rule states it, on copies of the children lists: a stable sort of the sortable
// children, then each one searched from the start and moved to its rank, then the children
// recursively. Fills the lists as they end up and the moves in the order they happen.
struct TReferenceSort {
    std::map<const TNode*, std::vector<TNode*>> lists;
    std::vector<std::pair<TNode*, intptr_t>> moves;

    explicit TReferenceSort(TNode* top) { Snapshot(top); }
    void Snapshot(TNode* node) {
        lists[node] = ChildrenOf(node);
        for (TNode* child : lists[node]) Snapshot(child);
    }
    bool Sort(TNode* node, int index) {
        bool moved = false;
        std::vector<TNode*>& list = lists[node];
        if (list.size() >= 2) {
            std::vector<TNode*> sorted;
            for (TNode* child : list)
                if (child->Option().Has(noCanSort)) sorted.push_back(child);
            std::stable_sort(sorted.begin(), sorted.end(), [index](const TNode* a, const TNode* b) {
                return b->Compare(a, index) - a->Compare(b, index) < 0;
            });
            for (size_t rank = 0; rank < sorted.size(); ++rank) {
                auto it = std::find(list.begin(), list.end(), sorted[rank]);
                const auto current = static_cast<size_t>(it - list.begin());
                if (current == rank) continue;
                list.erase(it);
                list.insert(list.begin() + static_cast<std::ptrdiff_t>(rank), sorted[rank]);
                moves.emplace_back(sorted[rank], static_cast<intptr_t>(current));
                moved = true;
            }
        }
        for (TNode* child : std::vector<TNode*>(list)) moved = Sort(child, index) || moved;
        return moved;
    }
};

// A random tree: Levels deep, up to Width children per node, appended in random order.
void Grow(TNode* node, std::mt19937& random, int levels, int width) {
    if (levels == 0) return;
    const int count = static_cast<int>(random() % (width + 1));
    for (int i = 0; i < count; ++i) {
        TNode* child = NewNode(random, random() % 5 != 0);
        node->InsertNode(-1, child, imLast | imIntoSelf);
        if (random() % 3 == 0) child->SetState(child->State() + nsExpanded);
        Grow(child, random, levels - 1, width);
    }
}

int Recount(const TNode* node) {
    int count = 0;
    for (int i = 0; i < node->ChildCount(); ++i) count += 1 + Recount(node->Child(i));
    return count;
}

// One random step on Parent; Model follows the straightforward rules. Returns what it did.
std::string Step(TNode* parent, std::vector<TNode*>& model, std::mt19937& random) {
    const uint32_t op = random() % 10;
    const size_t count = model.size();
    if (op <= 2 || count == 0) {  // sorted insertion
        TNode* node = NewNode(random, true);
        const size_t expected = ScanPosition(model, node);
        parent->InsertNode(-1, node, imChild);
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(expected), node);
        return "insert sorted";
    }
    if (op == 3) {  // placed by SetParent, as the stream reader does
        TNode* node = NewNode(random, random() % 2 == 0);
        const size_t expected = node->Option().Has(noCanSort) ? ScanPosition(model, node) : count;
        node->SetParent(parent);
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(expected), node);
        return "SetParent";
    }
    if (op == 4) {  // unsortable appended, or any node at an index or first: may break the order
        TNode* node = NewNode(random, false);
        const uint32_t where = random() % 3;
        if (where == 0) {
            parent->InsertNode(-1, node, imChild);
            model.push_back(node);
        } else if (where == 1) {
            const size_t at = random() % (count + 1);
            parent->InsertNode(static_cast<int>(at), node, imIntoSelf);
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), node);
        } else {
            parent->InsertNode(-1, node, imFirst | imChild);
            model.insert(model.begin(), node);
        }
        return "insert unsorted";
    }
    TNode* victim = model[random() % count];
    if (op == 5) {  // a text changed after insertion
        victim->SetText(RandomText(random));
        return "rename";
    }
    if (op == 6) {
        model.erase(std::find(model.begin(), model.end(), victim));
        delete victim;
        return "delete";
    }
    if (op == 7) {  // re-inserted among its own siblings
        model.erase(std::find(model.begin(), model.end(), victim));
        const size_t expected = victim->Option().Has(noCanSort) ? ScanPosition(model, victim) : model.size();
        parent->InsertNode(-1, victim, imChild);
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(expected), victim);
        return "reorder";
    }
    if (op == 8) {
        TReferenceSort reference(parent);
        reference.Sort(parent, 0);
        parent->Sort(0);
        model = reference.lists[parent];
        return "sort";
    }
    // Moved in from another parent.
    TNode* other = TNode::Create<TNode>("other");
    TNode* node = NewNode(random, true);
    node->SetParent(other);
    const size_t expected = ScanPosition(model, node);
    parent->InsertNode(-1, node, imChild);
    model.insert(model.begin() + static_cast<std::ptrdiff_t>(expected), node);
    delete other;
    return "move in";
}

TEST(NodeFastPaths, SortedInsertionMatchesTheScanOfAllSiblings) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        std::unique_ptr<TNode> parent(TNode::Create<TNode>("parent"));
        std::vector<TNode*> model;
        for (int step = 0; step < 300; ++step) {
            const std::string what = Step(parent.get(), model, random);
            ASSERT_EQ(ChildrenOf(parent.get()), model) << "seed " << seed << " step " << step << ": " << what;
            ASSERT_EQ(parent->Count(), Recount(parent.get())) << "seed " << seed << " step " << step;
        }
    }
}

// A long run of in-order appends, then a rename in the middle: the next insertion must see
// that the children are no longer in order.
TEST(NodeFastPaths, RenamedChildEndsTheInOrderShortcut) {
    std::unique_ptr<TNode> parent(TNode::Create<TNode>("parent"));
    for (const char* text : {"a", "b", "c", "d", "e", "f"}) parent->InsertNode(-1, TNode::Create<TNode>(text), imChild);
    parent->Child(1)->SetText("x");  // a x c d e f: out of order
    TNode* node = TNode::Create<TNode>("w");
    std::vector<TNode*> model = ChildrenOf(parent.get());
    const size_t expected = ScanPosition(model, node);
    parent->InsertNode(-1, node, imChild);
    EXPECT_EQ(expected, 1u);  // before x, the first child that sorts after w
    EXPECT_EQ(node->IndexInParent(), 1);
}

TEST(NodeFastPaths, SortMatchesTheStraightforwardSort) {
    for (uint32_t seed = 1; seed <= 80; ++seed) {
        std::mt19937 random(seed);
        std::unique_ptr<TNode> top(TNode::Create<TNode>("top"));
        Grow(top.get(), random, 3, seed % 4 == 0 ? 40 : 8);
        for (int round = 0; round < 3; ++round) {
            const int index = static_cast<int>(random() % 3) - 1;
            TReferenceSort reference(top.get());
            const bool expectedMoved = reference.Sort(top.get(), index);
            TMoveRecorder recorder;
            const bool moved = top->Sort(index);
            EXPECT_EQ(moved, expectedMoved) << "seed " << seed << " round " << round;
            ASSERT_EQ(recorder.moves, reference.moves) << "seed " << seed << " round " << round;
            for (const auto& [node, list] : reference.lists)
                ASSERT_EQ(ChildrenOf(node), list) << "seed " << seed << " round " << round;
            // Texts change between the rounds, some of them far.
            std::vector<TNode*> all;
            top->ForEach([&all](TNode* n) { all.push_back(n); return false; }, feCollapsed);
            for (int i = 0; i < 5 && !all.empty(); ++i) all[random() % all.size()]->SetText(RandomText(random));
        }
    }
}

// Children that are in order except for one moved far back or far ahead, and a reversed
// list: the cases the search from the rank on handles differently.
TEST(NodeFastPaths, SortMovesAsTheStraightforwardSortForShiftedAndReversedLists) {
    struct Case {
        const char* name;
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases{
        {"first belongs last", {"z", "a", "b", "c", "d", "e"}},
        {"last belongs first", {"b", "c", "d", "e", "f", "a"}},
        {"reversed", {"f", "e", "d", "c", "b", "a"}},
        {"equal texts", {"b", "B", "a", "A", "b", "a"}},
        {"in order", {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TNode> parent(TNode::Create<TNode>("parent"));
        for (const std::string& text : c.texts) parent->InsertNode(-1, TNode::Create<TNode>(text), imLast | imIntoSelf);
        TReferenceSort reference(parent.get());
        const bool expectedMoved = reference.Sort(parent.get(), 0);
        TMoveRecorder recorder;
        EXPECT_EQ(parent->Sort(0), expectedMoved) << c.name;
        EXPECT_EQ(recorder.moves, reference.moves) << c.name;
        EXPECT_EQ(ChildrenOf(parent.get()), reference.lists[parent.get()]) << c.name;
    }
}

// A stream whose sortable siblings are out of order, mixed with unsortable ones, reads back
// in the order sorted insertion gives one by one.
TEST(NodeFastPaths, ReadingPlacesChildrenAsTheScanDoes) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        std::mt19937 random(seed);
        std::unique_ptr<TNode> top(TNode::Create<TNode>("top"));
        for (int i = 0; i < 60; ++i) top->InsertNode(-1, NewNode(random, random() % 4 != 0), imLast | imIntoSelf);
        // The order a reader builds: each node of the stream placed after the ones before it.
        std::vector<TNode*> model;
        for (TNode* node : ChildrenOf(top.get())) {
            const size_t at = node->Option().Has(noCanSort) ? ScanPosition(model, node) : model.size();
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), node);
        }
        std::vector<std::string> expected;
        for (TNode* node : model) expected.push_back(node->Text());

        TMemoryStream stream;
        SaveToStream(top.get(), stream, true);
        stream.SetPosition(0);
        std::unique_ptr<TNode> loaded(LoadFromStream(stream));
        std::vector<std::string> texts;
        for (TNode* node : ChildrenOf(loaded.get())) texts.push_back(node->Text());
        EXPECT_EQ(texts, expected) << "seed " << seed;
    }
}

}  // namespace
