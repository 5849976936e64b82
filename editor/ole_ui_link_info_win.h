// The object and link information that the OLE object-properties dialog asks its container
// for, about one embedded object of a TRichEditOle: its size (of a copy saved into memory),
// type names and the document it lives in; its view (content or icon, at 100 %), which the
// dialog may switch; and for a linked object its link source and update options.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oledlg.h>

class TRichEditOle;

class TOleUILinkInfo final : public IOleUIObjInfoW, public IOleUILinkInfoW {
public:
    // Object: the object the dialog is about (held for the object's life); Aspect its aspect now.
    TOleUILinkInfo(TRichEditOle& owner, IOleObject* object, DWORD aspect);
    TOleUILinkInfo(const TOleUILinkInfo&) = delete;
    TOleUILinkInfo& operator=(const TOleUILinkInfo&) = delete;

    DWORD Aspect() const { return aspect_; }
    // The size in bytes of the object saved into a memory-based compound file.
    static DWORD SavedSize(IOleObject* object);

    // IUnknown (shared by both interfaces)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleUIObjInfoW
    HRESULT STDMETHODCALLTYPE GetObjectInfo(DWORD object, DWORD* size, LPWSTR* label, LPWSTR* type, LPWSTR* shortType,
                                            LPWSTR* location) override;
    HRESULT STDMETHODCALLTYPE GetConvertInfo(DWORD object, CLSID* classId, WORD* format, CLSID* convertDefault,
                                             LPCLSID* exclude, UINT* excludeCount) override;
    HRESULT STDMETHODCALLTYPE ConvertObject(DWORD object, REFCLSID newClass) override;
    HRESULT STDMETHODCALLTYPE GetViewInfo(DWORD object, HGLOBAL* metaPicture, DWORD* aspect, int* scale) override;
    HRESULT STDMETHODCALLTYPE SetViewInfo(DWORD object, HGLOBAL metaPicture, DWORD aspect, int scale,
                                          WINBOOL relativeToOriginal) override;
    // IOleUILinkContainerW / IOleUILinkInfoW
    DWORD STDMETHODCALLTYPE GetNextLink(DWORD link) override;
    HRESULT STDMETHODCALLTYPE SetLinkUpdateOptions(DWORD link, DWORD options) override;
    HRESULT STDMETHODCALLTYPE GetLinkUpdateOptions(DWORD link, DWORD* options) override;
    HRESULT STDMETHODCALLTYPE SetLinkSource(DWORD link, LPWSTR displayName, ULONG fileNameLength, ULONG* eaten,
                                            WINBOOL validate) override;
    HRESULT STDMETHODCALLTYPE GetLinkSource(DWORD link, LPWSTR* displayName, ULONG* fileNameLength, LPWSTR* fullType,
                                            LPWSTR* shortType, WINBOOL* available, WINBOOL* selected) override;
    HRESULT STDMETHODCALLTYPE OpenLinkSource(DWORD link) override;
    HRESULT STDMETHODCALLTYPE UpdateLink(DWORD link, WINBOOL errorMessage, WINBOOL reserved) override;
    HRESULT STDMETHODCALLTYPE CancelLink(DWORD link) override;
    HRESULT STDMETHODCALLTYPE GetLastUpdate(DWORD link, FILETIME* lastUpdate) override;

    // The cookie the dialog uses for the object and its link.
    static constexpr DWORD ObjectCookie = 1;

private:
    ~TOleUILinkInfo();
    IOleLink* Link();

    TRichEditOle& owner_;
    IOleObject* object_;
    DWORD aspect_;
    ULONG references_ = 1;
};
