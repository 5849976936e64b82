#include "app/symbol_pictures_win.h"

#include "pictures/picture_list_win.h"

bool TPictureListSymbols::FindSymbol(int32_t id, TSymbolPicture& picture) const {
    TPictureEntry* entry = list_.GetPicture(id);
    if (!entry || entry->IsEmpty()) return false;
    const SIZE size = entry->GetSize();
    picture.Entry = entry;
    picture.Width = size.cx;
    picture.Height = size.cy;
    picture.Stretched = entry->Option().Has(poStretch);
    return true;
}
