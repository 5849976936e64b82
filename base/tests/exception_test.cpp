#include "base/exception.h"

#include <gtest/gtest.h>

#include <map>

#include "base/string_ids.h"
#include "base/strings.h"

namespace {

// A string table whose texts the test controls.
class TTableSource : public TStringSource {
public:
    explicit TTableSource(std::map<int, std::string> texts) : texts_(std::move(texts)) {}
    std::string Load(int id) const override {
        auto it = texts_.find(id);
        return it == texts_.end() ? std::string() : it->second;
    }

private:
    std::map<int, std::string> texts_;
};

class ExceptionTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = SetStringSource(&source_); }
    void TearDown() override { SetStringSource(previous_); }

    TTableSource source_{{{1, "Datei %s fehlt"}, {2, "Zeile %d von %d"}, {3, "roh %d"}}};
    const TStringSource* previous_ = nullptr;
};

TEST_F(ExceptionTest, MessageIsTheFormattedTextOfTheId) {
    const EFOpenError e(1, {std::string("a.std")});
    EXPECT_EQ(e.Message(), "Datei a.std fehlt");
    EXPECT_STREQ(e.what(), "Datei a.std fehlt");
    EXPECT_EQ(e.Id(), 1);
    ASSERT_EQ(e.Args().size(), 1u);
    EXPECT_EQ(std::get<std::string>(e.Args()[0]), "a.std");
    EXPECT_EQ(Exception(2, {int64_t{3}, int64_t{9}}).Message(), "Zeile 3 von 9");
}

TEST_F(ExceptionTest, ArgumentsThatDoNotFitKeepTheRawText) {
    EXPECT_EQ(Exception(3).Message(), "roh %d");
    EXPECT_EQ(Exception(3, {std::string("x")}).Message(), "roh %d");
}

TEST_F(ExceptionTest, MissingIdGivesEmptyMessageAndLiteralMessagesHaveIdZero) {
    EXPECT_EQ(Exception(999).Message(), "");
    const Exception literal("Fehler");
    EXPECT_EQ(literal.Id(), 0);
    EXPECT_EQ(literal.Message(), "Fehler");
}

TEST_F(ExceptionTest, HierarchyCatchesByBase) {
    try {
        throw EReadError(1, {std::string("f")});
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Datei f fehlt");
    }
}

TEST(StringSource, SetStringSourceReturnsThePreviousAndNoneRestoresGerman) {
    TTableSource a({{sid::ReadError, "A"}});
    const TStringSource* original = SetStringSource(&a);
    EXPECT_EQ(&ActiveStringSource(), &a);
    EXPECT_EQ(LoadStr(sid::ReadError), "A");
    EXPECT_EQ(SetStringSource(nullptr), &a);
    EXPECT_EQ(&ActiveStringSource(), &BuiltinStrings(blGerman));
    SetStringSource(original == &BuiltinStrings(blGerman) ? nullptr : original);
}

TEST(BuiltinStrings, TablesAreConvertedToCodePage1252) {
    EXPECT_EQ(BuiltinStrings(blGerman).Load(sid::NodeCannotAssign), "%s kann nicht zu %s zugewiesen werden");
    EXPECT_EQ(BuiltinStrings(blEnglish).Load(sid::NodeCannotAssign), "Cannot assign %s to %s");
    // "eingefügt": the u umlaut arrives as the single byte 0xFC.
    EXPECT_EQ(BuiltinStrings(blGerman).Load(sid::NodeIntoItself),
              "Node kann nicht in sich selbst eingef\xFCgt werden");
    EXPECT_EQ(BuiltinStrings(blGerman).Load(1), "");
}

TEST(BuiltinStrings, ExceptionsUseTheGermanTableByDefault) {
    EXPECT_EQ(EConvertError(sid::InvalidInteger, {std::string("x1")}).Message(),
              "'x1' ist kein g\xFCltiger Integerwert");
}

}  // namespace
