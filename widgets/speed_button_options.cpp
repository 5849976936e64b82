#include "widgets/speed_button_options.h"

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

// System colours: 0x80000000 + the COLOR_xxx index (COLOR_BTNFACE 15, COLOR_BTNSHADOW 16).
constexpr int32_t BtnFaceColor = static_cast<int32_t>(0x8000000F);
constexpr int32_t BtnShadowColor = static_cast<int32_t>(0x80000010);

TSpeedButtonDefaults& Row(bool inplaced) {
    static TSpeedButtonDefaults rows[2] = {BuiltinSpeedButtonDefaults(false), BuiltinSpeedButtonDefaults(true)};
    return rows[inplaced ? 1 : 0];
}

void CheckBit(unsigned bit) {
    if (bit > 31) throw Exception(sid::ValueOutOfRange, {int64_t{bit}, int64_t{0}, int64_t{31}});
}

}  // namespace

TSpeedButtonDefaults BuiltinSpeedButtonDefaults(bool inplaced) {
    if (inplaced) return {OptionBit(boDrawFrame), BtnFaceColor};
    return {LookOptionMask, BtnShadowColor};
}

TSpeedButtonDefaults SpeedButtonDefaults(bool inplaced) { return Row(inplaced); }

TSpeedButtonDefaults SetSpeedButtonDefaults(bool inplaced, TSpeedButtonDefaults row) {
    TSpeedButtonDefaults previous = Row(inplaced);
    row.LookBits &= LookOptionMask;
    Row(inplaced) = row;
    return previous;
}

TSpeedButtonOptions::TSpeedButtonOptions()
    : bits_(OptionBit(boParentFocus) | OptionBit(boDrawFrame) | OptionBit(boDrawCaption) |
            OptionBit(boDefaultOptions)) {
    ApplyDefaults();
}

TSpeedButtonOptions TSpeedButtonOptions::FromBits(uint32_t bits) {
    TSpeedButtonOptions options;
    options.bits_ = bits;
    return options;
}

bool TSpeedButtonOptions::Get(unsigned bit) const {
    CheckBit(bit);
    return (bits_ & OptionBit(bit)) != 0;
}

bool TSpeedButtonOptions::Set(unsigned bit, bool value) {
    CheckBit(bit);
    const uint32_t old = bits_;
    bits_ = value ? (bits_ | OptionBit(bit)) : (bits_ & ~OptionBit(bit));
    if (OptionBit(bit) & LookOptionMask) bits_ &= ~OptionBit(boDefaultOptions);
    return bits_ != old;
}

int32_t TSpeedButtonOptions::ApplyDefaults() {
    const TSpeedButtonDefaults row = Row((bits_ & OptionBit(boInplaced)) != 0);
    bits_ = (bits_ & ~LookOptionMask) | (row.LookBits & LookOptionMask);
    return row.Color;
}

TActivateKeys::TActivateKeys(std::initializer_list<TKeys> keys) {
    for (TKeys key : keys) Include(key);
}

bool TActivateKeys::Has(TKeys key) const {
    if (key == vkCtrl) return ctrl_;
    if (key == vkAlt) return alt_;
    return keys_.test(key);
}

void TActivateKeys::Include(TKeys key) {
    if (key == vkCtrl) ctrl_ = true;
    else if (key == vkAlt) alt_ = true;
    else keys_.set(key);
}

void TActivateKeys::Exclude(TKeys key) {
    if (key == vkCtrl) ctrl_ = false;
    else if (key == vkAlt) alt_ = false;
    else keys_.reset(key);
}

bool TActivateKeys::Matches(unsigned virtualKey, bool shift, bool ctrl, bool alt) const {
    if (!HasKey(virtualKey) || shift) return false;
    return ctrl == ctrl_ && alt == alt_;
}

TActivateKeys LoadedActivateKeys(const TActivateKeys& keys, bool inplaced) {
    if (!keys.Empty() || inplaced) return keys;
    return TActivateKeys{vkSpace};
}

bool RepeatFires(const TRepeatInput& input) {
    if (!input.Enabled) return false;
    if (input.Grouped) return input.Down && (input.MouseHeldOver || input.KeyHeld);
    return (input.Pressed && input.MouseHeldOver) || input.KeyHeld;
}
