#include "editor/rich_edit_print_win.h"

#include <richedit.h>

#include <utility>

#include "base/file_system.h"
#include "base/program.h"
#include "editor/rich_edit_win.h"
#include "winui/application_win.h"
#include "winui/dialogs_win.h"
#include "winui/text_win.h"

// --- TRichEditPageFormatter ---

TRichEditPageFormatter::TRichEditPageFormatter(HWND window, HDC dc, HDC target, const RECT& pageTwips,
                                               std::function<void()> nextPage)
    : window_(window), dc_(dc), target_(target), page_(pageTwips), nextPage_(std::move(nextPage)) {}

TRichEditPageFormatter::~TRichEditPageFormatter() { ReleaseCache(); }

int TRichEditPageFormatter::FormatPage(int first) {
    FORMATRANGE range{};
    range.hdc = dc_;
    range.hdcTarget = target_;
    // The control shrinks the rectangle to what it filled: every page starts from the whole area.
    range.rc = page_;
    range.rcPage = page_;
    range.chrg.cpMin = first;
    range.chrg.cpMax = -1;
    cached_ = true;
    return static_cast<int>(SendMessageW(window_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range)));
}

void TRichEditPageFormatter::StartNextPage() {
    if (nextPage_) nextPage_();
}

void TRichEditPageFormatter::ReleaseCache() {
    if (!cached_) return;
    cached_ = false;
    SendMessageW(window_, EM_FORMATRANGE, FALSE, 0);
}

RECT PageAreaTwips(const RECT& pageRect, int width, int height, int pixelsPerInchX, int pixelsPerInchY) {
    RECT pixels = pageRect;
    if (IsRectEmpty(&pageRect)) pixels = RECT{0, 0, width, height};
    auto x = [&](LONG v) { return static_cast<LONG>(MulDiv(v, 1440, pixelsPerInchX)); };
    auto y = [&](LONG v) { return static_cast<LONG>(MulDiv(v, 1440, pixelsPerInchY)); };
    return RECT{x(pixels.left), y(pixels.top), x(pixels.right), y(pixels.bottom)};
}

// --- TTaskWindowsDisabled ---

TTaskWindowsDisabled::TTaskWindowsDisabled(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK TTaskWindowsDisabled::Disable(HWND window, LPARAM self) {
    auto* scope = reinterpret_cast<TTaskWindowsDisabled*>(self);
    if (window != scope->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        scope->windows_.push_back(window);
    }
    return TRUE;
}

TTaskWindowsDisabled::~TTaskWindowsDisabled() {
    for (HWND window : windows_)
        if (IsWindow(window)) EnableWindow(window, TRUE);
}

// --- TCurrentFolder ---

TCurrentFolder::TCurrentFolder(const std::string& folder) {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    previous_.resize(length);
    previous_.resize(GetCurrentDirectoryW(length, previous_.data()));
    if (!folder.empty()) SetCurrentDirectoryW(WideText(folder).c_str());
}

TCurrentFolder::~TCurrentFolder() {
    if (!previous_.empty()) SetCurrentDirectoryW(previous_.c_str());
}

// --- TRichEditPrintJob ---

namespace {

// Each lowers the control's long-operation state at the end of the job, in the order the
// destructors run: first ProgressAction, finally the closing progress notice.
class TProgressNoticeAtEnd {
public:
    explicit TProgressNoticeAtEnd(TRichEdit2& owner) : owner_(owner) {}
    ~TProgressNoticeAtEnd() {
        try {
            owner_.DoProgress(paIdle, 0, 0);
        } catch (...) {
            // The notice must not hide the job's own error.
        }
    }
    TProgressNoticeAtEnd(const TProgressNoticeAtEnd&) = delete;
    TProgressNoticeAtEnd& operator=(const TProgressNoticeAtEnd&) = delete;

private:
    TRichEdit2& owner_;
};

class TProgressActionReset {
public:
    explicit TProgressActionReset(TRichEdit2& owner) : owner_(owner) {}
    ~TProgressActionReset() { owner_.SetProgressAction(paIdle); }
    TProgressActionReset(const TProgressActionReset&) = delete;
    TProgressActionReset& operator=(const TProgressActionReset&) = delete;

private:
    TRichEdit2& owner_;
};

class TTopMostsLowered {
public:
    TTopMostsLowered() {
        if (Application) Application->NormalizeTopMosts();
    }
    ~TTopMostsLowered() {
        if (Application) Application->RestoreTopMosts();
    }
    TTopMostsLowered(const TTopMostsLowered&) = delete;
    TTopMostsLowered& operator=(const TTopMostsLowered&) = delete;
};

// A job that is still open when the page loop leaves by an error is dropped.
class TOpenJobAbort {
public:
    explicit TOpenJobAbort(TPrinter& printer) : printer_(printer) {}
    ~TOpenJobAbort() {
        if (printer_.Printing()) printer_.Abort();
    }
    TOpenJobAbort(const TOpenJobAbort&) = delete;
    TOpenJobAbort& operator=(const TOpenJobAbort&) = delete;

private:
    TPrinter& printer_;
};

class TMapMode {
public:
    TMapMode(HDC dc, int mode) : dc_(dc), previous_(SetMapMode(dc, mode)) {}
    ~TMapMode() { Restore(); }
    void Restore() {
        if (previous_) SetMapMode(dc_, previous_);
        previous_ = 0;
    }
    TMapMode(const TMapMode&) = delete;
    TMapMode& operator=(const TMapMode&) = delete;

private:
    HDC dc_;
    int previous_;
};

}  // namespace

TPrintLoopResult TRichEditPrintJob::Run() {
    TCurrentFolder folder(ExtractFilePath(ProgramFileName()));
    TProgressNoticeAtEnd notice(owner_);
    printer_.SetTitle(owner_.DocumentTitle());
    TTaskWindowsDisabled disabled(owner_.Handle());
    TTopMostsLowered topMosts;
    TProgressActionReset reset(owner_);
    printer_.BeginDoc();
    TOpenJobAbort abortOpenJob(printer_);
    return PrintPages();
}

TPrintLoopResult TRichEditPrintJob::PrintPages() {
    HDC dc = printer_.Handle();
    const RECT page = PageAreaTwips(owner_.PageRect(), printer_.PageWidth(), printer_.PageHeight(),
                                    printer_.PixelsPerInchX(), printer_.PixelsPerInchY());
    // The characters as the control counts its positions, so that the loop knows its end.
    const int length = owner_.TextLength();
    owner_.EscapeLatch().Clear();
    owner_.DoProgress(paPrinting, length, 0);
    TMapMode mapMode(dc, MM_TEXT);
    SetBkMode(dc, TRANSPARENT);
    owner_.SetProgressAction(paPrinting);
    TRichEditPageFormatter formatter(owner_.Handle(), dc, dc, page, [this] { printer_.NewPage(); });
    const TPrintLoopResult result = RunPrintLoop(
        formatter, length, [&](int current) { owner_.DoProgress(paPrinting, length, current); },
        [&] {
            if (owner_.EscapeLatch().Pressed()) owner_.SetProgressAction(paAborted);
            return owner_.ProgressAction() != paPrinting;
        });
    owner_.DoProgress(paPrinting, length, length);
    formatter.ReleaseCache();
    mapMode.Restore();
    if (owner_.ProgressAction() != paPrinting) printer_.Abort();
    else printer_.EndDoc();
    return result;
}
