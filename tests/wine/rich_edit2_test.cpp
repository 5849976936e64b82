// The rich edit control in its window: the library versions and window classes, the lines as
// the control keeps them (counts, reads, inserts with their position check, deletes), the
// selection, clearing without notifications, the re-created window keeping RTF and Modified,
// the focus keys, and the events and vetoes of its notifications.
#include <gtest/gtest.h>

#include "base/strings.h"
#include "base/string_ids.h"
#include "editor/rich_edit_errors_win.h"
#include "tests/wine/rich_edit_testing_win.h"
#include "winui/text_win.h"

namespace {

using RichEdit2Test = RichEditFormTest;

std::string WindowClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return NarrowText(name);
}

TEST_F(RichEdit2Test, NewerLibraryMakesARichEdit20AWindow) {
    EXPECT_EQ(editor->RichEditVersion(), 2);
    EXPECT_TRUE(SameText(WindowClassOf(editor->Handle()), "RichEdit20A")) << WindowClassOf(editor->Handle());
    EXPECT_EQ(SendMessageW(editor->Handle(), EM_GETEVENTMASK, 0, 0),
              static_cast<LRESULT>(ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED));
    EXPECT_EQ(SendMessageW(editor->Handle(), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFF)
        << "the text limit is raised before any text comes in";
    EXPECT_TRUE(editor->ObjectsAvailable());
}

struct LibraryCase {
    const char* name;
    std::vector<TRichEditLibrary::TCandidate> candidates;
    int version;
    const char* windowClass;
};

TEST_F(RichEdit2Test, FallsBackToTheOlderLibraryAndThenToThePlainEdit) {
    const LibraryCase cases[] = {
        {"older", {{"NOSUCHRICHED.DLL", "RichEdit20A", 2}, {"RICHED32.DLL", "RICHEDIT", 1}}, 1, "RICHEDIT"},
        {"none", {{"NOSUCHRICHED.DLL", "RichEdit20A", 2}, {"NOSUCHRICHED32.DLL", "RICHEDIT", 1}}, 0, "Edit"},
    };
    for (const LibraryCase& c : cases) {
        TRichEditLibrary library(c.candidates);
        auto* fallback = NewForm<TRichEditDemoForm>(nullptr, &library);
        fallback->Show();
        TRichEdit2& edit = *fallback->Editor;
        EXPECT_EQ(edit.RichEditVersion(), c.version) << c.name;
        EXPECT_TRUE(SameText(WindowClassOf(edit.Handle()), c.windowClass)) << c.name << ": " << WindowClassOf(edit.Handle());
        // The lines work alike over either window.
        edit.Lines().Add("eins");
        edit.Lines().Add("zwei");
        EXPECT_EQ(edit.Lines().Count(), 2) << c.name;
        EXPECT_EQ(edit.Lines().Get(1), "zwei") << c.name;
        edit.Lines().Insert(1, "mitte");
        EXPECT_EQ(edit.Lines().Get(1), "mitte") << c.name;
        EXPECT_EQ(edit.Lines().Count(), 3) << c.name;
        edit.SelAttributes().SetStyle({fsBold});
        if (c.version == 0) {
            EXPECT_FALSE(edit.ObjectsAvailable()) << "the plain edit holds no objects";
            // The plain edit tells of no selection change; a click does.
            int selections = 0;
            edit.OnSelectionChange = [&](TControl&) { ++selections; };
            fallback->BringToFrontAndActivate();
            WaitFor([&] { return GetForegroundWindow() == fallback->Handle(); });
            ClickAt(edit, 10, 10);
            EXPECT_TRUE(WaitFor([&] { return selections > 0; })) << "left button up: selection change";
        }
        delete fallback;
    }
}

TEST_F(RichEdit2Test, CountLeavesOutTheEmptyLineAfterAFinalBreak) {
    struct {
        const char* text;
        int count;
        const char* last;
    } const cases[] = {
        {"", 0, ""}, {"eins", 1, "eins"}, {"eins\r\n", 1, "eins"}, {"eins\r\nzwei", 2, "zwei"}, {"eins\r\n\r\n", 2, ""},
    };
    for (const auto& c : cases) {
        editor->Lines().SetText(c.text);
        EXPECT_EQ(editor->Lines().Count(), c.count) << c.text;
        if (c.count > 0) {
            EXPECT_EQ(editor->Lines().Get(c.count - 1), c.last) << c.text;
        }
    }
}

TEST_F(RichEdit2Test, GetCutsTheLineEndTheControlReturns) {
    editor->Lines().SetText("erste\r\nzweite\r\ndritte");
    EXPECT_EQ(editor->Lines().Get(0), "erste");
    EXPECT_EQ(editor->Lines().Get(1), "zweite");
    EXPECT_EQ(editor->Lines().Get(2), "dritte");
    EXPECT_EQ(editor->Lines().Get(7), "");
    EXPECT_EQ(editor->Lines().Get(-1), "");
    editor->SetWordWrap(false);
    const std::string longLine(5000, 'x');
    editor->Lines().SetText(longLine);
    EXPECT_EQ(editor->Lines().Get(0).size(), 4096u) << "lines come back cut at 4096";
}

TEST_F(RichEdit2Test, InsertCountsALineBreakAsOnePositionAndDropsATrailingCr) {
    editor->Lines().SetText("a\r\nb");
    // Each insert checks that the caret ends behind the inserted text; a CR LF counted as two
    // positions would raise here.
    EXPECT_NO_THROW(editor->Lines().Insert(0, "vorne"));
    EXPECT_NO_THROW(editor->Lines().Insert(1, "mit\r\nUmbruch"));
    EXPECT_NO_THROW(editor->Lines().Insert(2, "endet mit CR\r"));
    EXPECT_EQ(editor->Lines().Count(), 6);
    EXPECT_EQ(editor->Lines().Get(0), "vorne");
    EXPECT_EQ(editor->Lines().Get(1), "mit");
    EXPECT_EQ(editor->Lines().Get(2), "endet mit CR") << "the lone CR did not become an extra line";
    EXPECT_EQ(editor->Lines().Get(3), "Umbruch");
    EXPECT_EQ(editor->Lines().Get(4), "a");
    EXPECT_EQ(editor->Lines().Get(5), "b");
}

TEST_F(RichEdit2Test, InsertPastTheLastLineAppendsABreakAndTheText) {
    editor->Lines().SetText("eins\r\nzwei");
    editor->Lines().Insert(2, "drei");
    EXPECT_EQ(PlainOf(*editor), "eins\r\nzwei\r\ndrei");
    EXPECT_EQ(editor->Lines().Count(), 3);
    // After a final break the last line is empty: inserting past it lands on that line.
    editor->Lines().SetText("eins\r\n");
    editor->Lines().Insert(1, "zwei");
    EXPECT_EQ(editor->Lines().Count(), 2);
    EXPECT_EQ(editor->Lines().Get(1), "zwei");
    // Far past the end (the line before does not exist either) nothing happens.
    editor->Lines().SetText("eins");
    editor->Lines().Insert(5, "weit weg");
    EXPECT_EQ(PlainOf(*editor), "eins");
}

TEST_F(RichEdit2Test, InsertThatLandsElsewhereRaises) {
    editor->Lines().SetText("a\r\nb");
    // A control that refuses the text leaves the caret where it was.
    TMessageSpy spy(editor->Handle(), {EM_REPLACESEL});
    spy.Swallow = {EM_REPLACESEL};
    try {
        editor->Lines().Insert(0, "verweigert");
        ADD_FAILURE() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Id(), sid::RichEditInsertLine);
        EXPECT_EQ(e.Message(), LoadStr(sid::RichEditInsertLine));
    }
    EXPECT_EQ(spy.Count(EM_REPLACESEL), 1);
}

TEST_F(RichEdit2Test, PutAndDeleteWorkOnWholeLines) {
    editor->Lines().SetText("eins\r\nzwei\r\ndrei");
    editor->Lines().Put(1, "ZWEI");
    EXPECT_EQ(PlainOf(*editor), "eins\r\nZWEI\r\ndrei");
    editor->Lines().Put(-1, "nichts");
    editor->Lines().Put(9, "nichts");
    EXPECT_EQ(PlainOf(*editor), "eins\r\nZWEI\r\ndrei");
    editor->Lines().Delete(0);
    EXPECT_EQ(PlainOf(*editor), "ZWEI\r\ndrei");
    editor->Lines().Delete(1);
    EXPECT_EQ(editor->Lines().Count(), 1);
    EXPECT_EQ(editor->Lines().Get(0), "ZWEI");
    editor->Lines().Delete(4);
    EXPECT_EQ(editor->Lines().Count(), 1);
}

TEST_F(RichEdit2Test, SelectionReadsAndWritesByRichEditMessages) {
    editor->Lines().SetText(Ansi("Grüße aus Köln"));
    editor->SetSelStart(6);
    editor->SetSelLength(3);
    EXPECT_EQ(editor->SelStart(), 6);
    EXPECT_EQ(editor->SelLength(), 3);
    EXPECT_EQ(editor->SelText(), "aus");
    char buffer[3] = {};
    EXPECT_EQ(editor->GetSelTextBuf(buffer, 3), 2);
    EXPECT_STREQ(buffer, "au");
    editor->SetSelText("nach");
    EXPECT_EQ(PlainOf(*editor), Ansi("Grüße nach Köln"));
    editor->SelectAll();
    EXPECT_EQ(editor->SelText(), Ansi("Grüße nach Köln"));
    EXPECT_GE(editor->SelLength(), editor->TextLength());
}

TEST_F(RichEdit2Test, ClearTellsNobodyAndLeavesTheTextUnmodified) {
    int changes = 0;
    editor->OnChange = [&](TControl&) { ++changes; };
    editor->Lines().SetText("etwas");
    EXPECT_EQ(changes, 0) << "setting the whole text is not the user's change";
    editor->SetSelStart(5);
    editor->SetSelText("!");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(editor->Modified());
    editor->Clear();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(editor->Modified());
    EXPECT_EQ(PlainOf(*editor), "");
    EXPECT_EQ(editor->NotifyLock(), 0);
}

TEST_F(RichEdit2Test, ClearingALongTextGivesAnEmptyWindowAtOnce) {
    std::string text;
    while (text.size() < 200 * 1024) text += "eine lange Zeile Text, die sich wiederholt\r\n";
    editor->Lines().SetText(text);
    editor->SetSelStart(3);
    editor->SetSelText("x");
    ASSERT_TRUE(editor->Modified());
    editor->SetFocus();
    WaitFor([&] { return editor->Focused(); });
    int changes = 0;
    editor->OnChange = [&](TControl&) { ++changes; };
    const HWND before = editor->Handle();
    const DWORD start = GetTickCount();
    editor->Clear();
    const DWORD took = GetTickCount() - start;
    EXPECT_NE(editor->Handle(), before) << "a new window";
    EXPECT_EQ(PlainOf(*editor), "");
    EXPECT_EQ(editor->TextLength(), 0);
    EXPECT_FALSE(editor->Modified());
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(editor->Focused()) << "the focus stays with the editor";
    EXPECT_TRUE(editor->ObjectsAvailable());
    EXPECT_LT(took, 2000u);
    // The new window is a whole editor: text goes in and is typed into as before.
    LoadText(*editor, SampleRtf());
    EXPECT_EQ(editor->Lines().Get(1), "rot zentriert");
    ChordKey({VK_CONTROL}, VK_HOME);
    ChordKey({}, 'Y');
    EXPECT_TRUE(WaitFor([&] { return editor->Lines().Get(0) == "yNormal fett und kursiv"; }))
        << editor->Lines().Get(0);
}

TEST_F(RichEdit2Test, RecreatedWindowKeepsTheRtfAndModified) {
    LoadText(*editor, SampleRtf());
    editor->SetSelStart(0);
    editor->SetSelText("Neu: ");
    ASSERT_TRUE(editor->Modified());
    HWND before = editor->Handle();
    editor->SetHideScrollBars(false);  // a style change: the window is made again
    ASSERT_NE(editor->Handle(), before);
    EXPECT_TRUE(editor->Modified());
    EXPECT_EQ(editor->Lines().Get(0), "Neu: Normal fett und kursiv");
    editor->SetSelStart(12);
    editor->SetSelLength(4);
    EXPECT_TRUE(editor->SelAttributes().Style().Has(fsBold)) << "the formatting came back";
    editor->SetModified(false);
    editor->SetHideSelection(false);
    editor->RecreateWnd();
    EXPECT_FALSE(editor->Modified());
    EXPECT_TRUE(editor->ObjectsAvailable()) << "the object callback is installed again";
}

TEST_F(RichEdit2Test, CtrlTabAndShiftTabMoveTheFocusWithoutDisablingTheEditor) {
    editor->SetWantTabs(true);
    bool disabledOnTheWay = false;
    TMessageSpy spy(editor->Handle(), {WM_ENABLE});
    spy.OnMessage = [&](UINT, WPARAM enabled, LPARAM) {
        if (!enabled) disabledOnTheWay = true;
    };
    editor->SetFocus();
    WaitFor([&] { return editor->Focused(); });
    ChordKey({VK_CONTROL}, VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return form->NoteEdit->Focused(); })) << "Ctrl+Tab goes to the next control";
    editor->SetFocus();
    WaitFor([&] { return editor->Focused(); });
    ChordKey({VK_SHIFT}, VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return form->TitleEdit->Focused(); })) << "Shift+Tab goes to the previous one";
    EXPECT_FALSE(disabledOnTheWay);
    EXPECT_TRUE(editor->Enabled());
    EXPECT_EQ(PlainOf(*editor), "") << "no tab character went into the text";
    // A plain Tab goes into the text while the editor wants tabs.
    editor->SetFocus();
    WaitFor([&] { return editor->Focused(); });
    ChordKey({}, VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return PlainOf(*editor) == "\t"; })) << PlainOf(*editor);
    EXPECT_TRUE(editor->Focused());
}

TEST_F(RichEdit2Test, TypingReportsChangeAndSelectionChange) {
    int changes = 0;
    int selections = 0;
    editor->OnChange = [&](TControl&) { ++changes; };
    editor->OnSelectionChange = [&](TControl&) { ++selections; };
    editor->SetFocus();
    WaitFor([&] { return editor->Focused(); });
    ChordKey({}, 'A');
    ChordKey({}, 'B');
    EXPECT_TRUE(WaitFor([&] { return PlainOf(*editor) == "ab"; })) << PlainOf(*editor);
    EXPECT_GE(changes, 2);
    EXPECT_GE(selections, 2);
    // While the notifications are locked nobody hears of them.
    const int changesBefore = changes;
    const int selectionsBefore = selections;
    editor->LockNotify();
    ChordKey({}, 'C');
    WaitFor([&] { return PlainOf(*editor) == "abc"; });
    editor->UnlockNotify();
    EXPECT_EQ(changes, changesBefore);
    EXPECT_EQ(selections, selectionsBefore);
}

// Sends the control's notification Header to its parent as the control would.
LRESULT Notify(TRichEdit2& editor, NMHDR& header, UINT code) {
    header.hwndFrom = editor.Handle();
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(editor.Handle()));
    header.code = code;
    return SendMessageW(GetParent(editor.Handle()), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

TEST_F(RichEdit2Test, ProtectedTextVetoFollowsTheHandler) {
    // Without a handler a protected range stays as it is.
    ENPROTECTED protect{};
    protect.msg = WM_CHAR;
    protect.chrg = CHARRANGE{3, 7};
    EXPECT_EQ(Notify(*editor, protect.nmhdr, EN_PROTECTED), 1);
    int asked = 0;
    bool allow = false;
    editor->OnProtectChange = [&](TRichEdit2&, int start, int end, bool& allowChange) {
        ++asked;
        EXPECT_EQ(start, 3);
        EXPECT_EQ(end, 7);
        EXPECT_FALSE(allowChange) << "the answer starts as no";
        allowChange = allow;
    };
    EXPECT_EQ(Notify(*editor, protect.nmhdr, EN_PROTECTED), 1);
    allow = true;
    EXPECT_EQ(Notify(*editor, protect.nmhdr, EN_PROTECTED), 0);
    EXPECT_EQ(asked, 2);
    editor->LockNotify();
    EXPECT_EQ(Notify(*editor, protect.nmhdr, EN_PROTECTED), 0) << "the control's own changes are not asked about";
    editor->UnlockNotify();
    EXPECT_EQ(asked, 2);
}

TEST_F(RichEdit2Test, ProtectedTextRefusesTypingThroughTheControl) {
    editor->Lines().SetText(Ansi("geschützt"));
    editor->SelectAll();
    editor->SelAttributes().SetProtected(true);
    ASSERT_TRUE(editor->SelAttributes().Protected());
    int asked = 0;
    editor->OnProtectChange = [&](TRichEdit2&, int, int, bool& allowChange) {
        ++asked;
        allowChange = false;
    };
    editor->SetSelStart(3);
    editor->SetFocus();
    WaitFor([&] { return editor->Focused(); });
    ChordKey({}, 'X');
    WaitForInputHandled();
    if (asked == 0)
        GTEST_SKIP() << "Wine's rich edit sends no EN_PROTECTED notification (it does not protect text); "
                        "the veto itself is tested with a sent notification";
    EXPECT_EQ(PlainOf(*editor), Ansi("geschützt"));
}

TEST_F(RichEdit2Test, SaveClipboardVetoFollowsTheHandler) {
    ENSAVECLIPBOARD save{};
    save.cObjectCount = 2;
    save.cch = 40;
    EXPECT_EQ(Notify(*editor, save.nmhdr, EN_SAVECLIPBOARD), 0) << "without a handler the clipboard keeps its data";
    editor->OnSaveClipboard = [](TRichEdit2&, int objects, int chars, bool& keep) {
        EXPECT_EQ(objects, 2);
        EXPECT_EQ(chars, 40);
        EXPECT_TRUE(keep);
        keep = false;
    };
    EXPECT_EQ(Notify(*editor, save.nmhdr, EN_SAVECLIPBOARD), 1);
}

TEST_F(RichEdit2Test, RequestResizeReportsTheAskedRectangle) {
    RECT asked{};
    int calls = 0;
    editor->OnResizeRequest = [&](TRichEdit2&, const RECT& rect) {
        asked = rect;
        ++calls;
    };
    REQRESIZE resize{};
    resize.rc = RECT{1, 2, 300, 77};
    Notify(*editor, resize.nmhdr, EN_REQUESTRESIZE);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(asked.bottom, 77);
    // The control asks by itself when told to.
    editor->Lines().SetText("eins\r\nzwei\r\ndrei");
    SendMessageW(editor->Handle(), EM_REQUESTRESIZE, 0, 0);
    EXPECT_EQ(calls, 2);
    EXPECT_GT(asked.bottom - asked.top, 0);
}

BOOL CALLBACK KeepLongestText(HWND child, LPARAM longest) {
    const std::string text = WindowText(child);
    auto& kept = *reinterpret_cast<std::string*>(longest);
    if (text.size() > kept.size()) kept = text;
    return TRUE;
}

// The longest text among a window's children (a message box's message).
std::string LongestChildText(HWND window) {
    std::string longest;
    EnumChildWindows(window, KeepLongestText, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

TEST_F(RichEdit2Test, FailedObjectOperationShowsTheMessage) {
    std::string shown;
    Later([&] {
        HWND box = GetForegroundWindow();
        shown = LongestChildText(box);
        PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(box, WM_KEYUP, VK_RETURN, 0);
        PostMessageW(box, WM_CLOSE, 0, 0);
    }, 400);
    NMHDR failed{};
    Notify(*editor, failed, EN_OLEOPFAILED);
    EXPECT_NE(shown.find(LoadStr(sid::ObjectCannotOpen)), std::string::npos) << shown;
}

TEST_F(RichEdit2Test, WholeTextDataObjectCarriesTheText) {
    LoadText(*editor, SampleRtf());
    IDataObject* data = editor->WholeTextDataObject();
    ASSERT_NE(data, nullptr);
    FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&text, &medium), S_OK);
    const std::string got = NarrowText(static_cast<const wchar_t*>(GlobalLock(medium.hGlobal)));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    FORMATETC rtf{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Rich Text Format")), nullptr, DVASPECT_CONTENT, -1,
                  TYMED_HGLOBAL};
    EXPECT_EQ(data->QueryGetData(&rtf), S_OK) << "the formatted text is offered too";
    data->Release();
    EXPECT_NE(got.find("rot zentriert"), std::string::npos);
    EXPECT_NE(got.find("a\tb\tc"), std::string::npos) << "the whole text, up to its end";
}

}  // namespace
