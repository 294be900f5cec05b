// A stream without line ends: megabytes of '$' (40 MB by default) fed through a
// pseudo-terminal as fast as the monitor takes them, then one valid GGA sentence.
// Reports the process's memory (idle after the port opened, peak during the flood:
// within 150 MB of idle), the longest time the event loop did not answer during the
// flood (a menu opened then would wait that long: at most 1 s), and how long after
// the flood the sentence's snapshot gga.xml was written (at most 2 s).
//
// Usage: tw_app_flood [megabytes]
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <thread>

#include "app/main_window.h"
#include "bench/app/process_status.h"
#include "serial/setup_dialog.h"

namespace {

constexpr qint64 kAllowedGrowth = 150LL * 1024 * 1024;
constexpr qint64 kAllowedStallMs = 1000;
constexpr qint64 kAllowedParseDelayMs = 2000;

bool writeAll(int fd, const char* data, qint64 length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(std::min<qint64>(4096, length)));
        if (n < 0) {
            return false;
        }
        data += n;
        length -= n;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const qint64 size = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 40) * 1024 * 1024;

    QTemporaryDir work;
    QDir::setCurrent(work.path());  // the snapshot goes here
    qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());

    int master = -1;
    int slave = -1;
    char slaveName[256] = {};
    if (!openRawPty(master, slave, slaveName)) {
        return 2;
    }

    auto* answer = new QTimer();
    QObject::connect(answer, &QTimer::timeout, [answer, slaveName]() {
        if (auto* dialog = qobject_cast<setupDialog*>(QApplication::activeModalWidget())) {
            answer->stop();
            answer->deleteLater();
            dialog->findChild<QComboBox*>("comboBox_port")
                ->setEditText(QString::fromLocal8Bit(slaveName));
            dialog->findChild<QComboBox*>("comboBox_baudRate")->setCurrentIndex(1);
            dialog->findChild<QPushButton*>("pushButton_enter")->click();
        }
    });
    answer->start(10);
    MainWindow window;
    if (!window.findChild<QAction*>("actionRecord")->isEnabled()) {
        std::fprintf(stderr, "the port did not open\n");
        return 2;
    }
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500) {
        app.processEvents(QEventLoop::AllEvents, 50);
    }
    const qint64 idleKb = statusKilobytes("VmRSS:");

    // A timer that should fire every 20 ms: the longest gap between its ticks is the
    // longest the window could not answer.
    QElapsedTimer sinceTick;
    qint64 longestStallMs = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&]() { longestStallMs = std::max(longestStallMs, sinceTick.restart()); });

    std::atomic<bool> floodDone{false};
    std::atomic<bool> writerFailed{false};
    const QByteArray block(64 * 1024, '$');
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    tick.start(20);
    std::thread writer([&]() {
        for (qint64 written = 0; written < size && !writerFailed; written += block.size()) {
            writerFailed = !writeAll(master, block.constData(), block.size());
        }
        floodDone = true;
    });
    qint64 sampledPeakKb = idleKb;
    while (!floodDone) {
        app.processEvents(QEventLoop::AllEvents, 50);
        sampledPeakKb = std::max(sampledPeakKb, statusKilobytes("VmRSS:"));
    }
    writer.join();
    const double floodSeconds = clock.elapsed() / 1000.0;

    const QByteArray gga =
        "\r\n$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    QFile::remove(QStringLiteral("gga.xml"));
    QElapsedTimer parse;
    parse.start();
    writeAll(master, gga.constData(), gga.size());
    while (!QFile::exists(QStringLiteral("gga.xml")) && parse.elapsed() < 30000) {
        app.processEvents(QEventLoop::AllEvents, 10);
        sampledPeakKb = std::max(sampledPeakKb, statusKilobytes("VmRSS:"));
    }
    const qint64 parseMs = parse.elapsed();
    tick.stop();
    const qint64 peakKb = std::max(statusKilobytes("VmHWM:"), sampledPeakKb);
    const qint64 growth = (peakKb - idleKb) * 1024;

    std::printf("flood: %lld bytes without a line end in %.1f s\n", static_cast<long long>(size),
                floodSeconds);
    std::printf("idle RSS: %.1f MB, peak RSS: %.1f MB, growth: %.1f MB (limit 150 MB)\n",
                idleKb / 1024.0, peakKb / 1024.0, growth / 1048576.0);
    std::printf("longest event-loop stall: %lld ms (limit %lld ms)\n",
                static_cast<long long>(longestStallMs), static_cast<long long>(kAllowedStallMs));
    std::printf("sentence after the flood parsed in %lld ms (limit %lld ms)\n",
                static_cast<long long>(parseMs), static_cast<long long>(kAllowedParseDelayMs));
    ::close(master);
    ::close(slave);
    if (writerFailed) {
        std::fprintf(stderr, "the flood could not be written\n");
        return 1;
    }
    return growth <= kAllowedGrowth && longestStallMs <= kAllowedStallMs &&
                   parseMs <= kAllowedParseDelayMs
               ? 0
               : 1;
}
