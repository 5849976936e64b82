// The window-free rules of the program's speed buttons: the option bits behind their indexed
// boolean properties with the defaults table indexed by Inplaced, the activation key set with
// its modifier rule, and the rule that decides whether a held button repeats its click.
#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>

// Bit numbers of the option set. Bits 9, 12, 13, 14, 19 and 20 are internal state.
enum TSpeedButtonOption : unsigned {
    boTransparent = 0,
    boFlat = 1,
    boGraying = 2,
    boDrawFrame = 3,
    boFocused = 4,
    boDown = 5,
    boAllwaysShow = 6,
    boAllowAllUp = 7,
    boParentFocus = 8,
    boHot = 9,            // the mouse is over the button
    boKeyCtrl = 10,       // the activation keys want Ctrl held
    boKeyAlt = 11,        // the activation keys want Alt held
    boHotGuard = 12,      // re-entrancy guard of the hot test
    boEnabledMemo = 13,   // Enabled as it was before bit 14 disabled the button
    boMenuDisabled = 14,  // disabled while the drop-down menu is shown
    boDrawCaption = 15,
    boDefaultOptions = 16,
    boInplaced = 17,
    boDropDown = 18,
    boOverArrow = 19,     // the mouse is over the drop-down arrow part
    boMenuOpen = 20,      // the drop-down menu is (still counted as) open
};

constexpr uint32_t OptionBit(unsigned bit) { return uint32_t(1) << bit; }
// The four look options that the defaults table sets.
constexpr uint32_t LookOptionMask = OptionBit(boTransparent) | OptionBit(boFlat) | OptionBit(boGraying) |
                                    OptionBit(boDrawFrame);
// The width of the drop-down arrow part at the right of a button.
constexpr int DropDownWidth = 9;

// One row of the defaults table: the look bits (within LookOptionMask) and the colour
// (0x00BBGGRR, or a system colour 0x80000000 + index).
struct TSpeedButtonDefaults {
    uint32_t LookBits = 0;
    int32_t Color = 0;
    bool operator==(const TSpeedButtonDefaults&) const = default;
};

// The process-wide defaults table: row false for free buttons (transparent, flat, greying,
// framed, button-shadow colour), row true for in-place buttons (framed only, button face).
TSpeedButtonDefaults SpeedButtonDefaults(bool inplaced);
// Replaces one row; returns the previous row.
TSpeedButtonDefaults SetSpeedButtonDefaults(bool inplaced, TSpeedButtonDefaults row);
// The built-in rows, as the table starts.
TSpeedButtonDefaults BuiltinSpeedButtonDefaults(bool inplaced);

// The option bits of one button. Changing a look bit clears DefaultOptions; applying the
// defaults writes the look bits of the row for the current Inplaced value.
class TSpeedButtonOptions {
public:
    // ParentFocus, DrawFrame, DrawCaption and DefaultOptions, then the defaults applied.
    TSpeedButtonOptions();
    static TSpeedButtonOptions FromBits(uint32_t bits);

    uint32_t Bits() const { return bits_; }
    // Raises Exception (ValueOutOfRange) for a bit above 31.
    bool Get(unsigned bit) const;
    // Stores the bit; true when it changed. A look bit clears DefaultOptions (even when the
    // bit itself kept its value).
    bool Set(unsigned bit, bool value);
    // Writes the row's look bits (the other bits stay) and returns the row's colour.
    int32_t ApplyDefaults();

private:
    uint32_t bits_ = 0;
};

// The keys that press a button: virtual key codes, plus the modifiers vkCtrl and vkAlt, which
// are no keys of their own but demand that Ctrl or Alt is held.
enum TKeys : uint8_t {
    vkReturn = 13, vkCtrl = 17, vkAlt = 18, vkEscape = 27, vkSpace = 32, vkPageUp = 33, vkPageDown = 34,
    vkLeft = 37, vkUp = 38, vkRight = 39, vkDown = 40, vkInsert = 45, vkDelete = 46, vkAdd = 107,
    vkSubtract = 109,
};

// The activation keys: 256 bits of virtual key codes and the two modifier demands.
class TActivateKeys {
public:
    TActivateKeys() = default;
    TActivateKeys(std::initializer_list<TKeys> keys);

    bool Empty() const { return keys_.none() && !ctrl_ && !alt_; }
    // Whether the set holds a key (vkCtrl and vkAlt ask for the modifier demands).
    bool Has(TKeys key) const;
    bool HasKey(unsigned virtualKey) const { return virtualKey < 256 && keys_.test(virtualKey); }
    void Include(TKeys key);
    void Exclude(TKeys key);
    bool WantsCtrl() const { return ctrl_; }
    bool WantsAlt() const { return alt_; }
    const std::bitset<256>& Keys() const { return keys_; }
    bool operator==(const TActivateKeys&) const = default;

    // Whether a key pressed with the given modifiers presses the button: the key is in the set,
    // Shift is not held, and Ctrl and Alt are held exactly when the set demands them.
    bool Matches(unsigned virtualKey, bool shift, bool ctrl, bool alt) const;

private:
    std::bitset<256> keys_;
    bool ctrl_ = false;
    bool alt_ = false;
};

// A loaded button that is not in place and has no activation keys gets [vkSpace].
TActivateKeys LoadedActivateKeys(const TActivateKeys& keys, bool inplaced);

// What a repeat tick looks at.
struct TRepeatInput {
    bool Enabled = false;
    bool Grouped = false;      // non-zero GroupIndex
    bool Pressed = false;      // in the pressed state (mouse held over the button)
    bool Down = false;         // latched down
    bool MouseHeldOver = false;// the left button is held with the mouse over the button
    bool KeyHeld = false;      // the activation key that pressed the button is still down
};

// Whether a repeat tick fires Click (false stops the timer): the button must be enabled and
// held; outside a group it must be pressed by the mouse or held by its key, in a group it must
// be latched down while the mouse or the key holds it. A latched group button that nobody
// holds does not repeat.
bool RepeatFires(const TRepeatInput& input);

// The first repeat comes after this delay; later ones follow TimerInterval.
constexpr unsigned FirstRepeatDelay = 300;
