#include "tools/quick_text_tool.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/text_node.h"
#include "base/cp1252.h"
#include "base/exception.h"
#include "base/format.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "nodes/node_stream.h"

namespace fs = std::filesystem;

namespace {

// Characters no Windows file name may hold, and names Windows keeps for devices.
bool IsForbidden(unsigned char c) { return c < 32 || std::string("\\/:*?\"<>|").find(char(c)) != std::string::npos; }

bool IsDeviceName(const std::string& name) {
    static const std::set<std::string> devices{"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4",
                                               "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                               "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    return devices.count(UpperCase(name)) > 0;
}

// An entry's text as a file name: forbidden characters become "_", as do trailing dots and
// blanks, and an empty or device name gets a leading "_".
std::string SafeName(const std::string& text) {
    std::string name;
    for (unsigned char c : text) name += IsForbidden(c) ? '_' : char(c);
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.back() = '_';
    if (name.empty() || IsDeviceName(name)) name = "_" + name;
    return name;
}

// Paths from and to UTF-8 text.
fs::path Utf8Path(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path PathOf(const fs::path& folder, const std::string& cp1252Name) {
    return folder / Utf8Path(Cp1252ToUtf8(cp1252Name));
}

void WriteFile(const fs::path& path, const uint8_t* data, size_t size) {
    SaveFileSafely(Utf8Of(path), [data, size](TStream& out) { out.WriteBuffer(data, size); });
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EFOpenError(sid::FOpenError, {Utf8Of(path)});
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int ExportChildren(TNode* node, const fs::path& folder) {
    int files = 0;
    std::set<std::string> used;  // case-insensitive, as on Windows
    for (int i = 0; i < node->ChildCount(); ++i) {
        auto* entry = dynamic_cast<TTextNode*>(node->Child(i));
        if (!entry) continue;
        const std::string base = SafeName(entry->Text());
        std::string name = base;
        for (int n = 2; used.count(UpperCase(name)); ++n) name = base + " (" + std::to_string(n) + ")";
        used.insert(UpperCase(name));
        const bool asFolder = entry->InheritsFrom(TTextGroup::StaticClass()) || entry->HasChildren();
        if (asFolder) {
            fs::create_directories(PathOf(folder, name));
            files += ExportChildren(entry, PathOf(folder, name));
        }
        if (!asFolder || entry->HasData()) {
            TMemoryStream& rtf = entry->GetDataStream();
            WriteFile(PathOf(folder, name + ".rtf"), rtf.Memory(), static_cast<size_t>(rtf.Size()));
            ++files;
        }
    }
    return files;
}

std::string ExtensionOf(const fs::path& path) { return UpperCase(path.extension().string()); }

// The text of a file name in the program's code page.
std::string TextOf(const fs::path& name) { return Utf8ToCp1252(Utf8Of(name)); }

bool IsValidUtf8(const std::string& text) { return Cp1252ToUtf8(Utf8ToCp1252(text)) == text; }

void SetText(TTextNode* node, const std::string& rtf) {
    TMemoryStream& stream = node->GetDataStream();
    stream.Clear();
    stream.WriteBuffer(rtf.data(), rtf.size());
}

std::string RtfOfFile(const fs::path& path) {
    std::string content = ReadFile(path);
    if (ExtensionOf(path) == ".RTF") return content;
    return TextToRtf(IsValidUtf8(content) ? Utf8ToCp1252(content) : content);
}

int ImportFolder(const fs::path& folder, TTextNode* parent) {
    std::vector<fs::path> folders, files;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.is_directory())
            folders.push_back(item.path());
        else if (ExtensionOf(item.path()) == ".RTF" || ExtensionOf(item.path()) == ".TXT")
            files.push_back(item.path());
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    int entries = 0;
    std::set<std::string> ownTexts;  // files that are the text of a group beside them
    for (const fs::path& sub : folders) {
        TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
        group->SetText(TextOf(sub.filename()));
        for (const char* ext : {".rtf", ".txt", ".RTF", ".TXT"}) {
            fs::path own = sub;
            own += ext;
            if (fs::exists(own)) {
                SetText(group, RtfOfFile(own));
                ownTexts.insert(own.string());
                break;
            }
        }
        group->SetParent(parent);
        entries += 1 + ImportFolder(sub, group);
    }
    for (const fs::path& file : files) {
        if (ownTexts.count(file.string())) continue;
        TTextData* item = TTextNode::CreateNew<TTextData>();
        item->SetText(TextOf(file.stem()));
        SetText(item, RtfOfFile(file));
        item->SetParent(parent);
        ++entries;
    }
    return entries;
}

}  // namespace

std::string TextToRtf(const std::string& text) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r')
            rtf += "\\par\n";
        else if (c == '\t')
            rtf += "\\tab ";
        else if (c == '\\' || c == '{' || c == '}')
            rtf += std::string("\\") + char(c);
        else if (c >= 0x80)
            rtf += Format("\\'%.2x", {int64_t(c)});
        else
            rtf += char(c);
    }
    return rtf + "}";
}

int ExportQuickText(const std::string& fileName, const std::string& folder) {
    RegisterTextNodeClasses();
    std::unique_ptr<TNode> root(LoadFromFile(fileName));
    fs::create_directories(Utf8Path(folder));
    return ExportChildren(root.get(), Utf8Path(folder));
}

int ImportQuickText(const std::string& folder, const std::string& fileName) {
    RegisterTextNodeClasses();
    if (!fs::is_directory(Utf8Path(folder))) throw EFOpenError(sid::FOpenError, {folder});
    std::unique_ptr<TTextNode> root(TTextNode::CreateTop());
    const int entries = ImportFolder(Utf8Path(folder), root.get());
    SaveToFile(root.get(), fileName);
    return entries;
}
