// Any bytes as one line of one NMEA 2000 gateway format (chosen at build time by
// FUZZ_N2K_FORMAT, one target per format): whatever the reader makes of it must be
// a frame or PGN that can exist, it must pass through reassembly, and a frame must
// read back the same after the writers (where the format has one) wrote it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "n2k/can_id.h"
#include "n2k/gateway_format.h"
#include "n2k/line_writer.h"
#include "n2k/reassembler.h"

#ifndef FUZZ_N2K_FORMAT
#define FUZZ_N2K_FORMAT Ydwg
#endif

namespace {

using namespace n2k;

constexpr LineFormat kFormat = LineFormat::FUZZ_N2K_FORMAT;

void require(bool condition) {
    if (!condition)
        std::abort();
}

// Odd PGNs travel as fast packets here, so both paths are taken.
bool oddIsFast(const void*, std::uint32_t pgn) {
    return (pgn & 1) != 0;
}

Reassembler reassembler{FastPacketList{&oddIsFast, nullptr}};
LineOutput output;
LineOutput again;
char written[8192];

bool sameFrame(const Frame& a, const Frame& b) {
    if (a.canId != b.canId || a.length != b.length)
        return false;
    for (int i = 0; i < a.length; ++i) {
        if (a.data[i] != b.data[i])
            return false;
    }
    return true;
}

void roundTrip(const Frame& frame) {
    int n = -1;
    if (kFormat == LineFormat::Ydwg)
        n = writeYdwgLine(frame, written, sizeof written);
    else if (kFormat == LineFormat::Candump)
        n = writeCandumpLine(frame, "can0", written, sizeof written);
    else if (kFormat == LineFormat::Plain)
        n = writePlainFrame(frame, written, sizeof written);
    else
        return;
    require(n > 0);
    const std::string_view text(written, static_cast<std::size_t>(n));
    require(readLine(kFormat, text, again) == LineKind::Frame);
    if (kFormat == LineFormat::Plain) {
        // PLAIN keeps the PGN and addresses, not the identifier bits of a PDU2
        // destination; compare what it keeps.
        require(decodeCanId(again.frame.canId) == decodeCanId(frame.canId));
        require(again.frame.length == frame.length);
        return;
    }
    require(sameFrame(again.frame, frame));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    (void)classifyLine(line);
    switch (readLine(kFormat, line, output)) {
        case LineKind::Frame: {
            const Frame& f = output.frame;
            require(f.length <= 8);
            require(f.canId <= 0x1FFFFFFF);
            if (const Message* m = reassembler.feed(f))
                require(m->length >= 0 && m->length <= kMaxPayload);
            roundTrip(f);
            break;
        }
        case LineKind::Message: {
            const Message& m = output.message;
            require(m.length >= 0 && m.length <= kMaxPayload);
            require(m.priority <= 7);
            require(m.pgn <= 0x3FFFF);
            break;
        }
        case LineKind::Status:
        case LineKind::NotThisFormat:
        case LineKind::Malformed:
            break;
    }
    return 0;
}
