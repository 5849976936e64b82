#include "editor/inplace_frame_win.h"

#include <algorithm>
#include <functional>

#include "editor/rich_edit_errors_win.h"
#include "editor/rich_edit_win.h"
#include "widgets/dock_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"
#include "winui/menu_win.h"
#include "winui/std_controls_win.h"
#include "winui/text_win.h"

namespace {

// Every control below Parent, depth first.
void ForEachControl(TWinControl& parent, const std::function<void(TControl&)>& visit) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        visit(*control);
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) ForEachControl(*windowed, visit);
    }
}

bool IsToolControl(const TControl& control) {
    return dynamic_cast<const TToolbar*>(&control) || dynamic_cast<const TDock*>(&control);
}

constexpr TAlign SideAlign[4] = {alLeft, alTop, alRight, alBottom};

}  // namespace

TInplaceFrame::TInplaceFrame(TForm* form, TRichEdit2& control) : form_(form), control_(&control) {}

TInplaceFrame::~TInplaceFrame() {
    if (active_) active_->Release();
    FreePlaceholders();
}

void TInplaceFrame::Detach() {
    RestoreToolControls();
    if (active_) active_->Release();
    active_ = nullptr;
    form_ = nullptr;
    control_ = nullptr;
}

HWND TInplaceFrame::FrameWindow() {
    if (form_ && form_->HandleAllocated()) return form_->Handle();
    if (control_ && control_->HandleAllocated()) return control_->Handle();
    return nullptr;
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TInplaceFrame::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE TInplaceFrame::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = FrameWindow();
    return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::ContextSensitiveHelp(WINBOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE TInplaceFrame::GetBorder(LPRECT border) {
    if (!border) return E_POINTER;
    if (!form_) return E_FAIL;
    *border = form_->ClientRect();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::RequestBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

void TInplaceFrame::SaveBoundsOnce() {
    if (boundsSaved_ || !form_) return;
    boundsSaved_ = true;
    ForEachControl(*form_, [this](TControl& control) { saved_.emplace_back(&control, control.BoundsRect()); });
}

void TInplaceFrame::HideToolControls() {
    std::vector<TControl*> tools;
    ForEachControl(*form_, [&tools](TControl& control) {
        if (IsToolControl(control)) tools.push_back(&control);
    });
    if (control_) control_->GetToolControls(tools);
    for (TControl* tool : tools) {
        if (!tool->Visible() || std::find(hidden_.begin(), hidden_.end(), tool) != hidden_.end()) continue;
        tool->Hide();
        hidden_.push_back(tool);
    }
}

void TInplaceFrame::AddPlaceholder(int side, LONG width) {
    auto* placeholder = new TPanel(nullptr);
    placeholder->SetBevelOuter(bvNone);
    placeholder->SetCaption(std::string());
    // Far outside first, so that the alignment puts it outermost on its side.
    const int outside = side < 2 ? -10000 : 10000;
    const bool horizontal = side == 1 || side == 3;
    if (horizontal) placeholder->SetBounds(0, outside, form_->ClientWidth(), width);
    else placeholder->SetBounds(outside, 0, width, form_->ClientHeight());
    placeholder->SetAlign(SideAlign[side]);
    placeholder->SetParent(form_);
    placeholders_[side] = placeholder;
}

void TInplaceFrame::FreePlaceholders() {
    for (TWinControl*& placeholder : placeholders_) {
        delete placeholder;
        placeholder = nullptr;
    }
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::SetBorderSpace(LPCBORDERWIDTHS widths) {
    if (!form_) return E_FAIL;
    if (!widths) return S_OK;
    form_->DisableAlign();
    const HRESULT result = GuardedComCall([&] {
        SaveBoundsOnce();
        HideToolControls();
        FreePlaceholders();
        const LONG sides[4] = {widths->left, widths->top, widths->right, widths->bottom};
        for (int side = 0; side < 4; ++side)
            if (sides[side] >= 0) AddPlaceholder(side, sides[side]);
        return S_OK;
    });
    form_->EnableAlign();
    return result;
}

void TInplaceFrame::RestoreToolControls() {
    if (!form_) return;
    form_->DisableAlign();
    FreePlaceholders();
    for (TControl* tool : hidden_) tool->Show();
    hidden_.clear();
    for (const auto& [control, bounds] : saved_) control->SetBoundsRect(bounds);
    saved_.clear();
    boundsSaved_ = false;
    form_->EnableAlign();
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    if (object) object->AddRef();
    if (active_) active_->Release();
    active_ = object;
    if (!object || !form_ || !form_->HandleAllocated()) return S_OK;
    return GuardedComCall([&] { return BringObjectWindowUp(object); });
}

HRESULT TInplaceFrame::BringObjectWindowUp(IOleInPlaceActiveObject* object) {
    HWND objectWindow = nullptr;
    if (SUCCEEDED(object->GetWindow(&objectWindow)) && objectWindow) {
        // The object's outermost window inside the form comes to the top of the form's children.
        HWND formWindow = form_->Handle();
        HWND child = objectWindow;
        while (child && GetParent(child) && GetParent(child) != formWindow) child = GetParent(child);
        if (child && GetParent(child) == formWindow)
            SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    clientSize_ = SIZE{form_->ClientWidth(), form_->ClientHeight()};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) {
    if (!shared || !widths) return E_POINTER;
    // The file, container and window groups; the form's main menu gives its items to the container group.
    widths->width[0] = 0;
    widths->width[2] = 0;
    widths->width[4] = 0;
    TMainMenu* menu = form_ ? form_->Menu() : nullptr;
    if (!menu) return S_OK;
    return GuardedComCall([&] {
        const int before = GetMenuItemCount(shared);
        menu->Items().AppendTo(shared);
        widths->width[2] = std::max(GetMenuItemCount(shared) - before, 0);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::SetMenu(HMENU shared, HOLEMENU descriptor, HWND objectWindow) {
    HWND frame = FrameWindow();
    if (!frame || !form_) return E_FAIL;
    if (shared) {
        ::SetMenu(frame, shared);
        return OleSetMenuDescriptor(descriptor, frame, objectWindow, this, active_);
    }
    return GuardedComCall([&] {
        TMainMenu* menu = form_->Menu();
        ::SetMenu(frame, menu && menu->Items().Count() > 0 ? menu->Handle() : nullptr);
        return OleSetMenuDescriptor(nullptr, frame, nullptr, nullptr, nullptr);
    });
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::RemoveMenus(HMENU shared) {
    if (!shared) return E_POINTER;
    while (GetMenuItemCount(shared) > 0) RemoveMenu(shared, 0, MF_BYPOSITION);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::SetStatusText(LPCOLESTR text) {
    return GuardedComCall([&] {
        if (Application) Application->SetHint(text ? NarrowText(text) : std::string());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TInplaceFrame::EnableModeless(WINBOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE TInplaceFrame::TranslateAccelerator(LPMSG message, WORD) {
    if (!message || !form_ || !form_->Menu()) return S_FALSE;
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN) return S_FALSE;
    TMessage key{message->message, message->wParam, message->lParam, 0};
    bool taken = false;
    // A shortcut whose command failed was taken all the same.
    if (FAILED(GuardedComCall([&] {
            taken = form_->Menu()->IsShortCut(key);
            return S_OK;
        })))
        return S_OK;
    return taken ? S_OK : S_FALSE;
}
