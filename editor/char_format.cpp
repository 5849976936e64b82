#include "editor/char_format.h"

#include "base/format.h"

uint32_t ReadTextColor(const TCharFormat& format) {
    return (format.Effects & cfeAutoColor) ? WindowTextColor : format.Color;
}

void WriteTextColor(TCharFormat& format, uint32_t color, uint32_t rgb) {
    format.Mask = cfmColor;
    if (color == WindowTextColor) {
        format.Effects |= cfeAutoColor;
    } else {
        format.Effects &= ~cfeAutoColor;
        format.Color = rgb;
    }
}

uint32_t ReadBackColor(const TCharFormat& format, uint32_t controlColor) {
    return (format.Effects & cfeAutoBackColor) ? controlColor : format.BackColor;
}

void WriteBackColor(TCharFormat& format, uint32_t color, uint32_t rgb, uint32_t controlColor) {
    format.Mask = cfmBackColor;
    if (color == controlColor) {
        format.Effects |= cfeAutoBackColor;
    } else {
        format.Effects &= ~cfeAutoBackColor;
        format.BackColor = rgb;
    }
}

uint32_t ReadStyle(const TCharFormat& format) {
    return format.Effects & format.Mask & cfmStyleEffects;
}

uint32_t StyleChangeMask(const TCharFormat& current, uint32_t newStyle) {
    return (ReadStyle(current) ^ newStyle) & cfmStyleEffects;
}

bool FaceWriteNeeded(const TCharFormat& current, const std::string& name) {
    return !(current.Mask & cfmFace) || !SameText(current.FaceName, name);
}

bool CharSetWriteNeeded(const TCharFormat& current, uint8_t charSet) {
    return !(current.Mask & cfmCharSet) || current.CharSet != charSet;
}

TCharPitch ReadPitch(const TCharFormat& format) {
    switch (format.PitchAndFamily & 0x03) {
    case 1: return cpFixed;
    case 2: return cpVariable;
    default: return cpDefault;
    }
}

uint8_t PitchAndFamilyWith(uint8_t pitchAndFamily, TCharPitch pitch) {
    const uint8_t bits = pitch == cpFixed ? 1 : pitch == cpVariable ? 2 : 0;
    return static_cast<uint8_t>((pitchAndFamily & ~0x03) | bits);
}
