// The .PIL file: its byte layout, round trips of every graphic class, unknown classes, the
// entry list's version and damaged files.
#include "pictures/picture_file.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"
#include "picture_test_data.h"
#include "pictures/image_error.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> Written(const TPictureFile& file) {
    TMemoryStream stream;
    WritePictureFile(stream, file);
    return stream.Bytes();
}

TPictureFile ReadBack(const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return ReadPictureFile(stream);
}

void Append(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes) { out.insert(out.end(), bytes); }
void AppendStr(std::vector<uint8_t>& out, const std::string& s) {
    out.push_back(uint8_t(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}

TEST(PictureFile, ByteLayoutOfAListWithOneEntry) {
    TPictureFile file;
    file.Name = "Symbole";
    file.IDMinimum = 1;
    file.IDMaximum = 1000;
    file.DefaultOption = TPictOption{poLeft, poMasked};
    TPictureFileEntry e;
    e.ID = 7;
    e.ResourceID = -2;
    e.Option = TPictOption{poTop, poModified};
    e.Image = {"TBitmap", {'B', 'M', 1}};
    file.Entries.push_back(e);
    std::vector<uint8_t> expected = {0xFF, 10, 0};
    for (char c : std::string("SYMBOLE")) expected.push_back(uint8_t(c));
    Append(expected, {0, 0x30, 0x10});
    std::vector<uint8_t> stream = Bytes("TPF0");
    AppendStr(stream, "TPictureList");
    AppendStr(stream, "Symbole");
    AppendStr(stream, "DefaultOption");
    stream.push_back(11);
    AppendStr(stream, "poLeft");
    AppendStr(stream, "poMasked");
    stream.push_back(0);
    AppendStr(stream, "IDMinimum");
    Append(stream, {2, 1});
    AppendStr(stream, "IDMaximum");
    Append(stream, {3, 0xE8, 0x03});
    AppendStr(stream, "Entries");
    const std::vector<uint8_t> entries = {1, 4, 1, 0, 0, 0,  7, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 4, 0x10,
                                          11, 0, 0, 0, 7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 'B', 'M', 1};
    Append(stream, {10, uint8_t(entries.size()), 0, 0, 0});
    stream.insert(stream.end(), entries.begin(), entries.end());
    Append(stream, {0, 0});
    Append(expected, {uint8_t(stream.size()), uint8_t(stream.size() >> 8), 0, 0});
    expected.insert(expected.end(), stream.begin(), stream.end());
    EXPECT_EQ(Written(file), expected);
    EXPECT_EQ(WriteEntriesData(file.Entries), entries);
}

TEST(PictureFile, RoundTripOfEveryGraphicClassAndOfTheListProperties) {
    TPictureFile file;
    file.Name = "Liste";
    file.Tag = -40000;
    file.IDMinimum = -5;
    file.IDMaximum = 100000;
    file.Left = 12;
    file.Top = 300;
    int id = 1;
    for (const std::string& cls : GraphicClassNames()) {
        TPictureFileEntry e;
        e.ID = id++;
        e.ResourceID = id * 100;
        e.Option = TPictOption::FromBits(uint32_t(id * 37) & 0x1FFF);
        e.Image = {cls, std::vector<uint8_t>(size_t(id * 50), uint8_t(id))};
        file.Entries.push_back(e);
    }
    TPictureFileEntry empty;
    empty.ID = 99;
    file.Entries.push_back(empty);
    const TPictureFile back = ReadBack(Written(file));
    EXPECT_EQ(back.ClassName, "TPictureList");
    EXPECT_EQ(back.Name, "Liste");
    EXPECT_EQ(back.Tag, -40000);
    EXPECT_EQ(back.IDMinimum, -5);
    EXPECT_EQ(back.IDMaximum, 100000);
    EXPECT_EQ(back.Left, 12);
    EXPECT_EQ(back.Top, 300);
    EXPECT_EQ(back.DefaultOption, DefaultPictOption);
    EXPECT_EQ(back.Entries, file.Entries);
}

TEST(PictureFile, EmptyListWritesNoEntriesAndNamelessListsUseTheClassName) {
    TPictureFile file;
    const std::vector<uint8_t> bytes = Written(file);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("Entries"), std::string::npos);
    EXPECT_EQ(text.find("DefaultOption"), std::string::npos);
    EXPECT_EQ(text.substr(3, 13), std::string("TPICTURELIST\0", 13));
    EXPECT_TRUE(ReadBack(bytes).Entries.empty());
    file.Name = std::string(70, 'a');
    const std::vector<uint8_t> longName = Written(file);
    EXPECT_EQ(std::string(longName.begin() + 3, longName.begin() + 67), std::string(63, 'A') + '\0');
    EXPECT_EQ(ReadBack(longName).Name, std::string(70, 'a'));
}

TEST(PictureFile, UnknownClassesAreSkippedByTheirSize) {
    TPictureFileEntry a, b, c;
    a.ID = 1;
    a.Image = {"TJPEGImage", {1, 2, 3}};
    b.ID = 2;
    b.Image = {"tgifbitmap", {4}};  // the class is found whatever its case
    c.ID = 3;
    c.Image = {std::string(64, 'X'), {5, 6}};
    // Written by hand: the writer refuses class names longer than 63 characters.
    std::vector<uint8_t> data = {1, 4, 3, 0, 0, 0};
    for (const TPictureFileEntry* e : {&a, &b, &c}) {
        Append(data, {uint8_t(e->ID), 0, 0, 0, 0, 0, 0, 0, 0, 0});
        const size_t size = 1 + e->Image.ClassName.size() + e->Image.Data.size();
        Append(data, {uint8_t(size), 0, 0, 0});
        AppendStr(data, e->Image.ClassName);
        data.insert(data.end(), e->Image.Data.begin(), e->Image.Data.end());
    }
    const std::vector<TPictureFileEntry> read = ReadEntriesData(data);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_FALSE(read[0].Image.HasPicture());
    EXPECT_EQ(read[0].SkippedClass, "TJPEGImage");
    EXPECT_EQ(read[1].Image.ClassName, "TGIFBitmap");
    EXPECT_EQ(read[1].Image.Data, std::vector<uint8_t>{4});
    EXPECT_FALSE(read[2].Image.HasPicture());
    EXPECT_EQ(read[2].ID, 3);
}

TEST(PictureFile, EntriesOfAnotherVersionAbortSilently) {
    TPictureFile file;
    TPictureFileEntry e;
    e.Image = {"TIcon", {1}};
    file.Entries.push_back(e);
    std::vector<uint8_t> bytes = Written(file);
    const std::string text(bytes.begin(), bytes.end());
    const size_t version = text.find("Entries") + 7 + 5;
    ASSERT_EQ(bytes[version], 1);
    bytes[version] = 2;
    try {
        ReadBack(bytes);
        FAIL() << "no abort";
    } catch (const EAbort& abort) {
        EXPECT_EQ(abort.Id(), sid::InvalidStreamFormat2);
    }
}

TEST(PictureFile, CountWidthsOneToFourAreAccepted) {
    for (uint8_t width = 1; width <= 4; ++width) {
        std::vector<uint8_t> data = {1, width, 1};
        data.resize(2 + width, 0);
        Append(data, {5, 0, 0, 0, 6, 0, 0, 0, 1, 0, 0, 0, 0, 0});
        const std::vector<TPictureFileEntry> read = ReadEntriesData(data);
        ASSERT_EQ(read.size(), 1u) << int(width);
        EXPECT_EQ(read[0].ID, 5);
        EXPECT_EQ(read[0].ResourceID, 6);
        EXPECT_EQ(read[0].Option, TPictOption{poLeft});
    }
}

TEST(PictureFile, DamagedEntryListsFail) {
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"width 0", {1, 0}},
        {"width 5", {1, 5, 0, 0, 0, 0, 0}},
        {"count cut", {1, 4, 1, 0}},
        {"count beyond the data", {1, 4, 2, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {"record size beyond the data", {1, 1, 1, 5, 0, 0, 0, 6, 0, 0, 0, 1, 0, 9, 0, 0, 0, 1}},
        {"class name beyond the record", {1, 1, 1, 5, 0, 0, 0, 6, 0, 0, 0, 1, 0, 2, 0, 0, 0, 5, 'T', 'I'}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FailureId([&] { ReadEntriesData(c.second); }), sid::InvalidStreamFormat) << c.first;
}

TEST(PictureFile, DamagedHeadersAndStreamsFail) {
    TPictureFile file;
    file.Name = "Symbole";
    const std::vector<uint8_t> good = Written(file);
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> d = good;
        d[at] = value;
        return d;
    };
    std::vector<uint8_t> noZero = {0xFF, 10, 0};
    noZero.resize(200, 'A');
    std::vector<uint8_t> unknownProperty = good;
    const std::string text(good.begin(), good.end());
    unknownProperty[text.find("IDMinimum")] = 'X';
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"first byte", with(0, 0xFE)},
        {"type", with(1, 11)},
        {"name without end", noZero},
        {"signature", with(17, 'X')},  // after 0xFF, 10, 0, "SYMBOLE", 0, flags and size
        {"cut", std::vector<uint8_t>(good.begin(), good.end() - 3)},
        {"unknown property", unknownProperty},
    };
    for (const auto& c : cases) {
        const int expected = c.second == unknownProperty ? sid::UnknownProperty : sid::InvalidStreamFormat;
        EXPECT_EQ(FailureId([&] { ReadBack(c.second); }), expected) << c.first;
    }
}

}  // namespace
