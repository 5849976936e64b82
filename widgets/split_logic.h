// The window-free rules of the split control: how far the drag line may move so that the sized
// control stays within its limits, and how wide the line is.
#pragma once

// The offset (mouse movement along the split direction) limited so that
// Size + Offset * Sign lies within MinSize..MaxSize. Sign is +1 when the sized control lies
// above or left of the bar, -1 when below or right of it (anything else counts as +1). A
// maximum below the minimum counts as the minimum.
int LimitSplitOffset(int size, int offset, int sign, int minSize, int maxSize);

// The size the control gets on release.
inline int SplitResult(int size, int offset, int sign) { return size + offset * (sign < 0 ? -1 : 1); }

// The drag line is 3 pixels wide for a bar of odd thickness, else 4.
inline int SplitLineWidth(int barThickness) { return (barThickness % 2 != 0) ? 3 : 4; }
