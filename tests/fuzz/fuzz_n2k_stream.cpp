// Any bytes through the streaming gateway reader (text of every format, NGT-1 or
// EBL as the first byte decides), cut into reads of every size: every byte must end
// in exactly one outcome, and every PGN delivered must be one that can exist. With
// FUZZ_N2K_BINARY set to 1 (NGT-1) or 2 (EBL) the binary unframers are fuzzed on
// their own instead.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "n2k/ebl_unframer.h"
#include "n2k/gateway_reader.h"
#include "n2k/ngt1_unframer.h"

namespace {

using namespace n2k;

void require(bool condition) {
    if (!condition)
        std::abort();
}

[[maybe_unused]] bool oddIsFast(const void*, std::uint32_t pgn) {
    return (pgn & 1) != 0;
}

void checkMessage(const Message& m) {
    require(m.length >= 0 && m.length <= kMaxPayload);
    require(m.priority <= 7);
    require(m.pgn <= 0x3FFFF);
}

class [[maybe_unused]] CheckingSink : public GatewaySink {
public:
    void onMessage(const Message& m) override { checkMessage(m); }
    void onNmea0183Line(std::string_view line) override {
        require(!line.empty() &&
                (line[0] == '$' || line[0] == '!' || line[0] == ' ' || line[0] == '\t'));
    }
};

[[maybe_unused]] void onMessage(void*, const Message& m) {
    checkMessage(m);
}

[[maybe_unused]] std::uint64_t total(const BinaryCounters& c) {
    return c.bytesInMessages + c.bytesInOtherCommands + c.bytesInLogRecords + c.bytesGarbage;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t piece = 1u + data[0] % 97u;
    const std::uint8_t* bytes = data + 1;
    const std::size_t length = size - 1;
#if defined(FUZZ_N2K_BINARY)
    using Unframer = std::conditional_t<FUZZ_N2K_BINARY == 1, Ngt1Unframer, EblUnframer>;
    static Unframer unframer(&onMessage, nullptr);
    unframer = Unframer(&onMessage, nullptr);
    for (std::size_t at = 0; at < length; at += piece)
        unframer.feed(bytes + at, length - at < piece ? length - at : piece);
    unframer.finish();
    require(total(unframer.counters()) == length);
#else
    static CheckingSink sink;
    static GatewayReader* reader = nullptr;
    delete reader;
    reader = new GatewayReader(sink, FastPacketList{&oddIsFast, nullptr});
    for (std::size_t at = 0; at < length; at += piece)
        reader->feed(reinterpret_cast<const char*>(bytes) + at,
                     length - at < piece ? length - at : piece);
    reader->finish();
    require(reader->byteOutcomes().total() == length);
#endif
    return 0;
}
