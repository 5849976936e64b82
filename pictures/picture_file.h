// The picture list file (.PIL) and the two payloads it is built from: the entry list
// ("Entries", EntriesData) and the per-picture record (ImageRecord), read into and written from
// plain data. A .PIL file is a resource header followed by one component stream of a
// TPictureList with the properties Tag, DefaultOption, IDMinimum, IDMaximum, Left, Top and
// Entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/small_set.h"
#include "base/stream.h"

// The members of a picture option set; a set is stored as a 16-bit word, bit n = member n.
enum TPictOptionItem {
    poLeft, poRight, poTop, poBottom, poBrushCopy, poMasked, poStretch, poClipping,
    poSelectPalette, poSelected, poTiled, poInvalid, poModified
};
using TPictOption = TSmallSet<TPictOptionItem>;
inline constexpr TPictOption DefaultPictOption{poLeft, poRight, poTop, poBottom, poBrushCopy};
// "poLeft" .. "poModified", in bit order.
const std::vector<std::string>& PictOptionNames();

// The graphic classes a record may name: TIcon, TMetafile, TCursorIcon, TStretchIcon, TBitmap,
// TGIFBitmap, TPCXBitmap, TRLEBitmap, TDIBBitmap.
const std::vector<std::string>& GraphicClassNames();
// The registered spelling of Name, looked up case-insensitively; empty when unknown.
std::string FindGraphicClass(const std::string& name);
// TBitmap and its descendants (the GIF, PCX, RLE and DIB classes), whose data is a BMP file.
bool IsBitmapClass(const std::string& className);
// TIcon and TStretchIcon, whose data is a single-image icon file.
bool IsIconClass(const std::string& className);

// One picture: its graphic class and the data the graphic writes of itself. An empty class
// name means no picture.
struct TImageRecord {
    std::string ClassName;
    std::vector<uint8_t> Data;

    bool HasPicture() const { return !ClassName.empty(); }
    bool operator==(const TImageRecord&) const = default;
};

// Class names of records are at most this long.
constexpr size_t MaxGraphicClassName = 63;

// A 32-bit size S of what follows, then (unless there is no picture and S is 0) the class name
// as a short string and the data.
void WriteImageRecord(TStream& stream, const TImageRecord& record);

enum TImageRecordResult { irEmpty, irRead, irUnknownClass };
// Reads one record. S = 0: irEmpty, Record unchanged. A class that is not registered:
// irUnknownClass, Record unchanged, the class name in UnknownClass when given. Otherwise Record
// takes the registered class name and the data. The stream is left at the record's start + 4 + S
// in every case. Raises EReadError (65454 "Ungültiges Stream-Format") when S exceeds the bytes
// left or the class name does not fit into S.
TImageRecordResult ReadImageRecord(TStream& stream, TImageRecord& record, std::string* unknownClass = nullptr);

// One record of the entry list.
struct TPictureFileEntry {
    int32_t ID = 0;
    int32_t ResourceID = 0;
    TPictOption Option;
    TImageRecord Image;        // without picture when the record had none or an unknown class
    std::string SkippedClass;  // the unknown class a record named, for reports

    bool operator==(const TPictureFileEntry&) const = default;
};

// EntriesData: version 1, count width 4, the count, then per entry ID, ResourceID, Option and
// its ImageRecord.
std::vector<uint8_t> WriteEntriesData(const std::vector<TPictureFileEntry>& entries);
// Reads EntriesData. A version other than 1 raises the silent abort EAbort carrying 65250
// ("Ungültiges Streamformat"); a count width outside 1..4, a count that the bytes cannot hold or
// a damaged record raise EReadError (65454). Records of unknown classes come back without picture.
std::vector<TPictureFileEntry> ReadEntriesData(const std::vector<uint8_t>& data);

// The content of a .PIL file.
struct TPictureFile {
    std::string ClassName = "TPictureList";
    std::string Name;  // the list component's name; also, in upper case, the resource name
    int32_t Tag = 0;
    TPictOption DefaultOption = DefaultPictOption;
    int32_t IDMinimum = 0;
    int32_t IDMaximum = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    std::vector<TPictureFileEntry> Entries;
};

// Writes the resource header (0xFF, 10, the name or "TPICTURELIST" in upper case cut to 63
// characters, 0x1030, the stream size) and the component stream.
void WritePictureFile(TStream& stream, const TPictureFile& file);
// Reads a .PIL file from the stream's position. The header check reads at most 79 bytes: the
// first must be 0xFF and the second 10, and the name must end within them; then the signature
// "TPF0" and the record. Raises EReadError (65454) for a damaged header, signature or record,
// and for properties the list does not have; EAbort (65250) for an entry list of another version.
TPictureFile ReadPictureFile(TStream& stream);

// Through FileSystem(): EFOpenError (65448) when the file cannot be opened. Saving writes a
// temporary file first, which replaces the file only when it is complete on the disk
// (base/safe_file.h); EFCreateError (65447) or EWriteError (65453) when that fails, with the
// previous file left as it was.
void SavePictureFile(const std::string& fileName, const TPictureFile& file);
TPictureFile LoadPictureFile(const std::string& fileName);
