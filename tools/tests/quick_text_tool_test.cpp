// Export and import of quick-text libraries: the folder tree mirrors the groups, names are
// made safe and unique, text files become RTF, and export, import, export gives the same files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sys/wait.h>

#include "app/text_node.h"
#include "nodes/node_stream.h"
#include "tools/quick_text_tool.h"

namespace fs = std::filesystem;

namespace {

class QuickTextToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTextNodeClasses();
        dir = fs::temp_directory_path() / ("varnolet_tool_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static TTextNode* Add(TNode* parent, TNodeClass cls, const std::string& text, const std::string& rtf = "") {
        TTextNode* node = TTextNode::CreateNew(cls);
        node->SetText(text);
        if (!rtf.empty()) node->GetDataStream().WriteBuffer(rtf.data(), rtf.size());
        node->SetParent(parent);
        return node;
    }

    // Every file below Folder with its content, by path relative to Folder.
    static std::map<std::string, std::string> Files(const fs::path& folder) {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::recursive_directory_iterator(folder)) {
            std::string content;
            if (item.is_regular_file()) {
                std::ifstream in(item.path(), std::ios::binary);
                content.assign(std::istreambuf_iterator<char>(in), {});
            }
            files[fs::relative(item.path(), folder).string() + (item.is_directory() ? "/" : "")] = content;
        }
        return files;
    }

    fs::path dir;
};

}  // namespace

TEST_F(QuickTextToolTest, ExportMirrorsTheGroupsAndImportExportGivesTheSameFiles) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextNode* letters = Add(top.get(), &TTextGroup::StaticClass(), "Briefe");
    Add(letters, &TTextData::StaticClass(), "Gr\xFC\xDF" "e", "{\\rtf1 Mit freundlichen Gr\\'fc\\'dfen}");
    Add(letters, &TTextData::StaticClass(), "Leer");
    TTextNode* withChildren = Add(top.get(), &TTextData::StaticClass(), "Vorlage", "{\\rtf1 A}");
    Add(withChildren, &TTextData::StaticClass(), "Teil", "{\\rtf1 B}");
    Add(top.get(), &TTextData::StaticClass(), "a/b:c?", "{\\rtf1 C}");
    Add(top.get(), &TTextData::StaticClass(), "Briefe", "{\\rtf1 D}");  // same name as the group
    Add(top.get(), &TTextGroup::StaticClass(), "CON");
    const std::string library = (dir / "Texte.STD").string();
    SaveToFile(top.get(), library);

    const fs::path first = dir / "first";
    ExportQuickText(library, first.string());
    auto files = Files(first);
    EXPECT_EQ(files["Briefe/Gr\xC3\xBC\xC3\x9F" "e.rtf"], "{\\rtf1 Mit freundlichen Gr\\'fc\\'dfen}");
    EXPECT_EQ(files["Briefe/Leer.rtf"], "");
    EXPECT_EQ(files["Vorlage.rtf"], "{\\rtf1 A}");
    EXPECT_EQ(files["Vorlage/Teil.rtf"], "{\\rtf1 B}");
    EXPECT_EQ(files["a_b_c_.rtf"], "{\\rtf1 C}");
    EXPECT_TRUE(files.count("Briefe/"));
    EXPECT_EQ(files["Briefe (2).rtf"], "{\\rtf1 D}");
    EXPECT_TRUE(files.count("_CON/"));

    const std::string imported = (dir / "Imported.STD").string();
    ImportQuickText(first.string(), imported);
    std::unique_ptr<TNode> loaded(LoadFromFile(imported));
    ASSERT_NE(dynamic_cast<TTextNode*>(loaded.get()), nullptr);
    EXPECT_EQ(loaded->Bitmap(), SymbolTop);

    const fs::path second = dir / "second";
    ExportQuickText(imported, second.string());
    EXPECT_EQ(Files(second), files);
}

TEST_F(QuickTextToolTest, ImportTurnsTextFilesIntoRtfAndFoldersIntoGroups) {
    const fs::path source = dir / "source";
    fs::create_directories(source / "Gruppe");
    std::ofstream(source / "Gruppe" / "Notiz.txt") << "Zeile {1}\nZeile \\2\n\xC3\xA4 und\ttab";
    std::ofstream(source / "Gruppe.rtf") << "{\\rtf1 eigener Text}";
    std::ofstream(source / "ignored.doc") << "not a text";
    const std::string library = (dir / "New.STD").string();
    EXPECT_EQ(ImportQuickText(source.string(), library), 2);

    std::unique_ptr<TNode> tree(LoadFromFile(library));
    ASSERT_EQ(tree->ChildCount(), 1);
    auto* group = dynamic_cast<TTextGroup*>(tree->Child(0));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Text(), "Gruppe");
    EXPECT_EQ(group->Bitmap(), SymbolGroup);
    TMemoryStream& own = group->GetDataStream();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(own.Memory()), own.Size()), "{\\rtf1 eigener Text}");
    ASSERT_EQ(group->ChildCount(), 1);
    auto* note = dynamic_cast<TTextData*>(group->Child(0));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Text(), "Notiz");
    TMemoryStream& rtf = note->GetDataStream();
    const std::string text(reinterpret_cast<const char*>(rtf.Memory()), rtf.Size());
    EXPECT_EQ(text.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u) << text;
    EXPECT_NE(text.find("Zeile \\{1\\}\\par\nZeile \\\\2\\par\n\\'E4 und\\tab tab}"), std::string::npos) << text;
}

TEST_F(QuickTextToolTest, AMissingFolderOrFileFails) {
    EXPECT_THROW(ImportQuickText((dir / "absent").string(), (dir / "x.STD").string()), Exception);
    EXPECT_THROW(ExportQuickText((dir / "absent.STD").string(), (dir / "out").string()), Exception);
}

TEST_F(QuickTextToolTest, TheToolOutlinesSymbolsAndTextSizesAndRunsBothCommands) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextNode* group = Add(top.get(), &TTextGroup::StaticClass(), "Briefe");
    Add(group, &TTextData::StaticClass(), "Gruss", std::string(1000, 'x'));
    const std::string library = (dir / "Texte.STD").string();
    SaveToFile(top.get(), library);
    const std::string out = (dir / "out.txt").string();
    auto run = [&](const std::string& args) {
        const int status = std::system((std::string(VARNOLET_FILE_TOOL) + " " + args + " >" + out + " 2>&1").c_str());
        std::ifstream in(out);
        return std::make_pair(WEXITSTATUS(status), std::string(std::istreambuf_iterator<char>(in), {}));
    };
    auto [status, text] = run("outline " + library);
    EXPECT_EQ(status, 0);
    EXPECT_NE(text.find("TTextNode: Dadirevovezi [symbol 5]"), std::string::npos) << text;
    EXPECT_NE(text.find("  TTextGroup: Briefe [symbol 1]"), std::string::npos) << text;
    EXPECT_NE(text.find("    TTextData: Gruss [symbol 3, 1000 bytes of text]"), std::string::npos) << text;

    EXPECT_EQ(run("export " + library + " " + (dir / "tree").string()).first, 0);
    EXPECT_TRUE(fs::exists(dir / "tree" / "Briefe" / "Gruss.rtf"));
    EXPECT_EQ(run("import " + (dir / "tree").string() + " " + (dir / "Back.STD").string()).first, 0);
    EXPECT_TRUE(fs::exists(dir / "Back.STD"));
    EXPECT_EQ(run("export " + (dir / "absent.STD").string() + " " + (dir / "x").string()).first, 1);
}
