// The kept sample files are what the portable writers produce from the sample contents, and
// reading a sample and writing it again gives the same bytes. The Windows tests compare their
// own writing against the same files, so every build writes these formats byte for byte alike.
// VARNOLET_UPDATE_FORMAT_SAMPLES=1 writes the samples anew instead of comparing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/text_node.h"
#include "config/config_node.h"
#include "nodes/node_stream.h"
#include "pictures/picture_file.h"
#include "tests/formats/format_samples.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class FormatSamplesTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSampleClasses();
        dir = fs::temp_directory_path() /
              ("varnolet_formats_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Compares what was written to Written with the kept sample Name, or keeps it as the sample.
    void ExpectSample(const fs::path& written, const char* name) {
        const fs::path sample = fs::path(FORMAT_SAMPLES_DATA) / name;
        if (std::getenv("VARNOLET_UPDATE_FORMAT_SAMPLES")) {
            fs::copy_file(written, sample, fs::copy_options::overwrite_existing);
            return;
        }
        ASSERT_TRUE(fs::exists(sample)) << sample;
        EXPECT_EQ(ReadBytes(written), ReadBytes(sample)) << name;
    }

    fs::path dir;
};

TEST_F(FormatSamplesTest, TheWritersProduceTheKeptSamples) {
    std::unique_ptr<TTextNode> library = MakeSampleLibrary();
    SaveToFile(library.get(), (dir / SampleLibraryName).string());
    ExpectSample(dir / SampleLibraryName, SampleLibraryName);

    std::unique_ptr<TConfigRootNode> configuration = MakeSampleConfiguration();
    SaveToFile(configuration.get(), (dir / SampleConfigurationName).string());
    ExpectSample(dir / SampleConfigurationName, SampleConfigurationName);

    SavePictureFile((dir / SamplePictureFileName).string(), MakeSamplePictureFile());
    ExpectSample(dir / SamplePictureFileName, SamplePictureFileName);
}

TEST_F(FormatSamplesTest, SamplesReadBackToTheirContentAndWriteTheSameBytes) {
    const fs::path data(FORMAT_SAMPLES_DATA);
    for (const char* name : {SampleLibraryName, SampleConfigurationName}) {
        std::unique_ptr<TNode> tree(LoadFromFile((data / name).string()));
        ASSERT_TRUE(tree) << name;
        SaveToFile(tree.get(), (dir / name).string());
        EXPECT_EQ(ReadBytes(dir / name), ReadBytes(data / name)) << name;
    }
    std::unique_ptr<TNode> library(LoadFromFile((data / SampleLibraryName).string()));
    ASSERT_EQ(library->ChildCount(), 2);
    // Siblings come in text order, groups among items.
    EXPECT_EQ(library->Child(0)->Text(), "Adresse");
    EXPECT_EQ(library->Child(1)->Text(), "Briefe");
    EXPECT_EQ(library->Child(1)->Child(1)->Text(), "Gr\xFC\xDF" "e");

    const TPictureFile pictures = LoadPictureFile((data / SamplePictureFileName).string());
    const TPictureFile expected = MakeSamplePictureFile();
    EXPECT_EQ(pictures.Name, expected.Name);
    EXPECT_EQ(pictures.Tag, expected.Tag);
    EXPECT_EQ(pictures.DefaultOption, expected.DefaultOption);
    EXPECT_EQ(pictures.IDMaximum, expected.IDMaximum);
    ASSERT_EQ(pictures.Entries.size(), expected.Entries.size());
    for (size_t i = 0; i < expected.Entries.size(); ++i) EXPECT_EQ(pictures.Entries[i], expected.Entries[i]) << i;
}

}  // namespace
