#include "widgets/message_form_win.h"

#include <algorithm>

#include "base/program.h"
#include "widgets/app_services_win.h"
#include "winui/application_win.h"
#include "winui/menu_win.h"

namespace {

std::function<void(TMessageForm&)>& Observer() {
    static std::function<void(TMessageForm&)> observer;
    return observer;
}

// The system icon of a dialog type, drawn at the system's icon size.
class TMessageIcon : public TGraphicControl {
public:
    TMessageIcon(TComponent* owner, HICON icon) : TGraphicControl(owner), icon_(icon) {}

protected:
    void Paint() override {
        DrawIconEx(Canvas().Handle(), 0, 0, icon_, Width(), Height(), 0, nullptr, DI_NORMAL);
    }

private:
    HICON icon_;
};

HICON TypeIcon(TMsgDlgType type) {
    LPCSTR id = nullptr;
    switch (type) {
    case mtWarning: id = IDI_EXCLAMATION; break;
    case mtError: id = IDI_HAND; break;
    case mtInformation: id = IDI_ASTERISK; break;
    case mtConfirmation: id = IDI_QUESTION; break;
    default: return nullptr;
    }
    return LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(id));
}

UINT TypeBeep(TMsgDlgType type) {
    switch (type) {
    case mtError: return MB_ICONHAND;
    case mtInformation: return MB_ICONASTERISK;
    case mtConfirmation: return MB_ICONQUESTION;
    default: return MB_ICONEXCLAMATION;  // warning and custom
    }
}

TBitBtnKind ButtonKind(TMsgDlgBtn button) {
    switch (button) {
    case mbYes: return bkYes;
    case mbNo: return bkNo;
    case mbOK: return bkOK;
    case mbCancel: return bkCancel;
    case mbAbort: return bkAbort;
    case mbRetry: return bkRetry;
    case mbIgnore: return bkIgnore;
    case mbAll: return bkAll;
    case mbHelp: return bkHelp;
    default: return bkCustom;  // no to all, yes to all
    }
}

// Escape presses Cancel, else No, else OK, as the system's message boxes do.
TMsgDlgBtn CancelButton(const std::vector<TMsgDlgBtn>& buttons) {
    for (TMsgDlgBtn candidate : {mbCancel, mbNo, mbOK})
        if (std::find(buttons.begin(), buttons.end(), candidate) != buttons.end()) return candidate;
    return buttons.back();
}

// What a bitmap button needs beside its caption: glyph, spacing and the frame margins.
constexpr int ButtonPadding = 18 + 4 + 2 * 10;

}  // namespace

const TClassInfo& TMessageForm::StaticClass() {
    static const TClassInfo info{"TMessageForm", &TForm::StaticClass(), {}, {}};
    return info;
}

TMessageForm::TMessageForm(TComponent* owner, const TMessageDlgArgs& args) : TForm(owner), type_(args.Type) {
    BuildComponents(args);
}

TBitBtn* TMessageForm::Button(TMsgDlgBtn button) const {
    for (size_t i = 0; i < kinds_.size(); ++i)
        if (kinds_[i] == button) return buttons_[i];
    return nullptr;
}

void TMessageForm::BuildComponents(const TMessageDlgArgs& args) {
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetFormStyle(fsStayOnTop);
    Font().Assign(&Screen->MenuFont());
    std::string caption = args.Caption.empty() ? MessageCaption(args.Type) : args.Caption;
    if (caption.empty()) caption = Application->Title();
    SetCaption(caption);

    // Measures in dialog units of the dialog font.
    TScreenCanvas canvas;
    canvas.Font().Assign(&Font());
    const int letters = canvas.TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const TMessageMeasures measures = MessageMeasures(letters, canvas.TextHeight("Ag"));
    const SIZE text = MeasureText(Font(), args.Message, Screen->Width() / 2, DT_WORDBREAK);

    kinds_ = MessageButtons(args.Buttons);
    int widest = 0;
    for (TMsgDlgBtn b : kinds_) widest = std::max(widest, canvas.TextWidth(StripHotkey(ButtonCaption(b))));
    const HICON icon = TypeIcon(args.Type);
    const TMessageLayout layout = LayoutMessage(measures, text.cx, text.cy, icon ? IconWidth() : 0,
                                                static_cast<int>(kinds_.size()), widest, ButtonPadding);
    SetClientSize(layout.ClientWidth, layout.ClientHeight);

    if (icon) {
        image_ = new TMessageIcon(this, icon);
        image_->SetName("Image");
        image_->SetBounds(layout.Icon.Left, layout.Icon.Top, layout.Icon.Width, layout.Icon.Height);
        image_->SetParent(this);
    }
    message_ = new TLabel(this);
    message_->SetName("Message");
    message_->SetAutoSize(false);
    message_->SetWordWrap(true);
    message_->SetCaption(args.Message);
    message_->SetBounds(layout.Text.Left, layout.Text.Top, layout.Text.Width, layout.Text.Height);
    message_->SetParent(this);

    const TMsgDlgBtn cancel = CancelButton(kinds_);
    for (size_t i = 0; i < kinds_.size(); ++i) {
        const TMsgDlgBtn kind = kinds_[i];
        auto* button = new TBitBtn(this);
        button->SetName(ButtonName(kind));
        button->SetKind(ButtonKind(kind));
        button->SetCaption(ButtonCaption(kind));
        button->SetModalResult(ButtonModalResult(kind));
        button->SetDefault(i == 0);
        button->SetCancel(kind == cancel);
        const TLayoutRect& r = layout.Buttons[i];
        button->SetBounds(r.Left, r.Top, r.Width, r.Height);
        button->SetParent(this);
        buttons_.push_back(button);
    }
    if (!buttons_.empty()) SetActiveControl(buttons_.front());
}

int ShowMessageDlg(const TMessageDlgArgs& args) {
    const TCursor savedCursor = Screen->Cursor();
    const HWND previousActive = GetActiveWindow();
    Screen->SetCursor(crDefault);
    Application->NormalizeTopMosts();
    TModalResult result = mrNone;
    try {
        std::unique_ptr<TMessageForm> form(NewForm<TMessageForm>(Application, args));
        if (MessageBeepOn()) MessageBeep(TypeBeep(args.Type));
        if (Observer()) Observer()(*form);
        result = form->ShowModal();
    } catch (...) {
        Application->RestoreTopMosts();
        Screen->SetCursor(savedCursor);
        throw;
    }
    Application->RestoreTopMosts();
    Screen->SetCursor(savedCursor);
    if (previousActive && IsWindow(previousActive) && GetActiveWindow() != previousActive)
        SetActiveWindow(previousActive);
    return result;
}

int ShowMessageDlg(const std::vector<TMessageArg>& args) { return ShowMessageDlg(ParseMessageArgs(args)); }

int ShowMessageDlg(const std::string& message, const std::string& caption, TMsgDlgType type, TMsgDlgButtons buttons) {
    TMessageDlgArgs args;
    args.Message = message;
    args.Caption = caption;
    args.Type = type;
    args.Buttons = buttons;
    return ShowMessageDlg(args);
}

void SetMessageDialogObserver(std::function<void(TMessageForm& form)> observer) { Observer() = std::move(observer); }

TProgramMessageHandler InstallMessageDialog() {
    return SetProgramMessageHandler([](const std::string& message, TMessageKind kind) {
        const TMsgDlgType type = kind == mkError ? mtError : kind == mkWarning ? mtWarning : mtInformation;
        ShowMessageDlg(message, "", type, mbOKOnly);
    });
}
