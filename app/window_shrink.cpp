#include "app/window_shrink.h"

#include <cmath>

bool KeepsBottomEdge(int top, int screenHeight) { return screenHeight / 2 < top; }

int FirstShrinkStep(int height) {
    // A step of 0 would never end the animation of a window a few pixels high.
    const long step = std::lround(height * 0.2);
    return step < 1 ? 1 : static_cast<int>(step);
}

std::vector<TWindowBox> ShrinkFrames(const TWindowBox& window, int targetHeight, int screenHeight) {
    std::vector<TWindowBox> frames;
    if (window.Height() <= targetHeight) return frames;
    const bool keepBottom = KeepsBottomEdge(window.Top, screenHeight);
    TWindowBox box = window;
    int step = FirstShrinkStep(window.Height());
    while (box.Height() > targetHeight + step) {
        if (keepBottom) box.Top += step;
        else box.Bottom -= step;
        frames.push_back(box);
        step += step / 2;
    }
    if (keepBottom) box.Top = box.Bottom - targetHeight;
    else box.Bottom = box.Top + targetHeight;
    frames.push_back(box);
    return frames;
}

std::vector<TWindowBox> GrowFrames(const TWindowBox& window, int fullHeight, int screenHeight) {
    std::vector<TWindowBox> frames;
    if (window.Height() >= fullHeight) return frames;
    const bool keepBottom = KeepsBottomEdge(window.Top, screenHeight);
    TWindowBox box = window;
    int step = FirstShrinkStep(fullHeight);
    while (box.Height() < fullHeight - step) {
        if (keepBottom) box.Top -= step;
        else box.Bottom += step;
        frames.push_back(box);
        step += step / 2;
    }
    if (keepBottom) box.Top = window.Bottom - fullHeight;
    else box.Bottom = window.Top + fullHeight;
    frames.push_back(box);
    return frames;
}
