// The hook on the application window: it hands window messages, keyboard shortcuts
// (UM_SHORTCUT) and clipboard changes to the handlers the windows and controls register, keeps
// the program in the system's clipboard-viewer chain while it has clipboard handlers, and
// refreshes the cached system sizes on setting changes.
#pragma once

#include <windows.h>

#include "widgets/hook_lists.h"
#include "winui/application_win.h"

class TApplicationHook {
public:
    // The one hook; made by the first Add... call, none before.
    static TApplicationHook* Instance();
    // Frees the hook: it leaves the application window and the viewer chain and drops all
    // handlers. Program end does this; tests use it to start afresh.
    static void Free();

    THookLists& Lists() { return lists_; }
    // Whether the application window is in the clipboard-viewer chain, and the next window of
    // the chain (may be null while in it: the program was the first viewer).
    bool InViewerChain() const { return inChain_; }
    HWND NextViewer() const { return nextViewer_; }
    void JoinViewerChain();
    void LeaveViewerChain();

    ~TApplicationHook();
    TApplicationHook(const TApplicationHook&) = delete;
    TApplicationHook& operator=(const TApplicationHook&) = delete;

private:
    friend TApplicationHook* ApplicationHook();
    TApplicationHook();
    bool WindowHook(TMessage& msg);
    void DrawClipboard(TMessage& msg);
    void ChangeChain(TMessage& msg);
    void Detach();

    THookLists lists_;
    int ticket_ = 0;
    bool hooked_ = false;
    bool inChain_ = false;
    HWND nextViewer_ = nullptr;
};

// The hook, made on first use; null while the application is shutting down or when there is
// no application object (adding handlers is then ignored).
TApplicationHook* ApplicationHook();

// Handlers of application-window messages, e.g.
//   AddMessageHandler(WM_ACTIVATEAPP, this, MessageMethod<&TMyWin::AppActivate>);
bool AddMessageHandler(UINT msg, TComponent* object, TMessageProc proc);
bool RemoveMessageHandler(UINT msg, TComponent* object, TMessageProc proc);
// Keyboard shortcuts that no menu took: Key is the virtual key, Shift the shift state.
bool AddShortCutHandler(WORD key, TShiftState shift, TComponent* object, TShortCutProc proc, intptr_t data);
bool RemoveShortCutHandler(WORD key, TShiftState shift, TComponent* object, TShortCutProc proc, intptr_t data);
// Called on every clipboard change; the first one puts the application window into the
// clipboard-viewer chain.
bool AddClipboardHandler(TComponent* object, TClipboardProc proc);
bool RemoveClipboardHandler(TComponent* object, TClipboardProc proc);

// The show-shortcuts-in-hints option: the hint of a control with a shortcut then reads
// "%s (%s)" (the application's hint display formats it).
void SetShowShortCuts(bool show);
