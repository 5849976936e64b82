// The symbol pictures of the quick-text nodes over a picture list: the main window makes its
// list known to the node classes through one of these.
#pragma once

#include "app/symbol_pictures.h"

class TPictureList;

class TPictureListSymbols : public TSymbolPictures {
public:
    explicit TPictureListSymbols(TPictureList& list) : list_(list) {}
    // An entry counts only when it holds a picture.
    bool FindSymbol(int32_t id, TSymbolPicture& picture) const override;

private:
    TPictureList& list_;
};
