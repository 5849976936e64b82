// The crash harness: every step of every save the program makes when it closes or opens another
// library (the quick-text save at close, opening another file, the picture list, the
// configuration) is made to fail, and, separately, is where the program stops as in a crash or
// a power cut. Then the program starts and closes two more times. After every run, the newest
// library the user saved, or the one before it, must load completely at the next start; so
// must the configuration and the picture list.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>

#include "app/quick_text_file.h"
#include "base/file_system.h"
#include "base/program.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "base/tests/fault_disk.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"
#include "pictures/picture_file.h"

namespace fs = std::filesystem;

namespace {

enum TSaveKind { skClose, skOpen, skPictures, skConfig };
const char* const SaveKindNames[] = {"quick-text save at close", "opening another file", "picture list save",
                                     "configuration save"};

// The user's library: one group with one item whose text tells which run saved it.
void SetItem(TTextNode* top, const std::string& text) {
    if (top->ChildCount() == 0) TTextNode::CreateNew<TTextGroup>()->SetParent(top);
    TNode* group = top->Child(0);
    if (group->ChildCount() == 0) TTextNode::CreateNew<TTextData>()->SetParent(group);
    group->Child(0)->SetText(text);
    // A formatted text, so that a file is more than a few bytes.
    static_cast<TTextNode*>(group->Child(0))->GetDataStream().WriteBuffer(std::string(300, 'r').data(), 300);
}

std::string ItemOf(TNode* top) {
    if (!top || top->ChildCount() == 0 || top->Child(0)->ChildCount() == 0) return "";
    return top->Child(0)->Child(0)->Text();
}

TPictureFile Pictures(const std::string& text) {
    TPictureFile file;
    file.Name = "Symbole";
    file.IDMinimum = 1;
    file.IDMaximum = 1000;
    TPictureFileEntry entry;
    entry.ID = 1;
    entry.Image.ClassName = "TBitmap";
    entry.Image.Data.assign(text.begin(), text.end());
    file.Entries.push_back(entry);
    return file;
}

// What the user asked to have saved in one file, oldest first: the text and whether the save
// reported success.
struct TAttempt {
    std::string text;
    bool saved;
};

class QuickTextCrashHarness : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTextNodeClasses();
        dir = fs::temp_directory_path() / ("varnolet_crash_" + std::to_string(::getpid()));
        owner.SetName("VarnoletWin");
        SetProgramMessageHandler(nullptr);
    }
    void TearDown() override {
        SetFileSystem(nullptr);
        FreeConfiguration();
        fs::remove_all(dir);
    }

    std::string Library() const { return (dir / "Varnolet.STD").string(); }
    std::string Other() const { return (dir / "Other.STD").string(); }

    // A program folder with a library, a configuration and a picture list from earlier runs, and
    // another library beside it.
    void Prepare() {
        SetFileSystem(nullptr);
        FreeConfiguration();
        fs::remove_all(dir);
        fs::create_directories(dir);
        SetProgramFileName((dir / "Varnolet.exe").string());
        history.clear();
        std::unique_ptr<TTextNode> other(TTextNode::CreateTop());
        SetItem(other.get(), "other before");
        SaveToFile(other.get(), Other());
        fs::remove(dir / "Other.C$$");
        // Two earlier runs, so that the library and the configuration have their kept copies,
        // and a ".C$$" that an earlier opening of another file left.
        Run(-1, nullptr, skClose, false);
        Run(0, nullptr, skClose, false);
        fs::copy_file(TQuickTextFile::BackupName(Library()), dir / "Varnolet.C$$");
        history[Other()].push_back({"other before", true});
        ProgramMessages().clear();
    }

    // Installs Disk while the save of kind Kind runs, and for the rest of the run after a crash.
    void During(TSaveKind kind, TFaultDisk* disk, TSaveKind faultKind) {
        SetFileSystem(disk && (kind == faultKind || disk->Crashed()) ? disk : nullptr);
    }

    // One run of the program: start, the user's change (the item's text becomes "run N"),
    // opening the other library when asked, and the saves of the close in the program's order.
    void Run(int run, TFaultDisk* disk, TSaveKind faultKind, bool openOther) {
        const std::string text = "run " + std::to_string(run);
        SetFileSystem(nullptr);
        TQuickTextFile file(&owner);
        std::unique_ptr<TTextNode> tree = Start(file);
        if (!tree) tree.reset(TTextNode::CreateTop());
        SetItem(tree.get(), text);
        if (openOther) {
            During(skOpen, disk, faultKind);
            bool failed = false;
            const std::string current = file.FileName();
            std::unique_ptr<TTextNode> opened = file.Open(tree.get(), Other(), failed);
            // The current library was saved under its name, unless loading the other one failed first.
            history[current].push_back({text, !failed});
            if (!failed) {
                tree = std::move(opened);
                if (!tree) tree.reset(TTextNode::CreateTop());
                SetItem(tree.get(), text + " other");
            }
        }
        SetFileSystem(disk && disk->Crashed() ? disk : nullptr);
        file.StoreSettings();
        During(skClose, disk, faultKind);
        const std::string saved = ItemOf(tree.get());
        history[file.FileName()].push_back({saved, file.SaveAtEnd(tree.get())});
        During(skPictures, disk, faultKind);
        try {
            SavePictureFile((dir / "Varnolet.PIL").string(), Pictures(text));
        } catch (const std::exception& e) {
            ShowProgramMessage(e.what(), mkError);
        }
        During(skConfig, disk, faultKind);
        FreeConfiguration();
        SetFileSystem(nullptr);
    }

    // The program's start, which must get the newest library the user saved or the one before.
    std::unique_ptr<TTextNode> Start(TQuickTextFile& file) {
        std::unique_ptr<TTextNode> tree = file.LoadAtStart(ConfigurationFileExists());
        if (!history.empty()) {
            const std::vector<TAttempt>& attempts = history[file.FileName()];
            const std::string item = ItemOf(tree.get());
            EXPECT_TRUE(Acceptable(attempts, item))
                << "the start loads " << ExtractFileName(file.FileName()) << " with '" << item << "', last saved '"
                << (attempts.empty() ? "(nothing)" : attempts.back().text) << "'";
        }
        return tree;
    }

    // The item a start would get from Name when it is not the current library: the file, or
    // when it is missing the newest copy beside it that loads; "" when nothing loads.
    static std::string ItemAtStart(const std::string& name) {
        std::vector<std::string> candidates;
        if (fs::exists(name)) candidates.push_back(name);
        else candidates = TQuickTextFile::CopiesOf(name);
        for (const std::string& candidate : candidates) {
            try {
                std::unique_ptr<TNode> tree(LoadFromFile(candidate));
                return ItemOf(tree.get());
            } catch (const std::exception&) {
            }
        }
        return "";
    }

    // The newest version the user saved, or any back to the last one reported as saved.
    static bool Acceptable(const std::vector<TAttempt>& attempts, const std::string& item) {
        for (auto it = attempts.rbegin(); it != attempts.rend(); ++it) {
            if (it->text == item) return true;
            if (it->saved && it != attempts.rbegin()) return false;
        }
        return false;
    }

    void CheckEverythingLoads(const std::string& when) {
        SCOPED_TRACE(when);
        for (const auto& [name, attempts] : history) {
            const std::string item = ItemAtStart(name);
            EXPECT_TRUE(Acceptable(attempts, item))
                << ExtractFileName(name) << " gives '" << item << "', last saved '" << attempts.back().text << "'";
        }
        // The configuration comes back without the message of a new, empty one.
        ProgramMessages().clear();
        Configuration();
        for (const std::string& m : ProgramMessages())
            EXPECT_EQ(m.find(LoadStr(sid::ConfigCannotLoad)), std::string::npos) << m;
        FreeConfiguration();
        EXPECT_NO_THROW(LoadPictureFile((dir / "Varnolet.PIL").string()));
    }

    fs::path dir;
    TComponent owner;
    std::map<std::string, std::vector<TAttempt>> history;
};

}  // namespace

TEST_F(QuickTextCrashHarness, EverySaveStoppedOrFailedAtAnyStepLosesNothingOverTwoMoreRuns) {
    int cases = 0;
    for (TSaveKind kind : {skClose, skOpen, skPictures, skConfig}) {
        // How many steps this save takes when nothing goes wrong.
        Prepare();
        TFaultDisk counting;
        Run(1, &counting, kind, kind == skOpen);
        const int steps = counting.Steps();
        ASSERT_GE(steps, 4) << SaveKindNames[kind];
        std::printf("crash harness: %s, %d steps\n", SaveKindNames[kind], steps);

        for (int step = 1; step <= steps; ++step) {
            for (TFaultDisk::TFault fault : {TFaultDisk::fdFail, TFaultDisk::fdCrash}) {
                Prepare();
                TFaultDisk disk(step, fault);
                Run(1, &disk, kind, kind == skOpen);
                const std::string what = std::string(SaveKindNames[kind]) + (fault == TFaultDisk::fdCrash ? ", crash at " : ", failing ") +
                                         (size_t(step) <= disk.Log().size() ? disk.Log()[size_t(step) - 1] : "?");
                SCOPED_TRACE(what);
                ASSERT_EQ(disk.Crashed(), fault == TFaultDisk::fdCrash);
                CheckEverythingLoads("after the run with the fault");
                for (int run = 2; run <= 3; ++run) {
                    Run(run, nullptr, kind, false);  // its start checks what the run before left
                    CheckEverythingLoads("after run " + std::to_string(run));
                }
                TQuickTextFile file(&owner);
                Start(file);
                ++cases;
            }
        }
    }
    // Each case is one save stopped or failed at one step, followed by two more runs.
    std::printf("crash harness: %d cases\n", cases);
    // Create, write, commit, the failing rename onto the kept copy, its deletion and the two
    // renames for each save with a kept copy; create, write, commit and replace for the pictures.
    EXPECT_GE(cases, 2 * (7 + 7 + 4 + 7));
}

TEST_F(QuickTextCrashHarness, TheHarnessNoticesALostLibrary) {
    // Checking the checker: a library whose file and copies are gone is not acceptable.
    Prepare();
    Run(1, nullptr, skClose, false);
    for (const std::string& name : {Library(), TQuickTextFile::BackupName(Library())}) fs::remove(name);
    EXPECT_EQ(ItemAtStart(Library()), "");
    EXPECT_FALSE(Acceptable(history[Library()], ""));
    EXPECT_TRUE(Acceptable(history[Library()], "run 1"));
    EXPECT_TRUE(Acceptable({{"a", true}, {"b", false}, {"c", false}}, "a"));
    EXPECT_FALSE(Acceptable({{"a", true}, {"b", true}, {"c", false}}, "a"));
}
