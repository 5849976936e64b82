// The resource module choice: the decision with a fake loader, and for real with VarnoletEN
// copied beside this test program under its name with a language suffix.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "resources/builtin_strings.h"
#include "base/cp1252.h"
#include "winui/resource_module_win.h"
#include "base/string_ids.h"
#include "base/strings.h"

namespace {

struct TChoiceCase {
    const char* name;
    std::string path;
    std::string overrideSuffix;
    std::string abbreviation;
    std::set<std::string> present;  // the files the fake loader can load
    std::string expected;
    std::vector<std::string> expectedTries;
};

void PrintTo(const TChoiceCase& row, std::ostream* out)
{
    *out << row.name;
}

class ChooseResourceFileTest : public ::testing::TestWithParam<TChoiceCase> {};

TEST_P(ChooseResourceFileTest, TriesSuffixesInOrder)
{
    const TChoiceCase& row = GetParam();
    std::vector<std::string> tries;
    auto tryLoad = [&](const std::string& path) {
        tries.push_back(path);
        return row.present.count(path) > 0;
    };
    EXPECT_EQ(ChooseResourceFile(row.path, row.overrideSuffix, row.abbreviation, tryLoad),
              row.expected);
    EXPECT_EQ(tries, row.expectedTries);
}

const std::string Exe = "C:\\Programme\\Varnolet\\Varnolet.exe";
const std::string Stem = "C:\\Programme\\Varnolet\\Varnolet.";

INSTANTIATE_TEST_SUITE_P(
    Choice, ChooseResourceFileTest,
    ::testing::Values(
        TChoiceCase{"ThreeLetters", Exe, "", "ENU", {Stem + "ENU"}, Stem + "ENU", {Stem + "ENU"}},
        TChoiceCase{"TwoLetterFallback", Exe, "", "ENU", {Stem + "EN"}, Stem + "EN",
                    {Stem + "ENU", Stem + "EN"}},
        TChoiceCase{"OverrideFirst", Exe, "XYZ", "ENU", {Stem + "XYZ", Stem + "ENU"},
                    Stem + "XYZ", {Stem + "XYZ"}},
        TChoiceCase{"OverrideMissingThenLanguage", Exe, "XYZ", "ENG", {Stem + "EN"}, Stem + "EN",
                    {Stem + "XYZ", Stem + "ENG", Stem + "EN"}},
        TChoiceCase{"OverrideOnly", Exe, "FR", "", {}, "", {Stem + "FR"}},
        TChoiceCase{"GermanFindsNothing", Exe, "", "DEU", {Stem + "ENU", Stem + "EN"}, "",
                    {Stem + "DEU", Stem + "DE"}},
        TChoiceCase{"TwoLetterAbbreviationTriedOnce", Exe, "", "EN", {}, "", {Stem + "EN"}},
        TChoiceCase{"LastDotCounts", "C:\\P\\Varnolet.alt.exe", "", "ENU",
                    {"C:\\P\\Varnolet.alt.ENU"}, "C:\\P\\Varnolet.alt.ENU",
                    {"C:\\P\\Varnolet.alt.ENU"}},
        TChoiceCase{"DotInFolderName", "C:\\Mein.Ordner\\Varnolet", "", "ENU", {}, "",
                    {"C:\\Mein.ENU", "C:\\Mein.EN"}},
        TChoiceCase{"NoDot", "C:\\Programme\\Varnolet", "", "ENU",
                    {"C:\\Programme\\Varnolet.ENU"}, "", {}},
        TChoiceCase{"EmptyPath", "", "XYZ", "ENU", {".ENU"}, "", {}},
        TChoiceCase{"NeitherOverrideNorLanguage", Exe, "", "", {Stem}, "", {}}),
    [](const ::testing::TestParamInfo<TChoiceCase>& info) { return info.param.name; });

constexpr LCID EnglishUS = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
constexpr LCID German = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
constexpr const char* LocalesKey = "Software\\Varnolet\\Locales";

// VarnoletEN is built beside this program; the tests copy it under this program's name.
class ResourceModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program_ = ProgramPath();
        ASSERT_FALSE(program_.empty());
        const size_t dot = program_.rfind('.');
        ASSERT_NE(dot, std::string::npos);
        stem_ = program_.substr(0, dot + 1);
        const size_t slash = program_.find_last_of("\\/");
        library_ = program_.substr(0, slash + 1) + "VarnoletEN.dll";
        ASSERT_NE(GetFileAttributesA(library_.c_str()), INVALID_FILE_ATTRIBUTES)
            << library_ << " is missing";
        savedLocale_ = GetThreadLocale();
        RemoveCopies();
        RemoveOverrides();
        previousSource_ = SetStringSource(&moduleStrings_);
    }

    void TearDown() override
    {
        SetStringSource(previousSource_);
        FreeResourceModule();
        SetThreadLocale(savedLocale_);
        RemoveCopies();
        RemoveOverrides();
    }

    void CopyLibraryAs(const std::string& suffix)
    {
        ASSERT_TRUE(CopyFileA(library_.c_str(), (stem_ + suffix).c_str(), FALSE))
            << "copy to " << stem_ + suffix << " failed";
    }

    void SetLocale(LCID locale) { ASSERT_TRUE(SetThreadLocale(locale)); }

    // Name null sets the key's default value.
    void SetOverride(const char* name, const std::string& suffix)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, LocalesKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(suffix.c_str()),
                       suffix.size() + 1);
        RegCloseKey(key);
    }

    void ExpectEnglish()
    {
        EXPECT_NE(ResourceModule(), GetModuleHandleA(nullptr));
        EXPECT_EQ(LoadStr(sid::ProgramName), "Varnolet");
        EXPECT_EQ(LoadStr(65148), "Cannot load the Varnolet file !");
    }

    void ExpectGerman()
    {
        EXPECT_EQ(ResourceModule(), GetModuleHandleA(nullptr));
        EXPECT_EQ(LoadStr(sid::ProgramName), "Dadirevovezi");
    }

    std::string program_;
    std::string stem_;
    std::string library_;

private:
    void RemoveCopies()
    {
        FreeResourceModule();
        for (const char* suffix : {"ENU", "EN", "ENX"})
            DeleteFileA((stem_ + suffix).c_str());
    }

    void RemoveOverrides()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, LocalesKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        RegDeleteValueA(key, program_.c_str());
        RegDeleteValueA(key, nullptr);
        RegCloseKey(key);
    }

    TModuleStringSource moduleStrings_;
    const TStringSource* previousSource_ = nullptr;
    LCID savedLocale_ = 0;
};

TEST_F(ResourceModuleTest, ThreadLocaleGivesThreeLetterAbbreviation)
{
    SetLocale(EnglishUS);
    EXPECT_EQ(ThreadLanguageAbbreviation(), "ENU");
    SetLocale(German);
    EXPECT_EQ(ThreadLanguageAbbreviation(), "DEU");
}

TEST_F(ResourceModuleTest, EnglishLocaleLoadsLibraryWithThreeLetterSuffix)
{
    CopyLibraryAs("ENU");
    CopyLibraryAs("EN");
    SetLocale(EnglishUS);
    EXPECT_EQ(LoadResourceModule(), stem_ + "ENU");
    ExpectEnglish();
}

TEST_F(ResourceModuleTest, EnglishLocaleFallsBackToTwoLetterSuffix)
{
    CopyLibraryAs("EN");
    SetLocale(EnglishUS);
    EXPECT_EQ(LoadResourceModule(), stem_ + "EN");
    ExpectEnglish();
}

TEST_F(ResourceModuleTest, EnglishLocaleWithoutLibraryKeepsGermanTexts)
{
    SetLocale(EnglishUS);
    EXPECT_EQ(LoadResourceModule(), "");
    ExpectGerman();
}

TEST_F(ResourceModuleTest, GermanLocaleIgnoresEnglishLibrary)
{
    CopyLibraryAs("ENU");
    CopyLibraryAs("EN");
    SetLocale(German);
    EXPECT_EQ(LoadResourceModule(), "");
    ExpectGerman();
}

TEST_F(ResourceModuleTest, OverrideNamedByProgramPathWins)
{
    CopyLibraryAs("ENX");
    SetOverride(program_.c_str(), "ENX");
    SetOverride(nullptr, "ZZZ");
    SetLocale(German);
    EXPECT_EQ(ReadLocaleOverride(program_), "ENX");
    EXPECT_EQ(LoadResourceModule(), stem_ + "ENX");
    ExpectEnglish();
}

TEST_F(ResourceModuleTest, OverrideFallsBackToDefaultValue)
{
    CopyLibraryAs("ENX");
    SetOverride(nullptr, "ENX");
    SetLocale(German);
    EXPECT_EQ(ReadLocaleOverride(program_), "ENX");
    EXPECT_EQ(LoadResourceModule(), stem_ + "ENX");
    ExpectEnglish();
}

TEST_F(ResourceModuleTest, OverrideLongerThanFourCharactersIsIgnored)
{
    SetOverride(program_.c_str(), "ENXYZ");
    EXPECT_EQ(ReadLocaleOverride(program_), "");
    SetOverride(nullptr, "EN");
    EXPECT_EQ(ReadLocaleOverride(program_), "EN");
}

TEST_F(ResourceModuleTest, FreeingTheLibraryReturnsToGermanTexts)
{
    CopyLibraryAs("ENU");
    SetLocale(EnglishUS);
    ASSERT_EQ(LoadResourceModule(), stem_ + "ENU");
    FreeResourceModule();
    ExpectGerman();
}

// Every id of both string tables comes back from the resources exactly as the built-in tables
// have it, converted to code page 1252; ids outside the table give empty texts.
void ExpectModuleMatchesBuiltin(TTextLanguage language)
{
    TModuleStringSource moduleStrings;
    for (int id = FirstStringId; id <= LastStringId; ++id) {
        const char* builtin = BuiltinStringUtf8(language, id);
        const std::string expected = builtin ? Utf8ToCp1252(builtin) : std::string();
        EXPECT_EQ(moduleStrings.Load(id), expected) << "id " << id;
    }
    EXPECT_EQ(moduleStrings.Load(FirstStringId - 1), "");
    EXPECT_EQ(moduleStrings.Load(1), "");
    EXPECT_EQ(moduleStrings.Load(-1), "");
    EXPECT_EQ(moduleStrings.Load(0x10000), "");
}

TEST_F(ResourceModuleTest, GermanResourcesMatchBuiltinTable)
{
    SetLocale(German);
    ASSERT_EQ(LoadResourceModule(), "");
    ExpectModuleMatchesBuiltin(tlGerman);
    // Code page 1252 letters survive the conversion from the resource's UTF-16.
    EXPECT_EQ(LoadStr(sid::ClipboardOpenError), "Zwischenablage kann nicht ge\xF6" "ffnet werden");
}

TEST_F(ResourceModuleTest, EnglishLibraryMatchesBuiltinTable)
{
    CopyLibraryAs("ENU");
    SetLocale(EnglishUS);
    ASSERT_EQ(LoadResourceModule(), stem_ + "ENU");
    ExpectModuleMatchesBuiltin(tlEnglish);
}

}  // namespace
