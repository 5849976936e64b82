// The numbering and ordering of a picture list, apart from drawing: entries kept in ascending
// ID order with a one-entry lookup cache, free IDs between the list's bounds, deferred sorting
// inside updates, change notification, and loading and saving the entries of a .PIL file. The
// Windows picture list builds its drawing entries on this model.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pictures/picture_file.h"

class TPictureEntries;

// One picture of a list: its ID (0 = none yet), resource ID, options, picture and where it came
// from. Subclasses may keep a decoded picture and say when it is empty.
class TPictureItem {
public:
    TPictureItem() = default;
    TPictureItem(TPictOption option, int32_t id) : ID(id), Option(option) {}
    virtual ~TPictureItem() = default;

    // True without picture, or when the picture has no data.
    virtual bool IsEmpty() const { return !Image.HasPicture() || Image.Data.empty(); }
    // What copying an entry into another list takes over: everything but the ID. Subclasses
    // that keep a decoded picture copy it here.
    virtual void AssignItem(const TPictureItem& source) {
        Option = source.Option;
        ResourceID = source.ResourceID;
        SourceName = source.SourceName;
        Image = source.Image;
    }

    int32_t ID = 0;
    int32_t ResourceID = 0;
    TPictOption Option;
    TImageRecord Image;
    std::string SourceName;
};

class TPictureEntries {
public:
    // Makes the entries of the list (the list's EntryClass).
    using TEntryFactory = std::function<std::unique_ptr<TPictureItem>(TPictOption option, int32_t id)>;

    TPictureEntries();
    TPictureEntries(const TPictureEntries&) = delete;
    TPictureEntries& operator=(const TPictureEntries&) = delete;

    int Count() const { return int(entries_.size()); }
    TPictureItem* Items(int index) const { return entries_[size_t(index)].get(); }
    // The position of Entry, -1 when it is not in the list.
    int IndexOf(const TPictureItem* entry) const;

    // The entry with ID; one is made (empty, DefaultOption, no notification) when there is none.
    TPictureItem* GetPicture(int32_t id);
    // The entry with ID, or null when there is none (nothing is made).
    TPictureItem* FindPicture(int32_t id);
    // ID 0 takes GetFreeID. The new entry takes DefaultOption.
    TPictureItem* AddPicture(int32_t id);
    // Inserts Entry at its sorted place (before entries of the same ID); an entry without ID
    // takes GetFreeID, one still without ID goes to the end. Then Changed(none).
    TPictureItem* InsertEntry(std::unique_ptr<TPictureItem> entry);
    // Appends Entry without regard to order (the list sorts it in later) and notifies
    // Changed(none). This is how a list being read takes its entries.
    TPictureItem* Append(std::unique_ptr<TPictureItem> entry);
    // Destroys Entry and notifies Changed(none).
    void Delete(TPictureItem* entry);
    // Destroys every entry without notification of its own.
    void Clear();
    // Inside an update only marks the list for sorting. Otherwise drops empty entries when
    // RemoveEmpty, numbers the entries without ID, and sorts by ID keeping the order of equal IDs.
    void Reorganize(bool removeEmpty);
    // 0 when the list has no bounds or no ID is left (see the bounds).
    int32_t GetFreeID();
    bool IsFreeID(int32_t id);

    // The entry property writes: each notifies Changed(entry) when the value changes (the ID
    // only when Notify; an owner that announces the change itself passes false).
    void SetEntryID(TPictureItem* entry, int32_t id, bool notify = true);
    void SetEntryOption(TPictureItem* entry, TPictOption option);
    // An entry's own change: the list's Changed(entry), then poModified in the entry's Option.
    void EntryChanged(TPictureItem* entry);

    int32_t IDMinimum() const { return idMinimum_; }
    int32_t IDMaximum() const { return idMaximum_; }
    // Setting a minimum above a non-zero maximum (or a maximum below a non-zero minimum)
    // swaps the two.
    void SetIDMinimum(int32_t value);
    void SetIDMaximum(int32_t value);
    TPictOption DefaultOption() const { return defaultOption_; }
    void SetDefaultOption(TPictOption option) { defaultOption_ = option; }
    bool Modified() const { return defaultOption_.Has(poModified); }
    void SetEntryFactory(TEntryFactory factory);

    void BeginUpdate();
    void EndUpdate(bool notify);
    bool Updating() const { return updateCount_ > 0; }
    // Outside an update calls OnChanged with Entry (none: the whole list); inside only notes
    // the change. Always marks the list modified.
    void Changed(TPictureItem* entry);
    std::function<void(TPictureItem* entry)> OnChanged;

    // Takes the entries of Source (copies made by this list's factory, see AssignItem), its
    // options and bounds, sorted by ID. The list keeps its own entry factory.
    void Assign(const TPictureEntries& source);
    // The entries of File as a loaded .PIL gives them: unknown classes and empty records are
    // dropped, entries without ID numbered within the file's bounds, the rest sorted by ID. The
    // list keeps its own bounds; DefaultOption keeps its value and gains poModified.
    void LoadFromFile(const TPictureFile& file);
    // The entries in list order as records of a .PIL file with this list's options and bounds.
    TPictureFile SaveToFile(const std::string& name) const;

private:
    // Position of the first entry whose ID is not below Id, by binary search.
    size_t LowerBound(int32_t id) const;
    std::unique_ptr<TPictureItem> MakeEntry(TPictOption option, int32_t id) const;
    // Reorganize's work inside its update: number the ID-less entries, sort, clear the cache.
    void NumberAndSort();
    // Stable sort by ID; true when the order changed.
    bool Sort();

    std::vector<std::unique_ptr<TPictureItem>> entries_;
    TEntryFactory factory_;
    int32_t cachedID_ = 0;
    TPictureItem* cachedEntry_ = nullptr;
    int updateCount_ = 0;
    bool changedDuringUpdate_ = false;
    bool needsSorting_ = false;
    TPictOption defaultOption_ = DefaultPictOption;
    int32_t idMinimum_ = 0;
    int32_t idMaximum_ = 0;
};
