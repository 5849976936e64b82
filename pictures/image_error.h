// The failure of the image readers: an image file, icon stream or picture list record that does
// not fit its format. Carries the string id of the message that names the format.
#pragma once

#include "base/exception.h"

namespace sid {
// The pictures' own texts, which base/string_ids.h does not name.
constexpr int PictureListExt = 65145;       // ".PIL"
constexpr int InvalidImageFormat = 65248;   // "Ungültiges Bildformat"
constexpr int ImageSuffix = 65249;          // " Bild"
constexpr int InvalidStreamFormat2 = 65250; // "Ungültiges Streamformat" (the silent abort of "Entries")
constexpr int InvalidGifFormat = 65278;     // "Ungültiges GIF-Bild-Format"
constexpr int InvalidPcxFormat = 65279;     // "Ungültiges PCX-Bild-Format"
}  // namespace sid

class EInvalidImage : public Exception {
public:
    using Exception::Exception;
};

// Pictures beyond these limits are refused before anything is allocated for them.
constexpr int MaxImageSide = 16384;
constexpr int64_t MaxImageBytes = int64_t(256) << 20;
