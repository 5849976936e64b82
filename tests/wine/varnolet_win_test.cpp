// The main window as it is made: its components in German and English from the text tables,
// the buttons of later features, the caption with the maker's prefix and the gradient that the
// argument "16" turns off, the top node of a new library, the built-in symbols, and the help.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/varnolet_pictures_win.h"
#include "base/cp1252.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "tests/wine/varnolet_testing_win.h"
#include "winui/resource_module_win.h"

namespace fs = std::filesystem;

namespace {

std::string WindowText(HWND window) {
    wchar_t buffer[256] = {};
    const int length = GetWindowTextW(window, buffer, 256);
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t*>(buffer), length));
}

struct TTextRow {
    const char* component;
    const char* german;
    const char* english;
};

// The texts of the window's text tables (code page 1252).
const TTextRow HintRows[] = {
    {"Closebtn", "Beenden", "Quit Varnolet"},
    {"HighlightBtn", "beschriebene Eintr\xE4ge hervorheben", "Highlight items with text"},
    {"SymbolBtn", "Symbole...", "Symbole..."},
    {"CalendarBtn", "Kalender", "Calendar"},
    {"LoadBtn", "Schnelltextdatei laden/erstellen", "Load / create Varnolet file"},
    {"HelpBtn", "Hilfe...", "Help..."},
    {"NewTextBtn", "Neuen Text anlegen", "Create new text item"},
    {"NewGroupBtn", "Neue Gruppe anlegen", "Create new group"},
    {"ClearBtn", "L\xF6schen", "Delete"},
    {"CopyBtn", "Kopieren", "Copy"},
    {"PopupBtn", "Einstellungen", "Options"},
    {"EditBtn", "Editierfenster", "Show / hide editor window"},
    {"SearchBtn", "Eintrag suchen...|\xD6" "ffnet Dialog zum Suchen eines bestimmten Wertes",
     "Search for an item...|Opens dialog to search for an item"},
};

const TTextRow ItemRows[] = {
    {"PItemTopMost", "Immer sichtbar", "Always on top"},
    {"PItemMini", "Verkleinern wenn nicht aktiv", "Minimize when inactive"},
    {"PItemAutoSave", "automatisch speichern", "Autosave"},
    {"PItemExtras", "Erweiterte Bedienelemente", "Advanced controls"},
    {"PItemShortCuts", "Kurztasten anzeigen", "Show shortcuts"},
    {"PItemCopy", "Eintrag &kopieren", "&Copy item"},
    {"PItemClear", "Eintrag &l\xF6schen", "&Delete item"},
    {"PItemNewText", "&Texteintrag anlegen", "Create &text item"},
    {"PItemNewGroup", "&Gruppe anlegen", "Create &group"},
    {"PItemEdit", "Editierfenster", "Editor"},
    {"PItemBitmap", "Symbol...", "Symbol..."},
    {"PItemSearch", "Eintrag suchen...", "Search..."},
    {"PItemHelp", "Hilfe...", "Help..."},
};

class VarnoletWinTest : public VarnoletWindowTest {
protected:
    void ExpectTexts(bool english) {
        TVarnoletWin& w = *window;
        EXPECT_EQ(WindowText(w.Handle()), english ? "Varnolet" : "Quorvel");
        EXPECT_EQ(w.Toolbar971->Caption(), english ? "Varnolet " : "Dadirevovezi ");
        EXPECT_EQ(w.ExtraToolbar->Caption(), english ? "Advanced controls" : "Erweiterte Bedienelemente");
        EXPECT_EQ(w.EditBtn->Caption(), ">>");
        EXPECT_EQ(w.OpenDialog->Filter(),
                  english ? "Varnolet files (*.STD)|*.STD" : "Schnelltextdateien (*.STD)|*.STD");
        EXPECT_EQ(w.HelpFile(), english ? "Varnolet-Help.html" : "Varnolet-Hilfe.html");
        for (const TTextRow& row : HintRows) {
            auto* button = dynamic_cast<TControl*>(w.FindComponent(row.component));
            ASSERT_NE(button, nullptr) << row.component;
            EXPECT_EQ(button->Hint(), english ? row.english : row.german) << row.component;
        }
        for (const TTextRow& row : ItemRows) {
            auto* item = dynamic_cast<TMenuItem*>(w.FindComponent(row.component));
            ASSERT_NE(item, nullptr) << row.component;
            EXPECT_EQ(item->Caption(), english ? row.english : row.german) << row.component;
        }
        EXPECT_EQ(Root()->Text(), english ? "Varnolet" : "Dadirevovezi");
    }
};

TEST_F(VarnoletWinTest, GermanTextsComeFromTheTextTable) {
    Start();
    ExpectTexts(false);
    Shot(window->Handle(), "varnolet_main_empty_de");
}

TEST_F(VarnoletWinTest, EnglishTextsComeFromVarnoletEN) {
    const std::string program = ProgramPath();
    const std::string stem = program.substr(0, program.rfind('.') + 1);
    const std::string library = program.substr(0, program.find_last_of("\\/") + 1) + "VarnoletEN.dll";
    ASSERT_TRUE(CopyFileA(library.c_str(), (stem + "ENU").c_str(), FALSE));
    const LCID savedLocale = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    TModuleStringSource moduleStrings;
    const TStringSource* previous = SetStringSource(&moduleStrings);
    ASSERT_EQ(LoadResourceModule(), stem + "ENU");
    Start();
    ExpectTexts(true);
    Shot(window->Handle(), "varnolet_main_empty_en");
    delete window;
    window = nullptr;
    FreeResourceModule();
    SetStringSource(previous);
    SetThreadLocale(savedLocale);
    DeleteFileA((stem + "ENU").c_str());
}

TEST_F(VarnoletWinTest, LaterFeaturesHaveTheirButtonsDisabledOrHidden) {
    Start();
    TVarnoletWin& w = *window;
    // Editor, copying, search and calendar come with their own parts.
    for (TNewSpeedButton* button : {w.CopyBtn, w.EditBtn, w.SearchBtn, w.CalendarBtn})
        EXPECT_FALSE(button->Enabled()) << button->Name();
    for (TMenuItem* item : {w.PItemCopy, w.PItemEdit, w.PItemSearch}) EXPECT_FALSE(item->Enabled()) << item->Name();
    // The symbol command has no action and is hidden.
    EXPECT_FALSE(w.SymbolBtn->Visible());
    EXPECT_FALSE(w.PItemBitmap->Visible());
    for (TNewSpeedButton* button : {w.NewTextBtn, w.NewGroupBtn, w.LoadBtn, w.HelpBtn, w.Closebtn, w.PopupBtn,
                                    w.HighlightBtn})
        EXPECT_TRUE(button->Enabled()) << button->Name();
    EXPECT_EQ(w.NewTextBtn->Tag(), 1);
    EXPECT_EQ(w.NewGroupBtn->Tag(), 2);
}

TEST_F(VarnoletWinTest, CommandsCarryTheirShortcuts) {
    Make();
    struct Row {
        TNewSpeedButton* button;
        TMenuItem* item;
        TShortCut shortCut;
    };
    TVarnoletWin& w = *window;
    const Row rows[] = {
        {w.NewTextBtn, w.PItemNewText, ShortCut('T', {ssCtrl})},
        {w.NewGroupBtn, w.PItemNewGroup, ShortCut('G', {ssCtrl})},
        {w.ClearBtn, w.PItemClear, ShortCut(VK_DELETE, {ssCtrl})},
        {w.CopyBtn, w.PItemCopy, ShortCut('C', {ssCtrl})},
        {w.SearchBtn, w.PItemSearch, ShortCut(VK_F3, {})},
        {w.EditBtn, w.PItemEdit, ShortCut(VK_F2, {})},
        {w.HelpBtn, w.PItemHelp, ShortCut(VK_F1, {})},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.button->ShortCut(), row.shortCut) << row.button->Name();
        EXPECT_EQ(row.item->ShortCut(), row.shortCut) << row.item->Name();
    }
    EXPECT_EQ(ShortCutToText(w.PItemClear->ShortCut()), "Strg+Entf");
}

TEST_F(VarnoletWinTest, TheArgument16LeavesTheCaptionWithoutGradient) {
    struct Row {
        const char* argument;
        TGradient gradient;
    };
    for (const Row row : {Row{"", gfAllways}, Row{"16", gfNone}, Row{"17", gfAllways}, Row{"160", gfAllways},
                          Row{"x", gfAllways}}) {
        Make(row.argument);
        EXPECT_EQ(window->Gradient(), row.gradient) << "argument '" << row.argument << "'";
        // The maker's prefix is painted in either case.
        EXPECT_TRUE(static_cast<bool>(window->OnPaintCaption)) << row.argument;
        delete window;
        window = nullptr;
    }
    Start("16");
    EXPECT_TRUE(window->PaintsOwnCaption());
    Shot(window->Handle(), "varnolet_main_plain_caption");
}

TEST_F(VarnoletWinTest, TheCaptionHookDrawsInTheCaptionsFontAndColour) {
    Start();
    TColor color = clNone;
    int height = 0;
    RECT before{}, after{};
    window->OnPaintCaption = [&](TWin95Form&, TCanvas& canvas, RECT& rect) {
        color = canvas.Font().Color();
        height = canvas.Font().Height();
        before = rect;
        PaintCaptionPrefix(canvas, rect);
        after = rect;
    };
    window->RedrawCaption();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    EXPECT_EQ(color, static_cast<TColor>(GetSysColor(COLOR_CAPTIONTEXT)));
    EXPECT_EQ(height, metrics.lfCaptionFont.lfHeight);
    EXPECT_GT(after.left, before.left + 20);
}

TEST_F(VarnoletWinTest, ThePrefixGoesInBoldItalicsBeforeTheCaption) {
    TBitmap bitmap(300, 20);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect(RECT{0, 0, 300, 20});
    canvas.Font().SetColor(clBlack);
    RECT rect{2, 0, 300, 20};
    PaintCaptionPrefix(canvas, rect);
    // The rectangle now starts after the whole prefix, measured in bold italics.
    canvas.Font().SetStyle({fsBold, fsItalic});
    const int width = canvas.TextWidth("Quendel ");
    canvas.Font().SetStyle({});
    EXPECT_EQ(rect.left, 2 + width);
    // The font is as it was, and the prefix was drawn left of the new start only.
    EXPECT_TRUE(canvas.Font().Style().Empty());
    int inked = 0, after = 0;
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 20; ++y)
            if ((canvas.Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) (x < rect.left ? inked : after) += 1;
    EXPECT_GT(inked, 20);
    EXPECT_EQ(after, 0);
}

TEST_F(VarnoletWinTest, ANewLibraryHasTheTopNodeFocused) {
    Start();
    TNode* root = Root();
    ASSERT_NE(dynamic_cast<TTextNode*>(root), nullptr);
    EXPECT_EQ(root->NodeClass(), &TTextNode::StaticClass());
    EXPECT_EQ(root->Text(), "Dadirevovezi");
    EXPECT_EQ(root->Bitmap(), SymbolTop);
    EXPECT_EQ(window->Grid->FocusedNode(), root);
    // The top node is a text node: it may be "deleted" (the command refuses it) and edited.
    EXPECT_TRUE(window->ClearBtn->Enabled());
    EXPECT_EQ(window->FileName(), (dir / "Varnolet.STD").string());
}

TEST_F(VarnoletWinTest, SymbolsAreBuiltInForGroupTextAndTop) {
    Make();
    for (int id : {SymbolGroup, SymbolText, SymbolTop}) {
        TPictureEntry* entry = window->Symbole->GetPicture(id);
        ASSERT_FALSE(entry->IsEmpty()) << id;
        EXPECT_EQ(entry->Width(), 16) << id;
        EXPECT_EQ(entry->Height(), 16) << id;
        EXPECT_TRUE(entry->Option().Has(poMasked)) << id;
    }
    EXPECT_TRUE(window->Symbole->GetPicture(2)->IsEmpty());
    // The quick-text nodes find their pictures through the window's list.
    ASSERT_NE(SymbolPictures(), nullptr);
    TSymbolPicture picture;
    EXPECT_TRUE(SymbolPictures()->FindSymbol(SymbolGroup, picture));
    EXPECT_EQ(picture.Width, 16);
    delete window;
    window = nullptr;
    EXPECT_EQ(SymbolPictures(), nullptr);
}

TEST_F(VarnoletWinTest, ToolGlyphsKeepTheirMaskInTheBottomLeftCorner) {
    for (int glyph = bgNewText; glyph <= bgHelp; ++glyph) {
        std::unique_ptr<TBitmap> bitmap = MakeButtonGlyph(static_cast<TButtonGlyph>(glyph));
        EXPECT_EQ(bitmap->Width(), 16);
        EXPECT_EQ(bitmap->TransparentColor(), GlyphMaskColor) << glyph;
        int drawn = 0;
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 16; ++y) drawn += (bitmap->Canvas().Pixel(x, y) & 0xFFFFFF) != GlyphMaskColor;
        EXPECT_GT(drawn, 30) << glyph;
    }
    const char* const bad[16] = {"x"};
    EXPECT_THROW(PaintPixelMaps({bad}), Exception);
}

TEST_F(VarnoletWinTest, HelpOpensTheUserGuideBesideTheProgram) {
    Start();
    std::vector<std::string> opened;
    window->OnOpenHelp = [&](const std::string& fileName) {
        opened.push_back(fileName);
        return true;
    };
    // Without the guide the user is told which file is missing.
    PressKey(VK_F1);
    WaitForInputHandled();
    EXPECT_TRUE(opened.empty());
    ASSERT_FALSE(ProgramMessages().empty());
    EXPECT_NE(ProgramMessages().back().find("Varnolet-Hilfe.html"), std::string::npos);
    EXPECT_EQ(LastProgramMessageKind(), mkError);

    std::ofstream(dir / "Varnolet-Hilfe.html") << "<html></html>";
    PressKey(VK_F1);
    WaitForInputHandled();
    ClickAt(*window->HelpBtn, 10, 10);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], (dir / "Varnolet-Hilfe.html").string());
    EXPECT_EQ(opened[1], opened[0]);
    // A guide the shell cannot open is reported too.
    window->OnOpenHelp = [](const std::string&) { return false; };
    ProgramMessages().clear();
    EXPECT_FALSE(Application->HelpJump(std::string()));
    EXPECT_EQ(ProgramMessages().size(), 1u);
}

}  // namespace
