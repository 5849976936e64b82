// The masked single-line edit: a TCustomEdit whose text follows an edit mask (base/edit_mask.h).
// The window keeps the edit text (literals in place, the blank character in unfilled
// positions); typed characters overtype the input positions, the caret skips the literals,
// characters a position does not take are refused with a beep, and Text reads the text back
// with or without the literals as the mask says. Without a mask it is a plain edit.
#pragma once

#include <windows.h>

#include <string>

#include "base/edit_mask.h"
#include "winui/std_edits_win.h"

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    const std::string& EditMask() const { return mask_.Mask(); }
    // The text stays: it is formatted into the new mask (or shown plain without one).
    void SetEditMask(const std::string& mask);
    bool IsMasked() const { return !mask_.Empty(); }
    const TEditMask& Mask() const { return mask_; }
    // The text as the window shows it: the literals and the blank character included.
    std::string EditText();
    void SetEditText(const std::string& text);
    // Every required position filled (always true without a mask).
    bool IsComplete();

    void WndProc(TMessage& msg) override;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Change() override;
    // With a mask, Text is the text read back through the mask, and a Text set is formatted
    // into it.
    std::string GetText() override;
    void SetTextValue(const std::string& text) override;
    // Whether keys and clipboard commands may change the text now; the edit refuses them when
    // read-only.
    virtual bool CanModify();
    // A key the edit does not take.
    virtual void Refuse();
    // The clipboard's text, up to its first line break.
    static std::string ClipboardLine();

private:
    TMaskEditState State();
    // Puts the state into the window; a changed text marks the edit modified and fires the
    // change event once.
    void ApplyState(const TMaskEditState& state);
    void Paste();
    void Cut();
    void Clear();
    bool MaskedKeyDown(WORD key, TShiftState shift);
    void SnapCaret();

    TEditMask mask_;
    bool applying_ = false;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};
