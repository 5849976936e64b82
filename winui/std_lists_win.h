// The list controls over the system LISTBOX and COMBOBOX classes. Their Items are a
// TStringList that the control keeps in step with its window: every change of the list is
// carried into the window (only the changed range), and the window is filled again whenever it
// is re-created. Owner-drawn styles draw each item through OnDrawItem on the control's Canvas.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/small_set.h"
#include "base/string_list.h"
#include "winui/control_win.h"
#include "winui/std_controls_win.h"

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault,
                           odComboBoxEdit };
using TOwnerDrawState = TSmallSet<TOwnerDrawStateItem>;
TOwnerDrawState OwnerDrawState(UINT itemState);

using TDrawItemEvent = std::function<void(TControl& sender, int index, RECT rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TControl& sender, int index, int& height)>;

// Carries the changes of a TStringList into a list window: the common prefix and suffix of
// the old and new lines stay, the lines between are deleted and inserted.
class TListWindowSync {
public:
    struct TMessages {
        UINT Insert;
        UINT Delete;
        UINT Reset;
    };
    explicit TListWindowSync(TMessages messages) : messages_(messages) {}

    // Brings the window up to Items; Inserted is told the index of every inserted line.
    void Sync(HWND window, const TStringList& items, const std::function<void(int)>& inserted = {});
    // The window was (re-)created empty.
    void Reset() { shown_.clear(); }

private:
    TMessages messages_;
    std::vector<std::string> shown_;
};

// Sorts Items case-insensitively in the user's locale, keeping the objects with their lines.
void SortStrings(TStringList& items);

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TStringList& Items() { return items_; }
    void SetItems(const TStringList& items);
    // -1 = none. With MultiSelect the item with the focus rectangle. Raises Exception
    // (ListBoxIndexError) outside -1..Count-1.
    int ItemIndex();
    void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool multiSelect);
    // With MultiSelect: Shift and Ctrl extend the selection (else every click toggles).
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool extended);
    // Raise Exception (ListBoxIndexError) for an index out of range.
    bool Selected(int index);
    void SetSelected(int index, bool selected);
    int SelCount();
    void ClearSelection();
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    // The row height: the window's for lbStandard, else the height owner-drawn rows get.
    int ItemHeight();
    void SetItemHeight(int height);
    int TopIndex();
    void SetTopIndex(int index);
    // The list sorts its Items; items added later go to their sorted place.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    // 0 = one column scrolling vertically; n = n columns of equal width scrolling sideways.
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    // The item under a client point; -1 when none.
    int ItemAtPos(POINT point, bool existing);
    RECT ItemRect(int index);
    int Count() const { return items_.Count(); }
    void Clear() { items_.Clear(); }

    TCanvas& Canvas() { return canvas_; }
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void BoundsChanged() override;
    virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    void ItemsChanged();

private:
    void CNCommand(TMessage& msg);
    void CNDrawItem(TMessage& msg);
    void CNMeasureItem(TMessage& msg);
    void CheckIndex(int index) const;
    void UpdateColumnWidth();
    void ItemInserted(int index);

    TStringList items_;
    TListWindowSync sync_;
    TCanvas canvas_;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    bool sorted_ = false;
    bool sorting_ = false;
    int columns_ = 0;
    // Kept while there is no window.
    int itemIndex_ = -1;
    int topIndex_ = 0;
    std::vector<int> savedSelection_;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A combo box. OnChange fires when the user types into the edit part or picks an item (Text
// is then already the item's text); OnDropDown before the list opens, so that it can still
// fill Items.
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TStringList& Items() { return items_; }
    void SetItems(const TStringList& items);
    // -1 = none. Raises Exception (ComboBoxIndexError) outside -1..Count-1.
    int ItemIndex();
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    // The number of items the open list shows before it scrolls (default 8).
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    int ItemHeight();
    void SetItemHeight(int height);
    // 0 = no limit on typing.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    bool DroppedDown();
    void SetDroppedDown(bool dropped);
    // The selection in the edit part.
    int SelStart();
    int SelLength();
    void SetSelection(int start, int length);
    int Count() const { return items_.Count(); }
    void Clear();

    TCanvas& Canvas() { return canvas_; }
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void WndProc(TMessage& msg) override;
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    // For the drop-down list style Text selects the item of that text.
    void SetTextValue(const std::string& text) override;
    virtual void Change();
    virtual void DropDown();
    virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    void ItemsChanged();
    bool IsListStyle() const { return style_ != csDropDown && style_ != csSimple; }
    bool IsOwnerDrawn() const { return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable; }

private:
    void CNCommand(TMessage& msg);
    void CNDrawItem(TMessage& msg);
    void CNMeasureItem(TMessage& msg);
    void CheckIndex(int index) const;
    // Gives the window the height of the open list, so that it shows DropDownCount items.
    void AdjustDropDown();
    void SelectionChanged();

    TStringList items_;
    TListWindowSync sync_;
    TCanvas canvas_;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    bool sorted_ = false;
    bool sorting_ = false;
    int itemHeight_ = 16;
    int maxLength_ = 0;
    int itemIndex_ = -1;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};
