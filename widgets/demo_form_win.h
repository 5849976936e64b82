// A small window built only from the framework and the form base, to show and test them: a
// gradient caption, a main menu, a label with an edit for a message text, a check box that
// keeps the window on top, and buttons that show the message dialog and close the window.
// Its texts come from its text tables (German and English).
#pragma once

#include "widgets/win95_form_win.h"
#include "winui/menu_win.h"
#include "winui/std_buttons_win.h"
#include "winui/std_controls_win.h"
#include "winui/std_edits_win.h"

class TDemoForm : public TWin95Form {
public:
    explicit TDemoForm(TComponent* owner, TWinControl* parent = nullptr);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Components, by their layout names.
    TMainMenu* MainMenu = nullptr;
    TMenuItem* FileMenu = nullptr;
    TMenuItem* MessageItem = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* CloseItem = nullptr;
    TLabel* MessageLabel = nullptr;
    TEdit* MessageEdit = nullptr;
    TCheckBox* TopMostCheck = nullptr;
    TLabel* AnswerLabel = nullptr;
    TLabel* ResultLabel = nullptr;
    TBitBtn* MessageBtn = nullptr;
    TBitBtn* CloseBtn = nullptr;

    // The modal result of the last message dialog (0 before the first).
    int LastResult() const { return lastResult_; }

    void MessageBtnClick(TControl& sender);
    void MessageItemClick(TMenuItem& sender);
    void CloseItemClick(TMenuItem& sender);
    void TopMostCheckClick(TControl& sender);

private:
    void BuildComponents();
    void ShowMessage();

    int lastResult_ = 0;
};
