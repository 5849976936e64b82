// TRichEdit2, the program's formatted-text control. It wraps the rich edit control of the
// process's rich edit library (the plain multi-line edit when there is none) and adds: loading
// and saving the whole text as RTF or plain text with progress and abort by Escape, printing
// with progress and abort, character attributes of the selection and of the default text,
// paragraph attributes, the protected-text and clipboard-save vetoes, and the embedded objects
// (TRichEditOle). Its window may be re-created at any time; text and Modified survive that.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "editor/escape_latch.h"
#include "editor/para_attributes_win.h"
#include "editor/rich_edit_library_win.h"
#include "editor/rich_edit_strings_win.h"
#include "editor/text_attributes_win.h"
#include "winui/memo_win.h"

class TRichEdit2;
class TRichEditOle;

// The long operation under way (ProgressAction).
enum : int { paIdle = 0, paAborted = 1, paPrinting = 10, paSaving = 11, paLoading = 12 };

using TRichEditResizeEvent = std::function<void(TRichEdit2& sender, const RECT& rect)>;
using TRichEditProtectChange = std::function<void(TRichEdit2& sender, int startPos, int endPos, bool& allowChange)>;
using TRichEditSaveClipboard =
    std::function<void(TRichEdit2& sender, int numObjects, int numChars, bool& saveClipboard)>;
using TProgressEvent = std::function<void(TRichEdit2& sender, int action, int max, int current)>;
using TGetToolControls = std::function<void(TRichEdit2& sender, std::vector<TControl*>& toolControls)>;

class TRichEdit2 : public TCustomMemo {
public:
    // Library: the rich edit library to use; the process's when null.
    explicit TRichEdit2(TComponent* owner, TRichEditLibrary* library = nullptr);
    ~TRichEdit2() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // 0 no rich edit library (plain edit), 1 the older, 2 the newer library.
    int RichEditVersion();

    TRichEdit2Strings& Lines();
    // Whether Lines loads and saves plain text instead of RTF.
    bool PlainText();
    void SetPlainText(bool plainText);
    bool HideScrollBars() const { return hideScrollBars_; }
    void SetHideScrollBars(bool hide);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    TTextAttributes2& SelAttributes() { return *selAttributes_; }
    TTextAttributes2& DefAttributes() { return *defAttributes_; }
    TParaAttributes2& Paragraph() { return *paragraph_; }
    // The printed area in printer pixels; empty for the whole page.
    RECT PageRect() const { return pageRect_; }
    void SetPageRect(const RECT& rect) { pageRect_ = rect; }
    std::string DocumentTitle() const { return documentTitle_; }
    void SetDocumentTitle(const std::string& title);
    bool InplaceEditObjects() const { return inplaceEditObjects_; }
    void SetInplaceEditObjects(bool inplace) { inplaceEditObjects_ = inplace; }
    int ProgressAction() const { return progressAction_; }
    // Pixels per logical inch of the screen, vertically.
    int ScreenPixelsPerInch() const { return screenPixelsPerInch_; }
    // While locked the control ignores its own change, selection and protection notifications.
    int NotifyLock() const { return notifyLock_; }
    void LockNotify() { ++notifyLock_; }
    void UnlockNotify() {
        if (notifyLock_ > 0) --notifyLock_;
    }

    // --- the edit operations, by rich edit messages when a library is loaded ---
    int SelStart() override;
    void SetSelStart(int start) override;
    int SelLength() override;
    void SetSelLength(int length) override;
    std::string SelText() override;
    void SetSelText(const std::string& text) override;
    // Copies at most BufferSize - 1 characters of the selection and a 0; returns the count.
    int GetSelTextBuf(char* buffer, int bufferSize);
    void SelectAll() override;
    void SetMaxLength(int length) override;
    // Empties the control without telling anyone; Modified becomes false. A long text goes
    // with its window: the control gets a new, empty one.
    void Clear() override;
    // The number of characters (a line break counts as the control keeps it).
    int TextLength();

    // --- long operations ---
    // Prints the whole text on the process's printer (TPrinter), titled DocumentTitle.
    void Print();
    // Fires OnProgress and lets the window answer messages sent to it meanwhile.
    void DoProgress(int action, int max, int current);
    // The Escape key as the long operations poll it.
    TEscapeLatch& EscapeLatch() { return escapeLatch_; }
    // Used by the line adapter while it streams.
    void SetProgressAction(int action) { progressAction_ = action; }

    // --- notifications and their events ---
    virtual void RequestSize(const RECT& rect);
    virtual void SelectionChange();
    // Whether a protected range may change (OnProtectChange decides; no handler: no).
    bool ProtectChange(int startPos, int endPos);
    // Whether the clipboard keeps what the control put there when it goes (default yes).
    bool SaveClipboard(int numObjects, int numChars);

    // --- embedded objects ---
    TRichEditOle& Ole() { return *ole_; }
    bool ObjectsAvailable();
    void PasteSpecialDialog();
    void InsertObjectDialog();
    void ObjectPropertiesDialog();
    // The data object of the whole text, as the control hands texts out (null without OLE
    // support or on failure); the caller releases it.
    IDataObject* WholeTextDataObject();
    // The tool controls of the editor's form that make room for an object active in place:
    // OnGetToolControls adds its own to List.
    void GetToolControls(std::vector<TControl*>& list);

    TRichEditResizeEvent OnResizeRequest;
    TNotifyEvent OnSelectionChange;
    TRichEditProtectChange OnProtectChange;
    TRichEditSaveClipboard OnSaveClipboard;
    TProgressEvent OnProgress;
    TGetToolControls OnGetToolControls;

    void WndProc(TMessage& msg) override;
    void DefaultHandler(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void Change() override;

private:
    void WMKeyTab(TMessage& msg);
    void WMLButtonUp(TMessage& msg);
    void WMRButtonUp(TMessage& msg);
    void WMSetCursor(TMessage& msg);
    void WMEraseBkgnd(TMessage& msg);
    void WMPaint(TMessage& msg);
    void WMScrollOrMove(TMessage& msg);
    void WMCloseObjects(TMessage& msg);
    void WMSetFont(TMessage& msg);
    void CMColorChanged(TMessage& msg);
    void CNNotify(TMessage& msg);
    bool IsModifiedTab(const TMessage& msg) const;
    void SendBackgroundColor();
    void RestoreKeptText();
    void ShowObjectMenu(POINT client);
    void AnswerSentMessages();
    void ClearByNewWindow();

    TRichEditLibrary& library_;
    int progressAction_ = paIdle;
    bool hideScrollBars_ = true;
    bool hideSelection_ = true;
    std::unique_ptr<TTextAttributes2> selAttributes_;
    std::unique_ptr<TTextAttributes2> defAttributes_;
    std::unique_ptr<TParaAttributes2> paragraph_;
    int screenPixelsPerInch_ = 96;
    // The text (as RTF) and the modified flag while the window is re-created.
    std::unique_ptr<TMemoryStream> keptText_;
    bool keptModified_ = false;
    RECT pageRect_{};
    std::string documentTitle_;
    std::unique_ptr<TRichEditOle> ole_;
    int notifyLock_ = 0;
    bool inplaceEditObjects_ = false;
    TEscapeLatch escapeLatch_;
    bool painting_ = false;
    // Set while Clear lets the window go together with its text.
    bool discardText_ = false;
    DWORD lastAnswered_ = 0;
};
