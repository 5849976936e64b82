// TRichEditOle, the container side of the embedded objects of one TRichEdit2: it holds the
// control's rich edit OLE interface and the object callback (installed with each new window),
// the temporary root storage in which every object gets a storage of its own ("REOBJ1",
// "REOBJ2", ...), the last object found under the mouse, and the in-place frame. It runs the
// OLE dialogs (insert object, paste special, object properties) and fills the object item of
// the editor's context menu with the selected object's verbs. Without a rich edit library it
// does nothing.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include <string>

class TRichEdit2;
class TRichEditOleCallback;
class TInplaceFrame;
class TPopupMenu;
class TMenuItem;

class TRichEditOle {
public:
    explicit TRichEditOle(TRichEdit2& owner);
    ~TRichEditOle();
    TRichEditOle(const TRichEditOle&) = delete;
    TRichEditOle& operator=(const TRichEditOle&) = delete;

    TRichEdit2& Owner() { return owner_; }
    // True when the control gave its OLE interface and the callback is installed.
    bool ObjectsAvailable() const { return richOle_ && callback_; }
    IRichEditOle* RichEditOle() const { return richOle_; }
    IRichEditOleCallback* Callback() const;

    // After the control's window exists: the OLE interface, the callback, the host names.
    void InstallCallback();
    // Tells the control the application's title and the document's name ("(%s)" of the title).
    void SetHostNames();
    // When the window goes: the cached object is forgotten, an object active in place is
    // deactivated, the objects are closed and every reference is let go.
    void CloseObjects();
    void ForgetCachedObject();

    // The OLE dialogs on the selection; each does nothing without objects.
    void InsertObjectDialog();
    void PasteSpecialDialog();
    // The result of the dialog (OLEUI_OK, OLEUI_CANCEL, ...); OLEUI_FALSE when nothing was shown.
    UINT ObjectPropertiesDialog();

    // The object under a client point (its record without interfaces), false when none.
    bool ObjectAtPoint(POINT client, REOBJECT& object);
    // The record and pixel rectangle of the object found last; false when none is cached.
    bool CachedObject(REOBJECT& object, RECT& rect) const;
    // Fills the popup's object item (caption 65256) with the selected object's verbs; without
    // a selected object the item is disabled.
    void AddObjectVerbs(TPopupMenu& menu);
    // Gives the object item its caption 65256 back and frees the verb items.
    void RestoreObjectItem(TPopupMenu& menu);

    // A new storage for an object in the root storage; the caller releases it.
    IStorage* NewStorage();
    int ObjectCounter() const { return objectCounter_; }
    // Inserts an object made in Storage at the selection, as an icon when AsIcon; a new object
    // is then opened for editing when ShowNew.
    void InsertCreatedObject(IOleObject* object, IStorage* storage, bool asIcon, bool showNew);
    // Runs Verb of the selected object.
    void DoVerbOfSelection(LONG verb);
    // The selected object with its interfaces (the caller releases them); false when none.
    bool SelectedObject(REOBJECT& object);

    // While above 0 objects are not activated in place.
    int InplaceLock() const { return inplaceLock_; }
    void LockInplace() { ++inplaceLock_; }
    void UnlockInplace() {
        if (inplaceLock_ > 0) --inplaceLock_;
    }
    // The in-place frame (made on first need), or the one that exists.
    TInplaceFrame* Frame();
    TInplaceFrame* ExistingFrame() const { return frame_; }
    // Moves an object active in place to where its text now is.
    void RepositionInplaceObject();
    // Called by the callback when the control deletes an object.
    void ObjectDeleted(IOleObject* object);

private:
    bool ObjectRect(const REOBJECT& object, RECT& rect);
    bool FetchObjectAt(LONG cp, REOBJECT& object);
    TMenuItem* FindObjectItem(TMenuItem& item);
    static bool ContainsItem(TMenuItem& parent, const TMenuItem* item);

    TRichEdit2& owner_;
    IRichEditOle* richOle_ = nullptr;
    TRichEditOleCallback* callback_ = nullptr;
    IStorage* rootStorage_ = nullptr;
    int objectCounter_ = 0;
    unsigned char inplaceLock_ = 0;
    bool cacheValid_ = false;
    REOBJECT cachedObject_{};
    RECT cachedRect_{};
    // Only compared, never called: the object the cache describes.
    IOleObject* cachedIdentity_ = nullptr;
    TInplaceFrame* frame_ = nullptr;
    // The menu item AddObjectVerbs changed last (its caption is the object's name meanwhile).
    TMenuItem* objectItem_ = nullptr;
};
