// TVarnoletWin, the program's main window: a narrow, normally stay-on-top window with the
// quick-text tree in its grid, two docking toolbars, the options menu and the entry menu. It
// loads the quick-text file when it is first shown and saves it with its backup when it closes,
// keeps its options and placement in the configuration, and can shrink to its caption bar while
// another program is active.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/library_grid_win.h"
#include "app/quick_text_file.h"
#include "app/symbol_pictures_win.h"
#include "app/window_shrink.h"
#include "pictures/picture_list_win.h"
#include "widgets/bitmap_panel_win.h"
#include "widgets/dock_win.h"
#include "widgets/speed_button_win.h"
#include "widgets/win95_form_win.h"
#include "winui/dialogs_win.h"
#include "winui/menu_win.h"

// Sent or posted to the main window: WParam 1 forces growing back; LParam 1 applies the
// stay-on-top option, 0 shrinks or grows the window as its activation asks.
constexpr UINT UM_WINDOWMODE = WM_USER + 1;
// Posted to the main window: the renamed entries are sorted among their siblings once the
// in-place editor has closed; a burst of posts gives one sort.
constexpr UINT UM_RESORT = WM_USER + 2;

// The entry menu: a popup menu that tells when it has closed, so that the entry it was opened
// for serves only its own commands.
class TEntryMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override;
    std::function<void(TEntryMenu& sender)> OnClose;
};

class TVarnoletWin : public TWin95Form {
public:
    // FirstArgument is the program's first command-line argument ("16": the caption without
    // gradient). MakeGrid makes the tree control.
    TVarnoletWin(TComponent* owner, std::string firstArgument, const TLibraryGridFactory& makeGrid);
    ~TVarnoletWin() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Components, by their layout names.
    TBitmapPanel* P = nullptr;
    TLibraryGrid* Grid = nullptr;
    TDock* DockTop = nullptr;
    TDock* DockBottom = nullptr;
    TDock* DockLeft = nullptr;
    TDock* DockRight = nullptr;
    TToolbar* ExtraToolbar = nullptr;
    TNewSpeedButton* Closebtn = nullptr;
    TNewSpeedButton* HighlightBtn = nullptr;
    TNewSpeedButton* SymbolBtn = nullptr;
    TNewSpeedButton* CalendarBtn = nullptr;
    TToolbarSeparator* ExtraSep1 = nullptr;
    TNewSpeedButton* LoadBtn = nullptr;
    TNewSpeedButton* HelpBtn = nullptr;
    TToolbar* Toolbar971 = nullptr;
    TNewSpeedButton* NewTextBtn = nullptr;
    TNewSpeedButton* NewGroupBtn = nullptr;
    TNewSpeedButton* ClearBtn = nullptr;
    TToolbarSeparator* Sep1 = nullptr;
    TNewSpeedButton* CopyBtn = nullptr;
    TToolbarSeparator* Sep2 = nullptr;
    TNewSpeedButton* PopupBtn = nullptr;
    TNewSpeedButton* EditBtn = nullptr;
    TNewSpeedButton* SearchBtn = nullptr;
    TGraphicPanel* Split = nullptr;
    TPictureList* Symbole = nullptr;
    TPopupMenu* Popup = nullptr;
    TMenuItem* PItemTopMost = nullptr;
    TMenuItem* PItemMini = nullptr;
    TMenuItem* PItemAutoSave = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* PItemExtras = nullptr;
    TMenuItem* PItemShortCuts = nullptr;
    TEntryMenu* NodePopup = nullptr;
    TMenuItem* PItemCopy = nullptr;
    TMenuItem* PItemClear = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* PItemNewText = nullptr;
    TMenuItem* PItemNewGroup = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* PItemEdit = nullptr;
    TMenuItem* PItemBitmap = nullptr;
    TMenuItem* PItemSearch = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* PItemHelp = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TMainMenu* MainMenu = nullptr;

    // Runs the creation steps once the texts are in place.
    void AfterConstruction() override;
    // The window restores and saves its placement itself, when it is first shown and closed.
    void StorePlacement(bool) override {}
    // The close query saves the settings and the quick-text file.
    bool CloseQuery() override;

    // The name of the user guide beside the program, from the window's text table (German or
    // English).
    std::string HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& name) { helpFile_ = name; }
    // Opens a help file; the default hands it to the shell. False when it could not be opened.
    std::function<bool(const std::string& fileName)> OnOpenHelp;

    // State, for the tests and the benchmark.
    bool Shrunk() const { return shrunk_; }
    // The full-size window rectangle (while shrunk: the one it grows back to).
    const TWindowBox& RememberedRect() const { return remembered_; }
    const std::string& FileName() const { return file_.FileName(); }
    // The entry the entry menu was opened for, while it is open.
    TNode* MenuEntry() const { return menuEntry_; }
    // The entries whose parents wait to be sorted after a rename.
    size_t PendingSorts() const { return pendingSorts_.size(); }

    // Event handlers, named after the control and the event.
    void NewBtnClick(TControl& sender);
    void PItemNewClick(TMenuItem& sender);
    void ClearBtnClick(TControl& sender);
    void PItemClearClick(TMenuItem& sender);
    void PopupBtnClick(TControl& sender);
    void ClosebtnClick(TControl& sender);
    void HelpBtnClick(TControl& sender);
    void PItemHelpClick(TMenuItem& sender);
    void HighlightBtnClick(TControl& sender);
    void LoadBtnClick(TControl& sender);
    void PopupPopup(TPopupMenu& sender);
    void PItemTopMostClick(TMenuItem& sender);
    void PItemMiniClick(TMenuItem& sender);
    void PItemAutoSaveClick(TMenuItem& sender);
    void PItemExtrasClick(TMenuItem& sender);
    void PItemShortCutsClick(TMenuItem& sender);
    void NodePopupPopup(TPopupMenu& sender);
    void NodePopupClose(TEntryMenu& sender);
    void SymbolePictureChanged(TPictureEntry* sender);
    void GridNodeFocused();
    void GridNodeChanged(TNode* node, TNodeCode code, intptr_t param);
    TNode* GridCreateRoot();
    void GridCalcDrawStruct(TDrawStruct& drawStruct, TNode* node, TColor& fontColor);
    void GridMouseMove(TControl& sender, TShiftState shift, int x, int y);

    void WndProc(TMessage& msg) override;

protected:
    void DoShow() override;
    // Activation changes shrink or grow the window (with the shrink option).
    void WMActivate(TMessage& msg) override;

private:
    void BuildComponents(const TLibraryGridFactory& makeGrid);
    TDock* MakeDock(const char* name, TDockPosition position);
    TToolbar* MakeToolbar(const char* name, TDock* dock);
    TNewSpeedButton* MakeButton(TToolbar* toolbar, const char* name, int glyph, TShortCut shortCut);
    TToolbarSeparator* MakeSeparator(TToolbar* toolbar, const char* name);
    TMenuItem* MakeItem(TMenu* menu, const char* name, TShortCut shortCut);
    TMenuItem* MakeSeparatorItem(TMenu* menu, const char* name);

    // The steps of creation, first showing and closing.
    void FormCreate();
    void FormShow();
    void ReadSettings();
    void WriteSettings();
    void LoadSymbols();
    void SaveSymbols();
    void LoadLibrary(bool configExisted);

    // The commands.
    void NewEntry(int tag);
    void DeleteEntry(TNode* entry);
    TNode* DeleteConfirmed(TNode* entry);
    void OpenLibrary();
    void ForgetEntriesIn(TNode* node);
    void ForgetAllEntries();
    bool ShowHelp();

    // The window messages.
    void WMMove(TMessage& msg);
    void WMGetMinMaxInfo(TMessage& msg);
    void WMSize(TMessage& msg);
    void UMWindowMode(TMessage& msg);
    void UMResort(TMessage& msg);
    void ApplyStayOnTop();
    bool CountsAsActive();
    void GrowBack();
    void ShrinkToCaption();
    void MoveWindowTo(const TWindowBox& box, UINT flags);
    TWindowBox WindowBox();
    void PostResort();

    std::string firstArgument_;
    std::string helpFile_;
    TQuickTextFile file_;
    std::unique_ptr<TPictureListSymbols> symbols_;
    std::unique_ptr<TLibraryGrid> grid_;
    // The full-size window rectangle, also while shrunk.
    TWindowBox remembered_;
    bool shrunk_ = false;
    bool constructed_ = false;
    bool shown_ = false;
    // Whether the quick-text file has been looked for: only then may the close save it.
    bool libraryLoaded_ = false;
    // A ".PIL" file that could not be read is kept, not overwritten by the built-in symbols.
    bool symbolsLoadFailed_ = false;
    TNode* focusedEntry_ = nullptr;
    TNode* menuEntry_ = nullptr;
    bool menuOpen_ = false;
    std::vector<TNode*> pendingSorts_;
    bool resortPosted_ = false;
};

// Draws the maker's prefix in bold italics at the start of the caption text rectangle Rect and
// moves the rectangle's left edge past it (the caption-paint hook of the main window).
void PaintCaptionPrefix(TCanvas& canvas, RECT& rect);
// The program's first command-line argument; empty when there is none.
std::string FirstProgramArgument();
