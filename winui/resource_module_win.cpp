#include "winui/resource_module_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/cp1252.h"

namespace {

constexpr size_t MaxOverrideLength = 4;
constexpr const char* LocalesKey = "Software\\Varnolet\\Locales";

HMODULE activeLibrary = nullptr;

// A string value of at most MaxOverrideLength characters, else empty.
std::string ReadShortValue(HKEY key, const char* name)
{
    char buffer[MaxOverrideLength + 1] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer);
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                   &size);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return {};
    // A stored value need not end with a zero.
    return std::string(buffer, strnlen(buffer, std::min<size_t>(size, MaxOverrideLength)));
}

}  // namespace

std::string ChooseResourceFile(const std::string& programPath, const std::string& overrideSuffix,
                               const std::string& abbreviation, const TTryLoadLibrary& tryLoad)
{
    if (programPath.empty() || (overrideSuffix.empty() && abbreviation.empty()))
        return {};
    size_t dot = programPath.rfind('.');
    if (dot == std::string::npos)
        return {};
    const std::string stem = programPath.substr(0, dot + 1);
    std::vector<std::string> suffixes;
    if (!overrideSuffix.empty())
        suffixes.push_back(overrideSuffix);
    if (!abbreviation.empty()) {
        suffixes.push_back(abbreviation);
        if (abbreviation.size() > 2)
            suffixes.push_back(abbreviation.substr(0, 2));
    }
    for (const std::string& suffix : suffixes) {
        if (tryLoad(stem + suffix))
            return stem + suffix;
    }
    return {};
}

std::string ProgramPath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), buffer.size());
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string ReadLocaleOverride(const std::string& programPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, LocalesKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string suffix = ReadShortValue(key, programPath.c_str());
    if (suffix.empty())
        suffix = ReadShortValue(key, nullptr);
    RegCloseKey(key);
    return suffix;
}

std::string ThreadLanguageAbbreviation()
{
    char buffer[8] = {};
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_SABBREVLANGNAME, buffer, sizeof(buffer)) == 0)
        return {};
    return std::string(buffer, strnlen(buffer, 3));
}

std::string LoadResourceModule()
{
    FreeResourceModule();
    const std::string path = ProgramPath();
    HMODULE loaded = nullptr;
    auto tryLoad = [&loaded](const std::string& candidate) {
        loaded = LoadLibraryExA(candidate.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        return loaded != nullptr;
    };
    std::string chosen =
        ChooseResourceFile(path, ReadLocaleOverride(path), ThreadLanguageAbbreviation(), tryLoad);
    activeLibrary = loaded;
    return chosen;
}

void FreeResourceModule()
{
    if (activeLibrary)
        FreeLibrary(activeLibrary);
    activeLibrary = nullptr;
}

HMODULE ResourceModule()
{
    return activeLibrary ? activeLibrary : GetModuleHandleA(nullptr);
}

std::string TModuleStringSource::Load(int id) const
{
    if (id < 0 || id > 0xFFFF)
        return {};
    // With a zero buffer size LoadStringW hands back a pointer into the resource itself.
    const wchar_t* text = nullptr;
    int length = LoadStringW(ResourceModule(), static_cast<UINT>(id),
                             reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return {};
    std::u16string unicode(reinterpret_cast<const char16_t*>(text), length);
    return Utf16ToCp1252(unicode);
}
