#include "base/stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

TEST(MemoryStream, WriteReadSeekAndSize) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.Position(), 6);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.Seek(-2, soEnd), 4);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 2u);
    EXPECT_STREQ(buf, "ef");
    EXPECT_EQ(s.Read(buf, 8), 0u);
    EXPECT_EQ(s.Seek(-3, soCurrent), 3);
    EXPECT_EQ(s.Remaining(), 3);
    s.SetPosition(1);
    s.WriteBuffer("XY", 2);
    EXPECT_EQ(std::string(s.Bytes().begin(), s.Bytes().end()), "aXYdef");
}

TEST(MemoryStream, SeekBeforeStartIsRefused) {
    TMemoryStream s;
    s.WriteBuffer("ab", 2);
    EXPECT_EQ(s.Seek(-3, soCurrent), -1);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.Seek(-1, soBeginning), -1);
}

TEST(MemoryStream, WritePastTheEndFillsTheGapWithZeros) {
    TMemoryStream s;
    s.WriteBuffer("a", 1);
    EXPECT_EQ(s.Seek(3, soEnd), 4);
    EXPECT_EQ(s.Size(), 1);  // seeking alone does not grow the stream
    EXPECT_EQ(s.Remaining(), 0);
    s.WriteBuffer("z", 1);
    EXPECT_EQ(s.Bytes(), Bytes({'a', 0, 0, 0, 'z'}));
}

TEST(MemoryStream, SetSizeTruncatesAndExtends) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    s.SetSize(3);
    EXPECT_EQ(s.Position(), 3);  // moved back to the new end
    s.SetSize(5);
    EXPECT_EQ(s.Bytes(), Bytes({'a', 'b', 'c', 0, 0}));
    EXPECT_EQ(s.Position(), 3);
    EXPECT_THROW(s.SetSize(-1), EWriteError);
    EXPECT_THROW(s.SetSize(TMemoryStream::MaxSize + 1), EWriteError);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, ReadBufferRaisesWhenShort) {
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    s.SetPosition(1);
    char buf[4];
    try {
        s.ReadBuffer(buf, 3);
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Id(), sid::ReadError);
    }
    s.SetPosition(0);
    s.ReadBuffer(buf, 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
    s.ReadBuffer(buf, 0);  // nothing asked, nothing raised at the end
}

TEST(MemoryStream, WritesBeyondTheSizeLimitFailWithoutAllocating) {
    TMemoryStream s;
    EXPECT_EQ(s.Seek(TMemoryStream::MaxSize, soBeginning), TMemoryStream::MaxSize);
    EXPECT_EQ(s.Write("x", 1), 0u);
    try {
        s.WriteBuffer("x", 1);
        FAIL() << "no exception";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Id(), sid::WriteError);
    }
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Seek(INT64_MAX, soCurrent), -1);
}

TEST(MemoryStream, TakeBytesDropsTheSkippedHeadAndRewinds) {
    TMemoryStream stream;
    stream.WriteBuffer("old contents", 12);
    stream.TakeBytes(std::vector<uint8_t>{4, 0, 0, 0, 'a', 'b', 'c', 'd'}, 4);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{'a', 'b', 'c', 'd'}));
    stream.TakeBytes(std::vector<uint8_t>{1, 2}, 5);
    EXPECT_EQ(stream.Size(), 0);
    stream.TakeBytes(std::vector<uint8_t>{7, 8});
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{7, 8}));
}

TEST(Stream, CopyFrom) {
    TMemoryStream src;
    src.WriteBuffer("0123456789", 10);
    TMemoryStream dst;
    src.SetPosition(2);
    EXPECT_EQ(dst.CopyFrom(src, 3), 3);
    EXPECT_EQ(std::string(dst.Bytes().begin(), dst.Bytes().end()), "234");
    EXPECT_EQ(dst.CopyFrom(src, 0), 10);  // all of the source, from its start
    EXPECT_EQ(dst.Size(), 13);
    src.SetPosition(8);
    EXPECT_THROW(dst.CopyFrom(src, 5), EReadError);
    EXPECT_THROW(dst.CopyFrom(src, -1), EReadError);
}

TEST(Stream, CopyFromLargerThanOneChunk) {
    TMemoryStream src;
    std::vector<uint8_t> data(200000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    src.WriteBuffer(data.data(), data.size());
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(src, 0), 200000);
    EXPECT_EQ(dst.Bytes(), data);
}

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vn_stream_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string PathOf(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

TEST_F(FileStreamTest, CreateWriteReopenRead) {
    const std::string name = PathOf("a.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("hello", 5);
        f.SetPosition(0);  // a created file can be read back
        char buf[5];
        f.ReadBuffer(buf, 5);
        EXPECT_EQ(std::string(buf, 5), "hello");
        f.WriteBuffer("!", 1);
        EXPECT_EQ(f.FileName(), name);
    }
    TFileStream f(name, fmOpenRead);
    EXPECT_EQ(f.Size(), 6);
    char buf[8];
    EXPECT_EQ(f.Read(buf, 8), 6u);
    EXPECT_EQ(std::string(buf, 6), "hello!");
    EXPECT_EQ(f.Write("x", 1), 0u);  // opened for reading only
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
    f.SetPosition(4);
    EXPECT_THROW(f.ReadBuffer(buf, 3), EReadError);
}

TEST_F(FileStreamTest, ReadWriteKeepsContentAndSwitchesDirection) {
    const std::string name = PathOf("b.bin");
    { TFileStream(name, fmCreate).WriteBuffer("abcdef", 6); }
    {
        TFileStream f(name, fmOpenReadWrite);
        char c;
        f.ReadBuffer(&c, 1);
        EXPECT_EQ(c, 'a');
        f.WriteBuffer("X", 1);  // directly after a read
        f.ReadBuffer(&c, 1);
        EXPECT_EQ(c, 'c');
        f.Seek(2, soEnd);
        f.WriteBuffer("Z", 1);  // past the end: the gap becomes zeros
        f.SetSize(9);
        EXPECT_EQ(f.Position(), 9);
        f.SetSize(4);
        EXPECT_EQ(f.Position(), 4);
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "aXcd");
    EXPECT_EQ(m.Position(), 0);
}

TEST_F(FileStreamTest, GapAfterSeekPastEndIsZeroFilled) {
    const std::string name = PathOf("c.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("a", 1);
        f.Seek(2, soCurrent);
        f.WriteBuffer("b", 1);
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(m.Bytes(), Bytes({'a', 0, 0, 'b'}));
}

TEST_F(FileStreamTest, OpenAndCreateFailuresNameTheFile) {
    const std::string missing = PathOf("missing.std");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Id(), sid::FOpenError);
        EXPECT_EQ(std::get<std::string>(e.Args().at(0)), missing);
        EXPECT_NE(e.Message().find(missing), std::string::npos);
    }
    EXPECT_THROW(TFileStream(missing, fmOpenWrite), EFOpenError);
    const std::string impossible = PathOf("no_such_dir/x.std");
    try {
        TFileStream f(impossible, fmCreate);
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Id(), sid::FCreateError);
        EXPECT_EQ(std::get<std::string>(e.Args().at(0)), impossible);
    }
}

TEST_F(FileStreamTest, MemoryStreamSaveAndLoad) {
    TMemoryStream m;
    m.WriteBuffer("\x00\xFF\x10", 3);
    m.SetPosition(1);
    const std::string name = PathOf("d.bin");
    m.SaveToFile(name);
    EXPECT_EQ(m.Position(), 1);  // saving leaves the stream as it was
    TMemoryStream back;
    back.WriteBuffer("old content", 11);
    back.LoadFromFile(name);
    EXPECT_EQ(back.Bytes(), Bytes({0, 0xFF, 0x10}));
    EXPECT_THROW(back.LoadFromFile(PathOf("none")), EFOpenError);
}

}  // namespace
