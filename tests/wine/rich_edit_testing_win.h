// Helpers of the rich edit tests: OLE for the test program, the demonstration window with one
// TRichEdit2 between two edits, reading and writing the editor's RTF through streams, a spy on
// the messages the control's window receives, and streams that fail or trickle on purpose.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <richedit.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/stream.h"
#include "editor/rich_edit_win.h"
#include "tests/wine/program_folder_test_win.h"
#include "tests/wine/widgets_testing_win.h"
#include "widgets/win95_form_win.h"
#include "winui/std_edits_win.h"

// OLE on the test thread, once for the program's life (the rich edit library stays loaded too).
inline void EnsureOle() {
    static const bool initialized = SUCCEEDED(OleInitialize(nullptr));
    (void)initialized;
}

// The demonstration window: a title edit, the editor filling the window, a note edit.
class TRichEditDemoForm : public TWin95Form {
public:
    explicit TRichEditDemoForm(TComponent* owner, TRichEditLibrary* library = nullptr) : TWin95Form(owner) {
        SetName("RichEditDemoForm");
        SetBounds(120, 80, 560, 420);
        TitleEdit = new TEdit(this);
        TitleEdit->SetName("TitleEdit");
        TitleEdit->SetAlign(alTop);
        TitleEdit->SetParent(this);
        Editor = new TRichEdit2(this, library);
        Editor->SetName("Editor");
        Editor->SetAlign(alClient);
        Editor->SetScrollBars(ssVertical);
        Editor->SetParent(this);
        NoteEdit = new TEdit(this);
        NoteEdit->SetName("NoteEdit");
        NoteEdit->SetAlign(alBottom);
        NoteEdit->SetParent(this);
        TitleEdit->SetTabOrder(0);
        Editor->SetTabOrder(1);
        NoteEdit->SetTabOrder(2);
    }

    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"TRichEditDemoForm", &TWin95Form::StaticClass(), {}, {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TEdit* TitleEdit = nullptr;
    TRichEdit2* Editor = nullptr;
    TEdit* NoteEdit = nullptr;
};

// The whole text of Editor as RTF (or plain text when it is in plain-text mode).
inline std::string SavedText(TRichEdit2& editor) {
    TMemoryStream stream;
    editor.Lines().SaveToStream(stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

inline void LoadText(TRichEdit2& editor, const std::string& text) {
    TMemoryStream stream;
    if (!text.empty()) stream.WriteBuffer(text.data(), text.size());
    stream.SetPosition(0);
    editor.Lines().LoadFromStream(stream);
}

// A text of the source (UTF-8) in the program's code page.
inline std::string Ansi(const char* utf8) { return Utf8ToCp1252(utf8); }

// The text the control holds, as WM_GETTEXT gives it.
inline std::string PlainOf(TRichEdit2& editor) { return editor.Text(); }

// Counts (and keeps the parameters of) chosen messages on their way to a window, without
// changing them: a subclass in front of the window's own procedure, removed at scope end.
class TMessageSpy {
public:
    TMessageSpy(HWND window, std::vector<UINT> messages) : window_(window), messages_(std::move(messages)) {
        Spies()[window_] = this;
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TMessageSpy::Proc)));
    }
    ~TMessageSpy() {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        Spies().erase(window_);
    }
    TMessageSpy(const TMessageSpy&) = delete;
    TMessageSpy& operator=(const TMessageSpy&) = delete;

    int Count(UINT message) const { return static_cast<int>(std::count(seen_.begin(), seen_.end(), message)); }
    // Watched messages that the window does not get at all (answered with 0).
    std::vector<UINT> Swallow;
    // Called with every watched message before the window gets it.
    std::function<void(UINT message, WPARAM wParam, LPARAM lParam)> OnMessage;

private:
    static std::map<HWND, TMessageSpy*>& Spies() {
        static std::map<HWND, TMessageSpy*> spies;
        return spies;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        TMessageSpy* spy = Spies()[window];
        if (std::find(spy->messages_.begin(), spy->messages_.end(), message) != spy->messages_.end()) {
            spy->seen_.push_back(message);
            if (spy->OnMessage) spy->OnMessage(message, wParam, lParam);
            if (std::find(spy->Swallow.begin(), spy->Swallow.end(), message) != spy->Swallow.end()) return 0;
        }
        return CallWindowProcW(spy->previous_, window, message, wParam, lParam);
    }

    HWND window_;
    std::vector<UINT> messages_;
    WNDPROC previous_ = nullptr;
    std::vector<UINT> seen_;
};

// A stream over a text that hands out at most Step bytes per read.
class TTrickleStream : public TMemoryStream {
public:
    TTrickleStream(const std::string& text, size_t step) : step_(step) {
        if (!text.empty()) WriteBuffer(text.data(), text.size());
        SetPosition(0);
    }
    size_t Read(void* buffer, size_t count) override {
        ++reads;
        return TMemoryStream::Read(buffer, std::min(count, step_));
    }
    int reads = 0;

private:
    size_t step_;
};

// A stream whose reads fail after FailAfter bytes.
class TBrokenStream : public TMemoryStream {
public:
    TBrokenStream(const std::string& text, size_t failAfter) : failAfter_(failAfter) {
        if (!text.empty()) WriteBuffer(text.data(), text.size());
        SetPosition(0);
    }
    size_t Read(void* buffer, size_t count) override {
        if (static_cast<size_t>(Position()) + count > failAfter_) throw std::runtime_error("the medium failed");
        return TMemoryStream::Read(buffer, count);
    }

private:
    size_t failAfter_;
};

// A test with the demonstration window shown and active.
class RichEditFormTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        EnsureOle();
        form = NewForm<TRichEditDemoForm>(Application);
        form->Show();
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == form->Handle(); }));
        editor = form->Editor;
        editor->SetFocus();
        WaitForInputHandled();
    }
    void TearDown() override {
        for (WORD key : {VK_ESCAPE, VK_SHIFT, VK_CONTROL, VK_MENU}) KeyInput(key, false);
        MouseButton(false);
        MouseButton(false, true);
        delete form;
        WaitForInputHandled();
        ProgramFolderTest::TearDown();
    }

    TRichEditDemoForm* form = nullptr;
    TRichEdit2* editor = nullptr;
};

// RTF of a few formatted paragraphs used by several tests.
inline std::string SampleRtf() {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"
           "\\pard\\f0\\fs24 Normal {\\b fett} und {\\i kursiv}\\par"
           "\\pard\\qc\\cf1 rot zentriert\\cf0\\par"
           "\\pard\\sb120\\sa240\\li720\\ri360 eingezogen\\par"
           "\\pard\\tx1440\\tx2880 a\\tab b\\tab c\\par"
           "}";
}
