// The in-place frame lent to an object that is active inside the editor: the editor's form
// gives the object room at its borders (its tool controls are hidden and placeholders of the
// asked widths put in their place, everything back as it was afterwards), shares the form's
// menu bar, shows the object's status texts as the application's hint, and honours the
// shortcuts of the form's main menu.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>
#include <vector>

class TForm;
class TControl;
class TWinControl;
class TRichEdit2;

class TInplaceFrame final : public IOleInPlaceFrame {
public:
    // Form: the editor's form (null: the control's own window is the frame).
    TInplaceFrame(TForm* form, TRichEdit2& control);
    TInplaceFrame(const TInplaceFrame&) = delete;
    TInplaceFrame& operator=(const TInplaceFrame&) = delete;

    // Hides nothing any more and lets go of the active object; the owner is going.
    void Detach();
    // Frees the placeholders, shows the hidden tool controls and puts every control back.
    void RestoreToolControls();
    IOleInPlaceActiveObject* ActiveObject() const { return active_; }
    // The placeholder of a side (0 left, 1 top, 2 right, 3 bottom), null when none.
    TWinControl* Placeholder(int side) const { return placeholders_[side]; }
    const std::vector<TControl*>& HiddenControls() const { return hidden_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL enterMode) override;
    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU descriptor, HWND objectWindow) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, WORD id) override;

private:
    ~TInplaceFrame();
    HWND FrameWindow();
    void SaveBoundsOnce();
    void HideToolControls();
    void AddPlaceholder(int side, LONG width);
    void FreePlaceholders();
    HRESULT BringObjectWindowUp(IOleInPlaceActiveObject* object);

    TForm* form_;
    TRichEdit2* control_;
    ULONG references_ = 1;
    IOleInPlaceActiveObject* active_ = nullptr;
    std::vector<TControl*> hidden_;
    std::vector<std::pair<TControl*, RECT>> saved_;
    bool boundsSaved_ = false;
    TWinControl* placeholders_[4] = {nullptr, nullptr, nullptr, nullptr};
    SIZE clientSize_{};
};
