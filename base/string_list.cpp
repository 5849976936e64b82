#include "base/string_list.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/string_ids.h"

const TClassInfo& TStringList::StaticClass() {
    static const TClassInfo info{"TStringList", &TPersistent::StaticClass(), {},
                                 [] { return static_cast<TPersistent*>(new TStringList); }};
    return info;
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EStringListError(sid::ListIndexError, {int64_t{index}});
}

void TStringList::Changed() {
    if (updateCount_ > 0) {
        changedInUpdate_ = true;
    } else if (OnChange) {
        OnChange(*this);
    }
}

const std::string& TStringList::Strings(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].text;
}

void TStringList::SetStrings(int index, const std::string& text) {
    CheckIndex(index);
    items_[static_cast<size_t>(index)].text = text;
    Changed();
}

void* TStringList::Objects(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::SetObjects(int index, void* object) {
    CheckIndex(index);
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

int TStringList::Add(const std::string& text) { return AddObject(text, nullptr); }

int TStringList::AddObject(const std::string& text, void* object) {
    const int index = Count();
    InsertObject(index, text, object);
    return index;
}

void TStringList::Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }

void TStringList::InsertObject(int index, const std::string& text, void* object) {
    if (index < 0 || index > Count()) throw EStringListError(sid::ListIndexError, {int64_t{index}});
    items_.insert(items_.begin() + index, Item{text, object});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
    Changed();
}

void TStringList::Move(int from, int to) {
    CheckIndex(from);
    CheckIndex(to);
    if (from == to) return;
    Item item = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
    Changed();
}

int TStringList::IndexOf(const std::string& text) const {
    for (int i = 0; i < Count(); ++i) {
        if (SameText(items_[static_cast<size_t>(i)].text, text)) return i;
    }
    return -1;
}

int TStringList::IndexOfObject(const void* object) const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[static_cast<size_t>(i)].object == object) return i;
    }
    return -1;
}

int TStringList::IndexOfName(const std::string& name) const {
    const std::string wanted = Trim(name);
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = items_[static_cast<size_t>(i)].text;
        const size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(Trim(line.substr(0, eq)), wanted)) return i;
    }
    return -1;
}

std::string TStringList::Names(int index) const {
    const std::string& line = Strings(index);
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
    const std::string& line = Strings(index);
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string TStringList::Values(const std::string& name) const {
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringList::SetValues(const std::string& name, const std::string& value) {
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
    } else if (index >= 0) {
        SetStrings(index, name + "=" + value);
    } else {
        Add(name + "=" + value);
    }
}

std::string TStringList::Text() const {
    std::string text;
    for (const Item& item : items_) {
        text += item.text;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    SetLines(lines);
}

std::vector<std::string> TStringList::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(items_.size());
    for (const Item& item : items_) lines.push_back(item.text);
    return lines;
}

void TStringList::SetLines(const std::vector<std::string>& lines) {
    BeginUpdate();
    items_.clear();
    for (const std::string& line : lines) items_.push_back(Item{line, nullptr});
    changedInUpdate_ = true;
    EndUpdate();
}

void TStringList::BeginUpdate() { ++updateCount_; }

void TStringList::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        Changed();
    }
}

void TStringList::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TStringList*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    items_ = other->items_;
    changedInUpdate_ = true;
    EndUpdate();
}
