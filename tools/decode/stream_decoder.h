// The decoder's whole input as one byte stream, fed in reads of any size: line ends
// restored (unless raw), the parse cycle run, the results collected by the sink. The
// output never depends on where the reads happened to split the stream.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <string>

#include "decode_sink.h"

namespace decode {

class StreamDecoder {
public:
    StreamDecoder(bool summary, bool raw) : sink_(summary), raw_(raw) {}

    // Decodes the next bytes of the stream; their results go to output().
    void feed(const char* data, std::size_t size);
    // JSON lines not yet taken; the caller sends them out and clears them.
    std::string& output() { return sink_.pendingOutput(); }
    std::string summaryTable() const { return sink_.summaryTable(); }

private:
    // Log files saved on Linux and macOS end their lines in LF alone; the talker sent
    // CR LF. The byte before a LF may have come in the previous read (or file).
    void restoreLineEnds(const char* data, std::size_t size);

    DecodeSink sink_;
    bool raw_;
    QByteArray receiveBuffer_;
    char previous_ = '\0';
};

}  // namespace decode
