#include "winui/dialogs_win.h"

#include <algorithm>
#include <cstring>

#include "base/string_ids.h"
#include "winui/application_win.h"
#include "winui/text_win.h"

namespace {

// The dialog whose system call is running (dialogs may nest: each run keeps the previous one).
TCommonDialog* startingDialog = nullptr;

std::wstring OptionalText(const std::string& text) { return WideText(text); }
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// A copy of a movable memory block (the print dialog may free the blocks it is given).
HGLOBAL CopyGlobal(HGLOBAL source) {
    if (!source) return nullptr;
    const SIZE_T size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    void* from = GlobalLock(source);
    void* to = GlobalLock(copy);
    if (from && to) std::memcpy(to, from, size);
    if (to) GlobalUnlock(copy);
    if (from) GlobalUnlock(source);
    return copy;
}

}  // namespace

// --- TCommonDialog ---

const TClassInfo& TCommonDialog::StaticClass() {
    static const TClassInfo info{"TCommonDialog", &TComponent::StaticClass(), {}, {}};
    return info;
}

TCommonDialog* TCommonDialog::Starting() { return startingDialog; }

HWND TCommonDialog::OwnerWindow() {
    if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
        return Screen->ActiveForm()->Handle();
    return Application ? Application->Handle() : nullptr;
}

bool TCommonDialog::RunModal(const std::function<BOOL(HWND owner)>& show) {
    lastError_ = 0;
    shown_ = false;
    HWND owner = OwnerWindow();
    TCommonDialog* previous = startingDialog;
    startingDialog = this;
    if (Application) {
        Application->NormalizeTopMosts();
        Application->ModalStarted();
    }
    auto finish = [&] {
        startingDialog = previous;
        handle_ = nullptr;
        if (Application) {
            Application->ModalFinished();
            Application->RestoreTopMosts();
        }
    };
    BOOL ok = FALSE;
    try {
        ok = show(owner);
    } catch (...) {
        finish();
        throw;
    }
    if (!ok) lastError_ = CommDlgExtendedError();
    finish();
    if (OnClose) OnClose(*this);
    return ok != FALSE;
}

void TCommonDialog::DialogShown(HWND dialog) {
    if (shown_) return;
    shown_ = true;
    handle_ = dialog;
    if (OnShow) GuardedCall([this] { OnShow(*this); });
}

UINT_PTR CALLBACK TCommonDialog::DialogHook(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG && startingDialog) {
        startingDialog->DialogShown(dialog);
        // Let the dialog set the keyboard focus itself.
        return TRUE;
    }
    return 0;
}

// --- TOpenDialog ---

const TClassInfo& TOpenDialog::StaticClass() {
    static const TClassInfo info{
        "TOpenDialog", &TCommonDialog::StaticClass(),
        {StrProp<TOpenDialog>("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter),
         StrProp<TOpenDialog>("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle),
         StrProp<TOpenDialog>("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)},
        {}};
    return info;
}

const TClassInfo& TSaveDialog::StaticClass() {
    static const TClassInfo info{"TSaveDialog", &TOpenDialog::StaticClass(), {}, {}};
    return info;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}

TOpenDialog::~TOpenDialog() = default;

std::wstring TOpenDialog::SystemFilter(const std::string& filter) {
    if (filter.empty()) return {};
    std::wstring result = WideText(filter);
    std::replace(result.begin(), result.end(), L'|', L'\0');
    // Every part ends with a null character, and the list with one more.
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

std::vector<std::string> TOpenDialog::SplitFileNames(const wchar_t* buffer, size_t size) {
    std::vector<std::wstring> parts;
    size_t i = 0;
    while (i < size && buffer[i]) {
        const size_t start = i;
        while (i < size && buffer[i]) ++i;
        parts.emplace_back(buffer + start, i - start);
        ++i;
    }
    std::vector<std::string> names;
    if (parts.size() == 1) names.push_back(NarrowText(parts[0]));
    if (parts.size() > 1) {
        std::wstring folder = parts[0];
        if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
        for (size_t k = 1; k < parts.size(); ++k) names.push_back(NarrowText(folder + parts[k]));
    }
    return names;
}

DWORD TOpenDialog::SystemFlags() const {
    static const std::pair<TOpenOption, DWORD> table[] = {
        {ofReadOnly, OFN_READONLY}, {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
        {ofHideReadOnly, OFN_HIDEREADONLY}, {ofNoChangeDir, OFN_NOCHANGEDIR},
        {ofShowHelp, OFN_SHOWHELP}, {ofNoValidate, OFN_NOVALIDATE},
        {ofAllowMultiSelect, OFN_ALLOWMULTISELECT}, {ofPathMustExist, OFN_PATHMUSTEXIST},
        {ofFileMustExist, OFN_FILEMUSTEXIST}, {ofCreatePrompt, OFN_CREATEPROMPT},
        {ofShareAware, OFN_SHAREAWARE}, {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
        {ofNoTestFileCreate, OFN_NOTESTFILECREATE}, {ofNoNetworkButton, OFN_NONETWORKBUTTON},
        {ofNoLongNames, OFN_NOLONGNAMES}, {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
        {ofEnableSizing, OFN_ENABLESIZING}};
    DWORD flags = OFN_ENABLEHOOK;
    for (const auto& [option, flag] : table)
        if (options_.Has(option)) flags |= flag;
    if (!options_.Has(ofOldStyleDialog)) flags |= OFN_EXPLORER;
    return flags;
}

// The hook of the explorer-style dialog runs in a child of the dialog; the dialog is ready
// when it reports CDN_INITDONE.
UINT_PTR CALLBACK TOpenDialog::ExplorerHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_NOTIFY && startingDialog &&
        reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(CDN_INITDONE))
        startingDialog->DialogShown(GetParent(dialog));
    return 0;
}

BOOL TOpenDialog::ShowDialog(OPENFILENAMEW& ofn) {
    return GetOpenFileNameW(&ofn);
}

BOOL TSaveDialog::ShowDialog(OPENFILENAMEW& ofn) {
    return GetSaveFileNameW(&ofn);
}

bool TOpenDialog::Execute() {
    return DoExecute();
}

bool TOpenDialog::DoExecute() {
    const size_t bufferSize = options_.Has(ofAllowMultiSelect) ? 65536 : 4096;
    std::vector<wchar_t> buffer(bufferSize, L'\0');
    const std::wstring name = WideText(fileName_);
    std::copy_n(name.begin(), std::min(name.size(), bufferSize - 2), buffer.begin());
    const std::wstring filter = SystemFilter(filter_);
    const std::wstring initialDir = OptionalText(initialDir_);
    const std::wstring title = OptionalText(title_);
    std::string ext = defaultExt_;
    ext.erase(0, ext.find_first_not_of('.') == std::string::npos ? ext.size() : ext.find_first_not_of('.'));
    const std::wstring defaultExt = WideText(ext);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(filterIndex_, 0));
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(bufferSize);
    ofn.lpstrInitialDir = OrNull(initialDir);
    ofn.lpstrTitle = OrNull(title);
    ofn.lpstrDefExt = OrNull(defaultExt);
    ofn.Flags = SystemFlags();
    ofn.lpfnHook = options_.Has(ofOldStyleDialog) ? DialogHook : ExplorerHook;
    const bool ok = RunModal([&](HWND owner) {
        ofn.hwndOwner = owner;
        return ShowDialog(ofn);
    });
    if (!ok) return false;
    filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    if (ofn.Flags & OFN_READONLY) options_ += ofReadOnly; else options_ -= ofReadOnly;
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT) options_ += ofExtensionDifferent;
    else options_ -= ofExtensionDifferent;
    const std::vector<std::string> names = SplitFileNames(buffer.data(), buffer.size());
    files_.SetLines(names);
    fileName_ = names.empty() ? std::string() : names.front();
    return true;
}

// --- TColorDialog ---

const TClassInfo& TColorDialog::StaticClass() {
    static const TClassInfo info{"TColorDialog", &TCommonDialog::StaticClass(), {}, {}};
    return info;
}

bool TColorDialog::ParseCustomColor(const std::string& line, COLORREF& color) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    std::string value = line.substr(equals + 1);
    value.erase(0, value.find_first_not_of(" \t"));
    value.erase(value.find_last_not_of(" \t") + 1);
    if (!value.empty() && value[0] == '$') value.erase(0, 1);
    if (value.empty() || value.size() > 8) return false;
    unsigned long parsed = 0;
    for (char c : value) {
        int digit = c >= '0' && c <= '9' ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return false;
        parsed = parsed * 16 + static_cast<unsigned long>(digit);
    }
    if (parsed > 0xFFFFFF) return false;
    color = static_cast<COLORREF>(parsed);
    return true;
}

bool TColorDialog::Execute() {
    constexpr COLORREF unusedBox = RGB(255, 255, 255);
    COLORREF custom[16];
    bool given[16];
    for (int i = 0; i < 16; ++i) {
        given[i] = i < customColors_.Count() && ParseCustomColor(customColors_.Strings(i), custom[i]);
        if (!given[i]) custom[i] = unusedBox;
    }
    static const std::pair<TColorDialogOption, DWORD> table[] = {
        {cdFullOpen, CC_FULLOPEN}, {cdPreventFullOpen, CC_PREVENTFULLOPEN},
        {cdShowHelp, CC_SHOWHELP}, {cdSolidColor, CC_SOLIDCOLOR}, {cdAnyColor, CC_ANYCOLOR}};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.rgbResult = ColorToRGB(color_);
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_ENABLEHOOK;
    for (const auto& [option, flag] : table)
        if (options_.Has(option)) cc.Flags |= flag;
    cc.lpfnHook = DialogHook;
    const bool ok = RunModal([&](HWND owner) {
        cc.hwndOwner = owner;
        return ChooseColorW(&cc);
    });
    if (!ok) return false;
    color_ = static_cast<TColor>(cc.rgbResult);
    customColors_.BeginUpdate();
    for (int i = 0; i < 16; ++i) {
        if (!given[i] && custom[i] == unusedBox) continue;
        while (customColors_.Count() <= i)
            customColors_.Add(std::string("Color") + static_cast<char>('A' + customColors_.Count()) + "=");
        std::string key = customColors_.Names(i);
        if (key.empty()) key = std::string("Color") + static_cast<char>('A' + i);
        char value[16];
        wsprintfA(value, "%08x", static_cast<unsigned>(custom[i]));
        customColors_.SetStrings(i, key + "=" + value);
    }
    customColors_.EndUpdate();
    return true;
}

// --- TFontDialog ---

const TClassInfo& TFontDialog::StaticClass() {
    static const TClassInfo info{"TFontDialog", &TCommonDialog::StaticClass(), {}, {}};
    return info;
}

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner) {}

bool TFontDialog::Execute() {
    static const std::pair<TFontDialogOption, DWORD> table[] = {
        {fdAnsiOnly, CF_ANSIONLY}, {fdTrueTypeOnly, CF_TTONLY}, {fdEffects, CF_EFFECTS},
        {fdFixedPitchOnly, CF_FIXEDPITCHONLY}, {fdForceFontExist, CF_FORCEFONTEXIST},
        {fdNoFaceSel, CF_NOFACESEL}, {fdNoOEMFonts, CF_NOOEMFONTS},
        {fdNoSimulations, CF_NOSIMULATIONS}, {fdNoSizeSel, CF_NOSIZESEL},
        {fdNoStyleSel, CF_NOSTYLESEL}, {fdNoVectorFonts, CF_NOVECTORFONTS},
        {fdShowHelp, CF_SHOWHELP}, {fdWysiwyg, CF_WYSIWYG}, {fdLimitSize, CF_LIMITSIZE},
        {fdScalableOnly, CF_SCALABLEONLY}};
    LOGFONTW logFont = font_.LogFont();
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.lpLogFont = &logFont;
    cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_ENABLEHOOK;
    for (const auto& [option, flag] : table)
        if (options_.Has(option)) cf.Flags |= flag;
    cf.rgbColors = ColorToRGB(font_.Color());
    cf.nSizeMin = minFontSize_;
    cf.nSizeMax = maxFontSize_;
    cf.lpfnHook = DialogHook;
    const bool ok = RunModal([&](HWND owner) {
        cf.hwndOwner = owner;
        return ChooseFontW(&cf);
    });
    if (!ok) return false;
    font_.SetLogFont(logFont);
    if (options_.Has(fdEffects)) font_.SetColor(static_cast<TColor>(cf.rgbColors));
    return true;
}

// --- TPrintDialog ---

const TClassInfo& TPrintDialog::StaticClass() {
    static const TClassInfo info{"TPrintDialog", &TCommonDialog::StaticClass(), {}, {}};
    return info;
}

bool TPrintDialog::Execute() {
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hDevNames = CopyGlobal(Printer().DevNames());
    pd.hDevMode = CopyGlobal(Printer().DevMode());
    pd.Flags = PD_ENABLEPRINTHOOK | PD_USEDEVMODECOPIESANDCOLLATE;
    if (options_.Has(poPrintToFile)) pd.Flags |= PD_PRINTTOFILE;
    if (!options_.Has(poPageNums)) pd.Flags |= PD_NOPAGENUMS;
    if (!options_.Has(poSelection)) pd.Flags |= PD_NOSELECTION;
    if (!options_.Has(poWarning)) pd.Flags |= PD_NOWARNING;
    if (options_.Has(poDisablePrintToFile)) pd.Flags |= PD_DISABLEPRINTTOFILE;
    if (printRange_ == prSelection) pd.Flags |= PD_SELECTION;
    if (printRange_ == prPageNums) pd.Flags |= PD_PAGENUMS;
    pd.nCopies = static_cast<WORD>(std::clamp(copies_, 1, 0xFFFF));
    pd.nFromPage = static_cast<WORD>(std::clamp(fromPage_, 0, 0xFFFF));
    pd.nToPage = static_cast<WORD>(std::clamp(toPage_, 0, 0xFFFF));
    pd.nMinPage = static_cast<WORD>(std::clamp(minPage_, 0, 0xFFFF));
    pd.nMaxPage = static_cast<WORD>(std::clamp(std::max(maxPage_, minPage_), 0, 0xFFFF));
    pd.lpfnPrintHook = DialogHook;
    const bool ok = RunModal([&](HWND owner) {
        pd.hwndOwner = owner;
        return PrintDlgW(&pd);
    });
    if (!ok) {
        if (pd.hDevNames) GlobalFree(pd.hDevNames);
        if (pd.hDevMode) GlobalFree(pd.hDevMode);
        return false;
    }
    copies_ = pd.nCopies;
    if (pd.hDevMode)
        if (auto* mode = static_cast<DEVMODEW*>(GlobalLock(pd.hDevMode))) {
            if (mode->dmFields & DM_COPIES) copies_ = mode->dmCopies;
            GlobalUnlock(pd.hDevMode);
        }
    fromPage_ = pd.nFromPage;
    toPage_ = pd.nToPage;
    printRange_ = (pd.Flags & PD_SELECTION) ? prSelection : (pd.Flags & PD_PAGENUMS) ? prPageNums : prAllPages;
    printToFile_ = (pd.Flags & PD_PRINTTOFILE) != 0;
    Printer().SetDevice(pd.hDevNames, pd.hDevMode);
    Printer().SetCopies(copies_);
    return true;
}

// --- TPrinter ---

TPrinter::TPrinter() = default;

TPrinter::~TPrinter() {
    if (printing_ && dc_) AbortDoc(dc_);
    FreeDC();
    FreeDevice();
}

void TPrinter::FreeDevice() {
    if (devNames_) GlobalFree(devNames_);
    if (devMode_) GlobalFree(devMode_);
    devNames_ = nullptr;
    devMode_ = nullptr;
}

void TPrinter::FreeDC() {
    if (canvas_) canvas_->SetHandle(nullptr);
    dc_.Reset();
}

void TPrinter::SetDevice(HGLOBAL devNames, HGLOBAL devMode) {
    CheckPrinting(false);
    FreeDC();
    FreeDevice();
    devNames_ = devNames;
    devMode_ = devMode;
}

void TPrinter::SetDeviceContext(HDC dc) {
    CheckPrinting(false);
    FreeDC();
    dc_.Reset(dc);
}

bool TPrinter::HasPrinter() {
    if (dc_ || devNames_) return true;
    // The default printer's names and mode, without showing anything.
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgW(&pd)) return false;
    devNames_ = pd.hDevNames;
    devMode_ = pd.hDevMode;
    return devNames_ != nullptr;
}

HDC TPrinter::Handle() {
    if (dc_) return dc_;
    if (!HasPrinter()) throw EPrinterError(sid::NoDefaultPrinter);
    auto* names = static_cast<DEVNAMES*>(GlobalLock(devNames_));
    if (!names) throw EPrinterError(sid::InvalidPrinter);
    const auto* base = reinterpret_cast<const wchar_t*>(names);
    auto* mode = devMode_ ? static_cast<DEVMODEW*>(GlobalLock(devMode_)) : nullptr;
    dc_.Reset(CreateDCW(base + names->wDriverOffset, base + names->wDeviceOffset, nullptr, mode));
    if (mode) GlobalUnlock(devMode_);
    GlobalUnlock(devNames_);
    if (!dc_) throw EPrinterError(sid::PrinterDCError);
    return dc_;
}

TCanvas& TPrinter::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TCanvas>();
    if (!canvas_->HandleAllocated()) canvas_->SetHandle(Handle());
    return *canvas_;
}

int TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }
int TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }
int TPrinter::PixelsPerInchX() { return GetDeviceCaps(Handle(), LOGPIXELSX); }
int TPrinter::PixelsPerInchY() { return GetDeviceCaps(Handle(), LOGPIXELSY); }

void TPrinter::CheckPrinting(bool wanted) const {
    if (printing_ == wanted) return;
    throw EPrinterError(wanted ? sid::NotPrinting : sid::PrintingInProgress);
}

void TPrinter::BeginDoc() {
    CheckPrinting(false);
    HDC dc = Handle();
    const std::wstring title = WideText(title_);
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = title.c_str();
    if (StartDocW(dc, &info) <= 0) throw EPrinterError(sid::PrintStartError);
    if (StartPage(dc) <= 0) {
        AbortDoc(dc);
        throw EPrinterError(sid::PrinterError, {title_});
    }
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
    if (canvas_) canvas_->SetHandle(nullptr);
    Canvas();
}

void TPrinter::NewPage() {
    CheckPrinting(true);
    // A new page starts with the device context's default objects: select the canvas's again.
    canvas_->SetHandle(nullptr);
    if (EndPage(dc_) <= 0 || StartPage(dc_) <= 0) {
        Abort();
        throw EPrinterError(sid::PrinterError, {title_});
    }
    ++pageNumber_;
    canvas_->SetHandle(dc_);
}

void TPrinter::EndDoc() {
    CheckPrinting(true);
    canvas_->SetHandle(nullptr);
    const bool failed = EndPage(dc_) <= 0 || ::EndDoc(dc_) <= 0;
    printing_ = false;
    pageNumber_ = 0;
    FreeDC();
    if (failed) throw EPrinterError(sid::PrinterError, {title_});
}

void TPrinter::Abort() {
    CheckPrinting(true);
    AbortDoc(dc_);
    aborted_ = true;
    printing_ = false;
    pageNumber_ = 0;
    FreeDC();
}

TPrinter& Printer() {
    static TPrinter printer;
    return printer;
}
