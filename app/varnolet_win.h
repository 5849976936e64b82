// The program's main window. So far it is a plain top-level window with the program's name as
// its caption; closing it ends the program.
#pragma once

#include <windows.h>

#include <functional>

class TVarnoletWin {
public:
    TVarnoletWin() = default;
    ~TVarnoletWin();
    TVarnoletWin(const TVarnoletWin&) = delete;
    TVarnoletWin& operator=(const TVarnoletWin&) = delete;

    // Creates the window, hidden, with the caption from the string table (ProgramName).
    void Create();
    void Show(int cmdShow);
    HWND Handle() const { return handle_; }

    // Called when the window has been destroyed; the program ends its message loop here.
    std::function<void(TVarnoletWin& sender)> OnDestroy;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void WMDestroy();

    HWND handle_ = nullptr;
};
