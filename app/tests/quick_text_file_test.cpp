// The quick-text file procedures: which file is loaded at start, the symbol reset of a first
// start, the backup rotation over two runs, opening another file, and that neither a damaged
// library nor a save that fails at any step can cost the user the last good copy.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/quick_text_file.h"
#include "base/file_system.h"
#include "base/format.h"
#include "base/program.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A library with one group holding one item called Name.
std::unique_ptr<TTextNode> Library(const std::string& name) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
    group->SetParent(top.get());
    TTextData* item = TTextNode::CreateNew<TTextData>();
    item->SetText(name);
    item->SetParent(group);
    return top;
}

// The name of the item of a library file, or "" when the file does not load.
std::string ItemIn(const fs::path& path) {
    try {
        std::unique_ptr<TNode> tree(LoadFromFile(path.string()));
        return tree->Child(0)->Child(0)->Text();
    } catch (const std::exception&) {
        return "";
    }
}

class QuickTextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTextNodeClasses();
        dir = fs::temp_directory_path() / ("varnolet_std_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        SetProgramFileName((dir / "Varnolet.exe").string());
        ProgramMessages().clear();
        owner.SetName("VarnoletWin");
    }
    void TearDown() override {
        SetFileSystem(nullptr);
        FreeConfiguration();
        fs::remove_all(dir);
    }
    fs::path Std() const { return dir / "Varnolet.STD"; }
    fs::path Backup() const { return dir / "Varnolet.~ST"; }
    // One run of the program: load at start, let Change alter the tree, save at the end.
    void Run(const std::function<void(TTextNode*)>& change) {
        const bool configExisted = fs::exists(dir / "Varnolet.CFG");
        TQuickTextFile file(&owner);
        std::unique_ptr<TTextNode> tree = file.LoadAtStart(configExisted);
        if (!tree) tree.reset(TTextNode::CreateTop());
        change(tree.get());
        file.StoreSettings();
        file.SaveAtEnd(tree.get());
        FreeConfiguration();
    }

    fs::path dir;
    TComponent owner;
};

}  // namespace

TEST_F(QuickTextFileTest, TwoRunsLeaveThePreviousTreeInTheBackup) {
    SaveToFile(Library("first").get(), Std().string());
    fs::remove(dir / "Varnolet.C$$");
    Run([](TTextNode* t) { t->Child(0)->Child(0)->SetText("second"); });
    Run([](TTextNode* t) { t->Child(0)->Child(0)->SetText("third"); });
    EXPECT_EQ(ItemIn(Std()), "third");
    EXPECT_EQ(ItemIn(Backup()), "second");
    // Neither the save at close nor the configuration, which shares the program's name, makes
    // a ".C$$": that name is left to opening another file.
    EXPECT_FALSE(fs::exists(dir / "Varnolet.C$$"));
    EXPECT_TRUE(fs::exists(dir / "Varnolet.~CF"));
    EXPECT_FALSE(fs::exists(TQuickTextFile::TempName(Std().string())));
}

TEST_F(QuickTextFileTest, AFirstStartResetsTheSymbols) {
    auto library = Library("item");
    library->SetBitmap(9);
    library->Child(0)->SetBitmap(7);
    library->Child(0)->Child(0)->SetBitmap(8);
    SaveToFile(library.get(), Std().string());
    TQuickTextFile file(&owner);
    auto tree = file.LoadAtStart(false);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Bitmap(), SymbolTop);
    EXPECT_EQ(tree->Child(0)->Bitmap(), SymbolGroup);
    EXPECT_EQ(tree->Child(0)->Child(0)->Bitmap(), SymbolText);

    TQuickTextFile again(&owner);
    auto kept = again.LoadAtStart(true);
    EXPECT_EQ(kept->Child(0)->Bitmap(), 7);
}

TEST_F(QuickTextFileTest, TheSettingsNameTheFileAndAMovedProgramLooksBesideItself) {
    const fs::path other = dir / "elsewhere";
    fs::create_directories(other);
    SaveToFile(Library("away").get(), (other / "Texte.STD").string());
    SaveToFile(Library("here").get(), (dir / "Texte.STD").string());

    // Same program folder as at the last close: the full name is used.
    WriteComponentValue(&owner, "FileName", TNodeValue::Of((other / "Texte.STD").string()));
    WriteComponentValue(&owner, "Path", TNodeValue::Of(ExtractFilePath(ProgramFileName())));
    TQuickTextFile same(&owner);
    EXPECT_EQ(same.LoadAtStart(true)->Child(0)->Child(0)->Text(), "away");

    // The program was somewhere else at the last close: the old name in the new folder.
    WriteComponentValue(&owner, "Path", TNodeValue::Of(std::string("/old/program/")));
    TQuickTextFile moved(&owner);
    EXPECT_EQ(moved.LoadAtStart(true)->Child(0)->Child(0)->Text(), "here");
    EXPECT_EQ(moved.FileName(), (dir / "Texte.STD").string());

    // A name that does not exist falls back to the program's own file.
    SaveToFile(Library("default").get(), Std().string());
    WriteComponentValue(&owner, "FileName", TNodeValue::Of(std::string("Missing.STD")));
    TQuickTextFile missing(&owner);
    EXPECT_EQ(missing.LoadAtStart(true)->Child(0)->Child(0)->Text(), "default");
}

TEST_F(QuickTextFileTest, AMissingFileShowsTheMessageAndIsCreatedAtTheEnd) {
    TQuickTextFile file(&owner);
    EXPECT_EQ(file.LoadAtStart(false), nullptr);
    ASSERT_EQ(ProgramMessages().size(), 1u);
    EXPECT_EQ(ProgramMessages()[0], LoadStr(sid::QuickTextCannotLoad));
    EXPECT_EQ(LastProgramMessageKind(), mkError);
    EXPECT_EQ(file.FileName(), Std().string());
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    EXPECT_TRUE(file.SaveAtEnd(top.get()));
    EXPECT_TRUE(fs::exists(Std()));
    EXPECT_FALSE(fs::exists(Backup()));
}

TEST_F(QuickTextFileTest, ADamagedLibraryAndItsBackupSurviveTheNextSaves) {
    SaveToFile(Library("backup").get(), Backup().string());
    auto damaged = Bytes(Backup());
    damaged.resize(damaged.size() / 2);
    WriteBytes(Std(), damaged);
    const auto backup = Bytes(Backup());

    for (int run = 0; run < 2; ++run) {
        TQuickTextFile file(&owner);
        auto tree = file.LoadAtStart(true);
        if (run == 0) {
            EXPECT_EQ(tree, nullptr);
            ASSERT_FALSE(ProgramMessages().empty());
            const std::string& message = ProgramMessages().back();
            EXPECT_EQ(message.find(LoadStr(sid::QuickTextCannotLoad)), 0u);
            EXPECT_NE(message.find(Std().string()), std::string::npos);
            EXPECT_NE(message.find("Varnolet-1.STD"), std::string::npos);
            tree.reset(TTextNode::CreateTop());
        }
        ASSERT_NE(tree, nullptr);
        file.StoreSettings();
        EXPECT_TRUE(file.SaveAtEnd(tree.get()));
        FreeConfiguration();
    }
    EXPECT_EQ(Bytes(Std()), damaged);
    EXPECT_EQ(Bytes(Backup()), backup);
    EXPECT_TRUE(fs::exists(dir / "Varnolet-1.STD"));
    EXPECT_TRUE(fs::exists(dir / "Varnolet-1.~ST"));  // the second run rotated the new file
}

TEST_F(QuickTextFileTest, OpeningAnotherFileSavesTheCurrentOneAside) {
    SaveToFile(Library("current").get(), Std().string());
    fs::remove(dir / "Varnolet.C$$");
    const fs::path other = dir / "Other.STD";
    SaveToFile(Library("other").get(), other.string());
    TQuickTextFile file(&owner);
    auto current = file.LoadAtStart(true);
    current->Child(0)->Child(0)->SetText("edited");
    bool failed = true;
    auto opened = file.Open(current.get(), other.string(), failed);
    EXPECT_FALSE(failed);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->Child(0)->Child(0)->Text(), "other");
    EXPECT_EQ(file.FileName(), other.string());
    EXPECT_EQ(ItemIn(Std()), "edited");
    EXPECT_EQ(ItemIn(dir / "Varnolet.C$$"), "current");
    EXPECT_FALSE(fs::exists(Backup()));

    auto fresh = file.Open(opened.get(), (dir / "New.STD").string(), failed);
    EXPECT_FALSE(failed);
    EXPECT_EQ(fresh, nullptr);  // a new, empty library
    EXPECT_EQ(file.FileName(), (dir / "New.STD").string());

    WriteBytes(dir / "Broken.STD", {0xFF, 0x0A, 0, 'X'});
    auto broken = file.Open(opened.get(), (dir / "Broken.STD").string(), failed);
    EXPECT_TRUE(failed);
    EXPECT_EQ(file.FileName(), (dir / "New.STD").string());
}

namespace {

// The disk, except that the Nth changing operation fails: a create, a write (counted per
// call), a rename or a delete. Counts the operations so that a test can try every step.
class TFailingDisk : public TDiskFileSystem {
public:
    explicit TFailingDisk(int failAt) : failAt_(failAt) {}
    int Operations() const { return count_; }

    bool RenameFile(const std::string& from, const std::string& to) override {
        return Step() && TDiskFileSystem::RenameFile(from, to);
    }
    bool DeleteFile(const std::string& fileName) override {
        return Step() && TDiskFileSystem::DeleteFile(fileName);
    }
    std::unique_ptr<TStream> Create(const std::string& fileName) override {
        if (!Step()) throw EFCreateError(sid::FCreateError, {fileName});
        return std::make_unique<TCountingStream>(*this, TDiskFileSystem::Create(fileName));
    }

private:
    class TCountingStream : public TStream {
    public:
        TCountingStream(TFailingDisk& disk, std::unique_ptr<TStream> file) : disk_(disk), file_(std::move(file)) {}
        size_t Read(void* b, size_t n) override { return file_->Read(b, n); }
        size_t Write(const void* b, size_t n) override { return disk_.Step() ? file_->Write(b, n) : 0; }
        int64_t Seek(int64_t o, TSeekOrigin origin) override { return file_->Seek(o, origin); }
        void SetSize(int64_t s) override { file_->SetSize(s); }
        void Commit() override { file_->Commit(); }

    private:
        TFailingDisk& disk_;
        std::unique_ptr<TStream> file_;
    };

    bool Step() { return ++count_ != failAt_; }
    int failAt_;
    int count_ = 0;
};

}  // namespace

TEST_F(QuickTextFileTest, ASaveThatFailsAtAnyStepKeepsTheLastGoodCopy) {
    // How many steps a save takes when nothing fails.
    SaveToFile(Library("older").get(), Backup().string());
    SaveToFile(Library("previous").get(), Std().string());
    const auto previous = Bytes(Std());
    const auto older = Bytes(Backup());
    int steps;
    {
        TQuickTextFile file(&owner);
        TFailingDisk counting(0);
        SetFileSystem(&counting);
        EXPECT_TRUE(file.SaveAtEnd(Library("new").get()));
        SetFileSystem(nullptr);
        steps = counting.Operations();
    }
    ASSERT_GT(steps, 3);

    for (int failAt = 1; failAt <= steps; ++failAt) {
        WriteBytes(Std(), previous);
        WriteBytes(Backup(), older);
        fs::remove(TQuickTextFile::TempName(Std().string()));
        ProgramMessages().clear();
        TQuickTextFile file(&owner);
        TFailingDisk disk(failAt);
        SetFileSystem(&disk);
        const bool saved = file.SaveAtEnd(Library("new").get());
        SetFileSystem(nullptr);

        const std::string current = ItemIn(Std()), backup = ItemIn(Backup());
        SCOPED_TRACE("failing step " + std::to_string(failAt) + ": current '" + current + "', backup '" + backup + "'");
        if (saved) {
            EXPECT_EQ(current, "new");
        } else {
            EXPECT_EQ(ProgramMessages().size(), 1u);
            EXPECT_EQ(LastProgramMessageKind(), mkError);
            // The previous library is still there, under its name or as the backup.
            EXPECT_TRUE(current == "previous" || backup == "previous");
            EXPECT_NE(current, "");
        }
        // The next save, with nothing failing, never loses the last good library.
        TQuickTextFile next(&owner);
        EXPECT_TRUE(next.SaveAtEnd(Library("after").get()));
        EXPECT_EQ(ItemIn(Std()), "after");
        EXPECT_EQ(ItemIn(Backup()), saved ? "new" : "previous");
    }
}

TEST_F(QuickTextFileTest, AMissingLibraryComesBackFromItsNewestCompleteCopy) {
    struct TCase {
        const char* name;
        bool temp, tempComplete, backup;
        const char* loaded;   // the item the start gets
        const char* from;     // the copy it names, "" for none
    };
    const TCase cases[] = {
        {"new file of a stopped save", true, true, true, "new", ".$ST"},
        {"new file only", true, true, false, "new", ".$ST"},
        {"unfinished new file, backup", true, false, true, "backup", ".~ST"},
        {"backup only", false, false, true, "backup", ".~ST"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* ext : {".STD", ".$ST", ".~ST"}) fs::remove(dir / (std::string("Varnolet") + ext));
        Configuration();  // a first start's message about the configuration is not the point here
        const std::string temp = TQuickTextFile::TempName(Std().string());
        if (c.temp) {
            SaveToFile(Library("new").get(), temp);
            if (!c.tempComplete) fs::resize_file(temp, fs::file_size(temp) / 2);
        }
        if (c.backup) SaveToFile(Library("backup").get(), Backup().string());
        ProgramMessages().clear();

        TQuickTextFile file(&owner);
        auto tree = file.LoadAtStart(true);
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(tree->Child(0)->Child(0)->Text(), c.loaded);
        EXPECT_EQ(file.FileName(), Std().string());
        ASSERT_EQ(ProgramMessages().size(), 1u);
        EXPECT_EQ(ProgramMessages()[0], Format(LoadStr(sid::QuickTextRestored),
                                               {Std().string(), ChangeFileExt(Std().string(), c.from)}));
        EXPECT_EQ(LastProgramMessageKind(), mkWarning);
        // The copy is the library again, so that the next save keeps it as the backup.
        EXPECT_EQ(ItemIn(Std()), c.loaded);
        EXPECT_TRUE(file.SaveAtEnd(tree.get()));
        EXPECT_EQ(ItemIn(Backup()), c.loaded);
        FreeConfiguration();
    }
}

TEST_F(QuickTextFileTest, ALibraryNamedInTheSettingsComesBackBeforeTheDefaultIsTaken) {
    const fs::path texts = dir / "Texte.STD";
    SaveToFile(Library("default").get(), Std().string());
    SaveToFile(Library("mine").get(), TQuickTextFile::BackupName(texts.string()));
    WriteComponentValue(&owner, "FileName", TNodeValue::Of(texts.string()));
    WriteComponentValue(&owner, "Path", TNodeValue::Of(ExtractFilePath(ProgramFileName())));
    TQuickTextFile file(&owner);
    auto tree = file.LoadAtStart(true);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Child(0)->Child(0)->Text(), "mine");
    EXPECT_EQ(file.FileName(), texts.string());
}

TEST_F(QuickTextFileTest, CopiesThatDoNotLoadAreKeptAndTheNextSaveGoesElsewhere) {
    const std::string temp = TQuickTextFile::TempName(Std().string());
    SaveToFile(Library("new").get(), temp);
    fs::resize_file(temp, fs::file_size(temp) / 2);
    SaveToFile(Library("backup").get(), Backup().string());
    fs::resize_file(Backup(), 30);
    const auto tempBytes = Bytes(temp), backupBytes = Bytes(Backup());
    for (int run = 0; run < 2; ++run) Run([](TTextNode* t) {});
    EXPECT_EQ(Bytes(temp), tempBytes);
    EXPECT_EQ(Bytes(Backup()), backupBytes);
    EXPECT_FALSE(fs::exists(Std()));
    EXPECT_TRUE(fs::exists(dir / "Varnolet-1.STD"));
}

TEST_F(QuickTextFileTest, AFullDiskAtTheCloseKeepsTheLibraryAndSaysSo) {
    if (::geteuid() != 0) GTEST_SKIP() << "a small file system can only be mounted as root";
    const fs::path small = dir / "small";
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct TUnmount {
        fs::path path;
        ~TUnmount() { ::umount(path.c_str()); }
    } unmount{small};
    SetProgramFileName((small / "Varnolet.exe").string());
    const fs::path library = small / "Varnolet.STD";
    SaveToFile(Library("saved").get(), library.string());
    fs::remove(small / "Varnolet.C$$");
    const auto saved = Bytes(library);

    TQuickTextFile file(&owner);
    auto tree = file.LoadAtStart(false);
    ASSERT_NE(tree, nullptr);
    // More formatted text than the disk holds.
    static_cast<TTextNode*>(tree->Child(0)->Child(0))->GetDataStream().WriteBuffer(std::string(100000, 'x').data(), 100000);
    ProgramMessages().clear();
    EXPECT_FALSE(file.SaveAtEnd(tree.get()));
    ASSERT_EQ(ProgramMessages().size(), 1u);
    EXPECT_EQ(ProgramMessages()[0], Format(LoadStr(sid::FWriteError), {library.string()}));
    EXPECT_EQ(LastProgramMessageKind(), mkError);
    EXPECT_EQ(Bytes(library), saved);
    EXPECT_FALSE(fs::exists(TQuickTextFile::TempName(library.string())));
    FreeConfiguration();
}
