#include "stream_decoder.h"

#include <cstring>

#include "present/parse_cycle.h"

namespace decode {

void StreamDecoder::feed(const char* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    if (raw_) {
        receiveBuffer_.append(data, static_cast<qsizetype>(size));
    } else {
        restoreLineEnds(data, size);
    }
    if (targets_) {
        targets_->consume(receiveBuffer_);
    } else {
        present::runParseCycle(receiveBuffer_, sink_);
    }
}

void StreamDecoder::finish() {
    if (targets_) {
        targets_->finish(receiveBuffer_);
    }
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
            receiveBuffer_.append(run, lf - run);
            receiveBuffer_.append('\r');
            run = lf;
        }
        p = lf + 1;
    }
    receiveBuffer_.append(run, end - run);
    previous_ = data[size - 1];
}

}  // namespace decode
