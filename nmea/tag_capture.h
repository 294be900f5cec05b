// Keeps the TAG block ("\c:1418169601,s:r003669945*3A\") that stands directly in front
// of a sentence, on the same line, while the framer passes over the bytes between
// sentences. Those bytes stay counted as they always were (noise); the capture only
// remembers the last block candidate of the run, so whoever forwards the sentence can
// keep the block with it. Fixed storage, nothing allocated; the capture carries on
// across reads, so a block split over two reads is whole when its sentence begins.
#pragma once

#include <string_view>

namespace nmeaz {

// A real block holds a time, a source, a group and perhaps a line count or some text:
// far less than this. A longer candidate is taken for noise, not for a block.
constexpr int kMaxTagBlockLength = 128;

enum TagCaptureState : int {
    TagNone = 0,    // no block candidate since the last line end or sentence
    TagOpen = 1,    // inside a candidate: its opening backslash is held
    TagClosed = 2,  // a candidate just closed: a sentence that starts now gets it
    TagSkip = 3,    // a candidate grew too long: the rest of it goes by unkept
};

struct TagCapture {
    char bytes[kMaxTagBlockLength];  // the candidate, both backslashes included
    int length;
    int state;  // TagCaptureState
};

// Follows the bytes [p, end) that lie outside any sentence, none of them a start
// character or part of a comment line.
void captureOutside(TagCapture& capture, const unsigned char* p, const unsigned char* end);

// A sentence begins now: whether the candidate just closed is a well-formed block with
// a matching checksum (then it is the sentence's block). The capture starts over.
bool takeForSentence(TagCapture& capture);

// The block held for a sentence, as text.
inline std::string_view heldTagBlock(const TagCapture& capture) {
    return {capture.bytes, static_cast<std::size_t>(capture.length)};
}

}  // namespace nmeaz
