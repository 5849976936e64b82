// Saving a file so that neither a failure nor a crash at any step costs the user the previous
// version: the new content is written completely into a temporary file beside the target,
// committed to the disk, and only then put in place by renaming. The previous version can be
// kept under a name of its own (".~ST", ".C$$"). All file operations go through FileSystem().
#pragma once

#include <functional>
#include <string>

#include "base/stream.h"

// What happens to the previous version of the file.
enum TKeepMode {
    kmNone,      // replaced in one step; no copy is kept
    kmKeep,      // kept under the kept name when that works; else replaced without a copy
    kmMustKeep,  // kept under the kept name; a save that cannot keep it fails
};

// The temporary file a save writes first: the extension becomes "$" and its first two letters
// (".STD" gives ".$ST", ".CFG" ".$CF"); a name without extension gets ".$$$".
std::string TempFileName(const std::string& fileName);

// Writes FileName: Write fills the temporary file's stream, which is committed; then an
// existing file becomes KeptName (an older file of that name is deleted first) and the
// temporary file takes FileName. Every step is checked. A failure raises EFCreateError (65447)
// or EWriteError (65453), both naming the file, and leaves the previous file under its name:
// when the new file cannot take the name, the kept copy is renamed back. The temporary file is
// deleted after a failure unless the target has gone missing, in which case it is the newest
// complete copy and stays for the start to recover it. A temporary file left by an earlier save
// is replaced.
void SaveFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write,
                    const std::string& keptName = "", TKeepMode keep = kmNone);
