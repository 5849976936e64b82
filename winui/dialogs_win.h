// The system's common dialogs as components: open and save file, colour, font and print, and
// the printer that prints through a printer device context. Each dialog runs modally over the
// active form with Execute; OnShow tells the program (and the tests) the dialog window once it
// is ready, OnClose when it ends.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/exception.h"
#include "base/small_set.h"
#include "base/string_list.h"
#include "winui/canvas_win.h"
#include "winui/gdi_scope_win.h"

class TCommonDialog;
using TDialogEvent = std::function<void(TCommonDialog& sender)>;

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Runs the dialog; true when the user confirmed it.
    virtual bool Execute() = 0;
    // The window of the running dialog; null while none runs.
    HWND Handle() const { return handle_; }
    // The error code of the system when the last Execute failed without the user cancelling
    // (CommDlgExtendedError); 0 otherwise.
    DWORD LastError() const { return lastError_; }

    TDialogEvent OnShow;
    TDialogEvent OnClose;

protected:
    // Runs Show (the system call) modally over the active form: top-most windows of the
    // program step back meanwhile; OnClose fires afterwards.
    bool RunModal(const std::function<BOOL(HWND owner)>& show);
    // The owner window for a dialog that starts now.
    static HWND OwnerWindow();
    // Called by the hooks when the dialog window is ready.
    void DialogShown(HWND dialog);
    // The hook of the dialogs: WM_INITDIALOG tells the dialog that is starting (the one
    // RunModal runs) that its window is ready.
    static UINT_PTR CALLBACK DialogHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
    // The dialog that RunModal is running on this thread.
    static TCommonDialog* Starting();

private:
    friend class TOpenDialog;  // its explorer hook reports the dialog window
    HWND handle_ = nullptr;
    DWORD lastError_ = 0;
    bool shown_ = false;
};

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp,
                   ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist,
                   ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
                   ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
                   ofNoDereferenceLinks, ofEnableSizing };
using TOpenOptions = TSmallSet<TOpenOption>;

// The file open dialog (GetOpenFileNameW). Filter is "description|pattern|description|pattern"
// (a pattern may list several masks separated by ";"); FilterIndex counts from 1. After a
// confirmed Execute FileName is the chosen path and Files holds every chosen path (one with a
// single choice); ofReadOnly in Options tells whether the read-only box was ticked, and
// ofExtensionDifferent whether the name's extension differs from DefaultExt.
class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* owner);
    ~TOpenDialog() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Execute() override;

    std::string FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    std::string Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    // Appended to a name typed without extension; a leading "." is ignored.
    std::string DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& ext) { defaultExt_ = ext; }
    std::string InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& dir) { initialDir_ = dir; }
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions options) { options_ = options; }
    TStringList& Files() { return files_; }

    // The system's double-null-terminated filter text for Filter.
    static std::wstring SystemFilter(const std::string& filter);
    // The chosen paths of a result buffer: one full path, or (multi-select) the folder followed
    // by the names, each ended by a null character.
    static std::vector<std::string> SplitFileNames(const wchar_t* buffer, size_t size);

protected:
    // The system call that shows the dialog: GetOpenFileNameW here, GetSaveFileNameW for saving.
    virtual BOOL ShowDialog(OPENFILENAMEW& ofn);
    bool DoExecute();

private:
    static UINT_PTR CALLBACK ExplorerHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
    DWORD SystemFlags() const;

    std::string fileName_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string defaultExt_;
    std::string initialDir_;
    std::string title_;
    TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
    TStringList files_;
};

// The file save dialog (GetSaveFileNameW); with ofOverwritePrompt the system asks before an
// existing file is chosen.
class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

protected:
    BOOL ShowDialog(OPENFILENAMEW& ofn) override;
};

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSmallSet<TColorDialogOption>;

// The colour dialog (ChooseColorW). CustomColors are up to 16 lines "name=hex colour"; they go
// to the dialog's 16 custom colour boxes by position and come back the same way (a line whose
// value is no hexadecimal number leaves its box white, and stays as it was unless the user
// changed that box).
class TColorDialog : public TCommonDialog {
public:
    explicit TColorDialog(TComponent* owner) : TCommonDialog(owner) {}

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Execute() override;

    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }
    TStringList& CustomColors() { return customColors_; }
    TColorDialogOptions Options() const { return options_; }
    void SetOptions(TColorDialogOptions options) { options_ = options; }

    // The colour of a custom colour line: the text after the first "=", as hexadecimal (an
    // optional "$" in front); false when it is none.
    static bool ParseCustomColor(const std::string& line, COLORREF& color);

private:
    TColor color_ = clBlack;
    TStringList customColors_;
    TColorDialogOptions options_;
};

enum TFontDialogOption { fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly,
                         fdForceFontExist, fdNoFaceSel, fdNoOEMFonts, fdNoSimulations,
                         fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg,
                         fdLimitSize, fdScalableOnly };
using TFontDialogOptions = TSmallSet<TFontDialogOption>;

// The font dialog (ChooseFontW) over the screen fonts. Font is preset into the dialog and takes
// the choice (name, size, style, colour, character set).
class TFontDialog : public TCommonDialog {
public:
    explicit TFontDialog(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Execute() override;

    TFont& Font() { return font_; }
    void SetFont(TFont& font) { font_.Assign(&font); }
    TFontDialogOptions Options() const { return options_; }
    void SetOptions(TFontDialogOptions options) { options_ = options; }
    // Point sizes offered with fdLimitSize.
    int MinFontSize() const { return minFontSize_; }
    void SetMinFontSize(int size) { minFontSize_ = size; }
    int MaxFontSize() const { return maxFontSize_; }
    void SetMaxFontSize(int size) { maxFontSize_ = size; }

private:
    TFont font_;
    TFontDialogOptions options_{fdEffects};
    int minFontSize_ = 0;
    int maxFontSize_ = 0;
};

enum TPrintRange { prAllPages, prSelection, prPageNums };
enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poDisablePrintToFile };
using TPrintDialogOptions = TSmallSet<TPrintDialogOption>;

class TPrinter;

// The print dialog (PrintDlgW). A confirmed Execute makes the chosen printer the one the
// process-wide Printer() prints on, with the chosen copies and page range.
class TPrintDialog : public TCommonDialog {
public:
    explicit TPrintDialog(TComponent* owner) : TCommonDialog(owner) {}

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Execute() override;

    int Copies() const { return copies_; }
    void SetCopies(int copies) { copies_ = copies; }
    int FromPage() const { return fromPage_; }
    void SetFromPage(int page) { fromPage_ = page; }
    int ToPage() const { return toPage_; }
    void SetToPage(int page) { toPage_ = page; }
    int MinPage() const { return minPage_; }
    void SetMinPage(int page) { minPage_ = page; }
    int MaxPage() const { return maxPage_; }
    void SetMaxPage(int page) { maxPage_ = page; }
    TPrintRange PrintRange() const { return printRange_; }
    void SetPrintRange(TPrintRange range) { printRange_ = range; }
    bool PrintToFile() const { return printToFile_; }
    TPrintDialogOptions Options() const { return options_; }
    void SetOptions(TPrintDialogOptions options) { options_ = options; }

private:
    int copies_ = 1;
    int fromPage_ = 0;
    int toPage_ = 0;
    int minPage_ = 0;
    int maxPage_ = 0;
    TPrintRange printRange_ = prAllPages;
    bool printToFile_ = false;
    TPrintDialogOptions options_;
};

// Printing on a printer device context: BeginDoc starts a print job titled Title, NewPage
// starts the next page, EndDoc sends the job (Abort drops it). Canvas draws on the current
// page; PageWidth and PageHeight are the printable area in device pixels. Without a chosen
// printer the default printer is used. Errors raise EPrinterError with the string ids
// PrintingInProgress, NotPrinting, NoDefaultPrinter, PrinterDCError and PrintStartError.
class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    void BeginDoc();
    void EndDoc();
    void NewPage();
    void Abort();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    int Copies() const { return copies_; }
    void SetCopies(int copies) { copies_ = copies; }

    TCanvas& Canvas();
    // The printer's device context (made on first use); also usable for measuring.
    HDC Handle();
    int PageWidth();
    int PageHeight();
    // The pixels per inch of the printer.
    int PixelsPerInchX();
    int PixelsPerInchY();
    // Whether a printer is chosen or a default printer exists.
    bool HasPrinter();

    // Makes the printer of the given device names and mode the one printed on (the print
    // dialog's result; the memory blocks are taken over). Null blocks go back to the default
    // printer.
    void SetDevice(HGLOBAL devNames, HGLOBAL devMode);
    // Prints the next job on a device context supplied by the caller (taken over, freed with
    // DeleteDC when the job ends).
    void SetDeviceContext(HDC dc);
    HGLOBAL DevNames() const { return devNames_; }
    HGLOBAL DevMode() const { return devMode_; }

private:
    void FreeDevice();
    void FreeDC();
    void CheckPrinting(bool wanted) const;

    HGLOBAL devNames_ = nullptr;
    HGLOBAL devMode_ = nullptr;
    TOwnedDC dc_;
    std::unique_ptr<TCanvas> canvas_;
    std::string title_;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
    int copies_ = 1;
};

class EPrinterError : public Exception {
public:
    using Exception::Exception;
};

// The process-wide printer (made on first use).
TPrinter& Printer();
