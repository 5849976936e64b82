// Where the quick-text nodes find the pictures of their symbols: the main window's picture
// list, made known to the node classes when the main window is created. The nodes only need
// to know whether a symbol number has an entry, its size and whether it is drawn stretched.
#pragma once

#include <cstdint>

class TPictureEntry;

struct TSymbolPicture {
    TPictureEntry* Entry = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Stretched = false;
};

class TSymbolPictures {
public:
    virtual ~TSymbolPictures() = default;
    // False when the list has no entry of number ID.
    virtual bool FindSymbol(int32_t id, TSymbolPicture& picture) const = 0;
};

// The pictures the quick-text nodes use; null (the default) until the main window sets them.
void SetSymbolPictures(const TSymbolPictures* pictures);
const TSymbolPictures* SymbolPictures();
