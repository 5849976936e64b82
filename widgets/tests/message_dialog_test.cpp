// The message dialog without its window: arguments, buttons and their results, dialog units and
// the layout.
#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "widgets/message_dialog.h"

namespace {

TEST(MessageDialogTest, ArgumentsInTheirPlaces) {
    auto a = ParseMessageArgs({std::string("Text")});
    EXPECT_EQ(a.Message, "Text");
    EXPECT_EQ(a.Caption, "");
    EXPECT_EQ(a.Type, mtInformation);
    EXPECT_EQ(a.Buttons, mbOKOnly);

    a = ParseMessageArgs({int64_t{sid::ButtonHelp}, std::string("Titel"), int64_t{mtConfirmation},
                          int64_t{mbYesNoCancel}});
    EXPECT_EQ(a.Message, LoadStr(sid::ButtonHelp));
    EXPECT_EQ(a.Caption, "Titel");
    EXPECT_EQ(a.Type, mtConfirmation);
    EXPECT_EQ(a.Buttons, mbYesNoCancel);
}

TEST(MessageDialogTest, BadArgumentsRaise) {
    const std::vector<std::vector<TMessageArg>> bad = {
        {},
        {std::string("m"), int64_t{3}},                                      // number as caption
        {std::string("m"), std::string("c"), std::string("3")},              // text as type
        {std::string("m"), std::string("c"), int64_t{5}},                    // type out of range
        {std::string("m"), std::string("c"), int64_t{-1}},
        {std::string("m"), std::string("c"), int64_t{0}, int64_t{0}},        // no buttons
        {std::string("m"), std::string("c"), int64_t{0}, int64_t{1 << 11}},  // unknown button
        {std::string("m"), std::string("c"), int64_t{0}, int64_t{4}, int64_t{1}},
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        try {
            ParseMessageArgs(bad[i]);
            ADD_FAILURE() << "row " << i;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Id(), sid::InvalidArgument) << "row " << i;
        }
    }
}

TEST(MessageDialogTest, CaptionsOfTheTypes) {
    EXPECT_EQ(MessageCaption(mtWarning), LoadStr(sid::CaptionWarning));
    EXPECT_EQ(MessageCaption(mtError), LoadStr(sid::CaptionError));
    EXPECT_EQ(MessageCaption(mtInformation), LoadStr(sid::CaptionInformation));
    EXPECT_EQ(MessageCaption(mtConfirmation), LoadStr(sid::CaptionConfirm));
    EXPECT_EQ(MessageCaption(mtCustom), "");
}

TEST(MessageDialogTest, ButtonsInStandardOrderWithTheirResults) {
    const auto buttons = MessageButtons(MsgDlgButton(mbCancel) | MsgDlgButton(mbYes) | MsgDlgButton(mbNo));
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0], mbYes);
    EXPECT_EQ(buttons[1], mbNo);
    EXPECT_EQ(buttons[2], mbCancel);
    struct TRow {
        TMsgDlgBtn button;
        int result;
        int captionId;
    };
    const TRow rows[] = {{mbYes, 6, sid::ButtonYes},       {mbNo, 7, sid::ButtonNo},
                         {mbOK, 1, sid::ButtonOK},         {mbCancel, 2, sid::ButtonCancel},
                         {mbAbort, 3, sid::ButtonAbort},   {mbRetry, 4, sid::ButtonRetry},
                         {mbIgnore, 5, sid::ButtonIgnore}, {mbAll, 8, sid::ButtonAll}};
    for (const auto& row : rows) {
        EXPECT_EQ(ButtonModalResult(row.button), row.result) << row.button;
        EXPECT_EQ(ButtonCaption(row.button), LoadStr(row.captionId)) << row.button;
    }
}

TEST(MessageDialogTest, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(DialogMulDiv(8, 7, 4), 14);
    EXPECT_EQ(DialogMulDiv(70, 7, 4), 123);  // 122.5
    EXPECT_EQ(DialogMulDiv(4, 13, 8), 7);    // 6.5
    EXPECT_EQ(DialogMulDiv(-4, 13, 8), -7);
    EXPECT_EQ(DialogMulDiv(6, 13, 8), 10);   // 9.75
    EXPECT_EQ(DialogMulDiv(1, 2, 0), -1);
}

TEST(MessageDialogTest, MeasuresInDialogUnits) {
    // An average character of 7 x 13 pixels (52 letters 364 pixels wide).
    const TMessageMeasures m = MessageMeasures(364 + 51, 13);
    EXPECT_EQ(m.HorzMargin, 14);
    EXPECT_EQ(m.VertMargin, 7);
    EXPECT_EQ(m.HorzSpacing, 18);  // 17.5
    EXPECT_EQ(m.VertSpacing, 10);
    EXPECT_EQ(m.ButtonWidth, 123);
    EXPECT_EQ(m.ButtonHeight, 26);
    EXPECT_EQ(m.ButtonSpacing, 7);
}

TEST(MessageDialogTest, LayoutWithIconAndButtons) {
    const TMessageMeasures m = MessageMeasures(364, 13);
    const TMessageLayout l = LayoutMessage(m, 200, 13, 32, 3, 50, 40);
    EXPECT_EQ(l.Icon.Left, m.HorzMargin);
    EXPECT_EQ(l.Icon.Top, m.VertMargin);
    EXPECT_EQ(l.Text.Left, m.HorzMargin + 32 + m.HorzSpacing);
    // One line of text is centred beside the icon.
    EXPECT_EQ(l.Text.Top, m.VertMargin + (32 - 13) / 2);
    // Three buttons of 123 with two gaps of 7 are wider than icon and text: they set the width.
    const int group = 3 * 123 + 2 * 7;
    EXPECT_EQ(l.ClientWidth, group + 2 * m.HorzMargin);
    EXPECT_EQ(l.ClientHeight, 32 + m.ButtonHeight + m.VertSpacing + 2 * m.VertMargin);
    ASSERT_EQ(l.Buttons.size(), 3u);
    EXPECT_EQ(l.Buttons[0].Left, m.HorzMargin);
    EXPECT_EQ(l.Buttons[2].Left + l.Buttons[2].Width, l.ClientWidth - m.HorzMargin);
    EXPECT_EQ(l.Buttons[1].Top, 32 + m.VertMargin + m.VertSpacing);
}

TEST(MessageDialogTest, LongTextSetsTheWidthAndWideCaptionsWidenButtons) {
    const TMessageMeasures m = MessageMeasures(364, 13);
    TMessageLayout l = LayoutMessage(m, 500, 52, 0, 1, 200, 30);
    EXPECT_EQ(l.Icon.Width, 0);
    EXPECT_EQ(l.Text.Left, m.HorzMargin);
    EXPECT_EQ(l.Text.Top, m.VertMargin);
    EXPECT_EQ(l.ClientWidth, 500 + 2 * m.HorzMargin);
    EXPECT_EQ(l.Buttons[0].Width, 230);
    EXPECT_EQ(l.Buttons[0].Left, (l.ClientWidth - 230) / 2);
    l = LayoutMessage(m, 10, 10, 0, 0, 0, 0);
    EXPECT_TRUE(l.Buttons.empty());
}

}  // namespace
