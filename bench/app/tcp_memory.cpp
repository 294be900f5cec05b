// A TCP source flooded as fast as loopback allows: a sender thread serves 1 GB (by
// default) of real sentences to the monitor's TCP source, and the process's memory and
// the window's responsiveness are reported: idle after the connection, peak during
// the flood, the difference (which must stay within 150 MB), and the longest the
// event loop took to run a 50 ms timer.
//
// Usage: tw_tcp_memory [capture-file] [megabytes]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "app/main_window.h"
#include "bench/app/process_status.h"

namespace {

constexpr qint64 kAllowedGrowth = 150LL * 1024 * 1024;
constexpr int kTickMs = 50;

QByteArray captureLines(const QString& capture) {
    QFile file(capture);
    QByteArray lines;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty() && !line.startsWith('#')) {
                lines += line + "\r\n";
            }
        }
    }
    if (lines.isEmpty()) {
        lines = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    }
    // Large writes, so the sender is never what limits the rate.
    QByteArray block;
    while (block.size() < 256 * 1024) {
        block += lines;
    }
    return block;
}

// A listening socket on a free loopback port; returns its descriptor and port.
int listenOnLoopback(quint16& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(fd, 1) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length)) {
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The snapshots (gga.xml, ...) are rewritten for every fix; in memory-backed storage
    // where there is some, so the figures are those of the monitor, not of a busy disk.
    QTemporaryDir work(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/tw-tcp-memory-XXXXXX")
                                                 : QDir::tempPath() + "/tw-tcp-memory-XXXXXX");
    qputenv("XDG_CONFIG_HOME", work.path().toLocal8Bit());
    QApplication app(argc, argv);
    QDir::setCurrent(work.path());  // the snapshots go here
    const QString capture =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TIDEWRIGHT_APP_CAPTURE);
    const qint64 size = (argc > 2 ? QByteArray(argv[2]).toLongLong() : 1024) * 1024 * 1024;
    const QByteArray block = captureLines(capture);

    quint16 port = 0;
    const int listener = listenOnLoopback(port);
    if (listener < 0) {
        std::perror("listen");
        return 2;
    }
    std::atomic<bool> go{false};
    std::atomic<qint64> sent{0};
    std::thread sender([&] {
        const int fd = ::accept(listener, nullptr, nullptr);
        while (!go) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        while (fd >= 0 && sent < size) {
            const qint64 part = std::min<qint64>(block.size(), size - sent);
            const ssize_t n = ::send(fd, block.constData(), size_t(part), MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += n;
        }
        ::close(fd);
    });

    MainWindow window(QStringLiteral("tcp://127.0.0.1:%1").arg(port), 4800);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000) {
        app.processEvents(QEventLoop::AllEvents, 50);
    }
    if (!window.statusTip().startsWith("Connected")) {
        std::fprintf(stderr, "the TCP source did not connect: %s\n",
                     qPrintable(window.statusTip()));
        go = true;
        sent = size;
        sender.join();
        return 2;
    }
    const qint64 idleKb = statusKilobytes("VmRSS:");

    // The event loop's lateness in running a periodic timer: what a user would feel.
    qint64 peakKb = idleKb;
    qint64 worstGapMs = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worstGapMs = std::max(worstGapMs, sinceTick.restart());
        peakKb = std::max(peakKb, statusKilobytes("VmRSS:"));
    });
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    tick.start(kTickMs);
    go = true;
    while (!window.statusTip().startsWith("Connection lost")) {
        app.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    const double seconds = clock.elapsed() / 1000.0;
    tick.stop();
    sender.join();
    ::close(listener);
    peakKb = std::max(peakKb, statusKilobytes("VmHWM:"));

    const qint64 growth = (peakKb - idleKb) * 1024;
    std::printf("stream: %lld bytes in %.1f s (%.1f MB/s)\n", static_cast<long long>(sent.load()),
                seconds, sent / 1e6 / seconds);
    std::printf("idle RSS: %.1f MB, peak RSS: %.1f MB, growth: %.1f MB (limit 150 MB)\n",
                idleKb / 1024.0, peakKb / 1024.0, growth / 1048576.0);
    std::printf("longest event-loop gap: %lld ms (timer every %d ms)\n",
                static_cast<long long>(worstGapMs), kTickMs);
    if (sent < size) {
        std::fprintf(stderr, "the stream was cut short\n");
        return 1;
    }
    return growth <= kAllowedGrowth ? 0 : 1;
}
