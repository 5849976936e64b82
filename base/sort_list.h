// A list of pointers kept in the order of a compare function: binary search for finding and
// inserting, forward and backward scans, and a sort that tells whether anything moved.
#pragma once

#include <functional>
#include <utility>
#include <vector>

template <class T>
class TSortList {
public:
    // Negative when A sorts before B, 0 when equal, positive after.
    using TCompare = std::function<int(const T* a, const T* b)>;

    explicit TSortList(TCompare compare) : compare_(std::move(compare)) {}

    int Count() const { return static_cast<int>(items_.size()); }
    T* Items(int index) const { return items_[index]; }
    const std::vector<T*>& List() const { return items_; }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }
    // Appends without regard to order (Sort puts it right).
    void Append(T* item) { items_.push_back(item); }

    // Binary search for Key: true with its index when found, else false with the position
    // where it belongs (Count when it is larger than every element).
    bool Find(const T* key, int& index) const {
        int low = 0, high = Count() - 1;
        while (low <= high) {
            int mid = (low + high) / 2;
            int c = compare_(items_[mid], key);
            if (c == 0) {
                index = mid;
                return true;
            }
            if (c < 0)
                low = mid + 1;
            else
                high = mid - 1;
        }
        index = low;
        return false;
    }

    // Inserts Item at its sorted position; returns that position.
    int Add(T* item) {
        int index;
        Find(item, index);
        items_.insert(items_.begin() + index, item);
        return index;
    }

    // The first element for which Test holds, scanning from the front or from the back.
    T* ScanForward(const std::function<bool(T*)>& test) const {
        for (T* item : items_)
            if (test(item)) return item;
        return nullptr;
    }
    T* ScanBackward(const std::function<bool(T*)>& test) const {
        for (auto it = items_.rbegin(); it != items_.rend(); ++it)
            if (test(*it)) return *it;
        return nullptr;
    }

    // Quicksort with the middle element as pivot; true when two elements that compare
    // differently were exchanged.
    bool Sort() {
        bool changed = false;
        if (Count() > 1) QuickSort(0, Count() - 1, changed);
        return changed;
    }

private:
    // Recursion on the left part, a loop on the right part.
    void QuickSort(int left, int right, bool& changed) {
        do {
            int i = left, j = right;
            T* pivot = items_[(left + right) / 2];
            do {
                while (compare_(items_[i], pivot) < 0) ++i;
                while (compare_(items_[j], pivot) > 0) --j;
                if (i <= j) {
                    if (i != j) {
                        // Exchanging two equal elements changes nothing a caller can see.
                        if (compare_(items_[i], items_[j]) != 0) changed = true;
                        std::swap(items_[i], items_[j]);
                    }
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (left < j) QuickSort(left, j, changed);
            left = i;
        } while (left < right);
    }

    TCompare compare_;
    std::vector<T*> items_;
};
