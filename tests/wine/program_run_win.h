// Varnolet.exe started as a process of its own, for the tests and benchmarks that use the
// program as a user starts it: its main window, its dialogs and its in-place editor seen from
// outside; the process is ended when the run object goes, if it has not ended by then.
#pragma once

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>

// The window class name of Window.
inline std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// One run of Varnolet.exe.
class TProgramRun {
public:
    explicit TProgramRun(const std::filesystem::path& program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + program.wstring() + L"\"";
        const std::wstring folder = program.parent_path().wstring();
        created_ = CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &info_) != FALSE;
    }
    ~TProgramRun() {
        if (!created_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    TProgramRun(const TProgramRun&) = delete;
    TProgramRun& operator=(const TProgramRun&) = delete;

    bool Created() const { return created_; }
    bool Ended() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
    bool Owns(HWND window) const {
        DWORD process = 0;
        return window && GetWindowThreadProcessId(window, &process) && process == info_.dwProcessId;
    }
    // The visible main window of the program; null before it is shown.
    HWND MainWindow() const {
        TSearch search{this, nullptr};
        EnumWindows(&TProgramRun::FindMain, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The program's active window is one of its dialogs.
    bool DialogUp() const {
        const HWND active = GetForegroundWindow();
        return Owns(active) && active != MainWindow() && IsWindowVisible(active);
    }
    bool MainWindowActive() const {
        const HWND main = MainWindow();
        return main && GetForegroundWindow() == main;
    }
    // The in-place editor (an edit box) has the keyboard focus.
    bool Editing() const {
        const HWND main = MainWindow();
        if (!main) return false;
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread) || !thread.hwndFocus) return false;
        return _stricmp(ClassOf(thread.hwndFocus).c_str(), "Edit") == 0 && IsWindowVisible(thread.hwndFocus);
    }
    void Idle() const { WaitForInputIdle(info_.hProcess, 2000); }
    HANDLE Process() const { return info_.hProcess; }

private:
    struct TSearch {
        const TProgramRun* run;
        HWND found;
    };
    static BOOL CALLBACK FindMain(HWND window, LPARAM data) {
        auto* search = reinterpret_cast<TSearch*>(data);
        if (IsWindowVisible(window) && search->run->Owns(window) && ClassOf(window) == "TVarnoletWin") {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    PROCESS_INFORMATION info_{};
    bool created_ = false;
};
