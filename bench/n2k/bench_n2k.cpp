// Run from the release build:  bench/n2k/bench_n2k
// BM_DecodeSingleFrame reports PGNs per second (items_per_second); BM_LoadDatabase
// the time the programs spend loading the database at start-up.
#include <benchmark/benchmark.h>

#include <QString>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "n2k/pgn_decoder.h"
#include "n2k_db/database_loader.h"
#include "present/n2k_named.h"

namespace {

const n2k::PgnDatabase& database() {
    static const n2k::PgnDatabase db = [] {
        n2k::PgnDatabase loaded;
        QString error;
        if (!n2kdb::loadPgnDatabase(QStringLiteral(TIDEWRIGHT_PGN_DATABASE_FILE), loaded, error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::abort();
        }
        return loaded;
    }();
    return db;
}

// The single-frame traffic of a typical instrument bus: position, heading, rate of
// turn, attitude, depth, wind, temperature, engine speed.
std::vector<n2k::Message> busTraffic() {
    struct Sample {
        std::uint32_t pgn;
        std::vector<std::uint8_t> bytes;
    };
    const Sample samples[] = {
        {129025, {0x87, 0x1C, 0xD6, 0x23, 0x3F, 0xD0, 0xE4, 0x0E}},
        {127250, {0x00, 0x5C, 0x3D, 0xFF, 0x7F, 0xFF, 0x7F, 0xFD}},
        {127251, {0x00, 0x10, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF}},
        {127257, {0x00, 0x10, 0x00, 0x20, 0x00, 0x30, 0x00, 0xFF}},
        {128267, {0x00, 0xE8, 0x03, 0x00, 0x00, 0x64, 0x00, 0xFF}},
        {130306, {0x01, 0x02, 0x02, 0x5C, 0x3D, 0xFA, 0xFF, 0xFF}},
        {130312, {0x01, 0x02, 0x01, 0x31, 0x75, 0xFF, 0xFF, 0xFF}},
        {127488, {0x00, 0x40, 0x1F, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}},
        {129026, {0x00, 0xFC, 0x10, 0x27, 0x02, 0x01, 0xFF, 0xFF}},
    };
    std::vector<n2k::Message> messages(std::size(samples));
    for (std::size_t i = 0; i < messages.size(); ++i) {
        messages[i].pgn = samples[i].pgn;
        messages[i].priority = 2;
        messages[i].source = 3;
        messages[i].length = static_cast<int>(samples[i].bytes.size());
        std::memcpy(messages[i].data, samples[i].bytes.data(), samples[i].bytes.size());
    }
    return messages;
}

void BM_DecodeSingleFrame(benchmark::State& state) {
    const auto messages = busTraffic();
    n2k::PgnDecoder decoder(database());
    auto record = std::make_unique<n2k::DecodedPgn>();
    std::size_t i = 0;
    for (auto _ : state) {
        decoder.decode(messages[i], *record);
        benchmark::DoNotOptimize(record->count);
        i = i + 1 == messages.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_DecodeSingleFrame);

void BM_NamedJsonSingleFrame(benchmark::State& state) {
    const auto messages = busTraffic();
    n2k::PgnDecoder decoder(database());
    auto record = std::make_unique<n2k::DecodedPgn>();
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        out.clear();
        decoder.decode(messages[i], *record);
        present::appendNamedPgn(database(), messages[i], *record, out);
        benchmark::DoNotOptimize(out.data());
        i = i + 1 == messages.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_NamedJsonSingleFrame);

void BM_LoadDatabase(benchmark::State& state) {
    for (auto _ : state) {
        n2k::PgnDatabase db;
        QString error;
        if (!n2kdb::loadPgnDatabase(QStringLiteral(TIDEWRIGHT_PGN_DATABASE_FILE), db, error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        benchmark::DoNotOptimize(db.pgns().data());
    }
}
BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
