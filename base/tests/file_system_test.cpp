// File name parts, the program's data file names, the recorded program messages, and the
// disk file system's refusal to rename onto an existing file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/exception.h"
#include "base/file_system.h"
#include "base/program.h"

TEST(FileNames, PartsAndExtensions) {
    struct Row {
        const char* name;
        const char* withCfg;
        const char* file;
        const char* path;
        const char* ext;
    } rows[] = {
        {"C:\\Programme\\Varnolet.exe", "C:\\Programme\\Varnolet.CFG", "Varnolet.exe", "C:\\Programme\\", ".exe"},
        {"/tmp/dir.d/Varnolet", "/tmp/dir.d/Varnolet.CFG", "Varnolet", "/tmp/dir.d/", ""},
        {"Quick.Texts.STD", "Quick.Texts.CFG", "Quick.Texts.STD", "", ".STD"},
        {"C:name.exe", "C:name.CFG", "name.exe", "C:", ".exe"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ChangeFileExt(r.name, ".CFG"), r.withCfg) << r.name;
        EXPECT_EQ(ExtractFileName(r.name), r.file) << r.name;
        EXPECT_EQ(ExtractFilePath(r.name), r.path) << r.name;
        EXPECT_EQ(ExtractFileExt(r.name), r.ext) << r.name;
    }
}

TEST(Program, DataFilesFollowTheProgramFile) {
    const std::string before = ProgramFileName();
    SetProgramFileName("/opt/v/Varnolet.exe");
    EXPECT_EQ(ProgramFile(".PIL"), "/opt/v/Varnolet.PIL");
    SetProgramFileName(before);
}

TEST(Program, MessagesAreRecordedAndHandedOn) {
    ProgramMessages().clear();
    std::vector<std::string> shown;
    std::vector<TMessageKind> kinds;
    auto previous = SetProgramMessageHandler([&](const std::string& m, TMessageKind kind) {
        shown.push_back(m);
        kinds.push_back(kind);
    });
    ShowProgramMessage("one");
    ShowProgramMessage("broken", mkError);
    EXPECT_EQ(LastProgramMessageKind(), mkError);
    SetProgramMessageHandler(previous);
    ShowProgramMessage("two");
    EXPECT_EQ(LastProgramMessageKind(), mkInformation);
    EXPECT_EQ(shown, (std::vector<std::string>{"one", "broken"}));
    EXPECT_EQ(kinds, (std::vector<TMessageKind>{mkInformation, mkError}));
    EXPECT_EQ(ProgramMessages(), (std::vector<std::string>{"one", "broken", "two"}));
    ProgramMessages().clear();
}

TEST(DiskFileSystem, RenameRefusesAnExistingTarget) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("varnolet_fs_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string a = (dir / "a.txt").string(), b = (dir / "b.txt").string();
    std::ofstream(a) << "a";
    std::ofstream(b) << "b";
    TFileSystem& disk = FileSystem();
    EXPECT_FALSE(disk.RenameFile(a, b));
    EXPECT_TRUE(disk.DeleteFile(b));
    EXPECT_TRUE(disk.RenameFile(a, b));
    EXPECT_FALSE(disk.FileExists(a));
    EXPECT_TRUE(disk.FileExists(b));
    EXPECT_FALSE(disk.DeleteFile(a));
    EXPECT_THROW(disk.OpenRead(a), EFOpenError);
    fs::remove_all(dir);
}
