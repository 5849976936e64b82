// The system clipboard behind TClipboard: registered clipboard formats and movable global memory
// blocks. A hidden window owns what the program puts on the clipboard.
#pragma once

#include <windows.h>

#include "base/clipboard.h"

class TWin32Clipboard : public TClipboard {
public:
    TWin32Clipboard() = default;
    ~TWin32Clipboard() override;
    TWin32Clipboard(const TWin32Clipboard&) = delete;
    TWin32Clipboard& operator=(const TWin32Clipboard&) = delete;

    // Raises EClipboardError (65317) when the system refuses the name.
    unsigned RegisterFormat(const std::string& name) override;
    // Open may be nested; only the outermost Open and Close reach the system. Open retries for a
    // short while when another program holds the clipboard, then raises EClipboardError (65316).
    void Open() override;
    void Close() override;
    bool HasFormat(unsigned format) override;
    // Outside an Open/Close bracket, SetData and GetData open and close the clipboard themselves.
    // SetData raises EClipboardError (65317) when the system does not take the block.
    void SetData(unsigned format, const std::vector<uint8_t>& data) override;
    // The system may round blocks up, so the result can be longer than what was put.
    std::vector<uint8_t> GetData(unsigned format) override;

    bool IsOpen() const { return openCount_ > 0; }
    HWND OwnerWindow();

private:
    HWND owner_ = nullptr;
    int openCount_ = 0;
    bool emptyOnNextSet_ = false;
};
