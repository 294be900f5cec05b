#include "stream_decoder.h"

#include <cstring>

#include "present/parse_cycle.h"
#include "program_database.h"

namespace decode {

StreamDecoder::StreamDecoder(bool summary, bool stats, bool raw, TargetsSink* targets)
    : sink_(summary, stats), router_(&programPgnDatabase), raw_(raw), targets_(targets) {
    present::startNewStream();
    if (targets_) {
        cycle_ = [this](QByteArray& buffer) { targets_->consume(buffer); };
    } else {
        cycle_ = [this](QByteArray& buffer) { present::runParseCycle(buffer, sink_); };
    }
}

void StreamDecoder::feed(const char* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    if (raw_ || router_.binaryStream(data, size)) {
        route(data, size);
    } else {
        restoreLineEnds(data, size);
        route(staging_.constData(), static_cast<std::size_t>(staging_.size()));
        staging_.clear();
    }
}

// NMEA 2000 lines go to the gateway reader, everything else to the receive buffer.
void StreamDecoder::route(const char* data, std::size_t size) {
    present::CycleSink& sink = targets_ ? static_cast<present::CycleSink&>(*targets_) : sink_;
    router_.feed(data, size, receiveBuffer_, sink, cycle_);
}

void StreamDecoder::finish() {
    present::CycleSink& sink = targets_ ? static_cast<present::CycleSink&>(*targets_) : sink_;
    router_.finish(receiveBuffer_, sink, cycle_);
    if (targets_) {
        targets_->finish(receiveBuffer_);
    }
}

std::string StreamDecoder::statsLine() {
    sink_.setN2kCounters(router_.counters());
    return sink_.statsLine(receiveBuffer_.size() + static_cast<qsizetype>(router_.heldBytes()));
}

void StreamDecoder::restoreLineEnds(const char* data, std::size_t size) {
    const char* const end = data + size;
    // Bytes are copied in runs that end at a bare LF, where the CR goes in; a log that
    // already ends its lines in CR LF goes in as one run.
    const char* run = data;
    for (const char* p = data; p < end;) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (lf == nullptr) {
            break;
        }
        if ((lf > data ? lf[-1] : previous_) != '\r') {
            staging_.append(run, lf - run);
            staging_.append('\r');
            run = lf;
        }
        p = lf + 1;
    }
    staging_.append(run, end - run);
    previous_ = data[size - 1];
}

}  // namespace decode
