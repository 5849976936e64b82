// TForm: a top-level window of the program (or, with a parent, a window docked inside another
// one). It builds its components in its constructor, takes its texts from the text table of its
// class (LoadTexts), shows itself normally or modally, asks before closing, and keeps track of
// its active control. The program's form base derives from it and paints its own caption.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "winui/control_win.h"
#include "winui/graphics_win.h"

class TMainMenu;
class TMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSmallSet<TBorderIcon>;
// The values are those the program stores and compares.
enum TFormStyle { fsNormal = 0, fsMDIChild = 1, fsMDIForm = 2, fsStayOnTop = 3 };
enum TPosition { poDesigned = 0, poDefault = 1, poDefaultPosOnly = 2, poDefaultSizeOnly = 3,
                 poScreenCenter = 4, poDesktopCenter = 5, poMainFormCenter = 6, poOwnerFormCenter = 7 };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// Modal results; 0 = none yet.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;          // 1
constexpr TModalResult mrCancel = IDCANCEL;  // 2
constexpr TModalResult mrAbort = IDABORT;    // 3
constexpr TModalResult mrRetry = IDRETRY;    // 4
constexpr TModalResult mrIgnore = IDIGNORE;  // 5
constexpr TModalResult mrYes = IDYES;        // 6
constexpr TModalResult mrNo = IDNO;          // 7
constexpr TModalResult mrAll = 8;

class TForm;
using TCloseEvent = std::function<void(TForm& sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TForm& sender, bool& canClose)>;
using TFormNotifyEvent = std::function<void(TForm& sender)>;
using TShortCutEvent = std::function<void(TForm& sender, const TMessage& keyMsg, bool& handled)>;

class TForm : public TWinControl {
public:
    // Owner is normally Application. The form starts hidden at 100, 100, 320 x 240 with the
    // sizeable border and the application font.
    explicit TForm(TComponent* owner);
    // Fires OnDestroy (once), then destroys the window and the owned components.
    ~TForm() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Called once by NewForm / TApplication::CreateForm after the constructor of the most
    // derived class built the components: loads the texts, then fires OnCreate.
    virtual void AfterConstruction();
    // Applies the text table named by TextTableName from the active resource module (no table:
    // nothing changes). Returns whether a table was found.
    bool LoadTexts();
    // The resource name of the form's text table: its class name in upper case.
    virtual std::string TextTableName() const;

    // --- look ---
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TFormStyle FormStyle() const { return formStyle_; }
    // fsStayOnTop makes the window topmost; the MDI styles are kept as values only (the
    // program's windows are no MDI windows) and behave like fsNormal.
    virtual void SetFormStyle(TFormStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    TIcon& Icon() { return icon_; }
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool preview) { keyPreview_ = preview; }
    // A form created inside another window (a child window with a parent control or a
    // foreign parent window) instead of a top-level window.
    bool Inplaced() const { return inplaced_; }
    void SetInplaced(bool inplaced);

    // --- focus ---
    TWinControl* ActiveControl() const { return activeControl_; }
    // A control that cannot take the focus is ignored.
    virtual void SetActiveControl(TWinControl* control);
    // Called when a descendant got the focus (fires OnExit / OnEnter).
    void FocusControl(TWinControl* control);
    bool Active() const { return active_; }
    void SetFocus() override;
    bool CanFocus() override;
    // Activates the form's window and focuses the active control.
    void BringToFrontAndActivate();

    // --- showing ---
    void Show();
    // Hides the form; a modal form also ends its modal loop with mrCancel when no result is set.
    void Hide();
    void SetVisible(bool visible) override;
    // Runs the form modally: the other windows of the program are disabled, messages are
    // handled until ModalResult is set (by a button, Close or SetModalResult), or the
    // application terminates (mrCancel). Returns the result; the form is hidden afterwards.
    virtual TModalResult ShowModal();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }
    // Asks OnCloseQuery, then OnClose with the action (caHide by default, caFree for ...
    // nothing: the form decides) and carries it out. Closing the main form ends the program.
    void Close();
    // Whether the form may close (OnCloseQuery and the close queries of the owned forms).
    virtual bool CloseQuery();
    // Frees the form once the current message is done (posted CM_RELEASE).
    void Release();

    void WndProc(TMessage& msg) override;
    bool IsMenuKey(const TMessage& keyMsg) override;
    // Menu keys of the form: OnShortCut, then the main menu.
    virtual bool IsShortCut(const TMessage& keyMsg);

    // The form's "Caption" is its window text (the TControl text).

    // The canvas of the form's client area; during OnPaint it draws on the paint context.
    TCanvas& Canvas();

    TFormNotifyEvent OnCreate;
    TFormNotifyEvent OnDestroy;
    TFormNotifyEvent OnShow;
    TFormNotifyEvent OnHide;
    TFormNotifyEvent OnActivate;
    TFormNotifyEvent OnDeactivate;
    TFormNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    // The hooks of forms that draw their own frame: non-client painting and activation,
    // cursor and hit tests. The defaults pass the message to DefWindowProc.
    virtual void WMNCPaint(TMessage& msg) { DefaultHandler(msg); }
    virtual void WMNCActivate(TMessage& msg) { DefaultHandler(msg); }
    virtual void WMSetCursor(TMessage& msg);
    virtual void WMNCHitTest(TMessage& msg) { DefaultHandler(msg); }
    virtual void WMSetText(TMessage& msg) { DefaultHandler(msg); }
    // Activation (WM_ACTIVATE): fires OnActivate/OnDeactivate and restores the focus.
    virtual void WMActivate(TMessage& msg);
    virtual void Activate();
    virtual void Deactivate();
    // Called by Close with the action the handlers chose.
    virtual void DoClose(TCloseAction& action);
    virtual void DoShow();
    virtual void DoHide();
    void PaintWindow(HDC dc) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void Notification(TComponent* component, TOperation operation) override;
    // Handles Tab, arrows, Enter and Escape that no control took (CM_DIALOGKEY).
    virtual bool DialogKey(WORD key, TShiftState shift);

    // The form's handlers of WndProc (see TWinControl's).
    void WMCommand(TMessage& msg);
    void WMInitMenuPopup(TMessage& msg);
    void WMMenuSelect(TMessage& msg);
    void WMSize(TMessage& msg);
    void CMDialogKey(TMessage& msg);
    void CMIconChanged(TMessage& msg);

private:
    void ApplyPosition(TCreateParams& params);
    void ApplyStayOnTop();
    bool RunModalLoop();

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TIcon icon_;
    TMainMenu* menu_ = nullptr;
    bool keyPreview_ = false;
    bool inplaced_ = false;
    TWinControl* activeControl_ = nullptr;
    TWinControl* lastFocused_ = nullptr;
    bool active_ = false;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    bool created_ = false;
    bool destroyFired_ = false;
    bool closing_ = false;
    std::unique_ptr<TWindowCanvas> canvas_;
    HWND modalPreviousActive_ = nullptr;
};

// Makes a form: constructs it with the given arguments (the owner first), then runs
// AfterConstruction (texts, OnCreate).
template <class T, class... Args>
T* NewForm(Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    form->AfterConstruction();
    return form;
}
