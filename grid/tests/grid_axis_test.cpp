// The grid axis against a plain list of sizes: positions, the item at a position, the items that
// fit a page, through random size changes, insertions, deletions, moves and count changes, and
// the errors of the bounds.
#include "grid/grid_axis.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "base/string_ids.h"
#include "grid/grid_types.h"

namespace {

// The straightforward computation the axis must agree with.
struct TPlainAxis {
    std::vector<int32_t> Sizes;
    int32_t LineWidth = 0;

    int64_t Position(int32_t index) const {
        int64_t sum = 0;
        for (int32_t i = 0; i < index; ++i) sum += Sizes[static_cast<size_t>(i)] + LineWidth;
        return sum;
    }
    int32_t IndexAt(int64_t position) const {
        if (position < 0) return -1;
        const auto count = static_cast<int32_t>(Sizes.size());
        int32_t k = 0;
        while (k < count && Position(k + 1) <= position) ++k;
        return k;
    }
    int32_t LastInside(int32_t first, int64_t extent) const {
        const auto count = static_cast<int32_t>(Sizes.size());
        int32_t last = first;
        for (int32_t i = first; i < count; ++i)
            if (Position(i + 1) - Position(first) <= extent) last = i;
        return last;
    }
    int32_t FirstShowing(int32_t last, int64_t extent) const {
        for (int32_t first = 0; first <= last; ++first)
            if (Position(last + 1) - Position(first) <= extent) return first;
        return last;
    }
};

void ExpectSame(const TGridAxis& axis, const TPlainAxis& plain, std::mt19937& random, const char* step) {
    const auto count = static_cast<int32_t>(plain.Sizes.size());
    ASSERT_EQ(axis.Count(), count) << step;
    ASSERT_EQ(axis.Sizes(), plain.Sizes) << step;
    for (int32_t i = 0; i <= count; ++i) ASSERT_EQ(axis.Position(i), plain.Position(i)) << step << " position " << i;
    const int64_t total = plain.Position(count);
    std::uniform_int_distribution<int64_t> pixel(-3, total + 3);
    for (int n = 0; n < 60; ++n) {
        const int64_t p = pixel(random);
        ASSERT_EQ(axis.IndexAt(p), plain.IndexAt(p)) << step << " at pixel " << p;
    }
    if (count == 0) return;
    std::uniform_int_distribution<int32_t> item(0, count - 1);
    std::uniform_int_distribution<int64_t> extent(0, 400);
    for (int n = 0; n < 20; ++n) {
        const int32_t i = item(random);
        const int64_t e = extent(random);
        ASSERT_EQ(axis.LastInside(i, e), plain.LastInside(i, e)) << step << " from " << i << " in " << e;
        ASSERT_EQ(axis.FirstShowing(i, e), plain.FirstShowing(i, e)) << step << " to " << i << " in " << e;
    }
}

TEST(GridAxis, RandomChangesAgreeWithAPlainList) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 12; ++round) {
        std::uniform_int_distribution<int32_t> sizeOf(0, 40);
        const int32_t defaultSize = 1 + sizeOf(random);
        TGridAxis axis(defaultSize);
        TPlainAxis plain;
        const int32_t lineWidth = round % 3;
        axis.SetLineWidth(lineWidth);
        plain.LineWidth = lineWidth;
        const int32_t start = std::uniform_int_distribution<int32_t>(0, 150)(random);
        axis.SetCount(start);
        plain.Sizes.assign(static_cast<size_t>(start), defaultSize);
        ExpectSame(axis, plain, random, "all at the default");
        for (int change = 0; change < 60; ++change) {
            const auto count = static_cast<int32_t>(plain.Sizes.size());
            const int kind = std::uniform_int_distribution<int>(0, 5)(random);
            if (kind <= 1 && count > 0) {
                const int32_t i = std::uniform_int_distribution<int32_t>(0, count - 1)(random);
                const int32_t size = sizeOf(random);
                axis.SetSize(i, size);
                plain.Sizes[static_cast<size_t>(i)] = size;
                ExpectSame(axis, plain, random, "size");
            } else if (kind == 2) {
                const int32_t at = std::uniform_int_distribution<int32_t>(0, count)(random);
                const int32_t n = std::uniform_int_distribution<int32_t>(0, 7)(random);
                axis.Insert(at, n);
                plain.Sizes.insert(plain.Sizes.begin() + at, static_cast<size_t>(n), defaultSize);
                ExpectSame(axis, plain, random, "insert");
            } else if (kind == 3 && count > 0) {
                const int32_t at = std::uniform_int_distribution<int32_t>(0, count - 1)(random);
                const int32_t n = std::uniform_int_distribution<int32_t>(0, count - at)(random);
                axis.Delete(at, n);
                plain.Sizes.erase(plain.Sizes.begin() + at, plain.Sizes.begin() + at + n);
                ExpectSame(axis, plain, random, "delete");
            } else if (kind == 4 && count > 0) {
                const int32_t from = std::uniform_int_distribution<int32_t>(0, count - 1)(random);
                const int32_t to = std::uniform_int_distribution<int32_t>(0, count - 1)(random);
                axis.Move(from, to);
                const int32_t moved = plain.Sizes[static_cast<size_t>(from)];
                plain.Sizes.erase(plain.Sizes.begin() + from);
                plain.Sizes.insert(plain.Sizes.begin() + to, moved);
                ExpectSame(axis, plain, random, "move");
            } else {
                const int32_t n = std::uniform_int_distribution<int32_t>(0, 200)(random);
                axis.SetCount(n);
                plain.Sizes.resize(static_cast<size_t>(n), defaultSize);
                ExpectSame(axis, plain, random, "count");
            }
        }
    }
}

TEST(GridAxis, ExtentsAppearOnlyForSizesOtherThanTheDefault) {
    TGridAxis axis(24);
    axis.SetCount(1000);
    axis.SetSize(10, 24);
    EXPECT_FALSE(axis.HasExtents()) << "the default size needs no array";
    axis.SetSize(10, 30);
    EXPECT_TRUE(axis.HasExtents());
    EXPECT_EQ(axis.Position(11), 11 * 24 + 6);
    // A new default size applies to every item again.
    axis.SetDefaultSize(18);
    EXPECT_FALSE(axis.HasExtents());
    EXPECT_EQ(axis.Size(10), 18);
    EXPECT_EQ(axis.Position(1000), 18000);
    axis.SetSize(3, -5);
    EXPECT_EQ(axis.Size(3), 0) << "sizes below 0 count as 0";
}

TEST(GridAxis, AssignedSizesFillFromTheFirstItemAndStopAtTheEnd) {
    TGridAxis axis(10);
    axis.SetLineWidth(1);
    axis.SetCount(5);
    axis.AssignSizes({1, 2, 3, 4, 5, 6, 7}, 2);
    EXPECT_EQ(axis.Sizes(), (std::vector<int32_t>{10, 10, 1, 2, 3}));
    EXPECT_EQ(axis.Position(5), 10 + 10 + 1 + 2 + 3 + 5);
    EXPECT_EQ(axis.IndexAt(22), 2);
    EXPECT_EQ(axis.IndexAt(23), 2) << "the line after an item belongs to it";
    EXPECT_EQ(axis.IndexAt(24), 3);
}

TEST(GridAxis, AMillionItemsOfVaryingSizes) {
    TGridAxis axis(20);
    axis.SetCount(1000000);
    std::vector<int32_t> sizes(1000000);
    for (size_t i = 0; i < sizes.size(); ++i) sizes[i] = 16 + static_cast<int32_t>(i % 7);
    axis.AssignSizes(sizes);
    axis.SetLineWidth(1);
    // Sum of 16..22 over each run of seven, plus one line per item.
    const int64_t perSeven = 16 + 17 + 18 + 19 + 20 + 21 + 22 + 7;
    EXPECT_EQ(axis.Position(700000), 100000 * perSeven);
    EXPECT_EQ(axis.IndexAt(100000 * perSeven), 700000);
    EXPECT_EQ(axis.IndexAt(100000 * perSeven - 1), 699999);
    EXPECT_EQ(axis.IndexAt(axis.Position(1000000)), 1000000) << "past the last item";
    const int32_t first = axis.FirstShowing(999999, 400);
    EXPECT_LE(axis.Position(1000000) - axis.Position(first), 400);
    EXPECT_GT(axis.Position(1000000) - axis.Position(first - 1), 400);
    // Appending keeps the tree right without building it again.
    axis.SetCount(1000010);
    axis.SetSize(1000005, 100);
    EXPECT_EQ(axis.Position(1000010) - axis.Position(1000000), 10 * 21 + 80);
}

TEST(GridAxis, BoundsRaiseTheGridErrors) {
    struct TCase {
        const char* Name;
        std::function<void(TGridAxis&)> Operation;
        int Id;
    };
    const TCase cases[] = {
        {"count above the bound", [](TGridAxis& a) { a.SetCount(MaxGridExtent + 1); }, sid::GridTooLarge},
        {"insert past the bound", [](TGridAxis& a) { a.Insert(0, MaxGridExtent); }, sid::GridTooLarge},
        {"negative count", [](TGridAxis& a) { a.SetCount(-1); }, sid::GridIndexOutOfRange},
        {"delete more than there are", [](TGridAxis& a) { a.Delete(8, 3); }, sid::GridTooManyDeleted},
        {"insert beyond the end", [](TGridAxis& a) { a.Insert(11, 1); }, sid::GridIndexOutOfRange},
        {"move from outside", [](TGridAxis& a) { a.Move(10, 0); }, sid::GridIndexOutOfRange},
        {"assign beyond the end", [](TGridAxis& a) { a.AssignSizes({1}, 11); }, sid::GridIndexOutOfRange},
    };
    for (const TCase& c : cases) {
        TGridAxis axis(5);
        axis.SetCount(10);
        try {
            c.Operation(axis);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EInvalidGridOperation& e) {
            EXPECT_EQ(e.Id(), c.Id) << c.Name;
        }
        EXPECT_EQ(axis.Count(), 10) << c.Name << ": a refused operation changes nothing";
    }
    TGridAxis axis(5);
    axis.SetCount(MaxGridExtent);
    EXPECT_EQ(axis.Position(MaxGridExtent), int64_t{5} * MaxGridExtent) << "the bound itself is allowed";
}

}  // namespace
