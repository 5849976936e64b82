#include "pictures/picture_export.h"

#include <cstring>
#include <memory>

#include "base/file_system.h"
#include "base/format.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "pictures/bmp_image.h"
#include "pictures/gif_reader.h"
#include "pictures/icon_stream.h"
#include "pictures/image_error.h"
#include "pictures/pcx_reader.h"

namespace {

std::vector<uint8_t> ReadWholeFile(const std::string& fileName) {
    std::unique_ptr<TStream> stream = FileSystem().OpenRead(fileName);
    const int64_t size = stream->Size();
    if (size > MaxImageBytes) throw EInvalidImage(sid::InvalidImageFormat);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

bool StartsWith(const std::vector<uint8_t>& data, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return data.size() >= n && std::memcmp(data.data(), prefix, n) == 0;
}

uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

std::string OptionText(TPictOption option) {
    std::string text;
    const std::vector<std::string>& names = PictOptionNames();
    for (size_t i = 0; i < 16; ++i) {
        if (!(option.Bits() & (1u << i))) continue;
        if (!text.empty()) text += ",";
        text += i < names.size() ? names[i] : "bit" + std::to_string(i);
    }
    return "[" + text + "]";
}

std::string Column(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::vector<uint8_t> ImageFileToBmp(const std::string& fileName) {
    const std::string given = ExtractFileExt(fileName);
    const std::string ext = UpperCase(given);
    if (ext != ".GIF" && ext != ".PCX" && ext != ".BMP" && ext != ".RLE" && ext != ".DIB")
        throw EInvalidImage(sid::UnknownPictureExtension, {given.empty() ? std::string() : given.substr(1)});
    std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    if (ext == ".GIF") return GifToBmp(bytes.data(), bytes.size());
    if (ext == ".PCX") return PcxToBmp(bytes.data(), bytes.size());
    CheckBmpFile(bytes);
    return bytes;
}

std::vector<uint8_t> BitmapRecordToBmp(const TImageRecord& record) {
    const std::vector<uint8_t>& data = record.Data;
    if (StartsWith(data, "GIF")) return GifToBmp(data.data(), data.size());
    if (!data.empty() && data[0] == 0x0A && !StartsWith(data, "BM")) return PcxToBmp(data.data(), data.size());
    CheckBmpFile(data);
    return data;
}

std::string RecordFileExt(const TImageRecord& record) {
    if (IsBitmapClass(record.ClassName)) return ".bmp";
    if (IsIconClass(record.ClassName)) return ".ico";
    if (SameText(record.ClassName, "TCursorIcon")) return ".cur";
    // An enhanced metafile opens with its header record (type 1) carrying " EMF" at offset 40.
    const std::vector<uint8_t>& d = record.Data;
    if (d.size() >= 44 && Get32(d.data()) == 1 && std::memcmp(d.data() + 40, " EMF", 4) == 0) return ".emf";
    return ".wmf";
}

bool RecordPictureSize(const TImageRecord& record, int& width, int& height) {
    try {
        if (IsBitmapClass(record.ClassName)) {
            const TBmpInfo info = CheckBmpFile(record.Data);
            width = info.Width;
            height = info.Height;
            return true;
        }
        if (IsIconClass(record.ClassName) || SameText(record.ClassName, "TCursorIcon")) {
            const TIconType type = IsIconClass(record.ClassName) ? itIcon : itCursor;
            const TIconDirectory dir = ReadIconDirectory(record.Data.data(), record.Data.size(), type);
            width = dir.Entries[0].Width ? dir.Entries[0].Width : 256;
            height = dir.Entries[0].Height ? dir.Entries[0].Height : 256;
            return true;
        }
    } catch (const Exception&) {
    }
    return false;
}

std::string ListPictureFile(const std::string& fileName) {
    const TPictureFile file = LoadPictureFile(fileName);
    std::string out = file.ClassName + " \"" + file.Name + "\": " + std::to_string(file.Entries.size()) +
                      " entries, IDMinimum " + std::to_string(file.IDMinimum) + ", IDMaximum " +
                      std::to_string(file.IDMaximum) + ", DefaultOption " + OptionText(file.DefaultOption) + "\n";
    out += Column("ID", 12) + Column("ResourceID", 12) + Column("Options", 48) + Column("Class", 14) + "Size\n";
    for (const TPictureFileEntry& e : file.Entries) {
        std::string line = Column(std::to_string(e.ID), 12) + Column(std::to_string(e.ResourceID), 12) +
                           Column(OptionText(e.Option), 48);
        if (!e.SkippedClass.empty()) {
            line += Column(e.SkippedClass, 14) + "- (unknown class, dropped)";
        } else if (!e.Image.HasPicture()) {
            line += Column("-", 14) + "0 (no picture, dropped)";
        } else {
            line += Column(e.Image.ClassName, 14) + std::to_string(e.Image.Data.size()) + " bytes";
            int w = 0, h = 0;
            if (RecordPictureSize(e.Image, w, h)) line += ", " + std::to_string(w) + "x" + std::to_string(h);
            if (e.Image.Data.empty()) line += " (empty, dropped)";
        }
        out += line + "\n";
    }
    return out;
}

int ExtractPictures(const std::string& fileName, const std::string& folder) {
    const TPictureFile file = LoadPictureFile(fileName);
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    int written = 0;
    for (size_t i = 0; i < file.Entries.size(); ++i) {
        const TImageRecord& image = file.Entries[i].Image;
        if (!image.HasPicture() || image.Data.empty()) continue;
        const std::vector<uint8_t> bytes = IsBitmapClass(image.ClassName) ? BitmapRecordToBmp(image) : image.Data;
        const std::string name = dir + std::to_string(i + 1) + "_ID" + std::to_string(file.Entries[i].ID) +
                                 RecordFileExt(image);
        SaveFileSafely(name, [&bytes](TStream& out) { out.WriteBuffer(bytes.data(), bytes.size()); });
        ++written;
    }
    return written;
}
