// The window placement values a form keeps in its configuration node ("WindowState", "Tag",
// "Caption", "Left", "Top", "Width", "Height"), and the arithmetic that puts a restored window
// back on the screen: centred where no position was saved, and never beyond the screen.
#pragma once

#include <optional>
#include <string>

class TNode;

// Window states as they are stored: 0 normal, 1 minimised, 2 maximised.
enum TPlacementState { psNormal = 0, psMinimized = 1, psMaximized = 2 };

struct TPlacementRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

// What a form tells when it is saved.
struct TPlacementSave {
    int WindowState = psNormal;
    int Tag = 0;
    std::string Caption;
    // The normal-position rectangle; written only for the normal state, so that a minimised
    // or maximised window keeps its previously saved position.
    TPlacementRect Normal;
};

// The form as it is before restoring, and the screen it is restored on.
struct TPlacementCurrent {
    std::string Caption;
    int Width = 0, Height = 0;
    int WindowState = psNormal;
    bool Sizeable = false;  // sizeable or sizeable tool window border
    int ScreenWidth = 0, ScreenHeight = 0;
};

// What restoring does to the form.
struct TPlacementRestore {
    std::optional<std::string> Caption;  // set when the saved caption starts with "@"
    int Left = 0, Top = 0;
    bool SetSize = false;  // only sizeable forms take Width and Height
    int Width = 0, Height = 0;
    int WindowState = psNormal;
};

void WritePlacement(TNode* node, const TPlacementSave& save);

// Nothing when Node is Root itself or holds no stored values.
std::optional<TPlacementRestore> ReadPlacement(const TNode* node, const TNode* root, const TPlacementCurrent& current);

// Left and Top of -1 centre the window (truncated toward zero); a window reaching the right or
// bottom edge is moved back onto the screen, and neither coordinate goes below 0.
void FitToScreen(int& left, int& top, int width, int height, int screenWidth, int screenHeight);
