// Throughput of the AIS path: framing, parseVdm with fragment assembly, and the
// message decoder, over AIS-only streams that hold each of their types both as a
// one-sentence and as a two-sentence message: the mixed stream of the eleven classic
// types, and a stream of every type, each once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "ais/decoders.h"
#include "ais/layout.h"
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

// Real payloads of the later types (libais; gpsd for the meteorological message 8).
const char* const kLaterPayloads[] = {
    "603Owlh0>5Q@04000000",                                          // 6
    "71AqOpwIFFI:vJCjWejS9I:QGsFw",                                  // 7
    "803Ovrh0EP:024`@02PN04da=3V<>N0000",                            // 8
    "8>jR06@0Gwli:QQUP3en?wvlFR06EuOwgwl?wnSwe7wvlOwwsAwwnSGmwvh0",  // 8, DAC 1 FID 31
    ":KeoLe9SVU;H",                                                  // 10
    ";5NDk68>1pJtJ68HggG88R4fP0GP",                                  // 11
    "<NnJ4`u1=C7>qV3?qoRm",                                          // 12
    "=nq@w7AlOpV<",                                                  // 13
    "?w>DNkiVT>Qp8eMvd@",                                            // 15
    "@TFtghNJ4G5?C7mV",                                              // 16
    "AwoiGRg:tOw>>9n5f9u>rOvwkraEe6ON",                              // 17
    "DD2r994wluqiIJv<ah",                                            // 20
    "F030p>R2N2P6jIA`2eTjS@520000",                                  // 22
    "G<U;5jqWt?Moo=qw958B4dkOC;T",                                   // 23
    "I;=w>`IRvRwqhWd",                                               // 25
    "J?Amrcw9LwuO7b9nHgeD?SVS5U8doUvtuwAQ",                          // 26
    "KvQ:1o`7EBrBQ`?w",                                              // 27
};

std::string sentence(const std::string& body) {
    return nmeaz::framedSentence('!', body);
}

struct Stream {
    std::string bytes;
    int messages = 0;
};

Stream makeStream(int rounds, bool everyType) {
    std::vector<std::string> payloads(std::begin(kPayloads), std::end(kPayloads));
    if (everyType) {
        payloads.insert(payloads.end(), std::begin(kLaterPayloads), std::end(kLaterPayloads));
    }
    Stream stream;
    int sequence = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const std::string& payload : payloads) {
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

// Room for a record of any type.
constexpr std::size_t largestRecord() {
    std::size_t size = 0;
    for (const ais::AisMessageLayout& layout : ais::kAisLayouts) {
        size = std::max(size, layout.recordSize);
    }
    return size;
}
struct AnyRecord {
    alignas(8) unsigned char bytes[largestRecord()];
};

// state.range(0): 0 for the classic mixed stream, 1 for every type.
void BM_AisStream(benchmark::State& state) {
    const Stream stream = makeStream(100, state.range(0) == 1);
    nmeaz::ParserContext context;
    AnyRecord record;
    for (auto _ : state) {
        nmeaz::init(&context);
        nmeaz::registerSentenceParsers(&context, ais::parseVdm);
        ais::registerVdo(&context);
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
                    decoded += ais::aisDecode(*layout, ais::aisPayloadBuffer, &record,
                                              ais::aisPayloadFillBits);
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
BENCHMARK(BM_AisStream)->ArgName("every_type")->Arg(0)->Arg(1);

// The decoders alone, on the payload of each type.
void BM_Decode(benchmark::State& state) {
    constexpr int kClassic = static_cast<int>(std::size(kPayloads));
    const int index = static_cast<int>(state.range(0));
    const char* payload = index < kClassic ? kPayloads[index] : kLaterPayloads[index - kClassic];
    const ais::AisMessageLayout& layout = *ais::aisLayoutFor(ais::aisMessageType(payload));
    AnyRecord record;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ais::aisDecode(layout, payload, &record));
        benchmark::ClobberMemory();
    }
    state.SetLabel("message " + std::to_string(layout.messageType));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Decode)->DenseRange(0, 27);

}  // namespace
