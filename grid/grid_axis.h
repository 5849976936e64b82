// One axis of a grid: the columns or the rows, with their count, the default size, the grid
// line width, and the sizes that differ from the default. Sizes are kept in an extent array
// (absent while every item has the default size) beside a Fenwick tree of them, so that an
// item's pixel position and the item at a pixel position take logarithmic time however many
// rows a grid has; nothing here walks all items except inserting, deleting or moving items and
// assigning all sizes at once.
#pragma once

#include <cstdint>
#include <vector>

// The largest item count of an axis: an extent array (and the tree beside it) of more items
// than this would not fit the address space of the program.
constexpr int32_t MaxGridExtent = 8 * 1024 * 1024;

class TGridAxis {
public:
    explicit TGridAxis(int32_t defaultSize = 0) : defaultSize_(defaultSize) {}

    int32_t Count() const { return count_; }
    // New items get the default size. Raises EInvalidGridOperation (GridTooLarge) above
    // MaxGridExtent or (GridIndexOutOfRange) below 0.
    void SetCount(int32_t count);
    int32_t DefaultSize() const { return defaultSize_; }
    // Every item takes the new default size: individual sizes are dropped.
    void SetDefaultSize(int32_t size);
    // The grid line after each item; it belongs to the item's extent.
    int32_t LineWidth() const { return lineWidth_; }
    void SetLineWidth(int32_t width);

    // Index must lie in 0..Count-1 (the grid checks it).
    int32_t Size(int32_t index) const;
    // Sizes below 0 count as 0. Makes the extent array when the size differs from the default.
    void SetSize(int32_t index, int32_t size);
    bool HasExtents() const { return !sizes_.empty(); }
    // The size of every item.
    std::vector<int32_t> Sizes() const;
    // Sets the sizes of items First.. from Sizes (as far as there are items) in one pass.
    void AssignSizes(const std::vector<int32_t>& sizes, int32_t first = 0);

    // Count items of the default size go in before At (0..Count), or the items At..At+Count-1
    // go; the sizes of the items after them move along.
    void Insert(int32_t at, int32_t count);
    void Delete(int32_t at, int32_t count);
    // The item at From goes to To, the items between shift by one.
    void Move(int32_t from, int32_t to);

    // The start of item Index (0..Count): the sizes and lines of the items before it.
    int64_t Position(int32_t index) const;
    // The item whose extent (size and line) holds Position; -1 before the first item, Count
    // after the last.
    int32_t IndexAt(int64_t position) const;
    // The last item that ends within Extent pixels from the start of item First (First
    // itself when even it does not fit; at most Count-1).
    int32_t LastInside(int32_t first, int64_t extent) const;
    // The first item from which the items up to Last fit into Extent pixels (Last itself when
    // it alone is larger).
    int32_t FirstShowing(int32_t last, int64_t extent) const;

private:
    int64_t Prefix(int32_t count) const;
    void Build();
    void MakeExtents();

    int32_t count_ = 0;
    int32_t defaultSize_ = 0;
    int32_t lineWidth_ = 0;
    std::vector<int32_t> sizes_;  // empty: all items have the default size
    std::vector<int64_t> tree_;   // Fenwick tree over sizes_, 1-based
};
