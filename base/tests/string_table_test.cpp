// Tests of the built-in string tables generated from strings.tsv.
#include "resources/builtin_strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "base/string_ids.h"

namespace {

// Ids the program leaves unused; their texts are empty in both languages.
bool IsUnusedId(int id) {
    return (id >= 65264 && id <= 65273) || id == 65275 || id == 65294 || id == 65295;
}

std::string Text(TTextLanguage language, int id) {
    const char* text = BuiltinStringUtf8(language, id);
    return text ? text : "<null>";
}

TEST(BuiltinStrings, EveryIdPresentInBothLanguages) {
    for (int id = FirstStringId; id <= LastStringId; ++id) {
        for (TTextLanguage language : {tlGerman, tlEnglish}) {
            const char* text = BuiltinStringUtf8(language, id);
            ASSERT_NE(text, nullptr) << "id " << id << " language " << language;
            EXPECT_EQ(*text == '\0', IsUnusedId(id)) << "id " << id << " language " << language;
        }
    }
}

TEST(BuiltinStrings, IdsOutsideTheTableGiveNull) {
    for (int id : {FirstStringId - 1, LastStringId + 1, 0, 1, -1, 65000, 70000, INT_MIN, INT_MAX}) {
        EXPECT_EQ(BuiltinStringUtf8(tlGerman, id), nullptr) << id;
        EXPECT_EQ(BuiltinStringUtf8(tlEnglish, id), nullptr) << id;
    }
    EXPECT_EQ(BuiltinStringUtf8(static_cast<TTextLanguage>(2), FirstStringId), nullptr);
}

struct TTextRow {
    int id;
    const char* german;
    const char* english;
};

TEST(BuiltinStrings, ProgramTexts) {
    const TTextRow rows[] = {
        {65136, "%d Einträge gescannt, %d Einträge gefunden.", "%d entries scanned, %d entries found."},
        {65141, "Wollen Sie diesen Eintrag löschen ?", "Do you want to delete this entry ?"},
        {65147, "Dadirevovezi", "Varnolet"},
        {65158, " bis zum ", " until  "},
        {65166, "Verzeichniss", "Directory"},
        {65175, "Datei \"%s\" Eintrag %d", "File \"%s\" entry %d"},
        {65176, "Datei \"%s\"", "File \"%s\""},
        {65177, "Bitmap (*.BMP)|*.BMP|Alle Dateien (*.*)|*.*", "Bitmap (*.BMP)|*.BMP|All files (*.*)|*.*"},
        {65184, "Schriftfarbe %s|Wählt die Farbe des aktuellen Textes.", "Font color %s|Selects color of current text."},
        {65203, "Änderungen in (%s) speichern ?", "Save changes in (%s) ?"},
        {65216, "Grau 50%", "Gray"},
        {65223, "Weiß", "White"},
        {65245, "Automatisch ", "Automatic"},
        {65252, "Das Laden des Streams ist mißlungen", "Stream load failed"},
        {65284,
         "Das Diskettelaufwerk %s ist nicht bereit !\nStellen Sie sicher daß das Laufwerk\n"
         "geschlossen und ein Datenträger eingelegt ist !",
         "Disk drive %s is not ready !\nMake sure, that the drive is connected and a disk is inserted !"},
        {65286,
         "Netzlaufwerk %s kann nicht angesprochen werden !\nStellen Sie sicher das Sie angemeldet "
         "sind und\nSie Zugriffsrechte auf das Laufwerk besitzen !",
         "Net drive %s does not respond !\nMake sure, that you are logged in \nand have sufficient "
         "rights on this drive  !"},
        {65290, "Node-Objekt \"%s\" ist nicht registriert.", "Node-Object \"%s\" is not registered"},
        {65303, "|Datei ist mit einer Anwendung verknüpft", "|File is linked to an application"},
        {65309, "[%1s:] %s", "[%1s:] %s"},
        {65315, "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
    };
    for (const TTextRow& row : rows) {
        EXPECT_EQ(Text(tlGerman, row.id), row.german) << row.id;
        EXPECT_EQ(Text(tlEnglish, row.id), row.english) << row.id;
    }
}

TEST(BuiltinStrings, FrameworkTexts) {
    const TTextRow rows[] = {
        {sid::GridTooManyDeleted, "Zu viele Zeilen oder Spalten gelöscht", "Too many rows or columns deleted"},
        {sid::GridIndexOutOfRange, "Gitterindex außerhalb des zulässigen Bereichs", "Grid index out of range"},
        {sid::GridTooLarge, "Gitter zu groß für Operation", "Grid too large for operation"},
        {sid::InvalidPropertyPath, "Ungültiger Pfad für Eigenschaft", "Invalid property path"},
        {sid::UnknownProperty, "Eigenschaft existiert nicht", "Unknown property"},
        {sid::FCreateError, "Datei %s kann nicht erstellt werden", "Cannot create file %s"},
        {sid::FOpenError, "Datei %s kann nicht geöffnet werden", "Cannot open file %s"},
        {sid::InvalidStreamFormat, "Ungültiges Stream-Format", "Invalid stream-Format"},
        {sid::ButtonYes, "&Ja", "&Yes"},
        {sid::ButtonNo, "&Nein", "&No"},
        {sid::ButtonOK, "OK", "OK"},
        {sid::ButtonCancel, "Abbrechen", "Cancel"},
        {sid::ButtonHelp, "&Hilfe", "&Help"},
        {sid::ButtonClose, "Schl&ießen", "&Close"},
        {sid::CaptionWarning, "Warnung", "Warning"},
        {sid::CaptionConfirm, "Bestätigung", "Confirm"},
        {sid::KeyShift, "Umsch+", "Shift+"},
        {sid::KeyBackspace, "Rück", "BkSp"},
        {sid::KeyHome, "Pos1", "Home"},
        {sid::KeyDelete, "Entf", "Del"},
        {sid::FirstLongMonthName + 2, "März", "March"},
        {sid::FirstShortMonthName + 9, "Okt", "Oct"},
        {sid::FirstLongDayName, "Sonntag", "Sunday"},
        {sid::FirstShortDayName + 6, "Sa", "Sat"},
        {sid::OSError, "Systemfehler. Code: %d.\n%s", "System error. Code: %d.\n%s"},
    };
    for (const TTextRow& row : rows) {
        EXPECT_EQ(Text(tlGerman, row.id), row.german) << row.id;
        EXPECT_EQ(Text(tlEnglish, row.id), row.english) << row.id;
    }
}

// Each short month and weekday name is the start of the long name with the same index, which
// holds only when the four ranges line up.
TEST(BuiltinStrings, CalendarNamesLineUp) {
    struct TRange {
        int firstLong, firstShort, count;
    };
    for (TRange range : {TRange{sid::FirstLongMonthName, sid::FirstShortMonthName, 12},
                         TRange{sid::FirstLongDayName, sid::FirstShortDayName, 7}}) {
        for (int i = 0; i < range.count; ++i) {
            for (TTextLanguage language : {tlGerman, tlEnglish}) {
                std::string longName = Text(language, range.firstLong + i);
                std::string shortName = Text(language, range.firstShort + i);
                EXPECT_GE(shortName.size(), 2u) << range.firstShort + i;
                EXPECT_EQ(longName.compare(0, shortName.size(), shortName), 0)
                    << longName << " / " << shortName;
            }
        }
    }
    EXPECT_EQ(Text(tlGerman, sid::FirstLongMonthName + 11), "Dezember");
    EXPECT_EQ(Text(tlEnglish, sid::FirstLongDayName + 6), "Saturday");
}

// The format placeholders of a text, in order ("%%" excluded).
std::vector<std::string> Placeholders(const std::string& text) {
    static const std::regex placeholder("%(%|[0-9]*:?-?[0-9*]*(\\.[0-9*]+)?[a-zA-Z])");
    std::vector<std::string> result;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder);
         it != std::sregex_iterator(); ++it) {
        if (it->str() != "%%") result.push_back(it->str());
    }
    return result;
}

// Both languages are formatted with the same arguments.
TEST(BuiltinStrings, SamePlaceholdersInBothLanguages) {
    EXPECT_EQ(Placeholders("Zeile: %3d x %0.8x %1s %% %-5d"),
              (std::vector<std::string>{"%3d", "%0.8x", "%1s", "%-5d"}));
    for (int id = FirstStringId; id <= LastStringId; ++id) {
        EXPECT_EQ(Placeholders(Text(tlGerman, id)), Placeholders(Text(tlEnglish, id))) << id;
    }
}

// Every named id of base/string_ids.h quotes the German text of its id in its comment.
TEST(BuiltinStrings, NamedIdsMatchTheirComments) {
    std::ifstream header(VARNOLET_STRING_IDS_H);
    ASSERT_TRUE(header) << VARNOLET_STRING_IDS_H;
    static const std::regex declaration(R"re(constexpr int (\w+) = (\d+);\s*// "(.*)"\s*$)re");
    std::string line;
    int checked = 0;
    while (std::getline(header, line)) {
        std::smatch match;
        if (!std::regex_search(line, match, declaration)) continue;
        int id = std::stoi(match[2].str());
        std::string quoted = std::regex_replace(match[3].str(), std::regex(R"(\\n)"), "\n");
        EXPECT_EQ(Text(tlGerman, id), quoted) << match[1].str();
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

}  // namespace
