// The mouse tracking list: entries once, forwarding from the last to the first with the
// current target, and the forwarded-message test.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "widgets/mouse_tracking.h"

namespace {

TEST(MouseTrackingTest, AddOnceRemoveAndForwardLastToFirst) {
    TTrackingList list;
    TComponent a, b, c;
    list.Add(&a);
    list.Add(&b);
    list.Add(&a);
    list.Add(&c);
    list.Add(nullptr);
    EXPECT_EQ(list.Count(), 3);
    list.Remove(&b);
    list.Remove(&b);
    EXPECT_EQ(list.Count(), 2);

    std::vector<TComponent*> order;
    EXPECT_TRUE(list.Forward([&](TComponent* entry) {
        EXPECT_EQ(list.Current(), entry);
        order.push_back(entry);
    }));
    EXPECT_EQ(order, (std::vector<TComponent*>{&c, &a}));
    EXPECT_EQ(list.Current(), nullptr);
}

TEST(MouseTrackingTest, DestroyedEntriesLeaveEvenWhileForwarding) {
    TTrackingList list;
    auto a = std::make_unique<TComponent>();
    auto b = std::make_unique<TComponent>();
    TComponent c;
    list.Add(a.get());
    list.Add(b.get());
    list.Add(&c);
    b.reset();
    EXPECT_EQ(list.Count(), 2);
    std::vector<TComponent*> order;
    // The last entry destroys the first one while it is notified.
    list.Forward([&](TComponent* entry) {
        order.push_back(entry);
        if (entry == &c) a.reset();
    });
    EXPECT_EQ(order, std::vector<TComponent*>{&c});
    EXPECT_EQ(list.Count(), 1);
}

TEST(MouseTrackingTest, NoNestedForwarding) {
    TTrackingList list;
    TComponent a;
    list.Add(&a);
    int nested = 0;
    list.Forward([&](TComponent*) {
        if (list.Forward([&](TComponent*) { ++nested; })) ++nested;
    });
    EXPECT_EQ(nested, 0);
}

TEST(MouseTrackingTest, ForwardedMessagesOnlyForTheCurrentTarget) {
    TTrackingList list;
    TComponent a, b;
    list.Add(&a);
    list.Add(&b);
    EXPECT_FALSE(IsForwardedMouseMessage(list, &a, 0x200));
    std::vector<bool> seen;
    list.Forward([&](TComponent* entry) {
        seen.push_back(IsForwardedMouseMessage(list, entry, 0x201));
        seen.push_back(IsForwardedMouseMessage(list, entry == &a ? &b : &a, 0x201));
        seen.push_back(IsForwardedMouseMessage(list, entry, 0x100));
    });
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false, true, false, false}));
}

TEST(MouseTrackingTest, MouseMessagesAndTheirButtons) {
    struct TRow {
        uint32_t msg;
        bool mouse;
        int button;
    };
    const TRow rows[] = {
        {0x0200, true, 0}, {0x0201, true, 1}, {0x0202, true, 0}, {0x0203, true, 1},
        {0x0204, true, 2}, {0x0205, true, 0}, {0x0206, true, 2}, {0x0207, true, 4},
        {0x0208, true, 0}, {0x0209, true, 4}, {0x020A, true, 0}, {0x020B, false, 0},
        {0x01FF, false, 0}, {0x009F, false, 0}, {0x00A0, true, 0}, {0x00A1, true, 1},
        {0x00A3, true, 1}, {0x00A4, true, 2}, {0x00A7, true, 4}, {0x00A9, true, 4},
        {0x00AA, false, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsMouseMessage(row.msg), row.mouse) << std::hex << row.msg;
        EXPECT_EQ(MouseMessageButton(row.msg), row.button) << std::hex << row.msg;
    }
}

}  // namespace
