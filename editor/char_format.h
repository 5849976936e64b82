// The character format of the rich edit control as the text attributes see it, and the rules
// by which a written attribute becomes a change: the automatic text and background colours,
// and which effects, face and character set a write really has to send. Reading a selection
// the control reports a mask of the attributes that are uniform over it; what is mixed stays
// mixed unless the write is meant for it.
#pragma once

#include <cstdint>
#include <string>

// Mask and effect bits (the control's CFM_ and CFE_ values).
constexpr uint32_t cfmBold = 0x00000001;
constexpr uint32_t cfmItalic = 0x00000002;
constexpr uint32_t cfmUnderline = 0x00000004;
constexpr uint32_t cfmStrikeOut = 0x00000008;
constexpr uint32_t cfmProtected = 0x00000010;
constexpr uint32_t cfmStyleEffects = 0x0000000F;
constexpr uint32_t cfmBackColor = 0x04000000;
constexpr uint32_t cfmCharSet = 0x08000000;
constexpr uint32_t cfmFace = 0x20000000;
constexpr uint32_t cfmColor = 0x40000000;
constexpr uint32_t cfmSize = 0x80000000;
constexpr uint32_t cfeAutoBackColor = 0x04000000;
constexpr uint32_t cfeAutoColor = 0x40000000;
// Assign between two text attributes: everything but the link-related bit.
constexpr uint32_t cfmAssignAll = 0xFEFFFFFF;

// The window-text system colour, which stands for the automatic text colour.
constexpr uint32_t WindowTextColor = 0x80000008;

struct TCharFormat {
    uint32_t Mask = 0;
    uint32_t Effects = 0;
    int32_t Height = 0;  // twips
    uint32_t Color = 0;  // 0x00BBGGRR
    uint8_t CharSet = 0;
    uint8_t PitchAndFamily = 0;
    std::string FaceName;
    uint32_t BackColor = 0;  // version-2 record only
};

// The text colour: WindowTextColor when the automatic colour is on.
uint32_t ReadTextColor(const TCharFormat& format);
// Makes Format a write of the text colour Color (Rgb is its RGB value): the automatic colour
// for WindowTextColor, else that colour.
void WriteTextColor(TCharFormat& format, uint32_t color, uint32_t rgb);
// The background colour: ControlColor when the automatic background is on.
uint32_t ReadBackColor(const TCharFormat& format, uint32_t controlColor);
// A write of the background colour; the control's own colour means the automatic background.
void WriteBackColor(TCharFormat& format, uint32_t color, uint32_t rgb, uint32_t controlColor);

// Bold 1, italic 2, underline 4, strike-out 8, of the effects that are uniform and set.
uint32_t ReadStyle(const TCharFormat& format);
// The effects a write of NewStyle changes: those that differ from what ReadStyle gives now. An
// effect that is mixed reads as unset, so it is changed only when NewStyle sets it.
uint32_t StyleChangeMask(const TCharFormat& current, uint32_t newStyle);

// Whether writing the face Name (or the character set) has to send anything: always when the
// selection mixes faces (character sets), else only when it differs (the face case-insensitively).
bool FaceWriteNeeded(const TCharFormat& current, const std::string& name);
bool CharSetWriteNeeded(const TCharFormat& current, uint8_t charSet);

enum TCharPitch { cpDefault, cpVariable, cpFixed };
TCharPitch ReadPitch(const TCharFormat& format);
// The pitch-and-family byte with Pitch in its pitch bits and the family kept.
uint8_t PitchAndFamilyWith(uint8_t pitchAndFamily, TCharPitch pitch);
