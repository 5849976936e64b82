#include "editor/embedded_objects.h"

#include <cstdlib>

#include "base/format.h"

std::string ObjectStorageName(int counter) {
    return Format("REOBJ%d", {int64_t{counter}});
}

int HimetricToPixels(int himetric, int pixelsPerInch) {
    const int64_t product = int64_t{himetric} * pixelsPerInch;
    const int64_t half = 2540 / 2;
    const int64_t rounded = product >= 0 ? (product + half) / 2540 : -((-product + half) / 2540);
    return static_cast<int>(rounded);
}

std::vector<TObjectVerb> ContainerMenuVerbs(const std::vector<TObjectVerb>& verbs) {
    std::vector<TObjectVerb> listed;
    for (const TObjectVerb& verb : verbs)
        if (verb.Number >= 0 && (verb.Attributes & VerbOnContainerMenu)) listed.push_back(verb);
    return listed;
}

TDialogOrigin InsertDialogOrigin(int areaLeft, int areaTop, int areaWidth, int areaHeight, int dialogWidth,
                                 int dialogHeight) {
    return TDialogOrigin{areaLeft + (areaWidth - dialogWidth) / 2, areaTop + (areaHeight - dialogHeight) / 3};
}

bool ObjectShowsArrow(uint32_t objectFlags) {
    return (objectFlags & ObjectInPlaceActive) != 0 || (objectFlags & ObjectSelected) == 0;
}
