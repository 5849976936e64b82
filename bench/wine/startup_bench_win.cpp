// Start-up of the program: the time from creating the Varnolet.exe process to its main window
// shown and painted (the window and every child window without anything left to paint, and the
// process waiting for input), with an empty library and with the generated library of 10,000
// entries. Each run starts the program in a folder of its own that already holds its settings,
// so that no first-start message stands in the way; the program is closed between the runs.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/text_node.h"
#include "base/program.h"
#include "bench/library.h"
#include "bench/wine/wine_bench.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"
#include "tests/wine/program_run_win.h"
#include "winui/resource_module_win.h"

namespace fs = std::filesystem;

namespace {

BOOL CALLBACK FindUnpainted(HWND window, LPARAM data) {
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = true;
        return FALSE;
    }
    return TRUE;
}

// Shown, painted, and the program waits for input.
bool FirstPainted(HWND window, HANDLE process) {
    if (!window || GetUpdateRect(window, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted && WaitForInputIdle(process, 0) == 0;
}

// One start of the program, measured until its main window is first painted.
class TStartedProgram {
public:
    explicit TStartedProgram(const fs::path& program) : run_(program) {
        if (!run_.Created()) throw std::runtime_error("Varnolet.exe did not start");
    }

    // Waits (at most a minute) until the main window is first painted.
    void WaitUntilPainted() {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 60000) {
            const HWND window = run_.MainWindow();
            if (FirstPainted(window, run_.Process())) {
                window_ = window;
                return;
            }
            Sleep(1);
        }
        throw std::runtime_error("the main window was not painted within a minute");
    }
    // Closes the program as the user does; it saves its files.
    void Close() {
        if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(run_.Process(), 60000) != WAIT_OBJECT_0)
            throw std::runtime_error("Varnolet.exe did not end");
    }

private:
    TProgramRun run_;
    HWND window_ = nullptr;
};

// A program folder with Varnolet.exe, its settings and a library of Entries entries.
fs::path ProgramFolder(int entries) {
    const fs::path folder = fs::temp_directory_path() / ("vn_startup_" + std::to_string(entries));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path program = folder / "Varnolet.exe";
    fs::copy_file(fs::path(ProgramPath()).parent_path() / "Varnolet.exe", program);
    std::unique_ptr<TTextNode> root = entries > 0 ? MakeLibrary(entries).Root
                                                  : std::unique_ptr<TTextNode>(TTextNode::CreateTop());
    SaveToFile(root.get(), (folder / "Varnolet.STD").string());
    SetProgramFileName(program.string());
    WriteValue("TApplication\\VarnoletWin\\Left", TNodeValue::Of(int32_t{60}));
    FreeConfiguration();
    return program;
}

void Startup(TWineBenchRun& run, int entries, const std::string& label) {
    RegisterTextNodeClasses();
    // The new settings file is no news to tell anyone here.
    const TProgramMessageHandler previous = SetProgramMessageHandler([](const std::string&, TMessageKind) {});
    const fs::path program = ProgramFolder(entries);
    std::unique_ptr<TStartedProgram> started;
    run.Measure(
        label, 9,
        [&] {
            started = std::make_unique<TStartedProgram>(program);
            started->WaitUntilPainted();
        },
        [&] {
            if (started) started->Close();
            started.reset();
        });
    started->Close();
    started.reset();
    fs::remove_all(program.parent_path());
    SetProgramMessageHandler(previous);
}

void StartupEmpty(TWineBenchRun& run) { Startup(run, 0, "first painted/empty library"); }
void Startup10000(TWineBenchRun& run) { Startup(run, 10000, "first painted/10000 entries"); }

const TWineBenchRegistration emptyRegistration("Startup empty", StartupEmpty);
const TWineBenchRegistration largeRegistration("Startup 10000", Startup10000);

}  // namespace
