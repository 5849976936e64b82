// The parts of the program's message dialog that do not need a window: what its arguments
// mean, which buttons it shows in which order with which results, and where everything goes,
// measured in dialog units of the dialog font.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

enum TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

enum TMsgDlgBtn {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
};
constexpr int MsgDlgBtnCount = mbHelp + 1;

// A set of buttons as bits (1 << TMsgDlgBtn).
using TMsgDlgButtons = uint32_t;
constexpr TMsgDlgButtons MsgDlgButton(TMsgDlgBtn button) { return 1u << button; }
constexpr TMsgDlgButtons mbOKOnly = 1u << mbOK;
constexpr TMsgDlgButtons mbOKCancel = (1u << mbOK) | (1u << mbCancel);
constexpr TMsgDlgButtons mbYesNo = (1u << mbYes) | (1u << mbNo);
constexpr TMsgDlgButtons mbYesNoCancel = (1u << mbYes) | (1u << mbNo) | (1u << mbCancel);
constexpr TMsgDlgButtons mbAbortRetryIgnore = (1u << mbAbort) | (1u << mbRetry) | (1u << mbIgnore);

// One argument of the message dialog: a number (string id, dialog type or button set,
// depending on its place) or a text.
using TMessageArg = std::variant<int64_t, std::string>;

// The arguments in order: the message (a string id or a text), then optionally the caption
// (a text; empty means the type's own caption), the dialog type (default information) and the
// button set (default OK only).
struct TMessageDlgArgs {
    std::string Message;
    std::string Caption;
    TMsgDlgType Type = mtInformation;
    TMsgDlgButtons Buttons = mbOKOnly;
};

// Raises Exception (InvalidArgument) for no arguments, more than four, a number where the
// caption belongs, a text where the type or the buttons belong, a type outside 0..4 or a
// button set with unknown or no bits.
TMessageDlgArgs ParseMessageArgs(const std::vector<TMessageArg>& args);

// The caption of a dialog type from the string table ("Warnung" ...); empty for custom.
std::string MessageCaption(TMsgDlgType type);
// The buttons of a set in their standard order.
std::vector<TMsgDlgBtn> MessageButtons(TMsgDlgButtons buttons);
// The modal result of a button: 6 Yes, 7 No, 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 8 All,
// 9 No to all, 10 Yes to all, 0 Help (which does not close the dialog).
int ButtonModalResult(TMsgDlgBtn button);
std::string ButtonCaption(TMsgDlgBtn button);
// The component name of a button ("Yes", "No", "OK" ...).
std::string ButtonName(TMsgDlgBtn button);

// As the system's MulDiv: Number * Numerator / Denominator rounded half away from zero; -1 when
// Denominator is 0.
int DialogMulDiv(int number, int numerator, int denominator);

// The measures of the dialog in pixels, from the average character size of its font.
struct TMessageMeasures {
    int HorzMargin, VertMargin, HorzSpacing, VertSpacing;
    int ButtonWidth, ButtonHeight, ButtonSpacing;
};
// The average character width is the extent of "A".."Z", "a".."z" divided by 52.
TMessageMeasures MessageMeasures(int extentOf52Letters, int charHeight);

struct TLayoutRect {
    int Left, Top, Width, Height;
};

struct TMessageLayout {
    int ClientWidth, ClientHeight;
    TLayoutRect Icon;   // empty without an icon
    TLayoutRect Text;
    std::vector<TLayoutRect> Buttons;
};

// Lays out the dialog: the icon at the top left, the word-wrapped text of TextWidth x
// TextHeight beside it, and the row of ButtonCount buttons centred below. A button is at least
// the measured width and wide enough for WidestCaption plus ButtonPadding.
TMessageLayout LayoutMessage(const TMessageMeasures& m, int textWidth, int textHeight, int iconSize,
                             int buttonCount, int widestCaption, int buttonPadding);
