// The in-place editor that the grid lays over its current cell. TCustomInplaceEditor is a masked
// edit that takes its contents from the grid, lines its text up with the cell's drawn text and
// decides which keys stay in the edit and which go back to the grid. TInplaceEditor adds an
// optional drop-down button (a speed button at its right edge) and a pick list, so that an
// owner can offer choices for a cell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/small_set.h"
#include "widgets/speed_button_win.h"
#include "winui/mask_edit_win.h"
#include "winui/std_lists_win.h"

class TNewCustomGrid;
class TPopupListBox;

// Posted to the editor by its mouse hook: close the pick list; WParam 1 accepts the item at the
// screen point in LParam.
constexpr UINT GM_PICKLISTCLOSE = 0x2402;

class TCustomInplaceEditor : public TCustomMaskEdit {
public:
    // Grid is the owning grid (null: the editor's cell is column -1, row -1).
    explicit TCustomInplaceEditor(TNewCustomGrid* grid);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TNewCustomGrid* Grid() const { return grid_; }
    // The cell being edited: the grid's current cell.
    int32_t Col() const;
    int32_t Row() const;

    // Text, mask and maximum length from the grid for the cell; the text is remembered for
    // Reset and all of it is selected.
    virtual void UpdateContents();
    // Lines the edit's text up with the text the grid draws in the cell.
    void UpdateEditRect();
    // Places the editor on Rect (client coordinates of the grid) and shows it; an empty
    // rectangle hides it. Takes the focus when the grid has it.
    void Move(const RECT& rect);
    // Back to the text of the start of editing, all selected (Esc).
    void Reset();
    // Hides the editor (editing ended).
    virtual void Hide();
    // The text the cell had when editing began (or when it was last stored).
    const std::string& StartText() const { return startText_; }
    void SetStartText(const std::string& text) { startText_ = text; }

    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    bool WantsKey(WORD key) override;
    bool CanModify() override;
    // The width left for the text (less an in-place button).
    virtual int TextRight();
    // The focus went elsewhere (WM_KILLFOCUS with the window that got it).
    virtual void FocusLost(HWND next);
    // The editor was placed and shown by Move.
    virtual void Placed() {}
    // Hands the key to the grid's key handling and consumes it.
    void SendToGrid(WORD& key, TShiftState shift);
    bool CaretAtStart();
    bool CaretAtEnd();

private:
    void PasteLine();

    TNewCustomGrid* grid_;
    std::string startText_;
};

// The parts of an in-place editor that it made itself and therefore frees.
enum TInplaceOwnedPart { ipButton, ipPickList };
using TInplaceOwnedParts = TSmallSet<TInplaceOwnedPart>;

using TPickAcceptEvent = std::function<void(TControl& sender, int itemIndex)>;

class TInplaceEditor : public TCustomInplaceEditor, public TButtonHost {
public:
    explicit TInplaceEditor(TNewCustomGrid* grid);
    ~TInplaceEditor() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // The drop-down button, made on first use; shown while the editor shows with
    // ButtonVisible set.
    TNewSpeedButton& Button();
    // An owner's button instead (not freed by the editor; forgotten when destroyed elsewhere).
    void SetButton(TNewSpeedButton* button);
    bool ButtonVisible() const { return buttonVisible_; }
    void SetButtonVisible(bool visible);
    // The pick list: a list box made on first use, or an owner's control.
    TWinControl* PickList() const { return pickList_; }
    TCustomListBox& PickListBox();
    void SetPickList(TWinControl* list);
    // Fills the pick list and shows the button.
    void SetPickItems(const std::vector<std::string>& items);
    TInplaceOwnedParts OwnedParts() const { return owned_; }
    // The height of the list's items (remembered from the list box).
    int ItemHeight() const { return itemHeight_; }

    bool ListVisible() const;
    // Opens the list below the editor (above it when there is no room below).
    void DropDown();
    // Closes the list; Accept takes its selected item.
    void CloseUp(bool accept);
    // The editor whose list is open; null when none is.
    static TInplaceEditor* OpenEditor();

    // Called when a list item is accepted; without it the item's text becomes the cell's.
    TPickAcceptEvent OnAccept;

    void UpdateContents() override;
    void Hide() override;
    void LayoutButtons() override;
    void WndProc(TMessage& msg) override;

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    int TextRight() override;
    void FocusLost(HWND next) override;
    void Placed() override { LayoutButtons(); }
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ButtonClick();
    void TrackedMouse(const TMessage& msg);
    void PickListClose(const TMessage& msg);
    bool ListKey(WORD key);
    void PlaceList();

    TNewSpeedButton* button_ = nullptr;
    TWinControl* pickList_ = nullptr;
    TInplaceOwnedParts owned_;
    bool buttonVisible_ = false;
    int itemHeight_ = 16;
    bool closing_ = false;
};
