// Menus: TMenuItem is one entry (caption with "&" accelerator, or "-" for a separator) with
// its sub-items; TMainMenu is a form's menu bar, TPopupMenu a context menu. Items get command
// ids that WM_COMMAND carries back to their OnClick. Shortcuts are virtual keys plus shift bits
// and are shown with the key names of the string table ("Strg+C", "Umsch+Entf").
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/component.h"
#include "winui/control_win.h"

class TBitmap;
class TMenu;

// A shortcut: the virtual key in the low byte, plus scShift, scCtrl and scAlt.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Strg+Umsch+F3" from the key names of the active string table; empty for scNone or a key
// without a name.
std::string ShortCutToText(TShortCut shortCut);
// The reverse, with the same key names (case-insensitive); scNone for text it does not know.
TShortCut TextToShortCut(const std::string& text);
// The accelerator character after a single "&" in Caption (upper case), 0 when none.
char GetHotkey(const std::string& caption);
// Caption without the "&" markers ("&&" stays one "&").
std::string StripHotkey(const std::string& caption);
// Whether Key (a character) is the accelerator of Caption (case-insensitive).
bool IsAccel(char key, const std::string& caption);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    // Leaves the parent item and frees the sub-items.
    ~TMenuItem() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the other radio items of its group.
    void SetChecked(bool checked);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool radio);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak value);
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    // Optional picture beside the caption; the item keeps a copy.
    TBitmap* Bitmap() const { return bitmap_.get(); }
    void SetBitmap(TBitmap* bitmap);

    // --- sub-items ---
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(index); }
    TMenuItem* Parent() const { return parent_; }
    int IndexOf(const TMenuItem* item) const;
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    // Add and Insert take the item from a previous parent; Delete frees the item at Index,
    // Remove only takes it out.
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Delete(int index);
    void Remove(TMenuItem* item);
    void Clear();
    // The item with Command among this one and its descendants; null when none.
    TMenuItem* FindItem(UINT command);
    // The item whose shortcut is ShortCut (visible and enabled along the path); null when none.
    TMenuItem* FindShortCut(TShortCut shortCut);
    // The menu this item belongs to (through its parents); null for a loose item.
    TMenu* Menu() const;

    // The WM_COMMAND id of the item.
    UINT Command() const { return command_; }
    // The popup handle of an item with sub-items (made on demand while its menu is shown).
    HMENU Handle();

    std::function<void(TMenuItem& sender)> OnClick;
    // Fires OnClick (runs for the parent of a sub-menu when the sub-menu opens).
    virtual void Click();

    // Appends the item's entries to Menu (a menu bar or popup handle).
    void AppendTo(HMENU menu);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMenu;
    void Changed();
    void BuildHandle();
    void FreeHandle();
    void TurnSiblingsOff();
    // The root item of a menu bar (its items show no shortcut text).
    bool IsBarRoot() const;

    std::string caption_;
    TShortCut shortCut_ = 0;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    TMenuBreak break_ = mbNone;
    std::string hint_;
    int helpContext_ = 0;
    std::unique_ptr<TBitmap> bitmap_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item
    UINT command_ = 0;
    HMENU handle_ = nullptr;
};

// The base of the two menus: a root item whose sub-items are the menu's entries.
class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TMenuItem& Items() { return *items_; }
    // The menu handle, built from the items on demand and rebuilt after they changed.
    virtual HMENU Handle() = 0;
    // Runs the OnClick of the item with Command; false when no item has it.
    bool DispatchCommand(UINT command);
    // Runs the OnClick of the sub-menu parent whose popup handle is Menu (WM_INITMENUPOPUP).
    bool DispatchPopup(HMENU menu);
    // Fires the item whose shortcut matches the key message (WM_KEYDOWN, WM_SYSKEYDOWN);
    // true when one did.
    bool IsShortCut(const TMessage& keyMsg);
    // The item with Command, or null.
    TMenuItem* FindItem(UINT command) { return items_->FindItem(command); }
    // Called by the items after any change; the menu rebuilds its handle.
    virtual void MenuChanged();

protected:
    void DestroyMenuHandle();
    HMENU handle_ = nullptr;

private:
    TMenuItem* items_;
};

// A form's menu bar. Forms attach it to their window (SetMenu); an empty main menu shows no
// bar but still carries the shortcuts of its items.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner);
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    HMENU Handle() override;
    void MenuChanged() override;
    // The window the bar is attached to (set by the form).
    void SetWindow(HWND window);
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

// A context menu shown at a screen point. With AutoPopup, a right click on a control whose
// PopupMenu it is shows it there.
class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    HMENU Handle() override;
    // Fires OnPopup, shows the menu (TrackPopupMenu) and runs the chosen item's OnClick after
    // the menu closed. Returns once the menu is closed.
    virtual void Popup(int x, int y);
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment alignment) { alignment_ = alignment; }
    // The control the menu was last shown for.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component) {
        popupComponent_ = component;
        if (component) component->FreeNotification(this);
    }
    // The command chosen in the last Popup (0 when none).
    UINT LastCommand() const { return lastCommand_; }

    std::function<void(TPopupMenu& sender)> OnPopup;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool autoPopup_ = true;
    TPopupAlignment alignment_ = paLeft;
    TComponent* popupComponent_ = nullptr;
    UINT lastCommand_ = 0;
};

// The menu item of a command id of any menu of the process; null when none.
TMenuItem* FindMenuItemByCommand(UINT command);
// The popup menu currently shown by TPopupMenu::Popup; null when none.
TPopupMenu* ActivePopupMenu();
