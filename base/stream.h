// Byte streams: the abstract stream with positioned reads and writes, an in-memory stream
// and a file stream. Node files, the clipboard blocks and every loader work on these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to Count bytes; returns how many were read (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes Count bytes; returns how many were written.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Returns the new position; a target before the start leaves the position and returns -1.
    // Positions past the end are allowed; a later write fills the gap with zeros.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    // Truncates or extends (with zeros); a position past the new end moves to the end.
    // Raises EWriteError when the size cannot be set.
    virtual void SetSize(int64_t newSize) = 0;
    // Makes what was written durable. A file stream writes out its buffer, has the system put
    // the file's data on the disk and closes the file, raising EWriteError (65453, naming the
    // file) when any of that fails; the stream cannot be used afterwards. Other streams have
    // nothing to do.
    virtual void Commit() {}

    int64_t Position();
    void SetPosition(int64_t pos);
    int64_t Size();
    // Bytes between the position and the end; what a length read from the stream is checked against.
    int64_t Remaining();

    // Read exactly Count bytes or raise EReadError; write exactly Count bytes or raise EWriteError.
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    // Copies Count bytes from Source (0 = all of Source from its start); returns the count copied.
    // Raises EReadError when Source holds fewer bytes or Count is negative.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A stream over a growing byte buffer. Writes past the end extend it; its size is bounded by
// MaxSize, beyond which writes fail (Write returns 0, WriteBuffer raises EWriteError).
class TMemoryStream : public TStream {
public:
    static constexpr int64_t MaxSize = int64_t(1) << 30;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;

    const uint8_t* Memory() const { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    // Takes Bytes without the first Skip ones as the stream's contents, position 0, without
    // copying the block.
    void TakeBytes(std::vector<uint8_t>&& bytes, size_t skip = 0);
    void Clear();
    void LoadFromStream(TStream& source);
    void SaveToStream(TStream& dest) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    std::vector<uint8_t> data_;
    int64_t pos_ = 0;
};

enum TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

// A file opened for reading or created for writing (fmCreate replaces any content and allows
// reading back; fmOpenWrite and fmOpenReadWrite keep the content). Opening fails with EFOpenError (65448),
// creating with EFCreateError (65447), both naming the file. What is written is complete only
// after Commit: the destructor closes the file without reporting anything, as a failed save
// that gives the file up needs it.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, TFileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    void Commit() override;
    const std::string& FileName() const { return fileName_; }

private:
    enum TLastOp { loNone, loRead, loWrite };
    // The C library needs a seek between a read and a write on the same file.
    void Switch(TLastOp op);

    std::string fileName_;
    void* file_ = nullptr;  // FILE*
    TLastOp lastOp_ = loNone;
};
