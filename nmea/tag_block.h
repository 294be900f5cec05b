// NMEA 4 TAG blocks: "\c:1418169601,s:rORBCOMM008*37\" in front of a sentence. The
// block's fields are comma-separated "letter:value" pairs, closed by a checksum over
// everything between the opening backslash and the '*'. The framer counts them among
// the bytes between sentences and hands the one right in front of a sentence on with
// it (nmea/tag_capture.h); they are read here for what they say about time and origin.
// Plain C++; nothing is allocated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nmeaz {

constexpr std::size_t kTagSourceSize = 16;  // at most 15 characters and a NUL

struct TagBlock {
    bool hasTime = false;
    std::int64_t timeMs = 0;  // c: Unix time; written in seconds, read to the millisecond
    bool hasSource = false;
    char source[kTagSourceSize] = {};  // s: the station or talker that received the line
};

// Reads the TAG block at the very start of text. Returns the number of bytes the block
// takes (the sentence follows), or 0 when the text does not start with a complete
// block whose checksum matches; `out` is then left cleared.
// The c field holds seconds; a value with 12 or more digits is taken as milliseconds,
// as some recorders write it, and seconds with a fraction keep their milliseconds.
std::size_t parseTagBlock(const char* text, std::size_t length, TagBlock& out);

// Writes the receive-time block "\c:<seconds>*hh\" for unixMs (no NUL). Returns its
// length, or 0 when size is too small; 32 bytes always suffice.
std::size_t formatTimeTag(std::int64_t unixMs, char* out, std::size_t size);

}  // namespace nmeaz
