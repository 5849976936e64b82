#include "pictures/picture_list_win.h"

#include <algorithm>

#include "base/component_reader.h"
#include "base/file_system.h"
#include "base/string_ids.h"
#include "pictures/image_readers_win.h"
#include "pictures/picture_draw_win.h"

namespace {

bool IsIconPicture(const TGraphic* graphic) {
    return dynamic_cast<const TIcon*>(graphic) || dynamic_cast<const TCursorIcon*>(graphic);
}

HICON IconHandleOf(const TGraphic* graphic) {
    if (auto* icon = dynamic_cast<const TIcon*>(graphic)) return icon->Handle();
    if (auto* cursor = dynamic_cast<const TCursorIcon*>(graphic)) return cursor->Handle();
    return nullptr;
}

// Clipping of a device context to a rectangle for the life of the object; the previous clip
// region comes back afterwards. (The clip region alone is saved, not the whole context state,
// so that the canvas's selected objects stay as the canvas knows them.)
class TClipping {
public:
    TClipping(HDC dc, const RECT& rect, bool active) : dc_(active ? dc : nullptr) {
        if (!dc_) return;
        saved_.Reset(CreateRectRgn(0, 0, 0, 0));
        hadRegion_ = GetClipRgn(dc_, saved_) == 1;
        IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
    }
    ~TClipping() {
        if (dc_) SelectClipRgn(dc_, hadRegion_ ? saved_.Get() : nullptr);
    }
    TClipping(const TClipping&) = delete;
    TClipping& operator=(const TClipping&) = delete;

private:
    HDC dc_;
    TGdiObject<HRGN> saved_;
    bool hadRegion_ = false;
};

constexpr TPictOption AllAlignments{poLeft, poRight, poTop, poBottom};

// The first tile's position along one axis (see DrawTiled): centred for both flags, ending at
// the far edge for the far flag alone, else at the near edge.
int FirstTile(int start, int length, int tile, bool nearFlag, bool farFlag) {
    const int overhang = tile - length % tile;
    if (nearFlag && farFlag) return start - overhang / 2;
    if (farFlag) return start - overhang;
    return start;
}

}  // namespace

// --- TPictureEntry ---

TPictureEntry::TPictureEntry(TPictureList* owner, TPictOption option, int32_t id)
    : TPictureItem(option, id), owner_(owner) {}

TPictureEntry::~TPictureEntry() = default;

std::unique_ptr<TPictureEntry> TPictureEntry::Create(TPictureList* owner, TPictOption option, int32_t id) {
    return std::make_unique<TPictureEntry>(owner, option, id);
}

const TClassInfo& TPictureEntry::StaticClass() {
    using E = TPictureEntry;
    static const TClassInfo info{
        "TPictureEntry",
        &TPersistent::StaticClass(),
        {
            TypedProp<E, int32_t>(
                "ID", TPropKind::pkInteger, [](const E& e) { return e.ID(); },
                [](E& e, const int32_t& v) { e.SetID(v); }, [](const E& e) { return e.ID() != 0; }),
            TypedProp<E, TSetValue>(
                "Option", TPropKind::pkSet, [](const E& e) { return TSetValue{e.Option().Bits()}; },
                [](E& e, const TSetValue& v) { e.SetOption(TPictOption::FromBits(v.bits)); },
                [](const E& e) {
                    return e.Option() != (e.Owner() ? e.Owner()->DefaultOption() : DefaultPictOption);
                },
                PictOptionNames()),
            TypedProp<E, int32_t>(
                "ResourceID", TPropKind::pkInteger, [](const E& e) { return e.ResourceID(); },
                [](E& e, const int32_t& v) { e.SetResourceID(v); }, [](const E& e) { return e.ResourceID() != 0; }),
            // The picture as one ImageRecord, written when the entry has a picture.
            TypedProp<E, std::vector<uint8_t>>(
                "Image", TPropKind::pkBinary,
                [](const E& e) {
                    TMemoryStream out;
                    WriteImageRecord(out, const_cast<E&>(e).WriteImage());
                    return out.Bytes();
                },
                [](E& e, const std::vector<uint8_t>& data) {
                    TMemoryStream in;
                    if (!data.empty()) in.WriteBuffer(data.data(), data.size());
                    in.SetPosition(0);
                    TImageRecord record;
                    if (ReadImageRecord(in, record) == irRead) e.ReadImage(record);
                },
                [](const E& e) { return !e.IsEmpty(); }),
        },
        {}};
    return info;
}

void TPictureEntry::Free() {
    if (owner_ && owner_->IndexOf(this) >= 0)
        owner_->Delete(this);
    else
        delete this;
}

void TPictureEntry::Assign(TPersistent* source) {
    if (auto* other = dynamic_cast<TPictureEntry*>(source)) {
        if (other != this) AssignItem(*other);
        return;
    }
    TPersistent::Assign(source);
}

void TPictureEntry::AssignItem(const TPictureItem& source) {
    const auto* other = dynamic_cast<const TPictureEntry*>(&source);
    if (!other) {
        // A plain numbering item: its record becomes this entry's packed picture.
        graphic_.reset();
        TPictureItem::AssignItem(source);
        Changed(this);
        return;
    }
    Item().Option = other->Option();
    Item().ResourceID = other->ResourceID();
    Item().SourceName = other->SourceName();
    graphic_.reset();
    Item().Image = TImageRecord();
    if (other->Packed()) {
        // Still packed: its record is what packing a copy would give.
        Item().Image = other->Item().Image;
    } else if (TGraphic* picture = other->graphic_.get()) {
        const TClassInfo& cls = picture->ClassType();
        if (!cls.Create) throw EInvalidGraphic(sid::InvalidImageFormat);
        std::unique_ptr<TPersistent> object(cls.Create());
        auto* copy = dynamic_cast<TGraphic*>(object.get());
        if (!copy) throw EInvalidGraphic(sid::InvalidImageFormat);
        object.release();
        graphic_.reset(copy);
        // Hooked once copied: the copy's own change is announced below, once.
        copy->Assign(picture);
        HookGraphic();
        PackGraphic();
    }
    Changed(this);
}

void TPictureEntry::SetID(int32_t id) {
    if (id == ID()) return;
    if (owner_)
        owner_->entries_.SetEntryID(this, id, false);
    else
        Item().ID = id;
    Changed(this);
}

void TPictureEntry::SetOption(TPictOption option) {
    if (option == Option()) return;
    Item().Option = option;
    Changed(this);
}

void TPictureEntry::SetResourceID(int32_t id) {
    if (id == ResourceID()) return;
    Item().ResourceID = id;
    if (id == 0) return;
    TGraphic* picture = Graphic();
    if (dynamic_cast<TBitmap*>(picture))
        GetBitmap().LoadFromResourceID(GetModuleHandleW(nullptr), id);
    else if (dynamic_cast<TIcon*>(picture))
        GetIcon().LoadFromResourceID(GetModuleHandleW(nullptr), id);
}

TGraphic* TPictureEntry::Graphic() {
    if (!graphic_ && Item().Image.HasPicture()) {
        // The record is taken out first, so that reading it does not drop the buffer being
        // read; when reading fails it is put back.
        TImageRecord record = std::move(Item().Image);
        Item().Image = TImageRecord();
        try {
            ReadImage(record);
        } catch (...) {
            if (!graphic_) Item().Image = std::move(record);
            throw;
        }
        // A class that is no longer registered: the entry stays as it was.
        if (!graphic_) Item().Image = std::move(record);
    }
    return graphic_.get();
}

void TPictureEntry::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    Item().Image = TImageRecord();
    graphic_ = std::move(graphic);
    HookGraphic();
}

void TPictureEntry::HookGraphic() {
    if (graphic_) graphic_->OnChange = [this](TGraphic& sender) { Changed(&sender); };
}

bool TPictureEntry::IsEmpty() const {
    if (graphic_) return graphic_->Empty();
    return !Item().Image.HasPicture();
}

int TPictureEntry::Index() const { return owner_ ? owner_->IndexOf(this) : -1; }

SIZE TPictureEntry::GetSize() {
    TGraphic* picture = Graphic();
    if (!picture) return SIZE{0, 0};
    if (IsIconPicture(picture)) {
        HICON handle = IconHandleOf(picture);
        if (handle) return IconHandleSize(handle);
    }
    return SIZE{picture->Width(), picture->Height()};
}

TBitmap& TPictureEntry::GetBitmap() {
    TGraphic* picture = Graphic();
    if (auto* bitmap = dynamic_cast<TBitmap*>(picture)) return *bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    if (picture)
        bitmap->Assign(picture);
    else if (ResourceID() != 0)
        bitmap->LoadFromResourceID(GetModuleHandleW(nullptr), ResourceID());
    SetGraphic(std::move(bitmap));
    return static_cast<TBitmap&>(*graphic_);
}

TIcon& TPictureEntry::GetIcon() {
    TGraphic* picture = Graphic();
    if (auto* icon = dynamic_cast<TIcon*>(picture)) return *icon;
    auto icon = std::make_unique<TIcon>();
    if (picture)
        icon->Assign(picture);
    else if (ResourceID() != 0)
        icon->LoadFromResourceID(GetModuleHandleW(nullptr), ResourceID());
    SetGraphic(std::move(icon));
    return static_cast<TIcon&>(*graphic_);
}

void TPictureEntry::PackGraphic() {
    if (Packed() || !graphic_ || graphic_->Empty()) return;
    if (!dynamic_cast<TBitmap*>(graphic_.get()) && !dynamic_cast<TMetafile*>(graphic_.get())) return;
    TImageRecord record = WriteImage();
    graphic_.reset();
    Item().Image = std::move(record);
}

void TPictureEntry::LoadFromFile(const std::string& fileName) {
    const TGraphicFormat* format = FindGraphicFormat(fileName);
    if (!format || !format->Create) {
        const std::string ext = ExtractFileExt(fileName);
        throw EInvalidGraphic(sid::UnknownPictureExtension, {ext.empty() ? ext : ext.substr(1)});
    }
    std::unique_ptr<TGraphic> picture = format->Create();
    picture->LoadFromFile(fileName);
    SetGraphic(std::move(picture));
    Changed(this);
}

void TPictureEntry::SaveToFile(const std::string& fileName) {
    if (TGraphic* picture = Graphic()) picture->SaveToFile(fileName);
}

void TPictureEntry::Changed(TPersistent* sender) {
    TPictureEntry* value = sender ? this : nullptr;
    if (owner_) owner_->Changed(value);
    if (OnChanged) OnChanged(value);
    Item().Option += poModified;
}

TImageRecord TPictureEntry::WriteImage() {
    TGraphic* picture = Graphic();
    if (!picture) return Packed() ? Item().Image : TImageRecord();
    TImageRecord record;
    if (picture->Empty()) return record;
    TMemoryStream data;
    if (auto* icon = dynamic_cast<TIcon*>(picture))
        icon->SaveSingleImage(data);
    else
        picture->SaveToStream(data);
    record.ClassName = picture->ClassName();
    record.Data = data.Bytes();
    return record;
}

void TPictureEntry::ReadImage(const TImageRecord& record) {
    if (!record.HasPicture()) return;
    std::unique_ptr<TGraphic> picture = CreateGraphic(record.ClassName);
    if (!picture) return;
    Item().Image = TImageRecord();
    graphic_.reset();
    TMemoryStream data;
    if (!record.Data.empty()) data.WriteBuffer(record.Data.data(), record.Data.size());
    data.SetPosition(0);
    picture->LoadFromStream(data);
    if (auto* loaded = dynamic_cast<TBitmap*>(picture.get())) {
        // Every bitmap format becomes a plain bitmap once read.
        auto plain = std::make_unique<TBitmap>(loaded->Width(), loaded->Height());
        plain->Canvas().Draw(0, 0, *loaded);
        picture = std::move(plain);
    }
    graphic_ = std::move(picture);
    HookGraphic();
}

void TPictureEntry::DrawOwn(TCanvas& canvas, const RECT& rect, RECT& drawRect) { Draw(canvas, rect, drawRect, Option()); }

void TPictureEntry::CalcDrawRect(const RECT& rect, TPictOption options, RECT& drawRect) {
    if (IsEmpty()) {
        drawRect = RECT{0, 0, 0, 0};
        return;
    }
    drawRect = rect;
    if (options.Has(poTiled)) return;
    const int roomW = rect.right - rect.left, roomH = rect.bottom - rect.top;
    SIZE size = GetSize();
    if (options.Has(poStretch) && IsIconPicture(Graphic())) {
        // Icons shrink by halves, never grow; a room below 1 pixel ends at 0.
        while (size.cx > 0 && size.cx > roomW) size.cx >>= 1;
        while (size.cy > 0 && size.cy > roomH) size.cy >>= 1;
    }
    if ((options * AllAlignments) == AllAlignments && (size.cx > roomW || size.cy > roomH)) return;
    const bool left = options.Has(poLeft), right = options.Has(poRight);
    if (left && right) {
        drawRect.right = rect.left + size.cx;
        OffsetRect(&drawRect, (roomW - size.cx) / 2, 0);
    } else if (right) {
        drawRect.left = rect.right - size.cx;
    } else if (left) {
        drawRect.right = rect.left + size.cx;
    }
    const bool top = options.Has(poTop), bottom = options.Has(poBottom);
    if (top && bottom) {
        drawRect.bottom = rect.top + size.cy;
        OffsetRect(&drawRect, 0, (roomH - size.cy) / 2);
    } else if (bottom) {
        drawRect.top = rect.bottom - size.cy;
    } else if (top) {
        drawRect.bottom = rect.top + size.cy;
    }
    if (!options.Has(poStretch)) {
        drawRect.right = drawRect.left + size.cx;
        drawRect.bottom = drawRect.top + size.cy;
    }
}

void TPictureEntry::Draw(TCanvas& canvas, const RECT& rect, RECT& drawRect, TPictOption options) {
    if (IsEmpty() || Option().Has(poInvalid)) return;
    try {
        if (options.Has(poTiled))
            DrawTiled(canvas, rect, drawRect, options);
        else
            DrawPicture(canvas, rect, drawRect, options);
    } catch (...) {
        Item().Option += poInvalid;
        throw;
    }
}

void TPictureEntry::DrawPicture(TCanvas& canvas, const RECT& rect, RECT& drawRect, TPictOption options) {
    CalcDrawRect(rect, options, drawRect);
    TGraphic* picture = Graphic();
    if (!picture) {
        drawRect = RECT{0, 0, 0, 0};
        return;
    }
    HDC dc = canvas.Handle();
    TClipping clipping(dc, rect, options.Has(poClipping));
    const bool stretch = options.Has(poStretch);
    if (auto* bitmap = dynamic_cast<TBitmap*>(picture)) {
        if (bitmap->Empty()) {
            drawRect = RECT{0, 0, 0, 0};
            return;
        }
        TBitmapDrawFlags flags;
        if (options.Has(poSelected)) flags += bdSelected;
        if (options.Has(poSelectPalette)) flags += bdPalette;
        if (options.Has(poMasked))
            flags += bdMasked;
        else if (options.Has(poBrushCopy))
            flags += bdBrushCopy;
        if (stretch) flags += bdStretch;
        const bool transparent = options.Has(poMasked) || options.Has(poBrushCopy);
        const TColor color = transparent ? bitmap->TransparentColor() : clNone;
        DrawTransparentBitmap(dc, drawRect, *bitmap, RECT{0, 0, bitmap->Width(), bitmap->Height()}, color, flags,
                              canvas.Brush().Handle());
        return;
    }
    if (HICON icon = IconHandleOf(picture)) {
        const SIZE own = GetSize();
        const int w = stretch ? drawRect.right - drawRect.left : own.cx;
        const int h = stretch ? drawRect.bottom - drawRect.top : own.cy;
        HBRUSH background = options.Has(poBrushCopy) ? canvas.Brush().Handle() : nullptr;
        DrawIconEx(dc, drawRect.left, drawRect.top, icon, w, h, 0, background, DI_NORMAL);
        return;
    }
    if (IsIconPicture(picture)) return;  // an icon or cursor without handle
    if (stretch)
        canvas.StretchDraw(drawRect, *picture);
    else
        canvas.Draw(drawRect.left, drawRect.top, *picture);
}

void TPictureEntry::DrawTiled(TCanvas& canvas, const RECT& rect, RECT& drawRect, TPictOption options) {
    drawRect = rect;
    if (IsRectEmpty(&rect) || IsEmpty() || Option().Has(poInvalid)) return;
    const SIZE tile = GetSize();
    // A picture that reports no size cannot be repeated.
    if (tile.cx <= 0 || tile.cy <= 0) return;
    HDC dc = canvas.Handle();
    TClipping clipping(dc, rect, options.Has(poClipping));
    HPALETTE palette = nullptr;
    if (options.Has(poSelectPalette))
        if (auto* bitmap = dynamic_cast<TBitmap*>(Graphic()); bitmap && !bitmap->Empty()) palette = bitmap->Palette();
    TSelectPalette selection(dc, palette);
    const TPictOption tileOptions = options - TPictOption{poClipping, poSelectPalette, poTiled};
    const int x0 = FirstTile(rect.left, rect.right - rect.left, tile.cx, options.Has(poLeft), options.Has(poRight));
    const int y0 = FirstTile(rect.top, rect.bottom - rect.top, tile.cy, options.Has(poTop), options.Has(poBottom));
    for (int y = y0; y < rect.bottom; y += tile.cy) {
        const RECT strip{x0, y, rect.right, y + tile.cy};
        if (!RectVisible(dc, &strip)) continue;
        for (int x = x0; x < rect.right; x += tile.cx) {
            const RECT cell{x, y, x + tile.cx, y + tile.cy};
            if (!RectVisible(dc, &cell)) continue;
            RECT cellDrawRect;
            Draw(canvas, cell, cellDrawRect, tileOptions);
            if (Option().Has(poInvalid)) return;
        }
    }
}

// --- TPictureList ---

TPictureList::TPictureList(TComponent* owner) : TComponent(owner) {
    entries_.SetEntryFactory([this](TPictOption option, int32_t id) -> std::unique_ptr<TPictureItem> {
        return entryClass_(this, option, id);
    });
    entries_.OnChanged = [this](TPictureItem* item) { Notify(EntryOf(item)); };
}

TPictureList::~TPictureList() {
    entries_.BeginUpdate();
    entries_.Clear();
    callbacks_.clear();
}

const TClassInfo& TPictureList::StaticClass() {
    using L = TPictureList;
    static const TClassInfo info{
        "TPictureList",
        &TComponent::StaticClass(),
        {
            TypedProp<L, int32_t>(
                "Tag", TPropKind::pkInteger, [](const L& l) { return int32_t(l.Tag()); },
                [](L& l, const int32_t& v) { l.SetTag(v); }, [](const L& l) { return l.Tag() != 0; }),
            TypedProp<L, TSetValue>(
                "DefaultOption", TPropKind::pkSet, [](const L& l) { return TSetValue{l.DefaultOption().Bits()}; },
                [](L& l, const TSetValue& v) { l.SetDefaultOption(TPictOption::FromBits(v.bits)); },
                [](const L& l) { return l.DefaultOption() != DefaultPictOption; }, PictOptionNames()),
            TypedProp<L, int32_t>(
                "IDMinimum", TPropKind::pkInteger, [](const L& l) { return l.IDMinimum(); },
                [](L& l, const int32_t& v) { l.SetIDMinimum(v); }),
            TypedProp<L, int32_t>(
                "IDMaximum", TPropKind::pkInteger, [](const L& l) { return l.IDMaximum(); },
                [](L& l, const int32_t& v) { l.SetIDMaximum(v); }),
            // The entries as EntriesData, written when the list is not empty.
            TypedProp<L, std::vector<uint8_t>>(
                "Entries", TPropKind::pkBinary, [](const L& l) { return const_cast<L&>(l).EntriesData(); },
                [](L& l, const std::vector<uint8_t>& data) { l.SetEntriesData(data); },
                [](const L& l) { return l.Count() > 0; }),
        },
        [] { return new TPictureList(); }};
    return info;
}

TPictureEntry* TPictureList::Items(int index) const {
    if (index < 0 || index >= Count()) throw EStringListError(sid::ListIndexError, {index});
    return EntryOf(entries_.Items(index));
}

int TPictureList::IndexOf(const TPictureEntry* entry) const { return entries_.IndexOf(entry); }

TPictureEntry* TPictureList::GetPicture(int32_t id) { return EntryOf(entries_.GetPicture(id)); }

TPictureEntry* TPictureList::FindPicture(int32_t id) {
    TPictureItem* item = entries_.FindPicture(id);
    return item ? EntryOf(item) : nullptr;
}

TPictureEntry* TPictureList::AddPicture(int32_t id) { return EntryOf(entries_.AddPicture(id)); }

TPictureEntry* TPictureList::InsertEntry(std::unique_ptr<TPictureEntry> entry) {
    if (!entry) return nullptr;
    if (IndexOf(entry.get()) >= 0) return entry.release();  // already here: the list owns it
    entry->owner_ = this;
    return EntryOf(entries_.InsertEntry(std::move(entry)));
}

void TPictureList::Delete(TPictureEntry* entry) { entries_.Delete(entry); }

void TPictureList::Clear() { entries_.Clear(); }

void TPictureList::Reorganize(bool removeEmpty) { entries_.Reorganize(removeEmpty); }

void TPictureList::SetEntryClass(TPictureEntryClass entryClass) {
    entryClass_ = entryClass ? entryClass : &TPictureEntry::Create;
}

void TPictureList::Changed(TPictureEntry* entry) { entries_.Changed(entry); }

void TPictureList::Notify(TPictureEntry* entry) {
    if (OnChanged) OnChanged(entry);
    // A callback may unregister others (or itself): each is called only while still registered.
    const std::vector<TPictureChangeEvent> callbacks = callbacks_;
    for (const TPictureChangeEvent& callback : callbacks)
        if (std::find(callbacks_.begin(), callbacks_.end(), callback) != callbacks_.end()) callback(entry);
}

void TPictureList::RegisterChanges(const TPictureChangeEvent& callback) {
    if (!callback.Code || std::find(callbacks_.begin(), callbacks_.end(), callback) != callbacks_.end()) return;
    callbacks_.push_back(callback);
    if (callback.Component) FreeNotification(callback.Component);
}

void TPictureList::UnregisterChanges(const TPictureChangeEvent& callback) {
    auto it = std::find(callbacks_.begin(), callbacks_.end(), callback);
    if (it == callbacks_.end()) return;
    TComponent* component = it->Component;
    callbacks_.erase(it);
    if (component && std::none_of(callbacks_.begin(), callbacks_.end(),
                                  [&](const TPictureChangeEvent& c) { return c.Component == component; }))
        RemoveFreeNotification(component);
    if (callbacks_.empty()) callbacks_.shrink_to_fit();
}

void TPictureList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    callbacks_.erase(std::remove_if(callbacks_.begin(), callbacks_.end(),
                                    [&](const TPictureChangeEvent& c) { return c.Component == component; }),
                     callbacks_.end());
}

void TPictureList::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TPictureList*>(source);
    if (!other) {
        TComponent::Assign(source);
        return;
    }
    if (other == this) return;
    entryClass_ = other->entryClass_;
    entries_.Assign(other->entries_);
}

void TPictureList::ReadStart(TComponent* parent) {
    TComponent::ReadStart(parent);
    if (!readingUpdate_) {
        readingUpdate_ = true;
        BeginUpdate();
    }
}

void TPictureList::Loaded() {
    TComponent::Loaded();
    if (!readingUpdate_) return;
    readingUpdate_ = false;
    EndUpdate(true);
    // The marks are cleared after the update's end, whose notification marks the list again:
    // a list just read from its form is unchanged.
    for (int i = 0; i < Count(); ++i) Items(i)->Item().Option = Items(i)->Option() - TPictOption{poInvalid, poModified};
    SetDefaultOption(DefaultOption() - poModified);
}

void TPictureList::ReadEntries(const std::vector<TPictureFileEntry>& records) {
    BeginUpdate();
    try {
        for (const TPictureFileEntry& record : records) {
            std::unique_ptr<TPictureEntry> entry = entryClass_(this, TPictOption(), 0);
            TPictureEntry* e = entry.get();
            entries_.Append(std::move(entry));
            e->SetID(record.ID);
            e->Item().ResourceID = record.ResourceID;
            e->Item().Option = record.Option;
            e->ReadImage(record.Image);
        }
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
    Reorganize(true);
}

std::vector<TPictureFileEntry> TPictureList::EntryRecords() {
    std::vector<TPictureFileEntry> records;
    for (int i = 0; i < Count(); ++i) {
        TPictureEntry* e = Items(i);
        TPictureFileEntry record;
        record.ID = e->ID();
        record.ResourceID = e->ResourceID();
        record.Option = e->Option();
        record.Image = e->WriteImage();
        records.push_back(std::move(record));
    }
    return records;
}

TPictureFile TPictureList::ToPictureFile() {
    TPictureFile file;
    file.Name = Name();
    file.Tag = Tag();
    file.DefaultOption = DefaultOption();
    file.IDMinimum = IDMinimum();
    file.IDMaximum = IDMaximum();
    file.Entries = EntryRecords();
    return file;
}

void TPictureList::LoadFromPictureFile(const TPictureFile& file) {
    // The file is read into a list of its own first, so that a failure leaves this one as it was.
    // It makes its entries with this list's entry class, which Assign then copies them with.
    TPictureList loaded;
    loaded.SetEntryClass(entryClass_);
    loaded.SetIDMinimum(file.IDMinimum);
    loaded.SetIDMaximum(file.IDMaximum);
    loaded.SetDefaultOption(file.DefaultOption);
    loaded.SetTag(file.Tag);
    loaded.ReadEntries(file.Entries);
    const int keptTag = Tag();
    const TPictOption keptOption = DefaultOption();
    const int32_t keptMinimum = IDMinimum(), keptMaximum = IDMaximum();
    const TPictureEntryClass keptClass = entryClass_;
    Assign(&loaded);
    entryClass_ = keptClass;
    SetTag(keptTag);
    // The bounds are put back as they were, without the swap rule of the setters.
    entries_.SetIDMinimum(0);
    entries_.SetIDMaximum(keptMaximum);
    entries_.SetIDMinimum(keptMinimum);
    SetDefaultOption(keptOption + poModified);
}

void TPictureList::SaveToStream(TStream& stream) { WritePictureFile(stream, ToPictureFile()); }

void TPictureList::LoadFromStream(TStream& stream) { LoadFromPictureFile(ReadPictureFile(stream)); }

void TPictureList::SaveToFile(const std::string& fileName) { SavePictureFile(fileName, ToPictureFile()); }

void TPictureList::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

// --- registration ---

void RegisterPictureClasses() {
    RegisterImageReaders();
    RegisterComponentClass(TPictureList::StaticClass());
}

void UnregisterPictureClasses() { UnregisterImageReaders(); }
