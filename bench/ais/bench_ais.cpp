// Throughput of the AIS path: framing, parseVdm with fragment assembly, and the
// message decoder, over an AIS-only stream that holds every decoded type both as a
// one-sentence and as a two-sentence message.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ais/decoders.h"
#include "ais/vdm.h"
#include "nmea/checksum.h"
#include "nmea/parser_context.h"
#include "nmea/sentence_parsers.h"

namespace {

// Real payloads (libais and gpsd captures), one per decoded type.
const char* const kPayloads[] = {
    "15N1u<PP1FJuvSRHOE6QIwwh0HQ6",                                             // 1
    "2T8Mur>pJNw77ks5q?7mdfhoOgMo",                                             // 2
    "39NWra1001rsuRPHA6Na8afl0000",                                             // 3
    "403Ovl@000Htt<tSF0l4Q@100`Pq",                                             // 4
    "53eaFL02?;fwTPm7V219E@R1@PE8E<622222221@9hG1A7?@NCPSlm3kc5DhH8888888880",  // 5
    "9muc;QvN2`TG6BE76wm;U7u>K>?b",                                             // 9
    ">IgoUswo3Q6?Ah",                                                           // 14
    "B5MiOp0006g4up6:EV403wr5oP06",                                             // 18
    "C5N3SRgPEnJGEBT>NhWAwwo862PaLELTBJ:V00000000S0D:R220",                     // 19
    "E<eNSpRtjkGoqmIsgm`>ekv92?KN9R<Man9UV;cwLhuFLh",                           // 21
    "H5MiOp1:uJ0MDhJ0<P4hhDpLE80",                                              // 24
};

std::string sentence(const std::string& body) {
    return nmeaz::framedSentence('!', body);
}

struct Stream {
    std::string bytes;
    int messages = 0;
};

Stream makeStream(int rounds) {
    Stream stream;
    int sequence = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const std::string payload : kPayloads) {
            stream.bytes += sentence("AIVDM,1,1,,A," + payload + ",0");
            const std::string id = std::to_string(sequence);
            sequence = (sequence + 1) % 10;
            const std::size_t half = payload.size() / 2;
            stream.bytes += sentence("AIVDM,2,1," + id + ",B," + payload.substr(0, half) + ",0");
            stream.bytes += sentence("AIVDM,2,2," + id + ",B," + payload.substr(half) + ",0");
            stream.messages += 2;
        }
    }
    return stream;
}

union AnyRecord {
    ais::AisPositionReport position;
    ais::AisMessage5 message5;
    ais::AisMessage14 message14;
    ais::AisMessage19 message19;
    ais::AisMessage24 message24;
};

void BM_AisStream(benchmark::State& state) {
    const Stream stream = makeStream(100);
    nmeaz::ParserContext context;
    AnyRecord record;
    for (auto _ : state) {
        nmeaz::init(&context);
        nmeaz::registerSentenceParsers(&context, ais::parseVdm);
        const char* data = stream.bytes.data();
        const int total = static_cast<int>(stream.bytes.size());
        int offset = 0;
        int decoded = 0;
        while (offset < total) {
            int left = total - offset;
            const int code = nmeaz::feedBuffer(&context, data + offset, &left);
            offset = total - left;
            if (code > nmeaz::kCodeAisBase) {
                if (const auto* layout = ais::aisLayoutFor(code - nmeaz::kCodeAisBase)) {
                    decoded += ais::aisDecode(*layout, ais::aisPayloadBuffer, &record);
                }
            }
        }
        benchmark::DoNotOptimize(record);
        if (decoded != stream.messages) {
            state.SkipWithError("not every message was decoded");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * stream.messages);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(stream.bytes.size()));
    state.counters["messages/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * stream.messages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AisStream);

// The decoders alone, on the payload of each type.
void BM_Decode(benchmark::State& state) {
    const char* payload = kPayloads[state.range(0)];
    const ais::AisMessageLayout& layout = *ais::aisLayoutFor(ais::aisMessageType(payload));
    AnyRecord record;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ais::aisDecode(layout, payload, &record));
        benchmark::ClobberMemory();
    }
    state.SetLabel("message " + std::to_string(layout.messageType));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Decode)->DenseRange(0, 10);

}  // namespace
