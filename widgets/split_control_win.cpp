#include "widgets/split_control_win.h"

#include "widgets/split_logic.h"
#include "winui/form_win.h"

namespace {

TSplitControl* running = nullptr;

POINT CursorPos() {
    POINT p;
    GetCursorPos(&p);
    return p;
}

bool LeftButtonDown() {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(button) & 0x8000) != 0;
}

// A control's rectangle in the client coordinates of Form.
RECT RectIn(TControl& control, TWinControl& form) {
    const POINT origin = control.ClientOrigin();
    const POINT formOrigin = form.ClientOrigin();
    const int left = origin.x - formOrigin.x, top = origin.y - formOrigin.y;
    return RECT{left, top, left + control.Width(), top + control.Height()};
}

TWinControl* FormOf(TControl& bar) {
    if (TForm* form = bar.ParentForm()) return form;
    TWinControl* top = bar.Parent();
    while (top && top->Parent()) top = top->Parent();
    return top;
}

}  // namespace

const TClassInfo& TSplitControl::StaticClass() {
    static const TClassInfo info{"TSplitControl", &TWinControl::StaticClass(), {}, {}};
    return info;
}

TSplitControl* TSplitControl::Running() { return running; }

TSplitControl* TSplitControl::Start(TControl& bar, int minSize, int maxSize, TControl& sized) {
    TWinControl* form = FormOf(bar);
    if (!form || !form->HandleAllocated() || !LeftButtonDown()) return nullptr;
    auto* split = new TSplitControl(*form, bar, minSize, maxSize, sized);
    try {
        split->Begin();
    } catch (...) {
        delete split;
        throw;
    }
    return split;
}

TSplitControl::TSplitControl(TWinControl& form, TControl& bar, int minSize, int maxSize, TControl& sized)
    : TWinControl(&form), form_(form), bar_(bar), sized_(sized), minSize_(minSize), maxSize_(maxSize),
      horizontal_(bar.Width() > bar.Height()) {
    SetVisible(false);
    SetBounds(0, 0, 0, 0);
    const RECT barRect = RectIn(bar, form), sizedRect = RectIn(sized, form);
    // The sized control below or right of the bar grows when the bar moves the other way.
    if (horizontal_) sign_ = sizedRect.top >= barRect.bottom - 1 ? -1 : 1;
    else sign_ = sizedRect.left >= barRect.right - 1 ? -1 : 1;
    size_ = horizontal_ ? sized.Height() : sized.Width();
    SetParent(&form);
}

TSplitControl::~TSplitControl() {
    Finish(false);
    if (running == this) running = nullptr;
}

void TSplitControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style &= ~WS_VISIBLE;
}

void TSplitControl::Begin() {
    HandleNeeded();
    GetCursorPos(&start_);
    SetCapture(Handle());
    // A cache context of the form that does not leave out the child windows, so that the line
    // runs across them.
    dc_.emplace(TWindowDC::WithOptions(form_.Handle(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE));
    running = this;
    InvertLine();
}

RECT TSplitControl::LineRect() const {
    const RECT bar = RectIn(bar_, form_);
    RECT client;
    GetClientRect(form_.Handle(), &client);
    const int thickness = horizontal_ ? bar.bottom - bar.top : bar.right - bar.left;
    const int width = SplitLineWidth(thickness);
    if (horizontal_) {
        const int y = (bar.top + bar.bottom) / 2 - width / 2 + offset_;
        return RECT{client.left, y, client.right, y + width};
    }
    const int x = (bar.left + bar.right) / 2 - width / 2 + offset_;
    return RECT{x, client.top, x + width, client.bottom};
}

void TSplitControl::InvertLine() {
    if (!dc_ || !*dc_) return;
    const RECT r = LineRect();
    PatBlt(*dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, DSTINVERT);
    lineShown_ = !lineShown_;
}

void TSplitControl::Move(POINT screen) {
    const int moved = horizontal_ ? screen.y - start_.y : screen.x - start_.x;
    const int offset = LimitSplitOffset(size_, moved, sign_, minSize_, maxSize_);
    if (offset == offset_) return;
    InvertLine();
    offset_ = offset;
    InvertLine();
}

void TSplitControl::Finish(bool apply) {
    if (finished_) return;
    finished_ = true;
    if (lineShown_) InvertLine();
    dc_.reset();
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    if (running == this) running = nullptr;
    if (!apply) return;
    const int size = SplitResult(size_, offset_, sign_);
    if (horizontal_) sized_.SetHeight(size);
    else sized_.SetWidth(size);
    if (OnSplit) OnSplit(sized_);
}

void TSplitControl::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_MOUSEMOVE:
        if (!finished_) Move(CursorPos());
        return;
    case WM_LBUTTONUP: WMLButtonUp(msg); return;
    case WM_CAPTURECHANGED: WMCaptureChanged(msg); return;
    case CM_RELEASE: delete this; return;
    default: TWinControl::WndProc(msg);
    }
}

void TSplitControl::WMLButtonUp(TMessage&) {
    if (finished_) return;
    Move(CursorPos());
    Finish(true);
    // Freed once this message is done.
    PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TSplitControl::WMCaptureChanged(TMessage& msg) {
    // Capture taken away: the drag ends where it was, without resizing.
    if (finished_ || reinterpret_cast<HWND>(msg.LParam) == Handle()) return;
    Finish(false);
    PostMessageW(Handle(), CM_RELEASE, 0, 0);
}
