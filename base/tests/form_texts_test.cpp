// The window text table reader: keys, lists, escapes and encodings, and every kind of bad line.
#include <gtest/gtest.h>

#include <string>

#include "base/string_ids.h"
#include "base/form_texts.h"

TEST(FormTextsTest, ReadsFormComponentAndListEntries) {
    TFormTexts t = TFormTexts::Parse(
        "# comment\n"
        "\n"
        "Caption=Quorvel\n"
        "  PItemTopMost.Caption = Immer sichtbar\n"
        "Toolbar971.Caption=Dadirevovezi \n"
        "Filter.Items[0]=Alle Dateien (*.*)\n"
        "Filter.Items[1]=Texte|*.txt\n");
    ASSERT_EQ(t.Entries().size(), 4u);
    const TFormTextEntry* form = t.Find("", "caption");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Text, "Quorvel");
    EXPECT_EQ(form->Line, 3);
    // Spaces around the key go, the text keeps its spaces (a caption may end in one).
    EXPECT_EQ(t.Find("pitemtopmost", "CAPTION")->Text, " Immer sichtbar");
    EXPECT_EQ(t.Find("Toolbar971", "Caption")->Text, "Dadirevovezi ");
    const TFormTextEntry* list = t.Find("Filter", "Items");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->IsList);
    EXPECT_EQ(list->Items, (std::vector<std::string>{"Alle Dateien (*.*)", "Texte|*.txt"}));
    EXPECT_EQ(t.Find("Filter", "Caption"), nullptr);
    EXPECT_EQ(t.Find("Nobody", "Items"), nullptr);
}

TEST(FormTextsTest, TextsAreCodePage1252WithEscapes) {
    struct Row {
        const char* line;
        std::string text;
    } rows[] = {
        {"A.Caption=\xC3\x9C" "bersicht", "\xDC" "bersicht"},        // Ü
        {"A.Caption=Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC", "Gr\xF6\xDF" "e \x80"},  // ö ß €
        {"A.Caption=eins\\nzwei", "eins\nzwei"},
        {"A.Caption=a\\tb\\\\c", "a\tb\\c"},
        {"A.Caption=", ""},
        {"A.Caption=x=y", "x=y"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        TFormTexts t = TFormTexts::Parse(row.line);
        ASSERT_NE(t.Find("A", "Caption"), nullptr);
        EXPECT_EQ(t.Find("A", "Caption")->Text, row.text);
    }
}

TEST(FormTextsTest, AcceptsByteOrderMarkAndCrLf) {
    TFormTexts t = TFormTexts::Parse("\xEF\xBB\xBF" "Caption=Eins\r\nB.Hint=kurz|lang\r\n");
    EXPECT_EQ(t.Find("", "Caption")->Text, "Eins");
    EXPECT_EQ(t.Find("B", "Hint")->Text, "kurz|lang");
    EXPECT_EQ(t.Find("B", "Hint")->Line, 2);
}

TEST(FormTextsTest, BadTablesNameTheirLine) {
    struct Row {
        std::string text;
        int id;
        int line;
    } rows[] = {
        {"A.Caption=x\nkein Gleichheitszeichen", sid::InvalidStreamFormat, 2},
        {"=x", sid::InvalidPropertyPath, 1},
        {"A B.Caption=x", sid::InvalidPropertyPath, 1},
        {"A..=x", sid::InvalidPropertyPath, 1},
        {".Caption=x", sid::InvalidPropertyPath, 1},
        {"A.Caption=x\n\na.caption=y", sid::DuplicateString, 3},
        {"L.Items[1]=x", sid::InvalidPropertyValue, 1},
        {"L.Items[0]=x\nL.Items[2]=y", sid::InvalidPropertyValue, 2},
        {"L.Items[0]=x\nL.Items[0]=y", sid::DuplicateString, 2},
        {"L.Items=x\nL.Items[0]=y", sid::DuplicateString, 2},
        {"L.Items[0]=x\nL.Items=y", sid::DuplicateString, 2},
        {"L.Items[12345]=x", sid::InvalidPropertyPath, 1},
        {"L.Items[a]=x", sid::InvalidPropertyPath, 1},
        {"L.Items[]=x", sid::InvalidPropertyPath, 1},
        {"A.Caption=a\\qb", sid::InvalidPropertyValue, 1},
        {"A.Caption=ends in \\", sid::InvalidPropertyValue, 1},
        {"A.Caption=\xC3", sid::InvalidStreamFormat, 1},
        {"A.Caption=\xFF\xFE", sid::InvalidStreamFormat, 1},
        {std::string(MaxFormTextSize + 1, '#'), sid::InvalidStreamFormat, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 40));
        try {
            TFormTexts::Parse(row.text);
            ADD_FAILURE() << "no error";
        } catch (const EFormTextError& e) {
            EXPECT_EQ(e.Id(), row.id);
            EXPECT_EQ(e.Line(), row.line);
            EXPECT_FALSE(e.Message().empty());
        }
    }
}

TEST(FormTextsTest, LongListsStayInOrder) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "Grid.Lines[" + std::to_string(i) + "]=Zeile " + std::to_string(i) + "\n";
    TFormTexts t = TFormTexts::Parse(text);
    const TFormTextEntry* e = t.Find("Grid", "Lines");
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->Items.size(), 300u);
    EXPECT_EQ(e->Items[0], "Zeile 0");
    EXPECT_EQ(e->Items[299], "Zeile 299");
}
