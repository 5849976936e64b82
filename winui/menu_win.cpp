#include "winui/menu_win.h"

#include <algorithm>
#include <map>

#include "base/exception.h"
#include "base/format.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "winui/application_win.h"
#include "winui/graphics_win.h"
#include "winui/text_win.h"

namespace {

std::map<UINT, TMenuItem*>& Commands() {
    static std::map<UINT, TMenuItem*> commands;
    return commands;
}

// Menu command ids: 0x0100-0x0FFF, below the ids of child windows.
UINT AllocateCommand(TMenuItem* item) {
    static UINT next = 0x0FFF;
    auto& commands = Commands();
    for (int tries = 0; tries < 0x0F00; ++tries) {
        next = next >= 0x0FFF ? 0x0100 : next + 1;
        if (!commands.count(next)) {
            commands[next] = item;
            return next;
        }
    }
    throw Exception(sid::MenuCreateError);
}

TPopupMenu* activePopup = nullptr;

struct TKeyName {
    WORD Key;
    int Id;
};
const TKeyName KeyNames[] = {
    {VK_BACK, sid::KeyBackspace}, {VK_TAB, sid::KeyTab},       {VK_ESCAPE, sid::KeyEsc},
    {VK_RETURN, sid::KeyEnter},   {VK_SPACE, sid::KeySpace},   {VK_PRIOR, sid::KeyPageUp},
    {VK_NEXT, sid::KeyPageDown},  {VK_END, sid::KeyEnd},       {VK_HOME, sid::KeyHome},
    {VK_LEFT, sid::KeyLeft},      {VK_UP, sid::KeyUp},         {VK_RIGHT, sid::KeyRight},
    {VK_DOWN, sid::KeyDown},      {VK_INSERT, sid::KeyInsert}, {VK_DELETE, sid::KeyDelete},
};

std::string KeyText(WORD key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    for (const auto& k : KeyNames)
        if (k.Key == key) return LoadStr(k.Id);
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return {};
    UINT ch = MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0x7FFFFFFF;
    if (ch > 32 && ch < 0x7F) return std::string(1, static_cast<char>(ch));
    return {};
}

bool StartsWithNoCase(const std::string& text, size_t pos, const std::string& prefix) {
    if (prefix.empty() || text.size() - pos < prefix.size()) return false;
    return UpperCase(text.substr(pos, prefix.size())) == UpperCase(prefix);
}

}  // namespace

// --- shortcuts ---

TShortCut ShortCut(WORD key, TShiftState shift) {
    TShortCut sc = static_cast<TShortCut>(key & 0xFF);
    if (shift.Has(ssShift)) sc |= scShift;
    if (shift.Has(ssCtrl)) sc |= scCtrl;
    if (shift.Has(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = TShiftState();
    if (shortCut & scShift) shift += ssShift;
    if (shortCut & scCtrl) shift += ssCtrl;
    if (shortCut & scAlt) shift += ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyText(shortCut & 0xFF);
    if (key.empty()) return {};
    std::string text;
    if (shortCut & scShift) text += LoadStr(sid::KeyShift);
    if (shortCut & scCtrl) text += LoadStr(sid::KeyCtrl);
    if (shortCut & scAlt) text += LoadStr(sid::KeyAlt);
    return text + key;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut modifiers = 0;
    size_t pos = 0;
    const std::pair<int, TShortCut> prefixes[] = {{sid::KeyShift, scShift}, {sid::KeyCtrl, scCtrl}, {sid::KeyAlt, scAlt}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& [id, bit] : prefixes) {
            std::string prefix = LoadStr(id);
            if (StartsWithNoCase(text, pos, prefix)) {
                modifiers |= bit;
                pos += prefix.size();
                found = true;
            }
        }
    }
    std::string rest = UpperCase(text.substr(pos));
    if (rest.empty()) return scNone;
    for (WORD key = 8; key < 255; ++key) {
        std::string name = KeyText(key);
        if (!name.empty() && UpperCase(name) == rest) return static_cast<TShortCut>(key | modifiers);
    }
    return scNone;
}

char GetHotkey(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return UpperCase(std::string(1, caption[i + 1]))[0];
    }
    return 0;
}

std::string StripHotkey(const std::string& caption) {
    std::string result;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                result += '&';
                ++i;
            }
            continue;
        }
        result += caption[i];
    }
    return result;
}

bool IsAccel(char key, const std::string& caption) {
    char hot = GetHotkey(caption);
    return hot != 0 && hot == UpperCase(std::string(1, key))[0];
}

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) { command_ = AllocateCommand(this); }

TMenuItem::~TMenuItem() {
    if (parent_) parent_->Remove(this);
    while (!items_.empty()) delete items_.back();
    FreeHandle();
    Commands().erase(command_);
}

const TClassInfo& TMenuItem::StaticClass() {
    static const TClassInfo info{
        "TMenuItem",
        &TComponent::StaticClass(),
        {
            TypedProp<TMenuItem, std::string>("Caption", TPropKind::pkString,
                                              [](const TMenuItem& m) { return m.Caption(); },
                                              [](TMenuItem& m, const std::string& v) { m.SetCaption(v); }),
            TypedProp<TMenuItem, std::string>("Hint", TPropKind::pkString, [](const TMenuItem& m) { return m.Hint(); },
                                              [](TMenuItem& m, const std::string& v) { m.SetHint(v); }),
            TypedProp<TMenuItem, int32_t>("ShortCut", TPropKind::pkInteger,
                                          [](const TMenuItem& m) { return static_cast<int32_t>(m.ShortCut()); },
                                          [](TMenuItem& m, const int32_t& v) { m.SetShortCut(static_cast<TShortCut>(v)); }),
            TypedProp<TMenuItem, bool>("Checked", TPropKind::pkBoolean, [](const TMenuItem& m) { return m.Checked(); },
                                       [](TMenuItem& m, const bool& v) { m.SetChecked(v); }),
            TypedProp<TMenuItem, bool>("Enabled", TPropKind::pkBoolean, [](const TMenuItem& m) { return m.Enabled(); },
                                       [](TMenuItem& m, const bool& v) { m.SetEnabled(v); }),
            TypedProp<TMenuItem, bool>("Visible", TPropKind::pkBoolean, [](const TMenuItem& m) { return m.Visible(); },
                                       [](TMenuItem& m, const bool& v) { m.SetVisible(v); }),
            TypedProp<TMenuItem, int32_t>("Tag", TPropKind::pkInteger, [](const TMenuItem& m) { return m.Tag(); },
                                          [](TMenuItem& m, const int32_t& v) { m.SetTag(v); }),
        },
        [] { return new TMenuItem(nullptr); }};
    return info;
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->menu_;
}

void TMenuItem::Changed() {
    if (Destroying()) return;
    if (TMenu* menu = Menu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    if (shortCut == shortCut_) return;
    shortCut_ = shortCut;
    Changed();
}

void TMenuItem::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (checked && radioItem_) TurnSiblingsOff();
    Changed();
}

void TMenuItem::TurnSiblingsOff() {
    if (!parent_) return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
}

void TMenuItem::SetRadioItem(bool radio) {
    if (radio == radioItem_) return;
    radioItem_ = radio;
    if (checked_ && radio) TurnSiblingsOff();
    Changed();
}

void TMenuItem::SetGroupIndex(int index) {
    if (index == groupIndex_) return;
    groupIndex_ = index;
    if (checked_ && radioItem_) TurnSiblingsOff();
    Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed();
}

void TMenuItem::SetDefault(bool isDefault) {
    if (isDefault == default_) return;
    if (isDefault && parent_)
        for (TMenuItem* sibling : parent_->items_) sibling->default_ = false;
    default_ = isDefault;
    Changed();
}

void TMenuItem::SetBreak(TMenuBreak value) {
    if (value == break_) return;
    break_ = value;
    Changed();
}

void TMenuItem::SetBitmap(TBitmap* bitmap) {
    if (!bitmap) bitmap_.reset();
    else {
        if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
        bitmap_->Assign(bitmap);
    }
    Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == item) throw EComponentError(sid::MenuItemInMenu);
    if (item->menu_) throw EComponentError(sid::SubMenuInMenu);
    if (item->parent_) item->parent_->Remove(item);
    if (index < 0 || index > Count()) throw EComponentError(sid::MenuIndexError);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    item->FreeNotification(this);
    Changed();
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) throw EComponentError(sid::MenuIndexError);
    delete items_[index];
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    item->FreeHandle();
    item->RemoveFreeNotification(this);
    Changed();
}

void TMenuItem::Clear() {
    while (!items_.empty()) delete items_.back();
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove) {
        auto it = std::find(items_.begin(), items_.end(), component);
        if (it != items_.end()) items_.erase(it);
    }
}

TMenuItem* TMenuItem::FindItem(UINT command) {
    if (command_ == command) return this;
    for (TMenuItem* item : items_)
        if (TMenuItem* found = item->FindItem(command)) return found;
    return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
    if (shortCut == scNone) return nullptr;
    for (TMenuItem* item : items_) {
        if (!item->visible_ || !item->enabled_) continue;
        if (item->shortCut_ == shortCut) return item;
        if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
    }
    return nullptr;
}

void TMenuItem::Click() {
    if (OnClick) OnClick(*this);
}

HMENU TMenuItem::Handle() {
    if (!handle_ && !items_.empty()) BuildHandle();
    return handle_;
}

void TMenuItem::BuildHandle() {
    handle_ = CreatePopupMenu();
    if (!handle_) throw EComponentError(sid::MenuCreateError);
    AppendTo(handle_);
}

void TMenuItem::FreeHandle() {
    // Destroying a menu destroys its sub-menus: forget theirs first.
    std::function<void(TMenuItem*)> forget = [&](TMenuItem* item) {
        for (TMenuItem* child : item->items_) {
            forget(child);
            child->handle_ = nullptr;
        }
    };
    forget(this);
    if (handle_) DestroyMenu(handle_);
    handle_ = nullptr;
}

void TMenuItem::AppendTo(HMENU menu) {
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        mii.wID = item->command_;
        std::wstring text;
        if (item->IsLine()) {
            mii.fType = MFT_SEPARATOR;
        } else {
            mii.fMask |= MIIM_STRING;
            std::string caption = item->caption_;
            std::string keys = ShortCutToText(item->shortCut_);
            if (!keys.empty() && !item->parent_->IsBarRoot()) caption += "\t" + keys;
            text = WideText(caption);
            mii.dwTypeData = text.data();
            mii.fType = MFT_STRING;
            if (item->radioItem_) mii.fType |= MFT_RADIOCHECK;
        }
        if (item->break_ == mbBreak) mii.fType |= MFT_MENUBREAK;
        if (item->break_ == mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
        if (item->checked_) mii.fState |= MFS_CHECKED;
        if (!item->enabled_) mii.fState |= MFS_GRAYED;
        if (item->default_) mii.fState |= MFS_DEFAULT;
        if (!item->items_.empty()) {
            mii.fMask |= MIIM_SUBMENU;
            item->handle_ = nullptr;
            item->BuildHandle();
            mii.hSubMenu = item->handle_;
        }
        if (item->bitmap_ && !item->bitmap_->Empty()) {
            mii.fMask |= MIIM_BITMAP;
            mii.hbmpItem = item->bitmap_->Handle();
        }
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
    }
}

bool TMenuItem::IsBarRoot() const { return menu_ && dynamic_cast<TMainMenu*>(menu_) != nullptr; }

// --- TMenu ---

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
    DestroyMenuHandle();
    TMenuItem* root = items_;
    root->menu_ = nullptr;
    items_ = nullptr;
    delete root;
}

const TClassInfo& TMenu::StaticClass() {
    static const TClassInfo info{"TMenu", &TComponent::StaticClass(), {}, {}};
    return info;
}

void TMenu::DestroyMenuHandle() {
    if (!items_) return;
    // The root's sub-menus belong to the menu handle.
    std::function<void(TMenuItem*)> forget = [&](TMenuItem* item) {
        for (TMenuItem* child : item->items_) {
            forget(child);
            child->handle_ = nullptr;
        }
    };
    forget(items_);
    if (handle_) DestroyMenu(handle_);
    handle_ = nullptr;
}

void TMenu::MenuChanged() { DestroyMenuHandle(); }

bool TMenu::DispatchCommand(UINT command) {
    TMenuItem* item = items_->FindItem(command);
    if (!item || item == items_) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU menu) {
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
        for (TMenuItem* child : item->items_) {
            if (child->handle_ == menu) return child;
            if (TMenuItem* found = find(child)) return found;
        }
        return nullptr;
    };
    TMenuItem* item = find(items_);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::IsShortCut(const TMessage& keyMsg) {
    WORD key = static_cast<WORD>(keyMsg.WParam);
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
    TShortCut sc = ShortCut(key, KeyDataToShiftState(keyMsg.LParam));
    TMenuItem* item = items_->FindShortCut(sc);
    if (!item) return false;
    item->Click();
    return true;
}

// --- TMainMenu ---

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

const TClassInfo& TMainMenu::StaticClass() {
    static const TClassInfo info{"TMainMenu", &TMenu::StaticClass(), {}, {}};
    return info;
}

HMENU TMainMenu::Handle() {
    if (!handle_) {
        handle_ = CreateMenu();
        if (!handle_) throw EComponentError(sid::MenuCreateError);
        Items().AppendTo(handle_);
    }
    return handle_;
}

void TMainMenu::SetWindow(HWND window) { window_ = window; }

void TMainMenu::MenuChanged() {
    bool attached = window_ && IsWindow(window_) && GetMenu(window_) == handle_ && handle_;
    if (attached) ::SetMenu(window_, nullptr);
    DestroyMenuHandle();
    if (window_ && IsWindow(window_) && (attached || Items().Count() > 0)) {
        if (Items().Count() > 0) ::SetMenu(window_, Handle());
        DrawMenuBar(window_);
    }
}

// --- TPopupMenu ---

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

const TClassInfo& TPopupMenu::StaticClass() {
    static const TClassInfo info{"TPopupMenu", &TMenu::StaticClass(), {}, {}};
    return info;
}

HMENU TPopupMenu::Handle() {
    if (!handle_) {
        handle_ = CreatePopupMenu();
        if (!handle_) throw EComponentError(sid::MenuCreateError);
        Items().AppendTo(handle_);
    }
    return handle_;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(*this);
    DestroyMenuHandle();
    HMENU menu = Handle();
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
    flags |= alignment_ == paRight ? TPM_RIGHTALIGN : alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    HWND owner = Application ? Application->Handle() : nullptr;
    if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()) owner = Screen->ActiveForm()->Handle();
    TPopupMenu* previous = activePopup;
    activePopup = this;
    UINT command = static_cast<UINT>(TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr));
    activePopup = previous;
    lastCommand_ = command;
    if (command) DispatchCommand(command);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    TMenu::Notification(component, operation);
    if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

TMenuItem* FindMenuItemByCommand(UINT command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

TPopupMenu* ActivePopupMenu() { return activePopup; }
