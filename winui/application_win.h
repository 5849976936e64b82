// The application object and the screen object. TApplication (one process-wide `Application`,
// a TComponent with the class name "TApplication" and an empty name, owner of the forms) has a
// hidden top-level window on which window hooks are installed, runs the message loop with key
// pre-processing, idle handling and hints, shows errors through the program's message function,
// and tracks the modal level. TScreen (`Screen`) knows the forms, the active form, the
// cursors and the screen cursor.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/component.h"
#include "winui/control_win.h"
#include "winui/form_win.h"
#include "winui/graphics_win.h"

// What the hint display tells a control in CM_HINTSHOW (LParam) and passes to OnShowHint.
struct THintInfo {
    TControl* HintControl = nullptr;
    POINT HintPos{};            // screen position of the hint window (may be changed)
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    RECT CursorRect{};          // moving out of it (client coordinates) hides the hint
    POINT CursorPos{};          // client coordinates of HintControl
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;        // the short hint shown (may be changed)
};

// A window hook of the application window: true when it handled the message (Result is then
// what the window procedure returns).
using TWindowHook = std::function<bool(TMessage& msg)>;
using TIdleEvent = std::function<void(bool& done)>;
using TExceptionEvent = std::function<void(const std::exception& error)>;
using TShowHintEvent = std::function<void(std::string& hintStr, bool& canShow, THintInfo& hintInfo)>;

// The short part of a hint (before "|") and the long part (after it; the whole hint when it
// has no "|").
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

class THintWindow;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // The hidden application window (made on first use). Its text is Title.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }

    // Hooks run in order of installation for every message of the application window,
    // before its own handling. HookMainWindow returns a ticket for UnhookMainWindow.
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int ticket);

    // --- forms ---
    // Makes a form owned by the application (NewForm); the first one becomes MainForm.
    template <class T, class... Args>
    T* CreateForm(Args&&... args) {
        T* form = NewForm<T>(this, std::forward<Args>(args)...);
        if (!mainForm_) mainForm_ = form;
        return form;
    }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form);

    // --- message loop ---
    // Shows the main form and handles messages until Terminate (or the main form closed).
    void Run();
    // Waits for one message and handles it; runs the idle handling when the queue is empty.
    void HandleMessage();
    // Handles all waiting messages, then returns.
    void ProcessMessages();
    // Handles one waiting message; false when there was none.
    bool ProcessMessage();
    // Ends the message loop (PostQuitMessage).
    void Terminate();
    bool Terminated() const { return terminated_; }
    // True from the end of Run (or the start of the destructor) on: services stop accepting
    // work.
    bool ShuttingDown() const { return shuttingDown_; }
    // Clears Terminated (tests run several loops in one process).
    void ResetTerminated() { terminated_ = false; }

    // Key pre-processing of a keyboard message before it is dispatched: CN_KEYDOWN etc. to the
    // control with the focus (menus, shortcuts, dialog keys). True when it was handled.
    bool IsKeyMsg(MSG& msg);
    // Menu shortcuts outside any focused form: OnShortCut, then UM_SHORTCUT to the
    // application window (the program's shortcut handlers). True when one took the key.
    bool IsShortCut(const TMessage& keyMsg);
    std::function<void(const TMessage& keyMsg, bool& handled)> OnShortCut;

    // --- errors ---
    // Shows the message of Error (none for EAbort) through OnException, else the program's
    // message function (ShowProgramMessage); TApplication installs a message-box handler
    // there when none is set. Never throws: when the handler itself throws, a plain message
    // box shows Error's message (and records it in ProgramMessages), and the program goes on.
    void ShowException(const std::exception& error) noexcept;
    // For a catch block: shows the current exception (any kind). Never throws.
    void HandleException() noexcept;
    TExceptionEvent OnException;
    // MessageBoxW with code page 1252 texts, owned by the active form (or the application
    // window); Caption empty = Title.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    // --- hints ---
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    // Show the shortcut of a control in its hint ("%s (%s)"): the program's option.
    bool HintShortCuts() const { return hintShortCuts_; }
    void SetHintShortCuts(bool show) { hintShortCuts_ = show; }
    // The current long hint; setting it fires OnHint.
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    std::function<void(TApplication& sender)> OnHint;
    TShowHintEvent OnShowHint;
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor color) { hintColor_ = color; }
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms) { hintPause_ = ms; }
    int HintShortPause() const { return hintShortPause_; }
    void SetHintShortPause(int ms) { hintShortPause_ = ms; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int ms) { hintHidePause_ = ms; }
    // Feeds a mouse message of Control to the hint handling (the message loop does this for
    // every mouse move; a window may do it to refresh a hint that changed).
    void HintMouseMessage(TControl* control, const TMessage& msg);
    // Shows the hint of the control under the mouse now.
    void ActivateHint(POINT cursorPos);
    void CancelHint();
    // Hides the hint window for the current control (it may show again after a new rest).
    void HideHint();
    // The control whose hint is shown, or null; the short text shown.
    TControl* HintControl() const { return hintControl_; }
    std::string ShownHintText() const;

    // --- idle ---
    // Called when the queue is empty; done=false keeps calling without waiting.
    TIdleEvent OnIdle;

    // --- look and help ---
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title);
    TIcon& Icon() { return icon_; }
    std::string HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& fileName) { helpFile_ = fileName; }
    // Opens the help file at a keyword (empty: its contents); false when there is no help file.
    bool HelpJump(const std::string& topic);
    bool HelpContext(int context);
    std::function<bool(UINT command, ULONG_PTR data)> OnHelp;
    void Minimize();
    void Restore();
    void BringToFront();
    // Whether one of the program's windows is active.
    bool Active() const { return active_; }
    std::function<void(TApplication& sender)> OnActivate;
    std::function<void(TApplication& sender)> OnDeactivate;

    // --- modal state ---
    int ModalLevel() const { return modalLevel_; }
    void ModalStarted();
    void ModalFinished();
    // Takes the stay-on-top forms of the program out of the topmost band while a message or
    // system dialog is shown, and puts them back; calls nest.
    void NormalizeTopMosts();
    void RestoreTopMosts();
    // Every form owned (directly) by the application, in creation order.
    std::vector<TForm*> Forms() const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void WndProc(TMessage& msg);
    void DefaultHandler(TMessage& msg);
    void ShowForeignException() noexcept;
    void WMActivateApp(TMessage& msg);
    void WMTimer(TMessage& msg);
    void WMInitMenuPopup(TMessage& msg);
    void WMMenuSelect(TMessage& msg);
    void Idle();
    void DoMouseIdle();
    void CheckHintTimer();

    HWND handle_ = nullptr;
    std::vector<std::pair<int, TWindowHook>> hooks_;
    int nextHookTicket_ = 1;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool shuttingDown_ = false;
    bool showHint_ = true;
    bool hintShortCuts_ = true;
    std::string hint_;
    TColor hintColor_ = clInfoBk;
    int hintPause_ = 500;
    int hintShortPause_ = 50;
    int hintHidePause_ = 2500;
    THintWindow* hintWindow_ = nullptr;
    TControl* hintControl_ = nullptr;
    TControl* mouseControl_ = nullptr;
    bool hintActive_ = false;
    UINT_PTR hintTimer_ = 0;
    RECT hintCursorRect_{};
    std::string title_;
    TIcon icon_;
    std::string helpFile_;
    bool active_ = false;
    int modalLevel_ = 0;
    int topMostLevel_ = 0;
    std::vector<HWND> topMostList_;
    friend class THintWindow;
};

// The process-wide application object: made before main runs, freed at exit.
extern TApplication* Application;

// The screen: forms, activation, cursors.
class TScreen {
public:
    TScreen();
    ~TScreen();
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;

    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    // The work area (screen without task bar).
    RECT WorkArea() const;
    int PixelsPerInch() const;

    // Every form of the process (created and not yet destroyed), in creation order.
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TForm* Forms(int index) const { return forms_.at(index); }
    TForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const;

    // The screen cursor: crDefault lets each control show its own; any other id is shown
    // everywhere (e.g. crHourGlass while busy). Setting it applies it at once.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    // The cursor handle of an id: the built-in ones (created on first use where the system has
    // none: drag, no-drop, split cursors), then those the program added; the arrow for
    // unknown ids.
    HCURSOR Cursors(TCursor id);
    // Adds or replaces a cursor of the program (the screen frees it at exit).
    void SetCursors(TCursor id, HCURSOR cursor);

    // The font of menus and messages, from the system's non-client metrics.
    TFont& MenuFont() { return menuFont_; }
    TFont& HintFont() { return hintFont_; }

    // Used by TForm.
    void AddForm(TForm* form);
    void RemoveForm(TForm* form);
    void SetActiveForm(TForm* form);

private:
    std::vector<TForm*> forms_;
    TForm* activeForm_ = nullptr;
    TCursor cursor_ = crDefault;
    std::vector<std::pair<TCursor, HCURSOR>> cursors_;
    TFont menuFont_;
    TFont hintFont_;
};

extern TScreen* Screen;
