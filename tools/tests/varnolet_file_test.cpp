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
#include "pictures/bmp_image.h"
#include "pictures/gif_reader.h"
#include "pictures/pcx_reader.h"
#include "pictures/picture_file.h"

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

// ---- Picture lists and image files ----

std::string PictureData(const std::string& name) { return std::string(PICTURES_TEST_DATA) + "/" + name; }

std::vector<uint8_t> ReadBytes(const std::string& fileName) {
    const std::string text = ReadAll(fileName);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A picture list "Symbole" with a GIF turned into a bitmap, a single-image icon, a bitmap record
// that still holds a PCX file, an entry without picture and a record of an unknown class.
std::string WritePictureList(const std::string& name) {
    TPictureFile file;
    file.Name = "Symbole";
    file.IDMinimum = 1;
    file.IDMaximum = 1000;
    const std::vector<uint8_t> gif = ReadBytes(PictureData("gif_5x3.gif"));
    TPictureFileEntry bitmap;
    bitmap.ID = 3;
    bitmap.ResourceID = 42;
    bitmap.Option = TPictOption{poLeft, poMasked};
    bitmap.Image = {"TBitmap", GifToBmp(gif.data(), gif.size())};
    TPictureFileEntry icon;
    icon.ID = 7;
    icon.Image = {"TIcon", {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 4, 0, 4, 0, 0, 0, 22, 0, 0, 0, 9, 9, 9, 9}};
    TPictureFileEntry pcx;
    pcx.ID = 8;
    pcx.Image = {"TPCXBitmap", ReadBytes(PictureData("pcx4_packed.pcx"))};  // still in its own format
    TPictureFileEntry none;
    none.ID = 9;
    TPictureFileEntry unknown;
    unknown.ID = 11;
    unknown.Image = {"TJPEGImage", {1, 2, 3}};
    file.Entries = {bitmap, icon, pcx, none, unknown};
    const std::string fileName = TempName(name);
    SavePictureFile(fileName, file);
    return fileName;
}

TEST(VarnoletFileTool, PicturesListsTheEntriesOfAPictureListFile) {
    const std::string file = WritePictureList("list.pil");
    const TRun run = RunTool("pictures " + file);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("TPictureList \"Symbole\": 5 entries, IDMinimum 1, IDMaximum 1000", 0), 0u) << run.Out;
    const std::vector<uint8_t> gif = ReadBytes(PictureData("gif_5x3.gif"));
    const size_t bmpSize = GifToBmp(gif.data(), gif.size()).size();
    EXPECT_NE(run.Out.find("\n3           42          [poLeft,poMasked]"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("TBitmap       " + std::to_string(bmpSize) + " bytes, 5x3\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("TIcon         26 bytes, 16x16\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("\n9 "), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("(no picture, dropped)"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("TJPEGImage    - (unknown class, dropped)"), std::string::npos) << run.Out;
}

TEST(VarnoletFileTool, PicturesExtractWritesFilesThatOpen) {
    const std::string file = WritePictureList("extract.pil");
    const std::string dir = TempName("extracted/sub");
    std::system(("rm -rf " + TempName("extracted")).c_str());
    const TRun run = RunTool("pictures " + file + " --extract " + dir);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "3 files written\n");
    const std::vector<uint8_t> gif = ReadBytes(PictureData("gif_5x3.gif"));
    EXPECT_EQ(ReadBytes(dir + "/1_ID3.bmp"), GifToBmp(gif.data(), gif.size()));
    EXPECT_EQ(ReadBytes(dir + "/2_ID7.ico").size(), 26u);
    // The PCX data of a bitmap record comes out as a BMP file.
    const std::vector<uint8_t> pcx = ReadBytes(PictureData("pcx4_packed.pcx"));
    EXPECT_EQ(ReadBytes(dir + "/3_ID8.bmp"), PcxToBmp(pcx.data(), pcx.size()));
    const TRun damaged = RunTool("pictures " + PictureData("gif_5x3.gif") + " --extract " + dir);
    EXPECT_EQ(damaged.Status, 1);
    EXPECT_NE(damaged.Err.find("Ungültiges Stream-Format"), std::string::npos) << damaged.Err;
}

TEST(VarnoletFileTool, ToBmpConvertsImageFilesAndRefusesBadOnes) {
    struct TCase {
        const char* File;
        int Status;
        const char* Message;  // on standard error
    };
    const std::string bad = TempName("bad.gif");
    std::ofstream(bad, std::ios::binary) << "GIF89a\x05\x00";
    const std::string badPcx = TempName("bad.pcx");
    std::ofstream(badPcx, std::ios::binary) << std::string(200, '\x0B');
    const std::string other = TempName("picture.png");
    std::ofstream(other, std::ios::binary) << "png";
    const std::vector<TCase> cases = {
        {"gif89_c16_interlaced.gif", 0, ""},
        {"pcx24_rle.pcx", 0, ""},
        {"bmp8_rle_5x3.rle", 0, ""},
        {"bmp24_5x3.bmp", 0, ""},
        {"missing.gif", 1, "kann nicht geöffnet werden"},
    };
    for (const TCase& c : cases) {
        const std::string out = TempName("out.bmp");
        std::remove(out.c_str());
        const TRun run = RunTool("to-bmp " + PictureData(c.File) + " " + out);
        EXPECT_EQ(run.Status, c.Status) << c.File << run.Err;
        if (c.Status == 0) {
            const std::vector<uint8_t> bmp = ReadBytes(out);
            const TBmpInfo info = CheckBmpFile(bmp);
            EXPECT_NE(run.Out.find(std::to_string(info.Width) + "x" + std::to_string(info.Height)), std::string::npos);
        } else {
            EXPECT_NE(run.Err.find(c.Message), std::string::npos) << c.File << run.Err;
        }
    }
    const TRun gif = RunTool("to-bmp " + bad + " " + TempName("x.bmp"));
    EXPECT_EQ(gif.Status, 1);
    EXPECT_NE(gif.Err.find("Ungültiges GIF-Bild-Format"), std::string::npos) << gif.Err;
    const TRun pcx = RunTool("to-bmp " + badPcx + " " + TempName("x.bmp"));
    EXPECT_EQ(pcx.Status, 1);
    EXPECT_NE(pcx.Err.find("Ungültiges PCX-Bild-Format"), std::string::npos) << pcx.Err;
    const TRun png = RunTool("to-bmp " + other + " " + TempName("x.bmp"));
    EXPECT_EQ(png.Status, 1);
    EXPECT_NE(png.Err.find("Unbekannte Bilddateierweiterung (.png)"), std::string::npos) << png.Err;
    // The converted GIF is exactly the reader's BMP.
    const std::string out = TempName("c16.bmp");
    EXPECT_EQ(RunTool("to-bmp " + PictureData("gif89_c16.gif") + " " + out).Status, 0);
    const std::vector<uint8_t> source = ReadBytes(PictureData("gif89_c16.gif"));
    EXPECT_EQ(ReadBytes(out), GifToBmp(source.data(), source.size()));
}

TEST(VarnoletFileTool, PictureCommandsCheckTheirArguments) {
    for (const char* args : {"pictures", "pictures a.pil b", "pictures a.pil --extract", "pictures a.pil --x d",
                             "to-bmp a.gif", "to-bmp a.gif b c"}) {
        const TRun run = RunTool(args);
        EXPECT_EQ(run.Status, 2) << "'" << args << "'";
        EXPECT_NE(run.Err.find("usage:"), std::string::npos) << "'" << args << "'";
    }
    const TRun help = RunTool("--help");
    EXPECT_NE(help.Out.find("pictures FILE --extract DIR"), std::string::npos);
    EXPECT_NE(help.Out.find("to-bmp IMAGE OUT.BMP"), std::string::npos);
}

}  // namespace
