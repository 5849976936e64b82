// The single-line edit over the system EDIT class: text, length limit, read-only and password
// modes, the selection, the modified flag and the change event. The program's masked and spin
// edits derive from TCustomEdit.
#pragma once

#include <windows.h>

#include <string>

#include "winui/control_win.h"
#include "winui/std_controls_win.h"

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // 0 = no limit. Applies to typing; a text set by the program is not cut.
    int MaxLength() const { return maxLength_; }
    virtual void SetMaxLength(int length);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // 0 = plain text; otherwise every character shows as this one.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char character);
    // Selects the whole text when the edit gets the focus by the keyboard.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }
    // Keeps the height fitting the font.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Whether the user changed the text since the program last set it or cleared the flag.
    bool Modified();
    void SetModified(bool modified);

    // Character positions; a selection past the end is cut to the text.
    // Virtual: a rich edit keeps its selection with messages of its own.
    virtual int SelStart();
    virtual void SetSelStart(int start);
    virtual int SelLength();
    virtual void SetSelLength(int length);
    virtual std::string SelText();
    // Replaces the selection (typing-like: undoable, marks the text modified).
    virtual void SetSelText(const std::string& text);
    virtual void SelectAll();
    void ClearSelection() { SetSelText(std::string()); }
    virtual void Clear() { SetText(std::string()); }
    bool CanUndo();
    void Undo();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    TNotifyEvent OnChange;

    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    // EN_CHANGE: fires OnChange.
    virtual void Change();
    void AdjustHeight();

private:
    void GetSelection(int& start, int& end);

    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool modified_ = false;
    int selStart_ = 0;
    int selLength_ = 0;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};
