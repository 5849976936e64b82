// The speed button's option bits with the defaults table inside and outside a container, the
// activation key rule with its modifier demands, and the repeat rule of held buttons.
#include <gtest/gtest.h>

#include "base/exception.h"
#include "widgets/speed_button_options.h"

namespace {

constexpr int32_t BtnFace = static_cast<int32_t>(0x8000000F);
constexpr int32_t BtnShadow = static_cast<int32_t>(0x80000010);

TEST(SpeedButtonOptionsTest, ConstructionSetsTheFixedBitsAndTheFreeDefaults) {
    const TSpeedButtonOptions options;
    for (unsigned bit : {boParentFocus, boDrawFrame, boDrawCaption, boDefaultOptions, boTransparent, boFlat, boGraying})
        EXPECT_TRUE(options.Get(bit)) << bit;
    for (unsigned bit : {boFocused, boDown, boAllowAllUp, boInplaced, boDropDown, boHot}) EXPECT_FALSE(options.Get(bit)) << bit;
}

TEST(SpeedButtonOptionsTest, DefaultsFollowTheRowOfInplaced) {
    struct Row {
        bool inplaced;
        uint32_t look;
        int32_t color;
    } rows[] = {
        {false, LookOptionMask, BtnShadow},
        {true, OptionBit(boDrawFrame), BtnFace},
    };
    for (const Row& row : rows) {
        TSpeedButtonOptions options;
        options.Set(boInplaced, row.inplaced);
        options.Set(boDown, true);
        EXPECT_EQ(options.ApplyDefaults(), row.color) << row.inplaced;
        EXPECT_EQ(options.Bits() & LookOptionMask, row.look) << row.inplaced;
        EXPECT_TRUE(options.Get(boDown)) << "the defaults touch only the look bits";
    }
}

TEST(SpeedButtonOptionsTest, EveryLookBitClearsDefaultOptionsOtherBitsDoNot) {
    for (unsigned bit : {boTransparent, boFlat, boGraying, boDrawFrame}) {
        for (bool value : {false, true}) {
            TSpeedButtonOptions options;
            options.Set(bit, value);
            EXPECT_FALSE(options.Get(boDefaultOptions)) << bit << " " << value;
            EXPECT_EQ(options.Get(bit), value);
        }
    }
    for (unsigned bit : {boFocused, boDown, boAllowAllUp, boParentFocus, boDrawCaption, boDropDown}) {
        TSpeedButtonOptions options;
        options.Set(bit, !options.Get(bit));
        EXPECT_TRUE(options.Get(boDefaultOptions)) << bit;
    }
}

TEST(SpeedButtonOptionsTest, TransparentOffThenDefaultOptionsRestoresTheRow) {
    TSpeedButtonOptions options;
    EXPECT_TRUE(options.Set(boTransparent, false));
    EXPECT_FALSE(options.Get(boDefaultOptions));
    EXPECT_FALSE(options.Set(boTransparent, false));
    options.Set(boDefaultOptions, true);
    options.ApplyDefaults();
    EXPECT_TRUE(options.Get(boTransparent));
    EXPECT_TRUE(options.Get(boDefaultOptions));
}

TEST(SpeedButtonOptionsTest, ReplacedRowsApplyAndCanBeRestored) {
    const TSpeedButtonDefaults old =
        SetSpeedButtonDefaults(false, {OptionBit(boFlat) | OptionBit(boDown), 0x123456});
    EXPECT_EQ(old, BuiltinSpeedButtonDefaults(false));
    TSpeedButtonOptions options;
    EXPECT_EQ(options.Bits() & LookOptionMask, OptionBit(boFlat)) << "bits outside the look mask are dropped";
    EXPECT_FALSE(options.Get(boDown));
    EXPECT_EQ(options.ApplyDefaults(), 0x123456);
    SetSpeedButtonDefaults(false, old);
    EXPECT_EQ(SpeedButtonDefaults(false), BuiltinSpeedButtonDefaults(false));
}

TEST(SpeedButtonOptionsTest, BitsAbove31AreAnError) {
    TSpeedButtonOptions options;
    EXPECT_THROW(options.Get(32), Exception);
    EXPECT_THROW(options.Set(40, true), Exception);
    EXPECT_NO_THROW(options.Set(31, true));
}

TEST(ActivateKeysTest, ModifiersMustBeHeldExactlyWhenDemanded) {
    struct Case {
        TActivateKeys keys;
        unsigned key;
        bool shift, ctrl, alt, fires;
    } cases[] = {
        {{vkSpace}, 32, false, false, false, true},
        {{vkSpace}, 32, true, false, false, false},
        {{vkSpace}, 32, false, true, false, false},
        {{vkSpace}, 13, false, false, false, false},
        {{vkSpace, vkCtrl}, 32, false, false, false, false},
        {{vkSpace, vkCtrl}, 32, false, true, false, true},
        {{vkSpace, vkCtrl}, 32, true, true, false, false},
        {{vkSpace, vkCtrl}, 32, false, true, true, false},
        {{vkReturn, vkAlt}, 13, false, false, true, true},
        {{vkReturn, vkAlt, vkCtrl}, 13, false, true, true, true},
        {{vkCtrl}, 17, false, true, false, false},
        {{}, 32, false, false, false, false},
        {{vkSpace}, 400, false, false, false, false},
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.keys.Matches(c.key, c.shift, c.ctrl, c.alt), c.fires) << "row " << row;
        ++row;
    }
}

TEST(ActivateKeysTest, IncludeExcludeAndTheLoadedDefault) {
    TActivateKeys keys;
    EXPECT_TRUE(keys.Empty());
    keys.Include(vkCtrl);
    EXPECT_TRUE(keys.Has(vkCtrl));
    EXPECT_FALSE(keys.HasKey(17)) << "vkCtrl is a demand, no key";
    EXPECT_FALSE(keys.Empty());
    keys.Exclude(vkCtrl);
    keys.Include(vkAdd);
    EXPECT_TRUE(keys.HasKey(107));
    EXPECT_EQ(LoadedActivateKeys({}, false), TActivateKeys{vkSpace});
    EXPECT_TRUE(LoadedActivateKeys({}, true).Empty());
    EXPECT_EQ(LoadedActivateKeys(keys, false), keys);
}

TEST(RepeatRuleTest, HeldButtonsRepeatLatchedOnesOnlyWhileHeld) {
    struct Case {
        TRepeatInput in;
        bool fires;
    } cases[] = {
        {{true, false, true, false, true, false}, true},    // pressed by the mouse
        {{false, false, true, false, true, false}, false},  // disabled
        {{true, false, false, false, true, false}, false},  // moved off: no longer pressed
        {{true, false, false, false, false, true}, true},   // held by its key
        {{true, true, false, true, false, false}, false},   // latched down, nobody holds it
        {{true, true, false, true, true, false}, true},     // latched down, mouse holds it
        {{true, true, false, true, false, true}, true},     // latched down, key holds it
        {{true, true, true, false, true, false}, false},    // group button pressed, not yet down
        {{true, true, false, false, false, true}, false},   // key held but released from the group
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(RepeatFires(c.in), c.fires) << "row " << row;
        ++row;
    }
}

}  // namespace
