#include "base/safe_file.h"

#include <memory>

#include "base/exception.h"
#include "base/file_system.h"
#include "base/string_ids.h"

namespace {

// Writes the new content into Temp and commits it; the stream is gone afterwards whatever
// happened, so that the file can be renamed or deleted. A write error names the file the user
// saves, not the temporary one.
void WriteTemp(TFileSystem& files, const std::string& temp, const std::string& fileName,
               const std::function<void(TStream&)>& write) {
    std::unique_ptr<TStream> stream;
    try {
        stream = files.Create(temp);
    } catch (const EFCreateError&) {
        throw EFCreateError(sid::FCreateError, {fileName});
    }
    try {
        write(*stream);
        stream->Commit();
    } catch (const EWriteError&) {
        throw EWriteError(sid::FWriteError, {fileName});
    }
}

// Moves the existing file aside as Kept. False when it could not be moved.
bool KeepPrevious(TFileSystem& files, const std::string& fileName, const std::string& kept) {
    if (files.RenameFile(fileName, kept)) return true;
    return files.FileExists(kept) && files.DeleteFile(kept) && files.RenameFile(fileName, kept);
}

}  // namespace

std::string TempFileName(const std::string& fileName) {
    const std::string extension = ExtractFileExt(fileName);
    if (extension.size() < 2) return ChangeFileExt(fileName, ".$$$");
    return ChangeFileExt(fileName, ".$" + extension.substr(1, 2));
}

void SaveFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write,
                    const std::string& keptName, TKeepMode keep) {
    TFileSystem& files = FileSystem();
    const std::string temp = TempFileName(fileName);
    if (keptName.empty()) keep = kmNone;
    try {
        WriteTemp(files, temp, fileName, write);
    } catch (...) {
        files.DeleteFile(temp);
        throw;
    }

    if (keep == kmNone || !files.FileExists(fileName)) {
        if (files.ReplaceFile(temp, fileName)) return;
        files.DeleteFile(temp);
        throw EFCreateError(sid::FCreateError, {fileName});
    }
    if (!KeepPrevious(files, fileName, keptName)) {
        // The previous file is still in place.
        if (keep == kmKeep && files.ReplaceFile(temp, fileName)) return;
        files.DeleteFile(temp);
        throw EFCreateError(sid::FCreateError, {keep == kmKeep ? fileName : keptName});
    }
    // Between these two renames the file is missing; the start recovers it from the
    // temporary file or the kept copy (see the quick-text file and the configuration).
    if (files.RenameFile(temp, fileName)) return;
    if (files.RenameFile(keptName, fileName)) files.DeleteFile(temp);
    throw EFCreateError(sid::FCreateError, {fileName});
}
