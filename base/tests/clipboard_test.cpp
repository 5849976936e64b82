#include "base/clipboard.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

std::vector<uint8_t> Block(const char* text) { return std::vector<uint8_t>(text, text + std::char_traits<char>::length(text)); }

TEST(MemoryClipboard, FormatsAreNumberedByNameIgnoringCase) {
    TMemoryClipboard clip;
    const unsigned node = clip.RegisterFormat("Node Object");
    const unsigned rtf = clip.RegisterFormat("Rich Text Format");
    EXPECT_EQ(node, 0xC000u);
    EXPECT_EQ(rtf, 0xC001u);
    EXPECT_EQ(clip.RegisterFormat("NODE OBJECT"), node);
    EXPECT_EQ(clip.RegisterFormat("Rich Text Format"), rtf);
}

TEST(MemoryClipboard, FirstSetDataAfterOpenEmptiesIt) {
    TMemoryClipboard clip;
    const unsigned node = clip.RegisterFormat("Node Object");
    clip.Open();
    clip.SetData(cfText, Block("old"));
    clip.SetData(node, Block("tree"));
    clip.Close();
    EXPECT_TRUE(clip.HasFormat(node));
    clip.Open();
    EXPECT_EQ(clip.GetData(cfText), Block("old"));  // opening alone keeps the content
    clip.SetData(cfText, Block("new"));
    clip.SetData(cfText, Block("newer"));  // same format again: replaced
    clip.Close();
    EXPECT_FALSE(clip.HasFormat(node));
    EXPECT_EQ(clip.GetData(cfText), Block("newer"));
    EXPECT_TRUE(clip.GetData(node).empty());
    EXPECT_FALSE(clip.HasFormat(12345));
}

TEST(MemoryClipboard, SecondOpenRaises) {
    TMemoryClipboard clip;
    clip.Open();
    EXPECT_EQ(clip.OpenCount(), 1);
    try {
        clip.Open();
        FAIL() << "no exception";
    } catch (const EClipboardError& e) {
        EXPECT_EQ(e.Id(), sid::ClipboardOpenError);
    }
    EXPECT_EQ(clip.OpenCount(), 1);
    clip.Close();
    EXPECT_EQ(clip.OpenCount(), 0);
    clip.Close();  // closing a closed clipboard does nothing
    EXPECT_EQ(clip.OpenCount(), 0);
    clip.Open();
    clip.Close();
}

TEST(Clipboard, InstallAndRestore) {
    TClipboard& builtin = Clipboard();
    TMemoryClipboard mine;
    EXPECT_EQ(SetClipboard(&mine), &builtin);
    EXPECT_EQ(&Clipboard(), &mine);
    EXPECT_EQ(SetClipboard(nullptr), &mine);
    EXPECT_EQ(&Clipboard(), &builtin);
}

}  // namespace
