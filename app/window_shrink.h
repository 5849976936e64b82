// How the main window shrinks to its caption bar while another program is active and grows
// back when it is activated: the window rectangles of the animation, worked out without a
// window. A window whose top lies in the lower half of the screen keeps its bottom edge (it
// shrinks downwards and grows upwards); any other keeps its top edge.
#pragma once

#include <vector>

struct TWindowBox {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TWindowBox&) const = default;
};

// True when a window with its top at Top keeps its bottom edge on a screen ScreenHeight high.
bool KeepsBottomEdge(int top, int screenHeight);

// The first step of an animation over Height pixels: a fifth of it, rounded, at least 1.
int FirstShrinkStep(int height);

// Shrinking Window to TargetHeight (caption and frame only): the rectangles the window takes one
// after the other, each step half as long again as the one before; the last has TargetHeight.
// Empty when the window is not higher than the target.
std::vector<TWindowBox> ShrinkFrames(const TWindowBox& window, int targetHeight, int screenHeight);

// Growing a shrunk Window back to FullHeight: the rectangles it takes, the last one FullHeight
// high. Empty when the window is not lower than FullHeight.
std::vector<TWindowBox> GrowFrames(const TWindowBox& window, int fullHeight, int screenHeight);
