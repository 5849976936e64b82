// The main window's commands, its menus and what it does with the grid's events.
#include <algorithm>

#include "app/text_node.h"
#include "app/varnolet_win.h"
#include "base/file_system.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "widgets/application_hook_win.h"
#include "widgets/brackets_win.h"
#include "widgets/app_services.h"
#include "widgets/message_form_win.h"
#include "winui/application_win.h"

namespace {

constexpr int DeleteQuestionId = 65141;  // "Wollen Sie diesen Eintrag löschen ?"
constexpr uint8_t InsertAsChild = imChild;
// DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS: one line, centred, cut with an ellipsis.
constexpr UINT EntryTextFormat = 0x8024;
constexpr TColor HighlightColor = 128;  // dark red

bool HasText(const TNode* node) {
    auto* text = dynamic_cast<const TTextNode*>(node);
    return text && text->HasData();
}

// The grid's closing operation of a delete runs however the delete ends.
class TDeleteBracket {
public:
    explicit TDeleteBracket(TLibraryGrid& grid) : grid_(grid) { grid_.BeginDeleteNode(); }
    ~TDeleteBracket() {
        GuardedCall([this] { grid_.EndDeleteNode(); });
    }
    TDeleteBracket(const TDeleteBracket&) = delete;
    TDeleteBracket& operator=(const TDeleteBracket&) = delete;

private:
    TLibraryGrid& grid_;
};

class TNewEntryBracket {
public:
    explicit TNewEntryBracket(TLibraryGrid& grid) : grid_(grid) { grid_.BeginNewEntry(); }
    ~TNewEntryBracket() {
        GuardedCall([this] { grid_.EndNewEntry(); });
    }
    TNewEntryBracket(const TNewEntryBracket&) = delete;
    TNewEntryBracket& operator=(const TNewEntryBracket&) = delete;

private:
    TLibraryGrid& grid_;
};

// The button stays down while the menu it opened is shown.
class TButtonHeldDown {
public:
    explicit TButtonHeldDown(TNewSpeedButton& button) : button_(button) { button_.SetDown(true); }
    ~TButtonHeldDown() { button_.SetDown(false); }
    TButtonHeldDown(const TButtonHeldDown&) = delete;
    TButtonHeldDown& operator=(const TButtonHeldDown&) = delete;

private:
    TNewSpeedButton& button_;
};

}  // namespace

// ---- new entries ----

void TVarnoletWin::NewBtnClick(TControl& sender) { NewEntry(sender.Tag()); }
void TVarnoletWin::PItemNewClick(TMenuItem& sender) { NewEntry(sender.Tag()); }

// A new entry goes into the nearest group at or above the selected entry, else under the top
// node, in text order, and is focused.
void TVarnoletWin::NewEntry(int tag) {
    TNewEntryBracket bracket(*Grid);
    TNode* parent = Grid->SelectedNode();
    while (parent && !parent->InheritsFrom(TTextGroup::StaticClass())) parent = parent->Parent();
    if (!parent) parent = Grid->RootNode();
    std::unique_ptr<TTextNode> node(tag == 1 ? static_cast<TTextNode*>(TTextNode::CreateNew<TTextData>())
                                             : TTextNode::CreateNew<TTextGroup>());
    parent->InsertNode(-1, node.get(), InsertAsChild);
    TNode* entry = node.release();
    parent->Expand(false);
    Grid->SetFocusedNode(entry);
}

// ---- deleting ----

void TVarnoletWin::ClearBtnClick(TControl&) { DeleteEntry(Grid->FocusedNode()); }

// The entry menu's own command deletes the entry the menu was opened for; the shortcut, which
// works without the menu, deletes the focused entry.
void TVarnoletWin::PItemClearClick(TMenuItem&) { DeleteEntry(menuOpen_ ? menuEntry_ : Grid->FocusedNode()); }

void TVarnoletWin::DeleteEntry(TNode* entry) {
    TNode* next = nullptr;
    {
        TDeleteBracket bracket(*Grid);
        next = DeleteConfirmed(entry);
        if (next) Grid->SetFocusedNode(next);
    }
    // Focused again once the grid has closed the change.
    if (next) Grid->SetFocusedNode(next);
}

// Asks and deletes; the entry to focus afterwards, or none when nothing was deleted. That entry
// is never inside the deleted subtree.
TNode* TVarnoletWin::DeleteConfirmed(TNode* entry) {
    // The top node and entries that do not allow it are never deleted.
    if (!entry || !entry->Parent() || entry == Grid->RootNode() || !entry->Option().Has(noCanDelete)) return nullptr;
    if (ShowMessageDlg(LoadStr(DeleteQuestionId), std::string(), mtConfirmation, mbYesNo) != mrYes) return nullptr;
    TNode* focused = Grid->FocusedNode();
    TNode* next = focused && !entry->IsInSubtree(focused) ? focused : entry->Parent();
    ForgetEntriesIn(entry);
    entry->Delete();
    menuEntry_ = nullptr;
    return next;
}

// Drops every remembered reference to Node and the entries below it.
void TVarnoletWin::ForgetEntriesIn(TNode* node) {
    if (focusedEntry_ && node->IsInSubtree(focusedEntry_)) focusedEntry_ = nullptr;
    if (menuEntry_ && node->IsInSubtree(menuEntry_)) menuEntry_ = nullptr;
    std::erase_if(pendingSorts_, [node](TNode* pending) { return node->IsInSubtree(pending); });
}

void TVarnoletWin::ForgetAllEntries() {
    focusedEntry_ = nullptr;
    menuEntry_ = nullptr;
    pendingSorts_.clear();
}

// ---- opening another file ----

void TVarnoletWin::LoadBtnClick(TControl&) { OpenLibrary(); }

void TVarnoletWin::OpenLibrary() {
    OpenDialog->SetInitialDir(ExtractFilePath(file_.FileName()));
    OpenDialog->SetFileName(ExtractFileName(file_.FileName()));
    if (!OpenDialog->Execute()) return;
    bool failed = false;
    std::unique_ptr<TTextNode> tree = file_.Open(Grid->RootNode(), OpenDialog->FileName(), failed);
    if (failed) return;
    // Nothing the window remembers may point into the old tree once it is freed.
    ForgetAllEntries();
    std::unique_ptr<TNode> old = Grid->ReplaceRoot(std::move(tree));
    Grid->SetFocusedNode(Grid->RootNode());
}

// ---- the options menu ----

void TVarnoletWin::PopupBtnClick(TControl&) {
    {
        TButtonHeldDown held(*PopupBtn);
        const POINT corner = PopupBtn->ClientToScreen(POINT{0, PopupBtn->Height()});
        Popup->Popup(corner.x, corner.y);
    }
    // The click that closed the menu on the button must not open it again.
    MSG pending;
    while (PeekMessageW(&pending, Handle(), WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

void TVarnoletWin::PopupPopup(TPopupMenu&) {
    PItemExtras->SetChecked(ExtraToolbar->Visible());
    PItemShortCuts->SetChecked(ShowShortCutsInHints());
}

void TVarnoletWin::PItemTopMostClick(TMenuItem&) {
    PItemTopMost->SetChecked(!PItemTopMost->Checked());
    Perform(UM_WINDOWMODE, 0, 1);
}

void TVarnoletWin::PItemMiniClick(TMenuItem&) { PItemMini->SetChecked(!PItemMini->Checked()); }

void TVarnoletWin::PItemAutoSaveClick(TMenuItem&) { PItemAutoSave->SetChecked(!PItemAutoSave->Checked()); }

void TVarnoletWin::PItemExtrasClick(TMenuItem&) {
    ExtraToolbar->SetVisible(!ExtraToolbar->Visible());
    PItemExtras->SetChecked(ExtraToolbar->Visible());
}

void TVarnoletWin::PItemShortCutsClick(TMenuItem&) {
    SetShowShortCuts(!ShowShortCutsInHints());
    PItemShortCuts->SetChecked(ShowShortCutsInHints());
}

// ---- the entry menu ----

void TVarnoletWin::NodePopupPopup(TPopupMenu&) {
    menuOpen_ = true;
    menuEntry_ = Grid->MenuNode();
    // Copying needs the editor, which is not built yet.
    PItemCopy->SetEnabled(false);
    PItemClear->SetEnabled(menuEntry_ != nullptr);
    PItemBitmap->SetEnabled(menuEntry_ != nullptr);
    PItemEdit->SetChecked(EditBtn->Down());
}

void TVarnoletWin::NodePopupClose(TEntryMenu&) {
    menuOpen_ = false;
    menuEntry_ = nullptr;
}

// ---- other buttons ----

void TVarnoletWin::ClosebtnClick(TControl&) { Close(); }
void TVarnoletWin::HelpBtnClick(TControl&) { Application->HelpJump(std::string()); }
void TVarnoletWin::PItemHelpClick(TMenuItem&) { Application->HelpJump(std::string()); }
void TVarnoletWin::HighlightBtnClick(TControl&) { Grid->Redraw(); }
void TVarnoletWin::SymbolePictureChanged(TPictureEntry*) { Grid->PicturesChanged(); }

// ---- the grid's events ----

void TVarnoletWin::GridNodeFocused() {
    if (!constructed_) return;
    focusedEntry_ = Grid->FocusedNode();
    ClearBtn->SetEnabled(dynamic_cast<TTextNode*>(focusedEntry_) != nullptr);
    SymbolBtn->SetEnabled(ClearBtn->Enabled());
    // The editor shows the focused entry's text once it exists; until then nothing is handed
    // out.
    CopyBtn->SetEnabled(false);
}

void TVarnoletWin::GridNodeChanged(TNode* node, TNodeCode code, intptr_t) {
    if (code == ncRemoved && node) {
        ForgetEntriesIn(node);
        return;
    }
    if (code == ncText && node) {
        // Sorted once the in-place editor has closed, so that no row moves under it.
        TNode* sorted = node->Parent() ? node->Parent() : node;
        if (std::find(pendingSorts_.begin(), pendingSorts_.end(), sorted) == pendingSorts_.end())
            pendingSorts_.push_back(sorted);
    }
    if (!pendingSorts_.empty()) PostResort();
}

void TVarnoletWin::PostResort() {
    if (resortPosted_ || !HandleAllocated()) return;
    resortPosted_ = PostMessageW(Handle(), UM_RESORT, 0, 0) != FALSE;
}

void TVarnoletWin::UMResort(TMessage&) {
    resortPosted_ = false;
    // Still editing: the editor's closing changes the entry's state, which posts again.
    if (Grid->Editing()) return;
    std::vector<TNode*> sorted;
    sorted.swap(pendingSorts_);
    for (TNode* node : sorted) node->Sort(0);
}

void TVarnoletWin::GridCalcDrawStruct(TDrawStruct& ds, TNode* node, TColor& fontColor) {
    ds.TextFormat = EntryTextFormat;
    ds.State += dsDrawText;
    if (HighlightBtn->Down() && !ds.State.Has(dsSelected) && !ds.State.Has(dsFocused) && HasText(node))
        fontColor = HighlightColor;
}

// The entry under the mouse names itself in the grid's hint.
void TVarnoletWin::GridMouseMove(TControl& sender, TShiftState, int x, int y) {
    if (Locked()) return;
    TNode* node = Grid->NodeAt(x, y);
    const std::string text = node ? node->Text() : std::string();
    if (text == sender.Hint()) return;
    sender.SetHint(text);
    TFormLock lock(*this);
    // A move at the mirrored point, over no control, and then the real one: the hint handling
    // takes the grid as a new hint control and shows the new text.
    Application->HintMouseMessage(nullptr, TMessage{WM_MOUSEMOVE, 0, PointToLParam(-x, -y), 0});
    Application->HintMouseMessage(&sender, TMessage{WM_MOUSEMOVE, 0, PointToLParam(x, y), 0});
}
