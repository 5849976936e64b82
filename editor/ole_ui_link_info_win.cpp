#include "editor/ole_ui_link_info_win.h"

#include <cwchar>

#include "editor/rich_edit_errors_win.h"
#include "editor/rich_edit_ole_win.h"
#include "editor/rich_edit_win.h"
#include "winui/text_win.h"

namespace {

// A copy of Text in task memory, as the OLE dialogs free it.
LPWSTR TaskString(const std::wstring& text) {
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (copy) std::wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

std::wstring UserType(IOleObject* object, DWORD form) {
    LPOLESTR name = nullptr;
    std::wstring result;
    if (SUCCEEDED(object->GetUserType(form, &name)) && name) result = name;
    CoTaskMemFree(name);
    return result;
}

}  // namespace

TOleUILinkInfo::TOleUILinkInfo(TRichEditOle& owner, IOleObject* object, DWORD aspect)
    : owner_(owner), object_(object), aspect_(aspect) {
    object_->AddRef();
}

TOleUILinkInfo::~TOleUILinkInfo() { object_->Release(); }

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    // The dialog calls both interfaces directly; only IUnknown is ever asked for.
    if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *object = static_cast<IOleUIObjInfoW*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TOleUILinkInfo::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE TOleUILinkInfo::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

DWORD TOleUILinkInfo::SavedSize(IOleObject* object) {
    ILockBytes* bytes = nullptr;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes))) return 0;
    DWORD size = 0;
    IStorage* storage = nullptr;
    if (SUCCEEDED(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage))) {
        IPersistStorage* persist = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist)))) {
            if (SUCCEEDED(OleSave(persist, storage, FALSE))) {
                persist->SaveCompleted(nullptr);
                storage->Commit(STGC_DEFAULT);
                STATSTG stat{};
                if (SUCCEEDED(bytes->Stat(&stat, STATFLAG_NONAME))) size = stat.cbSize.LowPart;
            }
            persist->Release();
        }
        storage->Release();
    }
    bytes->Release();
    return size;
}

IOleLink* TOleUILinkInfo::Link() {
    IOleLink* link = nullptr;
    if (FAILED(object_->QueryInterface(IID_IOleLink, reinterpret_cast<void**>(&link)))) return nullptr;
    return link;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetObjectInfo(DWORD, DWORD* size, LPWSTR* label, LPWSTR* type,
                                                        LPWSTR* shortType, LPWSTR* location) {
    const std::wstring fullName = UserType(object_, USERCLASSTYPE_FULL);
    if (size) *size = SavedSize(object_);
    if (label) *label = TaskString(fullName);
    if (type) *type = TaskString(fullName);
    if (shortType) *shortType = TaskString(UserType(object_, USERCLASSTYPE_SHORT));
    if (location) *location = TaskString(WideText(owner_.Owner().DocumentTitle()));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetConvertInfo(DWORD, CLSID* classId, WORD* format, CLSID* convertDefault,
                                                         LPCLSID* exclude, UINT* excludeCount) {
    CLSID own = CLSID_NULL;
    object_->GetUserClassID(&own);
    if (classId) *classId = own;
    if (format) *format = 0;
    if (convertDefault) *convertDefault = own;
    if (exclude) *exclude = nullptr;
    if (excludeCount) *excludeCount = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::ConvertObject(DWORD, REFCLSID) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetViewInfo(DWORD, HGLOBAL* metaPicture, DWORD* aspect, int* scale) {
    if (metaPicture) *metaPicture = nullptr;
    if (aspect) *aspect = aspect_;
    if (scale) *scale = 100;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::SetViewInfo(DWORD, HGLOBAL metaPicture, DWORD aspect, int, WINBOOL) {
    if (aspect == aspect_) return S_OK;
    if (aspect == DVASPECT_ICON && metaPicture) {
        // The icon the dialog chose becomes the object's icon presentation.
        IOleCache* cache = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleCache, reinterpret_cast<void**>(&cache)))) {
            FORMATETC format{CF_METAFILEPICT, nullptr, DVASPECT_ICON, -1, TYMED_MFPICT};
            DWORD connection = 0;
            cache->Cache(&format, ADVF_PRIMEFIRST, &connection);
            STGMEDIUM medium{};
            medium.tymed = TYMED_MFPICT;
            medium.hMetaFilePict = OleDuplicateData(metaPicture, CF_METAFILEPICT, 0);
            if (FAILED(cache->SetData(&format, &medium, TRUE))) ReleaseStgMedium(&medium);
            cache->Release();
        }
    }
    IRichEditOle* richOle = owner_.RichEditOle();
    if (!richOle) return E_FAIL;
    const HRESULT result = richOle->SetDvaspect(REO_IOB_SELECTION, aspect);
    if (SUCCEEDED(result)) aspect_ = aspect;
    return result;
}

DWORD STDMETHODCALLTYPE TOleUILinkInfo::GetNextLink(DWORD link) {
    if (link != 0) return 0;
    IOleLink* oleLink = Link();
    if (!oleLink) return 0;
    oleLink->Release();
    return ObjectCookie;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::SetLinkUpdateOptions(DWORD, DWORD options) {
    IOleLink* link = Link();
    if (!link) return E_FAIL;
    const HRESULT result = link->SetUpdateOptions(options);
    link->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetLinkUpdateOptions(DWORD, DWORD* options) {
    IOleLink* link = Link();
    if (!link) return E_FAIL;
    const HRESULT result = link->GetUpdateOptions(options);
    link->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::SetLinkSource(DWORD, LPWSTR, ULONG, ULONG*, WINBOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetLinkSource(DWORD, LPWSTR* displayName, ULONG* fileNameLength,
                                                        LPWSTR* fullType, LPWSTR* shortType, WINBOOL* available,
                                                        WINBOOL* selected) {
    IOleLink* link = Link();
    if (!link) return E_FAIL;
    LPOLESTR name = nullptr;
    const HRESULT result = link->GetSourceDisplayName(&name);
    link->Release();
    if (displayName) *displayName = name;
    else CoTaskMemFree(name);
    if (fileNameLength) *fileNameLength = name ? static_cast<ULONG>(wcslen(name)) : 0;
    if (fullType) *fullType = TaskString(UserType(object_, USERCLASSTYPE_FULL));
    if (shortType) *shortType = TaskString(UserType(object_, USERCLASSTYPE_SHORT));
    if (available) *available = SUCCEEDED(result);
    if (selected) *selected = TRUE;
    return result;
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::OpenLinkSource(DWORD) {
    return GuardedComCall([&] {
        owner_.DoVerbOfSelection(OLEIVERB_SHOW);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::UpdateLink(DWORD, WINBOOL, WINBOOL) { return object_->Update(); }

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::CancelLink(DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetLastUpdate(DWORD, FILETIME*) { return E_NOTIMPL; }
