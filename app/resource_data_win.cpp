#include "app/resource_data_win.h"

#include <windows.h>

#include "base/cp1252.h"
#include "nodes/node_stream.h"
#include "winui/resource_module_win.h"

namespace {

bool ReadFrom(HMODULE module, const std::string& name, std::vector<uint8_t>& data) {
    const std::u16string wide = Cp1252ToUtf16(name);
    HRSRC info = FindResourceW(module, reinterpret_cast<LPCWSTR>(wide.c_str()), reinterpret_cast<LPCWSTR>(RT_RCDATA));
    if (!info) return false;
    HGLOBAL block = LoadResource(module, info);
    const void* bytes = block ? LockResource(block) : nullptr;
    if (!bytes) return false;
    const auto* first = static_cast<const uint8_t*>(bytes);
    data.assign(first, first + SizeofResource(module, info));
    return true;
}

}  // namespace

bool ReadDataResource(const std::string& name, std::vector<uint8_t>& data) {
    HMODULE program = GetModuleHandleW(nullptr);
    HMODULE active = ResourceModule();
    if (active && active != program && ReadFrom(active, name, data)) return true;
    return ReadFrom(program, name, data);
}

void InstallResourceReader() { SetResourceReader(ReadDataResource); }
