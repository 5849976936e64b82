#include "widgets/split_logic.h"

#include <algorithm>

int LimitSplitOffset(int size, int offset, int sign, int minSize, int maxSize) {
    const int s = sign < 0 ? -1 : 1;
    maxSize = std::max(maxSize, minSize);
    const int wanted = size + offset * s;
    if (wanted > maxSize) return (maxSize - size) * s;
    if (wanted < minSize) return (minSize - size) * s;
    return offset;
}
