// The main window's components, and its life: creation, first showing, closing and destruction.
#include "app/varnolet_win.h"

#include <shellapi.h>

#include "app/text_node.h"
#include "app/varnolet_pictures_win.h"
#include "base/cp1252.h"
#include "base/file_system.h"
#include "base/helpers.h"
#include "base/program.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "config/configuration.h"
#include "widgets/application_hook_win.h"
#include "widgets/brackets_win.h"
#include "widgets/placement_win.h"
#include "widgets/toolbar_store.h"
#include "winui/application_win.h"

namespace {

constexpr int StdExtensionId = 65144;      // ".STD"
constexpr int PictureExtensionId = 65145;  // ".PIL"
constexpr int CheckedKeyId = 65140;        // "Checked"
constexpr int ShowShortCutsKeyId = 65151;  // "ShowShortCuts"
constexpr int HeightKeyId = 65189;         // "Height"
const char* const WidthKey = "Width";
constexpr int PanelWidth = 205;
constexpr int NoGlyph = -1;

bool ReadChecked(const TComponent* component, bool current) {
    return ReadComponentValue(component, LoadStr(CheckedKeyId), TNodeValue::OfBool(current)).Boolean;
}

void WriteChecked(const TComponent* component, bool checked) {
    WriteComponentValue(component, LoadStr(CheckedKeyId), TNodeValue::OfBool(checked));
}

bool OpenWithShell(const std::string& fileName) {
    const std::u16string wide = Cp1252ToUtf16(fileName);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", reinterpret_cast<LPCWSTR>(wide.c_str()), nullptr,
                                           nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// The maker's name in front of the caption, the same in every language.
const char* const CaptionPrefix = "Quendel ";

}  // namespace

void PaintCaptionPrefix(TCanvas& canvas, RECT& rect) {
    const std::string prefix = CaptionPrefix;
    const TFontStyles style = canvas.Font().Style();
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetStyle(style + TFontStyles{fsBold, fsItalic});
    RECT text = rect;
    canvas.DrawText(prefix.substr(0, prefix.size() - 1), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    rect.left += canvas.TextWidth(prefix);
    canvas.Font().SetStyle(style);
}

void TEntryMenu::Popup(int x, int y) {
    // Closed is told on every way out, so that the menu's entry is never used afterwards.
    struct TCloseNotice {
        TEntryMenu& menu;
        ~TCloseNotice() {
            if (menu.OnClose) GuardedCall([this] { menu.OnClose(menu); });
        }
    } notice{*this};
    TPopupMenu::Popup(x, y);
}

const TClassInfo& TVarnoletWin::StaticClass() {
    static const TClassInfo info{
        "TVarnoletWin",
        &TWin95Form::StaticClass(),
        {StrProp<TVarnoletWin>("HelpFile", &TVarnoletWin::HelpFile, &TVarnoletWin::SetHelpFile)},
        {}};
    return info;
}

TVarnoletWin::TVarnoletWin(TComponent* owner, std::string firstArgument, const TLibraryGridFactory& makeGrid)
    : TWin95Form(owner), firstArgument_(std::move(firstArgument)), file_(this) {
    OnOpenHelp = OpenWithShell;
    BuildComponents(makeGrid);
}

TVarnoletWin::~TVarnoletWin() {
    if (Application) Application->OnHelp = nullptr;
    // The node classes stop drawing from the list before it goes, then the list is kept.
    SetSymbolPictures(nullptr);
    SaveSymbols();
    // The tree goes with the grid, while the window's components still exist.
    grid_.reset();
}

// ---- layout ----

TDock* TVarnoletWin::MakeDock(const char* name, TDockPosition position) {
    auto* dock = new TDock(this);
    dock->SetName(name);
    dock->SetPosition(position);
    dock->SetParent(P);
    return dock;
}

TToolbar* TVarnoletWin::MakeToolbar(const char* name, TDock* dock) {
    auto* toolbar = new TToolbar(this);
    toolbar->SetName(name);
    toolbar->DockTo(dock, 0, 0);
    return toolbar;
}

TNewSpeedButton* TVarnoletWin::MakeButton(TToolbar* toolbar, const char* name, int glyph, TShortCut shortCut) {
    auto* button = new TNewSpeedButton(this);
    button->SetName(name);
    if (glyph != NoGlyph) button->SetGlyph(MakeButtonGlyph(static_cast<TButtonGlyph>(glyph)).get());
    button->SetShortCut(shortCut);
    button->SetShowHint(true);
    button->SetParent(toolbar);
    return button;
}

TToolbarSeparator* TVarnoletWin::MakeSeparator(TToolbar* toolbar, const char* name) {
    auto* separator = new TToolbarSeparator(this);
    separator->SetName(name);
    separator->SetParent(toolbar);
    return separator;
}

TMenuItem* TVarnoletWin::MakeItem(TMenu* menu, const char* name, TShortCut shortCut) {
    auto* item = new TMenuItem(this);
    item->SetName(name);
    item->SetShortCut(shortCut);
    menu->Items().Add(item);
    return item;
}

TMenuItem* TVarnoletWin::MakeSeparatorItem(TMenu* menu, const char* name) {
    TMenuItem* item = MakeItem(menu, name, scNone);
    item->SetCaption("-");
    return item;
}

// The layout, in the order of the form's components.
void TVarnoletWin::BuildComponents(const TLibraryGridFactory& makeGrid) {
    SetName("VarnoletWin");
    SetFormStyle(fsStayOnTop);
    SetKeyPreview(true);
    SetShowHint(true);
    SetClientSize(741, 359);

    P = new TBitmapPanel(this);
    P->SetName("P");
    P->SetBevelOuter(bvNone);
    P->SetAlign(alLeft);
    P->SetWidth(PanelWidth);
    P->SetParent(this);

    grid_ = makeGrid(*this);
    Grid = grid_.get();
    TWinControl& grid = Grid->Control();
    grid.SetAlign(alClient);
    grid.SetShowHint(true);
    grid.SetParent(P);
    Grid->OnNodeFocused = [this] { GridNodeFocused(); };
    Grid->OnNodeChanged = [this](TNode* node, TNodeCode code, intptr_t param) { GridNodeChanged(node, code, param); };
    Grid->OnCreateRoot = [this] { return GridCreateRoot(); };
    Grid->OnCalcDrawStruct = [this](TDrawStruct& ds, TNode* node, TColor& color) { GridCalcDrawStruct(ds, node, color); };
    grid.OnMouseMove = [this](TControl& sender, TShiftState shift, int x, int y) { GridMouseMove(sender, shift, x, y); };

    DockTop = MakeDock("DockTop", dpTop);
    DockBottom = MakeDock("DockBottom", dpBottom);
    DockLeft = MakeDock("DockLeft", dpLeft);
    DockRight = MakeDock("DockRight", dpRight);

    ExtraToolbar = MakeToolbar("ExtraToolbar", DockBottom);
    Closebtn = MakeButton(ExtraToolbar, "Closebtn", bgQuit, scNone);
    Closebtn->OnClick = [this](TControl& sender) { ClosebtnClick(sender); };
    HighlightBtn = MakeButton(ExtraToolbar, "HighlightBtn", bgHighlight, scNone);
    // A toggle: a group of its own that may be all up.
    HighlightBtn->SetGroupIndex(201);
    HighlightBtn->SetAllowAllUp(true);
    HighlightBtn->OnClick = [this](TControl& sender) { HighlightBtnClick(sender); };
    SymbolBtn = MakeButton(ExtraToolbar, "SymbolBtn", bgSymbols, scNone);
    // The calendar comes with its own button; until then this one stays disabled.
    CalendarBtn = MakeButton(ExtraToolbar, "CalendarBtn", bgCalendar, scNone);
    CalendarBtn->SetEnabled(false);
    ExtraSep1 = MakeSeparator(ExtraToolbar, "ExtraSep1");
    LoadBtn = MakeButton(ExtraToolbar, "LoadBtn", bgLoad, scNone);
    LoadBtn->OnClick = [this](TControl& sender) { LoadBtnClick(sender); };
    HelpBtn = MakeButton(ExtraToolbar, "HelpBtn", bgHelp, ShortCut(VK_F1, {}));
    HelpBtn->OnClick = [this](TControl& sender) { HelpBtnClick(sender); };

    Toolbar971 = MakeToolbar("Toolbar971", DockTop);
    Toolbar971->SetCloseButton(false);
    NewTextBtn = MakeButton(Toolbar971, "NewTextBtn", bgNewText, ShortCut('T', {ssCtrl}));
    NewTextBtn->SetTag(1);
    NewTextBtn->OnClick = [this](TControl& sender) { NewBtnClick(sender); };
    NewGroupBtn = MakeButton(Toolbar971, "NewGroupBtn", bgNewGroup, ShortCut('G', {ssCtrl}));
    NewGroupBtn->SetTag(2);
    NewGroupBtn->OnClick = [this](TControl& sender) { NewBtnClick(sender); };
    ClearBtn = MakeButton(Toolbar971, "ClearBtn", bgDelete, ShortCut(VK_DELETE, {ssCtrl}));
    ClearBtn->OnClick = [this](TControl& sender) { ClearBtnClick(sender); };
    Sep1 = MakeSeparator(Toolbar971, "Sep1");
    // Copying hands the text out through the editor, which is not built yet: disabled.
    CopyBtn = MakeButton(Toolbar971, "CopyBtn", bgCopy, ShortCut('C', {ssCtrl}));
    CopyBtn->SetEnabled(false);
    Sep2 = MakeSeparator(Toolbar971, "Sep2");
    PopupBtn = MakeButton(Toolbar971, "PopupBtn", bgOptions, scNone);
    PopupBtn->OnClick = [this](TControl& sender) { PopupBtnClick(sender); };
    // The editor docks here once it exists; until then the button stays disabled.
    EditBtn = MakeButton(Toolbar971, "EditBtn", NoGlyph, ShortCut(VK_F2, {}));
    EditBtn->SetGroupIndex(200);
    EditBtn->SetAllowAllUp(true);
    EditBtn->SetEnabled(false);
    // The search dialog comes with its own command; until then disabled.
    SearchBtn = MakeButton(Toolbar971, "SearchBtn", bgSearch, ShortCut(VK_F3, {}));
    SearchBtn->SetEnabled(false);

    Split = new TGraphicPanel(this);
    Split->SetName("Split");
    Split->SetAlign(alLeft);
    Split->SetWidth(3);
    Split->SetCursor(crHSplit);
    Split->SetVisible(false);
    Split->SetParent(this);

    Symbole = new TPictureList(this);
    Symbole->SetName("Symbole");
    Symbole->SetIDMinimum(1);
    Symbole->SetIDMaximum(1000);
    AddBuiltInSymbols(*Symbole);
    Symbole->OnChanged = [this](TPictureEntry* sender) { SymbolePictureChanged(sender); };
    symbols_ = std::make_unique<TPictureListSymbols>(*Symbole);
    Grid->SetPictures(Symbole);

    Popup = new TPopupMenu(this);
    Popup->SetName("Popup");
    Popup->SetAlignment(paRight);
    Popup->SetAutoPopup(false);
    Popup->OnPopup = [this](TPopupMenu& sender) { PopupPopup(sender); };
    PItemTopMost = MakeItem(Popup, "PItemTopMost", scNone);
    PItemTopMost->SetChecked(true);
    PItemTopMost->OnClick = [this](TMenuItem& sender) { PItemTopMostClick(sender); };
    PItemMini = MakeItem(Popup, "PItemMini", scNone);
    PItemMini->OnClick = [this](TMenuItem& sender) { PItemMiniClick(sender); };
    // Kept and handed to the editor once it exists.
    PItemAutoSave = MakeItem(Popup, "PItemAutoSave", scNone);
    PItemAutoSave->OnClick = [this](TMenuItem& sender) { PItemAutoSaveClick(sender); };
    N1 = MakeSeparatorItem(Popup, "N1");
    PItemExtras = MakeItem(Popup, "PItemExtras", scNone);
    PItemExtras->OnClick = [this](TMenuItem& sender) { PItemExtrasClick(sender); };
    PItemShortCuts = MakeItem(Popup, "PItemShortCuts", scNone);
    PItemShortCuts->OnClick = [this](TMenuItem& sender) { PItemShortCutsClick(sender); };

    NodePopup = new TEntryMenu(this);
    NodePopup->SetName("NodePopup");
    NodePopup->SetAutoPopup(false);
    NodePopup->OnPopup = [this](TPopupMenu& sender) { NodePopupPopup(sender); };
    NodePopup->OnClose = [this](TEntryMenu& sender) { NodePopupClose(sender); };
    PItemCopy = MakeItem(NodePopup, "PItemCopy", ShortCut('C', {ssCtrl}));
    PItemCopy->SetEnabled(false);
    PItemClear = MakeItem(NodePopup, "PItemClear", ShortCut(VK_DELETE, {ssCtrl}));
    PItemClear->OnClick = [this](TMenuItem& sender) { PItemClearClick(sender); };
    N2 = MakeSeparatorItem(NodePopup, "N2");
    PItemNewText = MakeItem(NodePopup, "PItemNewText", ShortCut('T', {ssCtrl}));
    PItemNewText->SetTag(1);
    PItemNewText->OnClick = [this](TMenuItem& sender) { PItemNewClick(sender); };
    PItemNewGroup = MakeItem(NodePopup, "PItemNewGroup", ShortCut('G', {ssCtrl}));
    PItemNewGroup->SetTag(2);
    PItemNewGroup->OnClick = [this](TMenuItem& sender) { PItemNewClick(sender); };
    N3 = MakeSeparatorItem(NodePopup, "N3");
    PItemEdit = MakeItem(NodePopup, "PItemEdit", ShortCut(VK_F2, {}));
    PItemEdit->SetEnabled(false);
    PItemBitmap = MakeItem(NodePopup, "PItemBitmap", scNone);
    PItemSearch = MakeItem(NodePopup, "PItemSearch", ShortCut(VK_F3, {}));
    PItemSearch->SetEnabled(false);
    N4 = MakeSeparatorItem(NodePopup, "N4");
    PItemHelp = MakeItem(NodePopup, "PItemHelp", ShortCut(VK_F1, {}));
    PItemHelp->OnClick = [this](TMenuItem& sender) { PItemHelpClick(sender); };
    Grid->SetNodeMenu(NodePopup);

    OpenDialog = new TOpenDialog(this);
    OpenDialog->SetName("OpenDialog");
    OpenDialog->SetDefaultExt(LoadStr(StdExtensionId));
    OpenDialog->SetOptions({ofHideReadOnly, ofPathMustExist});

    MainMenu = new TMainMenu(this);
    MainMenu->SetName("MainMenu");
    SetMenu(MainMenu);

    for (TNewSpeedButton* button : {Closebtn, HighlightBtn, SymbolBtn, CalendarBtn, LoadBtn, HelpBtn, NewTextBtn,
                                    NewGroupBtn, ClearBtn, CopyBtn, PopupBtn, EditBtn, SearchBtn})
        button->Loaded();
}

// ---- creation ----

void TVarnoletWin::AfterConstruction() {
    TWin95Form::AfterConstruction();
    FormCreate();
}

void TVarnoletWin::FormCreate() {
    SetOnPaintCaption([](TWin95Form&, TCanvas& canvas, RECT& rect) { PaintCaptionPrefix(canvas, rect); });
    SetSymbolPictures(symbols_.get());
    SetGradient(SameText(firstArgument_, "16") ? gfNone : gfAllways);
    // The root is made through the grid's create-root event when it is first asked for.
    Grid->SetFocusedNode(Grid->RootNode());
    SymbolBtn->SetVisible(false);
    PItemBitmap->SetVisible(false);
    Application->OnHelp = [this](UINT, ULONG_PTR) { return ShowHelp(); };
    constructed_ = true;
}

TNode* TVarnoletWin::GridCreateRoot() { return TTextNode::CreateTop(); }

// ---- first showing ----

void TVarnoletWin::DoShow() {
    TWin95Form::DoShow();
    if (shown_) return;
    shown_ = true;
    FormShow();
}

// Each step on its own: a damaged configuration or picture list must not keep the quick-text
// file from loading.
void TVarnoletWin::FormShow() {
    TBusyCursor busy;
    const bool configExisted = ConfigurationFileExists();
    if (configExisted) GuardedCall([this] { ReadSettings(); });
    GuardedCall([this] { Perform(UM_WINDOWMODE, 0, 1); });
    GuardedCall([this] {
        SetClientWidth(P->Width());
        remembered_ = WindowBox();
    });
    GuardedCall([this] { LoadSymbols(); });
    GuardedCall([this] { LoadToolbarPositions(this, ComponentPositionStore(this)); });
    libraryLoaded_ = true;
    GuardedCall([this, configExisted] { LoadLibrary(configExisted); });
}

void TVarnoletWin::ReadSettings() {
    RestorePlacement(*this);
    SetShowShortCuts(ReadComponentValue(this, LoadStr(ShowShortCutsKeyId), TNodeValue::OfBool(ShowShortCutsInHints())).Boolean);
    PItemTopMost->SetChecked(ReadChecked(PItemTopMost, PItemTopMost->Checked()));
    PItemMini->SetChecked(ReadChecked(PItemMini, PItemMini->Checked()));
    PItemAutoSave->SetChecked(ReadChecked(PItemAutoSave, PItemAutoSave->Checked()));
    HighlightBtn->SetDown(ReadChecked(HighlightBtn, HighlightBtn->Down()));
    P->SetWidth(ReadComponentValue(P, WidthKey, TNodeValue::Of(P->Width())).Integer);
}

void TVarnoletWin::LoadSymbols() {
    const std::string fileName = ProgramFile(LoadStr(PictureExtensionId));
    if (!FileSystem().FileExists(fileName)) return;
    try {
        Symbole->LoadFromFile(fileName);
    } catch (...) {
        symbolsLoadFailed_ = true;
        throw;
    }
}

void TVarnoletWin::LoadLibrary(bool configExisted) {
    if (std::unique_ptr<TTextNode> tree = file_.LoadAtStart(configExisted)) {
        ForgetAllEntries();
        std::unique_ptr<TNode> old = Grid->ReplaceRoot(std::move(tree));
    }
    // The grid focuses nodes only once it has its window, which it has now: the top node of a
    // fresh library is focused here too.
    Grid->SetFocusedNode(Grid->RootNode());
}

// ---- closing ----

bool TVarnoletWin::CloseQuery() {
    GuardedCall([this] { SaveToolbarPositions(this, ComponentPositionStore(this)); });
    const bool canClose = TWin95Form::CloseQuery();
    GuardedCall([this] { WriteSettings(); });
    GuardedCall([this] {
        if (!shrunk_) remembered_ = WindowBox();
    });
    // A library that was never looked for is not written over.
    if (libraryLoaded_) GuardedCall([this] { file_.SaveAtEnd(Grid->RootNode()); });
    return canClose;
}

void TVarnoletWin::WriteSettings() {
    SavePlacement(*this);
    WriteComponentValue(this, LoadStr(ShowShortCutsKeyId), TNodeValue::OfBool(ShowShortCutsInHints()));
    WriteChecked(PItemMini, PItemMini->Checked());
    WriteChecked(PItemTopMost, PItemTopMost->Checked());
    WriteChecked(PItemAutoSave, PItemAutoSave->Checked());
    WriteChecked(HighlightBtn, HighlightBtn->Down());
    WriteComponentValue(P, WidthKey, TNodeValue::Of(P->Width()));
    file_.StoreSettings();
    // Closed while shrunk: the next start comes back at the full height.
    if (PItemMini->Checked() && ClientHeight() == 0)
        WriteComponentValue(this, LoadStr(HeightKeyId), TNodeValue::Of(remembered_.Height()));
}

// ---- destruction ----

void TVarnoletWin::SaveSymbols() {
    if (symbolsLoadFailed_ || !Symbole) return;
    GuardedCall([this] { Symbole->SaveToFile(ProgramFile(LoadStr(PictureExtensionId))); });
}

// ---- help ----

bool TVarnoletWin::ShowHelp() {
    const std::string fileName = ExtractFilePath(ProgramFileName()) + helpFile_;
    if (!FileSystem().FileExists(fileName)) {
        ShowProgramMessage(Format(LoadStr(sid::FileNotFoundName), {fileName}), mkError);
        return false;
    }
    if (OnOpenHelp && OnOpenHelp(fileName)) return true;
    ShowProgramMessage(Format(LoadStr(sid::FOpenError), {fileName}), mkError);
    return false;
}

std::string FirstProgramArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return std::string();
    std::string first;
    if (count > 1) {
        const std::wstring wide(arguments[1]);
        first = Utf16ToCp1252(std::u16string(wide.begin(), wide.end()));
    }
    LocalFree(arguments);
    return first;
}
