#include "winui/std_lists_win.h"

#include <algorithm>
#include <climits>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/text_win.h"

TOwnerDrawState OwnerDrawState(UINT itemState) {
    TOwnerDrawState state;
    if (itemState & ODS_SELECTED) state += odSelected;
    if (itemState & ODS_GRAYED) state += odGrayed;
    if (itemState & ODS_DISABLED) state += odDisabled;
    if (itemState & ODS_CHECKED) state += odChecked;
    if (itemState & ODS_FOCUS) state += odFocused;
    if (itemState & ODS_DEFAULT) state += odDefault;
    if (itemState & ODS_COMBOBOXEDIT) state += odComboBoxEdit;
    return state;
}

// --- TListWindowSync ---

void TListWindowSync::Sync(HWND window, const TStringList& items, const std::function<void(int)>& inserted) {
    std::vector<std::string> lines = items.Lines();
    const size_t oldCount = shown_.size();
    const size_t newCount = lines.size();
    size_t prefix = 0;
    while (prefix < oldCount && prefix < newCount && shown_[prefix] == lines[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < oldCount - prefix && suffix < newCount - prefix &&
           shown_[oldCount - 1 - suffix] == lines[newCount - 1 - suffix])
        ++suffix;
    const size_t deleteCount = oldCount - prefix - suffix;
    const size_t insertCount = newCount - prefix - suffix;
    // Larger changes are made without redrawing each step.
    const bool bulk = deleteCount + insertCount > 8;
    if (bulk) SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    if (newCount == 0) {
        SendMessageW(window, messages_.Reset, 0, 0);
    } else {
        for (size_t i = 0; i < deleteCount; ++i) SendMessageW(window, messages_.Delete, prefix, 0);
        for (size_t i = 0; i < insertCount; ++i) {
            const std::wstring text = WideText(lines[prefix + i]);
            SendMessageW(window, messages_.Insert, prefix + i, reinterpret_cast<LPARAM>(text.c_str()));
            if (inserted) inserted(static_cast<int>(prefix + i));
        }
    }
    if (bulk) {
        SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
    shown_ = std::move(lines);
}

void SortStrings(TStringList& items) {
    struct TEntry {
        std::wstring key;
        std::string text;
        void* object;
    };
    std::vector<TEntry> entries;
    for (int i = 0; i < items.Count(); ++i)
        entries.push_back({WideText(items.Strings(i)), items.Strings(i), items.Objects(i)});
    auto less = [](const TEntry& a, const TEntry& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.key.c_str(), -1, b.key.c_str(), -1) ==
               CSTR_LESS_THAN;
    };
    if (std::is_sorted(entries.begin(), entries.end(), less)) return;
    std::stable_sort(entries.begin(), entries.end(), less);
    items.BeginUpdate();
    items.Clear();
    for (const TEntry& entry : entries) items.AddObject(entry.text, entry.object);
    items.EndUpdate();
}

namespace {

void AssignStrings(TStringList& target, const TStringList& source) {
    target.BeginUpdate();
    target.Clear();
    for (int i = 0; i < source.Count(); ++i) target.AddObject(source.Strings(i), source.Objects(i));
    target.EndUpdate();
}

// The default look of an owner-drawn item: the background, then the text.
void DrawItemText(TCanvas& canvas, const RECT& rect, const std::string& text) {
    canvas.FillRect(rect);
    canvas.Brush().SetStyle(bsClear);
    RECT textRect = rect;
    textRect.left += 2;
    canvas.DrawText(text, textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// Runs the drawing of one owner-drawn item on Canvas over the item's device context; a pure
// focus change only toggles the focus rectangle.
void RunDrawItem(TCanvas& canvas, TControl& control, const DRAWITEMSTRUCT& item,
                 const std::function<void(int, RECT, TOwnerDrawState)>& draw) {
    RECT rect = item.rcItem;
    if (item.itemID == static_cast<UINT>(-1) || item.itemAction == ODA_FOCUS) {
        if (item.itemState & ODS_FOCUS || item.itemAction == ODA_FOCUS) DrawFocusRect(item.hDC, &rect);
        return;
    }
    const TOwnerDrawState state = OwnerDrawState(item.itemState);
    canvas.SetHandle(item.hDC);
    canvas.Font().Assign(&control.Font());
    canvas.Brush().SetStyle(bsSolid);
    if (state.Has(odSelected)) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    } else {
        canvas.Brush().SetColor(control.Color());
    }
    draw(static_cast<int>(item.itemID), rect, state);
    canvas.SetHandle(nullptr);
    if (state.Has(odFocused)) DrawFocusRect(item.hDC, &rect);
}

TPropInfo ItemsProp(TStringList& (*items)(TPersistent&)) {
    return TypedProp<TPersistent, std::vector<std::string>>(
        "Items", TPropKind::pkStringList,
        [items](const TPersistent& o) { return items(const_cast<TPersistent&>(o)).Lines(); },
        [items](TPersistent& o, const std::vector<std::string>& lines) { items(o).SetLines(lines); });
}

}  // namespace

// --- TCustomListBox ---

const TClassInfo& TCustomListBox::StaticClass() {
    static const TClassInfo info{
        "TCustomListBox", &TWinControl::StaticClass(),
        {ItemsProp([](TPersistent& o) -> TStringList& { return static_cast<TCustomListBox&>(o).Items(); })},
        {}};
    return info;
}

const TClassInfo& TListBox::StaticClass() {
    static const TClassInfo info{"TListBox", &TCustomListBox::StaticClass(), {}, {}};
    return info;
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), sync_({LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT}) {
    // The list box reports clicks and double clicks as notifications.
    controlStyle_ = {csSetCaption, csOpaque};
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
    items_.OnChange = [this](TStringList&) { ItemsChanged(); };
}

TCustomListBox::~TCustomListBox() {
    items_.OnChange = nullptr;
}

void TCustomListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "LISTBOX";
    params.Style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
    if (multiSelect_) params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (style_ == lbOwnerDrawFixed) params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    if (style_ == lbOwnerDrawVariable) params.Style |= LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
    if (columns_ > 0) params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    HWND window = Handle();
    if (style_ == lbOwnerDrawFixed) SendMessageW(window, LB_SETITEMHEIGHT, 0, itemHeight_);
    UpdateColumnWidth();
    sync_.Reset();
    sync_.Sync(window, items_, [this](int index) { ItemInserted(index); });
    if (multiSelect_) {
        for (int index : savedSelection_)
            if (index < Count()) SendMessageW(window, LB_SETSEL, TRUE, index);
        if (itemIndex_ >= 0 && itemIndex_ < Count()) SendMessageW(window, LB_SETCARETINDEX, itemIndex_, FALSE);
    } else if (itemIndex_ < Count()) {
        SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    }
    SendMessageW(window, LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_), 0);
    savedSelection_.clear();
}

void TCustomListBox::DestroyWnd() {
    if (HandleAllocated()) {
        itemIndex_ = ItemIndex();
        topIndex_ = TopIndex();
        savedSelection_.clear();
        if (multiSelect_)
            for (int i = 0; i < Count(); ++i)
                if (Selected(i)) savedSelection_.push_back(i);
    }
    sync_.Reset();
    TWinControl::DestroyWnd();
}

void TCustomListBox::ItemsChanged() {
    if (sorting_) return;
    if (sorted_) {
        sorting_ = true;
        SortStrings(items_);
        sorting_ = false;
    }
    if (!HandleAllocated()) {
        if (itemIndex_ >= Count()) itemIndex_ = -1;
        return;
    }
    sync_.Sync(Handle(), items_, [this](int index) { ItemInserted(index); });
    if (style_ != lbStandard) InvalidateRect(Handle(), nullptr, FALSE);
}

void TCustomListBox::ItemInserted(int index) {
    if (style_ != lbOwnerDrawVariable) return;
    int height = itemHeight_;
    MeasureItem(index, height);
    SendMessageW(Handle(), LB_SETITEMHEIGHT, static_cast<WPARAM>(index), std::clamp(height, 1, 255));
}

void TCustomListBox::SetItems(const TStringList& items) {
    AssignStrings(items_, items);
}

void TCustomListBox::CheckIndex(int index) const {
    if (index < 0 || index >= items_.Count()) throw Exception(sid::ListBoxIndexError);
}

int TCustomListBox::ItemIndex() {
    if (!HandleAllocated()) return itemIndex_;
    const UINT message = multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL;
    const LRESULT index = SendMessageW(Handle(), message, 0, 0);
    // A multi-select list reports its caret 0 even when it is empty.
    return index == LB_ERR || index >= Count() ? -1 : static_cast<int>(index);
}

void TCustomListBox::SetItemIndex(int index) {
    if (index != -1) CheckIndex(index);
    itemIndex_ = index;
    if (!HandleAllocated()) return;
    if (multiSelect_)
        SendMessageW(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    else
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::SetMultiSelect(bool multiSelect) {
    if (multiSelect_ == multiSelect) return;
    multiSelect_ = multiSelect;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool extended) {
    if (extendedSelect_ == extended) return;
    extendedSelect_ = extended;
    if (HandleAllocated()) RecreateWnd();
}

bool TCustomListBox::Selected(int index) {
    CheckIndex(index);
    if (!HandleAllocated()) {
        if (!multiSelect_) return index == itemIndex_;
        return std::find(savedSelection_.begin(), savedSelection_.end(), index) != savedSelection_.end();
    }
    return SendMessageW(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TCustomListBox::SetSelected(int index, bool selected) {
    CheckIndex(index);
    if (!multiSelect_) {
        if (selected) SetItemIndex(index);
        else if (ItemIndex() == index) SetItemIndex(-1);
        return;
    }
    HandleNeeded();
    SendMessageW(Handle(), LB_SETSEL, selected, index);
}

int TCustomListBox::SelCount() {
    if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
    HandleNeeded();
    return static_cast<int>(SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
    if (!multiSelect_) {
        SetItemIndex(-1);
        return;
    }
    HandleNeeded();
    SendMessageW(Handle(), LB_SETSEL, FALSE, -1);
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
    if (style_ == style) return;
    style_ = style;
    if (HandleAllocated()) RecreateWnd();
}

int TCustomListBox::ItemHeight() {
    if (style_ == lbStandard && HandleAllocated())
        return static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
    return itemHeight_;
}

void TCustomListBox::SetItemHeight(int height) {
    if (height < 1 || height > 255)
        throw Exception(sid::ValueOutOfRange, {int64_t{height}, int64_t{1}, int64_t{255}});
    itemHeight_ = height;
    if (style_ == lbOwnerDrawFixed && HandleAllocated()) {
        SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, height);
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

int TCustomListBox::TopIndex() {
    if (!HandleAllocated()) return topIndex_;
    return static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int index) {
    topIndex_ = std::max(index, 0);
    if (HandleAllocated()) SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_), 0);
}

void TCustomListBox::SetSorted(bool sorted) {
    if (sorted_ == sorted) return;
    sorted_ = sorted;
    if (sorted) ItemsChanged();
}

void TCustomListBox::SetColumns(int columns) {
    if (columns < 0)
        throw Exception(sid::ValueOutOfRange, {int64_t{columns}, int64_t{0}, int64_t{INT_MAX}});
    if (columns_ == columns) return;
    const bool styleChanges = (columns_ == 0) != (columns == 0);
    columns_ = columns;
    if (HandleAllocated() && styleChanges) RecreateWnd();
    else UpdateColumnWidth();
}

void TCustomListBox::UpdateColumnWidth() {
    if (columns_ <= 0 || !HandleAllocated()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    const int width = std::max<int>(1, (client.right - client.left) / columns_);
    SendMessageW(Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(width), 0);
}

void TCustomListBox::BoundsChanged() {
    TWinControl::BoundsChanged();
    UpdateColumnWidth();
}

int TCustomListBox::ItemAtPos(POINT point, bool existing) {
    if (!HandleAllocated()) return -1;
    const LRESULT result = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    const int index = LOWORD(result);
    const bool outside = HIWORD(result) != 0;
    if (index >= Count()) return existing ? -1 : Count();
    if (outside && existing) return -1;
    return index;
}

RECT TCustomListBox::ItemRect(int index) {
    RECT rect{};
    if (index == Count()) {
        // Just below the last item: where a new one would go.
        if (index > 0) {
            rect = ItemRect(index - 1);
            OffsetRect(&rect, 0, rect.bottom - rect.top);
        }
        return rect;
    }
    CheckIndex(index);
    HandleNeeded();
    SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void TCustomListBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    if (OnDrawItem)
        OnDrawItem(*this, index, rect, state);
    else
        DrawItemText(canvas_, rect, items_.Strings(index));
}

void TCustomListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(*this, index, height);
}

void TCustomListBox::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case CN_COMMAND: CNCommand(msg); return;
    case CN_DRAWITEM: CNDrawItem(msg); return;
    case CN_MEASUREITEM: CNMeasureItem(msg); return;
    default: TWinControl::WndProc(msg);
    }
}

void TCustomListBox::CNCommand(TMessage& msg) {
    switch (HIWORD(msg.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
    }
    msg.Result = 0;
}

void TCustomListBox::CNDrawItem(TMessage& msg) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam);
    if (item.itemID == static_cast<UINT>(-1) || static_cast<int>(item.itemID) < Count())
        RunDrawItem(canvas_, *this, item,
                    [this](int index, RECT rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
    msg.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TMessage& msg) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(msg.LParam);
    int height = itemHeight_;
    if (style_ == lbOwnerDrawVariable && static_cast<int>(item.itemID) < Count())
        MeasureItem(static_cast<int>(item.itemID), height);
    item.itemHeight = static_cast<UINT>(std::clamp(height, 1, 255));
    msg.Result = TRUE;
}

// --- TCustomComboBox ---

const TClassInfo& TCustomComboBox::StaticClass() {
    static const TClassInfo info{
        "TCustomComboBox", &TWinControl::StaticClass(),
        {ItemsProp([](TPersistent& o) -> TStringList& { return static_cast<TCustomComboBox&>(o).Items(); })},
        {}};
    return info;
}

const TClassInfo& TComboBox::StaticClass() {
    static const TClassInfo info{"TComboBox", &TCustomComboBox::StaticClass(), {}, {}};
    return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), sync_({CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT}) {
    controlStyle_ = {csSetCaption, csFixedHeight};
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
    items_.OnChange = [this](TStringList&) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() {
    items_.OnChange = nullptr;
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "COMBOBOX";
    params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (style_) {
    case csDropDown: params.Style |= CBS_DROPDOWN; break;
    case csSimple: params.Style |= CBS_SIMPLE; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case csOwnerDrawVariable: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS; break;
    }
    // The window's height at creation is the height of the open list.
    if (style_ != csSimple)
        params.Height += std::clamp(Count(), 1, dropDownCount_) * itemHeight_ + 2;
}

void TCustomComboBox::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    HWND window = Handle();
    SendMessageW(window, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (IsOwnerDrawn()) {
        SendMessageW(window, CB_SETITEMHEIGHT, 0, itemHeight_);
        SendMessageW(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
    }
    sync_.Reset();
    sync_.Sync(window, items_, [this](int index) {
        if (style_ != csOwnerDrawVariable) return;
        int height = itemHeight_;
        MeasureItem(index, height);
        SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(index), std::clamp(height, 1, 255));
    });
    if (itemIndex_ >= 0 && itemIndex_ < Count()) SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    AdjustDropDown();
}

void TCustomComboBox::DestroyWnd() {
    if (HandleAllocated()) itemIndex_ = ItemIndex();
    sync_.Reset();
    TWinControl::DestroyWnd();
}

void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    AdjustDropDown();
}

void TCustomComboBox::AdjustDropDown() {
    if (!HandleAllocated() || style_ == csSimple) return;
    RECT rect;
    GetWindowRect(Handle(), &rect);
    const int height = (rect.bottom - rect.top) + std::clamp(Count(), 1, dropDownCount_) * ItemHeight() + 2;
    // The combo box keeps the height of its closed part and remembers the rest for the list.
    SetWindowPos(Handle(), nullptr, 0, 0, rect.right - rect.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::ItemsChanged() {
    if (sorting_) return;
    if (sorted_) {
        sorting_ = true;
        SortStrings(items_);
        sorting_ = false;
    }
    if (!HandleAllocated()) {
        if (itemIndex_ >= Count()) itemIndex_ = -1;
        return;
    }
    sync_.Sync(Handle(), items_, [this](int index) {
        if (style_ != csOwnerDrawVariable) return;
        int height = itemHeight_;
        MeasureItem(index, height);
        SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(index), std::clamp(height, 1, 255));
    });
    if (IsOwnerDrawn()) InvalidateRect(Handle(), nullptr, FALSE);
    AdjustDropDown();
}

void TCustomComboBox::SetItems(const TStringList& items) {
    AssignStrings(items_, items);
}

void TCustomComboBox::Clear() {
    items_.Clear();
    SetText(std::string());
}

void TCustomComboBox::CheckIndex(int index) const {
    if (index < 0 || index >= items_.Count()) throw Exception(sid::ComboBoxIndexError);
}

int TCustomComboBox::ItemIndex() {
    if (!HandleAllocated()) return itemIndex_;
    const LRESULT index = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TCustomComboBox::SetItemIndex(int index) {
    if (index != -1) CheckIndex(index);
    itemIndex_ = index;
    if (HandleAllocated()) SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomComboBox::SetTextValue(const std::string& text) {
    if (IsListStyle()) {
        const int index = items_.IndexOf(text);
        if (index >= 0 || text.empty()) SetItemIndex(index);
        return;
    }
    TWinControl::SetTextValue(text);
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style_ == style) return;
    style_ = style;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int count) {
    if (count < 1)
        throw Exception(sid::ValueOutOfRange, {int64_t{count}, int64_t{1}, int64_t{INT_MAX}});
    dropDownCount_ = count;
    AdjustDropDown();
}

void TCustomComboBox::SetSorted(bool sorted) {
    if (sorted_ == sorted) return;
    sorted_ = sorted;
    if (sorted) ItemsChanged();
}

int TCustomComboBox::ItemHeight() {
    if (!IsOwnerDrawn() && HandleAllocated())
        return static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
    return itemHeight_;
}

void TCustomComboBox::SetItemHeight(int height) {
    if (height < 1 || height > 255)
        throw Exception(sid::ValueOutOfRange, {int64_t{height}, int64_t{1}, int64_t{255}});
    itemHeight_ = height;
    if (IsOwnerDrawn() && HandleAllocated()) {
        SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, height);
        SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
        AdjustDropDown();
    }
}

void TCustomComboBox::SetMaxLength(int length) {
    if (length < 0)
        throw Exception(sid::ValueOutOfRange, {int64_t{length}, int64_t{0}, int64_t{INT_MAX}});
    maxLength_ = length;
    if (HandleAllocated()) SendMessageW(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(length), 0);
}

bool TCustomComboBox::DroppedDown() {
    return HandleAllocated() && SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool dropped) {
    HandleNeeded();
    SendMessageW(Handle(), CB_SHOWDROPDOWN, dropped, 0);
}

int TCustomComboBox::SelStart() {
    if (!HandleAllocated()) return 0;
    DWORD start = 0;
    SendMessageW(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

int TCustomComboBox::SelLength() {
    if (!HandleAllocated()) return 0;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelection(int start, int length) {
    HandleNeeded();
    SendMessageW(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + length));
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(*this);
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(*this);
    AdjustDropDown();
}

// A picked item: the edit part shows its text before the handlers run.
void TCustomComboBox::SelectionChanged() {
    const int index = ItemIndex();
    if (!IsListStyle() && index >= 0) SetWindowTextW(Handle(), WideText(items_.Strings(index)).c_str());
    Click();
    Change();
}

void TCustomComboBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    if (OnDrawItem)
        OnDrawItem(*this, index, rect, state);
    else
        DrawItemText(canvas_, rect, items_.Strings(index));
}

void TCustomComboBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(*this, index, height);
}

void TCustomComboBox::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case CN_COMMAND: CNCommand(msg); return;
    case CN_DRAWITEM: CNDrawItem(msg); return;
    case CN_MEASUREITEM: CNMeasureItem(msg); return;
    default: TWinControl::WndProc(msg);
    }
}

void TCustomComboBox::CNCommand(TMessage& msg) {
    switch (HIWORD(msg.WParam)) {
    case CBN_SELCHANGE: SelectionChanged(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP:
        if (OnCloseUp) OnCloseUp(*this);
        break;
    default: break;
    }
    msg.Result = 0;
}

void TCustomComboBox::CNDrawItem(TMessage& msg) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam);
    if (item.itemID == static_cast<UINT>(-1) || static_cast<int>(item.itemID) < Count())
        RunDrawItem(canvas_, *this, item,
                    [this](int index, RECT rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
    msg.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TMessage& msg) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(msg.LParam);
    int height = itemHeight_;
    if (style_ == csOwnerDrawVariable && item.itemID != static_cast<UINT>(-1) && static_cast<int>(item.itemID) < Count())
        MeasureItem(static_cast<int>(item.itemID), height);
    item.itemHeight = static_cast<UINT>(std::clamp(height, 1, 255));
    msg.Result = TRUE;
}
