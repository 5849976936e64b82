// The one file operation whose durable form differs between the platforms: moving a file to
// another name so that the new name is on the disk when the call returns.
#pragma once

#include <string>

// Renames From to To. With Replace an existing To is replaced in the same step; without, the
// move fails when To exists. The change of the folder is written through to the disk (the
// folder is synced where the platform needs that). False when the move failed.
bool MoveFileDurably(const std::string& from, const std::string& to, bool replace);
