// Files written on Windows: a picture list file read back makes its entries of the list's own
// entry class, and saving replaces a file only through a complete temporary file, keeping the
// previous version where the format asks for it (MoveFileEx on the Windows file system).
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "base/exception.h"
#include "base/file_system.h"
#include "base/safe_file.h"
#include "nodes/node_stream.h"
#include "tests/wine/pictures_testing_win.h"

namespace {

class TMarkedEntry : public TPictureEntry {
public:
    using TPictureEntry::TPictureEntry;
    static std::unique_ptr<TPictureEntry> Make(TPictureList* owner, TPictOption option, int32_t id) {
        return std::make_unique<TMarkedEntry>(owner, option, id);
    }
};

bool Exists(const std::string& fileName) { return GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFiles(std::initializer_list<std::string> names) {
    for (const std::string& name : names) DeleteFileA(name.c_str());
}

// A list with Count pictures of 4 x 4 pixels.
void Fill(TPictureList& list, int count) {
    list.SetName("Symbole");
    list.SetIDMinimum(1);
    list.SetIDMaximum(1000);
    for (int i = 0; i < count; ++i) list.AddPicture(0)->SetGraphic(Filled(4, 4, TColor(RGB(10 * i, 0, 0))));
}

class PictureListFileWin : public PicturesTest {};

}  // namespace

TEST_F(PictureListFileWin, ALoadedFileMakesItsEntriesOfTheListsEntryClass) {
    const std::string file = TempPath("varnolet_marked.pil");
    TPictureList source;
    Fill(source, 3);
    source.SaveToFile(file);

    TPictureList list;
    list.SetEntryClass(&TMarkedEntry::Make);
    list.LoadFromFile(file);
    ASSERT_EQ(list.Count(), 3);
    for (int i = 0; i < list.Count(); ++i) EXPECT_NE(dynamic_cast<TMarkedEntry*>(list.Items(i)), nullptr) << i;
    EXPECT_EQ(list.EntryClass(), &TMarkedEntry::Make);
    // Entries made later, by lookup, are of the same class.
    EXPECT_NE(dynamic_cast<TMarkedEntry*>(list.GetPicture(500)), nullptr);
    RemoveFiles({file});
}

TEST_F(PictureListFileWin, SavingReplacesTheFileOnlyWhenTheNewOneIsComplete) {
    const std::string file = TempPath("varnolet_replace.pil");
    const std::string temp = TempFileName(file);
    RemoveFiles({file, temp});
    TPictureList first, second;
    Fill(first, 2);
    Fill(second, 5);
    first.SaveToFile(file);
    second.SaveToFile(file);  // over an existing file: MoveFileEx replaces it in one step
    EXPECT_FALSE(Exists(temp));
    TPictureList loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.Count(), 5);

    // A folder in the way of the temporary file: the save fails and the file stays as it was.
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    EXPECT_THROW(first.SaveToFile(file), EStreamError);
    RemoveDirectoryA(temp.c_str());
    TPictureList still;
    still.LoadFromFile(file);
    EXPECT_EQ(still.Count(), 5);
    RemoveFiles({file, temp});
}

TEST(SafeSaveWin, ANodeFileKeepsItsPreviousVersionAsReplacedFile) {
    const std::string file = TempPath("varnolet_keep.std");
    const std::string kept = ChangeFileExt(file, ".C$$");
    RemoveFiles({file, kept});
    for (const char* text : {"first", "second", "third"}) {
        std::unique_ptr<TNode> node(TNode::Create<TNode>(text));
        SaveToFile(node.get(), file);
    }
    std::unique_ptr<TNode> now(LoadFromFile(file));
    std::unique_ptr<TNode> before(LoadFromFile(kept));
    EXPECT_EQ(now->Text(), "third");
    EXPECT_EQ(before->Text(), "second");  // the older ".C$$" was replaced
    EXPECT_FALSE(Exists(TempFileName(file)));
    RemoveFiles({file, kept});
}

TEST(SafeSaveWin, AFileThatIsOpenElsewhereIsNotReplacedAndTheSaveSaysSo) {
    const std::string file = TempPath("varnolet_locked.std");
    const std::string kept = ChangeFileExt(file, ".C$$");
    RemoveFiles({file, kept});
    std::unique_ptr<TNode> old(TNode::Create<TNode>("old"));
    SaveToFile(old.get(), file);
    // Another program holds the file open without sharing: it can be neither renamed nor replaced.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::unique_ptr<TNode> next(TNode::Create<TNode>("new"));
    EXPECT_THROW(SaveToFile(next.get(), file), EFCreateError);
    CloseHandle(held);
    EXPECT_FALSE(Exists(TempFileName(file)));
    std::unique_ptr<TNode> now(LoadFromFile(file));
    EXPECT_EQ(now->Text(), "old");
    RemoveFiles({file, kept});
}
