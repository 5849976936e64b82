#include "base/platform_files.h"

#include <windows.h>

// MOVEFILE_WRITE_THROUGH returns only after the move is on the disk. Names are ANSI text, as
// everywhere the runtime opens files.
bool MoveFileDurably(const std::string& from, const std::string& to, bool replace) {
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replace) flags |= MOVEFILE_REPLACE_EXISTING;
    return MoveFileExA(from.c_str(), to.c_str(), flags) != 0;
}
