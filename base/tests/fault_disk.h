// A disk for tests that makes one step of a save fail, or stops everything at that step as a
// crash or a power cut would. The steps are the operations that change the disk: creating a
// file, the first write into it, committing it, renaming, replacing and deleting. Files created
// through it keep what is written in memory until their commit, as a program's buffers do, so
// that a crash before the commit leaves the file empty; a commit that fails or is cut off puts
// only the first half of the bytes on the disk.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/file_system.h"
#include "base/string_ids.h"

class TFaultDisk : public TDiskFileSystem {
public:
    enum TFault { fdNone, fdFail, fdCrash };

    // Step FaultAt (counted from 1) gets Fault; 0 counts the steps and lets all of them pass.
    explicit TFaultDisk(int faultAt = 0, TFault fault = fdNone) : faultAt_(faultAt), fault_(fault) {}

    int Steps() const { return steps_; }
    bool Crashed() const { return crashed_; }
    // "create <name>", "write <name>", "commit <name>", "rename <from> <to>", "replace <from> <to>",
    // "delete <name>": what each step was, for messages about a failing case.
    const std::vector<std::string>& Log() const { return log_; }

    bool FileExists(const std::string& fileName) override {
        return !crashed_ && TDiskFileSystem::FileExists(fileName);
    }
    bool RenameFile(const std::string& from, const std::string& to) override {
        return Step("rename " + from + " " + to) && TDiskFileSystem::RenameFile(from, to);
    }
    bool ReplaceFile(const std::string& from, const std::string& to) override {
        return Step("replace " + from + " " + to) && TDiskFileSystem::ReplaceFile(from, to);
    }
    bool DeleteFile(const std::string& fileName) override {
        return Step("delete " + fileName) && TDiskFileSystem::DeleteFile(fileName);
    }
    std::unique_ptr<TStream> OpenRead(const std::string& fileName) override {
        if (crashed_) throw EFOpenError(sid::FOpenError, {fileName});
        return TDiskFileSystem::OpenRead(fileName);
    }
    std::unique_ptr<TStream> Create(const std::string& fileName) override {
        if (!Step("create " + fileName)) throw EFCreateError(sid::FCreateError, {fileName});
        TDiskFileSystem::Create(fileName)->Commit();  // the file exists, still empty
        return std::make_unique<TBufferedFile>(*this, fileName);
    }

private:
    // A created file: its bytes stay in memory until Commit writes them to the disk.
    class TBufferedFile : public TMemoryStream {
    public:
        TBufferedFile(TFaultDisk& disk, std::string fileName) : disk_(disk), fileName_(std::move(fileName)) {}
        size_t Write(const void* buffer, size_t count) override {
            if (!wrote_) {
                wrote_ = true;
                if (!disk_.Step("write " + fileName_)) return 0;
            }
            return TMemoryStream::Write(buffer, count);
        }
        void Commit() override {
            switch (disk_.Take("commit " + fileName_)) {
                case spPass: PutOnDisk(Bytes().size()); return;
                case spFail: PutOnDisk(Bytes().size() / 2); throw EWriteError(sid::FWriteError, {fileName_});
                case spCrash: PutOnDisk(Bytes().size() / 2); return;  // the flush is cut off half-way
                case spStopped: return;
            }
        }

    private:
        void PutOnDisk(size_t count) {
            TFileStream file(fileName_, fmCreate);
            if (count) file.WriteBuffer(Memory(), count);
            file.Commit();
        }
        TFaultDisk& disk_;
        std::string fileName_;
        bool wrote_ = false;
    };

    enum TStepResult { spPass, spFail, spCrash, spStopped };

    TStepResult Take(const std::string& what) {
        if (crashed_) return spStopped;
        ++steps_;
        log_.push_back(what);
        if (steps_ != faultAt_ || fault_ == fdNone) return spPass;
        if (fault_ == fdFail) return spFail;
        crashed_ = true;
        return spCrash;
    }
    // False when this step fails or the disk has stopped.
    bool Step(const std::string& what) { return Take(what) == spPass; }

    int faultAt_;
    TFault fault_;
    int steps_ = 0;
    bool crashed_ = false;
    std::vector<std::string> log_;
};
