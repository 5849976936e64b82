#include "base/clipboard.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/string_ids.h"

namespace {

// Registered formats are numbered from 0xC000 upward, as the system numbers its own.
constexpr unsigned kFirstRegisteredFormat = 0xC000;

TClipboard* installed = nullptr;

TClipboard& MemoryClipboard() {
    static TMemoryClipboard clipboard;
    return clipboard;
}

}  // namespace

TClipboard& Clipboard() { return installed ? *installed : MemoryClipboard(); }

TClipboard* SetClipboard(TClipboard* clipboard) {
    TClipboard* previous = &Clipboard();
    installed = clipboard;
    return previous;
}

unsigned TMemoryClipboard::RegisterFormat(const std::string& name) {
    for (size_t i = 0; i < names_.size(); ++i) {
        if (SameText(names_[i], name)) return kFirstRegisteredFormat + static_cast<unsigned>(i);
    }
    names_.push_back(name);
    return kFirstRegisteredFormat + static_cast<unsigned>(names_.size() - 1);
}

// The clipboard belongs to one opener at a time; a second Open before Close fails.
void TMemoryClipboard::Open() {
    if (openCount_ > 0) throw EClipboardError(sid::ClipboardOpenError);
    ++openCount_;
    emptyOnNextSet_ = true;
}

void TMemoryClipboard::Close() {
    if (openCount_ > 0) --openCount_;
    emptyOnNextSet_ = false;
}

bool TMemoryClipboard::HasFormat(unsigned format) {
    for (const auto& block : blocks_) {
        if (block.first == format) return true;
    }
    return false;
}

void TMemoryClipboard::SetData(unsigned format, const std::vector<uint8_t>& data) {
    if (emptyOnNextSet_) {
        blocks_.clear();
        emptyOnNextSet_ = false;
    }
    for (auto& block : blocks_) {
        if (block.first == format) {
            block.second = data;
            return;
        }
    }
    blocks_.emplace_back(format, data);
}

std::vector<uint8_t> TMemoryClipboard::GetData(unsigned format) {
    for (const auto& block : blocks_) {
        if (block.first == format) return block.second;
    }
    return {};
}
