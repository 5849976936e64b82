// Window-free application services: busy nesting, held input, shortcut hints and the component
// search.
#include <gtest/gtest.h>

#include "widgets/app_services.h"

namespace {

TEST(AppServicesTest, BusyCounterNestsAndNeverGoesBelowZero) {
    TBusyCounter busy;
    int cursor = 123;
    EXPECT_FALSE(busy.End(cursor));
    EXPECT_EQ(cursor, 123);
    EXPECT_EQ(busy.Count(), 0);
    EXPECT_EQ(busy.Begin(), BusyCursorHourGlass);
    EXPECT_EQ(busy.Begin(), BusyCursorHourGlass);
    EXPECT_TRUE(busy.End(cursor));
    EXPECT_EQ(cursor, BusyCursorHourGlass);
    EXPECT_TRUE(busy.End(cursor));
    EXPECT_EQ(cursor, BusyCursorDefault);
    EXPECT_FALSE(busy.End(cursor));
    EXPECT_EQ(busy.Count(), 0);
}

TEST(AppServicesTest, InputHeldIgnoresTheModifiers) {
    std::array<uint8_t, 256> keys{};
    EXPECT_FALSE(IsInputHeldIn(false, false, keys));
    EXPECT_TRUE(IsInputHeldIn(true, false, keys));
    EXPECT_TRUE(IsInputHeldIn(false, true, keys));
    for (int modifier : {16, 17, 18, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}) keys[modifier] = 0x80;
    EXPECT_FALSE(IsInputHeldIn(false, false, keys));
    keys[0x41] = 0x01;  // toggled only, not down
    EXPECT_FALSE(IsInputHeldIn(false, false, keys));
    for (int key : {0x01, 0x41, 0x20, 0xFF}) {
        std::array<uint8_t, 256> one{};
        one[key] = 0x81;
        EXPECT_TRUE(IsInputHeldIn(false, false, one)) << key;
    }
}

TEST(AppServicesTest, HintsWithShortCuts) {
    EXPECT_EQ(HintWithShortCut("Kopieren", "Strg+C"), "Kopieren (Strg+C)");
    EXPECT_EQ(HintWithShortCut("Kopieren", ""), "Kopieren");
    SetShowShortCutsInHints(false);
    EXPECT_EQ(HintWithShortCut("Kopieren", "Strg+C"), "Kopieren");
    SetShowShortCutsInHints(true);
    EXPECT_EQ(HintWithShortCut("100 %", "F5"), "100 % (F5)");
}

TEST(AppServicesTest, ForEachComponentIsDepthFirst) {
    TComponent root;
    auto* a = new TComponent(&root);
    auto* a1 = new TComponent(a);
    auto* a2 = new TComponent(a);
    auto* b = new TComponent(&root);
    a->SetName("A");
    a1->SetName("A1");
    a2->SetName("A2");
    b->SetName("B");
    std::vector<std::string> visited;
    EXPECT_EQ(ForEachComponent(&root, [&](TComponent* c) {
                  visited.push_back(c->Name());
                  return false;
              }),
              nullptr);
    EXPECT_EQ(visited, (std::vector<std::string>{"A", "A1", "A2", "B"}));
    EXPECT_EQ(ForEachComponent(&root, [](TComponent* c) { return c->Name() == "A2"; }), a2);
    EXPECT_EQ(ForEachComponent(nullptr, [](TComponent*) { return true; }), nullptr);
}

}  // namespace
