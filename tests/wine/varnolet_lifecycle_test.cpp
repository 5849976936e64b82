// The main window's life with its files: a first start in an empty folder, the settings and the
// library found again at the next start, each start step standing on its own when a file is
// damaged, a library that failed to load never written over, a moved program folder, opening
// another file, and closing while shrunk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/format.h"
#include "base/strings.h"
#include "nodes/node_stream.h"
#include "tests/wine/varnolet_testing_win.h"
#include "widgets/toolbar_layout.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class VarnoletLifecycleTest : public VarnoletWindowTest {
protected:
    bool Told(int id) {
        const std::string text = LoadStr(id);
        for (const std::string& message : ProgramMessages())
            if (message.find(text) != std::string::npos) return true;
        return false;
    }
    std::unique_ptr<TNode> ReadLibrary(const fs::path& file) {
        return std::unique_ptr<TNode>(LoadFromFile(file.string()));
    }
};

TEST_F(VarnoletLifecycleTest, AFirstStartInAnEmptyFolderWritesEverythingAtTheEnd) {
    Start();
    // Neither settings nor library: both are reported, and an empty library is shown.
    EXPECT_TRUE(Told(65148));
    EXPECT_EQ(Root()->ChildCount(), 0);
    EXPECT_EQ(Root()->Text(), "Dadirevovezi");
    ClickAt(*window->NewGroupBtn, 10, 10);
    CloseAndEnd();
    EXPECT_TRUE(fs::exists(File(".CFG")));
    EXPECT_TRUE(fs::exists(File(".PIL")));
    ASSERT_TRUE(fs::exists(File(".STD")));
    std::unique_ptr<TNode> saved = ReadLibrary(File(".STD"));
    ASSERT_EQ(saved->ChildCount(), 1);
    EXPECT_EQ(saved->Child(0)->Text(), "Neue Gruppe");
    // The saved symbols are the built-in ones.
    TPictureList list;
    list.LoadFromFile(File(".PIL").string());
    EXPECT_FALSE(list.GetPicture(SymbolTop)->IsEmpty());
}

TEST_F(VarnoletLifecycleTest, SettingsAndLibraryComeBackAtTheNextStart) {
    WriteLibrary(File(".STD"), {"Briefe"});
    Start();
    TVarnoletWin& w = *window;
    w.PItemTopMost->SetChecked(false);
    w.Perform(UM_WINDOWMODE, 0, 1);
    w.PItemAutoSave->SetChecked(true);
    w.HighlightBtn->SetDown(true);
    SetShowShortCuts(false);
    SetWindowPos(w.Handle(), nullptr, 140, 90, 260, 320, SWP_NOZORDER);
    WaitForInputHandled();
    const int panelWidth = w.P->Width();
    w.ExtraToolbar->DockTo(w.DockTop, 1, 0, true);
    CloseAndEnd();
    SetShowShortCuts(true);
    ProgramMessages().clear();
    // The library as it was before the run is the backup.
    ASSERT_TRUE(fs::exists(File(".~ST")));
    EXPECT_EQ(ChildTexts(ReadLibrary(File(".~ST")).get()), (std::vector<std::string>{"Briefe"}));

    Start();
    TVarnoletWin& again = *window;
    EXPECT_FALSE(again.PItemTopMost->Checked());
    EXPECT_EQ(GetWindowLongW(again.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(again.PItemAutoSave->Checked());
    EXPECT_FALSE(again.PItemMini->Checked());
    EXPECT_TRUE(again.HighlightBtn->Down());
    EXPECT_FALSE(ShowShortCutsInHints());
    RECT r;
    GetWindowRect(again.Handle(), &r);
    EXPECT_EQ(r.left, 140);
    EXPECT_EQ(r.top, 90);
    EXPECT_EQ(r.right - r.left, 260);
    EXPECT_EQ(r.bottom - r.top, 320);
    EXPECT_EQ(again.P->Width(), panelWidth);
    EXPECT_EQ(again.ClientWidth(), panelWidth);
    EXPECT_EQ(again.ExtraToolbar->Dock(), again.DockTop);
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Briefe"}));
    // Only a first start has something to report.
    EXPECT_TRUE(ProgramMessages().empty()) << ProgramMessages().front();
}

TEST_F(VarnoletLifecycleTest, ADamagedPictureListNeitherStopsTheLibraryNorIsOverwritten) {
    WriteLibrary(File(".STD"), {"Briefe", "Angebote"});
    WriteText(File(".PIL"), "not a picture list");
    Start();
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Angebote", "Briefe"}));
    EXPECT_FALSE(window->Symbole->GetPicture(SymbolGroup)->IsEmpty()) << "the built-in symbols stay";
    CloseAndEnd();
    EXPECT_EQ(Bytes(File(".PIL")), std::vector<uint8_t>({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e',
                                                           ' ', 'l', 'i', 's', 't'}));
}

TEST_F(VarnoletLifecycleTest, ADamagedConfigurationDoesNotStopTheLibrary) {
    WriteLibrary(File(".STD"), {"Briefe"});
    WriteText(File(".CFG"), "damaged");
    Start();
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Briefe"}));
    EXPECT_TRUE(Told(65293));
}

TEST_F(VarnoletLifecycleTest, ALibraryThatFailedToLoadIsNeverWrittenOver) {
    WriteText(File(".STD"), "this is not a library");
    const std::vector<uint8_t> before = Bytes(File(".STD"));
    Start();
    EXPECT_TRUE(Told(65148));
    EXPECT_EQ(Root()->ChildCount(), 0);
    ClickAt(*window->NewTextBtn, 10, 10);
    const std::string newName = window->FileName();
    EXPECT_NE(newName, File(".STD").string());
    CloseAndEnd();
    EXPECT_EQ(Bytes(File(".STD")), before);
    ASSERT_TRUE(fs::exists(newName));
    EXPECT_EQ(ReadLibrary(newName)->ChildCount(), 1);
}

TEST_F(VarnoletLifecycleTest, AMovedProgramFolderFindsTheLibraryByItsName) {
    // The settings name a library in the folder the program lay in before.
    WriteLibrary(dir / "Texte.STD", {"Briefe"});
    Start();
    CloseAndEnd();
    WriteValue("TApplication\\VarnoletWin\\FileName", TNodeValue::Of(std::string("C:\\Alt\\Texte.STD")));
    WriteValue("TApplication\\VarnoletWin\\Path", TNodeValue::Of(std::string("C:\\Alt\\")));
    FreeConfiguration();
    Start();
    EXPECT_EQ(window->FileName(), (dir / "Texte.STD").string());
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Briefe"}));
}

TEST_F(VarnoletLifecycleTest, OpeningAnotherFileSavesTheCurrentOneAndForgetsItsEntries) {
    WriteLibrary(File(".STD"), {"Briefe"});
    WriteLibrary(dir / "Andere.STD", {"Vertrag"});
    // The file dialog makes the folder it shows the current one; the test's folder must go
    // at its end.
    const fs::path current = fs::current_path();
    struct TBack {
        fs::path path;
        ~TBack() { fs::current_path(path); }
    } back{current};
    Start();
    ClickNode(Root()->Child(0));
    ClickAt(*window->NewTextBtn, 10, 10);
    // The open dialog takes the other file's name from the keyboard.
    Later([this] {
        for (char c : std::string("ANDERE.STD")) PressKey(c == '.' ? VK_OEM_PERIOD : c);
        PressKey(VK_RETURN);
    }, 300, [] {
        HWND dialog = GetForegroundWindow();
        wchar_t cls[64] = {};
        GetClassNameW(dialog, cls, 64);
        return std::wstring(cls) == L"#32770";
    });
    ClickAt(*window->LoadBtn, 10, 10);
    ASSERT_TRUE(WaitFor([&] { return SameText(window->FileName(), (dir / "Andere.STD").string()); }));
    WaitForInputHandled();
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Vertrag"}));
    EXPECT_EQ(window->MenuEntry(), nullptr);
    // The library left was saved under its name, its previous content kept as ".C$$".
    EXPECT_EQ(ReadLibrary(File(".STD"))->Child(0)->ChildCount(), 2);
    EXPECT_TRUE(fs::exists(File(".C$$")));
    CloseAndEnd();
    // The next start opens the other file.
    Start();
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Vertrag"}));
}

TEST_F(VarnoletLifecycleTest, ClosingWhileShrunkWritesTheFullHeight) {
    Start();
    window->PItemMini->SetChecked(true);
    SetWindowPos(window->Handle(), nullptr, 100, 60, 220, 330, SWP_NOZORDER);
    WaitForInputHandled();
    // Another window takes the activation: the main window shrinks to its caption bar.
    TForm* other = NewForm<TForm>(Application);
    other->SetBounds(500, 400, 200, 100);
    other->Show();
    ASSERT_TRUE(WaitFor([&] { return window->Shrunk(); }));
    EXPECT_EQ(window->ClientHeight(), 0);
    window->Close();
    delete window;
    window = nullptr;
    delete other;
    EXPECT_EQ(ReadInteger("TApplication\\VarnoletWin\\Height", 0), 330);
    FreeConfiguration();
    Start();
    RECT r;
    GetWindowRect(window->Handle(), &r);
    EXPECT_EQ(r.bottom - r.top, 330);
    EXPECT_FALSE(window->Shrunk());
}

}  // namespace
