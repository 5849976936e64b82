// The quick-text nodes' picture answers over a real picture list: the symbol's entry goes into
// the grid's draw record, unstretched pictures widen the symbol slot and raise the row height,
// and numbers without a picture leave both as they are.
#include <gtest/gtest.h>

#include <memory>

#include "app/symbol_pictures_win.h"
#include "app/text_node.h"
#include "nodes/node_picture_info.h"
#include "pictures/picture_list_win.h"
#include "tests/wine/pictures_testing_win.h"

namespace {

class SymbolPicturesWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        TPictureEntry* group = list.AddPicture(SymbolGroup);
        group->SetGraphic(std::unique_ptr<TGraphic>(Filled(24, 15, clRed).release()));
        TPictureEntry* text = list.AddPicture(SymbolText);
        text->SetGraphic(std::unique_ptr<TGraphic>(Filled(16, 16, clBlue).release()));
        text->SetOption(text->Option() + poStretch);
        SetSymbolPictures(&symbols);
    }
    void TearDown() override { SetSymbolPictures(nullptr); }

    TNodePictureInfo DrawInfo(TNode& node) {
        TNodePictureInfo info;
        info.Symbol.Rect = {4, 0, 20, 18};
        EXPECT_EQ(node.SendNodeMessage(NM_NODEDRAWINFO, 0xFFFF, reinterpret_cast<intptr_t>(&info)), 1);
        return info;
    }

    TPictureList list;
    TPictureListSymbols symbols{list};
};

}  // namespace

TEST_F(SymbolPicturesWinTest, AnUnstretchedSymbolWidensItsSlotAndRow) {
    std::unique_ptr<TTextGroup> group(TTextNode::CreateNew<TTextGroup>());
    const TNodePictureInfo info = DrawInfo(*group);
    EXPECT_EQ(info.Symbol.ID, SymbolGroup);
    EXPECT_EQ(info.Symbol.Picture, list.GetPicture(SymbolGroup));
    EXPECT_EQ(info.Symbol.Rect.Right, 4 + 24 + 2);
    // 15 + 2 rounded down to even.
    EXPECT_EQ(group->SendNodeMessage(NM_NODEROWHEIGHT, 14, -1), 16);
    EXPECT_EQ(group->SendNodeMessage(NM_NODEROWHEIGHT, 18, -1), 18);
}

TEST_F(SymbolPicturesWinTest, StretchedAndMissingPicturesKeepTheGridsMeasures) {
    std::unique_ptr<TTextData> item(TTextNode::CreateNew<TTextData>());
    TNodePictureInfo info = DrawInfo(*item);
    EXPECT_EQ(info.Symbol.Picture, list.GetPicture(SymbolText));
    EXPECT_EQ(info.Symbol.Rect.Right, 20);
    EXPECT_EQ(item->SendNodeMessage(NM_NODEROWHEIGHT, 12, -1), 12);

    item->SetBitmap(9);  // no picture of this number
    info = DrawInfo(*item);
    EXPECT_EQ(info.Symbol.ID, 9);
    EXPECT_EQ(info.Symbol.Picture, nullptr);
    EXPECT_EQ(info.Symbol.Rect.Right, 20);
    EXPECT_EQ(item->SendNodeMessage(NM_NODEROWHEIGHT, 12, -1), 12);
}
