// The stream-in reader: line breaks of plain text widened to CR LF across read boundaries, RTF
// passed unchanged, requests of any size down to one byte, the chunk limit, and the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "editor/stream_in_reader.h"

namespace {

// A source that hands out at most Step bytes per read.
class TStepSource {
public:
    TStepSource(std::string data, size_t step) : data_(std::move(data)), step_(step) {}
    size_t operator()(char* buffer, size_t count) {
        const size_t n = std::min({count, step_, data_.size() - pos_});
        data_.copy(buffer, n, pos_);
        pos_ += n;
        return n;
    }

private:
    std::string data_;
    size_t step_;
    size_t pos_ = 0;
};

// Reads everything with requests of Asked bytes; also checks that no request is overfilled.
std::string ReadAll(TStreamInReader& reader, size_t asked) {
    std::string out;
    std::string buffer(asked, '\0');
    for (int guard = 0; guard < 100000; ++guard) {
        const size_t n = reader.Read(buffer.data(), asked);
        EXPECT_LE(n, asked);
        if (n == 0) return out;
        out.append(buffer.data(), n);
    }
    ADD_FAILURE() << "the reader never ended";
    return out;
}

struct BreakCase {
    const char* input;
    const char* expected;
};

TEST(StreamInReaderTest, PlainTextLineBreaksBecomeCrLfWhateverTheChunking) {
    const BreakCase cases[] = {
        {"a\nb", "a\r\nb"},       {"a\rb", "a\r\nb"},         {"a\r\nb", "a\r\nb"},     {"a\n\rb", "a\r\n\r\nb"},
        {"a\r\r\nb", "a\r\n\r\nb"}, {"end\r", "end\r\n"},     {"\r", "\r\n"},           {"\n", "\r\n"},
        {"", ""},                 {"x\r\n\r\n", "x\r\n\r\n"}, {"plain", "plain"},
    };
    for (const BreakCase& c : cases)
        for (size_t step : {1u, 2u, 3u, 1000u})
            for (size_t asked : {1u, 2u, 3u, 4096u}) {
                TStreamInReader reader(TStepSource(c.input, step), true);
                EXPECT_EQ(ReadAll(reader, asked), c.expected)
                    << "input: " << c.input << " step " << step << " asked " << asked;
            }
}

TEST(StreamInReaderTest, RtfPassesUnchanged) {
    const std::string rtf = "{\\rtf1\\ansi a\r\nb\rc\n}";
    for (size_t step : {1u, 7u, 4096u}) {
        TStreamInReader reader(TStepSource(rtf, step), false);
        EXPECT_EQ(ReadAll(reader, 4096), rtf) << "step " << step;
        EXPECT_EQ(reader.SourceBytes(), rtf.size());
    }
}

TEST(StreamInReaderTest, NoRequestGetsMoreThanTheChunkLimit) {
    const std::string data(100000, 'x');
    TStreamInReader reader(TStepSource(data, data.size()), false, 1000);
    std::string buffer(65536, '\0');
    size_t total = 0;
    for (size_t n; (n = reader.Read(buffer.data(), buffer.size())) != 0;) {
        EXPECT_LE(n, 1000u);
        total += n;
    }
    EXPECT_EQ(total, data.size());
}

TEST(StreamInReaderTest, ATricklingSourceStillFillsEachRequest) {
    const std::string rtf = "{\\rtf1 " + std::string(100, 'x') + "}";
    TStreamInReader reader(TStepSource(rtf, 1), false);
    char first[16] = {};
    ASSERT_EQ(reader.Read(first, 16), 8u) << "half the request, gathered from single bytes";
    EXPECT_EQ(std::string(first, 5), "{\\rtf");
    std::string rest = ReadAll(reader, 4096);
    EXPECT_EQ(std::string(first, 8) + rest, rtf);
}

TEST(StreamInReaderTest, AfterTheEndEveryReadGivesZero) {
    TStreamInReader reader(TStepSource("ab\r", 10), true);
    EXPECT_EQ(ReadAll(reader, 10), "ab\r\n");
    char c = 0;
    EXPECT_EQ(reader.Read(&c, 1), 0u);
    EXPECT_EQ(reader.Read(&c, 0), 0u) << "a request of nothing gives nothing";
}

TEST(StreamInReaderTest, ASourceErrorReachesTheCaller) {
    int reads = 0;
    TStreamInReader reader(
        [&reads](char* buffer, size_t) -> size_t {
            if (++reads > 1) throw std::runtime_error("broken");
            buffer[0] = 'a';
            return 1;
        },
        true);
    char out[8];
    EXPECT_THROW(reader.Read(out, 8), std::runtime_error) << "the request is being filled when the source fails";
    EXPECT_EQ(reads, 2);
}

}  // namespace
