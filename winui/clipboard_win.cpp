#include "winui/clipboard_win.h"

#include <cstring>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

constexpr int OpenAttempts = 10;
constexpr DWORD OpenRetryDelayMs = 20;

// Opens or closes the clipboard for the duration of one call when no bracket is open.
class TImplicitOpen {
public:
    explicit TImplicitOpen(TWin32Clipboard& clipboard) : clipboard_(clipboard)
    {
        clipboard_.Open();
    }
    ~TImplicitOpen() { clipboard_.Close(); }
    TImplicitOpen(const TImplicitOpen&) = delete;
    TImplicitOpen& operator=(const TImplicitOpen&) = delete;

private:
    TWin32Clipboard& clipboard_;
};

}  // namespace

TWin32Clipboard::~TWin32Clipboard()
{
    if (openCount_ > 0)
        CloseClipboard();
    if (owner_)
        DestroyWindow(owner_);
}

HWND TWin32Clipboard::OwnerWindow()
{
    // EmptyClipboard makes the opening window the owner; with no window SetClipboardData fails.
    if (!owner_)
        owner_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    return owner_;
}

unsigned TWin32Clipboard::RegisterFormat(const std::string& name)
{
    UINT format = RegisterClipboardFormatA(name.c_str());
    if (format == 0)
        throw EClipboardError(sid::ClipboardFormatError);
    return format;
}

void TWin32Clipboard::Open()
{
    if (openCount_ > 0) {
        ++openCount_;
        return;
    }
    HWND owner = OwnerWindow();
    for (int attempt = 0; attempt < OpenAttempts; ++attempt) {
        if (OpenClipboard(owner)) {
            openCount_ = 1;
            emptyOnNextSet_ = true;
            return;
        }
        Sleep(OpenRetryDelayMs);
    }
    throw EClipboardError(sid::ClipboardOpenError);
}

void TWin32Clipboard::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0) {
        emptyOnNextSet_ = false;
        CloseClipboard();
    }
}

bool TWin32Clipboard::HasFormat(unsigned format)
{
    return IsClipboardFormatAvailable(format) != 0;
}

void TWin32Clipboard::SetData(unsigned format, const std::vector<uint8_t>& data)
{
    TImplicitOpen bracket(*this);
    if (emptyOnNextSet_) {
        EmptyClipboard();
        emptyOnNextSet_ = false;
    }
    // A zero-sized movable block would be discarded at once; put at least one byte.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data.empty() ? 1 : data.size());
    if (!block)
        throw std::bad_alloc();
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        throw std::bad_alloc();
    }
    if (data.empty())
        static_cast<uint8_t*>(target)[0] = 0;
    else
        std::memcpy(target, data.data(), data.size());
    GlobalUnlock(block);
    // On success the block belongs to the system.
    if (!SetClipboardData(format, block)) {
        GlobalFree(block);
        throw EClipboardError(sid::ClipboardFormatError);
    }
}

std::vector<uint8_t> TWin32Clipboard::GetData(unsigned format)
{
    TImplicitOpen bracket(*this);
    HANDLE block = GetClipboardData(format);
    if (!block)
        return {};
    const void* source = GlobalLock(block);
    if (!source)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(source);
    std::vector<uint8_t> data(bytes, bytes + GlobalSize(block));
    GlobalUnlock(block);
    return data;
}
