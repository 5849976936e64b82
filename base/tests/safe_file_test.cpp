// Saving through a temporary file: a failure at any step leaves the previous file under its
// name, a crash at any step leaves a complete copy, the kept copy is made as asked, and a disk
// that is really full is noticed at the latest when the file is committed.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/exception.h"
#include "base/file_system.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "base/tests/fault_disk.h"

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("varnolet_safe_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        SetFileSystem(nullptr);
        fs::remove_all(dir);
    }
    std::string Name(const char* name) const { return (dir / name).string(); }
    // Saves "new content" over Lib.STD, whose previous content is "old" and whose kept copy is
    // "older"; true when the save reported success.
    bool Save(TFileSystem& files, TKeepMode keep) {
        Put(dir / "Lib.STD", "old");
        Put(dir / "Lib.~ST", "older");
        SetFileSystem(&files);
        bool saved = true;
        try {
            SaveFileSafely(
                Name("Lib.STD"), [](TStream& s) { s.WriteBuffer("new content", 11); }, Name("Lib.~ST"), keep);
        } catch (const EStreamError& e) {
            saved = false;
            message = e.Message();
        }
        SetFileSystem(nullptr);
        return saved;
    }

    fs::path dir;
    std::string message;
};

}  // namespace

TEST_F(SafeFileTest, TemporaryNamesKeepTheFirstTwoLettersOfTheExtension) {
    EXPECT_EQ(TempFileName("C:\\Texte\\Varnolet.STD"), "C:\\Texte\\Varnolet.$ST");
    EXPECT_EQ(TempFileName("/p/Varnolet.CFG"), "/p/Varnolet.$CF");
    EXPECT_EQ(TempFileName("bild.bmp"), "bild.$bm");
    EXPECT_EQ(TempFileName("Liste.P"), "Liste.$P");
    EXPECT_EQ(TempFileName("/p.d/ohne"), "/p.d/ohne.$$$");
}

TEST_F(SafeFileTest, ASaveKeepsThePreviousVersionAsAsked) {
    struct TCase {
        TKeepMode keep;
        const char* kept;  // Lib.~ST afterwards
    };
    for (const TCase& c : {TCase{kmNone, "older"}, TCase{kmKeep, "old"}, TCase{kmMustKeep, "old"}}) {
        SCOPED_TRACE(int(c.keep));
        TFaultDisk disk;
        EXPECT_TRUE(Save(disk, c.keep));
        EXPECT_EQ(Contents(dir / "Lib.STD"), "new content");
        EXPECT_EQ(Contents(dir / "Lib.~ST"), c.kept);
        EXPECT_FALSE(fs::exists(dir / "Lib.$ST"));
    }
}

TEST_F(SafeFileTest, AFailureAtAnyStepLeavesThePreviousFileUnderItsName) {
    for (TKeepMode keep : {kmNone, kmKeep, kmMustKeep}) {
        TFaultDisk counting;
        ASSERT_TRUE(Save(counting, keep));
        for (int step = 1; step <= counting.Steps(); ++step) {
            TFaultDisk disk(step, TFaultDisk::fdFail);
            message.clear();
            const bool saved = Save(disk, keep);
            SCOPED_TRACE("keep " + std::to_string(keep) + ", failing: " + disk.Log()[size_t(step) - 1]);
            const std::string now = Contents(dir / "Lib.STD");
            if (saved) {
                EXPECT_EQ(now, "new content");
            } else {
                EXPECT_EQ(now, "old");
                // The message names the file, or the kept copy that could not be made.
                EXPECT_TRUE(message.find("Lib.STD") != std::string::npos ||
                            (keep == kmMustKeep && message.find("Lib.~ST") != std::string::npos))
                    << message;
            }
            EXPECT_FALSE(fs::exists(dir / "Lib.$ST"));
        }
    }
}

TEST_F(SafeFileTest, ACrashAtAnyStepLeavesACompleteCopy) {
    for (TKeepMode keep : {kmNone, kmKeep, kmMustKeep}) {
        TFaultDisk counting;
        ASSERT_TRUE(Save(counting, keep));
        for (int step = 1; step <= counting.Steps(); ++step) {
            TFaultDisk disk(step, TFaultDisk::fdCrash);
            Save(disk, keep);
            SCOPED_TRACE("keep " + std::to_string(keep) + ", crash at: " + disk.Log()[size_t(step) - 1]);
            EXPECT_TRUE(disk.Crashed());
            const std::string now = Contents(dir / "Lib.STD");
            if (now == "<missing>") {
                // Stopped between the renames: the new file is complete, the old one is kept.
                EXPECT_EQ(Contents(dir / "Lib.$ST"), "new content");
                EXPECT_EQ(Contents(dir / "Lib.~ST"), "old");
            } else {
                EXPECT_TRUE(now == "old" || now == "new content") << now;
            }
            fs::remove(dir / "Lib.$ST");
        }
    }
}

TEST_F(SafeFileTest, AKeptCopyThatCannotBeMadeFailsOnlyWhenItMust) {
    // A folder in the kept copy's place can be neither renamed onto nor deleted as a file.
    for (TKeepMode keep : {kmKeep, kmMustKeep}) {
        fs::remove_all(dir / "Lib.~ST");
        Put(dir / "Lib.STD", "old");
        fs::create_directories(dir / "Lib.~ST" / "inside");
        bool saved = true;
        try {
            SaveFileSafely(Name("Lib.STD"), [](TStream& s) { s.WriteBuffer("new", 3); }, Name("Lib.~ST"), keep);
        } catch (const EFCreateError& e) {
            saved = false;
            EXPECT_NE(e.Message().find("Lib.~ST"), std::string::npos);
        }
        EXPECT_EQ(saved, keep == kmKeep);
        EXPECT_EQ(Contents(dir / "Lib.STD"), saved ? "new" : "old");
        EXPECT_FALSE(fs::exists(dir / "Lib.$ST"));
    }
}

TEST_F(SafeFileTest, AFileStreamReportsAFullDiskAtItsCommit) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    TFileStream stream("/dev/full", fmCreate);
    const std::string text(100, 'x');
    stream.WriteBuffer(text.data(), text.size());  // buffered, nothing reached the device yet
    try {
        stream.Commit();
        ADD_FAILURE() << "committed";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Id(), sid::FWriteError);
        EXPECT_NE(e.Message().find("/dev/full"), std::string::npos);
    }
    // Committed or not, the stream is closed now.
    EXPECT_EQ(stream.Write("x", 1), 0u);
    EXPECT_THROW(stream.Commit(), EWriteError);
}

TEST_F(SafeFileTest, ARealFullDiskLeavesThePreviousFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "a small file system can only be mounted as root";
    const fs::path small = dir / "small";
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct TUnmount {
        fs::path path;
        ~TUnmount() { ::umount(path.c_str()); }
    } unmount{small};

    const std::string previous(16 * 1024, 'p');
    Put(small / "Lib.STD", previous);
    const std::string big(128 * 1024, 'n');
    try {
        SaveFileSafely((small / "Lib.STD").string(), [&big](TStream& s) { s.WriteBuffer(big.data(), big.size()); },
                       (small / "Lib.~ST").string(), kmMustKeep);
        ADD_FAILURE() << "saved onto a full disk";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Id(), sid::FWriteError);
        EXPECT_NE(e.Message().find("Lib.STD"), std::string::npos);
    }
    EXPECT_EQ(Contents(small / "Lib.STD"), previous);
    EXPECT_FALSE(fs::exists(small / "Lib.$ST"));
    EXPECT_FALSE(fs::exists(small / "Lib.~ST"));

    // What fits is saved, and the previous file is kept.
    SaveFileSafely((small / "Lib.STD").string(), [](TStream& s) { s.WriteBuffer("fits", 4); },
                   (small / "Lib.~ST").string(), kmMustKeep);
    EXPECT_EQ(Contents(small / "Lib.STD"), "fits");
    EXPECT_EQ(Contents(small / "Lib.~ST"), previous);
}
