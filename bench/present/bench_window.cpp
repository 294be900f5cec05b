// The main window itself, offscreen with its inspector attached, fed a mixed log of
// all 26 types in 64-byte chunks through a pseudo-terminal, as a port read delivers
// them: readyRead, readMyCom, the parse cycle with the inspector's tables, the
// snapshots (written to a scratch directory) and the raw pane.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/globals.h"
#include "app/main_window.h"
#include "mixed_log.h"
#include "support/setup_answer.h"

namespace {

struct Line {
    int master = -1;
    int slave = -1;
    QString path;
};

Line openLine() {
    Line line;
    char name[256] = {};
    if (::openpty(&line.master, &line.slave, name, nullptr, nullptr) != 0) {
        return {};
    }
    termios raw{};
    ::tcgetattr(line.slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(line.slave, TCSANOW, &raw);
    line.path = QString::fromLocal8Bit(name);
    ::fcntl(line.master, F_SETFL, ::fcntl(line.master, F_GETFL) | O_NONBLOCK);
    return line;
}

// The snapshots go to memory when the machine offers a tmpfs at /dev/shm, else to
// the temporary directory; TIDEWRIGHT_SCRATCH names another place.
QString scratchTemplate() {
    QString base = qEnvironmentVariable("TIDEWRIGHT_SCRATCH");
    if (base.isEmpty()) {
        base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                         : QDir::tempPath();
    }
    return base + QStringLiteral("/tidewright-bench-XXXXXX");
}

struct Rig {
    QTemporaryDir runtime;
    QTemporaryDir scratch{scratchTemplate()};
    Line line;
    std::unique_ptr<MainWindow> window;
    bool ready = false;

    Rig() {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QDir::setCurrent(scratch.path());  // the snapshots land here
        line = openLine();
        if (line.master < 0) {
            return;
        }
        // The terminal itself, not a link dressed as a simulator's: the window refuses
        // a simulator link whose simulator does not hold its lock (none runs here), and
        // would wait for its warning to be answered.
        testsupport::answerSetup(line.path);
        window = std::make_unique<MainWindow>();
        ready = comOpened;
    }
};

// Built on first use, gone before the application object.
std::unique_ptr<Rig> rig;

// Builds the window on first use; false (and the run skipped) when it could not
// open its port.
bool windowReady(benchmark::State& state) {
    if (!rig) {
        rig = std::make_unique<Rig>();
    }
    if (!rig->ready) {
        state.SkipWithError("the window could not open the pseudo-terminal");
    }
    return rig->ready;
}

// Runs the event loop until the window has gone quiet: no event for 20 ms.
void settle() {
    QTimer quiet;
    quiet.setSingleShot(true);
    bool done = false;
    QObject::connect(&quiet, &QTimer::timeout, [&done] { done = true; });
    while (!done) {
        quiet.start(20);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (quiet.isActive() && !done) {
            continue;
        }
    }
}

void BM_WindowFedInChunks(benchmark::State& state) {
    if (!windowReady(state)) {
        return;
    }
    static const benchlog::MixedLog log = benchlog::mixedLog(1 << 17);
    const qsizetype chunk = state.range(0);
    long long sentences = 0;
    for (auto _ : state) {
        // The port gathers what arrives for a while before handing it on, so a write
        // is not answered at once: the writer goes on while the line takes bytes, and
        // waits for the window only when the line is full.
        for (qsizetype at = 0; at < log.bytes.size();) {
            const qsizetype n = std::min(chunk, log.bytes.size() - at);
            const ssize_t written =
                ::write(rig->line.master, log.bytes.constData() + at, static_cast<size_t>(n));
            if (written > 0) {
                at += written;
                QCoreApplication::processEvents();
            } else if (written < 0 && errno == EAGAIN) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            } else {
                state.SkipWithError("write to the pseudo-terminal failed");
                return;
            }
        }
        // Whatever is still in flight arrives before the clock stops.
        settle();
        sentences += log.sentences;
    }
    state.SetBytesProcessed(state.iterations() * log.bytes.size());
    state.counters["sentences/s"] =
        benchmark::Counter(static_cast<double>(sentences), benchmark::Counter::kIsRate);
    state.counters["snapshot files"] =
        static_cast<double>(QDir(rig->scratch.path()).entryList(QDir::Files).size());
}
BENCHMARK(BM_WindowFedInChunks)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

// Feeds a 4 MiB mixed log to the window in chunks of the benchmark's argument, one
// call of read per chunk, and reports bytes and sentences per second. With settle,
// each round also waits until the window has done what the reads left pending
// (text waiting for the raw pane is part of the work).
template <class Read>
void feedInChunks(benchmark::State& state, Read read, bool settleAfter = false) {
    if (!windowReady(state)) {
        return;
    }
    static const benchlog::MixedLog log = benchlog::mixedLog(4 << 20);
    const qsizetype chunk = state.range(0);
    for (auto _ : state) {
        for (qsizetype at = 0; at < log.bytes.size(); at += chunk) {
            read(log.bytes.mid(at, chunk));
        }
        if (settleAfter) {
            settle();
        }
    }
    state.SetBytesProcessed(state.iterations() * log.bytes.size());
    state.counters["sentences/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * log.sentences), benchmark::Counter::kIsRate);
}

// The read path of the window without the terminal: each chunk is appended to the
// receive buffer and parsed by the window's parse step, as readMyCom does with what
// the port delivered, so the inspector's tables and the snapshots are all updated.
// The raw pane's echo (the rest of readMyCom) is left out: it is the same for any
// data and is measured by the run above.
void BM_WindowParseStep(benchmark::State& state) {
    feedInChunks(state, [](const QByteArray& chunk) {
        receiveBuffer.append(chunk);
        rig->window->on_actionParse_triggered();
    });
}
BENCHMARK(BM_WindowParseStep)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

// Everything a port read does with its bytes, without the terminal: each 64-byte
// chunk goes through the window's receiveChunk (receive buffer, parse step with the
// inspector's tables and the snapshots, then the raw pane and the recording), and
// the event loop runs between reads as it does between port notifications.
void BM_WindowReceivesChunks(benchmark::State& state) {
    feedInChunks(
        state,
        [](const QByteArray& chunk) {
            rig->window->receiveChunk(chunk);
            QCoreApplication::processEvents();
        },
        true);
}
BENCHMARK(BM_WindowReceivesChunks)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rig.reset();
    return 0;
}
