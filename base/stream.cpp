#include "base/stream.h"

#include <cstdio>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "base/exception.h"
#include "base/safe_file.h"
#include "base/string_ids.h"

int64_t TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(int64_t pos) { Seek(pos, soBeginning); }

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

int64_t TStream::Remaining() {
    const int64_t rest = Size() - Position();
    return rest > 0 ? rest : 0;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError(sid::ReadError);
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError(sid::WriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count < 0) throw EReadError(sid::ReadError);
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(count < 65536 ? count : 65536));
    int64_t left = count;
    while (left > 0) {
        const size_t chunk = static_cast<size_t>(left < 65536 ? left : 65536);
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= static_cast<int64_t>(chunk);
    }
    return count;
}

// ---- TMemoryStream

size_t TMemoryStream::Read(void* buffer, size_t count) {
    const auto size = static_cast<int64_t>(data_.size());
    if (pos_ >= size || count == 0) return 0;
    const size_t n = static_cast<size_t>(size - pos_) < count ? static_cast<size_t>(size - pos_) : count;
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += static_cast<int64_t>(n);
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    if (static_cast<uint64_t>(count) > static_cast<uint64_t>(MaxSize - pos_) || pos_ > MaxSize) return 0;
    const int64_t end = pos_ + static_cast<int64_t>(count);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (pos_ == static_cast<int64_t>(data_.size())) {
        // Appending: the bytes go in once, without zeros written first.
        data_.insert(data_.end(), bytes, bytes + count);
        pos_ = end;
        return count;
    }
    if (end > static_cast<int64_t>(data_.size())) data_.resize(static_cast<size_t>(end));
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    if (origin == soCurrent) base = pos_;
    if (origin == soEnd) base = static_cast<int64_t>(data_.size());
    // Targets far outside any possible content are refused like those before the start.
    if (offset > MaxSize * 2 || offset < -MaxSize * 2) return -1;
    const int64_t target = base + offset;
    if (target < 0) return -1;
    pos_ = target;
    return pos_;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0 || newSize > MaxSize) throw EWriteError(sid::WriteError);
    data_.resize(static_cast<size_t>(newSize));
    if (pos_ > newSize) pos_ = newSize;
}

void TMemoryStream::TakeBytes(std::vector<uint8_t>&& bytes, size_t skip) {
    if (static_cast<int64_t>(bytes.size()) > MaxSize + static_cast<int64_t>(skip))
        throw EWriteError(sid::WriteError);
    if (skip >= bytes.size())
        bytes.clear();
    else if (skip > 0)
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(skip));
    data_ = std::move(bytes);
    pos_ = 0;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t size = source.Size();
    SetSize(size);
    pos_ = 0;
    source.ReadBuffer(data_.data(), static_cast<size_t>(size));
}

void TMemoryStream::SaveToStream(TStream& dest) const { dest.WriteBuffer(data_.data(), data_.size()); }

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    SaveFileSafely(fileName, [this](TStream& file) { SaveToStream(file); });
}

// ---- TFileStream

namespace {

FILE* AsFile(void* file) { return static_cast<FILE*>(file); }

int SeekFile(FILE* file, int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, offset, whence);
#else
    return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

int64_t TellFile(FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<int64_t>(ftello(file));
#endif
}

// Has the system write the file's data through to the disk.
bool SyncFile(FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool TruncateFile(FILE* file, int64_t size) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return _chsize_s(_fileno(file), size) == 0;
#else
    return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
#endif
}

const char* OpenMode(TFileMode mode) {
    switch (mode) {
        case fmOpenRead: return "rb";
        case fmCreate: return "w+b";
        default: return "r+b";
    }
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName) {
    file_ = std::fopen(fileName.c_str(), OpenMode(mode));
    if (!file_) {
        if (mode == fmCreate) throw EFCreateError(sid::FCreateError, {fileName});
        throw EFOpenError(sid::FOpenError, {fileName});
    }
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(AsFile(file_));
}

void TFileStream::Commit() {
    if (!file_) throw EWriteError(sid::FWriteError, {fileName_});
    FILE* file = AsFile(std::exchange(file_, nullptr));
    // Every step runs, and the file is closed whatever failed before.
    bool ok = std::fflush(file) == 0;
    ok = ok && !std::ferror(file);
    ok = ok && SyncFile(file);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) throw EWriteError(sid::FWriteError, {fileName_});
}

void TFileStream::Switch(TLastOp op) {
    if (lastOp_ != loNone && lastOp_ != op) SeekFile(AsFile(file_), 0, SEEK_CUR);
    lastOp_ = op;
}

size_t TFileStream::Read(void* buffer, size_t count) {
    if (count == 0 || !file_) return 0;
    Switch(loRead);
    return std::fread(buffer, 1, count, AsFile(file_));
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    if (count == 0 || !file_) return 0;
    Switch(loWrite);
    return std::fwrite(buffer, 1, count, AsFile(file_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (!file_) return -1;
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    if (origin == soCurrent && offset == 0) return TellFile(AsFile(file_));
    if (SeekFile(AsFile(file_), offset, whence) != 0) return -1;
    lastOp_ = loNone;
    return TellFile(AsFile(file_));
}

void TFileStream::SetSize(int64_t newSize) {
    const int64_t pos = Position();
    if (newSize < 0 || !file_ || !TruncateFile(AsFile(file_), newSize)) throw EWriteError(sid::WriteError);
    SeekFile(AsFile(file_), pos > newSize ? newSize : pos, SEEK_SET);
    lastOp_ = loNone;
}
