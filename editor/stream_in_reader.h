// Feeds the rich edit control's stream-in requests from a byte source. In plain-text form every
// line break (CR LF, a lone CR, a lone LF) reaches the control as CR LF, also when a CR ends one
// read and its LF starts the next; RTF passes unchanged. No request gets more than MaxChunk
// bytes, so that the progress after each chunk comes at least that often; a source that hands
// out a few bytes at a time is read until a request is filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TStreamInReader {
public:
    // Reads up to Count bytes into Buffer; 0 at the end of the data. May raise.
    using TSource = std::function<size_t(char* buffer, size_t count)>;

    static constexpr size_t DefaultMaxChunk = 32 * 1024;

    TStreamInReader(TSource source, bool normaliseBreaks, size_t maxChunk = DefaultMaxChunk);

    // Fills up to Asked bytes of Out; returns 0 only once the source is used up and everything
    // read from it was handed on.
    size_t Read(char* out, size_t asked);
    // The bytes taken from the source so far.
    uint64_t SourceBytes() const { return sourceBytes_; }

private:
    void Refill(size_t asked);
    void Normalise(const char* data, size_t count);

    TSource source_;
    bool normalise_;
    size_t maxChunk_;
    std::vector<char> raw_;
    std::string pending_;
    size_t pendingPos_ = 0;
    bool carryCr_ = false;
    bool ended_ = false;
    uint64_t sourceBytes_ = 0;
};
