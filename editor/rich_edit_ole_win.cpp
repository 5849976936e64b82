#include "editor/rich_edit_ole_win.h"

#include <oledlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/strings.h"
#include "base/string_ids.h"
#include "editor/embedded_objects.h"
#include "editor/inplace_frame_win.h"
#include "editor/ole_ui_link_info_win.h"
#include "editor/rich_edit_errors_win.h"
#include "editor/rich_edit_library_win.h"
#include "editor/rich_edit_ole_callback_win.h"
#include "editor/rich_edit_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"
#include "winui/gdi_scope_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

namespace {

// The insert-object dialog: help, "create new" chosen, new / from file / link allowed, only
// servers that exist, the insert control shown.
constexpr DWORD InsertObjectFlags = IOF_SHOWHELP | IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT | IOF_CREATEFILEOBJECT |
                                    IOF_CREATELINKOBJECT | IOF_VERIFYSERVERSEXIST | IOF_SHOWINSERTCONTROL;
constexpr UINT InsertFileBufferSize = 256;

// Releases the interfaces an object record carries.
void ReleaseRecord(REOBJECT& object) {
    if (object.poleobj) object.poleobj->Release();
    if (object.pstg) object.pstg->Release();
    if (object.polesite) object.polesite->Release();
    object.poleobj = nullptr;
    object.pstg = nullptr;
    object.polesite = nullptr;
}

// The pixels per inch of the screen, read once.
SIZE ScreenPixelsPerInch() {
    static const SIZE ppi = [] {
        TWindowDC screen;
        return SIZE{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    }();
    return ppi;
}

// Places the insert-object dialog when it opens: centred, a third down the screen.
UINT CALLBACK PlaceDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return 0;
    RECT r{};
    GetWindowRect(dialog, &r);
    const TDialogOrigin at = InsertDialogOrigin(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                                r.right - r.left, r.bottom - r.top);
    SetWindowPos(dialog, nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

std::wstring ObjectUserType(IOleObject* object, DWORD form) {
    LPOLESTR name = nullptr;
    std::wstring result;
    if (SUCCEEDED(object->GetUserType(form, &name)) && name) result = name;
    CoTaskMemFree(name);
    return result;
}

// Gives Object a cached icon presentation of its class.
void CacheIconPresentation(IOleObject* object) {
    IOleCache* cache = nullptr;
    if (FAILED(object->QueryInterface(IID_IOleCache, reinterpret_cast<void**>(&cache)))) return;
    CLSID classId = CLSID_NULL;
    object->GetUserClassID(&classId);
    FORMATETC format{CF_METAFILEPICT, nullptr, DVASPECT_ICON, -1, TYMED_MFPICT};
    DWORD connection = 0;
    cache->Cache(&format, ADVF_PRIMEFIRST, &connection);
    STGMEDIUM medium{};
    medium.tymed = TYMED_MFPICT;
    medium.hMetaFilePict = OleGetIconOfClass(classId, nullptr, TRUE);
    if (medium.hMetaFilePict && FAILED(cache->SetData(&format, &medium, TRUE))) ReleaseStgMedium(&medium);
    cache->Release();
}

// Frees a METAFILEPICT block (the icon picture the OLE dialogs hand back) and its metafile.
void FreeMetafilePicture(HGLOBAL block) {
    if (!block) return;
    if (auto* picture = static_cast<METAFILEPICT*>(GlobalLock(block))) {
        if (picture->hMF) DeleteMetaFile(picture->hMF);
        GlobalUnlock(block);
    }
    GlobalFree(block);
}

class TReleaser {
public:
    explicit TReleaser(IUnknown* object) : object_(object) {}
    ~TReleaser() {
        if (object_) object_->Release();
    }
    TReleaser(const TReleaser&) = delete;
    TReleaser& operator=(const TReleaser&) = delete;

private:
    IUnknown* object_;
};

}  // namespace

TRichEditOle::TRichEditOle(TRichEdit2& owner) : owner_(owner) {}

TRichEditOle::~TRichEditOle() { CloseObjects(); }

IRichEditOleCallback* TRichEditOle::Callback() const { return callback_; }

void TRichEditOle::InstallCallback() {
    if (richOle_ || callback_) CloseObjects();
    if (owner_.RichEditVersion() == 0) return;
    HWND window = owner_.Handle();
    IRichEditOle* richOle = nullptr;
    if (!SendMessageW(window, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&richOle)) || !richOle) return;
    richOle_ = richOle;
    callback_ = new TRichEditOleCallback(*this);
    if (!SendMessageW(window, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(static_cast<IRichEditOleCallback*>(callback_)))) {
        callback_->Detach();
        callback_->Release();
        callback_ = nullptr;
    }
    SetHostNames();
}

void TRichEditOle::SetHostNames() {
    if (!richOle_) return;
    const std::string application = Application ? Application->Title() : std::string();
    const std::string document = Format(LoadStr(sid::DocumentNameFormat), {owner_.DocumentTitle()});
    richOle_->SetHostNames(application.c_str(), document.c_str());
}

void TRichEditOle::CloseObjects() {
    ForgetCachedObject();
    if (frame_) {
        frame_->Detach();
        frame_->Release();
        frame_ = nullptr;
    }
    if (richOle_) {
        richOle_->InPlaceDeactivate();
        const LONG count = richOle_->GetObjectCount();
        for (LONG i = 0; i < count; ++i) {
            REOBJECT object{};
            object.cbStruct = sizeof(object);
            if (SUCCEEDED(richOle_->GetObject(i, &object, REO_GETOBJ_POLEOBJ)) && object.poleobj)
                object.poleobj->Close(OLECLOSE_SAVEIFDIRTY);
            ReleaseRecord(object);
        }
        richOle_->Release();
        richOle_ = nullptr;
    }
    if (callback_) {
        callback_->Detach();
        callback_->Release();
        callback_ = nullptr;
    }
    if (rootStorage_) {
        rootStorage_->Release();
        rootStorage_ = nullptr;
    }
}

void TRichEditOle::ForgetCachedObject() {
    cacheValid_ = false;
    cachedObject_ = REOBJECT{};
    cachedRect_ = RECT{};
    cachedIdentity_ = nullptr;
}

void TRichEditOle::ObjectDeleted(IOleObject* object) {
    if (object && object == cachedIdentity_) ForgetCachedObject();
}

bool TRichEditOle::CachedObject(REOBJECT& object, RECT& rect) const {
    if (!cacheValid_) return false;
    object = cachedObject_;
    rect = cachedRect_;
    return true;
}

IStorage* TRichEditOle::NewStorage() {
    if (!rootStorage_)
        OleCheck(StgCreateDocfile(nullptr,
                                  STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE | STGM_CREATE, 0,
                                  &rootStorage_));
    ++objectCounter_;
    IStorage* storage = nullptr;
    OleCheck(rootStorage_->CreateStorage(WideText(ObjectStorageName(objectCounter_)).c_str(),
                                         STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &storage));
    return storage;
}

// --- hit testing ---

bool TRichEditOle::FetchObjectAt(LONG cp, REOBJECT& object) {
    if (!richOle_ || cp < 0) return false;
    object = REOBJECT{};
    object.cbStruct = sizeof(object);
    object.cp = cp;
    if (FAILED(richOle_->GetObject(REO_IOB_USE_CP, &object, REO_GETOBJ_POLEOBJ))) return false;
    return object.poleobj != nullptr;
}

bool TRichEditOle::ObjectRect(const REOBJECT& object, RECT& rect) {
    POINTL origin{};
    SendMessageW(owner_.Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&origin), object.cp);
    const SIZE ppi = ScreenPixelsPerInch();
    rect.left = origin.x;
    rect.top = origin.y;
    rect.right = origin.x + HimetricToPixels(object.sizel.cx, ppi.cx);
    rect.bottom = origin.y + HimetricToPixels(object.sizel.cy, ppi.cy);
    return rect.right > rect.left && rect.bottom > rect.top;
}

bool TRichEditOle::ObjectAtPoint(POINT client, REOBJECT& object) {
    if (!richOle_ || richOle_->GetObjectCount() == 0) return false;
    if (cacheValid_ && PtInRect(&cachedRect_, client)) {
        // The cache answers while the object still sits there in the same size.
        REOBJECT current{};
        RECT rect{};
        if (FetchObjectAt(cachedObject_.cp, current)) {
            const bool same = current.poleobj == cachedIdentity_ && current.sizel.cx == cachedObject_.sizel.cx &&
                              current.sizel.cy == cachedObject_.sizel.cy && ObjectRect(current, rect) &&
                              EqualRect(&rect, &cachedRect_);
            ReleaseRecord(current);
            if (same) {
                cachedObject_.dwFlags = current.dwFlags;
                object = cachedObject_;
                return true;
            }
        }
        ForgetCachedObject();
    }
    const POINTL at{client.x, client.y};
    const LONG cp = static_cast<LONG>(SendMessageW(owner_.Handle(), EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at)));
    // The character under the point is the one before the nearest boundary, or the one after it.
    for (LONG candidate : {cp - 1, cp}) {
        REOBJECT found{};
        if (!FetchObjectAt(candidate, found)) continue;
        RECT rect{};
        const bool hit = ObjectRect(found, rect) && PtInRect(&rect, client);
        IOleObject* identity = found.poleobj;
        ReleaseRecord(found);
        if (!hit) continue;
        cachedObject_ = found;
        cachedRect_ = rect;
        cachedIdentity_ = identity;
        cacheValid_ = true;
        object = found;
        return true;
    }
    return false;
}

bool TRichEditOle::SelectedObject(REOBJECT& object) {
    if (!richOle_) return false;
    object = REOBJECT{};
    object.cbStruct = sizeof(object);
    if (FAILED(richOle_->GetObject(REO_IOB_SELECTION, &object, REO_GETOBJ_ALL_INTERFACES)) || !object.poleobj) {
        ReleaseRecord(object);
        return false;
    }
    return true;
}

// --- the object menu ---

TMenuItem* TRichEditOle::FindObjectItem(TMenuItem& item) {
    const std::string caption = LoadStr(sid::ObjectMenuItem);
    for (int i = 0; i < item.Count(); ++i) {
        TMenuItem* child = item.Items(i);
        if (child->Caption() == caption) return child;
        if (TMenuItem* inner = FindObjectItem(*child)) return inner;
    }
    return nullptr;
}

void TRichEditOle::AddObjectVerbs(TPopupMenu& menu) {
    TMenuItem* item = FindObjectItem(menu.Items());
    objectItem_ = item;
    if (!item) return;
    item->SetVisible(true);
    REOBJECT object{};
    if (!SelectedObject(object)) {
        item->SetEnabled(false);
        return;
    }
    item->SetEnabled(true);
    item->SetCaption(NarrowText(ObjectUserType(object.poleobj, USERCLASSTYPE_FULL)));
    std::vector<TObjectVerb> verbs;
    IEnumOLEVERB* list = nullptr;
    if (SUCCEEDED(object.poleobj->EnumVerbs(&list)) && list) {
        OLEVERB verb{};
        while (list->Next(1, &verb, nullptr) == S_OK) {
            verbs.push_back(TObjectVerb{static_cast<int>(verb.lVerb), verb.lpszVerbName ? NarrowText(verb.lpszVerbName) : "",
                                        verb.grfAttribs});
            CoTaskMemFree(verb.lpszVerbName);
        }
        list->Release();
    }
    ReleaseRecord(object);
    for (const TObjectVerb& verb : ContainerMenuVerbs(verbs)) {
        auto* sub = new TMenuItem(nullptr);
        sub->SetCaption(verb.Name);
        sub->SetTag(verb.Number);
        sub->OnClick = [this](TMenuItem& sender) { DoVerbOfSelection(sender.Tag()); };
        item->Add(sub);
    }
}

bool TRichEditOle::ContainsItem(TMenuItem& parent, const TMenuItem* item) {
    for (int i = 0; i < parent.Count(); ++i)
        if (parent.Items(i) == item || ContainsItem(*parent.Items(i), item)) return true;
    return false;
}

void TRichEditOle::RestoreObjectItem(TPopupMenu& menu) {
    // The item changed last, if it is still in the menu (its caption is the object's name now).
    TMenuItem* item = objectItem_;
    objectItem_ = nullptr;
    if (!item || !ContainsItem(menu.Items(), item)) item = FindObjectItem(menu.Items());
    if (!item) return;
    item->SetCaption(LoadStr(sid::ObjectMenuItem));
    item->Clear();
}

void TRichEditOle::DoVerbOfSelection(LONG verb) {
    REOBJECT object{};
    if (!SelectedObject(object)) return;
    RECT client{};
    GetClientRect(owner_.Handle(), &client);
    const HRESULT result = object.poleobj->DoVerb(verb, nullptr, object.polesite, 0, owner_.Handle(), &client);
    ReleaseRecord(object);
    OleCheck(result);
}

// --- inserting ---

void TRichEditOle::InsertCreatedObject(IOleObject* object, IStorage* storage, bool asIcon, bool showNew) {
    IOleClientSite* site = nullptr;
    OleCheck(richOle_->GetClientSite(&site));
    TReleaser releaseSite(site);
    REOBJECT record{};
    record.cbStruct = sizeof(record);
    record.cp = REO_CP_SELECTION;
    record.dvaspect = DVASPECT_CONTENT;
    record.poleobj = object;
    record.pstg = storage;
    record.polesite = site;
    object->GetUserClassID(&record.clsid);
    if (asIcon) {
        CacheIconPresentation(object);
        record.dvaspect = DVASPECT_ICON;
    }
    OleSetContainedObject(object, TRUE);
    const std::wstring application = WideText(Application ? Application->Title() : std::string());
    const std::wstring document = WideText(Format(LoadStr(sid::DocumentNameFormat), {owner_.DocumentTitle()}));
    object->SetHostNames(application.c_str(), document.c_str());
    OleCheck(richOle_->InsertObject(&record));
    if (showNew) {
        RECT client{};
        GetClientRect(owner_.Handle(), &client);
        object->DoVerb(OLEIVERB_SHOW, nullptr, site, 0, owner_.Handle(), &client);
    }
}

void TRichEditOle::InsertObjectDialog() {
    if (!ObjectsAvailable()) return;
    IStorage* storage = NewStorage();
    TReleaser releaseStorage(storage);
    IOleClientSite* site = nullptr;
    OleCheck(richOle_->GetClientSite(&site));
    TReleaser releaseSite(site);
    const std::wstring caption = WideText(Format(LoadStr(sid::InsertObjectCaption), {owner_.DocumentTitle()}));
    std::vector<wchar_t> file(InsertFileBufferSize, L'\0');
    IOleObject* object = nullptr;
    OLEUIINSERTOBJECTW dialog{};
    dialog.cbStruct = sizeof(dialog);
    dialog.dwFlags = InsertObjectFlags;
    dialog.hWndOwner = Application ? Application->Handle() : owner_.Handle();
    dialog.lpszCaption = caption.c_str();
    dialog.lpfnHook = PlaceDialogHook;
    dialog.lpszFile = file.data();
    dialog.cchFile = InsertFileBufferSize;
    dialog.iid = IID_IOleObject;
    dialog.oleRender = OLERENDER_DRAW;
    dialog.lpIOleClientSite = site;
    dialog.lpIStorage = storage;
    dialog.ppvObj = reinterpret_cast<void**>(&object);
    const UINT result = OleUIInsertObjectW(&dialog);
    TReleaser releaseObject(object);
    try {
        if (result == OLEUI_OK && object) {
            const bool asIcon = (dialog.dwFlags & IOF_CHECKDISPLAYASICON) != 0;
            const bool created = (dialog.dwFlags & IOF_SELECTCREATENEW) != 0;
            InsertCreatedObject(object, storage, asIcon, created);
        }
    } catch (...) {
        FreeMetafilePicture(dialog.hMetaPict);
        throw;
    }
    FreeMetafilePicture(dialog.hMetaPict);
}

void TRichEditOle::PasteSpecialDialog() {
    if (!ObjectsAvailable()) return;
    const TOleClipboardFormats& formats = OleClipboardFormats();
    IDataObject* clipboard = nullptr;
    if (FAILED(OleGetClipboard(&clipboard)) || !clipboard) return;
    TReleaser releaseClipboard(clipboard);
    const std::wstring texts[12] = {
        WideText(LoadStr(sid::PasteEmbeddedName)),    WideText(LoadStr(sid::PasteEmbeddedResult)),
        WideText(LoadStr(sid::PasteLinkName)),        WideText(LoadStr(sid::PasteLinkResult)),
        WideText(LoadStr(sid::PasteRtfName)),         WideText(LoadStr(sid::PasteRtfResult)),
        WideText(LoadStr(sid::PasteUnformattedName)), WideText(LoadStr(sid::PasteUnformattedResult)),
        WideText(LoadStr(sid::PasteMetafileName)),    WideText(LoadStr(sid::PasteMetafileResult)),
        WideText(LoadStr(sid::PasteDibName)),         WideText(LoadStr(sid::PasteDibResult)),
    };
    auto entry = [&](CLIPFORMAT format, DWORD medium, int text, DWORD flags) {
        return OLEUIPASTEENTRYW{FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, medium}, texts[text].c_str(),
                                texts[text + 1].c_str(), flags, 0};
    };
    OLEUIPASTEENTRYW entries[6] = {
        entry(formats.EmbeddedObject, TYMED_ISTORAGE, 0, OLEUIPASTE_PASTE | OLEUIPASTE_ENABLEICON),
        entry(formats.LinkSource, TYMED_ISTREAM, 2, OLEUIPASTE_LINKTYPE1 | OLEUIPASTE_ENABLEICON),
        entry(formats.RichTextFormat, TYMED_HGLOBAL, 4, OLEUIPASTE_PASTE),
        entry(CF_TEXT, TYMED_HGLOBAL, 6, OLEUIPASTE_PASTE),
        entry(CF_METAFILEPICT, TYMED_MFPICT, 8, OLEUIPASTE_PASTE),
        entry(CF_DIB, TYMED_HGLOBAL, 10, OLEUIPASTE_PASTE),
    };
    UINT linkTypes[1] = {formats.LinkSource};
    OLEUIPASTESPECIALW dialog{};
    dialog.cbStruct = sizeof(dialog);
    dialog.hWndOwner = Application ? Application->Handle() : owner_.Handle();
    dialog.lpSrcDataObj = clipboard;
    dialog.arrPasteEntries = entries;
    dialog.cPasteEntries = 6;
    dialog.arrLinkTypes = linkTypes;
    dialog.cLinkTypes = 1;
    const UINT result = OleUIPasteSpecialW(&dialog);
    try {
        if (result == OLEUI_OK && dialog.nSelectedIndex >= 0 && dialog.nSelectedIndex < 6) {
            const bool asIcon = (dialog.dwFlags & PSF_CHECKDISPLAYASICON) != 0;
            if (dialog.nSelectedIndex <= 1) {
                IStorage* storage = NewStorage();
                TReleaser releaseStorage(storage);
                IOleClientSite* site = nullptr;
                OleCheck(richOle_->GetClientSite(&site));
                TReleaser releaseSite(site);
                IOleObject* object = nullptr;
                const HRESULT made =
                    dialog.fLink ? OleCreateLinkFromData(clipboard, IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                                                         reinterpret_cast<void**>(&object))
                                 : OleCreateFromData(clipboard, IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                                                     reinterpret_cast<void**>(&object));
                TReleaser releaseObject(object);
                OleCheck(made);
                InsertCreatedObject(object, storage, asIcon, false);
            } else {
                REPASTESPECIAL how{DVASPECT_CONTENT, 0};
                SendMessageW(owner_.Handle(), EM_PASTESPECIAL, entries[dialog.nSelectedIndex].fmtetc.cfFormat,
                             reinterpret_cast<LPARAM>(&how));
            }
        }
    } catch (...) {
        FreeMetafilePicture(dialog.hMetaPict);
        throw;
    }
    FreeMetafilePicture(dialog.hMetaPict);
}

UINT TRichEditOle::ObjectPropertiesDialog() {
    if (!ObjectsAvailable()) return OLEUI_FALSE;
    REOBJECT object{};
    if (!SelectedObject(object)) return OLEUI_FALSE;
    auto* info = new TOleUILinkInfo(*this, object.poleobj, object.dvaspect);
    const bool isLink = info->GetNextLink(0) != 0;
    const std::wstring caption =
        WideText(Format(LoadStr(sid::ObjectPropertiesCaption), {NarrowText(ObjectUserType(object.poleobj, USERCLASSTYPE_SHORT))}));
    ReleaseRecord(object);

    PROPSHEETHEADERW sheet{};
    sheet.dwSize = sizeof(sheet);
    sheet.pszCaption = caption.c_str();
    OLEUIGNRLPROPSW general{};
    general.cbStruct = sizeof(general);
    OLEUIVIEWPROPSW view{};
    view.cbStruct = sizeof(view);
    OLEUILINKPROPSW link{};
    link.cbStruct = sizeof(link);
    OLEUIOBJECTPROPSW dialog{};
    dialog.cbStruct = sizeof(dialog);
    dialog.dwFlags = isLink ? OPF_OBJECTISLINK : 0;
    dialog.lpPS = reinterpret_cast<LPPROPSHEETHEADERW>(&sheet);
    dialog.dwObject = TOleUILinkInfo::ObjectCookie;
    dialog.lpObjInfo = info;
    dialog.dwLink = isLink ? TOleUILinkInfo::ObjectCookie : 0;
    dialog.lpLinkInfo = info;
    dialog.lpGP = &general;
    dialog.lpVP = &view;
    dialog.lpLP = &link;
    general.lpOP = &dialog;
    view.lpOP = &dialog;
    link.lpOP = &dialog;
    const UINT result = OleUIObjectPropertiesW(&dialog);
    static_cast<IOleUIObjInfoW*>(info)->Release();
    return result;
}

void TRichEditOle::RepositionInplaceObject() {
    if (!richOle_ || !frame_ || !frame_->ActiveObject()) return;
    IOleInPlaceObject* inplace = nullptr;
    if (FAILED(frame_->ActiveObject()->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inplace))))
        return;
    TReleaser releaseInplace(inplace);
    const LONG count = richOle_->GetObjectCount();
    for (LONG i = 0; i < count; ++i) {
        REOBJECT object{};
        object.cbStruct = sizeof(object);
        if (FAILED(richOle_->GetObject(i, &object, REO_GETOBJ_NO_INTERFACES))) continue;
        if (!(object.dwFlags & REO_INPLACEACTIVE)) continue;
        RECT rect{};
        RECT clip{};
        GetClientRect(owner_.Handle(), &clip);
        if (ObjectRect(object, rect)) inplace->SetObjectRects(&rect, &clip);
        return;
    }
}

TInplaceFrame* TRichEditOle::Frame() {
    if (!frame_) frame_ = new TInplaceFrame(owner_.ParentForm(), owner_);
    return frame_;
}
