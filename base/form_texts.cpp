#include "base/form_texts.h"

#include <cctype>

#include "base/cp1252.h"
#include "base/format.h"
#include "base/string_ids.h"

namespace {

constexpr size_t MaxListIndex = 9999;

bool ValidUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (extra == 9 || (extra == 1 && c < 0xC2) || i + extra >= text.size() + (extra ? 0 : 1)) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

bool ValidName(const std::string& name) {
    if (name.empty() || name.front() == '.' || name.back() == '.') return false;
    for (char c : name)
        if (!IsNameChar(c)) return false;
    return true;
}

std::string Unescape(const std::string& value, int line) {
    std::string result;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            result += value[i];
            continue;
        }
        char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (next == 'n') result += '\n';
        else if (next == 't') result += '\t';
        else if (next == '\\') result += '\\';
        else throw EFormTextError(sid::InvalidPropertyValue, line);
        ++i;
    }
    return result;
}

std::string TrimSpaces(const std::string& text) {
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

}  // namespace

EFormTextError::EFormTextError(int id, int line) : Exception(id), line_(line) {}

TFormTexts TFormTexts::Parse(const std::string& utf8Text) {
    if (utf8Text.size() > MaxFormTextSize) throw EFormTextError(sid::InvalidStreamFormat, 0);
    std::string text = utf8Text;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    TFormTexts table;
    size_t pos = 0;
    int lineNo = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string trimmed = TrimSpaces(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        if (!ValidUtf8(line)) throw EFormTextError(sid::InvalidStreamFormat, lineNo);
        size_t eq = line.find('=');
        if (eq == std::string::npos) throw EFormTextError(sid::InvalidStreamFormat, lineNo);
        std::string key = TrimSpaces(line.substr(0, eq));
        std::string value = Utf8ToCp1252(Unescape(line.substr(eq + 1), lineNo));

        bool isList = false;
        size_t index = 0;
        if (!key.empty() && key.back() == ']') {
            size_t open = key.rfind('[');
            std::string digits = open == std::string::npos ? std::string() : key.substr(open + 1, key.size() - open - 2);
            if (digits.empty() || digits.size() > 4) throw EFormTextError(sid::InvalidPropertyPath, lineNo);
            for (char c : digits)
                if (!std::isdigit(static_cast<unsigned char>(c))) throw EFormTextError(sid::InvalidPropertyPath, lineNo);
            index = std::stoul(digits);
            if (index > MaxListIndex) throw EFormTextError(sid::InvalidPropertyPath, lineNo);
            isList = true;
            key = key.substr(0, open);
        }
        if (!ValidName(key)) throw EFormTextError(sid::InvalidPropertyPath, lineNo);
        size_t dot = key.find('.');
        std::string component = dot == std::string::npos ? std::string() : key.substr(0, dot);
        std::string property = dot == std::string::npos ? key : key.substr(dot + 1);

        TFormTextEntry* entry = nullptr;
        for (auto& e : table.entries_)
            if (SameName(e.Component, component) && SameName(e.Property, property)) entry = &e;
        if (!isList) {
            if (entry) throw EFormTextError(sid::DuplicateString, lineNo);
            table.entries_.push_back(TFormTextEntry{component, property, value, {}, false, lineNo});
            continue;
        }
        if (!entry) {
            if (index != 0) throw EFormTextError(sid::InvalidPropertyValue, lineNo);
            table.entries_.push_back(TFormTextEntry{component, property, {}, {value}, true, lineNo});
            continue;
        }
        if (!entry->IsList) throw EFormTextError(sid::DuplicateString, lineNo);
        if (index < entry->Items.size()) throw EFormTextError(sid::DuplicateString, lineNo);
        if (index != entry->Items.size()) throw EFormTextError(sid::InvalidPropertyValue, lineNo);
        entry->Items.push_back(value);
    }
    return table;
}

const TFormTextEntry* TFormTexts::Find(const std::string& component, const std::string& property) const {
    for (const auto& e : entries_)
        if (SameName(e.Component, component) && SameName(e.Property, property)) return &e;
    return nullptr;
}
