// The rich edit library of the process: the newer library ("RICHED20.DLL", window class
// "RichEdit20A", version 2) when it loads, else the older one ("RICHED32.DLL", "RICHEDIT",
// version 1), else none (version 0: controls fall back to the plain multi-line edit). It is
// loaded on first need and stays loaded for the life of the program: windows of its class may
// exist until the end, and data it put on the clipboard must be rendered before it goes.
// TOleSession brackets the program's use of OLE and frees the library at its end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TRichEditLibrary {
public:
    struct TCandidate {
        std::string FileName;
        std::string WindowClass;
        int Version = 0;
    };

    // The process-wide library with the two candidates above.
    static TRichEditLibrary& Process();

    // A library tried from Candidates in order (tests choose the older or no library).
    explicit TRichEditLibrary(std::vector<TCandidate> candidates);
    ~TRichEditLibrary();
    TRichEditLibrary(const TRichEditLibrary&) = delete;
    TRichEditLibrary& operator=(const TRichEditLibrary&) = delete;

    // Loads the first candidate that loads (once); the version loaded, 0 for none.
    int Load();
    int Version() { return Load(); }
    // The window class of the loaded library; empty for none.
    std::string WindowClass();
    HMODULE Module() const { return module_; }
    // Renders what is left on the clipboard, then lets the library go.
    void Free();

private:
    std::vector<TCandidate> candidates_;
    HMODULE module_ = nullptr;
    int version_ = 0;
    std::string windowClass_;
    bool tried_ = false;
};

// Clipboard formats the embedded objects work with, registered by name at start-up.
struct TOleClipboardFormats {
    CLIPFORMAT ObjectDescriptor = 0;
    CLIPFORMAT EmbeddedObject = 0;
    CLIPFORMAT LinkSource = 0;
    CLIPFORMAT RichTextFormat = 0;
    CLIPFORMAT RichTextWithoutObjects = 0;
    CLIPFORMAT RichEditTextAndObjects = 0;
};
const TOleClipboardFormats& OleClipboardFormats();

// OLE for the program's life: initialised (and the formats registered) when made; at the end
// the clipboard is flushed, the rich edit library freed and OLE uninitialised, in that order.
class TOleSession {
public:
    TOleSession();
    ~TOleSession();
    TOleSession(const TOleSession&) = delete;
    TOleSession& operator=(const TOleSession&) = delete;
    bool Initialized() const { return initialized_; }

private:
    bool initialized_ = false;
};
