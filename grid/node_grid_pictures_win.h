// The node grid's built-in pictures, drawn pixel by pixel: plus and minus boxes of 11 x 11
// pixels (IDs -1, -2) and, of 16 x 16 pixels, a closed folder (-3, the symbol of a node that is
// not focused), an open folder (-4, the focused node's) and a page (-5, a leaf). Their
// background is transparent, so that tree lines and highlights show round them.
#pragma once

class TPictureList;

// Puts the five pictures into List under their IDs (replacing what the list has there).
void MakeNodeGridPictures(TPictureList& list);
