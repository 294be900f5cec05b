// The one place where a mixed stream splits: NMEA 2000 gateway lines (and binary
// gateway streams) go through the gateway reader to whole, decoded PGNs; every other
// byte (NMEA 0183, comments, blank lines, noise, endless lines) goes on unchanged to
// the receive buffer and the NMEA 0183 parse cycle, so a stream without NMEA 2000 is
// parsed and counted exactly as it would be without the router. PGNs and sentences
// reach the sink in stream order: the 0183 bytes before an NMEA 2000 line are parsed
// before its PGN is published.
//
// A line that only looks like a gateway format before the stream has carried any
// line that reads as NMEA 2000 stays with NMEA 0183 (as noise), so a stream of NMEA
// 0183 alone is counted exactly as before; once NMEA 2000 was heard, broken gateway
// lines are counted as bad gateway lines.
//
// The PGN database is asked for only when the first NMEA 2000 line arrives, so a
// stream of NMEA 0183 alone never loads it.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "n2k/gateway_reader.h"
#include "n2k/pgn_decoder.h"
#include "present/parse_cycle.h"

namespace present {

// The database the first NMEA 2000 line needs; nullptr when none could be loaded
// (PGNs are then shown raw and fast packets are not reassembled).
using PgnDatabaseProvider = std::function<const n2k::PgnDatabase*()>;

// The NMEA 0183 path: runs over the receive buffer after bytes were appended.
using Nmea0183Cycle = std::function<void(QByteArray& receiveBuffer)>;

// What the NMEA 2000 side of a stream counted (all zero while none was heard).
struct N2kStreamCounters {
    bool heard = false;  // an NMEA 2000 line or binary gateway stream was seen
    std::uint64_t frames = 0;
    std::uint64_t messages = 0;
    std::uint64_t fastPacketErrors = 0;
    std::uint64_t transportErrors = 0;
    std::uint64_t unknownPgns = 0;
    std::uint64_t badGatewayLines = 0;  // malformed lines of a gateway format, bad binary frames
    std::uint64_t bytes = 0;            // bytes that went to the gateway reader
    // Where each of those bytes went (they sum to `bytes` once the stream is finished).
    n2k::ByteOutcomes outcomes;
};

class StreamRouter : private n2k::GatewaySink {
public:
    explicit StreamRouter(PgnDatabaseProvider database);
    ~StreamRouter() override;

    // Forces one input format by its name ("yd", "actisense", "candump", "plain",
    // "pcdin", "mxpgn", "pdgy", "ngt1", "ebl"): every line that is not NMEA 0183, a
    // comment or blank is read as that format. False for an unknown name.
    bool forceFormat(std::string_view name);

    // Routes the next bytes of the stream. The NMEA 0183 bytes are appended to
    // `receiveBuffer` and `cycle` runs over it (at least once per call, as the parse
    // cycle would run after every read); PGNs go to sink.pgnMessage.
    void feed(const char* data, std::size_t size, QByteArray& receiveBuffer, CycleSink& sink,
              const Nmea0183Cycle& cycle);
    // The stream ended: a last line without a line end is routed like any other.
    void finish(QByteArray& receiveBuffer, CycleSink& sink, const Nmea0183Cycle& cycle);

    // Whether the stream is (or, from these first bytes, will be) a binary gateway's:
    // its bytes must reach feed() unchanged.
    bool binaryStream(const char* data, std::size_t size) const;

    // Bytes of an unfinished line the router still holds to decide where it goes.
    std::size_t heldBytes() const { return held_.size(); }
    N2kStreamCounters counters() const;
    // The gateway reader, once an NMEA 2000 line was heard (nullptr before).
    const n2k::GatewayReader* reader() const { return reader_.get(); }
    const n2k::PgnDatabase* database() const { return database_; }

private:
    enum class Line : std::uint8_t { Start, Held, To0183 };

    void onMessage(const n2k::Message& message) override;
    void onPacketDropped(const n2k::DroppedPacket& packet) override;
    // `format` gets the line's class, for the reader not to classify it again.
    bool isN2kLine(std::string_view line, n2k::LineFormat& format);
    bool isN2kLine(std::string_view line) {
        n2k::LineFormat format = n2k::LineFormat::Unknown;
        return isN2kLine(line, format);
    }
    void ensureReader();
    void feedReader(const char* data, std::size_t size);
    void completeHeld(QByteArray& receiveBuffer, const Nmea0183Cycle& cycle);

    PgnDatabaseProvider provider_;
    const n2k::PgnDatabase* database_ = nullptr;
    n2k::StreamKind kind_ = n2k::StreamKind::Auto;
    n2k::LineFormat forced_ = n2k::LineFormat::Ydwg;
    bool started_ = false;
    bool heardN2k_ = false;  // a line read as NMEA 2000: broken gateway lines count as such  // the
                             // first bytes were looked at for a binary gateway
    Line line_ = Line::Start;
    std::string held_;
    std::uint64_t readerBytes_ = 0;
    std::unique_ptr<n2k::GatewayReader> reader_;
    std::unique_ptr<n2k::PgnDecoder> decoder_;
    std::unique_ptr<n2k::DecodedPgn> decoded_;
    std::unique_ptr<n2k::LineOutput> trial_;
    CycleSink* sink_ = nullptr;
};

}  // namespace present
