// Printing a rich edit control: the page formatter that has the control format and render one
// page at a time on a printer (EM_FORMATRANGE), the scoped states a print job holds (the
// program's other windows disabled, the stay-on-top windows lowered, the current folder), and
// the job itself, which puts every state back on every way out.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/print_loop.h"

class TRichEdit2;
class TPrinter;

// Formats pages of the control Window onto Dc (measured against Target), each into PageTwips.
class TRichEditPageFormatter : public TPageFormatter {
public:
    TRichEditPageFormatter(HWND window, HDC dc, HDC target, const RECT& pageTwips, std::function<void()> nextPage);
    ~TRichEditPageFormatter() override;
    TRichEditPageFormatter(const TRichEditPageFormatter&) = delete;
    TRichEditPageFormatter& operator=(const TRichEditPageFormatter&) = delete;

    int FormatPage(int first) override;
    void StartNextPage() override;
    // Lets the control drop what it cached for the device (once; also done on destruction).
    void ReleaseCache();

private:
    HWND window_;
    HDC dc_;
    HDC target_;
    RECT page_;
    std::function<void()> nextPage_;
    bool cached_ = false;
};

// The page area in twips: the whole page (Width x Height printer pixels) when PageRect is
// empty, else PageRect, at the printer's pixels per inch.
RECT PageAreaTwips(const RECT& pageRect, int width, int height, int pixelsPerInchX, int pixelsPerInchY);

// Disables the visible top-level windows of the thread but Except, and enables them again.
class TTaskWindowsDisabled {
public:
    explicit TTaskWindowsDisabled(HWND except);
    ~TTaskWindowsDisabled();
    TTaskWindowsDisabled(const TTaskWindowsDisabled&) = delete;
    TTaskWindowsDisabled& operator=(const TTaskWindowsDisabled&) = delete;
    const std::vector<HWND>& Windows() const { return windows_; }

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self);
    HWND except_;
    std::vector<HWND> windows_;
};

// Makes Folder the current folder for the scope.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const std::string& folder);
    ~TCurrentFolder();
    TCurrentFolder(const TCurrentFolder&) = delete;
    TCurrentFolder& operator=(const TCurrentFolder&) = delete;

private:
    std::wstring previous_;
};

// One print job of a control on a printer, run from start to end.
class TRichEditPrintJob {
public:
    TRichEditPrintJob(TRichEdit2& owner, TPrinter& printer) : owner_(owner), printer_(printer) {}
    // Prints the whole text (Escape aborts); the result of the page loop.
    TPrintLoopResult Run();

private:
    TPrintLoopResult PrintPages();

    TRichEdit2& owner_;
    TPrinter& printer_;
};
