// libFuzzer target: any bytes read as a .PIL file, and as an entry list alone, end in plain data
// or an Exception. What was read is loaded into a picture list, written and read again, and
// its bitmap records are turned into BMP files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/exception.h"
#include "pictures/picture_entries.h"
#include "pictures/picture_export.h"
#include "pictures/picture_file.h"

namespace {

void UseFile(const TPictureFile& file) {
    TPictureEntries list;
    list.SetIDMinimum(1);
    list.SetIDMaximum(1000);
    list.LoadFromFile(file);
    for (int i = 0; i + 1 < list.Count(); ++i) {
        if (list.Items(i)->ID > list.Items(i + 1)->ID && list.Items(i + 1)->ID != 0) std::abort();
    }
    TMemoryStream out;
    WritePictureFile(out, list.SaveToFile(file.Name));
    out.SetPosition(0);
    if (ReadPictureFile(out).Entries.size() != size_t(list.Count())) std::abort();
    for (const TPictureFileEntry& e : file.Entries) {
        if (!IsBitmapClass(e.Image.ClassName)) continue;
        try {
            BitmapRecordToBmp(e.Image);
        } catch (const Exception&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        TMemoryStream in;
        if (size) in.WriteBuffer(data, size);
        in.SetPosition(0);
        UseFile(ReadPictureFile(in));
    } catch (const Exception&) {
    }
    try {
        ReadEntriesData(std::vector<uint8_t>(data, data + size));
    } catch (const Exception&) {
    }
    return 0;
}
