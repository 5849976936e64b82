#include "winui/form_texts_win.h"

#include <functional>

#include "base/format.h"
#include "base/string_ids.h"
#include "winui/resource_module_win.h"
#include "winui/text_win.h"

namespace {

// The component of that name among those Root owns, searched depth-first.
TComponent* FindOwned(TComponent& root, const std::string& name) {
    if (TComponent* found = root.FindComponent(name)) return found;
    for (int i = 0; i < root.ComponentCount(); ++i)
        if (TComponent* found = FindOwned(*root.Components(i), name)) return found;
    return nullptr;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    for (;;) {
        size_t end = text.find('\n', pos);
        lines.push_back(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) return lines;
        pos = end + 1;
    }
}

bool Apply(TComponent& target, const TFormTextEntry& entry) {
    const TPropInfo* prop = target.ClassType().FindProp(entry.Property);
    if (!prop || !prop->Set) return false;
    if (prop->Kind == TPropKind::pkStringList) {
        prop->Set(target, TPropValue(entry.IsList ? entry.Items : SplitLines(entry.Text)));
        return true;
    }
    if (prop->Kind == TPropKind::pkString && !entry.IsList) {
        prop->Set(target, TPropValue(entry.Text));
        return true;
    }
    return false;
}

}  // namespace

bool LoadFormTextTable(HMODULE module, const std::string& name, TFormTexts& table) {
    std::wstring wideName = WideText(UpperCase(name));
    HRSRC resource = FindResourceW(module, wideName.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!resource) return false;
    DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    if (size > MaxFormTextSize) throw EFormTextError(sid::InvalidStreamFormat, 0);
    table = TFormTexts::Parse(std::string(static_cast<const char*>(data), size));
    return true;
}

std::vector<std::string> ApplyFormTexts(TComponent& root, const TFormTexts& table) {
    std::vector<std::string> missed;
    for (const TFormTextEntry& entry : table.Entries()) {
        TComponent* target = entry.Component.empty() ? &root : FindOwned(root, entry.Component);
        if (!target || !Apply(*target, entry))
            missed.push_back(entry.Component.empty() ? entry.Property : entry.Component + "." + entry.Property);
    }
    return missed;
}

bool LoadFormTexts(TComponent& root, const std::string& tableName) {
    TFormTexts table;
    if (!LoadFormTextTable(ResourceModule(), tableName, table)) return false;
    ApplyFormTexts(root, table);
    return true;
}
