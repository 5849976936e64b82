// Tests of gen_strings.cmake: its checks of strings.tsv, the escaping of the C++ literals, and
// the Windows string tables it writes, compiled by windres and read back from the .res files.
#include "builtin_strings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary);
    file << content;
}

// A folder of its own for each test (and row), so that tests may run in parallel.
fs::path TestFolder(const std::string& name) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path folder = fs::path(VARNOLET_TEST_TMP) / (std::string(info->name()) + "_" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

struct TRunResult {
    int status;
    std::string output;
};

// CMake wraps long message lines at blanks and indents the rest, at places that depend on the
// length of the paths in them: runs of blanks and line ends become one blank here.
std::string Words(const std::string& text) {
    std::string words;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (!blank) words += c;
        else if (!words.empty() && words.back() != ' ') words += ' ';
    }
    return words;
}

TRunResult RunTool(const std::string& command, const fs::path& log) {
    int status = std::system((command + " >'" + log.string() + "' 2>&1").c_str());
    return {status, Words(ReadFile(log))};
}

// Runs the generator on Content; the outputs go to Folder/out.
TRunResult RunGenerator(const std::string& content, const fs::path& folder) {
    WriteFile(folder / "strings.tsv", content);
    std::string command = std::string("'") + VARNOLET_CMAKE_COMMAND + "' -DINPUT='" +
                          (folder / "strings.tsv").string() + "' -DOUTPUT_DIR='" +
                          (folder / "out").string() + "' -P '" + VARNOLET_GEN_STRINGS + "'";
    return RunTool(command, folder / "log.txt");
}

std::vector<std::string> SourceLines() {
    std::vector<std::string> lines;
    std::istringstream source(ReadFile(VARNOLET_STRINGS_TSV));
    for (std::string line; std::getline(source, line);) lines.push_back(line);
    return lines;
}

std::string Join(const std::vector<std::string>& lines, const char* lineEnd = "\n") {
    std::string content;
    for (const std::string& line : lines) content += line + lineEnd;
    return content;
}

// The lines of strings.tsv with the line of Id replaced by Replacement.
std::vector<std::string> WithLine(int id, const std::string& replacement) {
    std::vector<std::string> lines = SourceLines();
    std::string prefix = std::to_string(id) + "\t";
    for (std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0) line = replacement;
    }
    return lines;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string result;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = text[i];
        int trail = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : 2;
        char32_t codePoint = trail == 0 ? lead : trail == 1 ? (lead & 0x1F) : (lead & 0x0F);
        for (int k = 1; k <= trail && i + k < text.size(); ++k) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        result.push_back(static_cast<char16_t>(codePoint));
        i += 1 + trail;
    }
    return result;
}

struct TBadInput {
    const char* name;
    std::function<std::vector<std::string>()> lines;
    const char* message;
};

TEST(GenStrings, RejectsBadInput) {
    const TBadInput rows[] = {
        {"duplicate", [] { return WithLine(65137, "65136\tx\ty"); }, "id 65136 already given in line"},
        {"missing", [] { return WithLine(65200, "# 65200 left out"); }, "missing ids 65200"},
        {"above_range", [] { auto l = SourceLines(); l.push_back("65536\tx\ty"); return l; },
         "id 65536 is outside 65136..65535"},
        {"below_range", [] { auto l = SourceLines(); l.insert(l.begin(), "65135\tx\ty"); return l; },
         "id 65135 is outside"},
        {"huge_id", [] { return WithLine(65137, "6513700000\tx\ty"); }, "is outside"},
        {"leading_zero", [] { return WithLine(65137, "065137\tx\ty"); }, "is outside"},
        {"two_fields", [] { return WithLine(65140, "65140\tChecked"); }, "expected id<TAB>German<TAB>English"},
        {"four_fields", [] { return WithLine(65140, "65140\ta\tb\tc"); }, "expected id<TAB>"},
        {"letter_in_id", [] { return WithLine(65140, "6514O\ta\tb"); }, "expected id<TAB>"},
        {"blank_line", [] { return WithLine(65140, ""); }, "expected id<TAB>"},
        {"unknown_escape", [] { return WithLine(65140, "65140\ta\\qb\tc"); }, "unknown escape"},
        {"lone_backslash", [] { return WithLine(65140, "65140\ta\\\tc"); }, "unknown escape"},
        {"not_cp1252", [] { return WithLine(65140, "65140\t\xC4\x80\tc"); }, "0x100 is not in code page 1252"},
        {"beyond_bmp", [] { return WithLine(65140, "65140\tx\t\xF0\x9F\x98\x80"); }, "not in code page 1252"},
        {"bad_continuation", [] { return WithLine(65140, "65140\t\xC3" "A\tc"); }, "invalid UTF-8"},
        {"lone_continuation", [] { return WithLine(65140, "65140\t\x80\tc"); }, "invalid UTF-8"},
        {"overlong", [] { return WithLine(65140, "65140\t\xC0\xA4\tc"); }, "invalid UTF-8"},
        {"overlong_three", [] { return WithLine(65140, "65140\t\xE0\x83\xA4\tc"); }, "overlong"},
        {"cut_short", [] { return WithLine(65140, "65140\tab\xC3\tc"); }, "cut short"},
        {"control_char", [] { return WithLine(65140, "65140\ta\x01z\tc"); }, "control character"},
        {"inner_cr", [] { return WithLine(65140, "65140\ta\rb\tc"); }, "control character"},
    };
    for (const TBadInput& row : rows) {
        fs::path folder = TestFolder(row.name);
        TRunResult result = RunGenerator(Join(row.lines()), folder);
        EXPECT_NE(result.status, 0) << row.name;
        EXPECT_NE(result.output.find(row.message), std::string::npos) << row.name << ": " << result.output;
        EXPECT_FALSE(fs::exists(folder / "out" / "builtin_strings.cpp")) << row.name;
        EXPECT_FALSE(fs::exists(folder / "out" / "strings_de.rc")) << row.name;
    }
}

TEST(GenStrings, RejectsMissingFile) {
    fs::path folder = TestFolder("none");
    std::string command = std::string("'") + VARNOLET_CMAKE_COMMAND + "' -DINPUT='" +
                          (folder / "none.tsv").string() + "' -DOUTPUT_DIR='" +
                          (folder / "out").string() + "' -P '" + VARNOLET_GEN_STRINGS + "'";
    TRunResult result = RunTool(command, folder / "log.txt");
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.output.find("none.tsv: file not found"), std::string::npos) << result.output;
}

// Decodes the C++ string literal that follows "// Id" comment's line start in a generated
// builtin_strings.cpp; the escapes are those the generator writes.
std::string LiteralOf(const std::string& source, const std::string& table, int id) {
    size_t start = source.find(table);
    size_t comment = source.find("  // " + std::to_string(id) + "\n", start);
    size_t open = source.rfind("\n    \"", comment);
    if (start == std::string::npos || comment == std::string::npos || open == std::string::npos) return "<none>";
    std::string text;
    for (size_t i = open + 6; i < comment && source[i] != '"'; ++i) {
        if (source[i] != '\\') {
            text += source[i];
        } else if (source[i + 1] >= '0' && source[i + 1] <= '7') {
            int value = 0, digits = 0;
            for (; digits < 3 && source[i + 1] >= '0' && source[i + 1] <= '7'; ++digits, ++i)
                value = value * 8 + (source[i + 1] - '0');
            text += static_cast<char>(value);
        } else {
            char escaped = source[++i];
            text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        }
    }
    return text;
}

// Every character of code page 1252 beyond ASCII that differs from Latin-1, a few Latin-1 ones,
// quotes, escapes, list and bracket characters, and digits right after escaped bytes.
const char* const awkwardTsv =
    "\xE2\x82\xAC\xE2\x80\x9A\xC6\x92\xE2\x80\x9E\xE2\x80\xA6\xE2\x80\xA0\xE2\x80\xA1\xCB\x86"
    "\xE2\x80\xB0\xC5\xA0\xE2\x80\xB9\xC5\x92\xC5\xBD\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C"
    "\xE2\x80\x9D\xE2\x80\xA2\xE2\x80\x93\xE2\x80\x94\xCB\x9C\xE2\x84\xA2\xC5\xA1\xE2\x80\xBA"
    "\xC5\x93\xC5\xBE\xC5\xB8 \xC2\xA0\xC2\xA1\xC3\xBF \xC3\xA4" "123 \xC3\x9F" "7f"
    " \"q\" a\\nb\\tc\\\\d;[x];]e[ ?\?= ?\?\?/ |";
const char16_t* const awkwardUtf16 =
    u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D\u2018"
    u"\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178 "
    u"\u00A0\u00A1\u00FF \u00E4" u"123 \u00DF" u"7f \"q\" a\nb\tc\\d;[x];]e[ ?\?= ?\?\?/ |";

TEST(GenStrings, WritesEveryCharacterAndEscapeFaithfully) {
    fs::path folder = TestFolder("awkward");
    std::vector<std::string> lines = WithLine(65137, std::string("65137\t") + awkwardTsv + "\tStop");
    // Comment lines and Windows line ends are accepted too.
    lines.insert(lines.begin() + 5, "# a comment with \\q and \t tabs");
    TRunResult result = RunGenerator(Join(lines, "\r\n"), folder);
    ASSERT_EQ(result.status, 0) << result.output;

    std::string source = ReadFile(folder / "out" / "builtin_strings.cpp");
    EXPECT_EQ(Utf8ToUtf16(LiteralOf(source, "germanTexts", 65137)), awkwardUtf16);
    EXPECT_EQ(LiteralOf(source, "englishTexts", 65137), "Stop");
    EXPECT_EQ(LiteralOf(source, "germanTexts", 65264), "");
    EXPECT_EQ(LiteralOf(source, "germanTexts", 65284), BuiltinStringUtf8(tlGerman, 65284));
    EXPECT_EQ(LiteralOf(source, "englishTexts", 65535), BuiltinStringUtf8(tlEnglish, 65535));
}

// One string-table block of a .res file.
struct TBlock {
    uint16_t language;
    std::vector<std::u16string> texts;
};

// Reads the string-table blocks (type 6) of a .res file; false with Error when it is malformed.
bool ReadStringBlocks(const std::string& bytes, std::map<int, TBlock>& blocks, std::string& error) {
    auto word = [&](size_t at) {
        return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                     static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    auto dword = [&](size_t at) { return static_cast<uint32_t>(word(at) | word(at + 2) << 16); };
    // Type and name are 0xFFFF plus a number, or a zero-terminated UTF-16 name (-1 here).
    auto ordinal = [&](size_t& at, size_t end) -> int {
        if (at + 4 > end) return -2;
        if (word(at) == 0xFFFF) {
            at += 4;
            return word(at - 2);
        }
        while (at + 2 <= end && word(at) != 0) at += 2;
        at += 2;
        return -1;
    };
    size_t pos = 0;
    while (pos + 8 <= bytes.size()) {
        uint32_t dataSize = dword(pos), headerSize = dword(pos + 4);
        size_t headerEnd = pos + headerSize, dataEnd = headerEnd + dataSize;
        if (headerSize < 24 || dataEnd > bytes.size()) return error = "entry out of bounds", false;
        size_t at = pos + 8;
        int type = ordinal(at, headerEnd);
        int name = ordinal(at, headerEnd);
        at = (at + 3) & ~size_t(3);
        if (type == -2 || name == -2 || at + 16 > headerEnd) return error = "bad header", false;
        if (type == 6) {
            TBlock block{word(at + 6), {}};
            for (size_t p = headerEnd; block.texts.size() < 16;) {
                if (p + 2 > dataEnd || p + 2 + 2 * size_t(word(p)) > dataEnd) return error = "bad block", false;
                std::u16string text;
                for (size_t k = 0; k < word(p); ++k) text.push_back(static_cast<char16_t>(word(p + 2 + 2 * k)));
                block.texts.push_back(text);
                p += 2 + 2 * text.size();
            }
            if (!blocks.emplace(name, block).second) return error = "block given twice", false;
        }
        pos = (dataEnd + 3) & ~size_t(3);
    }
    return true;
}

TEST(GenStrings, ResourceFilesHoldTheSameTexts) {
    if (std::string(VARNOLET_STRINGS_RES_DE).empty()) GTEST_SKIP() << "no windres found";
    struct TCase {
        const char* path;
        TTextLanguage language;
        uint16_t languageId;
    };
    for (TCase c : {TCase{VARNOLET_STRINGS_RES_DE, tlGerman, 0x0407},
                    TCase{VARNOLET_STRINGS_RES_EN, tlEnglish, 0x0409}}) {
        std::map<int, TBlock> blocks;
        std::string error;
        ASSERT_TRUE(ReadStringBlocks(ReadFile(c.path), blocks, error)) << c.path << ": " << error;
        ASSERT_EQ(blocks.size(), 25u) << c.path;
        EXPECT_EQ(blocks.begin()->first, 4072) << c.path;
        EXPECT_EQ(blocks.rbegin()->first, 4096) << c.path;
        for (const auto& [number, block] : blocks) {
            EXPECT_EQ(block.language, c.languageId) << c.path << " block " << number;
            for (int i = 0; i < 16; ++i) {
                int id = (number - 1) * 16 + i;
                EXPECT_EQ(block.texts[i], Utf8ToUtf16(BuiltinStringUtf8(c.language, id))) << c.path << " id " << id;
            }
        }
    }
}

TEST(GenStrings, WindresReadsTheTextsAsUnicode) {
    if (std::string(VARNOLET_WINDRES).empty()) GTEST_SKIP() << "no windres found";
    fs::path folder = TestFolder("windres");
    TRunResult generated =
        RunGenerator(Join(WithLine(65137, std::string("65137\tStop\t") + awkwardTsv)), folder);
    ASSERT_EQ(generated.status, 0) << generated.output;
    fs::path res = folder / "en.res";
    std::string command = std::string("'") + VARNOLET_WINDRES + "' -i '" +
                          (folder / "out" / "strings_en.rc").string() + "' -O res -o '" + res.string() + "'";
    TRunResult compiled = RunTool(command, folder / "windres.txt");
    ASSERT_EQ(compiled.status, 0) << compiled.output;
    EXPECT_EQ(compiled.output, "");  // no warnings either

    std::map<int, TBlock> blocks;
    std::string error;
    ASSERT_TRUE(ReadStringBlocks(ReadFile(res), blocks, error)) << error;
    ASSERT_EQ(blocks.count(65137 / 16 + 1), 1u);
    EXPECT_EQ(blocks[65137 / 16 + 1].texts[65137 % 16], awkwardUtf16);
    EXPECT_EQ(blocks[65223 / 16 + 1].texts[65223 % 16], u"White");
    EXPECT_EQ(blocks[65264 / 16 + 1].texts[65264 % 16], u"");
}

}  // namespace
