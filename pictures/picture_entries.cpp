#include "pictures/picture_entries.h"

#include <algorithm>
#include <unordered_set>

namespace {

// The first ID from the bounds for which IsFree holds (see GetFreeID); 0 when none. ID 0 itself
// means "no ID" and is never handed out.
int32_t FirstFreeID(int32_t minimum, int32_t maximum, const std::function<bool(int32_t)>& isFree) {
    if (minimum == 0 && maximum == 0) return 0;
    if (minimum == 0) {
        for (int64_t id = maximum; id != 0 && id >= INT32_MIN; --id) {
            if (isFree(int32_t(id))) return int32_t(id);
        }
        return 0;
    }
    for (int64_t id = minimum; id <= INT32_MAX; ++id) {
        if (id == 0 || !isFree(int32_t(id))) continue;
        return maximum != 0 && maximum < id ? 0 : int32_t(id);
    }
    return 0;
}

}  // namespace

TPictureEntries::TPictureEntries() = default;

int TPictureEntries::IndexOf(const TPictureItem* entry) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].get() == entry) return int(i);
    }
    return -1;
}

// Entries that got no ID because the list was full sit at the end, out of order after positive
// IDs; the search leaves them out so that it runs over sorted entries only.
size_t TPictureEntries::LowerBound(int32_t id) const {
    size_t low = 0, high = entries_.size();
    while (high > 0 && entries_[high - 1]->ID == 0) --high;
    if (high == entries_.size() || high == 0 || entries_[high - 1]->ID < 0) high = entries_.size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (entries_[mid]->ID < id)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

TPictureItem* TPictureEntries::FindPicture(int32_t id) {
    if (cachedEntry_ && id == cachedID_) return cachedEntry_;
    if (needsSorting_ && !Updating()) Reorganize(false);
    const size_t pos = LowerBound(id);
    if (pos >= entries_.size() || entries_[pos]->ID != id) return nullptr;
    cachedID_ = id;
    cachedEntry_ = entries_[pos].get();
    return cachedEntry_;
}

std::unique_ptr<TPictureItem> TPictureEntries::MakeEntry(TPictOption option, int32_t id) const {
    return factory_ ? factory_(option, id) : std::make_unique<TPictureItem>(option, id);
}

void TPictureEntries::SetEntryFactory(TEntryFactory factory) { factory_ = std::move(factory); }

TPictureItem* TPictureEntries::GetPicture(int32_t id) {
    if (cachedEntry_ && id == cachedID_) return cachedEntry_;
    if (needsSorting_ && !Updating()) Reorganize(false);
    const size_t pos = LowerBound(id);
    TPictureItem* entry;
    if (pos < entries_.size() && entries_[pos]->ID == id) {
        entry = entries_[pos].get();
    } else {
        entries_.insert(entries_.begin() + std::ptrdiff_t(pos), MakeEntry(defaultOption_, id));
        entry = entries_[pos].get();
    }
    cachedID_ = id;
    cachedEntry_ = entry;
    return entry;
}

TPictureItem* TPictureEntries::AddPicture(int32_t id) {
    if (id == 0) id = GetFreeID();
    return InsertEntry(MakeEntry(defaultOption_, id));
}

TPictureItem* TPictureEntries::InsertEntry(std::unique_ptr<TPictureItem> entry) {
    TPictureItem* result = entry.get();
    if (entry->ID == 0) entry->ID = GetFreeID();
    if (entry->ID != 0)
        entries_.insert(entries_.begin() + std::ptrdiff_t(LowerBound(entry->ID)), std::move(entry));
    else
        entries_.push_back(std::move(entry));
    Changed(nullptr);
    return result;
}

TPictureItem* TPictureEntries::Append(std::unique_ptr<TPictureItem> entry) {
    TPictureItem* result = entry.get();
    entries_.push_back(std::move(entry));
    needsSorting_ = true;
    Changed(nullptr);
    return result;
}

void TPictureEntries::Delete(TPictureItem* entry) {
    const int index = IndexOf(entry);
    if (index < 0) return;
    if (cachedEntry_ == entry) cachedEntry_ = nullptr;
    entries_.erase(entries_.begin() + index);
    Changed(nullptr);
}

void TPictureEntries::Clear() {
    BeginUpdate();
    cachedEntry_ = nullptr;
    entries_.clear();
    EndUpdate(true);
}

bool TPictureEntries::Sort() {
    std::vector<const TPictureItem*> before;
    for (const auto& e : entries_) before.push_back(e.get());
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const std::unique_ptr<TPictureItem>& a, const std::unique_ptr<TPictureItem>& b) {
                         return a->ID < b->ID;
                     });
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].get() != before[i]) return true;
    }
    return false;
}

void TPictureEntries::Reorganize(bool removeEmpty) {
    if (Updating()) {
        needsSorting_ = true;
        return;
    }
    BeginUpdate();
    if (removeEmpty) {
        for (size_t i = entries_.size(); i-- > 0;) {
            if (!entries_[i]->IsEmpty()) continue;
            if (cachedEntry_ == entries_[i].get()) cachedEntry_ = nullptr;
            entries_.erase(entries_.begin() + std::ptrdiff_t(i));
            Changed(nullptr);
        }
    }
    NumberAndSort();
    EndUpdate(true);
}

void TPictureEntries::NumberAndSort() {
    needsSorting_ = true;
    // The same IDs as one GetFreeID per entry, with the used IDs looked up in a set.
    std::unordered_set<int32_t> used;
    for (const auto& e : entries_) used.insert(e->ID);
    for (const auto& e : entries_) {
        if (e->ID != 0) continue;
        e->ID = FirstFreeID(idMinimum_, idMaximum_, [&](int32_t id) { return used.count(id) == 0; });
        used.insert(e->ID);
    }
    if (Sort()) Changed(nullptr);
    cachedEntry_ = nullptr;
    needsSorting_ = false;
}

int32_t TPictureEntries::GetFreeID() {
    return FirstFreeID(idMinimum_, idMaximum_, [this](int32_t id) { return IsFreeID(id); });
}

bool TPictureEntries::IsFreeID(int32_t id) {
    if (needsSorting_ && !Updating()) Reorganize(false);
    if (needsSorting_) {
        return std::none_of(entries_.begin(), entries_.end(), [id](const auto& e) { return e->ID == id; });
    }
    const size_t pos = LowerBound(id);
    return pos == entries_.size() || entries_[pos]->ID != id;
}

void TPictureEntries::SetEntryID(TPictureItem* entry, int32_t id, bool notify) {
    if (entry->ID == id) return;
    // A cached entry is found by its old ID no more.
    if (cachedEntry_ == entry) cachedEntry_ = nullptr;
    entry->ID = id;
    if (id != 0) needsSorting_ = true;
    if (notify) EntryChanged(entry);
}

void TPictureEntries::SetEntryOption(TPictureItem* entry, TPictOption option) {
    if (entry->Option == option) return;
    entry->Option = option;
    EntryChanged(entry);
}

void TPictureEntries::EntryChanged(TPictureItem* entry) {
    Changed(entry);
    if (entry) entry->Option += poModified;
}

void TPictureEntries::SetIDMinimum(int32_t value) {
    if (value != 0 && idMaximum_ != 0 && value > idMaximum_) {
        idMinimum_ = idMaximum_;
        idMaximum_ = value;
    } else {
        idMinimum_ = value;
    }
}

void TPictureEntries::SetIDMaximum(int32_t value) {
    if (value != 0 && idMinimum_ != 0 && value < idMinimum_) {
        idMaximum_ = idMinimum_;
        idMinimum_ = value;
    } else {
        idMaximum_ = value;
    }
}

void TPictureEntries::BeginUpdate() {
    if (updateCount_ == 0) changedDuringUpdate_ = false;
    ++updateCount_;
}

void TPictureEntries::EndUpdate(bool notify) {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    if (changedDuringUpdate_) {
        // The sorting is part of the change being announced: one notification for both.
        if (needsSorting_) {
            ++updateCount_;
            NumberAndSort();
            --updateCount_;
        }
        changedDuringUpdate_ = false;
        if (notify) Changed(nullptr);
    } else if (needsSorting_) {
        needsSorting_ = false;
        Sort();
    }
}

void TPictureEntries::Changed(TPictureItem* entry) {
    if (Updating())
        changedDuringUpdate_ = true;
    else if (OnChanged)
        OnChanged(entry);
    defaultOption_ += poModified;
}

void TPictureEntries::Assign(const TPictureEntries& source) {
    BeginUpdate();
    Clear();
    defaultOption_ = source.defaultOption_;
    idMinimum_ = source.idMinimum_;
    idMaximum_ = source.idMaximum_;
    for (const auto& s : source.entries_) {
        entries_.push_back(MakeEntry(s->Option, s->ID));
        TPictureItem* e = entries_.back().get();
        e->AssignItem(*s);
        EntryChanged(e);
    }
    Sort();
    cachedEntry_ = nullptr;
    Changed(nullptr);
    EndUpdate(true);
}

void TPictureEntries::LoadFromFile(const TPictureFile& file) {
    TPictureEntries loaded;
    loaded.SetIDMinimum(file.IDMinimum);
    loaded.SetIDMaximum(file.IDMaximum);
    loaded.defaultOption_ = file.DefaultOption;
    for (const TPictureFileEntry& record : file.Entries) {
        std::unique_ptr<TPictureItem> e = loaded.MakeEntry(TPictOption(), 0);
        loaded.SetEntryID(e.get(), record.ID);
        e->ResourceID = record.ResourceID;
        e->Option = record.Option;
        e->Image = record.Image;
        loaded.entries_.push_back(std::move(e));
    }
    loaded.Reorganize(true);
    const TPictOption keptOption = defaultOption_;
    const int32_t keptMinimum = idMinimum_, keptMaximum = idMaximum_;
    Assign(loaded);
    idMinimum_ = keptMinimum;
    idMaximum_ = keptMaximum;
    defaultOption_ = keptOption + poModified;
}

TPictureFile TPictureEntries::SaveToFile(const std::string& name) const {
    TPictureFile file;
    file.Name = name;
    file.DefaultOption = defaultOption_;
    file.IDMinimum = idMinimum_;
    file.IDMaximum = idMaximum_;
    for (const auto& e : entries_) {
        TPictureFileEntry record;
        record.ID = e->ID;
        record.ResourceID = e->ResourceID;
        record.Option = e->Option;
        record.Image = e->Image;
        file.Entries.push_back(std::move(record));
    }
    return file;
}
