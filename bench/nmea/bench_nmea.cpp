// Throughput of the NMEA core over a realistic mixed log of all 26 types: framing,
// checksum, splitting, dispatch and field conversion. A memchr scan of the same
// buffer runs beside it as the physical reference of the machine.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "allocation_counter.h"
#include "mixed_log.h"
#include "nmea/decimal.h"
#include "nmea/parser_context.h"
#include "nmea/sentence_parsers.h"

namespace nmeaz {
namespace {

const bench::MixedLog& mixedLog() {
    static const bench::MixedLog log = bench::buildMixedLog(4 << 20);
    return log;
}

ParserContext context;

// The whole parse cycle's work: one context, every parser registered, the buffer fed
// from start to end and every code taken.
void BM_ParseMixedLog(benchmark::State& state) {
    const bench::MixedLog& log = mixedLog();
    long codes = 0;
    long allocationsDuringRuns = 0;
    for (auto _ : state) {
        const long before = bench::allocationCount();
        init(&context);
        registerSentenceParsers(&context, parseVdmFields);
        const char* data = log.bytes.data();
        int remaining = static_cast<int>(log.bytes.size());
        while (remaining > 0) {
            int length = remaining;
            const int code = feedBuffer(&context, data, &length);
            data += remaining - length;
            remaining = length;
            codes += code != 0;
        }
        allocationsDuringRuns += bench::allocationCount() - before;
        benchmark::DoNotOptimize(context);
    }
    if (codes != static_cast<long>(state.iterations()) * log.sentences) {
        state.SkipWithError("sentence count differs from the log's");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.bytes.size()));
    state.counters["sentences/s"] =
        benchmark::Counter(static_cast<double>(codes), benchmark::Counter::kIsRate);
    state.counters["allocs/sentence"] =
        codes > 0 ? static_cast<double>(allocationsDuringRuns) / static_cast<double>(codes) : 0.0;
}
BENCHMARK(BM_ParseMixedLog)->Unit(benchmark::kMillisecond);

// The same with the line counters attached, as the monitor and the decoder run it:
// counting must cost next to nothing.
void BM_ParseMixedLogCounted(benchmark::State& state) {
    const bench::MixedLog& log = mixedLog();
    LineCounters counters{};
    for (auto _ : state) {
        init(&context);
        registerSentenceParsers(&context, parseVdmFields);
        watchLine(&context, &counters, nullptr, nullptr);
        const char* data = log.bytes.data();
        int remaining = static_cast<int>(log.bytes.size());
        while (remaining > 0) {
            int length = remaining;
            feedBuffer(&context, data, &length);
            data += remaining - length;
            remaining = length;
        }
        benchmark::DoNotOptimize(context);
    }
    // The log also holds types nobody registered: accepted, but unknown.
    if (counters.accepted - counters.unknownType !=
            static_cast<std::uint64_t>(state.iterations()) * log.sentences ||
        counters.bytes != static_cast<std::uint64_t>(state.iterations()) * log.bytes.size()) {
        state.SkipWithError("counted sentences or bytes differ from the log's");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.bytes.size()));
}
BENCHMARK(BM_ParseMixedLogCounted)->Unit(benchmark::kMillisecond);

// Framing, checksum and splitting alone: nothing registered, so every sentence is
// split and then dropped without a parser.
void BM_FramingOnly(benchmark::State& state) {
    const bench::MixedLog& log = mixedLog();
    for (auto _ : state) {
        init(&context);
        int length = static_cast<int>(log.bytes.size());
        benchmark::DoNotOptimize(feedBuffer(&context, log.bytes.data(), &length));
        benchmark::DoNotOptimize(context);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.bytes.size()));
}
BENCHMARK(BM_FramingOnly)->Unit(benchmark::kMillisecond);

// The physical reference: the fastest way to touch every byte looking for line ends.
void BM_MemchrReference(benchmark::State& state) {
    const bench::MixedLog& log = mixedLog();
    for (auto _ : state) {
        const char* p = log.bytes.data();
        const char* end = p + log.bytes.size();
        long lines = 0;
        while ((p = static_cast<const char*>(
                    std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) {
            ++p;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.bytes.size()));
}
BENCHMARK(BM_MemchrReference)->Unit(benchmark::kMillisecond);

// Field conversion on its own: the numbers of a GGA sentence.
void BM_DecimalToDouble(benchmark::State& state) {
    const char* fields[] = {"123519.00", "4807.0380", "01131.0000", "0.9",
                            "545.4",     "46.9",      "-2.5",       "1.7976931348623157e308"};
    long count = 0;
    for (auto _ : state) {
        for (const char* f : fields)
            benchmark::DoNotOptimize(decimalToDouble(f));
        count += static_cast<long>(std::size(fields));
    }
    state.counters["conversions/s"] =
        benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecimalToDouble);

}  // namespace
}  // namespace nmeaz

BENCHMARK_MAIN();
