// Saving and restoring a form's window placement in the configuration, under the node of the
// form's component path ("Standard\TApplication\<form name>").
#pragma once

#include "winui/form_win.h"

// Writes "WindowState", "Tag" and "Caption", and for a normal window also "Left", "Top",
// "Width" and "Height" of its normal-position rectangle.
void SavePlacement(TForm& form);
// Reads them back: a saved caption starting with "@" replaces the caption, sizeable forms take
// the saved size, a missing position centres the form, and it is kept on the screen.
void RestorePlacement(TForm& form);
