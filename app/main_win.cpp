// Start-up of Varnolet: choose the resource module, take texts from it, install the system
// clipboard, make the main window and run the message loop until the main window closes. The
// main window goes before the configuration is written: it saves its symbols when it is
// destroyed, and its settings at its close.
#include <windows.h>

#include <exception>
#include <string>

#include "winui/clipboard_win.h"
#include "base/cp1252.h"
#include "winui/resource_module_win.h"
#include "base/strings.h"
#include "app/resource_data_win.h"
#include "app/text_node.h"
#include "pictures/picture_list_win.h"
#include "base/program.h"
#include "config/configuration.h"
#include "widgets/message_form_win.h"
#include "app/library_node_grid_win.h"
#include "app/varnolet_win.h"
#include "editor/rich_edit_library_win.h"
#include "winui/application_win.h"

namespace {

void ShowStartupError(const char* message)
{
    const std::u16string text = Cp1252ToUtf16(message);
    MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(text.c_str()), L"Varnolet",
                MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        SetProgramFileName(ProgramPath());
        // OLE for the program's life; at its end the clipboard is rendered and the rich edit
        // library freed before OLE goes (the session is the last object of this block to go).
        TOleSession oleSession;
        LoadResourceModule();
        static TModuleStringSource moduleStrings;
        SetStringSource(&moduleStrings);
        InstallResourceReader();
        // The quick-text classes are known before any library file is read.
        RegisterTextNodeClasses();
        // The graphic classes and image formats, before any picture list is read.
        RegisterPictureClasses();
        // Notices of the runtime and the configuration go to the program's message dialog.
        InstallMessageDialog();
        static TWin32Clipboard systemClipboard;
        SetClipboard(&systemClipboard);

        TVarnoletWin* mainWindow = Application->CreateForm<TVarnoletWin>(FirstProgramArgument(), MakeLibraryNodeGrid);
        Application->Run();
        delete mainWindow;
        // The settings are written back at every program end.
        FreeConfiguration();
        UnregisterPictureClasses();
        SetClipboard(nullptr);
        SetStringSource(nullptr);
        FreeResourceModule();
        return 0;
    } catch (const std::exception& error) {
        ShowStartupError(error.what());
        return 1;
    }
}
