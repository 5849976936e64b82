// Printing the rich edit control: the page area in twips, the exact range each page asks the
// control for, the control's own paging on a device context where the platform does it, and a
// print job that restores the program's windows, the stay-on-top windows, the current folder
// and the long-operation state on every way out.
#include <gtest/gtest.h>

#include "editor/rich_edit_print_win.h"
#include "tests/wine/rich_edit_testing_win.h"
#include "winui/dialogs_win.h"
#include "winui/gdi_scope_win.h"

namespace {

using RichEdit2PrintTest = RichEditFormTest;

TEST(RichEditPageAreaTest, PageAreaInTwipsFromPrinterPixels) {
    struct {
        RECT pageRect;
        int width, height, dpiX, dpiY;
        RECT twips;
    } const cases[] = {
        {{0, 0, 0, 0}, 4800, 6600, 600, 600, {0, 0, 11520, 15840}},
        {{0, 0, 0, 0}, 850, 1100, 100, 100, {0, 0, 12240, 15840}},
        {{60, 30, 660, 930}, 4800, 6600, 300, 150, {288, 288, 3168, 8928}},
        {{10, 10, 10, 50}, 100, 100, 100, 100, {0, 0, 1440, 1440}},  // an empty rectangle means the page
    };
    for (const auto& c : cases) {
        const RECT t = PageAreaTwips(c.pageRect, c.width, c.height, c.dpiX, c.dpiY);
        EXPECT_EQ(t.left, c.twips.left);
        EXPECT_EQ(t.top, c.twips.top);
        EXPECT_EQ(t.right, c.twips.right);
        EXPECT_EQ(t.bottom, c.twips.bottom);
    }
}

TEST_F(RichEdit2PrintTest, EachPageAsksForTheWholeAreaFromItsFirstCharacter) {
    LoadText(*editor, SampleRtf());
    TMemoryDC dc;
    std::vector<FORMATRANGE> asked;
    int releases = 0;
    {
        TMessageSpy spy(editor->Handle(), {EM_FORMATRANGE});
        spy.OnMessage = [&](UINT, WPARAM render, LPARAM range) {
            if (!range) {
                ++releases;
                return;
            }
            asked.push_back(*reinterpret_cast<const FORMATRANGE*>(range));
            EXPECT_EQ(render, static_cast<WPARAM>(TRUE));
        };
        const RECT page{100, 200, 5000, 3000};
        TRichEditPageFormatter formatter(editor->Handle(), dc, dc, page, {});
        formatter.FormatPage(0);
        formatter.FormatPage(17);
    }
    ASSERT_EQ(asked.size(), 2u);
    for (const FORMATRANGE& range : asked) {
        EXPECT_EQ(range.hdc, dc.Get());
        EXPECT_EQ(range.hdcTarget, dc.Get());
        EXPECT_EQ(range.rc.left, 100);
        EXPECT_EQ(range.rc.bottom, 3000);
        EXPECT_EQ(range.rcPage.right, 5000);
        EXPECT_EQ(range.chrg.cpMax, -1) << "to the end of the text";
    }
    EXPECT_EQ(asked[0].chrg.cpMin, 0);
    EXPECT_EQ(asked[1].chrg.cpMin, 17);
    EXPECT_EQ(releases, 1) << "the control's cached device data is let go once";
}

TEST_F(RichEdit2PrintTest, TheControlPagesALongTextOnADeviceContext) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "Zeile " + std::to_string(i) + "\r\n";
    editor->SetPlainText(true);
    LoadText(*editor, text);
    TWindowDC screen;
    const RECT page = PageAreaTwips(RECT{}, 400, 300, GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY));
    std::vector<int> starts;
    int newPages = 0;
    TRichEditPageFormatter formatter(editor->Handle(), screen, screen, page, [&] { ++newPages; });
    const int first = formatter.FormatPage(0);
    if (first == 0)
        GTEST_SKIP() << "Wine's rich edit does not format ranges (EM_FORMATRANGE is a stub that returns 0); "
                        "the page loop is tested against a fake formatter natively";
    const TPrintLoopResult result = RunPrintLoop(formatter, editor->TextLength(), {}, {});
    EXPECT_GT(result.Pages, 1);
    EXPECT_EQ(result.PrintedTo, editor->TextLength());
    EXPECT_EQ(newPages, result.Pages - 1);
}

TEST_F(RichEdit2PrintTest, AJobThatCannotStartPutsEverythingBack) {
    LoadText(*editor, SampleRtf());
    // A device context that takes no print job stands in for a printer that fails.
    TPrinter printer;
    printer.SetDeviceContext(CreateCompatibleDC(nullptr));
    auto* other = NewForm<TRichEditDemoForm>(nullptr);
    other->Show();
    WaitForInputHandled();
    form->SetFormStyle(fsStayOnTop);
    wchar_t folderBefore[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folderBefore);
    std::vector<int> actions;
    editor->OnProgress = [&](TRichEdit2&, int action, int, int) { actions.push_back(action); };
    bool windowsWereDisabled = false;
    TRichEditPrintJob job(*editor, printer);
    {
        TMessageSpy spy(other->Handle(), {WM_ENABLE});
        spy.OnMessage = [&](UINT, WPARAM enabled, LPARAM) {
            if (!enabled) windowsWereDisabled = true;
        };
        EXPECT_THROW(job.Run(), EPrinterError);
    }
    EXPECT_TRUE(windowsWereDisabled) << "the program's windows were disabled during the job";
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "stay-on-top again";
    wchar_t folderAfter[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folderAfter);
    EXPECT_STREQ(folderAfter, folderBefore);
    EXPECT_EQ(editor->ProgressAction(), paIdle);
    ASSERT_FALSE(actions.empty());
    EXPECT_EQ(actions.back(), paIdle);
    EXPECT_FALSE(printer.Printing());
    form->SetFormStyle(fsNormal);
    delete other;
}

TEST_F(RichEdit2PrintTest, PrintOnThePrinterOfTheSystem) {
    if (!Printer().HasPrinter())
        GTEST_SKIP() << "no printer is set up in Wine's prefix; the job's setup and clean-up are tested "
                        "with a device context that refuses the job";
    LoadText(*editor, SampleRtf());
    std::vector<int> actions;
    editor->OnProgress = [&](TRichEdit2&, int action, int, int) { actions.push_back(action); };
    editor->SetDocumentTitle("Probedruck");
    editor->Print();
    ASSERT_GE(actions.size(), 3u);
    EXPECT_EQ(actions.front(), paPrinting);
    EXPECT_EQ(actions.back(), paIdle);
    EXPECT_EQ(editor->ProgressAction(), paIdle);
}

TEST_F(RichEdit2PrintTest, TaskWindowsComeBackEnabled) {
    auto* other = NewForm<TRichEditDemoForm>(nullptr);
    other->Show();
    WaitForInputHandled();
    HWND hidden = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        TTaskWindowsDisabled disabled(form->Handle());
        EXPECT_TRUE(IsWindowEnabled(form->Handle())) << "the window left out stays enabled";
        EXPECT_FALSE(IsWindowEnabled(other->Handle()));
        EXPECT_TRUE(IsWindowEnabled(hidden)) << "invisible windows are left alone";
        EXPECT_EQ(std::count(disabled.Windows().begin(), disabled.Windows().end(), other->Handle()), 1);
    }
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    DestroyWindow(hidden);
    delete other;
}

}  // namespace
