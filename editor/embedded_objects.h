// The rules of the embedded objects that need no window: storage names, size conversion, which
// verbs go into the context menu, where the insert-object dialog opens, and when the editor
// shows the arrow over an object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The name of the sub-storage of the Counter-th object ("REOBJ1", "REOBJ2", ...).
std::string ObjectStorageName(int counter);

// A length in HIMETRIC (1/100 mm) in pixels at PixelsPerInch, rounded as MulDiv rounds.
int HimetricToPixels(int himetric, int pixelsPerInch);

struct TObjectVerb {
    int Number = 0;
    std::string Name;
    uint32_t Attributes = 0;
};
// The verb attribute of verbs meant for the container's menu (OLEVERBATTRIB_ONCONTAINERMENU).
constexpr uint32_t VerbOnContainerMenu = 2;
// The verbs of an object that its container lists: non-negative numbers marked for its menu.
std::vector<TObjectVerb> ContainerMenuVerbs(const std::vector<TObjectVerb>& verbs);

struct TDialogOrigin {
    int X = 0;
    int Y = 0;
};
// Where the insert-object dialog opens on a work area: centred horizontally, a third of the
// remaining height from the top.
TDialogOrigin InsertDialogOrigin(int areaLeft, int areaTop, int areaWidth, int areaHeight, int dialogWidth,
                                 int dialogHeight);

// The object record's flags: active in place, selected.
constexpr uint32_t ObjectInPlaceActive = 0x02000000;
constexpr uint32_t ObjectSelected = 0x08000000;
// Over an object the editor shows the arrow while it is active in place or not selected.
bool ObjectShowsArrow(uint32_t objectFlags);
