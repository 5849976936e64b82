#include "file_system.h"

#include <cstdio>
#include <filesystem>

#include "base/platform_files.h"

namespace {

TFileSystem* installed = nullptr;

size_t LastSeparator(const std::string& fileName) { return fileName.find_last_of("\\/:"); }

}  // namespace

bool TDiskFileSystem::FileExists(const std::string& fileName) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::u8path(fileName), error);
}

bool TDiskFileSystem::RenameFile(const std::string& from, const std::string& to) {
    // Renaming onto an existing file replaces it on some systems and fails on others; here it
    // always fails, so that callers decide about the old file themselves.
    if (FileExists(to)) return false;
    return MoveFileDurably(from, to, false);
}

bool TDiskFileSystem::ReplaceFile(const std::string& from, const std::string& to) {
    return MoveFileDurably(from, to, true);
}

bool TDiskFileSystem::DeleteFile(const std::string& fileName) { return std::remove(fileName.c_str()) == 0; }

std::unique_ptr<TStream> TDiskFileSystem::OpenRead(const std::string& fileName) {
    return std::make_unique<TFileStream>(fileName, fmOpenRead);
}

std::unique_ptr<TStream> TDiskFileSystem::Create(const std::string& fileName) {
    return std::make_unique<TFileStream>(fileName, fmCreate);
}

TFileSystem& FileSystem() {
    static TDiskFileSystem disk;
    return installed ? *installed : disk;
}

TFileSystem* SetFileSystem(TFileSystem* fileSystem) {
    TFileSystem* previous = installed;
    installed = fileSystem;
    return previous;
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
    size_t dot = fileName.rfind('.');
    size_t sep = LastSeparator(fileName);
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return fileName + extension;
    return fileName.substr(0, dot) + extension;
}

std::string ExtractFileName(const std::string& fileName) {
    size_t sep = LastSeparator(fileName);
    return sep == std::string::npos ? fileName : fileName.substr(sep + 1);
}

std::string ExtractFilePath(const std::string& fileName) {
    size_t sep = LastSeparator(fileName);
    return sep == std::string::npos ? std::string() : fileName.substr(0, sep + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
    std::string name = ExtractFileName(fileName);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}
