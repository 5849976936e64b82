// The clipboard as the portable code sees it: named formats registered once, and blocks of
// bytes put under a format or taken from it. The Win32 implementation uses registered
// clipboard formats and movable global memory; tests use an in-memory one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr unsigned cfText = 1;  // plain text, code page 1252, zero-terminated

class TClipboard {
public:
    virtual ~TClipboard() = default;
    // Id of a named format; the same name gives the same id for the whole run.
    virtual unsigned RegisterFormat(const std::string& name) = 0;
    // Open and Close bracket a series of calls; Open raises EClipboardError (65316) when the
    // clipboard cannot be opened. The first SetData after Open empties the clipboard.
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual bool HasFormat(unsigned format) = 0;
    virtual void SetData(unsigned format, const std::vector<uint8_t>& data) = 0;
    // The block under Format; empty when absent.
    virtual std::vector<uint8_t> GetData(unsigned format) = 0;
};

// The process-wide clipboard. Windows builds install the system clipboard at start-up; until a
// clipboard is installed, an in-memory one is used.
TClipboard& Clipboard();
// Installs Clipboard (none restores the in-memory one); returns the previous one (the
// in-memory one when none was installed).
TClipboard* SetClipboard(TClipboard* clipboard);

// An in-memory clipboard for tests and non-Windows builds. SetData outside an Open/Close
// bracket adds to the current content.
class TMemoryClipboard : public TClipboard {
public:
    unsigned RegisterFormat(const std::string& name) override;
    void Open() override;
    void Close() override;
    bool HasFormat(unsigned format) override;
    void SetData(unsigned format, const std::vector<uint8_t>& data) override;
    std::vector<uint8_t> GetData(unsigned format) override;
    int OpenCount() const { return openCount_; }

private:
    std::vector<std::string> names_;
    std::vector<std::pair<unsigned, std::vector<uint8_t>>> blocks_;
    int openCount_ = 0;
    bool emptyOnNextSet_ = false;
};
