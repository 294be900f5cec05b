#include "nmea/tag_capture.h"

#include <cstring>

#include "nmea/tag_block.h"

namespace nmeaz {

void captureOutside(TagCapture& capture, const unsigned char* p, const unsigned char* end) {
    while (p != end) {
        if (capture.state == TagNone) {
            // Most runs between sentences are a line end or noise without a backslash.
            const void* open = std::memchr(p, '\\', static_cast<std::size_t>(end - p));
            if (open == nullptr) {
                return;
            }
            p = static_cast<const unsigned char*>(open);
        }
        const unsigned char c = *p++;
        const bool lineEnd = c == '\r' || c == '\n';
        switch (capture.state) {
            case TagOpen:
                if (lineEnd) {
                    capture.state = TagNone;
                } else if (static_cast<unsigned>(capture.length) >= unsigned{kMaxTagBlockLength}) {
                    capture.state = c == '\\' ? TagNone : TagSkip;
                } else {
                    capture.bytes[capture.length++] = static_cast<char>(c);
                    if (c == '\\') {
                        capture.state = TagClosed;
                    }
                }
                break;
            case TagSkip:
                if (lineEnd || c == '\\') {
                    capture.state = TagNone;
                }
                break;
            default:
                // Nothing open, or a block closed with more than a sentence after it:
                // only a backslash opens the next candidate.
                if (c == '\\') {
                    capture.bytes[0] = '\\';
                    capture.length = 1;
                    capture.state = TagOpen;
                } else {
                    capture.state = TagNone;
                }
                break;
        }
    }
}

bool takeForSentence(TagCapture& capture) {
    const bool closed = capture.state == TagClosed;
    capture.state = TagNone;
    if (!closed || capture.length <= 0 || capture.length > kMaxTagBlockLength) {
        return false;
    }
    TagBlock block;
    const auto length = static_cast<std::size_t>(capture.length);
    return parseTagBlock(capture.bytes, length, block) == length;
}

}  // namespace nmeaz
