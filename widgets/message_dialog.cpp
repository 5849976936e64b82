#include "widgets/message_dialog.h"

#include <algorithm>
#include <cstdlib>

#include "base/exception.h"
#include "base/string_ids.h"
#include "base/strings.h"

namespace {

struct TButtonInfo {
    int CaptionId;
    int Result;
    const char* Name;
};

// In the order of TMsgDlgBtn, which is the standard order of the row.
const TButtonInfo buttonInfo[MsgDlgBtnCount] = {
    {sid::ButtonYes, 6, "Yes"},        {sid::ButtonNo, 7, "No"},
    {sid::ButtonOK, 1, "OK"},          {sid::ButtonCancel, 2, "Cancel"},
    {sid::ButtonAbort, 3, "Abort"},    {sid::ButtonRetry, 4, "Retry"},
    {sid::ButtonIgnore, 5, "Ignore"},  {sid::ButtonAll, 8, "All"},
    {sid::ButtonNoToAll, 9, "NoToAll"}, {sid::ButtonYesToAll, 10, "YesToAll"},
    {sid::ButtonHelp, 0, "Help"},
};

constexpr TMsgDlgButtons allButtons = (1u << MsgDlgBtnCount) - 1;

[[noreturn]] void BadArgument() { throw Exception(sid::InvalidArgument); }

int64_t NumberAt(const std::vector<TMessageArg>& args, size_t index) {
    const auto* number = std::get_if<int64_t>(&args[index]);
    if (!number) BadArgument();
    return *number;
}

}  // namespace

TMessageDlgArgs ParseMessageArgs(const std::vector<TMessageArg>& args) {
    if (args.empty() || args.size() > 4) BadArgument();
    TMessageDlgArgs result;
    if (const auto* id = std::get_if<int64_t>(&args[0]))
        result.Message = LoadStr(static_cast<int>(*id));
    else
        result.Message = std::get<std::string>(args[0]);
    if (args.size() > 1) {
        const auto* caption = std::get_if<std::string>(&args[1]);
        if (!caption) BadArgument();
        result.Caption = *caption;
    }
    if (args.size() > 2) {
        const int64_t type = NumberAt(args, 2);
        if (type < mtWarning || type > mtCustom) BadArgument();
        result.Type = static_cast<TMsgDlgType>(type);
    }
    if (args.size() > 3) {
        const int64_t buttons = NumberAt(args, 3);
        if (buttons <= 0 || (buttons & ~static_cast<int64_t>(allButtons)) != 0) BadArgument();
        result.Buttons = static_cast<TMsgDlgButtons>(buttons);
    }
    return result;
}

std::string MessageCaption(TMsgDlgType type) {
    switch (type) {
    case mtWarning: return LoadStr(sid::CaptionWarning);
    case mtError: return LoadStr(sid::CaptionError);
    case mtInformation: return LoadStr(sid::CaptionInformation);
    case mtConfirmation: return LoadStr(sid::CaptionConfirm);
    default: return std::string();
    }
}

std::vector<TMsgDlgBtn> MessageButtons(TMsgDlgButtons buttons) {
    std::vector<TMsgDlgBtn> result;
    for (int b = 0; b < MsgDlgBtnCount; ++b)
        if (buttons & (1u << b)) result.push_back(static_cast<TMsgDlgBtn>(b));
    return result;
}

int ButtonModalResult(TMsgDlgBtn button) { return buttonInfo[button].Result; }
std::string ButtonCaption(TMsgDlgBtn button) { return LoadStr(buttonInfo[button].CaptionId); }
std::string ButtonName(TMsgDlgBtn button) { return buttonInfo[button].Name; }

int DialogMulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    long long quotient = product / denominator;
    const long long remainder = product % denominator;
    // Round half away from zero, as the system function does.
    if (std::llabs(remainder) * 2 >= std::llabs(static_cast<long long>(denominator)))
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    return static_cast<int>(quotient);
}

TMessageMeasures MessageMeasures(int extentOf52Letters, int charHeight) {
    const int cx = extentOf52Letters / 52;
    const int cy = charHeight;
    return {DialogMulDiv(8, cx, 4),  DialogMulDiv(4, cy, 8),  DialogMulDiv(10, cx, 4), DialogMulDiv(6, cy, 8),
            DialogMulDiv(70, cx, 4), DialogMulDiv(16, cy, 8), DialogMulDiv(4, cx, 4)};
}

TMessageLayout LayoutMessage(const TMessageMeasures& m, int textWidth, int textHeight, int iconSize,
                             int buttonCount, int widestCaption, int buttonPadding) {
    TMessageLayout layout{};
    int iconTextWidth = textWidth;
    int iconTextHeight = textHeight;
    if (iconSize > 0) {
        iconTextWidth += iconSize + m.HorzSpacing;
        iconTextHeight = std::max(iconTextHeight, iconSize);
        layout.Icon = {m.HorzMargin, m.VertMargin, iconSize, iconSize};
    }
    const int buttonWidth = std::max(m.ButtonWidth, widestCaption + buttonPadding);
    const int count = std::max(buttonCount, 0);
    const int groupWidth = count > 0 ? buttonWidth * count + m.ButtonSpacing * (count - 1) : 0;
    layout.ClientWidth = std::max(iconTextWidth, groupWidth) + m.HorzMargin * 2;
    layout.ClientHeight = iconTextHeight + m.ButtonHeight + m.VertSpacing + m.VertMargin * 2;
    // A text lower than the icon is centred beside it.
    const int textTop = m.VertMargin + (iconTextHeight - textHeight) / 2;
    layout.Text = {iconTextWidth - textWidth + m.HorzMargin, textTop, textWidth, textHeight};
    int x = (layout.ClientWidth - groupWidth) / 2;
    const int y = iconTextHeight + m.VertMargin + m.VertSpacing;
    for (int i = 0; i < count; ++i) {
        layout.Buttons.push_back({x, y, buttonWidth, m.ButtonHeight});
        x += buttonWidth + m.ButtonSpacing;
    }
    return layout;
}
