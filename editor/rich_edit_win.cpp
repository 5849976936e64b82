#include "editor/rich_edit_win.h"

#include <richedit.h>
#include <richole.h>

#include <algorithm>
#include <vector>

#include "base/strings.h"
#include "base/string_ids.h"
#include "editor/embedded_objects.h"
#include "editor/rich_edit_errors_win.h"
#include "editor/rich_edit_ole_win.h"
#include "editor/rich_edit_print_win.h"
#include "winui/application_win.h"
#include "winui/dialogs_win.h"
#include "winui/form_win.h"
#include "winui/gdi_scope_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

namespace {

// The notifications the control is asked for: change, request-resize, selection change, protected.
constexpr LPARAM RichEditEventMask = ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED;
// A text limit of 0 would give the control's small default limit.
constexpr LPARAM UnlimitedText = 0x7FFFFFFF;
// The edit style bit the rich edit control must not get (it means something else there).
constexpr DWORD EditUpperCaseStyle = 0x0008;
// Above this many characters Clear makes a new, empty window instead of deleting the text: the
// time to delete a text from the control grows faster than the text (with Wine's rich edit one
// megabyte takes seconds), while a new window is empty at once.
constexpr int LongTextLength = 64 * 1024;
// How often a long operation lets the window answer messages sent to it, in milliseconds.
constexpr DWORD AnswerInterval = 15;
// The width of the older library's right edge that it leaves unpainted.
constexpr int OlderLibraryEdgeStrip = 3;

bool KeyHeld(int key) { return GetKeyState(key) < 0; }

int16_t AsyncEscapeState() { return GetAsyncKeyState(VK_ESCAPE); }

// Whether the system locale is a far-east one other than Japanese.
bool FarEastLocaleNotJapanese() {
    const LANGID language = PRIMARYLANGID(GetSystemDefaultLangID());
    return language == LANG_CHINESE || language == LANG_KOREAN;
}

}  // namespace

const TClassInfo& TRichEdit2::StaticClass() {
    static const TClassInfo info{"TRichEdit2", &TCustomMemo::StaticClass(), {}, {}};
    return info;
}

TRichEdit2::TRichEdit2(TComponent* owner, TRichEditLibrary* library)
    : TCustomMemo(owner),
      library_(library ? *library : TRichEditLibrary::Process()),
      escapeLatch_(AsyncEscapeState) {
    SetLinesAdapter(std::make_unique<TRichEdit2Strings>(*this));
    selAttributes_ = std::make_unique<TTextAttributes2>(*this, atSelected);
    defAttributes_ = std::make_unique<TTextAttributes2>(*this, atDefaultText);
    paragraph_ = std::make_unique<TParaAttributes2>(*this);
    TWindowDC screen;
    screenPixelsPerInch_ = GetDeviceCaps(screen, LOGPIXELSY);
    SetTabStop(true);
    SetBounds(Left(), Top(), 185, 89);
    ole_ = std::make_unique<TRichEditOle>(*this);
}

TRichEdit2::~TRichEdit2() {
    // The control may still call the object callback while its window goes: cut it off first.
    ole_->CloseObjects();
}

int TRichEdit2::RichEditVersion() { return library_.Version(); }

TRichEdit2Strings& TRichEdit2::Lines() { return static_cast<TRichEdit2Strings&>(TCustomMemo::Lines()); }

bool TRichEdit2::PlainText() { return Lines().PlainText(); }

void TRichEdit2::SetPlainText(bool plainText) { Lines().SetPlainText(plainText); }

void TRichEdit2::SetHideScrollBars(bool hide) {
    if (hideScrollBars_ == hide) return;
    hideScrollBars_ = hide;
    RecreateWnd();
}

void TRichEdit2::SetHideSelection(bool hide) {
    if (hideSelection_ == hide) return;
    hideSelection_ = hide;
    if (HandleAllocated() && RichEditVersion() > 0) SendMessageW(Handle(), EM_HIDESELECTION, hide, 1);
    else RecreateWnd();
}

void TRichEdit2::SetDocumentTitle(const std::string& title) {
    documentTitle_ = title;
    ole_->SetHostNames();
}

// --- the window ---

void TRichEdit2::CreateParams(TCreateParams& params) {
    TCustomMemo::CreateParams(params);
    if (RichEditVersion() > 0) {
        params.WinClassName = library_.WindowClass();
        params.Style &= ~EditUpperCaseStyle;
        if (!hideScrollBars_) params.Style |= ES_DISABLENOSCROLL;
        if (!hideSelection_) params.Style |= ES_NOHIDESEL;
    }
    params.ClassStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TRichEdit2::CreateWindowHandle(const TCreateParams& params) {
    if (FarEastLocaleNotJapanese()) Font().SetCharSet(DEFAULT_CHARSET);
    TCustomMemo::CreateWindowHandle(params);
    if (RichEditVersion() == 0) return;
    HWND window = Handle();
    // The limit and the object callback come before any text is streamed in.
    SendMessageW(window, EM_EXLIMITTEXT, 0, MaxLength() > 0 ? MaxLength() : UnlimitedText);
    SendMessageW(window, EM_SETEVENTMASK, 0, RichEditEventMask);
    // The selection bar as an option: as a creation style its bit would maximize a child window.
    if (RichEditVersion() >= 2) SendMessageW(window, EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
    // The rich edit control wraps unless told to lay its lines out without a target width.
    if (!WordWrap()) SendMessageW(window, EM_SETTARGETDEVICE, 0, 1);
    SendBackgroundColor();
    ole_->InstallCallback();
    RestoreKeptText();
}

void TRichEdit2::RestoreKeptText() {
    if (!keptText_) return;
    std::unique_ptr<TMemoryStream> kept = std::move(keptText_);
    Lines().RestoreText(*kept);
    SetModified(keptModified_);
}

void TRichEdit2::DestroyWnd() {
    // A window dropped by Clear takes its text with it, and nothing of it is kept.
    if (discardText_) return;
    if (HandleAllocated() && RichEditVersion() > 0) {
        keptModified_ = Modified();
        auto kept = std::make_unique<TMemoryStream>();
        Lines().KeepText(*kept);
        kept->SetPosition(0);
        keptText_ = std::move(kept);
    }
    TCustomMemo::DestroyWnd();
}

void TRichEdit2::SendBackgroundColor() {
    if (!HandleAllocated() || RichEditVersion() == 0) return;
    SendMessageW(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

// --- edit operations ---

int TRichEdit2::SelStart() {
    if (RichEditVersion() == 0) return TCustomMemo::SelStart();
    CHARRANGE range{};
    SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin;
}

void TRichEdit2::SetSelStart(int start) {
    if (RichEditVersion() == 0) return TCustomMemo::SetSelStart(start);
    CHARRANGE range{start, start};
    SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TRichEdit2::SelLength() {
    if (RichEditVersion() == 0) return TCustomMemo::SelLength();
    CHARRANGE range{};
    SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax - range.cpMin;
}

void TRichEdit2::SetSelLength(int length) {
    if (RichEditVersion() == 0) return TCustomMemo::SetSelLength(length);
    HWND window = Handle();
    CHARRANGE range{};
    SendMessageW(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    range.cpMax = range.cpMin + length;
    SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(window, EM_SCROLLCARET, 0, 0);
}

std::string TRichEdit2::SelText() {
    if (RichEditVersion() == 0) return TCustomMemo::SelText();
    std::vector<char> buffer(static_cast<size_t>(std::max(SelLength(), 0)) + 1, '\0');
    // The window is of the ANSI class: the text comes as code page bytes.
    const LRESULT got = SendMessageA(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<size_t>(std::clamp<LRESULT>(got, 0, buffer.size() - 1)));
}

void TRichEdit2::SetSelText(const std::string& text) {
    if (RichEditVersion() == 0) return TCustomMemo::SetSelText(text);
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

int TRichEdit2::GetSelTextBuf(char* buffer, int bufferSize) {
    if (bufferSize <= 0) return 0;
    const std::string text = SelText();
    const int count = std::min(static_cast<int>(text.size()), bufferSize - 1);
    std::copy_n(text.data(), count, buffer);
    buffer[count] = '\0';
    return count;
}

void TRichEdit2::SelectAll() {
    if (RichEditVersion() == 0) return TCustomMemo::SelectAll();
    CHARRANGE all{0, -1};
    SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
}

void TRichEdit2::SetMaxLength(int length) {
    TCustomMemo::SetMaxLength(length);
    if (HandleAllocated() && RichEditVersion() > 0)
        SendMessageW(Handle(), EM_EXLIMITTEXT, 0, length > 0 ? length : UnlimitedText);
}

void TRichEdit2::Clear() {
    if (RichEditVersion() > 0 && HandleAllocated() && TextLength() > LongTextLength) return ClearByNewWindow();
    LockNotify();
    try {
        TCustomMemo::Clear();
        SetModified(false);
    } catch (...) {
        UnlockNotify();
        throw;
    }
    UnlockNotify();
}

void TRichEdit2::ClearByNewWindow() {
    const bool focused = Focused();
    discardText_ = true;
    try {
        DestroyHandle();
    } catch (...) {
        discardText_ = false;
        throw;
    }
    discardText_ = false;
    SetText(std::string());  // what the new window starts with
    HandleNeeded();
    SetModified(false);
    if (focused && CanFocus()) ::SetFocus(Handle());
}

int TRichEdit2::TextLength() {
    HWND window = Handle();
    if (RichEditVersion() >= 2) {
        GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
        return static_cast<int>(SendMessageW(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    }
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

void TRichEdit2::Change() {
    if (notifyLock_ > 0) return;
    TCustomMemo::Change();
}

// --- long operations ---

void TRichEdit2::Print() {
    if (RichEditVersion() == 0) return;
    TRichEditPrintJob job(*this, Printer());
    job.Run();
}

void TRichEdit2::DoProgress(int action, int max, int current) {
    if (OnProgress) OnProgress(*this, action, max, current);
    if (action != paIdle) AnswerSentMessages();
}

void TRichEdit2::AnswerSentMessages() {
    // Messages other threads send to the program's windows are answered during the long
    // operation, every few milliseconds (a look at the queue is not free); nothing posted is
    // taken from the queue.
    const DWORD now = GetTickCount();
    if (now - lastAnswered_ < AnswerInterval) return;
    lastAnswered_ = now;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// --- notifications ---

void TRichEdit2::RequestSize(const RECT& rect) {
    if (OnResizeRequest) OnResizeRequest(*this, rect);
}

void TRichEdit2::SelectionChange() {
    if (OnSelectionChange) OnSelectionChange(*this);
}

bool TRichEdit2::ProtectChange(int startPos, int endPos) {
    bool allowChange = false;
    if (OnProtectChange) OnProtectChange(*this, startPos, endPos, allowChange);
    return allowChange;
}

bool TRichEdit2::SaveClipboard(int numObjects, int numChars) {
    bool saveClipboard = true;
    if (OnSaveClipboard) OnSaveClipboard(*this, numObjects, numChars, saveClipboard);
    return saveClipboard;
}

void TRichEdit2::CNNotify(TMessage& msg) {
    msg.Result = 0;
    const auto* header = reinterpret_cast<const NMHDR*>(msg.LParam);
    if (!header || notifyLock_ > 0) return;
    switch (header->code) {
    case EN_REQUESTRESIZE:
        RequestSize(reinterpret_cast<const REQRESIZE*>(header)->rc);
        return;
    case EN_SELCHANGE:
        SelectionChange();
        return;
    case EN_PROTECTED: {
        const CHARRANGE& range = reinterpret_cast<const ENPROTECTED*>(header)->chrg;
        if (!ProtectChange(range.cpMin, range.cpMax)) msg.Result = 1;
        return;
    }
    case EN_SAVECLIPBOARD: {
        const auto* save = reinterpret_cast<const ENSAVECLIPBOARD*>(header);
        if (!SaveClipboard(save->cObjectCount, save->cch)) msg.Result = 1;
        return;
    }
    case EN_OLEOPFAILED:
        Application->MessageBox(LoadStr(sid::ObjectCannotOpen), std::string(), MB_OK | MB_ICONSTOP);
        return;
    default: return;
    }
}

// --- embedded objects ---

bool TRichEdit2::ObjectsAvailable() { return ole_->ObjectsAvailable(); }

void TRichEdit2::PasteSpecialDialog() { ole_->PasteSpecialDialog(); }

void TRichEdit2::InsertObjectDialog() { ole_->InsertObjectDialog(); }

void TRichEdit2::ObjectPropertiesDialog() { ole_->ObjectPropertiesDialog(); }

IDataObject* TRichEdit2::WholeTextDataObject() {
    IRichEditOle* richOle = ole_->RichEditOle();
    if (!richOle) return nullptr;
    // The real length, not -1 for "to the end": Wine's rich edit fails on an open range.
    CHARRANGE whole{0, TextLength()};
    IDataObject* data = nullptr;
    if (FAILED(richOle->GetClipboardData(&whole, RECO_COPY, &data))) return nullptr;
    return data;
}

void TRichEdit2::GetToolControls(std::vector<TControl*>& list) {
    if (OnGetToolControls) OnGetToolControls(*this, list);
}

// --- the window procedure ---

bool TRichEdit2::IsModifiedTab(const TMessage& msg) const {
    if (msg.Msg != WM_KEYDOWN && msg.Msg != WM_CHAR) return false;
    if (msg.WParam != VK_TAB) return false;
    return KeyHeld(VK_SHIFT) || KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU);
}

void TRichEdit2::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_KEYDOWN:
    case WM_CHAR:
        if (IsModifiedTab(msg)) return WMKeyTab(msg);
        break;
    case WM_LBUTTONUP: return WMLButtonUp(msg);
    case WM_RBUTTONUP: return WMRButtonUp(msg);
    case WM_SETCURSOR: return WMSetCursor(msg);
    case WM_ERASEBKGND: return WMEraseBkgnd(msg);
    case WM_PAINT: return WMPaint(msg);
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_WINDOWPOSCHANGED: return WMScrollOrMove(msg);
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_NCDESTROY: return WMCloseObjects(msg);
    case WM_SETFONT: return WMSetFont(msg);
    case CM_COLORCHANGED: return CMColorChanged(msg);
    case CN_NOTIFY: return CNNotify(msg);
    default: break;
    }
    TCustomMemo::WndProc(msg);
}

void TRichEdit2::DefaultHandler(TMessage& msg) {
    // With a rich edit library the right button belongs to the object menu, not to the control.
    if ((msg.Msg == WM_RBUTTONDOWN || msg.Msg == WM_RBUTTONUP) && RichEditVersion() > 0) {
        msg.Result = 0;
        return;
    }
    TCustomMemo::DefaultHandler(msg);
}

void TRichEdit2::WMKeyTab(TMessage& msg) {
    // Ctrl+Tab and Shift+Tab always move the focus, even where Tab goes into the text.
    msg.Result = 0;
    if (msg.Msg != WM_KEYDOWN) return;
    if (TForm* form = ParentForm()) form->SelectNext(this, !KeyHeld(VK_SHIFT), true);
}

void TRichEdit2::WMLButtonUp(TMessage& msg) {
    TCustomMemo::WndProc(msg);
    // The plain edit tells nobody that the selection changed.
    if (RichEditVersion() == 0) SelectionChange();
}

void TRichEdit2::WMRButtonUp(TMessage& msg) {
    TCustomMemo::WndProc(msg);
    if (RichEditVersion() == 0) return;
    ShowObjectMenu(POINT{MouseX(msg), MouseY(msg)});
}

void TRichEdit2::ShowObjectMenu(POINT client) {
    TPopupMenu* menu = PopupMenu();
    if (!menu || !HandleAllocated()) return;
    HWND window = Handle();
    SendMessageW(window, WM_CANCELMODE, 0, 0);
    REOBJECT object{};
    if (ole_->ObjectAtPoint(client, object)) {
        // Selects the object as a click on it would.
        const LPARAM at = PointToLParam(client.x, client.y);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
    }
    ole_->AddObjectVerbs(*menu);
    try {
        POINT screen{};
        GetCursorPos(&screen);
        menu->SetPopupComponent(this);
        menu->Popup(screen.x, screen.y);
        MSG pending;
        while (PeekMessageW(&pending, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageW(&pending);
    } catch (...) {
        ole_->RestoreObjectItem(*menu);
        throw;
    }
    ole_->RestoreObjectItem(*menu);
}

void TRichEdit2::WMSetCursor(TMessage& msg) {
    const int version = RichEditVersion();
    if (version > 0 && reinterpret_cast<HWND>(msg.WParam) == Handle()) {
        const UINT hit = LOWORD(msg.LParam);
        if (hit == HTCLIENT) {
            POINT at{};
            GetCursorPos(&at);
            ::ScreenToClient(Handle(), &at);
            REOBJECT object{};
            if (ole_->ObjectAtPoint(at, object) && ObjectShowsArrow(object.dwFlags)) {
                ::SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
                msg.Result = TRUE;
                return;
            }
        }
        if (version == 1 && (hit == HTCLIENT || hit == HTVSCROLL || hit == HTHSCROLL)) {
            const LPCWSTR cursor = reinterpret_cast<LPCWSTR>(hit == HTCLIENT ? IDC_IBEAM : IDC_ARROW);
            ::SetCursor(LoadCursorW(nullptr, cursor));
            msg.Result = TRUE;
            return;
        }
    }
    TCustomMemo::WndProc(msg);
}

void TRichEdit2::WMEraseBkgnd(TMessage& msg) {
    if (!GetUpdateRect(Handle(), nullptr, FALSE)) {
        msg.Result = 1;
        return;
    }
    TCustomMemo::WndProc(msg);
}

void TRichEdit2::WMPaint(TMessage& msg) {
    if (RichEditVersion() != 1) return TCustomMemo::WndProc(msg);
    if (painting_) return TCustomMemo::DefaultHandler(msg);
    HWND window = Handle();
    RECT update{};
    GetUpdateRect(window, &update, FALSE);
    RECT client{};
    GetClientRect(window, &client);
    RECT strip{client.right - OlderLibraryEdgeStrip, client.top, client.right, client.bottom};
    RECT overlap{};
    // The older library leaves its right edge unpainted when only part of it is updated.
    if (IntersectRect(&overlap, &update, &strip)) InvalidateRect(window, &strip, TRUE);
    painting_ = true;
    try {
        TCustomMemo::WndProc(msg);
    } catch (...) {
        painting_ = false;
        throw;
    }
    painting_ = false;
}

void TRichEdit2::WMScrollOrMove(TMessage& msg) {
    TCustomMemo::WndProc(msg);
    if (RichEditVersion() == 0) return;
    // Objects moved with the text: positions known so far are no longer right.
    ole_->ForgetCachedObject();
    ole_->RepositionInplaceObject();
}

void TRichEdit2::WMCloseObjects(TMessage& msg) {
    if (RichEditVersion() > 0) ole_->CloseObjects();
    TCustomMemo::WndProc(msg);
}

void TRichEdit2::WMSetFont(TMessage& msg) {
    TCustomMemo::WndProc(msg);
    if (RichEditVersion() > 0 && HandleAllocated()) DefAttributes().Assign(&Font());
}

void TRichEdit2::CMColorChanged(TMessage& msg) {
    TCustomMemo::WndProc(msg);
    SendBackgroundColor();
}
