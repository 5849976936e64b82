// The configuration store: first start, typed values through the file, paths, pruning,
// change stamping, component paths, and what happens to damaged or half-written files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/file_system.h"
#include "base/program.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"

namespace fs = std::filesystem;

namespace {

const std::string created = "Erstellt am";
const std::string lastSaved = "Letze \xC4nderungen am";

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Each test gets a program folder of its own, and no configuration left over.
class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("varnolet_cfg_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        SetProgramFileName((dir / "Varnolet.exe").string());
        ProgramMessages().clear();
    }
    void TearDown() override {
        FreeConfiguration();
        SetFileSystem(nullptr);
        fs::remove_all(dir);
    }
    fs::path Cfg() const { return dir / "Varnolet.CFG"; }
    // Where the previous configuration is kept; not ".C$$", which is the library's.
    fs::path Replaced() const { return dir / "Varnolet.~CF"; }
    // Reads the saved file as it is, without going through the process-wide configuration.
    std::unique_ptr<TNode> Saved() const { return std::unique_ptr<TNode>(LoadFromFile(Cfg().string())); }

    fs::path dir;
};

class TApplicationComponent : public TComponent {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"TApplication", &TComponent::StaticClass(), {}, {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

}  // namespace

TEST_F(ConfigurationTest, FirstStartShowsTheMessageOnceAndSavesBothDates) {
    TConfigRootNode* root = Configuration();
    EXPECT_EQ(Configuration(), root);
    ASSERT_EQ(ProgramMessages().size(), 1u);
    EXPECT_EQ(ProgramMessages()[0], LoadStr(sid::ConfigCannotLoad) + "Varnolet.CFG");
    EXPECT_EQ(root->Text(), "Konfiguration von Varnolet.exe");
    EXPECT_FALSE(ReadString(created, "").empty());

    FreeConfiguration();
    EXPECT_FALSE(HasConfiguration());
    ASSERT_TRUE(fs::exists(Cfg()));
    auto saved = Saved();
    ASSERT_NE(dynamic_cast<TConfigRootNode*>(saved.get()), nullptr);
    TNode* standard = saved->FindPath("Standard", false);
    ASSERT_NE(standard, nullptr);
    EXPECT_GE(standard->IndexOfName(created), 0);
    EXPECT_GE(standard->IndexOfName(lastSaved), 0);

    // The second start finds the file: no message.
    ProgramMessages().clear();
    Configuration();
    EXPECT_TRUE(ProgramMessages().empty());
}

TEST_F(ConfigurationTest, TypedValuesSurviveTheFile) {
    WriteValue("Editor\\Width", TNodeValue::Of(int32_t(640)));
    WriteValue("Editor\\Negative", TNodeValue::Of(int32_t(-2147483647 - 1)));
    WriteValue("Editor\\Visible", TNodeValue::OfBool(true));
    WriteValue("Editor\\Hidden", TNodeValue::OfBool(false));
    WriteValue("Editor\\Zoom", TNodeValue::Of(1.25));
    WriteValue("Editor\\Font\\Name", TNodeValue::Of(std::string("Times New Roman")));
    WriteValue("Editor\\Long", TNodeValue::Of(std::string(1000, 'x')));
    WriteValue("Editor\\Umlaut", TNodeValue::Of(std::string("Gr\xF6\xDF" "e")));
    FreeConfiguration();
    EXPECT_EQ(ReadInteger("Editor\\Width", 0), 640);
    EXPECT_EQ(ReadInteger("Editor\\Negative", 0), -2147483647 - 1);
    EXPECT_TRUE(ReadBool("Editor\\Visible", false));
    EXPECT_FALSE(ReadBool("Editor\\Hidden", true));
    EXPECT_DOUBLE_EQ(ReadFloat("Editor\\Zoom", 0), 1.25);
    EXPECT_EQ(ReadString("Editor\\Font\\Name", ""), "Times New Roman");
    EXPECT_EQ(ReadString("Editor\\Long", "").size(), 1000u);
    EXPECT_EQ(ReadString("Editor\\Umlaut", ""), "Gr\xF6\xDF" "e");
    TNodeValue shortValue = ReadValue("Editor\\Long", TNodeValue::Of(std::string(), vkShortString));
    EXPECT_EQ(shortValue.String.size(), 255u);
}

TEST_F(ConfigurationTest, MissingEmptyAndUnparsableValuesGiveTheDefault) {
    WriteValue("A\\Number", TNodeValue::Of(std::string("twelve")));
    WriteValue("A\\Empty", TNodeValue::Of(std::string("")));
    EXPECT_EQ(ReadInteger("A\\Number", 7), 7);
    EXPECT_EQ(ReadInteger("A\\Empty", 8), 8);
    EXPECT_EQ(ReadInteger("A\\Missing", 9), 9);
    EXPECT_DOUBLE_EQ(ReadFloat("A\\Number", 1.5), 1.5);
    EXPECT_TRUE(ReadBool("A\\Number", false));  // only a leading F reads as false
}

TEST_F(ConfigurationTest, PathsIgnoreLetterCase) {
    WriteValue("Main\\Options\\TopMost", TNodeValue::OfBool(true));
    EXPECT_TRUE(ReadBool("main\\OPTIONS\\topmost", false));
    TNode* root = Configuration();
    EXPECT_EQ(root->FindPath("standard\\main\\options", false), root->FindPath("Standard\\Main\\Options", false));
}

TEST_F(ConfigurationTest, NodesWithoutValuesAreNotSaved) {
    WriteValue("Kept\\Value", TNodeValue::Of(int32_t(1)));
    ReadInteger("Empty\\Group\\Value", 0);  // creates the nodes on the way
    ComponentNode(nullptr, "Lonely");
    ASSERT_NE(Configuration()->FindPath("Standard\\Empty\\Group", false), nullptr);
    FreeConfiguration();
    auto saved = Saved();
    EXPECT_NE(saved->FindPath("Standard\\Kept", false), nullptr);
    EXPECT_EQ(saved->FindPath("Standard\\Empty", false), nullptr);
    EXPECT_EQ(saved->FindPath("Standard\\Lonely", false), nullptr);
}

TEST_F(ConfigurationTest, ValueChangesStampTheNodeButLoadingDoesNot) {
    WriteValue("Stamp\\X", TNodeValue::Of(int32_t(1)));
    auto* node = static_cast<TConfigNode*>(Configuration()->FindPath("Standard\\Stamp", false));
    ASSERT_NE(node, nullptr);
    node->SetLastModified(100.0);
    node->ClearModified();
    node->SetValue("X", TNodeValue::Of(int32_t(2)));
    EXPECT_GT(node->LastModified(), 100.0);
    EXPECT_TRUE(node->State().Has(nsModified));

    node->SetLastModified(200.0);
    FreeConfiguration();
    auto* loaded = static_cast<TConfigNode*>(Configuration()->FindPath("Standard\\Stamp", false));
    ASSERT_NE(loaded, nullptr);
    EXPECT_DOUBLE_EQ(loaded->LastModified(), 200.0);
    EXPECT_FALSE(loaded->State().Has(nsModified));
}

TEST_F(ConfigurationTest, ComponentPathsRunThroughTheOwners) {
    TApplicationComponent application;
    auto* form = new TComponent(&application);
    form->SetName("VarnoletWin");
    auto* unnamed = new TComponent(form);
    EXPECT_EQ(ComponentPath(&application), "TApplication");
    EXPECT_EQ(ComponentPath(form), "TApplication\\VarnoletWin");
    EXPECT_EQ(ComponentPath(unnamed), "TApplication\\VarnoletWin\\TComponent");

    WriteComponentValue(form, "Left", TNodeValue::Of(int32_t(120)));
    EXPECT_EQ(ReadInteger("TApplication\\VarnoletWin\\Left", 0), 120);
    EXPECT_EQ(ReadComponentValue(form, "left", TNodeValue::Of(int32_t(0))).Integer, 120);
    TNode* node = ComponentNode(form, "Grid");
    EXPECT_EQ(node->Path(), Configuration()->Text() + "\\Standard\\TApplication\\VarnoletWin\\Grid");
}

TEST_F(ConfigurationTest, ADamagedFileFallsBackAndIsKeptAsReplaced) {
    const std::vector<uint8_t> damaged{0xFF, 0x0A, 0x00, 'K', 0, 0x30, 0x10, 9, 0, 0, 0, 'T', 'P', 'F'};
    std::ofstream(Cfg(), std::ios::binary).write(reinterpret_cast<const char*>(damaged.data()), damaged.size());
    Configuration();
    Configuration();
    EXPECT_EQ(ProgramMessages().size(), 1u);
    FreeConfiguration();
    EXPECT_EQ(FileBytes(Replaced()), damaged);
    EXPECT_NE(Saved(), nullptr);
}

namespace {

// A stream that takes Limit bytes and then fails, as a full disk would.
class TFailingStream : public TMemoryStream {
public:
    explicit TFailingStream(size_t limit) : limit_(limit) {}
    size_t Write(const void* buffer, size_t count) override {
        size_t room = written_ >= limit_ ? 0 : std::min(count, limit_ - written_);
        written_ += room;
        return TMemoryStream::Write(buffer, room);
    }

private:
    size_t limit_;
    size_t written_ = 0;
};

// The disk, except that created files fail after a few bytes.
class TFullDisk : public TDiskFileSystem {
public:
    std::unique_ptr<TStream> Create(const std::string& fileName) override {
        TDiskFileSystem::Create(fileName);  // the file exists, but stays empty
        return std::make_unique<TFailingStream>(10);
    }
};

}  // namespace

TEST_F(ConfigurationTest, AFailedSaveLeavesThePreviousFileInReplaced) {
    WriteValue("Good\\Value", TNodeValue::Of(int32_t(42)));
    FreeConfiguration();
    const auto good = FileBytes(Cfg());
    ASSERT_FALSE(good.empty());

    Configuration();
    TFullDisk fullDisk;
    SetFileSystem(&fullDisk);
    ProgramMessages().clear();
    FreeConfiguration();
    SetFileSystem(nullptr);
    EXPECT_EQ(ProgramMessages().size(), 1u);  // the failure is shown, not swallowed
    EXPECT_EQ(LastProgramMessageKind(), mkError);
    // The failed save never touched the file: it is the previous one, under its own name.
    EXPECT_EQ(FileBytes(Cfg()), good);
    EXPECT_FALSE(fs::exists(TempFileName(Cfg().string())));
    std::unique_ptr<TNode> previous(LoadFromFile(Cfg().string()));
    TNodeValue v = TNodeValue::Of(int32_t(0));
    previous->FindPath("Standard\\Good", false)->GetValue("Value", v);
    EXPECT_EQ(v.Integer, 42);
}

TEST_F(ConfigurationTest, TheConfigurationLeavesTheLibrarysReplacedFileAlone) {
    // Opening another library left the previous one as "Varnolet.C$$".
    const std::vector<uint8_t> library{'l', 'i', 'b'};
    std::ofstream(dir / "Varnolet.C$$", std::ios::binary).write("lib", 3);
    for (int run = 0; run < 2; ++run) {
        WriteValue("Run", TNodeValue::Of(int32_t(run)));
        FreeConfiguration();
    }
    EXPECT_EQ(FileBytes(dir / "Varnolet.C$$"), library);
    EXPECT_EQ(ReadInteger("Run", -1), 1);
    std::unique_ptr<TNode> kept(LoadFromFile(Replaced().string()));
    TNodeValue run = TNodeValue::Of(int32_t(-1));
    kept->FindPath("Standard", false)->GetValue("Run", run);
    EXPECT_EQ(run.Integer, 0);
}

TEST_F(ConfigurationTest, AFileMissingAfterAnInterruptedSaveComesBackFromItsNewestCopy) {
    struct TCase {
        const char* copy;        // where the complete copy is
        const char* incomplete;  // a copy that stopped half-way, or none
    };
    for (const TCase& c : {TCase{"Varnolet.$CF", nullptr}, TCase{"Varnolet.~CF", nullptr},
                           TCase{"Varnolet.~CF", "Varnolet.$CF"}}) {
        SCOPED_TRACE(c.copy);
        WriteValue("Answer", TNodeValue::Of(int32_t(42)));
        FreeConfiguration();
        fs::rename(Cfg(), dir / c.copy);
        if (c.incomplete) {
            const auto bytes = FileBytes(dir / c.copy);
            std::ofstream(dir / c.incomplete, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 20);
        }
        ProgramMessages().clear();
        EXPECT_EQ(ReadInteger("Answer", 0), 42);
        EXPECT_TRUE(ProgramMessages().empty());
        EXPECT_TRUE(fs::exists(Cfg()));
        FreeConfiguration();
        EXPECT_NE(Saved(), nullptr);
        for (const char* name : {"Varnolet.CFG", "Varnolet.$CF", "Varnolet.~CF"}) fs::remove(dir / name);
    }
}
