// The failure of the image readers: an image file, icon stream or picture list record that does
// not fit its format. It is the graphics' own error, so that the window framework's picture
// loader and the portable readers are caught by one handler; it carries the string id of the
// message that names the format (base/string_ids.h).
#pragma once

#include <cstdint>

#include "base/bmp_format.h"
#include "base/exception.h"
#include "base/string_ids.h"

using EInvalidImage = EInvalidGraphic;

// Pictures beyond these limits are refused before anything is allocated for them: the limits
// of the bitmap loader, which every converted picture goes through (base/bmp_format.h).
constexpr int MaxImageSide = MaxBmpSide;
constexpr int64_t MaxImageBytes = MaxBmpPixelBytes;
