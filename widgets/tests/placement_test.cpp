// Window placement values in a configuration node: what is written for each window state, and
// how a restored window is centred, clamped and renamed.
#include <gtest/gtest.h>

#include <memory>

#include "config/config_node.h"
#include "widgets/placement.h"

namespace {

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.reset(TNode::Create<TConfigRootNode>());
        node = TNode::Create<TConfigNode>("Form");
        root->InsertNode(-1, node, imChild);
    }
    std::string Value(const std::string& name) const { return node->Values().Values(name); }

    std::unique_ptr<TNode> root;
    TNode* node = nullptr;
};

TEST_F(PlacementTest, NormalWindowWritesItsRectangle) {
    WritePlacement(node, {psNormal, 7, "Editor", {10, 20, 300, 200}});
    EXPECT_EQ(Value("WindowState"), "0");
    EXPECT_EQ(Value("Tag"), "7");
    EXPECT_EQ(Value("Caption"), "Editor");
    EXPECT_EQ(Value("Left"), "10");
    EXPECT_EQ(Value("Top"), "20");
    EXPECT_EQ(Value("Width"), "300");
    EXPECT_EQ(Value("Height"), "200");
}

TEST_F(PlacementTest, MaximisedAndMinimisedKeepThePreviousPosition) {
    WritePlacement(node, {psNormal, 0, "A", {10, 20, 300, 200}});
    WritePlacement(node, {psMaximized, 1, "B", {0, 0, 1024, 768}});
    EXPECT_EQ(Value("WindowState"), "2");
    EXPECT_EQ(Value("Left"), "10");
    EXPECT_EQ(Value("Width"), "300");
    WritePlacement(node, {psMinimized, 1, "B", {-32000, -32000, 160, 24}});
    EXPECT_EQ(Value("WindowState"), "1");
    EXPECT_EQ(Value("Top"), "20");
    EXPECT_EQ(Value("Height"), "200");
}

TEST_F(PlacementTest, NothingToRestoreWithoutValuesOrAtTheRoot) {
    const TPlacementCurrent current{"X", 100, 100, psNormal, true, 1024, 768};
    EXPECT_FALSE(ReadPlacement(node, root.get(), current));
    root->SetValue("Left", TNodeValue::Of(int32_t{5}));
    EXPECT_FALSE(ReadPlacement(root.get(), root.get(), current));
    EXPECT_FALSE(ReadPlacement(nullptr, root.get(), current));
}

TEST_F(PlacementTest, RoundTripOfASizeableWindow) {
    WritePlacement(node, {psNormal, 0, "Editor", {40, 50, 320, 240}});
    const auto r = ReadPlacement(node, root.get(), {"Editor", 100, 100, psMaximized, true, 1024, 768});
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->Caption);
    EXPECT_EQ(r->Left, 40);
    EXPECT_EQ(r->Top, 50);
    EXPECT_TRUE(r->SetSize);
    EXPECT_EQ(r->Width, 320);
    EXPECT_EQ(r->Height, 240);
    EXPECT_EQ(r->WindowState, psNormal);
}

TEST_F(PlacementTest, FixedSizeWindowsKeepTheirSize) {
    WritePlacement(node, {psNormal, 0, "Dialog", {40, 50, 320, 240}});
    const auto r = ReadPlacement(node, root.get(), {"Dialog", 200, 150, psNormal, false, 1024, 768});
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->SetSize);
    EXPECT_EQ(r->Width, 200);
    EXPECT_EQ(r->Height, 150);
    EXPECT_EQ(r->Left, 40);
}

TEST_F(PlacementTest, CaptionsStartingWithAtAreTaken) {
    node->SetValue("Caption", TNodeValue::Of(std::string("@Mein Fenster")));
    auto r = ReadPlacement(node, root.get(), {"Old", 100, 100, psNormal, false, 1024, 768});
    ASSERT_TRUE(r && r->Caption);
    EXPECT_EQ(*r->Caption, "Mein Fenster");
    node->SetValue("Caption", TNodeValue::Of(std::string("@")));
    r = ReadPlacement(node, root.get(), {"Old", 100, 100, psNormal, false, 1024, 768});
    ASSERT_TRUE(r && r->Caption);
    EXPECT_EQ(*r->Caption, "");
    node->SetValue("Caption", TNodeValue::Of(std::string("Plain")));
    r = ReadPlacement(node, root.get(), {"Old", 100, 100, psNormal, false, 1024, 768});
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->Caption);
}

TEST_F(PlacementTest, MissingPositionCentresAndDamagedStateIsIgnored) {
    node->SetValue("Tag", TNodeValue::Of(int32_t{0}));
    node->SetValue("WindowState", TNodeValue::Of(std::string("9")));
    node->SetValue("Left", TNodeValue::Of(std::string("abc")));
    const auto r = ReadPlacement(node, root.get(), {"X", 301, 201, psMinimized, false, 1024, 768});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Left, (1024 - 301) / 2);
    EXPECT_EQ(r->Top, (768 - 201) / 2);
    EXPECT_EQ(r->WindowState, psMinimized);
}

struct TFitRow {
    const char* name;
    int left, top, width, height;
    int screenWidth, screenHeight;
    int fitLeft, fitTop;
};

TEST(FitToScreenTest, CentresAndClamps) {
    const TFitRow rows[] = {
        {"inside", 10, 20, 100, 100, 1024, 768, 10, 20},
        {"centred", -1, -1, 301, 201, 1024, 768, 361, 283},
        {"centred larger than screen", -1, -1, 1200, 900, 1024, 768, 0, 0},
        {"past the right", 1000, 20, 100, 100, 1024, 768, 924, 20},
        {"exactly at the right edge", 924, 668, 100, 100, 1024, 768, 924, 668},
        {"past the bottom", 10, 700, 100, 100, 1024, 768, 10, 668},
        {"negative", -50, -2, 100, 100, 1024, 768, 0, 0},
        {"wider than the screen", 30, 30, 2000, 100, 1024, 768, 0, 30},
    };
    for (const auto& row : rows) {
        int left = row.left, top = row.top;
        FitToScreen(left, top, row.width, row.height, row.screenWidth, row.screenHeight);
        EXPECT_EQ(left, row.fitLeft) << row.name;
        EXPECT_EQ(top, row.fitTop) << row.name;
    }
}

}  // namespace
