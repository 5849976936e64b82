// Runs the built varnolet-file on node files written here and checks its output and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "nodes/node.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"

namespace {

// A node class this program knows and the tool does not: outline must name it all the same.
class TToolItem : public TNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TToolItem>("TToolItem", &TNode::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Per test, as ctest runs the tests of this program side by side.
std::string TempName(const std::string& name) {
    const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    return std::string(testing::TempDir()) + "varnolet_file_" + test + "_" + name;
}

TRun RunTool(const std::string& args) {
    const std::string out = TempName("stdout.txt");
    const std::string err = TempName("stderr.txt");
    const std::string command = std::string(VARNOLET_FILE_TOOL) + " " + args + " >" + out + " 2>" + err;
    TRun run;
    const int status = std::system(command.c_str());
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = ReadAll(out);
    run.Err = ReadAll(err);
    return run;
}

// Root "Ablage" (TNode) with a TToolItem "Brief" that holds a TNode "Gruß" (code page 1252).
std::string WriteSampleFile(const std::string& name) {
    std::unique_ptr<TNode> root(TNode::Create<TNode>("Ablage"));
    TNode* item = TNode::Create<TToolItem>("Brief");
    root->InsertNode(-1, item, imChild | imIntoSelf);
    item->InsertNode(-1, TNode::Create<TNode>("Gru\xDF"), imChild | imIntoSelf);
    const std::string fileName = TempName(name);
    std::remove(fileName.c_str());
    SaveToFile(root.get(), fileName);
    return fileName;
}

TEST(VarnoletFileTool, OutlineNamesClassesFromTheRecords) {
    const std::string file = WriteSampleFile("outline.std");
    const TRun run = RunTool("outline " + file);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "TNode: Ablage\n  TToolItem: Brief\n    TNode: Gru\xC3\x9F\n");
    EXPECT_EQ(run.Err, "");
}

TEST(VarnoletFileTool, DumpPrintsTheTextualForm) {
    const std::string file = WriteSampleFile("dump.std");
    const TRun run = RunTool("dump " + file);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("object TNodeObject\n  NodeList.Strings = (\n", 0), 0u) << run.Out;
    EXPECT_NE(run.Out.find("  _.Text = 'Ablage'\n  object TNodeObject\n    NI = 1\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("      _.Text = 'Gru\xC3\x9F'\n    end\n  end\nend\n"), std::string::npos) << run.Out;
}

TEST(VarnoletFileTool, DamagedFilesFailWithTheMessageAndExitCodeOne) {
    const std::string file = WriteSampleFile("whole.std");
    const std::string bytes = ReadAll(file);
    struct TCase {
        const char* Name;
        std::string Content;
        std::string Message;
    };
    const std::vector<TCase> cases = {
        {"truncated", bytes.substr(0, bytes.size() - 5), "Ungültiges Stream-Format"},
        {"no-header", bytes.substr(1), "Ungültiges Stream-Format"},
        {"empty", "", "Ungültiges Stream-Format"},
    };
    for (const TCase& c : cases) {
        const std::string damaged = TempName(std::string(c.Name) + ".std");
        std::ofstream(damaged, std::ios::binary) << c.Content;
        for (const char* command : {"dump ", "outline "}) {
            const TRun run = RunTool(command + damaged);
            EXPECT_EQ(run.Status, 1) << c.Name << " " << command;
            EXPECT_EQ(run.Out, "") << c.Name << " " << command;
            EXPECT_NE(run.Err.find(c.Message), std::string::npos) << c.Name << " " << command << run.Err;
        }
    }
    const TRun missing = RunTool("dump " + TempName("does-not-exist.std"));
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("kann nicht geöffnet werden"), std::string::npos) << missing.Err;
}

TEST(VarnoletFileTool, UsageErrorsExitWithTwoAndHelpListsTheCommands) {
    const TRun help = RunTool("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("dump FILE"), std::string::npos);
    EXPECT_NE(help.Out.find("outline FILE"), std::string::npos);
    EXPECT_NE(help.Out.find("get FILE PATH"), std::string::npos);
    for (const char* args : {"", "frobnicate x.std", "dump", "dump a b", "get x.cfg", "get x.cfg a b"}) {
        const TRun run = RunTool(args);
        EXPECT_EQ(run.Status, 2) << "'" << args << "'";
        EXPECT_NE(run.Err.find("usage:"), std::string::npos) << "'" << args << "'";
    }
}


// A configuration file written by the configuration store itself.
std::string WriteConfigFile(const std::string& name) {
    const std::string fileName = TempName(name);
    std::remove(fileName.c_str());
    std::unique_ptr<TConfigRootNode> root(TConfigRootNode::CreateEmpty());
    WriteValueIn(root.get(), "TApplication\\VarnoletWin\\Left", TNodeValue::Of(int32_t(120)));
    WriteValueIn(root.get(), "TApplication\\VarnoletWin\\Caption", TNodeValue::Of(std::string("Gr\xFC\xDF" "e")));
    SaveToFile(root.get(), fileName);
    return fileName;
}

TEST(VarnoletFileTool, GetPrintsOneSettingOfAConfigurationFile) {
    const std::string file = WriteConfigFile("settings.cfg");
    const TRun left = RunTool("get " + file + " 'TApplication\\VarnoletWin\\Left'");
    EXPECT_EQ(left.Status, 0) << left.Err;
    EXPECT_EQ(left.Out, "120\n");
    const TRun lower = RunTool("get " + file + " 'tapplication\\varnoletwin\\caption'");
    EXPECT_EQ(lower.Out, "Gr\xC3\xBC\xC3\x9F" "e\n");  // printed as UTF-8
    for (const char* path : {"TApplication\\VarnoletWin\\Top", "TApplication\\Other\\Left", "Nothing"}) {
        const TRun missing = RunTool("get " + file + " '" + path + "'");
        EXPECT_EQ(missing.Status, 3) << path;
        EXPECT_TRUE(missing.Out.empty()) << path;
    }
    const TRun damaged = RunTool("get " + TempName("absent.cfg") + " 'A\\B'");
    EXPECT_EQ(damaged.Status, 1);
}

}  // namespace
