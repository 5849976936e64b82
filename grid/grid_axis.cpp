#include "grid/grid_axis.h"

#include <algorithm>

#include "base/string_ids.h"
#include "grid/grid_types.h"

namespace {

int32_t LowBit(int32_t i) { return i & -i; }

int32_t HighestPowerOfTwo(int32_t n) {
    int32_t step = 1;
    while (step <= n / 2) step *= 2;
    return n > 0 ? step : 0;
}

void CheckCount(int64_t count) {
    if (count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (count > MaxGridExtent) throw EInvalidGridOperation(sid::GridTooLarge);
}

}  // namespace

void TGridAxis::SetCount(int32_t count) {
    CheckCount(count);
    if (count == count_) return;
    if (sizes_.empty()) {
        count_ = count;
        return;
    }
    const int32_t old = count_;
    count_ = count;
    sizes_.resize(static_cast<size_t>(count), defaultSize_);
    // Entries 1..count of the tree stay valid when items go; new ones are appended.
    tree_.resize(static_cast<size_t>(count) + 1);
    for (int32_t i = old + 1; i <= count; ++i) {
        // Item i covers (i - lowbit(i), i]: its own size plus the items before it in that span.
        tree_[static_cast<size_t>(i)] = sizes_[static_cast<size_t>(i) - 1] + Prefix(i - 1) - Prefix(i - LowBit(i));
    }
}

void TGridAxis::SetDefaultSize(int32_t size) {
    defaultSize_ = std::max(size, 0);
    sizes_.clear();
    tree_.clear();
}

void TGridAxis::SetLineWidth(int32_t width) { lineWidth_ = std::max(width, 0); }

int32_t TGridAxis::Size(int32_t index) const {
    return sizes_.empty() ? defaultSize_ : sizes_[static_cast<size_t>(index)];
}

void TGridAxis::MakeExtents() {
    sizes_.assign(static_cast<size_t>(count_), defaultSize_);
    Build();
}

void TGridAxis::Build() {
    tree_.assign(static_cast<size_t>(count_) + 1, 0);
    for (int32_t i = 1; i <= count_; ++i) {
        tree_[static_cast<size_t>(i)] += sizes_[static_cast<size_t>(i) - 1];
        const int32_t parent = i + LowBit(i);
        if (parent <= count_) tree_[static_cast<size_t>(parent)] += tree_[static_cast<size_t>(i)];
    }
}

void TGridAxis::SetSize(int32_t index, int32_t size) {
    size = std::max(size, 0);
    if (sizes_.empty()) {
        if (size == defaultSize_) return;
        MakeExtents();
    }
    const int64_t delta = static_cast<int64_t>(size) - sizes_[static_cast<size_t>(index)];
    sizes_[static_cast<size_t>(index)] = size;
    for (int32_t i = index + 1; i <= count_; i += LowBit(i)) tree_[static_cast<size_t>(i)] += delta;
}

std::vector<int32_t> TGridAxis::Sizes() const {
    if (sizes_.empty()) return std::vector<int32_t>(static_cast<size_t>(count_), defaultSize_);
    return sizes_;
}

void TGridAxis::AssignSizes(const std::vector<int32_t>& sizes, int32_t first) {
    if (first < 0 || first > count_) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (sizes_.empty()) sizes_.assign(static_cast<size_t>(count_), defaultSize_);
    const size_t n = std::min(sizes.size(), static_cast<size_t>(count_ - first));
    for (size_t i = 0; i < n; ++i) sizes_[static_cast<size_t>(first) + i] = std::max(sizes[i], 0);
    Build();
}

void TGridAxis::Insert(int32_t at, int32_t count) {
    if (at < 0 || at > count_ || count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    CheckCount(static_cast<int64_t>(count_) + count);
    if (count == 0) return;
    if (sizes_.empty() || at == count_) {
        SetCount(count_ + count);
        return;
    }
    sizes_.insert(sizes_.begin() + at, static_cast<size_t>(count), defaultSize_);
    count_ += count;
    Build();
}

void TGridAxis::Delete(int32_t at, int32_t count) {
    if (at < 0 || count < 0 || at > count_) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (count > count_ - at) throw EInvalidGridOperation(sid::GridTooManyDeleted);
    if (count == 0) return;
    if (sizes_.empty() || at + count == count_) {
        SetCount(count_ - count);
        return;
    }
    sizes_.erase(sizes_.begin() + at, sizes_.begin() + at + count);
    count_ -= count;
    Build();
}

void TGridAxis::Move(int32_t from, int32_t to) {
    if (from < 0 || from >= count_ || to < 0 || to >= count_) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (from == to || sizes_.empty()) return;
    if (from < to) std::rotate(sizes_.begin() + from, sizes_.begin() + from + 1, sizes_.begin() + to + 1);
    else std::rotate(sizes_.begin() + to, sizes_.begin() + from, sizes_.begin() + from + 1);
    Build();
}

int64_t TGridAxis::Prefix(int32_t count) const {
    if (sizes_.empty()) return static_cast<int64_t>(count) * defaultSize_;
    int64_t sum = 0;
    for (int32_t i = count; i > 0; i -= LowBit(i)) sum += tree_[static_cast<size_t>(i)];
    return sum;
}

int64_t TGridAxis::Position(int32_t index) const {
    index = std::clamp(index, 0, count_);
    return Prefix(index) + static_cast<int64_t>(index) * lineWidth_;
}

int32_t TGridAxis::IndexAt(int64_t position) const {
    if (position < 0) return -1;
    if (sizes_.empty()) {
        const int64_t step = static_cast<int64_t>(defaultSize_) + lineWidth_;
        if (step <= 0) return count_;
        return static_cast<int32_t>(std::min<int64_t>(position / step, count_));
    }
    // The largest k with Position(k) <= position, by descending the tree.
    int32_t k = 0;
    int64_t sum = 0;
    for (int32_t step = HighestPowerOfTwo(count_); step > 0; step /= 2) {
        const int32_t next = k + step;
        if (next > count_) continue;
        const int64_t start = sum + tree_[static_cast<size_t>(next)] + static_cast<int64_t>(next) * lineWidth_;
        if (start <= position) {
            k = next;
            sum += tree_[static_cast<size_t>(next)];
        }
    }
    return k;
}

int32_t TGridAxis::LastInside(int32_t first, int64_t extent) const {
    if (count_ == 0) return first;
    const int32_t k = IndexAt(Position(first) + extent);
    return std::max(first, std::min(k - 1, count_ - 1));
}

int32_t TGridAxis::FirstShowing(int32_t last, int64_t extent) const {
    const int64_t target = Position(last + 1) - extent;
    if (target <= 0) return 0;
    const int32_t first = IndexAt(target - 1) + 1;
    return std::min(first, last);
}
