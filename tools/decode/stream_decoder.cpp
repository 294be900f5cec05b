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
    const char* from = data;
    while (from < end) {
        const char* lf = static_cast<const char*>(std::memchr(from, '\n', end - from));
        if (lf == nullptr) {
            receiveBuffer_.append(from, end - from);
            break;
        }
        const char before = lf > data ? lf[-1] : previous_;
        receiveBuffer_.append(from, lf - from);
        if (before != '\r') {
            receiveBuffer_.append('\r');
        }
        receiveBuffer_.append('\n');
        from = lf + 1;
    }
    previous_ = data[size - 1];
}

}  // namespace decode
