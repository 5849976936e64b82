// The program as a user starts it: Varnolet.exe copied alone into a fresh folder, started as a
// process of its own and driven with real keys and clicks only. A library of groups and items
// is made, renamed and thinned out, the program is closed, started again and finds everything as
// it was; once with the German texts built in, once with VarnoletEN beside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/text_node.h"
#include "nodes/node_stream.h"
#include "pictures/picture_list_win.h"
#include "tests/wine/program_run_win.h"
#include "tests/wine/widgets_testing_win.h"
#include "winui/resource_module_win.h"

namespace fs = std::filesystem;

namespace {

// Real key presses for a text: capitals with Shift.
void TypeText(const std::string& text) {
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') {
            ChordKey({VK_SHIFT}, static_cast<WORD>(c));
        } else if (c >= 'a' && c <= 'z') {
            PressKey(static_cast<WORD>(c - 'a' + 'A'));
        } else if (c == ' ') {
            PressKey(VK_SPACE);
        }
    }
}

class VarnoletProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTextNodeClasses();
        const std::string self = ProgramPath();
        bin = fs::path(self).parent_path();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / ("vn_program_" + std::string(test->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        program = folder / "Varnolet.exe";
        fs::copy_file(bin / "Varnolet.exe", program);
    }
    void TearDown() override {
        run.reset();
        if (!overrideName.empty()) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Varnolet\\Locales", 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, overrideName.c_str());
                RegCloseKey(key);
            }
        }
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // The English resource library beside the program, chosen for this program by the locale
    // override of the user's registry.
    void UseEnglish() {
        fs::copy_file(bin / "VarnoletEN.dll", folder / "Varnolet.ENU");
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Varnolet\\Locales", 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        overrideName = program.string();
        RegSetValueExA(key, overrideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("ENU"), 4);
        RegCloseKey(key);
    }

    void Launch() {
        run = std::make_unique<TProgramRun>(program);
        ASSERT_TRUE(run->Created());
    }
    // A first start tells of the missing settings and library; each message is confirmed.
    void ConfirmStartMessages(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(WaitFor([&] { return run->DialogUp(); }, 30000)) << "message " << i;
            ConfirmDialog();
        }
    }
    // Enter on the program's dialog that is up; it must go (the next one may follow at once).
    void ConfirmDialog() {
        const HWND dialog = GetForegroundWindow();
        run->Idle();
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    }
    void WaitUntilActive() {
        ASSERT_TRUE(WaitFor([&] { return run->MainWindowActive(); }, 30000));
        run->Idle();
    }
    // A new entry with Chord, renamed to Name in place.
    void NewEntry(WORD key, const std::string& name) {
        ChordKey({VK_CONTROL}, key);
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return run->Editing(); })) << name;
        PressKey(VK_HOME);
        ChordKey({VK_SHIFT}, VK_END);
        PressKey(VK_DELETE);
        TypeText(name);
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return !run->Editing(); })) << name;
        run->Idle();
    }
    void DeleteCurrent() {
        ChordKey({VK_CONTROL}, VK_DELETE);
        ASSERT_TRUE(WaitFor([&] { return run->DialogUp(); }));
        ConfirmDialog();
        ASSERT_TRUE(WaitFor([&] { return run->MainWindowActive(); }));
        run->Idle();
    }
    void CloseWithAltF4() {
        ChordKey({VK_MENU}, VK_F4);
        ASSERT_TRUE(WaitFor([&] { return run->Ended(); }, 30000));
    }
    // The quit button, first on the bottom toolbar after its gripper.
    void CloseWithQuitButton() {
        const HWND main = run->MainWindow();
        RECT client;
        GetClientRect(main, &client);
        POINT point{2 + 9 + 11, client.bottom - 13};
        ClientToScreen(main, &point);
        MouseTo(point);
        WaitForInputHandled();
        MouseButton(true);
        MouseButton(false);
        ASSERT_TRUE(WaitFor([&] { return run->Ended(); }, 30000));
    }
    std::unique_ptr<TNode> Library(const std::string& extension = ".STD") {
        return std::unique_ptr<TNode>(LoadFromFile((folder / ("Varnolet" + extension)).string()));
    }
    static std::string Outline(TNode* node) {
        std::string text = node->Text();
        if (node->ChildCount() == 0) return text;
        text += "{";
        for (int i = 0; i < node->ChildCount(); ++i) text += (i ? "," : "") + Outline(node->Child(i));
        return text + "}";
    }
    void Shot(const std::string& name) {
        std::string error;
        EXPECT_TRUE(TakeScreenshot(run->MainWindow(), name, error)) << error;
    }

    // Builds the library of the tests with real keys: two groups with items, one item renamed
    // and one deleted.
    void MakeLibrary() {
        NewEntry('G', "Briefe");
        NewEntry('T', "Gruss");
        NewEntry('T', "Termin");
        NewEntry('T', "Zusage");
        ChordKey({VK_CONTROL}, VK_HOME);
        NewEntry('G', "Angebote");
        NewEntry('T', "Muster");
        // The last row is "Zusage": it goes again.
        ChordKey({VK_CONTROL}, VK_END);
        DeleteCurrent();
        run->Idle();
    }

    fs::path bin;
    fs::path folder;
    fs::path program;
    std::string overrideName;
    std::unique_ptr<TProgramRun> run;
};

TEST_F(VarnoletProgramTest, ALibraryMadeByHandIsThereAtTheNextStart) {
    Launch();
    ConfirmStartMessages(2);
    WaitUntilActive();
    MakeLibrary();
    Shot("varnolet_program_de");
    CloseWithAltF4();

    EXPECT_TRUE(fs::exists(folder / "Varnolet.CFG"));
    EXPECT_TRUE(fs::exists(folder / "Varnolet.PIL"));
    const std::string made = "Dadirevovezi{Angebote{Muster},Briefe{Gruss,Termin}}";
    ASSERT_TRUE(fs::exists(folder / "Varnolet.STD"));
    EXPECT_EQ(Outline(Library().get()), made);

    // The second start asks nothing and shows the library; one more item goes, with the quit
    // button this time.
    Launch();
    WaitUntilActive();
    Shot("varnolet_program_de_again");
    ChordKey({VK_CONTROL}, VK_END);
    DeleteCurrent();
    CloseWithQuitButton();
    EXPECT_EQ(Outline(Library().get()), "Dadirevovezi{Angebote{Muster},Briefe{Gruss}}");
    // The library of the first run is the backup.
    EXPECT_EQ(Outline(Library(".~ST").get()), made);
}

TEST_F(VarnoletProgramTest, WithVarnoletENEveryTextIsEnglish) {
    UseEnglish();
    Launch();
    ConfirmStartMessages(2);
    WaitUntilActive();
    char caption[64] = {};
    GetWindowTextA(run->MainWindow(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Varnolet");
    MakeLibrary();
    Shot("varnolet_program_en");
    CloseWithAltF4();
    EXPECT_EQ(Outline(Library().get()), "Varnolet{Angebote{Muster},Briefe{Gruss,Termin}}");
}

}  // namespace
