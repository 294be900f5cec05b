// Records a two-hour 38400-baud stream (about 28 MB) fed through a
// pseudo-terminal as fast as the monitor takes it, and reports the process's
// memory: idle after the port opened, peak during the recording, and the
// difference, which must stay within 50 MB.
//
// Usage: tw_app_memory [capture-file] [megabytes]
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <thread>

#include "app/main_window.h"
#include "bench/app/process_status.h"
#include "serial/setup_dialog.h"

namespace {

// Two hours at 38400 baud, ten bits per byte.
constexpr qint64 kTwoHoursAt38400 = 38400 / 10 * 2 * 3600;
constexpr qint64 kAllowedGrowth = 50LL * 1024 * 1024;

// Runs action on the first modal widget of type T, from the event loop.
template <class T, class F>
void whenModal(F action) {
    auto* timer = new QTimer();
    QObject::connect(timer, &QTimer::timeout, [timer, action]() {
        if (T* target = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(target);
        }
    });
    timer->start(10);
}

// The capture's lines with CR LF (one pass of the talker's output).
QByteArray captureLines(const QString& capture) {
    QFile file(capture);
    QByteArray lines;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                lines += line + "\r\n";
            }
        }
    }
    if (lines.isEmpty()) {
        lines = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    }
    return lines;
}

// Writes size bytes of the repeated lines, then a line the reader recognises.
// The stream is made as it goes so the benchmark's own memory stays small.
bool writeStream(int fd, const QByteArray& lines, qint64 size, const QByteArray& endMarker) {
    auto writeAll = [fd](const char* data, qint64 length) {
        while (length > 0) {
            const ssize_t n =
                ::write(fd, data, static_cast<size_t>(std::min<qint64>(4096, length)));
            if (n < 0) {
                return false;
            }
            data += n;
            length -= n;
        }
        return true;
    };
    qint64 written = 0;
    while (written < size) {
        const qint64 part = std::min<qint64>(lines.size(), size - written);
        if (!writeAll(lines.constData(), part)) {
            return false;
        }
        written += part;
    }
    const QByteArray tail = "\r\n" + endMarker + "\r\n";
    return writeAll(tail.constData(), tail.size());
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QString capture =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TIDEWRIGHT_APP_CAPTURE);
    const qint64 size =
        argc > 2 ? QByteArray(argv[2]).toLongLong() * 1024 * 1024 : kTwoHoursAt38400;

    QTemporaryDir work;
    QDir::setCurrent(work.path());  // snapshots and the saved log go here
    qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());

    int master = -1;
    int slave = -1;
    char slaveName[256] = {};
    if (!openRawPty(master, slave, slaveName)) {
        return 2;
    }

    whenModal<setupDialog>([slaveName](setupDialog* dialog) {
        dialog->findChild<QComboBox*>("comboBox_port")
            ->setEditText(QString::fromLocal8Bit(slaveName));
        dialog->findChild<QComboBox*>("comboBox_baudRate")->setCurrentIndex(1);
        dialog->findChild<QPushButton*>("pushButton_enter")->click();
    });
    MainWindow window;
    QPlainTextEdit* rawPane = nullptr;
    for (QDockWidget* dock : window.findChildren<QDockWidget*>()) {
        if (dock->windowTitle() == "Raw Data") {
            rawPane = qobject_cast<QPlainTextEdit*>(dock->widget());
        }
    }
    if (!rawPane || !window.findChild<QAction*>("actionRecord")->isEnabled()) {
        std::fprintf(stderr, "the port did not open\n");
        return 2;
    }
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500) {
        app.processEvents(QEventLoop::AllEvents, 50);
    }
    const qint64 idleKb = statusKilobytes("VmRSS:");

    window.findChild<QAction*>("actionRecord")->trigger();
    const QByteArray endMarker = "$ZZEND,memory-benchmark-done*00";
    const QByteArray lines = captureLines(capture);
    std::atomic<bool> writerFailed{false};
    QElapsedTimer clock;
    clock.start();
    std::thread writer([&]() { writerFailed = !writeStream(master, lines, size, endMarker); });
    qint64 sampledPeakKb = idleKb;
    for (;;) {
        app.processEvents(QEventLoop::AllEvents, 50);
        sampledPeakKb = std::max(sampledPeakKb, statusKilobytes("VmRSS:"));
        const QTextBlock last = rawPane->document()->lastBlock();
        if (last.previous().text().toLatin1() == endMarker || writerFailed) {
            break;
        }
    }
    writer.join();
    const double seconds = clock.elapsed() / 1000.0;

    const QString log = work.filePath("recording.txt");
    whenModal<QFileDialog>([log](QFileDialog* dialog) {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(log);
        static_cast<QDialog*>(dialog)->accept();
    });
    window.findChild<QAction*>("actionStop")->trigger();
    const qint64 peakKb = std::max(statusKilobytes("VmHWM:"), sampledPeakKb);
    const qint64 savedBytes = QFileInfo(log).size();

    const qint64 growth = (peakKb - idleKb) * 1024;
    std::printf("stream: %lld bytes in %.1f s (%.2f MB/s)\n", static_cast<long long>(size), seconds,
                size / 1e6 / seconds);
    std::printf("saved log: %lld bytes\n", static_cast<long long>(savedBytes));
    std::printf("idle RSS: %.1f MB, peak RSS: %.1f MB, growth: %.1f MB (limit 50 MB)\n",
                idleKb / 1024.0, peakKb / 1024.0, growth / 1048576.0);
    ::close(master);
    ::close(slave);
    if (writerFailed || savedBytes <= 0) {
        std::fprintf(stderr, "the stream was not recorded\n");
        return 1;
    }
    return growth <= kAllowedGrowth ? 0 : 1;
}
