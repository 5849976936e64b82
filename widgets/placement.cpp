#include "widgets/placement.h"

#include <algorithm>

#include "nodes/node.h"

void WritePlacement(TNode* node, const TPlacementSave& save) {
    node->SetValue("WindowState", TNodeValue::Of(static_cast<int32_t>(save.WindowState)));
    node->SetValue("Tag", TNodeValue::Of(static_cast<int32_t>(save.Tag)));
    node->SetValue("Caption", TNodeValue::Of(save.Caption));
    if (save.WindowState != psNormal) return;
    node->SetValue("Left", TNodeValue::Of(static_cast<int32_t>(save.Normal.Left)));
    node->SetValue("Top", TNodeValue::Of(static_cast<int32_t>(save.Normal.Top)));
    node->SetValue("Width", TNodeValue::Of(static_cast<int32_t>(save.Normal.Width)));
    node->SetValue("Height", TNodeValue::Of(static_cast<int32_t>(save.Normal.Height)));
}

namespace {

int ReadInt(const TNode* node, const std::string& name, int defaultValue) {
    TNodeValue value = TNodeValue::Of(static_cast<int32_t>(defaultValue));
    node->GetValue(name, value);
    return value.Integer;
}

}  // namespace

std::optional<TPlacementRestore> ReadPlacement(const TNode* node, const TNode* root, const TPlacementCurrent& current) {
    if (!node || node == root || !node->IsValuesStored()) return std::nullopt;
    TPlacementRestore result;
    TNodeValue caption = TNodeValue::Of(current.Caption);
    node->GetValue("Caption", caption);
    if (!caption.String.empty() && caption.String[0] == '@') result.Caption = caption.String.substr(1);
    result.Width = current.Width;
    result.Height = current.Height;
    if (current.Sizeable) {
        result.SetSize = true;
        result.Width = ReadInt(node, "Width", current.Width);
        result.Height = ReadInt(node, "Height", current.Height);
    }
    result.Left = ReadInt(node, "Left", -1);
    result.Top = ReadInt(node, "Top", -1);
    result.WindowState = ReadInt(node, "WindowState", current.WindowState);
    // A damaged value must not reach ShowWindow as an arbitrary command.
    if (result.WindowState < psNormal || result.WindowState > psMaximized) result.WindowState = current.WindowState;
    FitToScreen(result.Left, result.Top, result.Width, result.Height, current.ScreenWidth, current.ScreenHeight);
    return result;
}

void FitToScreen(int& left, int& top, int width, int height, int screenWidth, int screenHeight) {
    if (left == -1) left = (screenWidth - width) / 2;
    if (top == -1) top = (screenHeight - height) / 2;
    if (screenWidth <= left + width) left = screenWidth - width;
    if (screenHeight <= top + height) top = screenHeight - height;
    left = std::max(left, 0);
    top = std::max(top, 0);
}
