#include "base/platform_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "base/file_system.h"

namespace {

// A rename is only durable once the folder that holds the names is synced.
void SyncFolder(const std::string& fileName) {
    const std::string folder = ExtractFilePath(fileName);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool MoveFileDurably(const std::string& from, const std::string& to, bool replace) {
    // rename() replaces an existing target at once; a move that must not replace is refused
    // by the caller's check before (the file system's RenameFile).
    (void)replace;
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    SyncFolder(to);
    if (ExtractFilePath(from) != ExtractFilePath(to)) SyncFolder(from);
    return true;
}
