#include "pictures/icon_stream.h"

#include <algorithm>

#include "base/string_ids.h"
#include "pictures/image_error.h"

namespace {

constexpr size_t HeaderSize = 6;
constexpr size_t EntrySize = 16;

[[noreturn]] void InvalidIcon() { throw EInvalidImage(sid::InvalidIcon); }

uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }
void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v);
    Put16(out, v >> 16);
}

TIconDirEntry EntryAt(const uint8_t* p) {
    TIconDirEntry e;
    e.Width = p[0];
    e.Height = p[1];
    e.ColorCount = p[2];
    e.Reserved = p[3];
    e.Planes = uint16_t(Get16(p + 4));
    e.BitCount = uint16_t(Get16(p + 6));
    e.BytesInRes = Get32(p + 8);
    e.ImageOffset = Get32(p + 12);
    return e;
}

}  // namespace

TIconDirectory ReadIconDirectory(const uint8_t* data, size_t size, TIconType expected) {
    if (size < HeaderSize || Get16(data) != 0 || Get16(data + 2) != expected) InvalidIcon();
    const size_t count = Get16(data + 4);
    if (count == 0 || HeaderSize + count * EntrySize > size) InvalidIcon();
    TIconDirectory dir;
    dir.Type = expected;
    for (size_t i = 0; i < count; ++i) {
        const TIconDirEntry e = EntryAt(data + HeaderSize + i * EntrySize);
        if (e.BytesInRes == 0 || e.BytesInRes > MaxIconImageBytes || e.ImageOffset > size ||
            e.BytesInRes > size - e.ImageOffset)
            InvalidIcon();
        dir.Entries.push_back(e);
    }
    return dir;
}

// Depths beyond any real picture's are all alike.
static int ClampDepth(uint32_t depth) { return int(std::min<uint32_t>(depth, 255)); }

int IconEntryDepth(const TIconDirEntry& entry, const uint8_t* data, size_t size, TIconType type) {
    const uint32_t listed = uint32_t(entry.Planes) * entry.BitCount;
    if (type == itIcon && listed > 0) return ClampDepth(listed);
    // The image's bitmap info header: 16-bit planes at 12, bit count at 14.
    const uint8_t* image = data + entry.ImageOffset;
    if (entry.BytesInRes >= 40 && Get32(image) == 40) return ClampDepth(Get16(image + 12) * Get16(image + 14));
    int depth = 1;
    while (depth < 8 && (1 << depth) < entry.ColorCount) ++depth;
    return entry.ColorCount == 0 ? 8 : depth;
}

size_t BestIconImage(const TIconDirectory& directory, const uint8_t* data, size_t size, int screenDepth) {
    size_t best = 0;
    int bestDepth = -1;
    for (size_t i = 0; i < directory.Entries.size(); ++i) {
        const int depth = IconEntryDepth(directory.Entries[i], data, size, directory.Type);
        const bool fits = depth <= screenDepth;
        const bool bestFits = bestDepth >= 0 && bestDepth <= screenDepth;
        const bool better = bestDepth < 0 || (fits && (!bestFits || depth > bestDepth)) ||
                            (!fits && !bestFits && depth < bestDepth);
        if (better) {
            best = i;
            bestDepth = depth;
        }
    }
    return best;
}

TIconImage ReadIconStream(TStream& stream, TIconType expected, int screenDepth) {
    const int64_t size = stream.Remaining();
    if (size < int64_t(HeaderSize) || size > int64_t(MaxIconImageBytes) * 4) InvalidIcon();
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    stream.ReadBuffer(bytes.data(), bytes.size());
    const TIconDirectory dir = ReadIconDirectory(bytes.data(), bytes.size(), expected);
    const size_t best = BestIconImage(dir, bytes.data(), bytes.size(), screenDepth);
    TIconImage image;
    image.Entry = dir.Entries[best];
    const uint8_t* start = bytes.data() + image.Entry.ImageOffset;
    image.Data.assign(start, start + image.Entry.BytesInRes);
    return image;
}

void WriteIconStream(TStream& stream, TIconType type, const TIconImage& image) {
    if (image.Data.empty() || image.Data.size() > MaxIconImageBytes) InvalidIcon();
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, 1);
    const TIconDirEntry& e = image.Entry;
    out.insert(out.end(), {e.Width, e.Height, e.ColorCount, e.Reserved});
    Put16(out, e.Planes);
    Put16(out, e.BitCount);
    Put32(out, uint32_t(image.Data.size()));
    Put32(out, uint32_t(HeaderSize + EntrySize));
    stream.WriteBuffer(out.data(), out.size());
    stream.WriteBuffer(image.Data.data(), image.Data.size());
}
