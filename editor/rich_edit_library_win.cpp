#include "editor/rich_edit_library_win.h"

#include <ole2.h>

#include <utility>

#include "winui/text_win.h"

TRichEditLibrary& TRichEditLibrary::Process() {
    static TRichEditLibrary library({{"RICHED20.DLL", "RichEdit20A", 2}, {"RICHED32.DLL", "RICHEDIT", 1}});
    return library;
}

TRichEditLibrary::TRichEditLibrary(std::vector<TCandidate> candidates) : candidates_(std::move(candidates)) {}

// Windows of the library's class may outlive this object until the process ends; the library
// is let go explicitly (Free), never on the way out.
TRichEditLibrary::~TRichEditLibrary() = default;

int TRichEditLibrary::Load() {
    if (tried_) return version_;
    tried_ = true;
    // A missing library is an expected answer here, not a reason for a system message box.
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    for (const TCandidate& candidate : candidates_) {
        HMODULE module = LoadLibraryW(WideText(candidate.FileName).c_str());
        if (!module) continue;
        module_ = module;
        version_ = candidate.Version;
        windowClass_ = candidate.WindowClass;
        break;
    }
    SetErrorMode(oldMode);
    return version_;
}

std::string TRichEditLibrary::WindowClass() {
    Load();
    return windowClass_;
}

void TRichEditLibrary::Free() {
    if (!module_) return;
    OleFlushClipboard();
    FreeLibrary(module_);
    module_ = nullptr;
    version_ = 0;
    windowClass_.clear();
}

namespace {

TOleClipboardFormats RegisterFormats() {
    auto reg = [](const wchar_t* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)); };
    TOleClipboardFormats formats;
    formats.ObjectDescriptor = reg(L"Object Descriptor");
    formats.EmbeddedObject = reg(L"Embedded Object");
    formats.LinkSource = reg(L"Link Source");
    formats.RichTextFormat = reg(L"Rich Text Format");
    formats.RichTextWithoutObjects = reg(L"Rich Text Format Without Objects");
    formats.RichEditTextAndObjects = reg(L"RichEdit Text and Objects");
    return formats;
}

}  // namespace

const TOleClipboardFormats& OleClipboardFormats() {
    static const TOleClipboardFormats formats = RegisterFormats();
    return formats;
}

TOleSession::TOleSession() {
    initialized_ = SUCCEEDED(OleInitialize(nullptr));
    OleClipboardFormats();
}

TOleSession::~TOleSession() {
    // The library may still own clipboard data: render it before the library goes.
    TRichEditLibrary::Process().Free();
    if (initialized_) OleUninitialize();
}
