// Speed of the presentation path without a window: tidewright-decode over a mixed
// log, and the parse cycle over a receive buffer that never completes a sentence.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "mixed_log.h"
#include "present/conformance_log.h"
#include "present/parse_cycle.h"

extern char** environ;

namespace {

class NullSink : public present::CycleSink {
public:
    long long separators = 0;
    void resultList(int, const QStringList&) override {}
    void resultText(int, const QString&) override {}
    void snapshot(int, void*) override {}
    void separator() override { ++separators; }
};

// What BM_Decode runs over the log: tidewright-decode in one of its forms, or the
// reference decoder the speed targets are stated against. --lint must keep at least
// half the speed of --named over the same log.
enum DecodeForm { kJsonLines = 0, kSummary = 1, kNamed = 2, kReference = 3, kLint = 4 };

// The reference: `gpsdecode -u -j` of the Debian package gpsd-clients, reading the
// log on its standard input.
constexpr char kReferenceDecoder[] = "/usr/bin/gpsdecode";

// Runs the decoder with its output sent to /dev/null; false when it failed.
bool runDecoder(const QByteArray& file, DecodeForm form) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    QByteArray program = form == kReference ? kReferenceDecoder : TIDEWRIGHT_DECODE_PATH;
    QByteArray option = form == kSummary ? "--summary"
                        : form == kNamed ? "--named"
                        : form == kLint  ? "--lint"
                                         : "-u";
    QByteArray json = "-j";
    QByteArray path = file;
    char* withOption[] = {program.data(), option.data(), path.data(), nullptr};
    char* jsonLines[] = {program.data(), path.data(), nullptr};
    char* reference[] = {program.data(), option.data(), json.data(), nullptr};
    if (form == kReference) {
        // It complains about every message it finds malformed; the complaints are not
        // what is measured.
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, path.constData(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr,
                                    form == kReference   ? reference
                                    : form == kJsonLines ? jsonLines
                                                         : withOption,
                                    environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    // --lint exits with 1 when it found an error: a finding, not a failure.
    return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           (WEXITSTATUS(status) == 0 || (form == kLint && WEXITSTATUS(status) == 1));
}

// tidewright-decode over a 16 MB mixed log of many types; the argument is the
// DecodeForm (3: the reference decoder over the same file, in the same run).
void BM_Decode(benchmark::State& state) {
    const auto form = static_cast<DecodeForm>(state.range(0));
    if (form == kReference && access(kReferenceDecoder, X_OK) != 0) {
        state.SkipWithError("gpsdecode is not installed (Debian package gpsd-clients)");
        return;
    }
    static QTemporaryDir dir;
    static const benchlog::MixedLog log = benchlog::mixedLog(16 << 20);
    const QByteArray path = QFile::encodeName(dir.filePath("mixed.log"));
    if (!QFile::exists(dir.filePath("mixed.log"))) {
        QFile file(dir.filePath("mixed.log"));
        if (!file.open(QIODevice::WriteOnly) || file.write(log.bytes) != log.bytes.size()) {
            state.SkipWithError("cannot write the log");
            return;
        }
    }
    for (auto _ : state) {
        if (!runDecoder(path, form)) {
            state.SkipWithError("tidewright-decode failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * log.bytes.size());
    state.counters["sentences/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * log.sentences), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Decode)
    ->Arg(kSummary)
    ->Arg(kJsonLines)
    ->Arg(kNamed)
    ->Arg(kLint)
    ->Arg(kReference)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One cycle over a buffer holding a sentence that is never completed, after `reads`
// earlier cycles over it (each adding 64 bytes of noise in front of it the first
// time): its cost must not depend on how long the line has been silent or noisy.
void BM_PartialSentenceCycle(benchmark::State& state) {
    const QByteArray partial = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4";
    const QByteArray noise(64, '\x55');
    QByteArray buffer = noise + partial;
    NullSink sink;
    for (long long read = 0; read < state.range(0); ++read) {
        present::runParseCycle(buffer, sink);
        buffer.prepend(noise);
    }
    for (auto _ : state) {
        present::runParseCycle(buffer, sink);
    }
    state.counters["buffer bytes"] = static_cast<double>(buffer.size());
}
BENCHMARK(BM_PartialSentenceCycle)->Arg(1)->Arg(1000)->Arg(1000000);

// What the monitor adds per framed sentence for the conformance rules: the checker
// and the session log, over the mixed log's lines as the frame hook hands them over.
// At 38400 baud a line carries about 80 sentences a second.
void BM_ConformanceLog(benchmark::State& state) {
    static const benchlog::MixedLog log = benchlog::mixedLog(1 << 20);
    QList<QByteArray> lines = log.bytes.split('\n');
    lines.removeAll(QByteArray());
    for (QByteArray& line : lines)
        line += '\n';
    present::ConformanceLog conformance;
    long long checked = 0;
    for (auto _ : state) {
        for (const QByteArray& line : lines) {
            conformance.check(line);
            ++checked;
        }
    }
    benchmark::DoNotOptimize(conformance.errors());
    state.counters["sentences/s"] =
        benchmark::Counter(static_cast<double>(checked), benchmark::Counter::kIsRate);
    state.counters["findings"] = static_cast<double>(conformance.errors() + conformance.warnings());
}
BENCHMARK(BM_ConformanceLog)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
