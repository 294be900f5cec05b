// The monitor as a user runs it, for the CPU measurement of bench/scripts/monitor-cpu:
// the main window on the display it is given, its setup answered with the port named
// on the command line at 38400 baud, running for the given number of seconds.
//
// Usage: tw_monitor_load DEVICE SECONDS
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "support/setup_answer.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: tw_monitor_load DEVICE SECONDS\n", stderr);
        return 2;
    }
    const auto answered = testsupport::answerSetup(QString::fromLocal8Bit(argv[1]), 1);
    MainWindow window;
    window.show();
    if (!*answered) {
        std::fputs("tw_monitor_load: the setup dialog was not answered\n", stderr);
        return 1;
    }
    QTimer::singleShot(QString::fromLatin1(argv[2]).toInt() * 1000, &app, &QApplication::quit);
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec();
}
