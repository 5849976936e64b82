// Loading a window's text table from the RCDATA resource named after its class (upper case) in
// the active resource module, and applying it to the window's components by name through their
// published string and string-list properties.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/component.h"
#include "base/form_texts.h"

// The table named Name (e.g. "TVARNOLETWIN") in Module; false when the module has none.
// Raises EFormTextError for a table that cannot be read.
bool LoadFormTextTable(HMODULE module, const std::string& name, TFormTexts& table);

// Sets each entry's property on Root (empty component) or on the component of that name among
// those Root owns (searched depth-first through owned components). Returns the keys
// ("Component.Property") that found no component or no settable text property; they are left
// alone.
std::vector<std::string> ApplyFormTexts(TComponent& root, const TFormTexts& table);

// Both steps with the active resource module (ResourceModule()); false when there is no table.
bool LoadFormTexts(TComponent& root, const std::string& tableName);
