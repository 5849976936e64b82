// The program's message dialog: a stay-on-top dialog with the system icon of its type, the
// word-wrapped message and a row of bitmap buttons in the standard order, the first one the
// default. ShowMessageDlg runs it modally and returns the modal result of the pressed button.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/program.h"
#include "widgets/message_dialog.h"
#include "winui/form_win.h"
#include "winui/std_buttons_win.h"
#include "winui/std_controls_win.h"

class TMessageForm : public TForm {
public:
    TMessageForm(TComponent* owner, const TMessageDlgArgs& args);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TLabel* Message() const { return message_; }
    TGraphicControl* Image() const { return image_; }
    // In the standard order; named after their button ("Yes", "OK" ...).
    const std::vector<TBitBtn*>& Buttons() const { return buttons_; }
    TBitBtn* Button(TMsgDlgBtn button) const;
    TMsgDlgType DialogType() const { return type_; }

private:
    void BuildComponents(const TMessageDlgArgs& args);

    TMsgDlgType type_;
    TLabel* message_ = nullptr;
    TGraphicControl* image_ = nullptr;
    std::vector<TBitBtn*> buttons_;
    std::vector<TMsgDlgBtn> kinds_;
};

// Arguments: the message (a string id or a text), then optionally the caption, the dialog
// type and the button set (see ParseMessageArgs). Bad arguments raise Exception
// (InvalidArgument) before anything is shown.
int ShowMessageDlg(const std::vector<TMessageArg>& args);
int ShowMessageDlg(const std::string& message, const std::string& caption = std::string(),
                   TMsgDlgType type = mtInformation, TMsgDlgButtons buttons = mbOKOnly);
int ShowMessageDlg(const TMessageDlgArgs& args);

// Called with each message dialog just before it runs modally (tests drive it from here).
void SetMessageDialogObserver(std::function<void(TMessageForm& form)> observer);

// Makes the message dialog the program's message function (errors and notices of the
// runtime and the configuration); returns the previous function.
TProgramMessageHandler InstallMessageDialog();
