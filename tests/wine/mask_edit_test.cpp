// The masked edit driven with real keys: typing over the calendar's date and year masks with
// the caret skipping the literals, refused characters, Backspace and Delete, pasting with
// Ctrl+V and Shift+Insert, the text read back with and without literals, and a plain edit
// without a mask.
#include <gtest/gtest.h>

#include "tests/wine/grid_testing_win.h"
#include "winui/mask_edit_win.h"
#include "winui/text_win.h"

namespace {

// Puts Text on the system clipboard.
void SetClipboardText(const std::string& text) {
    const std::wstring wide = WideText(text);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    auto* data = static_cast<wchar_t*>(GlobalLock(block));
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, data);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

class MaskEditTest : public GridFormTest {
protected:
    void SetUp() override {
        GridFormTest::SetUp();
        grid->SetVisible(false);
        edit = new TMaskEdit(form);
        edit->SetParent(form);
        edit->SetBounds(20, 20, 160, 24);
        edit->OnChange = [this](TControl&) { ++changes; };
        edit->SetFocus();
        WaitForInputHandled();
    }
    int Caret() {
        DWORD start = 0, end = 0;
        SendMessageW(edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return static_cast<int>(end);
    }
    void CaretTo(int position) { SendMessageW(edit->Handle(), EM_SETSEL, position, position); }

    TMaskEdit* edit = nullptr;
    int changes = 0;
};

TEST_F(MaskEditTest, TypingFillsTheDateMaskAndSkipsTheLiterals) {
    edit->SetEditMask("00.00-00.00");
    EXPECT_EQ(edit->EditText(), "__.__-__.__");
    EXPECT_EQ(edit->Text(), "");
    CaretTo(0);
    changes = 0;
    Type("24");
    EXPECT_EQ(edit->EditText(), "24.__-__.__");
    EXPECT_EQ(Caret(), 3) << "the caret went past the dot";
    Type(".12");
    EXPECT_EQ(edit->EditText(), "24.12-__.__") << "the typed dot is the literal the caret skipped";
    EXPECT_EQ(edit->Text(), "24.12") << "nothing after the last filled position";
    Shot(form->Handle(), "mask_edit_date");
    Type("x");
    EXPECT_EQ(edit->EditText(), "24.12-__.__") << "a letter has no place in the date";
    Type("2612");
    EXPECT_EQ(edit->EditText(), "24.12-26.12");
    EXPECT_EQ(edit->Text(), "24.12-26.12");
    EXPECT_TRUE(edit->IsComplete());
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(changes, 8) << "one change per character placed";
    Type("9");
    EXPECT_EQ(edit->EditText(), "24.12-26.12") << "no position after the end";
    // Overtyping in the middle.
    CaretTo(0);
    Type("3");
    EXPECT_EQ(edit->EditText(), "34.12-26.12");
}

TEST_F(MaskEditTest, CaretKeysBackspaceAndDeleteKeepTheLiterals) {
    edit->SetEditMask("00.00-00.00");
    edit->SetText("24122612");
    EXPECT_EQ(edit->EditText(), "24.12-26.12") << "a text without literals fills the positions";
    CaretTo(1);
    Key(VK_RIGHT);
    EXPECT_EQ(Caret(), 3);
    Key(VK_LEFT);
    EXPECT_EQ(Caret(), 1);
    Key(VK_END);
    EXPECT_EQ(Caret(), 11);
    CaretTo(3);
    Key(VK_BACK);
    EXPECT_EQ(edit->EditText(), "2_.12-26.12");
    EXPECT_EQ(Caret(), 1);
    CaretTo(5);
    Key(VK_DELETE);
    EXPECT_EQ(edit->EditText(), "2_.12-_6.12") << "Delete at the dash clears the next position";
    EXPECT_EQ(edit->Text(), "2 .12- 6.12");
    EXPECT_FALSE(edit->IsComplete());
    // A selection is cleared as a whole, the literals stay.
    SendMessageW(edit->Handle(), EM_SETSEL, 0, 11);
    Key(VK_DELETE);
    EXPECT_EQ(edit->EditText(), "__.__-__.__");
}

TEST_F(MaskEditTest, PastingFillsFromTheCaret) {
    edit->SetEditMask("00.00-00.00");
    SetClipboardText("3112");
    CaretTo(6);
    Key('V', {VK_CONTROL});
    EXPECT_EQ(edit->EditText(), "__.__-31.12");
    EXPECT_EQ(Caret(), 11);
    SetClipboardText("01.02.\r\nsecond line");
    CaretTo(0);
    Key(VK_INSERT, {VK_SHIFT});
    EXPECT_EQ(edit->EditText(), "01.02-31.12") << "the first line only";
    SetClipboardText("abc");
    CaretTo(0);
    Key('V', {VK_CONTROL});
    EXPECT_EQ(edit->EditText(), "01.02-31.12") << "nothing of it fits";
    // Cut keeps the literals in the edit.
    SendMessageW(edit->Handle(), EM_SETSEL, 6, 11);
    Key('X', {VK_CONTROL});
    EXPECT_EQ(edit->EditText(), "01.02-__.__");
    EXPECT_EQ(edit->Text(), "01.02");
}

TEST_F(MaskEditTest, YearMaskWithoutSavedLiteralsAndUpperCase) {
    edit->SetEditMask("0000-0000;0;*");
    EXPECT_EQ(edit->EditText(), "****-****");
    CaretTo(0);
    Type("19982000");
    EXPECT_EQ(edit->EditText(), "1998-2000");
    EXPECT_EQ(edit->Text(), "19982000") << "read back without the literals";
    edit->SetEditMask("0000-0000");
    EXPECT_EQ(edit->Text(), "1998-2000") << "a new mask keeps the text";
    edit->SetEditMask(">LL<ll");
    edit->SetText("");
    CaretTo(0);
    Type("abCD");
    EXPECT_EQ(edit->Text(), "ABcd");
    edit->SetReadOnly(true);
    CaretTo(0);
    Type("x");
    EXPECT_EQ(edit->Text(), "ABcd") << "a read-only edit takes no keys";
}

TEST_F(MaskEditTest, WithoutMaskItIsAPlainEdit) {
    EXPECT_FALSE(edit->IsMasked());
    Type("free text");
    EXPECT_EQ(edit->Text(), "free text");
    edit->SetEditMask("00");
    EXPECT_EQ(edit->EditText(), "__") << "no digits in the old text";
    edit->SetEditMask("");
    EXPECT_EQ(edit->Text(), "");
    Type("42");
    EXPECT_EQ(edit->Text(), "42");
}

}  // namespace
