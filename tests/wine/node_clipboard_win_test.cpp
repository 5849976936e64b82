// Node subtrees on the real clipboard: the "Node Object" block and its text form, pasted back
// into another tree; and the program's data resources as seen by the node streams.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/resource_data_win.h"
#include "base/string_ids.h"
#include "nodes/node_stream.h"
#include "winui/clipboard_win.h"

namespace {

std::unique_ptr<TNode> Tree() {
    std::unique_ptr<TNode> root(TNode::Create<TNode>("root"));
    TNode* group = TNode::Create<TNode>("Briefe");
    group->SetParent(root.get());
    TNode* item = TNode::Create<TNode>("Gr\xFC\xDF" "e");
    item->SetBitmap(4);
    item->SetParent(group);
    return root;
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(block))) {
            text = p;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

TEST(NodeClipboardWin, CopyPutsTheBlockAndTheTextForm) {
    TWin32Clipboard clipboard;
    auto tree = Tree();
    TNode* group = tree->Child(0);
    group->CopyToClipboard(clipboard);

    const UINT format = RegisterClipboardFormatA("Node Object");
    EXPECT_TRUE(IsClipboardFormatAvailable(format));
    const std::string text = ClipboardText();
    EXPECT_EQ(text.rfind("object TNodeObject", 0), 0u) << text;
    EXPECT_NE(text.find("'Briefe'"), std::string::npos) << text;

    std::unique_ptr<TNode> target(TNode::Create<TNode>("target"));
    TNode::Create<TNode>("zzz")->SetParent(target.get());
    target->PasteFromClipboard(clipboard);
    ASSERT_EQ(target->ChildCount(), 2);
    TNode* pasted = target->Child(0);  // a paste goes first
    EXPECT_EQ(pasted->Text(), "Briefe");
    ASSERT_EQ(pasted->ChildCount(), 1);
    EXPECT_EQ(pasted->Child(0)->Text(), "Gr\xFC\xDF" "e");
    EXPECT_EQ(pasted->Child(0)->Bitmap(), 4);
    EXPECT_TRUE(pasted->State().Has(nsCopied));
    EXPECT_EQ(target->Count(), 3);
}

TEST(NodeClipboardWin, PasteWithoutANodeObjectChangesNothing) {
    TWin32Clipboard clipboard;
    clipboard.Open();
    clipboard.SetData(cfText, {'h', 'i', 0});
    clipboard.Close();
    std::unique_ptr<TNode> target(TNode::Create<TNode>("target"));
    target->PasteFromClipboard(clipboard);
    EXPECT_EQ(target->ChildCount(), 0);
}

TEST(NodeResourcesWin, AMissingResourceFailsWithItsName) {
    InstallResourceReader();
    std::vector<uint8_t> data;
    EXPECT_FALSE(ReadDataResource("KONFIGURATION", data));
    try {
        LoadFromResource("Konfiguration");
        FAIL() << "no error";
    } catch (const EResNotFound& e) {
        EXPECT_NE(e.Message().find("Konfiguration"), std::string::npos) << e.Message();
    }
    SetResourceReader(nullptr);
}
