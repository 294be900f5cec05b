#include "present/stream_router.h"

#include <algorithm>
#include <cstring>

namespace present {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// The sentences that carry whole PGNs inside NMEA 0183 framing.
bool carriesPgn(std::string_view line) {
    return startsWith(line, "$PCDIN,") || startsWith(line, "$MXPGN,") ||
           startsWith(line, "!PDGY,") || startsWith(line, "$PDGY,");
}

// An unfinished line already known to be NMEA 0183 (it starts like a sentence and can
// no longer become one that carries a PGN): it goes on at once, so that the 0183 path
// sees its bytes in the same read as without the router.
bool known0183(std::string_view start) {
    if (start.empty() || (start.front() != '$' && start.front() != '!')) {
        return false;
    }
    for (const std::string_view carrier : {"$PCDIN,", "$MXPGN,", "!PDGY,", "$PDGY,"}) {
        const std::size_t n = std::min(start.size(), carrier.size());
        if (start.compare(0, n, carrier, 0, n) == 0) {
            return false;
        }
    }
    return true;
}

// The common case, decided from two bytes: a sentence that is none of the carriers
// of PGNs (they start "$P" or "$M" or "!P").
inline bool plain0183(const char* line, const char* end) {
    return end - line >= 2 && (line[0] == '$' || line[0] == '!') && line[1] != 'P' &&
           line[1] != 'M';
}

// Every gateway text line is printable ASCII: a line with any other byte (binary
// noise, a receiver at the wrong speed) goes to the NMEA 0183 path at once, without
// waiting for its end.
bool printable(std::string_view text) {
    // Without an early exit the compiler can test many bytes at once: lines are short
    // and nearly all of them are printable.
    bool other = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        other |= static_cast<unsigned char>(byte - 0x20) > 0x5E && byte != '\t' && byte != '\r' &&
                 byte != '\n';
    }
    return !other;
}

// An unfinished line that cannot become an NMEA 2000 line.
bool surely0183(std::string_view start) {
    return known0183(start) || !printable(start);
}

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

bool fastPacket(const void* user, std::uint32_t pgn) {
    return static_cast<const n2k::PgnDatabase*>(user)->isFastPacket(pgn);
}

}  // namespace

StreamRouter::StreamRouter(PgnDatabaseProvider database) : provider_(std::move(database)) {}

StreamRouter::~StreamRouter() = default;

bool StreamRouter::forceFormat(std::string_view name) {
    n2k::StreamKind kind = n2k::StreamKind::Auto;
    n2k::LineFormat format = n2k::LineFormat::Ydwg;
    if (!n2k::streamFromName(name, kind, format)) {
        return false;
    }
    kind_ = kind;
    forced_ = format;
    return true;
}

void StreamRouter::ensureReader() {
    if (reader_) {
        return;
    }
    database_ = provider_ ? provider_() : nullptr;
    static const n2k::PgnDatabase kEmpty;
    const n2k::PgnDatabase& database = database_ != nullptr ? *database_ : kEmpty;
    n2k::FastPacketList list;
    if (database_ != nullptr) {
        list.isFastPacket = &fastPacket;
        list.user = database_;
    }
    // Lines reach the reader already sorted out, so a text stream is read line by line
    // as classified (or as the forced format); a binary stream goes in whole.
    reader_ = std::make_unique<n2k::GatewayReader>(
        static_cast<n2k::GatewaySink&>(*this), list,
        kind_ == n2k::StreamKind::Auto ? n2k::StreamKind::Text : kind_, forced_);
    decoder_ = std::make_unique<n2k::PgnDecoder>(database);
    decoded_ = std::make_unique<n2k::DecodedPgn>();
}

void StreamRouter::feedReader(const char* data, std::size_t size) {
    ensureReader();
    readerBytes_ += size;
    reader_->feed(data, size);
}

void StreamRouter::onPacketDropped(const n2k::DroppedPacket& packet) {
    if (sink_ != nullptr) {
        sink_->pgnDropped(packet.pgn, packet.source);
    }
}

void StreamRouter::onMessage(const n2k::Message& message) {
    decoder_->decode(message, *decoded_);
    if (sink_ != nullptr) {
        sink_->pgnMessage(message, *decoded_);
    }
}

bool StreamRouter::isN2kLine(std::string_view line, n2k::LineFormat& format) {
    line = withoutLineEnd(line);
    // No gateway writes lines this long: to the NMEA 0183 path as noise, whole.
    if (line.size() > static_cast<std::size_t>(n2k::kMaxLineLength)) {
        return false;
    }
    if (!line.empty() && (line.front() == '$' || line.front() == '!') && !carriesPgn(line)) {
        return false;
    }
    if (!printable(line)) {
        return false;
    }
    format = n2k::classifyLine(line);
    if (kind_ == n2k::StreamKind::Forced) {
        return format != n2k::LineFormat::Nmea0183 && format != n2k::LineFormat::Comment &&
               format != n2k::LineFormat::Blank;
    }
    if (!n2k::isGatewayFormat(format)) {
        return false;
    }
    if (heardN2k_) {
        return true;  // a broken line of a stream that carries NMEA 2000 is a bad gateway line
    }
    // Until a line reads as NMEA 2000, one that only looks like a gateway format
    // ("12,34" could begin a PLAIN line) is noise of the NMEA 0183 stream, counted
    // there as always.
    if (!trial_) {
        trial_ = std::make_unique<n2k::LineOutput>();
    }
    const n2k::LineKind kind = n2k::readLine(format, line, *trial_);
    heardN2k_ = kind == n2k::LineKind::Frame || kind == n2k::LineKind::Message ||
                kind == n2k::LineKind::Status;
    return heardN2k_;
}

// The held line is complete (or must go on now): to the reader or the 0183 path.
void StreamRouter::completeHeld(QByteArray& receiveBuffer, const Nmea0183Cycle& cycle) {
    if (isN2kLine(held_)) {
        if (!receiveBuffer.isEmpty()) {
            cycle(receiveBuffer);
        }
        feedReader(held_.data(), held_.size());
    } else {
        receiveBuffer.append(held_.data(), static_cast<qsizetype>(held_.size()));
    }
    held_.clear();
}

namespace {

// A binary gateway stream is recognised by its first bytes: a frame start (an EBL log
// file, an NGT-1 stream opened between frames) followed soon by that frame's end.
// Looking further, or for less, would take a stream of NMEA 0183 with binary noise at
// its start for a gateway's.
bool hasPair(const char* data, std::size_t size, char a, char b) {
    const std::size_t limit = size < 600 ? size : 600;
    for (std::size_t i = 2; i + 1 < limit; ++i) {
        if (data[i] == a && data[i + 1] == b) {
            return true;
        }
    }
    return false;
}

n2k::StreamKind binaryKindOf(const char* data, std::size_t size) {
    if (size >= 2 && data[0] == 0x10 && data[1] == 0x02 && hasPair(data, size, 0x10, 0x03)) {
        return n2k::StreamKind::Ngt1;
    }
    if (size >= 2 && data[0] == 0x1B && data[1] == 0x01 && hasPair(data, size, 0x1B, 0x0A)) {
        return n2k::StreamKind::Ebl;
    }
    return n2k::StreamKind::Auto;
}

}  // namespace

bool StreamRouter::binaryStream(const char* data, std::size_t size) const {
    if (kind_ == n2k::StreamKind::Ngt1 || kind_ == n2k::StreamKind::Ebl) {
        return true;
    }
    return !started_ && kind_ == n2k::StreamKind::Auto &&
           binaryKindOf(data, size) != n2k::StreamKind::Auto;
}

void StreamRouter::feed(const char* data, std::size_t size, QByteArray& receiveBuffer,
                        CycleSink& sink, const Nmea0183Cycle& cycle) {
    sink_ = &sink;
    if (!started_ && size > 0) {
        started_ = true;
        if (kind_ == n2k::StreamKind::Auto) {
            const n2k::StreamKind binary = binaryKindOf(data, size);
            if (binary != n2k::StreamKind::Auto) {
                kind_ = binary;
            }
        }
    }
    if (kind_ == n2k::StreamKind::Ngt1 || kind_ == n2k::StreamKind::Ebl) {
        feedReader(data, size);
        cycle(receiveBuffer);
        sink_ = nullptr;
        return;
    }

    const char* p = data;
    const char* const end = data + size;
    const char* run = p;  // the start of the 0183 bytes not yet appended
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* lineEnd = nl != nullptr ? nl + 1 : end;
        switch (line_) {
            case Line::To0183:
                if (nl != nullptr) {
                    line_ = Line::Start;
                }
                break;
            case Line::Held:
                held_.append(p, lineEnd - p);
                run = lineEnd;
                if (nl != nullptr) {
                    completeHeld(receiveBuffer, cycle);
                    line_ = Line::Start;
                } else if (known0183(held_) || !printable(std::string_view(p, lineEnd - p)) ||
                           held_.size() > n2k::kMaxLineLength) {
                    completeHeld(receiveBuffer, cycle);
                    line_ = Line::To0183;
                }
                break;
            case Line::Start:
                if (nl == nullptr) {
                    const std::string_view start(p, end - p);
                    if (!surely0183(start)) {
                        receiveBuffer.append(run, p - run);
                        held_.assign(start);
                        run = end;
                        line_ = Line::Held;
                        if (held_.size() > n2k::kMaxLineLength) {
                            completeHeld(receiveBuffer, cycle);
                            line_ = Line::To0183;
                        }
                    } else {
                        line_ = Line::To0183;
                    }
                } else if (n2k::LineFormat format = n2k::LineFormat::Unknown;
                           !plain0183(p, lineEnd) &&
                           isN2kLine(std::string_view(p, lineEnd - p), format)) {
                    receiveBuffer.append(run, p - run);
                    if (!receiveBuffer.isEmpty()) {
                        cycle(receiveBuffer);
                    }
                    ensureReader();
                    readerBytes_ += static_cast<std::uint64_t>(lineEnd - p);
                    reader_->feedLine(std::string_view(p, lineEnd - p), format);
                    run = lineEnd;
                }
                break;
        }
        p = lineEnd;
    }
    receiveBuffer.append(run, end - run);
    cycle(receiveBuffer);
    sink_ = nullptr;
}

void StreamRouter::finish(QByteArray& receiveBuffer, CycleSink& sink, const Nmea0183Cycle& cycle) {
    sink_ = &sink;
    if (line_ == Line::Held) {
        const bool toReader = isN2kLine(held_);
        completeHeld(receiveBuffer, cycle);
        if (!toReader) {
            cycle(receiveBuffer);
        }
        line_ = Line::Start;
    }
    if (reader_) {
        reader_->finish();
    }
    sink_ = nullptr;
}

N2kStreamCounters StreamRouter::counters() const {
    N2kStreamCounters out;
    if (!reader_) {
        return out;
    }
    out.heard = true;
    out.bytes = readerBytes_;
    out.outcomes = reader_->byteOutcomes();
    const n2k::ReassemblyCounters& r = reader_->reassemblyCounters();
    const n2k::LineCounters& l = reader_->lineCounters();
    const n2k::BinaryCounters& b = reader_->binaryCounters();
    out.frames = r.frames;
    out.messages = reader_->messagesDelivered();
    out.fastPacketErrors = r.fastPacketErrors();
    out.transportErrors = r.transportErrors();
    out.unknownPgns = decoder_->unknownCount();
    for (const std::uint64_t malformed : l.malformed) {
        out.badGatewayLines += malformed;
    }
    out.badGatewayLines += l.notThisFormat + l.overlong + b.badChecksum + b.badFrames;
    return out;
}

}  // namespace present
