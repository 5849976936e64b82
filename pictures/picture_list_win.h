// Picture lists: numbered pictures (symbols) that draw themselves into rectangles. A
// TPictureList holds TPictureEntry objects in ascending ID order, under the numbering rules of
// TPictureEntries; callers ask for a picture by ID and always get an entry back. An entry keeps
// its graphic decoded or, until it is first used, packed as its picture record. Lists are
// stored in their owner's form stream and in picture list files (.PIL).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "base/component.h"
#include "pictures/picture_entries.h"
#include "pictures/picture_file.h"
#include "winui/canvas_win.h"
#include "winui/graphics_win.h"

class TPictureList;
class TPictureEntry;

// A viewer's change callback as a method: the function that receives the changed entry (null:
// the whole list) and the object it belongs to. Two callbacks are the same when both the
// function and the object are the same.
struct TPictureChangeEvent {
    using TCode = void (*)(void* object, TPictureEntry* sender);
    TCode Code = nullptr;
    void* Object = nullptr;
    // The object as a component, when it is one: the list then follows its destruction.
    TComponent* Component = nullptr;

    void operator()(TPictureEntry* sender) const { Code(Object, sender); }
    bool operator==(const TPictureChangeEvent& other) const { return Code == other.Code && Object == other.Object; }
};

// Makes the change callback of member function Method of Object.
template <class C, void (C::*Method)(TPictureEntry* sender)>
TPictureChangeEvent PictureChangeEvent(C* object) {
    TPictureChangeEvent event;
    event.Code = [](void* o, TPictureEntry* sender) { (static_cast<C*>(o)->*Method)(sender); };
    event.Object = object;
    if constexpr (std::is_base_of_v<TComponent, C>) event.Component = object;
    return event;
}

// The class of a list's entries: makes an entry from the constructor's three values.
using TPictureEntryClass = std::unique_ptr<TPictureEntry> (*)(TPictureList* owner, TPictOption option, int32_t id);

// One picture of a list (or of another component, as a property): its ID, options, resource ID
// and graphic. The numbering fields live in the TPictureItem base; they are read and written
// through the functions below, which notify.
class TPictureEntry : public TPersistent, public TPictureItem {
public:
    // Only stores the three values; the entry is not inserted into Owner.
    TPictureEntry(TPictureList* owner, TPictOption option, int32_t id);
    ~TPictureEntry() override;
    TPictureEntry(const TPictureEntry&) = delete;
    TPictureEntry& operator=(const TPictureEntry&) = delete;

    // The entry class of lists: a plain TPictureEntry.
    static std::unique_ptr<TPictureEntry> Create(TPictureList* owner, TPictOption option, int32_t id);
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // From another entry: its options, resource ID (the number only), source name and a packed
    // copy of its picture; the ID stays. Any other source is refused.
    void Assign(TPersistent* source) override;
    void AssignItem(const TPictureItem& source) override;
    // Destroys the entry, taking it out of its list first (which notifies the list).
    void Free();

    int32_t ID() const { return TPictureItem::ID; }
    // Marks the owner for sorting (for a new ID other than 0), then Changed.
    void SetID(int32_t id);
    TPictOption Option() const { return TPictureItem::Option; }
    void SetOption(TPictOption option);
    int32_t ResourceID() const { return TPictureItem::ResourceID; }
    // A resource ID other than 0 loads the bitmap resource of that ID (for a bitmap picture) or
    // the icon resource (for an icon) from the program's own resources; otherwise only the
    // number is kept. Raises EInvalidGraphic when the resource cannot be loaded.
    void SetResourceID(int32_t id);
    const std::string& SourceName() const { return TPictureItem::SourceName; }
    void SetSourceName(const std::string& name) { TPictureItem::SourceName = name; }
    TPictureList* Owner() const { return owner_; }

    // The picture, null when none. A packed entry is decoded first (raising the errors of
    // reading its record; the packed data then stays).
    TGraphic* Graphic();
    // Takes over Graphic (null: none), freeing the previous picture and packed data and hooking
    // the new picture's change event; sends no notification.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // True while the picture is held as its record only.
    bool Packed() const { return !graphic_ && TPictureItem::Image.HasPicture(); }

    // Draws the picture into Rect with Options; DrawRect receives where it went. Draws nothing
    // for an empty entry or one marked poInvalid; a failure marks the entry poInvalid and is
    // passed on.
    virtual void Draw(TCanvas& canvas, const RECT& rect, RECT& drawRect, TPictOption options);
    // Draw with the entry's own Option.
    void DrawOwn(TCanvas& canvas, const RECT& rect, RECT& drawRect);
    // Where the picture goes in Rect under Options.
    virtual void CalcDrawRect(const RECT& rect, TPictOption options, RECT& drawRect);

    // (0, 0) without picture; icons and cursors give the size of their real icon bitmap.
    SIZE GetSize();
    int Width() { return GetSize().cx; }
    int Height() { return GetSize().cy; }
    // True without picture or when the picture reports itself empty. A packed picture is not
    // empty (only pictures that hold something are packed).
    bool IsEmpty() const override;
    // The position in the owner, -1 without owner.
    int Index() const;

    // The picture as a bitmap or icon: a picture of another kind is converted (and freed), no
    // picture loads the resource of ResourceID; the result becomes the picture.
    TBitmap& GetBitmap();
    TIcon& GetIcon();
    // Keeps a bitmap or metafile picture as its record until it is used again.
    void PackGraphic();
    // Through the picture loader (by extension); raises its errors. Saving an entry without
    // picture does nothing.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    // The entry's own change (Sender: the entry or its picture; null: announced as a change of
    // the whole list): the owner's Changed, then OnChanged, then poModified in Option.
    void Changed(TPersistent* sender);
    std::function<void(TPictureEntry* sender)> OnChanged;

    // The picture as an ImageRecord (a packed picture is decoded first); no picture: a record
    // without picture.
    TImageRecord WriteImage();
    // Takes the picture of Record: a class that is not registered leaves the entry as it was;
    // bitmaps of any kind become plain TBitmaps. Raises the graphic's reading errors.
    void ReadImage(const TImageRecord& record);

protected:
    // Repeats the picture over Rect (Draw with poTiled).
    virtual void DrawTiled(TCanvas& canvas, const RECT& rect, RECT& drawRect, TPictOption options);

private:
    friend class TPictureList;
    TPictureItem& Item() { return *this; }
    const TPictureItem& Item() const { return *this; }
    void DrawPicture(TCanvas& canvas, const RECT& rect, RECT& drawRect, TPictOption options);
    void HookGraphic();

    TPictureList* owner_;
    std::unique_ptr<TGraphic> graphic_;
};

class TPictureList : public TComponent {
public:
    explicit TPictureList(TComponent* owner = nullptr);
    // Destroys all entries inside an update: nobody is notified.
    ~TPictureList() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // From another list: its entry class, options, bounds and copies of its entries (packed),
    // sorted by ID; one notification. Any other source is refused.
    void Assign(TPersistent* source) override;

    // The entry with ID; a new empty one (DefaultOption, EntryClass) when there is none, which
    // then belongs to the list; no notification.
    TPictureEntry* GetPicture(int32_t id);
    // The entry with ID, or null when the list has none (nothing is made).
    TPictureEntry* FindPicture(int32_t id);
    int Count() const { return entries_.Count(); }
    TPictureEntry* Items(int index) const;
    int IndexOf(const TPictureEntry* entry) const;
    // ID 0 takes GetFreeID; the new entry takes DefaultOption.
    TPictureEntry* AddPicture(int32_t id);
    // Inserts Entry at its sorted place (an entry without ID takes GetFreeID, one still without
    // ID goes to the end); the list owns it. Then Changed(none).
    TPictureEntry* InsertEntry(std::unique_ptr<TPictureEntry> entry);
    // Destroys Entry (of this list) and notifies Changed(none).
    void Delete(TPictureEntry* entry);
    // Destroys every entry; sends no notification of its own.
    void Clear();
    void Reorganize(bool removeEmpty);
    int32_t GetFreeID() { return entries_.GetFreeID(); }
    bool IsFreeID(int32_t id) { return entries_.IsFreeID(id); }

    void BeginUpdate() { entries_.BeginUpdate(); }
    void EndUpdate(bool notify) { entries_.EndUpdate(notify); }
    bool Updating() const { return entries_.Updating(); }
    // Outside an update: OnChanged, then every registered callback, with Entry (none: the whole
    // list); inside one the change is remembered. Always marks the list modified.
    void Changed(TPictureEntry* entry);
    std::function<void(TPictureEntry* sender)> OnChanged;
    // A callback already registered is not added again; a component's callbacks are dropped
    // when it is destroyed.
    void RegisterChanges(const TPictureChangeEvent& callback);
    void UnregisterChanges(const TPictureChangeEvent& callback);
    int ChangeCallbackCount() const { return static_cast<int>(callbacks_.size()); }

    // The picture list file (.PIL). Loading takes only the file's entries: this list keeps its
    // Tag, bounds and DefaultOption, which gains poModified. Reading raises EReadError (65454
    // "Ungültiges Stream-Format") for a damaged header, signature or record, EAbort (65250) for
    // an entry list of another version, and the graphics' reading errors; the list is then as
    // it was.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    // The content of a .PIL file for this list, and taking the entries of one.
    TPictureFile ToPictureFile();
    void LoadFromPictureFile(const TPictureFile& file);

    TPictOption DefaultOption() const { return entries_.DefaultOption(); }
    void SetDefaultOption(TPictOption option) { entries_.SetDefaultOption(option); }
    bool Modified() const { return entries_.Modified(); }
    int32_t IDMinimum() const { return entries_.IDMinimum(); }
    int32_t IDMaximum() const { return entries_.IDMaximum(); }
    void SetIDMinimum(int32_t value) { entries_.SetIDMinimum(value); }
    void SetIDMaximum(int32_t value) { entries_.SetIDMaximum(value); }
    TPictureEntryClass EntryClass() const { return entryClass_; }
    void SetEntryClass(TPictureEntryClass entryClass);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // A list read from a form stream collects its entries inside an update that Loaded closes.
    void ReadStart(TComponent* parent) override;
    void Loaded() override;

private:
    friend class TPictureEntry;
    static TPictureEntry* EntryOf(TPictureItem* item) { return static_cast<TPictureEntry*>(item); }
    void Notify(TPictureEntry* entry);
    // The entry list of a .PIL file or a form stream: each record becomes an entry (its ID set
    // through the entry, so the list sorts later; resource ID and options as they are; its
    // picture read); then entries without picture are dropped, ID-less ones numbered, the
    // list sorted.
    void ReadEntries(const std::vector<TPictureFileEntry>& records);
    std::vector<TPictureFileEntry> EntryRecords();
    std::vector<uint8_t> EntriesData() { return WriteEntriesData(EntryRecords()); }
    void SetEntriesData(const std::vector<uint8_t>& data) { ReadEntries(ReadEntriesData(data)); }

    TPictureEntries entries_;
    TPictureEntryClass entryClass_ = &TPictureEntry::Create;
    std::vector<TPictureChangeEvent> callbacks_;
    bool readingUpdate_ = false;
};

// Start-up: the graphic classes and image formats (RegisterImageReaders) and the list class in
// the component classes, so that a list can be read back from a component stream. Program
// end: the image formats and graphic classes are removed again.
void RegisterPictureClasses();
void UnregisterPictureClasses();
