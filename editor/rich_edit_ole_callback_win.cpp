#include "editor/rich_edit_ole_callback_win.h"

#include <exception>

#include "editor/inplace_frame_win.h"
#include "editor/rich_edit_errors_win.h"
#include "editor/rich_edit_ole_win.h"
#include "editor/rich_edit_win.h"
#include "winui/application_win.h"

TRichEditOleCallback::TRichEditOleCallback(TRichEditOle& owner) : owner_(&owner) {}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRichEditOleCallback)) {
        *object = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TRichEditOleCallback::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE TRichEditOleCallback::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetNewStorage(LPSTORAGE* storage) {
    if (!storage) return E_POINTER;
    *storage = nullptr;
    if (!owner_) return E_FAIL;
    return GuardedComCall([&] {
        *storage = owner_->NewStorage();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                                  LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!owner_ || owner_->InplaceLock() != 0 || !owner_->Owner().InplaceEditObjects()) return E_NOTIMPL;
    if (!frame || !document || !frameInfo) return E_POINTER;
    return GuardedComCall([&] {
        TInplaceFrame* inplace = owner_->Frame();
        inplace->AddRef();
        inplace->AddRef();
        *frame = inplace;
        *document = inplace;
        frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        frameInfo->fMDIApp = FALSE;
        HWND window = nullptr;
        if (FAILED(inplace->GetWindow(&window)) || !window) window = owner_->Owner().Handle();
        frameInfo->hwndFrame = window;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::ShowContainerUI(WINBOOL show) {
    if (!show || !owner_ || !owner_->ExistingFrame()) return S_OK;
    return GuardedComCall([&] {
        owner_->ExistingFrame()->RestoreToolControls();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::DeleteObject(LPOLEOBJECT object) {
    if (owner_) owner_->ObjectDeleted(object);
    return S_OK;
}

// Answering OK lets the control paste and take drops in its own formats.
HRESULT STDMETHODCALLTYPE TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, WINBOOL, HGLOBAL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::ContextSensitiveHelp(WINBOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetClipboardData(CHARRANGE* range, DWORD operation, LPDATAOBJECT* data) {
    if (data) *data = nullptr;
    // The control's own interface may ask this callback again: the second time it gets the
    // control's default handling.
    if (!owner_ || !owner_->RichEditOle() || inClipboardData_) return E_NOTIMPL;
    inClipboardData_ = true;
    const HRESULT result = owner_->RichEditOle()->GetClipboardData(range, operation, data);
    inClipboardData_ = false;
    return result;
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetDragDropEffect(WINBOOL, DWORD, LPDWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) {
    // The editor shows its own popup menu.
    if (menu) *menu = nullptr;
    return S_OK;
}
