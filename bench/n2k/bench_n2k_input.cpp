// Frames per second through the NMEA 2000 input side: gateway text cut into lines,
// read, and reassembled into whole PGNs, as a monitor on a busy bus runs it. The
// log is synthetic but shaped like a real bus: mostly single-frame PGNs, with fast
// packets of several sources interleaved.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "n2k/can_id.h"
#include "n2k/gateway_reader.h"
#include "n2k/line_writer.h"
#include "n2k/reassembler.h"

namespace n2k {
namespace {

bool isFast(const void*, std::uint32_t pgn) {
    return pgn == 129029 || pgn == 129540 || pgn == 126996;
}

struct BusLog {
    std::vector<Frame> frames;
    std::string ydwg;
    std::string candump;
    std::string plain;
};

// Every tenth PGN a fast packet, from one of four sources, their frames interleaved.
BusLog buildBusLog(int pgns) {
    BusLog log;
    const std::uint32_t singles[] = {129025, 129026, 127250, 127251, 130306, 128267, 127257};
    std::vector<std::vector<Frame>> open;
    std::uint8_t sequence = 0;
    for (int i = 0; i < pgns; ++i) {
        Message m;
        m.priority = 2;
        m.source = static_cast<std::uint8_t>(1 + i % 4);
        m.timeMs = 1000 + i;
        const bool fast = i % 10 == 9;
        m.pgn = fast ? 129029 : singles[i % 7];
        m.length = fast ? 43 : 8;
        for (int b = 0; b < m.length; ++b)
            m.data[b] = static_cast<std::uint8_t>(i + b);
        Frame frames[32];
        const int n = framesOf(m, fast, sequence++ & 7, frames, 32);
        open.emplace_back(frames, frames + n);
        // Interleave: one frame from each open packet in turn.
        if (open.size() == 3 || i == pgns - 1) {
            for (std::size_t f = 0; f < 8; ++f)
                for (const auto& packet : open)
                    if (f < packet.size())
                        log.frames.push_back(packet[f]);
            open.clear();
        }
    }
    char line[256];
    for (const Frame& f : log.frames) {
        log.ydwg.append(line, static_cast<std::size_t>(writeYdwgLine(f, line, sizeof line)));
        log.ydwg += "\r\n";
        log.candump.append(
            line, static_cast<std::size_t>(writeCandumpLine(f, "can0", line, sizeof line)));
        log.candump += '\n';
        log.plain.append(line, static_cast<std::size_t>(writePlainFrame(f, line, sizeof line)));
        log.plain += '\n';
    }
    return log;
}

const BusLog& busLog() {
    static const BusLog log = buildBusLog(100000);
    return log;
}

class CountingSink : public GatewaySink {
public:
    void onMessage(const Message& m) override {
        bytes += m.length;
        ++messages;
    }
    long messages = 0;
    long bytes = 0;
};

void readText(benchmark::State& state, const std::string& text) {
    const BusLog& log = busLog();
    CountingSink sink;
    auto reader = std::make_unique<GatewayReader>(sink, FastPacketList{&isFast, nullptr});
    long allocations = 0;
    for (auto _ : state) {
        const long before = nmeaz::bench::allocationCount();
        reader->feed(text.data(), text.size());
        allocations += nmeaz::bench::allocationCount() - before;
    }
    if (reader->reassemblyCounters().fastPacketErrors() != 0)
        state.SkipWithError("the synthetic bus log reassembled with errors");
    const auto frames = static_cast<double>(state.iterations() * log.frames.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["PGNs/s"] =
        benchmark::Counter(static_cast<double>(sink.messages), benchmark::Counter::kIsRate);
    state.counters["allocs/frame"] = static_cast<double>(allocations) / frames;
}

void BM_YdwgText(benchmark::State& state) {
    readText(state, busLog().ydwg);
}
BENCHMARK(BM_YdwgText)->Unit(benchmark::kMillisecond);

void BM_CandumpText(benchmark::State& state) {
    readText(state, busLog().candump);
}
BENCHMARK(BM_CandumpText)->Unit(benchmark::kMillisecond);

void BM_PlainText(benchmark::State& state) {
    readText(state, busLog().plain);
}
BENCHMARK(BM_PlainText)->Unit(benchmark::kMillisecond);

// Reassembly alone, on frames already read.
void BM_Reassembly(benchmark::State& state) {
    const BusLog& log = busLog();
    auto reassembler = std::make_unique<Reassembler>(FastPacketList{&isFast, nullptr});
    long messages = 0;
    for (auto _ : state) {
        for (const Frame& f : log.frames)
            messages += reassembler->feed(f) != nullptr;
    }
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * log.frames.size()), benchmark::Counter::kIsRate);
    state.counters["PGNs/s"] =
        benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Reassembly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace n2k

BENCHMARK_MAIN();
