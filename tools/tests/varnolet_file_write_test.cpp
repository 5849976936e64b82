// varnolet-file when writing fails: output to a full device, files onto a full file system or
// onto a name that cannot be replaced, and a folder tree deeper than a library can be. Every
// such run must end with a message and a non-zero exit code, and leave no half-written file.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/text_node.h"
#include "nodes/node_stream.h"
#include "pictures/picture_file.h"

namespace fs = std::filesystem;

namespace {

struct TToolRun {
    int Status = -1;
    std::string Err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class VarnoletFileWrites : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("varnolet_file_writes_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (mounted) ::umount(small.c_str());
        fs::remove_all(dir);
    }

    // Runs the tool with Args; standard output goes to Out (a file or a device).
    TToolRun Run(const std::string& args, const std::string& out = "/dev/null") const {
        const std::string err = (dir / "stderr.txt").string();
        const std::string command = std::string(VARNOLET_FILE_TOOL) + " " + args + " >" + out + " 2>" + err;
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(err)};
    }

    // A library file with one group and one item.
    std::string Library() const {
        RegisterTextNodeClasses();
        std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
        TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
        group->SetParent(top.get());
        TTextData* item = TTextNode::CreateNew<TTextData>();
        item->SetParent(group);
        item->GetDataStream().WriteBuffer("{\\rtf1 x}", 9);
        const std::string name = (dir / "Lib.STD").string();
        SaveToFile(top.get(), name);
        return name;
    }

    // A file system of 64 KiB inside the test folder; false (with the reason) where none can
    // be mounted.
    bool MountSmall(std::string& reason) {
        small = dir / "small";
        fs::create_directories(small);
        if (::geteuid() != 0) {
            reason = "a small file system can only be mounted as root";
            return false;
        }
        if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) {
            reason = "cannot mount a small file system here";
            return false;
        }
        mounted = true;
        // Filled up but for a few bytes.
        std::ofstream(small / "filler", std::ios::binary) << std::string(60 * 1024, 'f');
        return true;
    }

    fs::path dir;
    fs::path small;
    bool mounted = false;
};

}  // namespace

TEST_F(VarnoletFileWrites, OutputThatCannotBeWrittenFailsTheCommand) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    const std::string library = Library();
    TPictureFile pictures;
    pictures.Name = "Symbole";
    SavePictureFile((dir / "Lib.PIL").string(), pictures);
    for (const std::string& args : {"dump " + library, "outline " + library, "pictures " + (dir / "Lib.PIL").string(),
                                    std::string("--help")}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(Run(args).Status, 0);
        const TToolRun full = Run(args, "/dev/full");
        EXPECT_EQ(full.Status, 1);
        EXPECT_NE(full.Err.find("cannot write the output"), std::string::npos) << full.Err;
    }
}

TEST_F(VarnoletFileWrites, AFileThatCannotTakeItsNameLeavesNothingBehind) {
    // A folder where the converted picture should go cannot be replaced by a file.
    const fs::path target = dir / "out.bmp";
    fs::create_directories(target / "inside");
    const TToolRun run = Run("to-bmp " + std::string(PICTURES_TEST_DATA) + "/gif_5x3.gif " + target.string());
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("kann nicht erstellt werden"), std::string::npos) << run.Err;
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_FALSE(fs::exists(dir / "out.$bm"));
}

TEST_F(VarnoletFileWrites, AFullFileSystemFailsEveryWritingCommand) {
    std::string reason;
    if (!MountSmall(reason)) GTEST_SKIP() << reason;
    const std::string library = Library();
    // A library too big for what is left.
    {
        std::unique_ptr<TNode> top(LoadFromFile(library));
        auto* item = static_cast<TTextNode*>(top->Child(0)->Child(0));
        item->GetDataStream().WriteBuffer(std::string(20000, 'x').data(), 20000);
        SaveToFile(top.get(), library);
    }
    const fs::path texts = dir / "texts";
    fs::create_directories(texts);
    std::ofstream(texts / "big.txt", std::ios::binary) << std::string(20000, 'y');
    // A picture of 200 x 100 pixels in 24 bits, 60,000 bytes as a BMP.
    const fs::path picture = dir / "big.pcx";
    {
        std::string pcx(128, '\0');
        pcx[0] = 0x0A, pcx[1] = 5, pcx[3] = 8, pcx[65] = 3;
        pcx[8] = char(199), pcx[10] = 99, pcx[66] = char(200);
        pcx += std::string(200 * 3 * 100, '\x40');
        std::ofstream(picture, std::ios::binary) << pcx;
        ASSERT_EQ(Run("to-bmp " + picture.string() + " " + (dir / "fits.bmp").string()).Status, 0);
    }
    const std::string previous = "the previous file";
    std::ofstream(small / "Lib.STD", std::ios::binary) << previous;

    struct TCase {
        std::string args;
        fs::path kept;  // a file that must stay as it was, or none
    };
    const TCase cases[] = {
        {"import " + texts.string() + " " + (small / "Lib.STD").string(), small / "Lib.STD"},
        {"export " + library + " " + (small / "out").string(), {}},
        {"to-bmp " + picture.string() + " " + (small / "big.bmp").string(), {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.args);
        const TToolRun run = Run(c.args);
        EXPECT_EQ(run.Status, 1) << run.Err;
        EXPECT_NE(run.Err.find("Fehler beim Schreiben der Datei"), std::string::npos) << run.Err;
        if (!c.kept.empty()) {
            EXPECT_EQ(ReadText(c.kept), previous);
        }
        // Nothing half-written is left: only the filler, the kept file and empty folders.
        for (const auto& entry : fs::recursive_directory_iterator(small)) {
            if (!entry.is_regular_file()) continue;
            EXPECT_TRUE(entry.path().filename() == "filler" || entry.path() == c.kept || entry.path() == small / "Lib.STD")
                << entry.path();
        }
    }
}

TEST_F(VarnoletFileWrites, ImportRefusesAFolderTreeDeeperThanALibraryCanBe) {
    // The top node, one group per folder and the item: 1 + folders + 1 levels.
    struct TCase {
        int folders;
        int status;
    };
    for (const TCase& c : {TCase{254, 0}, TCase{255, 1}}) {
        SCOPED_TRACE(c.folders);
        fs::path deepest = dir / "tree";
        fs::remove_all(deepest);
        for (int i = 0; i < c.folders; ++i) deepest /= "d";
        fs::create_directories(deepest);
        std::ofstream(deepest / "text.txt") << "tief";
        const std::string out = (dir / "Deep.STD").string();
        fs::remove(out);
        const TToolRun run = Run("import " + (dir / "tree").string() + " " + out);
        EXPECT_EQ(run.Status, c.status) << run.Err;
        if (c.status == 0) {
            EXPECT_EQ(Run("outline " + out).Status, 0);
        } else {
            EXPECT_NE(run.Err.find("256"), std::string::npos) << run.Err;
            EXPECT_FALSE(fs::exists(out));
        }
    }
}
