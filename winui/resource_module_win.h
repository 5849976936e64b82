// The resource module: the program's own string tables and layouts, or those of a data-only
// library beside the program, named after it with a language suffix (VarnoletEN shipped as
// Varnolet.ENU, Varnolet.ENG or Varnolet.EN). Chosen once at start-up.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/strings.h"

// Tries to load Path as a data-only library; true when it loaded.
using TTryLoadLibrary = std::function<bool(const std::string& path)>;

// The choice itself: tries the program path with its suffix after the last "." replaced by
// OverrideSuffix, then Abbreviation (three letters), then its first two letters. Returns the
// path that loaded, or empty when the program's own resources stay in use (empty path, no dot,
// neither override nor abbreviation, or nothing loaded).
std::string ChooseResourceFile(const std::string& programPath, const std::string& overrideSuffix,
                               const std::string& abbreviation, const TTryLoadLibrary& tryLoad);

// The full path of the program file.
std::string ProgramPath();
// The override suffix of at most 4 characters from HKCU\Software\Varnolet\Locales: the value
// named by ProgramPath, else the key's default value; empty when there is none.
std::string ReadLocaleOverride(const std::string& programPath);
// The three-letter language abbreviation of the thread locale (DEU, ENU, ENG ...).
std::string ThreadLanguageAbbreviation();

// Chooses and loads the resource module, freeing one loaded before. Returns the path of the
// library in use, or empty for the program itself. A missing library is no error.
std::string LoadResourceModule();
// Frees a loaded library; the program's own resources are used again.
void FreeResourceModule();
// The active resource module: the loaded library, else the program.
HMODULE ResourceModule();

// Texts from the string-table resources of the active resource module, converted from UTF-16
// to code page 1252. A missing id gives an empty text.
class TModuleStringSource : public TStringSource {
public:
    std::string Load(int id) const override;
};
