// The handler lists of the application hook: order, duplicates, removal and handlers whose
// objects are destroyed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "widgets/hook_lists.h"

namespace {

std::vector<std::string> calls;

class TListener : public TComponent {
public:
    explicit TListener(std::string name) : tag_(std::move(name)) {}
    void ClipboardChanged() { calls.push_back(tag_); }
    void OtherClipboardChanged() { calls.push_back(tag_ + "'"); }
    bool AppMessage(THookMessage& m) {
        calls.push_back(tag_ + ":" + std::to_string(m.Msg));
        m.Result = 42;
        return answer;
    }
    bool ShortCut(intptr_t data) {
        calls.push_back(tag_ + "#" + std::to_string(data));
        return take;
    }
    bool answer = false;
    bool take = true;

private:
    std::string tag_;
};

class HookListsTest : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    THookLists lists;
};

TEST_F(HookListsTest, ClipboardHandlersAreKeptOnceAndCalledLastToFirst) {
    TListener a("a"), b("b");
    EXPECT_TRUE(lists.AddClipboardHandler(&b, ClipboardMethod<&TListener::ClipboardChanged>));
    EXPECT_TRUE(lists.AddClipboardHandler(&a, ClipboardMethod<&TListener::ClipboardChanged>));
    EXPECT_FALSE(lists.AddClipboardHandler(&a, ClipboardMethod<&TListener::ClipboardChanged>));
    EXPECT_TRUE(lists.AddClipboardHandler(&a, ClipboardMethod<&TListener::OtherClipboardChanged>));
    EXPECT_EQ(lists.ClipboardHandlerCount(), 3);
    lists.DispatchClipboard();
    ASSERT_EQ(calls.size(), 3u);
    // Sorted by object, so the order of calls follows the objects' order in memory, reversed;
    // both handlers of one object are next to each other.
    const bool aFirstInMemory = &a < &b;
    EXPECT_EQ(calls[0][0], aFirstInMemory ? 'b' : 'a');
    EXPECT_EQ(calls[2][0], aFirstInMemory ? 'a' : 'b');
    EXPECT_EQ(calls[1][0], 'a');
}

TEST_F(HookListsTest, RemovingAClipboardHandler) {
    TListener a("a");
    lists.AddClipboardHandler(&a, ClipboardMethod<&TListener::ClipboardChanged>);
    EXPECT_FALSE(lists.RemoveClipboardHandler(&a, ClipboardMethod<&TListener::OtherClipboardChanged>));
    EXPECT_TRUE(lists.RemoveClipboardHandler(&a, ClipboardMethod<&TListener::ClipboardChanged>));
    EXPECT_FALSE(lists.RemoveClipboardHandler(&a, ClipboardMethod<&TListener::ClipboardChanged>));
    EXPECT_EQ(lists.ClipboardHandlerCount(), 0);
    lists.DispatchClipboard();
    EXPECT_TRUE(calls.empty());
}

TEST_F(HookListsTest, DeadClipboardHandlersAreDroppedOnTheNextChange) {
    auto a = std::make_unique<TListener>("a");
    TListener b("b");
    lists.AddClipboardHandler(a.get(), ClipboardMethod<&TListener::ClipboardChanged>);
    lists.AddClipboardHandler(&b, ClipboardMethod<&TListener::ClipboardChanged>);
    a.reset();
    EXPECT_EQ(lists.ClipboardHandlerCount(), 2);
    lists.DispatchClipboard();
    EXPECT_EQ(calls, std::vector<std::string>{"b"});
    EXPECT_EQ(lists.ClipboardHandlerCount(), 1);
}

TEST_F(HookListsTest, MessageHandlersByNumber) {
    TListener a("a"), b("b");
    lists.AddMessageHandler(0x200, &a, MessageMethod<&TListener::AppMessage>);
    lists.AddMessageHandler(0x100, &b, MessageMethod<&TListener::AppMessage>);
    lists.AddMessageHandler(0x300, &a, MessageMethod<&TListener::AppMessage>);
    lists.AddMessageHandler(0x200, &b, MessageMethod<&TListener::AppMessage>);
    EXPECT_FALSE(lists.AddMessageHandler(0x200, &b, MessageMethod<&TListener::AppMessage>));
    EXPECT_EQ(lists.MessageHandlerCount(), 4);

    THookMessage m{0x200, 0, 0, 0};
    EXPECT_FALSE(lists.DispatchHookMessage(m));
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& c : calls) EXPECT_EQ(c.substr(1), ":512");
    EXPECT_EQ(m.Result, 42);

    calls.clear();
    b.answer = true;
    THookMessage other{0x100, 0, 0, 0};
    EXPECT_TRUE(lists.DispatchHookMessage(other));
    EXPECT_EQ(calls, std::vector<std::string>{"b:256"});

    calls.clear();
    THookMessage none{0x150, 0, 0, 0};
    EXPECT_FALSE(lists.DispatchHookMessage(none));
    EXPECT_TRUE(calls.empty());
}

TEST_F(HookListsTest, DestroyedObjectsLeaveTheMessageAndShortCutLists) {
    auto a = std::make_unique<TListener>("a");
    lists.AddMessageHandler(0x200, a.get(), MessageMethod<&TListener::AppMessage>);
    lists.AddShortCutHandler(65, 4, a.get(), ShortCutMethod<&TListener::ShortCut>, 1);
    a.reset();
    EXPECT_EQ(lists.MessageHandlerCount(), 0);
    EXPECT_EQ(lists.ShortCutHandlerCount(), 0);
    THookMessage m{0x200, 0, 0, 0};
    EXPECT_FALSE(lists.DispatchHookMessage(m));
    EXPECT_FALSE(lists.DispatchShortCut(65, 4));
    EXPECT_TRUE(calls.empty());
}

TEST_F(HookListsTest, ShortCutsByKeyAndShift) {
    TListener a("a"), b("b");
    a.take = false;
    lists.AddShortCutHandler(65, 4, &a, ShortCutMethod<&TListener::ShortCut>, 1);
    lists.AddShortCutHandler(65, 4, &b, ShortCutMethod<&TListener::ShortCut>, 2);
    lists.AddShortCutHandler(65, 0, &b, ShortCutMethod<&TListener::ShortCut>, 3);
    EXPECT_FALSE(lists.AddShortCutHandler(65, 0, &b, ShortCutMethod<&TListener::ShortCut>, 3));
    EXPECT_TRUE(lists.AddShortCutHandler(65, 0, &b, ShortCutMethod<&TListener::ShortCut>, 4));

    EXPECT_TRUE(lists.DispatchShortCut(65, 4));
    // Both handlers of Ctrl+A are asked until one takes it; b takes it wherever it sorts.
    EXPECT_NE(std::find(calls.begin(), calls.end(), "b#2"), calls.end());
    calls.clear();
    EXPECT_TRUE(lists.DispatchShortCut(65, 0));
    EXPECT_EQ(calls, std::vector<std::string>{"b#3"});
    calls.clear();
    EXPECT_FALSE(lists.DispatchShortCut(66, 0));
    EXPECT_TRUE(calls.empty());

    EXPECT_TRUE(lists.RemoveShortCutHandler(65, 4, &b, ShortCutMethod<&TListener::ShortCut>, 2));
    calls.clear();
    EXPECT_FALSE(lists.DispatchShortCut(65, 4));
    EXPECT_EQ(calls, std::vector<std::string>{"a#1"});
}

// A handler that removes itself and adds another while the handlers run.
class TSelfRemover : public TComponent {
public:
    explicit TSelfRemover(THookLists& lists) : lists_(lists) {}
    bool AppMessage(THookMessage&) {
        calls.push_back("remover");
        lists_.RemoveMessageHandler(0x10, this, MessageMethod<&TSelfRemover::AppMessage>);
        lists_.RemoveHandlersOf(victim);
        return false;
    }
    TComponent* victim = nullptr;

private:
    THookLists& lists_;
};

TEST_F(HookListsTest, HandlersMayRemoveHandlersWhileTheyRun) {
    TSelfRemover remover(lists);
    TListener a("a"), b("b");
    remover.victim = &a;
    lists.AddMessageHandler(0x10, &remover, MessageMethod<&TSelfRemover::AppMessage>);
    lists.AddMessageHandler(0x10, &a, MessageMethod<&TListener::AppMessage>);
    lists.AddMessageHandler(0x10, &b, MessageMethod<&TListener::AppMessage>);
    THookMessage m{0x10, 0, 0, 0};
    lists.DispatchHookMessage(m);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "remover"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "b:16"), calls.end());
    EXPECT_EQ(lists.MessageHandlerCount(), 1);
    calls.clear();
    lists.DispatchHookMessage(m);
    EXPECT_EQ(calls, std::vector<std::string>{"b:16"});
}

TEST_F(HookListsTest, ObjectlessHandlersAndNoHandler) {
    static int hits = 0;
    hits = 0;
    TClipboardProc proc = [](TComponent*) { ++hits; };
    EXPECT_TRUE(lists.AddClipboardHandler(nullptr, proc));
    EXPECT_FALSE(lists.AddClipboardHandler(nullptr, proc));
    EXPECT_FALSE(lists.AddClipboardHandler(nullptr, nullptr));
    lists.DispatchClipboard();
    EXPECT_EQ(hits, 1);
}

}  // namespace
