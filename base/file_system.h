// The file operations the portable code needs (existence, rename, replace, delete, open,
// create), behind one interface so that tests can put files elsewhere or make any step fail
// or stop as a crash would.
#pragma once

#include <memory>
#include <string>

#include "base/stream.h"

class TFileSystem {
public:
    virtual ~TFileSystem() = default;
    virtual bool FileExists(const std::string& fileName) = 0;
    // Renames a file; false when that fails, also when To exists already. A rename that
    // succeeded is on the disk when this returns.
    virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
    // Renames From to To in one step, replacing a file To; at no moment is To missing. False
    // when that fails; on the disk when it returns true.
    virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
    // Deletes a file; false when that fails.
    virtual bool DeleteFile(const std::string& fileName) = 0;
    // Opens a file for reading (EFOpenError, 65448) or creates one (EFCreateError, 65447).
    // What is written to a created file is complete only after its stream's Commit.
    virtual std::unique_ptr<TStream> OpenRead(const std::string& fileName) = 0;
    virtual std::unique_ptr<TStream> Create(const std::string& fileName) = 0;
};

// The real file system, through the C and C++ libraries.
class TDiskFileSystem : public TFileSystem {
public:
    bool FileExists(const std::string& fileName) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& fileName) override;
    std::unique_ptr<TStream> OpenRead(const std::string& fileName) override;
    std::unique_ptr<TStream> Create(const std::string& fileName) override;
};

// The process-wide file system: the real one unless a test installed another.
TFileSystem& FileSystem();
// Installs FileSystem (none restores the real one); returns the previous one.
TFileSystem* SetFileSystem(TFileSystem* fileSystem);

// File name parts, with "\" and "/" both taken as folder separators.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFilePath(const std::string& fileName);  // with the trailing separator
std::string ExtractFileExt(const std::string& fileName);   // with the dot
