// The decoder's whole input as one byte stream, fed in reads of any size: line ends
// restored (unless raw), the parse cycle run, the results collected by the sink. The
// output never depends on where the reads happened to split the stream.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <string>
#include <string_view>

#include "decode_sink.h"
#include "present/parse_cycle.h"
#include "present/stream_router.h"
#include "targets_sink.h"

namespace decode {

class StreamDecoder {
public:
    // With `targets`, the stream feeds that target table instead of the JSON lines.
    StreamDecoder(bool summary, bool stats, bool raw, TargetsSink* targets = nullptr);

    // Reads every line that is not NMEA 0183 as one gateway format, or the stream as
    // one binary gateway (present::StreamRouter::forceFormat); false for an unknown name.
    bool forceFormat(std::string_view name) { return router_.forceFormat(name); }

    // Decodes the next bytes of the stream; their results go to output().
    void feed(const char* data, std::size_t size);
    // Named, full-precision values in place of the JSON lines.
    void setNamed(bool named) { sink_.setNamed(named); }
    // Sentences that deviate from the sentence format are dropped, not read.
    void setStrict(bool strict) { sink_.setStrict(strict); }
    // At the end of the input: the target listing, when targets are asked for.
    void finish();
    // Output not yet taken; the caller sends it out and clears it.
    std::string& output() { return targets_ ? targets_->pendingOutput() : sink_.pendingOutput(); }
    std::string summaryTable() const { return sink_.summaryTable(); }
    // The line counters and every key seen, with the bytes still waiting counted in.
    std::string statsLine();

private:
    // Log files saved on Linux and macOS end their lines in LF alone; the talker sent
    // CR LF. The byte before a LF may have come in the previous read (or file).
    void restoreLineEnds(const char* data, std::size_t size);

    void route(const char* data, std::size_t size);

    DecodeSink sink_;
    present::StreamRouter router_;
    present::Nmea0183Cycle cycle_;
    QByteArray staging_;
    bool raw_;
    TargetsSink* targets_;
    QByteArray receiveBuffer_;
    char previous_ = '\0';
};

}  // namespace decode
