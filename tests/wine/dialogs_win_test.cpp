// The common dialogs driven for real: each dialog is answered either from its OnShow event or by
// a CBT hook that watches for the dialog window, so no test waits for a user. Also the filter
// and result-buffer conversions, the custom colour lines and the printer's error paths.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/string_ids.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "winui/application_win.h"
#include "winui/dialogs_win.h"
#include "winui/form_win.h"
#include "winui/text_win.h"

namespace fs = std::filesystem;

namespace {

// Puts Name into the file name box of an open or save dialog and presses OK.
void AnswerFileDialog(HWND dialog, const std::wstring& name) {
    // The explorer-style dialogs use a combo box (cmb13) or an edit (edt1) for the name.
    for (int id : {0x47c /* cmb13 */, 0x480 /* edt1 */})
        if (HWND box = GetDlgItem(dialog, id)) SetWindowTextW(box, name.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool IsDialogWindow(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return std::wstring(name) == L"#32770";
}

// A CBT hook for the current thread: Answer is called (from a zero-delay timer, once the
// window is running its own loop) for every dialog window that becomes active.
class TDialogWatcher {
public:
    explicit TDialogWatcher(std::function<void(HWND dialog, int count)> answer) {
        current = this;
        answer_ = std::move(answer);
        hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    }
    ~TDialogWatcher() {
        UnhookWindowsHookEx(hook_);
        current = nullptr;
    }
    int Count() const { return count_; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current && IsDialogWindow(reinterpret_cast<HWND>(wParam))) {
            current->pending_.push_back(reinterpret_cast<HWND>(wParam));
            SetTimer(nullptr, 0, 50, TimerProc);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (!current || current->pending_.empty()) return;
        HWND dialog = current->pending_.front();
        current->pending_.erase(current->pending_.begin());
        if (IsWindow(dialog)) current->answer_(dialog, ++current->count_);
    }

    static TDialogWatcher* current;
    HHOOK hook_ = nullptr;
    std::function<void(HWND, int)> answer_;
    std::vector<HWND> pending_;
    int count_ = 0;
};
TDialogWatcher* TDialogWatcher::current = nullptr;

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vn_dialogs_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        form = NewForm<TForm>(Application);
        form->SetCaption("Dialoge");
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        SetForegroundWindow(form->Handle());
        WaitForInputHandled();
    }
    void TearDown() override {
        delete form;
        // The file dialogs make the folder they end in the current one, which Windows does not
        // let go.
        fs::current_path(fs::temp_directory_path());
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    // Makes an empty file in the test folder; Name is code page 1252.
    std::string MakeFile(const std::string& name) {
        const std::string path = NarrowText(dir.wstring()) + "\\" + name;
        HANDLE file = CreateFileW(WideText(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        return path;
    }

    fs::path dir;
    TForm* form = nullptr;
};

// --- conversions ---

TEST(DialogTexts, FiltersBecomeNullSeparatedLists) {
    struct Row {
        std::string filter;
        std::wstring expected;
    };
    const Row rows[] = {
        {"", std::wstring()},
        {"Rich Text Dateien (*.RTF)|*.RTF", std::wstring(L"Rich Text Dateien (*.RTF)\0*.RTF\0\0", 33)},
        {"A|*.a|B|*.b;*.c", std::wstring(L"A\0*.a\0B\0*.b;*.c\0\0", 17)},
        {"Gr\xF6\xDF" "e|*.x", std::wstring(L"Gr\u00F6\u00DFe\0*.x\0\0", 11)},
    };
    for (const Row& row : rows) EXPECT_EQ(TOpenDialog::SystemFilter(row.filter), row.expected) << row.filter;
}

TEST(DialogTexts, ResultBuffersGiveFullPaths) {
    struct Row {
        std::wstring buffer;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {std::wstring(L"C:\\a\\b.txt\0\0", 12), {"C:\\a\\b.txt"}},
        {std::wstring(L"C:\\a\0b.txt\0c.txt\0\0", 19), {"C:\\a\\b.txt", "C:\\a\\c.txt"}},
        {std::wstring(L"C:\\\0b.txt\0\0", 11), {"C:\\b.txt"}},
        {std::wstring(L"\0", 1), {}},
        // No terminator at all: the buffer's end stops the scan.
        {std::wstring(L"C:\\x", 4), {"C:\\x"}},
        {std::wstring(L"C:\\\u00E4\0\u00F6.txt\0\0", 10), {"C:\\\xE4\\\xF6.txt"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TOpenDialog::SplitFileNames(row.buffer.data(), row.buffer.size()), row.expected);
}

TEST(DialogTexts, CustomColorLinesParseAsHexadecimal) {
    struct Row {
        std::string line;
        bool ok;
        COLORREF color;
    };
    const Row rows[] = {
        {"FarbeA=00000080", true, 0x80},    {"ColorB=$FF00FF", true, 0xFF00FF},
        {"X= 123abc ", true, 0x123ABC},     {"FarbeC=", false, 0},
        {"FarbeD=@1", false, 0},            {"FarbeE=xyz", false, 0},
        {"ohne Gleichheitszeichen", false, 0}, {"F=FFFFFFFF", false, 0},
        {"F=123456789", false, 0},          {"F=a=b", false, 0},
    };
    for (const Row& row : rows) {
        COLORREF color = 0;
        EXPECT_EQ(TColorDialog::ParseCustomColor(row.line, color), row.ok) << row.line;
        if (row.ok) {
            EXPECT_EQ(color, row.color) << row.line;
        }
    }
}

// --- file dialogs ---

TEST_F(DialogsTest, OpenDialogAnsweredFromOnShowReturnsTheChosenFile) {
    const std::string name = "Gr\xF6\xDF" "e.txt";
    const std::string path = MakeFile(name);
    MakeFile("anderes.rtf");
    TOpenDialog dialog(form);
    dialog.SetInitialDir(NarrowText(dir.wstring()));
    dialog.SetFilter("Textdateien (*.TXT)|*.TXT|Alle Dateien (*.*)|*.*");
    dialog.SetTitle("\xD6" "ffnen");
    dialog.SetOptions({ofHideReadOnly, ofFileMustExist, ofPathMustExist});
    std::wstring title;
    int closed = 0;
    dialog.OnShow = [&](TCommonDialog& sender) {
        EXPECT_EQ(&sender, &dialog);
        ASSERT_NE(sender.Handle(), nullptr);
        wchar_t buffer[64] = {};
        GetWindowTextW(sender.Handle(), buffer, 64);
        title = buffer;
        AnswerFileDialog(sender.Handle(), WideText(name));
    };
    dialog.OnClose = [&](TCommonDialog& sender) {
        EXPECT_EQ(sender.Handle(), nullptr);
        ++closed;
    };
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(title, L"\u00D6ffnen");
    EXPECT_EQ(dialog.FileName(), path);
    ASSERT_EQ(dialog.Files().Count(), 1);
    EXPECT_EQ(dialog.Files().Strings(0), path);
    EXPECT_EQ(dialog.FilterIndex(), 1);
    EXPECT_FALSE(dialog.Options().Has(ofReadOnly));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST_F(DialogsTest, CancelledOpenDialogKeepsTheOldName) {
    TOpenDialog dialog(form);
    dialog.SetFileName("vorher.std");
    dialog.OnShow = [](TCommonDialog& sender) { PressButton(sender.Handle(), IDCANCEL); };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.LastError(), 0u);
    EXPECT_EQ(dialog.FileName(), "vorher.std");
}

TEST_F(DialogsTest, MultiSelectReturnsEveryFile) {
    const std::string a = MakeFile("a.txt");
    const std::string b = MakeFile("b.txt");
    TOpenDialog dialog(form);
    dialog.SetInitialDir(NarrowText(dir.wstring()));
    dialog.SetOptions({ofAllowMultiSelect, ofFileMustExist});
    dialog.OnShow = [](TCommonDialog& sender) { AnswerFileDialog(sender.Handle(), L"\"a.txt\" \"b.txt\""); };
    ASSERT_TRUE(dialog.Execute());
    std::vector<std::string> files = dialog.Files().Lines();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{a, b}));
}

TEST_F(DialogsTest, SaveDialogAddsTheDefaultExtension) {
    TSaveDialog dialog(form);
    dialog.SetInitialDir(NarrowText(dir.wstring()));
    dialog.SetFilter("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
    dialog.SetDefaultExt(".RTF");
    dialog.SetOptions({ofOverwritePrompt, ofHideReadOnly});
    // This time a CBT hook finds and answers the dialog.
    TDialogWatcher watcher([](HWND dialog, int) { AnswerFileDialog(dialog, L"brief"); });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(watcher.Count(), 1);
    // The letter case of the appended extension is the system's choice.
    const std::string expected = NarrowText(dir.wstring()) + "\\brief.rtf";
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, dialog.FileName().c_str(), -1,
                             expected.c_str(), -1), CSTR_EQUAL) << dialog.FileName();
}

TEST_F(DialogsTest, SaveOverAnExistingFileAsksFirst) {
    const std::string path = MakeFile("alt.txt");
    struct Row {
        int answer;
        bool expected;
    };
    for (const Row& row : {Row{IDYES, true}, Row{IDNO, false}}) {
        TSaveDialog dialog(form);
        dialog.SetInitialDir(NarrowText(dir.wstring()));
        dialog.SetOptions({ofOverwritePrompt});
        // The first dialog is the save dialog; the second the overwrite question. After No the
        // save dialog stays open and is cancelled.
        TDialogWatcher watcher([&row](HWND dialog, int count) {
            if (count == 1) AnswerFileDialog(dialog, L"alt.txt");
            if (count == 2) PressButton(dialog, row.answer);
            if (count == 3) PressButton(dialog, IDCANCEL);
        });
        EXPECT_EQ(dialog.Execute(), row.expected) << row.answer;
        EXPECT_GE(watcher.Count(), 2) << row.answer;
        if (row.expected) {
            EXPECT_EQ(dialog.FileName(), path);
        }
    }
}

// --- colour and font ---

TEST_F(DialogsTest, ColorDialogReturnsTheColorAndKeepsCustomColorLines) {
    TColorDialog dialog(form);
    dialog.SetColor(0x336699);
    dialog.CustomColors().SetLines({"FarbeA=80", "FarbeB=xyz", "FarbeC=$FF0000"});
    dialog.OnShow = [](TCommonDialog& sender) { PressButton(sender.Handle(), IDOK); };
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color(), 0x336699);
    EXPECT_EQ(dialog.CustomColors().Lines(),
              (std::vector<std::string>{"FarbeA=00000080", "FarbeB=xyz", "FarbeC=00ff0000"}));

    dialog.OnShow = [](TCommonDialog& sender) { PressButton(sender.Handle(), IDCANCEL); };
    dialog.SetColor(clRed);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Color(), clRed);
}

int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
    if (type & TRUETYPE_FONTTYPE) reinterpret_cast<std::vector<std::string>*>(data)->push_back(NarrowText(font->lfFaceName));
    return 1;
}

// A TrueType face the system has: one of the usual ones, else the first it lists.
std::string InstalledFace() {
    std::vector<std::string> faces;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, dc);
    for (const char* usual : {"Tahoma", "Arial", "DejaVu Sans", "Liberation Sans"})
        if (std::find(faces.begin(), faces.end(), usual) != faces.end()) return usual;
    return faces.empty() ? std::string() : faces.front();
}

TEST_F(DialogsTest, FontDialogTakesTheChosenFont) {
    const std::string face = InstalledFace();
    if (face.empty()) GTEST_SKIP() << "no TrueType font installed";
    TFontDialog dialog(form);
    dialog.Font().SetName(face);
    dialog.Font().SetSize(12);
    dialog.Font().SetStyle({fsBold});
    dialog.Font().SetColor(clMaroon);
    HWND shown = nullptr;
    dialog.OnShow = [&](TCommonDialog& sender) { shown = sender.Handle(); };
    // The watcher answers once the dialog runs; it photographs it first.
    TDialogWatcher watcher([&](HWND window, int) {
        EXPECT_EQ(window, shown);
        std::string error;
        EXPECT_TRUE(TakeScreenshot(window, "font_dialog", error)) << error;
        PressButton(window, IDOK);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(watcher.Count(), 1);
    EXPECT_EQ(dialog.Font().Name(), face);
    EXPECT_EQ(dialog.Font().Size(), 12);
    EXPECT_TRUE(dialog.Font().Style().Has(fsBold));
    EXPECT_FALSE(dialog.Font().Style().Has(fsItalic));
    EXPECT_EQ(dialog.Font().Color(), clMaroon);
}

// --- printing ---

TEST_F(DialogsTest, PrintDialogNeverHangs) {
    TPrintDialog dialog(form);
    dialog.SetCopies(2);
    // Whatever shows up (the print dialog, or a note that there is no printer) is cancelled.
    TDialogWatcher watcher([](HWND dialog, int) { PressButton(dialog, IDCANCEL); });
    const bool hasPrinter = Printer().HasPrinter();
    EXPECT_FALSE(dialog.Execute());
    if (!hasPrinter) EXPECT_NE(dialog.LastError(), 0u);
    else EXPECT_EQ(dialog.LastError(), 0u);
    EXPECT_EQ(dialog.Copies(), 2);
}

TEST_F(DialogsTest, PrinterRefusesCallsOutOfOrder) {
    TPrinter printer;
    struct Row {
        const char* name;
        std::function<void()> call;
    };
    const Row rows[] = {{"EndDoc", [&] { printer.EndDoc(); }},
                        {"NewPage", [&] { printer.NewPage(); }},
                        {"Abort", [&] { printer.Abort(); }}};
    for (const Row& row : rows) {
        try {
            row.call();
            ADD_FAILURE() << row.name;
        } catch (const EPrinterError& e) {
            EXPECT_EQ(e.Id(), sid::NotPrinting) << row.name;
        }
    }
    EXPECT_FALSE(printer.Printing());
    if (!printer.HasPrinter()) {
        try {
            printer.BeginDoc();
            ADD_FAILURE() << "BeginDoc without a printer";
        } catch (const EPrinterError& e) {
            EXPECT_EQ(e.Id(), sid::NoDefaultPrinter);
        }
    } else {
        EXPECT_GT(printer.PageWidth(), 0);
        EXPECT_GT(printer.PageHeight(), 0);
    }
    // A device context that cannot print: the job does not start, and nothing is left open.
    printer.SetDeviceContext(CreateCompatibleDC(nullptr));
    try {
        printer.BeginDoc();
        ADD_FAILURE() << "BeginDoc on a memory device context";
    } catch (const EPrinterError& e) {
        EXPECT_EQ(e.Id(), sid::PrintStartError);
    }
    EXPECT_FALSE(printer.Printing());
}

}  // namespace
