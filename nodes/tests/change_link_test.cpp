// The change link: registration and de-duplication, notification order, root listeners, and
// the ends of a registration (unregistering, the node's destruction, the listener's).
#include <gtest/gtest.h>

#include "nodes/change_link.h"

namespace {

struct TCall {
    std::string listener;
    TNode* node;
    TNodeCode code;
    intptr_t param;
};

std::vector<TCall>& Calls() {
    static std::vector<TCall> calls;
    return calls;
}

class TListener {
public:
    explicit TListener(std::string name) : name_(std::move(name)) {}
    void Changed(TNode* sender, TNode* node, intptr_t param, TNodeCode code) {
        EXPECT_EQ(sender, nullptr);
        Calls().push_back({name_, node, code, param});
    }
    void Other(TNode*, TNode* node, intptr_t param, TNodeCode code) {
        Calls().push_back({name_ + ".other", node, code, param});
    }
    TNodeChangeEvent Event() { return ChangeEvent<TListener, &TListener::Changed>(this); }
    TNodeChangeEvent OtherEvent() { return ChangeEvent<TListener, &TListener::Other>(this); }

private:
    std::string name_;
};

// A listening component; its callback touches nothing of its own, as it may run while the
// component is being destroyed.
class TListeningComponent : public TComponent {
public:
    void Changed(TNode*, TNode* node, intptr_t param, TNodeCode code) {
        Calls().push_back({"component", node, code, param});
    }
    TNodeChangeEvent Event() { return ChangeEvent<TListeningComponent, &TListeningComponent::Changed>(this); }
};

class ChangeLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        Calls().clear();
        link = NodeChangeLink();
        ASSERT_NE(link, nullptr);
        base = link->RegistrationCount();
    }
    std::unique_ptr<TNode> NewNode(const std::string& text) {
        return std::unique_ptr<TNode>(TNode::Create<TNode>(text));
    }
    TNodeChangeLink* link = nullptr;
    int base = 0;
};

}  // namespace

TEST_F(ChangeLinkTest, RegisteringTwiceKeepsOneRegistration) {
    auto node = NewNode("n");
    TListener a("a");
    EXPECT_TRUE(RegisterChange(node.get(), a.Event()));
    EXPECT_TRUE(RegisterChange(node.get(), a.Event()));
    EXPECT_EQ(link->RegistrationCount(), base + 1);
    node->SetBitmap(5);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].code, ncBitmap);
    EXPECT_TRUE(UnregisterChange(node.get(), a.Event()));
    EXPECT_FALSE(UnregisterChange(node.get(), a.Event()));
    EXPECT_EQ(link->RegistrationCount(), base);
    node->SetBitmap(6);
    EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(ChangeLinkTest, RefusesMissingNodeOrCallback) {
    auto node = NewNode("n");
    TListener a("a");
    EXPECT_FALSE(RegisterChange(nullptr, a.Event()));
    EXPECT_FALSE(RegisterChange(node.get(), TNodeChangeEvent{}));
    EXPECT_EQ(link->RegistrationCount(), base);
}

TEST_F(ChangeLinkTest, SameObjectDifferentMethodsAreTwoCallbacks) {
    auto node = NewNode("n");
    TListener a("a");
    RegisterChange(node.get(), a.Event());
    RegisterChange(node.get(), a.OtherEvent());
    node->SetText("x");
    EXPECT_EQ(Calls().size(), 4u);  // ncModified and ncText, each to both methods
    UnregisterChange(node.get(), a.Event());
    UnregisterChange(node.get(), a.OtherEvent());
}

TEST_F(ChangeLinkTest, EveryListenerIsCalledOnceInSortedOrderFromTheLast) {
    auto node = NewNode("n");
    std::vector<std::unique_ptr<TListener>> listeners;
    for (int i = 0; i < 5; ++i) {
        listeners.push_back(std::make_unique<TListener>("l" + std::to_string(i)));
        RegisterChange(node.get(), listeners.back()->Event());
    }
    node->SetBitmap(9);
    ASSERT_EQ(Calls().size(), 5u);
    // Sorted by object address, visited from the highest.
    std::vector<TListener*> sorted;
    for (auto& l : listeners) sorted.push_back(l.get());
    std::sort(sorted.begin(), sorted.end(), std::greater<TListener*>());
    for (size_t i = 0; i < sorted.size(); ++i) {
        auto it = std::find_if(listeners.begin(), listeners.end(), [&](auto& l) { return l.get() == sorted[i]; });
        EXPECT_EQ(Calls()[i].listener, "l" + std::to_string(it - listeners.begin()));
    }
    for (auto& l : listeners) UnregisterChange(node.get(), l->Event());
}

TEST_F(ChangeLinkTest, DestroyingANodeTellsEachListenerOnceAndForgetsIt) {
    TListener a("a"), b("b");
    TNode* node = TNode::Create<TNode>("n");
    RegisterChange(node, a.Event());
    RegisterChange(node, b.Event());
    delete node;
    int removedCalls = 0;
    for (const TCall& c : Calls())
        if (c.code == ncRemoved) {
            ++removedCalls;
            EXPECT_EQ(c.node, node);
        }
    // Once per listener: the removal of its registration tells it; the node's own Notify
    // during its destruction does not tell it again.
    EXPECT_EQ(removedCalls, 2);
    EXPECT_EQ(Calls().size(), 2u);
    EXPECT_EQ(link->RegistrationCount(), base);
}

TEST_F(ChangeLinkTest, FreeingAListeningComponentEndsItsRegistrations) {
    auto first = NewNode("first");
    auto second = NewNode("second");
    auto* component = new TListeningComponent;
    RegisterChange(first.get(), component->Event());
    RegisterChange(second.get(), component->Event());
    EXPECT_EQ(link->RegistrationCount(), base + 2);
    component->Free();
    EXPECT_EQ(link->RegistrationCount(), base);
    ASSERT_EQ(Calls().size(), 2u);
    for (const TCall& c : Calls()) EXPECT_EQ(c.code, ncRemoved);
    EXPECT_NE(Calls()[0].node, Calls()[1].node);
    first->SetBitmap(4);
    EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(ChangeLinkTest, NotifyRootReachesTopListenersOnce) {
    auto top = NewNode("top");
    TNode* child = TNode::Create<TNode>("child");
    child->SetParent(top.get());
    child->SetOption(child->Option() + noNotifyRoot);
    TListener a("a");
    RegisterChange(top.get(), a.Event());
    Calls().clear();
    child->SetBitmap(2);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].node, child);
    top->SetOption(top->Option() + noNotifyRoot);
    Calls().clear();
    top->SetBitmap(2);
    EXPECT_EQ(Calls().size(), 1u);
    UnregisterChange(top.get(), a.Event());
}

TEST_F(ChangeLinkTest, ACallbackMayUnregisterAnotherDuringNotification) {
    auto node = NewNode("n");
    struct TRemover {
        TNode* node;
        TNodeChangeEvent victim;
        void Changed(TNode*, TNode*, intptr_t, TNodeCode) { UnregisterChange(node, victim); }
        TNodeChangeEvent Event() { return ChangeEvent<TRemover, &TRemover::Changed>(this); }
    };
    // One block, so that the removers have the higher addresses and are called first.
    struct {
        TListener a{"a"}, b{"b"};
        TRemover r1, r2;
    } block;
    block.r1 = {node.get(), block.b.Event()};
    block.r2 = {node.get(), block.a.Event()};
    for (auto e : {block.a.Event(), block.b.Event(), block.r1.Event(), block.r2.Event()})
        RegisterChange(node.get(), e);
    node->SetBitmap(1);
    EXPECT_TRUE(Calls().empty());  // both plain listeners were removed before their turn
    UnregisterChange(node.get(), block.r1.Event());
    UnregisterChange(node.get(), block.r2.Event());
    EXPECT_EQ(link->RegistrationCount(), base);
}

TEST_F(ChangeLinkTest, OnChangeFollowsAdditionsAndRemovals) {
    auto node = NewNode("n");
    TListener a("a");
    int changes = 0;
    link->OnChange = [&](TNodeChangeLink&) { ++changes; };
    RegisterChange(node.get(), a.Event());
    RegisterChange(node.get(), a.Event());
    UnregisterChange(node.get(), a.Event());
    link->OnChange = nullptr;
    EXPECT_EQ(changes, 2);
}
