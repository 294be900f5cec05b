// The streaming reader of a gateway's bytes: whatever sizes the reads come in,
// whole PGNs go out to the sink, and NMEA 0183 lines of a mixed stream are handed
// back untouched (with their line end) for the 0183 framer.
//
// Text streams are cut into lines at LF (a CR before it is part of the line end);
// each line is classified (or read as a forced format) and ends in one outcome,
// and its bytes, line end included, are counted under that outcome. A line longer
// than kMaxLineLength is cut off and counted, so an endless line neither stalls
// the stream nor grows memory. Binary gateways (NGT-1, EBL) are recognised by the
// first byte of the stream or chosen explicitly.
//
// Nothing is allocated after construction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "n2k/counters.h"
#include "n2k/ebl_unframer.h"
#include "n2k/gateway_format.h"
#include "n2k/line_result.h"
#include "n2k/ngt1_unframer.h"
#include "n2k/reassembler.h"

namespace n2k {

class GatewaySink {
public:
    virtual ~GatewaySink() = default;
    virtual void onMessage(const Message& message) = 0;
    // A line of NMEA 0183 ('$' or '!', but not a sentence that carries NMEA 2000),
    // exactly as it arrived, line end included.
    virtual void onNmea0183Line(std::string_view line) { (void)line; }
    // A fast packet or transport transfer of this PGN and sender was dropped.
    virtual void onPacketDropped(const DroppedPacket& packet) { (void)packet; }
};

enum class StreamKind : std::uint8_t {
    Auto,    // decided by the first bytes: an NGT-1 or EBL frame start, or text
    Text,    // text lines, each classified
    Forced,  // text lines, all read as one format (0183, comments and blanks aside)
    Ngt1,
    Ebl,
};

// Where every byte of a stream went.
struct ByteOutcomes {
    std::uint64_t n2k = 0;        // lines that gave a frame or a whole PGN
    std::uint64_t nmea0183 = 0;   // lines handed back as NMEA 0183
    std::uint64_t status = 0;     // gateway status lines
    std::uint64_t comments = 0;   // comment and blank lines
    std::uint64_t malformed = 0;  // broken lines of a known format
    std::uint64_t noise = 0;      // lines of no known format
    std::uint64_t overlong = 0;   // lines cut off at the length limit
    std::uint64_t binary = 0;     // bytes of a binary stream (see BinaryCounters)

    std::uint64_t total() const {
        return n2k + nmea0183 + status + comments + malformed + noise + overlong + binary;
    }
};

constexpr int kMaxLineLength = 6144;  // a whole 1785-byte PGN as PLAIN text fits

// The names a user gives an input to force it: the gateway line formats of
// formatName() ("yd", "candump", ...) and the binary "ngt1" and "ebl".
bool streamFromName(std::string_view name, StreamKind& kind, LineFormat& format);

class GatewayReader {
public:
    explicit GatewayReader(GatewaySink& sink, FastPacketList fastPackets = {},
                           StreamKind kind = StreamKind::Auto,
                           LineFormat forced = LineFormat::Ydwg);

    void feed(const char* data, std::size_t size);
    // The same for one whole line ending in LF whose format the caller has already
    // read with classifyLine (a stream router does, to choose the line's path): the
    // reader then neither copies it nor classifies it again.
    void feedLine(std::string_view line, LineFormat format);
    // The stream ended: a last line without a line end is read as a line.
    void finish();

    StreamKind kind() const { return kind_; }
    // Whole PGNs handed to the sink, whatever way they arrived.
    std::uint64_t messagesDelivered() const { return delivered_; }
    const LineCounters& lineCounters() const { return lines_; }
    const ReassemblyCounters& reassemblyCounters() const { return reassembler_.counters(); }
    // The binary counters of the NGT-1 or EBL stream (zero for text).
    const BinaryCounters& binaryCounters() const;
    // Bytes still held in an unfinished line are not in these until finish().
    ByteOutcomes byteOutcomes() const;

private:
    static void binaryMessage(void* user, const Message& message);
    void deliver(const Message& message);
    void feedDecided(const char* data, std::size_t size);
    void feedText(const char* data, std::size_t size);
    bool decideKind(bool atEnd);
    void endLine();
    // One line as it came (line end included) and the class of its text.
    void readTextLine(std::string_view raw, std::string_view text, LineFormat format);

    GatewaySink& sink_;
    StreamKind kind_;
    LineFormat forced_;
    static constexpr int kProbeSize = 256;
    int probed_ = 0;
    char probe_[kProbeSize] = {};
    bool overlong_ = false;
    int length_ = 0;
    std::uint64_t delivered_ = 0;
    LineCounters lines_;
    ByteOutcomes bytes_;
    Reassembler reassembler_;
    Ngt1Unframer ngt1_;
    EblUnframer ebl_;
    LineOutput output_;
    char line_[kMaxLineLength + 1] = {};
};

}  // namespace n2k
