// The four callbacks that keep toolbar positions in the configuration: each value goes under
// the component path of the window, the toolbar's name and the value name
// ("TApplication\VarnoletWin\Toolbar1\DockRow"); integers as integers, strings as strings.
#pragma once

#include "base/component.h"
#include "widgets/toolbar_layout.h"

// The store of Window's toolbars; Window must outlive the store.
TToolbarPositionStore ComponentPositionStore(const TComponent* window);
