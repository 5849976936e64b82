#include "pictures/picture_file.h"

#include <algorithm>
#include <memory>

#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/file_system.h"
#include "base/format.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "nodes/node_stream.h"
#include "pictures/image_error.h"

namespace {

constexpr size_t MaxHeaderRead = 79;
constexpr size_t EntryFixedBytes = 4 + 4 + 2;  // ID, ResourceID, Option
constexpr size_t MinEntryBytes = EntryFixedBytes + 4;

[[noreturn]] void InvalidStream() { throw EReadError(sid::InvalidStreamFormat); }

void PutUInt32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t GetUInt(const uint8_t* p, size_t width) {
    uint32_t v = 0;
    for (size_t i = 0; i < width; ++i) v |= uint32_t(p[i]) << (8 * i);
    return v;
}

void WriteUInt32(TStream& stream, uint32_t v) {
    std::vector<uint8_t> bytes;
    PutUInt32(bytes, v);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

void ReadOrFail(TStream& stream, void* buffer, size_t count) {
    if (stream.Read(buffer, count) != count) InvalidStream();
}

// Collects the top record's class, name and properties; records nested in it are passed over.
class TPictureFileHandler : public TComponentStreamHandler {
public:
    explicit TPictureFileHandler(TPictureFile& file) : file_(file) {}

    void BeginObject(const std::string& className, const std::string& name) override {
        if (++depth_ == 1) {
            file_.ClassName = className;
            file_.Name = name;
        }
    }
    void EndObject() override { --depth_; }
    void BeginProperty(const std::string& name) override {
        property_ = name;
        values_.clear();
    }
    void Value(const TStreamScalar& value) override { values_.push_back(value); }
    void BeginList() override { inList_ = true; }
    void EndList() override {}
    void EndProperty() override {
        if (depth_ == 1) Apply();
        inList_ = false;
    }

private:
    [[noreturn]] static void BadValue() { throw EReadError(sid::InvalidPropertyValue); }

    int32_t Integer() const {
        if (inList_ || values_.size() != 1 || values_[0].Type < vaInt8 || values_[0].Type > vaInt32) BadValue();
        return values_[0].Integer;
    }
    TPictOption Set() const {
        if (inList_ || values_.size() != 1 || values_[0].Type != vaSet) BadValue();
        const std::vector<std::string>& names = PictOptionNames();
        TPictOption set;
        for (const std::string& name : values_[0].Names) {
            auto it = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, name); });
            if (it == names.end()) BadValue();
            set += TPictOptionItem(it - names.begin());
        }
        return set;
    }
    std::vector<uint8_t> BinaryBytes() const {
        if (inList_ || values_.size() != 1 || values_[0].Type != vaBinary) BadValue();
        return std::vector<uint8_t>(values_[0].Text.begin(), values_[0].Text.end());
    }

    void Apply() {
        if (SameText(property_, "Tag")) file_.Tag = Integer();
        else if (SameText(property_, "DefaultOption")) file_.DefaultOption = Set();
        else if (SameText(property_, "IDMinimum")) file_.IDMinimum = Integer();
        else if (SameText(property_, "IDMaximum")) file_.IDMaximum = Integer();
        else if (SameText(property_, "Left")) file_.Left = Integer();
        else if (SameText(property_, "Top")) file_.Top = Integer();
        else if (SameText(property_, "Entries")) file_.Entries = ReadEntriesData(BinaryBytes());
        else throw EReadError(sid::UnknownProperty);
    }

    TPictureFile& file_;
    int depth_ = 0;
    bool inList_ = false;
    std::string property_;
    std::vector<TStreamScalar> values_;
};

void ReadPictureFileHeader(TStream& stream) {
    const int64_t start = stream.Position();
    uint8_t head[MaxHeaderRead];
    const size_t got = stream.Read(head, sizeof head);
    if (got < 3 || head[0] != 0xFF || head[1] != 10) InvalidStream();
    const uint8_t* end = std::find(head + 3, head + got, uint8_t(0));
    const size_t nameLength = size_t(end - (head + 3));
    // The name's zero byte, then the 16-bit flags and the 32-bit size.
    if (3 + nameLength + 1 + 6 > got) InvalidStream();
    stream.SetPosition(start + int64_t(nameLength) + 10);
}

}  // namespace

const std::vector<std::string>& PictOptionNames() {
    static const std::vector<std::string> names = {
        "poLeft",    "poRight",    "poTop",          "poBottom",   "poBrushCopy", "poMasked",  "poStretch",
        "poClipping", "poSelectPalette", "poSelected", "poTiled", "poInvalid",   "poModified"};
    return names;
}

const std::vector<std::string>& GraphicClassNames() {
    static const std::vector<std::string> names = {"TIcon",   "TMetafile",  "TCursorIcon", "TStretchIcon", "TBitmap",
                                                   "TGIFBitmap", "TPCXBitmap", "TRLEBitmap", "TDIBBitmap"};
    return names;
}

std::string FindGraphicClass(const std::string& name) {
    for (const std::string& n : GraphicClassNames()) {
        if (SameText(n, name)) return n;
    }
    return std::string();
}

bool IsBitmapClass(const std::string& className) {
    for (const char* n : {"TBitmap", "TGIFBitmap", "TPCXBitmap", "TRLEBitmap", "TDIBBitmap"}) {
        if (SameText(className, n)) return true;
    }
    return false;
}

bool IsIconClass(const std::string& className) {
    return SameText(className, "TIcon") || SameText(className, "TStretchIcon");
}

// ---- ImageRecord ----

void WriteImageRecord(TStream& stream, const TImageRecord& record) {
    if (!record.HasPicture()) {
        WriteUInt32(stream, 0);
        return;
    }
    if (record.ClassName.size() > MaxGraphicClassName) throw EWriteError(sid::WriteError);
    const uint64_t size = 1 + record.ClassName.size() + record.Data.size();
    if (size > UINT32_MAX) throw EWriteError(sid::WriteError);
    WriteUInt32(stream, uint32_t(size));
    const uint8_t length = uint8_t(record.ClassName.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(record.ClassName.data(), record.ClassName.size());
    if (!record.Data.empty()) stream.WriteBuffer(record.Data.data(), record.Data.size());
}

TImageRecordResult ReadImageRecord(TStream& stream, TImageRecord& record, std::string* unknownClass) {
    uint8_t sizeBytes[4];
    ReadOrFail(stream, sizeBytes, 4);
    const uint32_t size = GetUInt(sizeBytes, 4);
    if (size == 0) return irEmpty;
    if (int64_t(size) > stream.Remaining()) InvalidStream();
    const int64_t end = stream.Position() + size;
    uint8_t length = 0;
    ReadOrFail(stream, &length, 1);
    if (size_t(length) + 1 > size) InvalidStream();
    std::string name(length, '\0');
    ReadOrFail(stream, name.data(), length);
    const std::string known = length <= MaxGraphicClassName ? FindGraphicClass(name) : std::string();
    if (known.empty()) {
        if (unknownClass) *unknownClass = name;
        stream.SetPosition(end);
        return irUnknownClass;
    }
    std::vector<uint8_t> data(size - 1 - length);
    if (!data.empty()) ReadOrFail(stream, data.data(), data.size());
    record.ClassName = known;
    record.Data = std::move(data);
    stream.SetPosition(end);
    return irRead;
}

// ---- EntriesData ----

std::vector<uint8_t> WriteEntriesData(const std::vector<TPictureFileEntry>& entries) {
    TMemoryStream out;
    const uint8_t head[2] = {1, 4};
    out.WriteBuffer(head, 2);
    WriteUInt32(out, uint32_t(entries.size()));
    for (const TPictureFileEntry& e : entries) {
        WriteUInt32(out, uint32_t(e.ID));
        WriteUInt32(out, uint32_t(e.ResourceID));
        const uint8_t option[2] = {uint8_t(e.Option.Bits()), uint8_t(e.Option.Bits() >> 8)};
        out.WriteBuffer(option, 2);
        WriteImageRecord(out, e.Image);
    }
    return out.Bytes();
}

std::vector<TPictureFileEntry> ReadEntriesData(const std::vector<uint8_t>& data) {
    if (data.empty()) InvalidStream();
    if (data[0] != 1) throw EAbort(sid::InvalidStreamFormat2);
    if (data.size() < 2 || data[1] < 1 || data[1] > 4 || data.size() < 2u + data[1]) InvalidStream();
    const size_t width = data[1];
    const uint32_t count = GetUInt(data.data() + 2, width);
    if (count > (data.size() - 2 - width) / MinEntryBytes) InvalidStream();
    TMemoryStream in;
    in.WriteBuffer(data.data(), data.size());
    in.SetPosition(int64_t(2 + width));
    std::vector<TPictureFileEntry> entries;
    entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t fixed[EntryFixedBytes];
        ReadOrFail(in, fixed, sizeof fixed);
        TPictureFileEntry e;
        e.ID = int32_t(GetUInt(fixed, 4));
        e.ResourceID = int32_t(GetUInt(fixed + 4, 4));
        e.Option = TPictOption::FromBits(GetUInt(fixed + 8, 2));
        ReadImageRecord(in, e.Image, &e.SkippedClass);
        entries.push_back(std::move(e));
    }
    return entries;
}

// ---- The file ----

void WritePictureFile(TStream& stream, const TPictureFile& file) {
    WriteResourceHeader(stream, file.Name.empty() ? file.ClassName : file.Name);
    const int64_t sizePos = stream.Position() - 4;
    const int64_t start = stream.Position();
    TComponentWriter w(stream);
    w.WriteSignature();
    w.WriteStr(file.ClassName);
    w.WriteStr(file.Name);
    if (file.Tag != 0) {
        w.WriteStr("Tag");
        w.WriteInteger(file.Tag);
    }
    if (file.DefaultOption != DefaultPictOption) {
        w.WriteStr("DefaultOption");
        w.WriteSet(file.DefaultOption.Bits(), PictOptionNames());
    }
    w.WriteStr("IDMinimum");
    w.WriteInteger(file.IDMinimum);
    w.WriteStr("IDMaximum");
    w.WriteInteger(file.IDMaximum);
    if (file.Left != 0) {
        w.WriteStr("Left");
        w.WriteInteger(file.Left);
    }
    if (file.Top != 0) {
        w.WriteStr("Top");
        w.WriteInteger(file.Top);
    }
    if (!file.Entries.empty()) {
        w.WriteStr("Entries");
        w.WriteBinary(WriteEntriesData(file.Entries));
    }
    const uint8_t ends[2] = {0, 0};  // end of the properties, end of the (empty) child list
    stream.WriteBuffer(ends, 2);
    const int64_t end = stream.Position();
    stream.SetPosition(sizePos);
    WriteUInt32(stream, uint32_t(end - start));
    stream.SetPosition(end);
}

TPictureFile ReadPictureFile(TStream& stream) {
    ReadPictureFileHeader(stream);
    TPictureFile file;
    file.ClassName.clear();
    TPictureFileHandler handler(file);
    TComponentParser parser(stream);
    parser.Parse(handler);
    return file;
}

void SavePictureFile(const std::string& fileName, const TPictureFile& file) {
    SaveFileSafely(fileName, [&file](TStream& stream) { WritePictureFile(stream, file); });
}

TPictureFile LoadPictureFile(const std::string& fileName) {
    std::unique_ptr<TStream> stream = FileSystem().OpenRead(fileName);
    return ReadPictureFile(*stream);
}
