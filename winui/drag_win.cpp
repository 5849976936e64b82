#include "winui/drag_win.h"

#include <cstdlib>

#include "winui/application_win.h"

// The drag manager: one drag at a time. A hidden window holds the mouse capture while the drag
// runs, so that every mouse message of the thread comes here whatever window is under the cursor.
class TDragManager {
public:
    static TDragManager& Instance() {
        static TDragManager manager;
        return manager;
    }

    bool Active() const { return active_; }
    TDragObject* Object() const { return started_ ? object_ : nullptr; }

    void Begin(TControl* source, TDragObject* object, bool immediate, int threshold) {
        if (active_) Done(false);
        active_ = true;
        started_ = false;
        source_ = source;
        object_ = object;
        target_ = nullptr;
        accepted_ = false;
        threshold_ = threshold >= 0 ? threshold : GetSystemMetrics(SM_CXDRAG);
        GetCursorPos(&start_);
        pos_ = start_;
        capturing_ = true;
        SetCapture(Window());
        if (immediate) Start();
    }

    void Start() {
        started_ = true;
        if (!object_) {
            TDragObject* made = nullptr;
            if (source_) source_->DoStartDrag(made);
            if (!made) {
                made = new TDragObject(source_);
                made->SetAutoFree(true);
            }
            object_ = made;
        }
        if (!object_->Control()) object_->SetControl(source_);
        MoveTo(pos_);
    }

    void MoveTo(POINT pos) {
        pos_ = pos;
        if (!started_) {
            if (std::abs(pos.x - start_.x) < threshold_ && std::abs(pos.y - start_.y) < threshold_) return;
            Start();
            return;
        }
        TControl* target = TWinControl::FindDragTarget(pos, false);
        rec_.Source = object_;
        rec_.Target = target;
        rec_.Pos = pos;
        if (target && target->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<LPARAM>(&rec_)) == 0) target = nullptr;
        if (target != target_) {
            if (target_) Send(target_, dmDragLeave);
            target_ = target;
            accepted_ = target_ ? Send(target_, dmDragEnter) : false;
        } else if (target_) {
            accepted_ = Send(target_, dmDragMove);
        }
        if (object_) {
            object_->target_ = target_;
            object_->pos_ = pos_;
            if (Screen) ::SetCursor(Screen->Cursors(object_->GetDragCursor(accepted_, pos.x, pos.y)));
        }
    }

    // Ends the drag; with Drop it is dropped on the target when that accepts.
    void Done(bool drop) {
        if (!active_) return;
        active_ = false;
        if (capturing_) {
            capturing_ = false;
            if (GetCapture() == window_) ReleaseCapture();
        }
        TDragObject* object = object_;
        TControl* target = target_;
        bool accepted = started_ && drop && target && accepted_;
        bool started = started_;
        object_ = nullptr;
        target_ = nullptr;
        source_ = nullptr;
        started_ = false;
        if (!started || !object) return;
        object->cancelling_ = !drop;
        if (target) {
            activeObject_ = object;
            if (accepted) Send(target, dmDragDrop, object);
            else Send(target, dmDragLeave, object);
            activeObject_ = nullptr;
        }
        POINT p = pos_;
        if (target) p = target->ScreenToClient(pos_);
        object->Finished(accepted ? target : nullptr, p.x, p.y, accepted);
        if (object->AutoFree()) delete object;
        if (Screen) Screen->SetCursor(Screen->Cursor());
    }

    // A release before the drag really started: the source gets its button-up after all.
    void Abandon(const MSG& msg) {
        TControl* source = source_;
        Done(false);
        if (!source) return;
        TWinControl* window = dynamic_cast<TWinControl*>(source);
        POINT p = msg.pt;
        if (!window) window = source->Parent();
        if (!window || !window->HandleAllocated()) return;
        ScreenToClient(window->Handle(), &p);
        PostMessageW(window->Handle(), msg.message, msg.wParam, MAKELPARAM(p.x, p.y));
    }

    bool Filter(const MSG& msg) {
        if (!active_) return false;
        bool ours = msg.hwnd == window_;
        if (object_ && started_ && (ours || msg.message == WM_KEYDOWN || msg.message == WM_KEYUP)) object_->DragMessage(msg);
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            Done(false);
            return true;
        }
        if (!ours) return false;
        switch (msg.message) {
        case WM_MOUSEMOVE: MoveTo(msg.pt); return true;
        case WM_LBUTTONUP:
            if (!started_) Abandon(msg);
            else {
                MoveTo(msg.pt);
                Done(true);
            }
            return true;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: Done(false); return true;
        default: return false;
        }
    }

    void ControlDestroyed(TControl* control) {
        if (!active_) return;
        if (object_ && object_->Control() == control) object_->SetControl(nullptr);
        if (target_ == control) {
            target_ = nullptr;
            accepted_ = false;
        }
        if (source_ == control) {
            source_ = nullptr;
            Done(false);
        }
    }

    void ObjectDestroyed(TDragObject* object) {
        if (object_ == object) {
            object_ = nullptr;
            Done(false);
        }
    }

private:
    bool Send(TControl* target, TDragMessage message, TDragObject* object = nullptr) {
        rec_.Source = object ? object : object_;
        rec_.Target = target;
        rec_.Pos = pos_;
        rec_.Accepted = false;
        if (!rec_.Source) return false;
        target->Perform(CM_DRAG, message, reinterpret_cast<LPARAM>(&rec_));
        return rec_.Accepted;
    }

    HWND Window() {
        if (window_) return window_;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VarnoletDragWindow";
        RegisterClassExW(&wc);
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        return window_;
    }

    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        TDragManager& self = Instance();
        if (msg == WM_CAPTURECHANGED && self.capturing_ && reinterpret_cast<HWND>(lParam) != window) {
            self.capturing_ = false;
            GuardedCall([&] { self.Done(false); });
            return 0;
        }
        if (msg == WM_SETCURSOR && self.active_) return TRUE;
        return DefWindowProcW(window, msg, wParam, lParam);
    }

    HWND window_ = nullptr;
    bool active_ = false;
    bool started_ = false;
    bool capturing_ = false;
    TControl* source_ = nullptr;
    TDragObject* object_ = nullptr;
    TDragObject* activeObject_ = nullptr;
    TControl* target_ = nullptr;
    bool accepted_ = false;
    int threshold_ = 4;
    POINT start_{};
    POINT pos_{};
    TDragRec rec_;
};

TDragObject::~TDragObject() { TDragManager::Instance().ObjectDestroyed(this); }

TCursor TDragObject::GetDragCursor(bool accepted, int, int) {
    if (!accepted) return crNoDrop;
    return control_ ? control_->DragCursor() : crDrag;
}

void TDragObject::Finished(TControl* target, int x, int y, bool) {
    if (control_) control_->DoEndDrag(target, x, y);
}

TDragObject* CurrentDragObject() { return TDragManager::Instance().Object(); }

bool DragActive() { return TDragManager::Instance().Active(); }

void BeginDragObject(TControl* control, TDragObject* object, bool immediate, int threshold) {
    TDragManager::Instance().Begin(control, object, immediate, threshold);
}

void EndDragObject(bool drop) { TDragManager::Instance().Done(drop); }

void CancelDrag() { TDragManager::Instance().Done(false); }

bool DragFilterMessage(const MSG& msg) { return TDragManager::Instance().Filter(msg); }

void DragControlDestroyed(TControl* control) { TDragManager::Instance().ControlDestroyed(control); }
