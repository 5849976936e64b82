// The record the node grid fills for the pictures of a cell and sends to the cell's node with
// NM_NODEDRAWINFO (LParam points to it): four picture slots (symbol, overlay on the symbol,
// state picture, whole cell), each with a picture number, an optional picture entry, option
// changes and a rectangle. A node may change numbers, entries and rectangles before the grid
// draws them.
#pragma once

#include <cstdint>

class TPictureEntry;

// Answered by a node with the record in LParam; Result 2 means the node has no pictures.
constexpr unsigned NM_NODEDRAWINFO = 0xA02;
// Asks a node for its row height; WParam is the default height, a result above 0 the height.
constexpr unsigned NM_NODEROWHEIGHT = 0xA82;

struct TNodeRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
};

struct TNodePictureSlot {
    int32_t ID = 0;
    TPictureEntry* Picture = nullptr;  // null: looked up by ID when drawn
    // Low 16 bits: picture options to add; high 16 bits: options to remove from the entry's own.
    uint32_t Options = 0;
    TNodeRect Rect;
};

struct TNodePictureInfo {
    int32_t Column = 0;
    int32_t Row = 0;
    TNodeRect CellRect;
    TNodePictureSlot Symbol;   // slot 1
    TNodePictureSlot Overlay;  // slot 2, drawn over the symbol
    TNodePictureSlot State;    // slot 3
    TNodePictureSlot Cell;     // slot 4, the whole cell
};
