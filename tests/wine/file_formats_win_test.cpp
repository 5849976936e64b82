// The files the program writes are defined in bytes, not by the build: the Windows build (32 or
// 64 bits) writes a quick-text library, a configuration and a picture list byte for byte as the
// portable writers do on Linux (the kept samples in tests/formats/data).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "nodes/node_stream.h"
#include "pictures/picture_list_win.h"
#include "pictures_testing_win.h"
#include "program_folder_test_win.h"
#include "tests/formats/format_samples.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void ExpectSample(const fs::path& written, const char* name) {
    const std::vector<uint8_t> sample = ReadBytes(fs::path(FORMAT_SAMPLES_DATA) / name);
    ASSERT_FALSE(sample.empty()) << name;
    const std::vector<uint8_t> bytes = ReadBytes(written);
    const auto [mine, theirs] = std::mismatch(bytes.begin(), bytes.end(), sample.begin(), sample.end());
    EXPECT_TRUE(mine == bytes.end() && theirs == sample.end())
        << name << " written by the " << sizeof(void*) * 8 << "-bit build differs at byte "
        << (mine - bytes.begin()) << " (" << bytes.size() << " bytes, the sample has " << sample.size() << ")";
}

using FileFormatsTest = ProgramFolderTest;

// The picture list needs the graphic classes to read its file back.
class PictureFileFormatTest : public PicturesTest {
protected:
    void SetUp() override {
        PicturesTest::SetUp();
        dir = fs::temp_directory_path() / "vn_PictureFileFormatTest";
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::remove_all(dir);
        PicturesTest::TearDown();
    }
    fs::path dir;
};

TEST_F(FileFormatsTest, LibraryAndConfigurationAreWrittenAsOnEveryBuild) {
    RegisterSampleClasses();
    std::unique_ptr<TTextNode> library = MakeSampleLibrary();
    SaveToFile(library.get(), (dir / SampleLibraryName).string());
    ExpectSample(dir / SampleLibraryName, SampleLibraryName);

    std::unique_ptr<TConfigRootNode> configuration = MakeSampleConfiguration();
    SaveToFile(configuration.get(), (dir / SampleConfigurationName).string());
    ExpectSample(dir / SampleConfigurationName, SampleConfigurationName);
}

TEST_F(PictureFileFormatTest, PictureListIsWrittenAsOnEveryBuild) {
    const TPictureFile sample = MakeSamplePictureFile();
    TPictureList list;
    list.SetName(sample.Name);
    list.SetTag(sample.Tag);
    list.SetDefaultOption(sample.DefaultOption);
    list.SetIDMinimum(sample.IDMinimum);
    list.SetIDMaximum(sample.IDMaximum);
    for (const TPictureFileEntry& record : sample.Entries) {
        TPictureItem item(record.Option, record.ID);
        item.ResourceID = record.ResourceID;
        item.Image = record.Image;
        list.AddPicture(record.ID)->AssignItem(item);
    }
    list.SaveToFile((dir / SamplePictureFileName).string());
    ExpectSample(dir / SamplePictureFileName, SamplePictureFileName);

    // And the list reads its own file back to the same entries.
    TPictureList reread;
    reread.SetIDMinimum(sample.IDMinimum);
    reread.SetIDMaximum(sample.IDMaximum);
    reread.LoadFromFile((dir / SamplePictureFileName).string());
    ASSERT_EQ(reread.Count(), static_cast<int>(sample.Entries.size()));
    for (int i = 0; i < reread.Count(); ++i) EXPECT_EQ(reread.Items(i)->ID(), sample.Entries[i].ID);
}

}  // namespace
