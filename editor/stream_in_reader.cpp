#include "editor/stream_in_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

TStreamInReader::TStreamInReader(TSource source, bool normaliseBreaks, size_t maxChunk)
    : source_(std::move(source)), normalise_(normaliseBreaks), maxChunk_(std::max<size_t>(maxChunk, 1)) {}

size_t TStreamInReader::Read(char* out, size_t asked) {
    asked = std::min(asked, maxChunk_);
    if (asked == 0) return 0;
    while (pendingPos_ == pending_.size()) {
        if (ended_) return 0;
        Refill(asked);
    }
    const size_t count = std::min(asked, pending_.size() - pendingPos_);
    std::memcpy(out, pending_.data() + pendingPos_, count);
    pendingPos_ += count;
    return count;
}

void TStreamInReader::Refill(size_t asked) {
    pending_.clear();
    pendingPos_ = 0;
    // Half the request: every byte may become two when line breaks are widened.
    const size_t want = std::max<size_t>(asked / 2, 1);
    raw_.resize(want);
    // A source that hands out little at a time is read until the request is filled: the
    // control recognises RTF only when its first chunk holds the whole "{\rtf" opening.
    size_t got = 0;
    while (got < want) {
        const size_t n = source_(raw_.data() + got, want - got);
        if (n == 0) break;
        got += n;
    }
    sourceBytes_ += got;
    if (got == 0) {
        ended_ = true;
        if (carryCr_) pending_ = "\r\n";
        carryCr_ = false;
        return;
    }
    if (normalise_) Normalise(raw_.data(), got);
    else pending_.assign(raw_.data(), got);
}

void TStreamInReader::Normalise(const char* data, size_t count) {
    pending_.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        const char c = data[i];
        if (carryCr_) {
            carryCr_ = false;
            pending_ += "\r\n";
            if (c == '\n') continue;
        }
        if (c == '\r') {
            // Whether an LF follows is known only with the next byte, perhaps of the next read.
            carryCr_ = true;
        } else if (c == '\n') {
            pending_ += "\r\n";
        } else {
            pending_ += c;
        }
    }
}
