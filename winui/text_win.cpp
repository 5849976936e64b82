#include "winui/text_win.h"

#include <cwchar>
#include <vector>

#include "base/cp1252.h"

std::wstring WideText(const std::string& text) {
    std::u16string wide = Cp1252ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string NarrowText(const wchar_t* text, int length) {
    if (!text) return {};
    size_t count = length < 0 ? std::wcslen(text) : static_cast<size_t>(length);
    return Utf16ToCp1252(std::u16string(text, text + count));
}

std::string NarrowText(const std::wstring& text) {
    return NarrowText(text.c_str(), static_cast<int>(text.size()));
}

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int got = GetWindowTextW(window, buffer.data(), length + 1);
    return NarrowText(buffer.data(), got);
}

void SetWindowTextCp1252(HWND window, const std::string& text) {
    SetWindowTextW(window, WideText(text).c_str());
}
