#include "widgets/demo_form_win.h"

#include "widgets/message_form_win.h"

const TClassInfo& TDemoForm::StaticClass() {
    static const TClassInfo info{"TDemoForm", &TWin95Form::StaticClass(), {}, {}};
    return info;
}

TDemoForm::TDemoForm(TComponent* owner, TWinControl* parent) : TWin95Form(owner, parent) { BuildComponents(); }

// The layout, in the order of the form's components.
void TDemoForm::BuildComponents() {
    SetName("DemoForm");
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu, biMinimize});
    SetGradient(gfAllways);

    MainMenu = new TMainMenu(this);
    MainMenu->SetName("MainMenu");
    FileMenu = new TMenuItem(this);
    FileMenu->SetName("FileMenu");
    MainMenu->Items().Add(FileMenu);
    MessageItem = new TMenuItem(this);
    MessageItem->SetName("MessageItem");
    MessageItem->SetShortCut(ShortCut('M', {ssCtrl}));
    MessageItem->OnClick = [this](TMenuItem& sender) { MessageItemClick(sender); };
    FileMenu->Add(MessageItem);
    N1 = new TMenuItem(this);
    N1->SetName("N1");
    N1->SetCaption("-");
    FileMenu->Add(N1);
    CloseItem = new TMenuItem(this);
    CloseItem->SetName("CloseItem");
    CloseItem->OnClick = [this](TMenuItem& sender) { CloseItemClick(sender); };
    FileMenu->Add(CloseItem);
    SetMenu(MainMenu);
    // With the window and its menu bar made, the client size leaves room for the bar.
    HandleNeeded();
    SetClientSize(372, 150);

    MessageLabel = new TLabel(this);
    MessageLabel->SetName("MessageLabel");
    MessageLabel->SetAutoSize(false);
    MessageLabel->SetBounds(12, 16, 92, 15);
    MessageLabel->SetParent(this);
    MessageEdit = new TEdit(this);
    MessageEdit->SetName("MessageEdit");
    MessageEdit->SetBounds(108, 12, 252, 23);
    MessageEdit->SetTabOrder(0);
    MessageEdit->SetParent(this);
    MessageLabel->SetFocusControl(MessageEdit);

    TopMostCheck = new TCheckBox(this);
    TopMostCheck->SetName("TopMostCheck");
    TopMostCheck->SetBounds(108, 44, 252, 19);
    TopMostCheck->SetTabOrder(1);
    TopMostCheck->OnClick = [this](TControl& sender) { TopMostCheckClick(sender); };
    TopMostCheck->SetParent(this);

    AnswerLabel = new TLabel(this);
    AnswerLabel->SetName("AnswerLabel");
    AnswerLabel->SetAutoSize(false);
    AnswerLabel->SetBounds(12, 76, 92, 15);
    AnswerLabel->SetParent(this);
    ResultLabel = new TLabel(this);
    ResultLabel->SetName("ResultLabel");
    ResultLabel->SetAutoSize(false);
    ResultLabel->SetBounds(108, 76, 252, 15);
    ResultLabel->SetParent(this);

    MessageBtn = new TBitBtn(this);
    MessageBtn->SetName("MessageBtn");
    MessageBtn->SetBounds(108, 108, 134, 28);
    MessageBtn->SetTabOrder(2);
    MessageBtn->SetDefault(true);
    MessageBtn->OnClick = [this](TControl& sender) { MessageBtnClick(sender); };
    MessageBtn->SetParent(this);
    CloseBtn = new TBitBtn(this);
    CloseBtn->SetName("CloseBtn");
    CloseBtn->SetKind(bkClose);
    CloseBtn->SetBounds(250, 108, 110, 28);
    CloseBtn->SetTabOrder(3);
    CloseBtn->SetParent(this);
}

void TDemoForm::ShowMessage() {
    // The message is what the edit holds; the dialog asks with the form's caption.
    lastResult_ = ShowMessageDlg(MessageEdit->Text(), Caption(), mtConfirmation, mbYesNoCancel);
    for (TMsgDlgBtn button : MessageButtons(mbYesNoCancel))
        if (ButtonModalResult(button) == lastResult_) ResultLabel->SetCaption(StripHotkey(ButtonCaption(button)));
}

void TDemoForm::MessageBtnClick(TControl&) { ShowMessage(); }
void TDemoForm::MessageItemClick(TMenuItem&) { ShowMessage(); }
void TDemoForm::CloseItemClick(TMenuItem&) { Close(); }

void TDemoForm::TopMostCheckClick(TControl&) {
    // The program's own updates of the check box do not count.
    if (Locked()) return;
    Lock(true);
    SetFormStyle(TopMostCheck->Checked() ? fsStayOnTop : fsNormal);
    Lock(false);
}
