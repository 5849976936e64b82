// The embedded objects of the rich edit control: the callback's answers (storages named by the
// counter, data accepted, the in-place context only when allowed), the object item of the
// context menu after a real right click, an object put into the text and found under the
// mouse, the OLE dialogs where the platform has them, and the in-place frame's room at the
// borders, menus, status texts and shortcuts.
#include <gtest/gtest.h>

#include <oledlg.h>

#include "base/format.h"
#include "base/strings.h"
#include "base/string_ids.h"
#include "editor/inplace_frame_win.h"
#include "editor/ole_ui_link_info_win.h"
#include "editor/rich_edit_ole_win.h"
#include "tests/wine/rich_edit_testing_win.h"
#include "widgets/dock_win.h"
#include "winui/gdi_scope_win.h"
#include "winui/menu_win.h"
#include "winui/std_controls_win.h"
#include "winui/text_win.h"

namespace {

using RichEditOleTest = RichEditFormTest;

std::wstring StorageName(IStorage* storage) {
    STATSTG stat{};
    storage->Stat(&stat, STATFLAG_DEFAULT);
    std::wstring name = stat.pwcsName ? stat.pwcsName : L"";
    CoTaskMemFree(stat.pwcsName);
    return name;
}

TEST_F(RichEditOleTest, NewStoragesAreNamedByTheCounter) {
    ASSERT_TRUE(editor->ObjectsAvailable());
    IRichEditOleCallback* callback = editor->Ole().Callback();
    const int before = editor->Ole().ObjectCounter();
    IStorage* first = nullptr;
    IStorage* second = nullptr;
    ASSERT_EQ(callback->GetNewStorage(&first), S_OK);
    ASSERT_EQ(callback->GetNewStorage(&second), S_OK);
    EXPECT_EQ(StorageName(first), WideText("REOBJ" + std::to_string(before + 1)));
    EXPECT_EQ(StorageName(second), WideText("REOBJ" + std::to_string(before + 2)));
    EXPECT_EQ(editor->Ole().ObjectCounter(), before + 2);
    first->Release();
    second->Release();
}

TEST_F(RichEditOleTest, CallbackAnswersTheControlsQuestions) {
    IRichEditOleCallback* callback = editor->Ole().Callback();
    ASSERT_NE(callback, nullptr);
    EXPECT_EQ(callback->QueryAcceptData(nullptr, nullptr, RECO_PASTE, TRUE, nullptr), S_OK)
        << "paste and drop are the control's own business";
    EXPECT_EQ(callback->QueryInsertObject(nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(callback->ContextSensitiveHelp(TRUE), S_OK);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(callback->GetDragDropEffect(TRUE, 0, &effect), E_NOTIMPL);
    HMENU menu = reinterpret_cast<HMENU>(1);
    EXPECT_EQ(callback->GetContextMenu(GCM_RIGHTMOUSEDROP, nullptr, nullptr, &menu), S_OK);
    EXPECT_EQ(menu, nullptr) << "the editor shows its own menu";
    EXPECT_EQ(callback->DeleteObject(nullptr), S_OK);
    // Clipboard data of a range comes from the control's own interface.
    editor->Lines().SetText("kopiert");
    CHARRANGE range{0, 7};
    IDataObject* data = nullptr;
    EXPECT_EQ(callback->GetClipboardData(&range, RECO_COPY, &data), S_OK);
    ASSERT_NE(data, nullptr);
    data->Release();
}

TEST_F(RichEditOleTest, InPlaceContextOnlyWhenObjectsMayBeEditedInTheEditor) {
    IRichEditOleCallback* callback = editor->Ole().Callback();
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    OLEINPLACEFRAMEINFO info{};
    ASSERT_FALSE(editor->InplaceEditObjects());
    EXPECT_EQ(callback->GetInPlaceContext(&frame, &document, &info), E_NOTIMPL) << "objects open in their own window";
    editor->SetInplaceEditObjects(true);
    ASSERT_EQ(callback->GetInPlaceContext(&frame, &document, &info), S_OK);
    EXPECT_EQ(info.cb, sizeof(OLEINPLACEFRAMEINFO));
    EXPECT_FALSE(info.fMDIApp);
    EXPECT_EQ(info.hwndFrame, form->Handle());
    EXPECT_EQ(info.haccel, nullptr);
    EXPECT_EQ(info.cAccelEntries, 0u);
    EXPECT_EQ(static_cast<void*>(frame), static_cast<void*>(editor->Ole().ExistingFrame()));
    frame->Release();
    document->Release();
    editor->Ole().LockInplace();
    EXPECT_EQ(callback->GetInPlaceContext(&frame, &document, &info), E_NOTIMPL) << "not while locked";
    editor->Ole().UnlockInplace();
}

// The editor's popup menu with an object item and one ordinary item.
TPopupMenu* ObjectPopup(TComponent* owner) {
    auto* popup = new TPopupMenu(owner);
    auto* copy = new TMenuItem(owner);
    copy->SetCaption("&Kopieren");
    popup->Items().Add(copy);
    auto* object = new TMenuItem(owner);
    object->SetCaption(LoadStr(sid::ObjectMenuItem));
    object->SetVisible(false);
    popup->Items().Add(object);
    return popup;
}

TEST_F(RichEditOleTest, RightClickOutsideAnyObjectLeavesTheObjectItemDisabled) {
    TPopupMenu* popup = ObjectPopup(form);
    editor->SetPopupMenu(popup);
    editor->Lines().SetText("nur Text, kein Objekt");
    TMenuItem* item = popup->Items().Items(1);
    bool shown = false;
    bool visibleWhileShown = false;
    bool enabledWhileShown = true;
    std::string captionWhileShown;
    popup->OnPopup = [&](TPopupMenu&) {
        shown = true;
        visibleWhileShown = item->Visible();
        enabledWhileShown = item->Enabled();
        captionWhileShown = item->Caption();
        Later([] { PressKey(VK_ESCAPE); }, 50, InMenuMode);
    };
    std::vector<TMouseButton> downs;
    std::vector<TMouseButton> ups;
    editor->OnMouseDown = [&](TControl&, TMouseButton button, TShiftState, int, int) { downs.push_back(button); };
    editor->OnMouseUp = [&](TControl&, TMouseButton button, TShiftState, int, int) { ups.push_back(button); };
    MouseAt(*editor, 40, 12);
    MouseButton(true, true);
    WaitForInputHandled();
    MouseButton(false, true);
    EXPECT_TRUE(WaitFor([&] { return shown; })) << "the right button up opens the editor's menu";
    EXPECT_EQ(downs, std::vector<TMouseButton>{mbRight}) << "the mouse events come all the same";
    EXPECT_EQ(ups, std::vector<TMouseButton>{mbRight});
    WaitFor([] { return !InMenuMode(); });
    EXPECT_TRUE(visibleWhileShown) << "the object item is shown";
    EXPECT_FALSE(enabledWhileShown) << "but disabled without an object";
    EXPECT_EQ(captionWhileShown, LoadStr(sid::ObjectMenuItem));
    EXPECT_EQ(item->Caption(), LoadStr(sid::ObjectMenuItem));
    EXPECT_EQ(item->Count(), 0);
}

// A bitmap on the clipboard, as the data object an object is made from.
IDataObject* BitmapOnClipboard(HWND owner) {
    TWindowDC screen;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 48, 32);
    {
        TMemoryDC dc(screen);
        TSelectObject select(dc, bitmap);
        RECT all{0, 0, 48, 32};
        TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(0, 128, 255)));
        FillRect(dc, &all, brush);
    }
    if (!OpenClipboard(owner)) return nullptr;
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    IDataObject* data = nullptr;
    if (FAILED(OleGetClipboard(&data))) return nullptr;
    return data;
}

// Puts a static picture object into the editor at the selection; null with the reason when the
// platform cannot make one.
IOleObject* InsertPictureObject(TRichEdit2& editor, std::string& reason) {
    IDataObject* data = BitmapOnClipboard(editor.Handle());
    if (!data) {
        reason = "no data object of the clipboard";
        return nullptr;
    }
    IStorage* storage = editor.Ole().NewStorage();
    IOleClientSite* site = nullptr;
    editor.Ole().RichEditOle()->GetClientSite(&site);
    IOleObject* object = nullptr;
    FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    const HRESULT made = OleCreateStaticFromData(data, IID_IOleObject, OLERENDER_FORMAT, &format, site, storage,
                                                 reinterpret_cast<void**>(&object));
    data->Release();
    if (FAILED(made) || !object) {
        reason = Format("OleCreateStaticFromData failed (%.8x)", {int64_t{static_cast<uint32_t>(made)}});
        storage->Release();
        if (site) site->Release();
        return nullptr;
    }
    try {
        editor.Ole().InsertCreatedObject(object, storage, false, false);
    } catch (const std::exception& e) {
        reason = std::string("inserting the object failed: ") + e.what();
        object->Release();
        object = nullptr;
    }
    storage->Release();
    if (site) site->Release();
    return object;
}

TEST_F(RichEditOleTest, AnObjectInTheTextIsFoundUnderTheMouse) {
    editor->Lines().SetText("vor  nach");
    editor->SetSelStart(4);
    std::string reason;
    IOleObject* object = InsertPictureObject(*editor, reason);
    if (!object) GTEST_SKIP() << "Wine cannot make a picture object here: " << reason;
    ASSERT_EQ(editor->Ole().RichEditOle()->GetObjectCount(), 1);
    REOBJECT record{};
    record.cbStruct = sizeof(record);
    ASSERT_EQ(editor->Ole().RichEditOle()->GetObject(0, &record, REO_GETOBJ_NO_INTERFACES), S_OK);
    EXPECT_EQ(record.cp, 4);
    POINTL origin{};
    SendMessageW(editor->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&origin), record.cp);
    if (record.sizel.cx <= 0 || record.sizel.cy <= 0) {
        object->Release();
        GTEST_SKIP() << "Wine's rich edit gives the object no extent";
    }
    const POINT inside{origin.x + 3, origin.y + 3};
    REOBJECT found{};
    ASSERT_TRUE(editor->Ole().ObjectAtPoint(inside, found));
    EXPECT_EQ(found.cp, 4);
    REOBJECT cached{};
    RECT cachedRect{};
    ASSERT_TRUE(editor->Ole().CachedObject(cached, cachedRect));
    EXPECT_TRUE(PtInRect(&cachedRect, inside));
    EXPECT_FALSE(editor->Ole().ObjectAtPoint(POINT{cachedRect.right + 40, origin.y + 3}, found))
        << "beside the object there is none";
    // The cache answers again, and forgets the object when the control deletes it.
    EXPECT_TRUE(editor->Ole().ObjectAtPoint(inside, found));
    editor->Ole().Callback()->DeleteObject(object);
    EXPECT_FALSE(editor->Ole().CachedObject(cached, cachedRect));
    object->Release();
}

TEST_F(RichEditOleTest, TheArrowShowsOverAnObjectThatIsNotSelected) {
    editor->Lines().SetText("Text mit  Bild und noch mehr Text");
    editor->SetSelStart(9);
    std::string reason;
    IOleObject* object = InsertPictureObject(*editor, reason);
    if (!object) GTEST_SKIP() << "Wine cannot make a picture object here: " << reason;
    object->Release();
    editor->SetSelStart(0);
    POINTL origin{};
    SendMessageW(editor->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&origin), 9);
    REOBJECT found{};
    if (!editor->Ole().ObjectAtPoint(POINT{origin.x + 3, origin.y + 3}, found))
        GTEST_SKIP() << "Wine's rich edit gives the object no place to be found at";
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    MouseAt(*editor, origin.x + 3, origin.y + 3);
    EXPECT_TRUE(WaitFor([&] { return GetCursor() == arrow; })) << "the arrow over the object";
    POINTL text{};
    SendMessageW(editor->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&text), 20);
    MouseAt(*editor, text.x + 2, text.y + 4);
    EXPECT_TRUE(WaitFor([&] { return GetCursor() != arrow; })) << "the control's own cursor over text";
}

TEST_F(RichEditOleTest, RightClickOnAnObjectSelectsItAndNamesItInTheMenu) {
    TPopupMenu* popup = ObjectPopup(form);
    editor->SetPopupMenu(popup);
    editor->Lines().SetText("x ");
    editor->SetSelStart(2);
    std::string reason;
    IOleObject* object = InsertPictureObject(*editor, reason);
    if (!object) GTEST_SKIP() << "Wine cannot make a picture object here: " << reason;
    object->Release();
    POINTL origin{};
    SendMessageW(editor->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&origin), 2);
    REOBJECT found{};
    if (!editor->Ole().ObjectAtPoint(POINT{origin.x + 3, origin.y + 3}, found))
        GTEST_SKIP() << "Wine's rich edit gives the object no place to be found at";
    TMenuItem* item = popup->Items().Items(1);
    bool enabledWhileShown = false;
    std::string captionWhileShown;
    bool shown = false;
    popup->OnPopup = [&](TPopupMenu&) {
        shown = true;
        enabledWhileShown = item->Enabled();
        captionWhileShown = item->Caption();
        Later([] { PressKey(VK_ESCAPE); }, 50, InMenuMode);
    };
    MouseAt(*editor, origin.x + 3, origin.y + 3);
    MouseButton(true, true);
    WaitForInputHandled();
    MouseButton(false, true);
    ASSERT_TRUE(WaitFor([&] { return shown; }));
    WaitFor([] { return !InMenuMode(); });
    REOBJECT selected{};
    if (!editor->Ole().SelectedObject(selected))
        GTEST_SKIP() << "Wine's rich edit does not select an object by a click on it";
    selected.poleobj->Release();
    if (selected.polesite) selected.polesite->Release();
    if (selected.pstg) selected.pstg->Release();
    EXPECT_TRUE(enabledWhileShown);
    EXPECT_NE(captionWhileShown, LoadStr(sid::ObjectMenuItem)) << "the item carries the object's type name";
    EXPECT_EQ(item->Caption(), LoadStr(sid::ObjectMenuItem)) << "and its own name again afterwards";
}

TEST_F(RichEditOleTest, InsertObjectDialogOpensCentredWithItsCaption) {
    editor->SetDocumentTitle("Brief");
    const std::string caption = Format(LoadStr(sid::InsertObjectCaption), {std::string("Brief")});
    EXPECT_EQ(caption, "Objekt einf\xFCgen in (Brief)");
    const int storagesBefore = editor->Ole().ObjectCounter();
    HWND dialog = nullptr;
    std::string shownCaption;
    RECT placed{};
    Later([&] {
        dialog = GetForegroundWindow();
        if (dialog == form->Handle()) dialog = nullptr;
        if (dialog) {
            shownCaption = WindowText(dialog);
            GetWindowRect(dialog, &placed);
            Shot(dialog, "rich_edit_insert_object");
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }, 800);
    const int objectsBefore = editor->Ole().RichEditOle()->GetObjectCount();
    editor->InsertObjectDialog();
    Later([] {}, 1);  // a dialog that never showed leaves no action for later tests
    EXPECT_EQ(editor->Ole().ObjectCounter(), storagesBefore + 1) << "the dialog got a new storage for the object";
    EXPECT_EQ(editor->Ole().RichEditOle()->GetObjectCount(), objectsBefore) << "a cancelled dialog inserts nothing";
    if (!dialog)
        GTEST_SKIP() << "Wine's OleUIInsertObject is a stub that shows no dialog; the dialog's place is "
                        "tested natively, its caption text here";
    EXPECT_EQ(shownCaption, caption);
    const int width = placed.right - placed.left;
    const int height = placed.bottom - placed.top;
    EXPECT_NEAR(placed.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1) << "centred";
    EXPECT_NEAR(placed.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 3, 1) << "a third down";
}

TEST_F(RichEditOleTest, PasteSpecialPastesTheChosenFormat) {
    ASSERT_TRUE(OpenClipboard(form->Handle()));
    EmptyClipboard();
    const char text[] = "aus der Ablage";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(block), text, sizeof(text));
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    editor->Lines().SetText("[]");
    editor->SetSelStart(1);
    bool seen = false;
    Later([&] {
        HWND dialog = GetForegroundWindow();
        if (dialog && dialog != form->Handle()) {
            seen = true;
            Shot(dialog, "rich_edit_paste_special");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
    }, 800);
    editor->PasteSpecialDialog();
    Later([] {}, 1);
    if (!seen) GTEST_SKIP() << "Wine's OLE dialogs library showed no paste-special dialog";
    EXPECT_EQ(PlainOf(*editor), "[aus der Ablage]");
}

TEST_F(RichEditOleTest, ObjectPropertiesDialogOfTheSelectedObject) {
    editor->Lines().SetText(" ");
    editor->SetSelStart(0);
    std::string reason;
    IOleObject* object = InsertPictureObject(*editor, reason);
    if (!object) GTEST_SKIP() << "Wine cannot make a picture object here: " << reason;
    object->Release();
    editor->SetSelStart(0);
    editor->SetSelLength(1);
    REOBJECT selected{};
    if (!editor->Ole().SelectedObject(selected)) GTEST_SKIP() << "Wine's rich edit reports no selected object";
    selected.poleobj->Release();
    if (selected.polesite) selected.polesite->Release();
    if (selected.pstg) selected.pstg->Release();
    bool seen = false;
    Later([&] {
        HWND dialog = GetForegroundWindow();
        if (dialog && dialog != form->Handle()) {
            seen = true;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }, 800);
    const UINT result = editor->Ole().ObjectPropertiesDialog();
    Later([] {}, 1);
    if (!seen && result == OLEUI_FALSE)
        GTEST_SKIP() << "Wine's OleUIObjectProperties is a stub that shows nothing";
    EXPECT_TRUE(seen);
    EXPECT_EQ(result, static_cast<UINT>(OLEUI_CANCEL));
}

TEST_F(RichEditOleTest, ObjectInformationTheDialogAsksFor) {
    editor->SetDocumentTitle("Brief");
    editor->Lines().SetText(" ");
    editor->SetSelStart(0);
    std::string reason;
    IOleObject* object = InsertPictureObject(*editor, reason);
    if (!object) GTEST_SKIP() << "Wine cannot make a picture object here: " << reason;
    editor->SetSelStart(0);
    editor->SetSelLength(1);
    auto* info = new TOleUILinkInfo(editor->Ole(), object, DVASPECT_CONTENT);
    IOleUIObjInfoW* objectInfo = info;
    DWORD size = 0;
    LPWSTR label = nullptr;
    LPWSTR type = nullptr;
    LPWSTR shortType = nullptr;
    LPWSTR location = nullptr;
    ASSERT_EQ(objectInfo->GetObjectInfo(TOleUILinkInfo::ObjectCookie, &size, &label, &type, &shortType, &location), S_OK);
    EXPECT_GT(size, 48u * 32u * 3u) << "a copy saved into memory holds at least the 48 x 32 picture";
    ASSERT_NE(location, nullptr);
    EXPECT_EQ(NarrowText(location), "Brief");
    ASSERT_NE(type, nullptr);
    EXPECT_FALSE(NarrowText(type).empty());
    for (LPWSTR text : {label, type, shortType, location}) CoTaskMemFree(text);
    HGLOBAL picture = reinterpret_cast<HGLOBAL>(1);
    DWORD aspect = 0;
    int scale = 0;
    ASSERT_EQ(objectInfo->GetViewInfo(TOleUILinkInfo::ObjectCookie, &picture, &aspect, &scale), S_OK);
    EXPECT_EQ(picture, nullptr);
    EXPECT_EQ(aspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(scale, 100);
    CLSID classId = CLSID_NULL;
    UINT excluded = 9;
    ASSERT_EQ(objectInfo->GetConvertInfo(TOleUILinkInfo::ObjectCookie, &classId, nullptr, nullptr, nullptr, &excluded), S_OK);
    EXPECT_EQ(excluded, 0u);
    IOleUILinkInfoW* linkInfo = info;
    EXPECT_EQ(linkInfo->GetNextLink(0), 0u) << "an embedded picture is no link";
    // Switching the view to an icon tells the control.
    const HRESULT switched = objectInfo->SetViewInfo(TOleUILinkInfo::ObjectCookie, nullptr, DVASPECT_ICON, 100, FALSE);
    if (SUCCEEDED(switched)) {
        EXPECT_EQ(info->Aspect(), static_cast<DWORD>(DVASPECT_ICON));
        REOBJECT record{};
        record.cbStruct = sizeof(record);
        ASSERT_EQ(editor->Ole().RichEditOle()->GetObject(0, &record, REO_GETOBJ_NO_INTERFACES), S_OK);
        EXPECT_EQ(record.dvaspect, static_cast<DWORD>(DVASPECT_ICON));
    } else {
        EXPECT_EQ(info->Aspect(), static_cast<DWORD>(DVASPECT_CONTENT)) << "a refused switch keeps the aspect";
    }
    objectInfo->Release();
    object->Release();
}

// A window with docks, a toolbar, a ruler panel and an editor, for the in-place frame.
class TFrameTestForm : public TWin95Form {
public:
    explicit TFrameTestForm(TComponent* owner) : TWin95Form(owner) {
        SetBounds(150, 120, 480, 320);
        Menu = new TMainMenu(this);
        Shortcut = new TMenuItem(this);
        Shortcut->SetCaption("&Fett");
        Shortcut->SetShortCut(ShortCut('K', {ssCtrl}));
        Shortcut->OnClick = [this](TMenuItem&) { ++ShortcutClicks; };
        Menu->Items().Add(Shortcut);
        SetMenu(Menu);
        DockTop = new TDock(this);
        DockTop->SetPosition(dpTop);
        DockTop->SetParent(this);
        Toolbar = new TToolbar(this);
        Toolbar->DockTo(DockTop, 0, 0);
        Ruler = new TPanel(this);
        Ruler->SetAlign(alTop);
        Ruler->SetHeight(25);
        Ruler->SetParent(this);
        Editor = new TRichEdit2(this);
        Editor->SetAlign(alClient);
        Editor->SetParent(this);
        Editor->OnGetToolControls = [this](TRichEdit2&, std::vector<TControl*>& tools) { tools.push_back(Ruler); };
    }
    TMainMenu* Menu = nullptr;
    TMenuItem* Shortcut = nullptr;
    TDock* DockTop = nullptr;
    TToolbar* Toolbar = nullptr;
    TPanel* Ruler = nullptr;
    TRichEdit2* Editor = nullptr;
    int ShortcutClicks = 0;
};

TEST_F(RichEditOleTest, InplaceFrameMakesRoomAtTheBordersAndPutsEverythingBack) {
    auto* frameForm = NewForm<TFrameTestForm>(nullptr);
    frameForm->Show();
    WaitForInputHandled();
    TRichEdit2& edit = *frameForm->Editor;
    frameForm->Realign();
    WaitForInputHandled();
    const RECT editBefore = edit.BoundsRect();
    ASSERT_EQ(editBefore.bottom, frameForm->ClientHeight());
    const RECT rulerBefore = frameForm->Ruler->BoundsRect();
    TInplaceFrame* frame = edit.Ole().Frame();
    HWND window = nullptr;
    ASSERT_EQ(frame->GetWindow(&window), S_OK);
    EXPECT_EQ(window, frameForm->Handle());
    RECT border{};
    ASSERT_EQ(frame->GetBorder(&border), S_OK);
    EXPECT_EQ(border.right, frameForm->ClientWidth());

    const BORDERWIDTHS room{-1, 30, 20, -1};
    ASSERT_EQ(frame->SetBorderSpace(&room), S_OK);
    WaitForInputHandled();
    EXPECT_FALSE(frameForm->DockTop->Visible());
    EXPECT_FALSE(frameForm->Toolbar->Visible());
    EXPECT_FALSE(frameForm->Ruler->Visible()) << "what OnGetToolControls adds is hidden too";
    EXPECT_EQ(frame->Placeholder(0), nullptr) << "no room asked on the left";
    ASSERT_NE(frame->Placeholder(1), nullptr);
    ASSERT_NE(frame->Placeholder(2), nullptr);
    EXPECT_EQ(frame->Placeholder(1)->Top(), 0);
    EXPECT_EQ(frame->Placeholder(1)->Height(), 30);
    EXPECT_EQ(frame->Placeholder(2)->Width(), 20);
    EXPECT_EQ(edit.Top(), 30) << "the editor moved below the room";
    Shot(frameForm->Handle(), "rich_edit_inplace_room");

    frame->RestoreToolControls();
    WaitForInputHandled();
    EXPECT_TRUE(frameForm->DockTop->Visible());
    EXPECT_TRUE(frameForm->Ruler->Visible());
    EXPECT_EQ(frame->Placeholder(1), nullptr);
    const RECT editAfter = edit.BoundsRect();
    EXPECT_TRUE(EqualRect(&editBefore, &editAfter))
        << "the editor is back in place: " << editAfter.left << "," << editAfter.top << "," << editAfter.right << ","
        << editAfter.bottom << " was " << editBefore.left << "," << editBefore.top << "," << editBefore.right << ","
        << editBefore.bottom << "; dock height " << frameForm->DockTop->Height();
    const RECT rulerAfter = frameForm->Ruler->BoundsRect();
    EXPECT_TRUE(EqualRect(&rulerBefore, &rulerAfter));

    // The container's callback shows the tools again when the object's UI goes.
    ASSERT_EQ(frame->SetBorderSpace(&room), S_OK);
    edit.Ole().Callback()->ShowContainerUI(TRUE);
    EXPECT_TRUE(frameForm->Ruler->Visible());
    EXPECT_EQ(frame->Placeholder(1), nullptr);
    delete frameForm;
}

TEST_F(RichEditOleTest, InplaceFrameSharesMenusStatusAndShortcuts) {
    auto* frameForm = NewForm<TFrameTestForm>(nullptr);
    frameForm->Show();
    WaitForInputHandled();
    TInplaceFrame* frame = frameForm->Editor->Ole().Frame();
    HMENU shared = CreateMenu();
    OLEMENUGROUPWIDTHS widths{};
    ASSERT_EQ(frame->InsertMenus(shared, &widths), S_OK);
    EXPECT_EQ(widths.width[0], 0);
    EXPECT_EQ(widths.width[2], 1) << "the main menu's item in the container group";
    EXPECT_EQ(GetMenuItemCount(shared), 1);
    HOLEMENU descriptor = OleCreateMenuDescriptor(shared, &widths);
    ASSERT_NE(descriptor, nullptr);
    ASSERT_EQ(frame->SetMenu(shared, descriptor, frameForm->Editor->Handle()), S_OK);
    EXPECT_EQ(GetMenu(frameForm->Handle()), shared);
    ASSERT_EQ(frame->RemoveMenus(shared), S_OK);
    EXPECT_EQ(GetMenuItemCount(shared), 0);
    EXPECT_EQ(frame->SetMenu(nullptr, nullptr, nullptr), S_OK);
    EXPECT_NE(GetMenu(frameForm->Handle()), shared) << "the form's own menu is back";
    OleDestroyMenuDescriptor(descriptor);
    DestroyMenu(shared);

    frame->SetStatusText(L"Objekt aktiv");
    EXPECT_EQ(Application->Hint(), "Objekt aktiv");

    MSG key{frameForm->Handle(), WM_KEYDOWN, 'K', 0, 0, {}};
    KeyInput(VK_CONTROL, true);
    WaitForInputHandled();
    EXPECT_EQ(frame->TranslateAccelerator(&key, 0), S_OK) << "a shortcut of the form's menu";
    KeyInput(VK_CONTROL, false);
    WaitForInputHandled();
    EXPECT_EQ(frameForm->ShortcutClicks, 1);
    MSG other{frameForm->Handle(), WM_KEYDOWN, 'Q', 0, 0, {}};
    EXPECT_EQ(frame->TranslateAccelerator(&other, 0), S_FALSE);
    EXPECT_EQ(frameForm->ShortcutClicks, 1);
    delete frameForm;
}

TEST_F(RichEditOleTest, ClosingTheObjectsLetsGoAndANewWindowInstallsAgain) {
    ASSERT_TRUE(editor->ObjectsAvailable());
    editor->Ole().CloseObjects();
    EXPECT_FALSE(editor->ObjectsAvailable());
    EXPECT_EQ(editor->Ole().RichEditOle(), nullptr);
    editor->RecreateWnd();
    EXPECT_TRUE(editor->ObjectsAvailable());
}

}  // namespace
