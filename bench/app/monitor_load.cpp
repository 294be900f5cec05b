// The monitor as a user runs it, for the CPU measurement of bench/scripts/monitor-cpu:
// the main window on the display it is given, its setup answered with the port named
// on the command line at 38400 baud, running for the given number of seconds.
//
// Usage: tw_monitor_load DEVICE SECONDS [SCREENSHOT.png]
// With a screenshot file the Sentences dock is brought forward, its busiest key
// selected, and the window saved to the file when the time is up.
// With TW_LOAD_PICTURES set the Sky View dock is in front and ten plots are open,
// fed about ten times a second each (GGA, RMC and AIS fields as sent).
#include <QApplication>
#include <QDockWidget>
#include <QPixmap>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/forwarding/forwarding_control.h"
#include "app/main_window.h"
#include "app/picture_docks.h"
#include "app/plot/plot_hub.h"
#include "app/sentences_dock.h"
#include "app/sentences_model.h"
#include "app/sky/sky_dock.h"
#include "support/setup_answer.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fputs("usage: tw_monitor_load DEVICE SECONDS [SCREENSHOT.png]\n", stderr);
        return 2;
    }
    const auto answered = testsupport::answerSetup(QString::fromLocal8Bit(argv[1]), 1);
    MainWindow window;
    window.show();
    if (!*answered) {
        std::fputs("tw_monitor_load: the setup dialog was not answered\n", stderr);
        return 1;
    }
    // Outputs to forward to, separated by spaces (bench/scripts/monitor-cpu forward).
    const QString forward = qEnvironmentVariable("TIDEWRIGHT_BENCH_FORWARD");
    if (!forward.isEmpty()) {
        for (const QString& problem :
             window.forwarding()->useOutputs(forward.split(QLatin1Char(' '), Qt::SkipEmptyParts))) {
            std::fprintf(stderr, "tw_monitor_load: %s\n", qPrintable(problem));
            return 1;
        }
        // What was forwarded, for the script to show that the outputs were busy.
        auto* report = new QTimer(&window);
        QObject::connect(report, &QTimer::timeout, &window, [&window] {
            std::printf("%s\n", qPrintable(window.forwarding()->forwarder().summary()));
            std::fflush(stdout);
        });
        report->start(5000);
    }
    const int seconds = QString::fromLatin1(argv[2]).toInt();
    if (qEnvironmentVariableIsSet("TW_LOAD_PICTURES")) {
        window.pictureDocks()->skyDock()->raise();
        const char* const plots[][2] = {
            {"$GPGGA", "2"}, {"$GPGGA", "4"}, {"$GPGGA", "7"}, {"$GPGGA", "8"}, {"$GPRMC", "3"},
            {"$GPRMC", "5"}, {"$GPRMC", "7"}, {"!AIVDM", "1"}, {"!AIVDM", "2"}, {"!AIVDM", "6"}};
        for (const auto& [key, field] : plots) {
            QString error;
            if (!window.pictureDocks()->plots()->plotNamed(key, field, &error)) {
                std::fprintf(stderr, "tw_monitor_load: %s\n", qPrintable(error));
                return 1;
            }
        }
    }
    if (argc == 4) {
        window.resize(1000, 760);
        window.findChild<QDockWidget*>("sentencesDock")->raise();
        const QString file = QString::fromLocal8Bit(argv[3]);
        QTimer::singleShot(std::max(0, seconds - 2) * 1000, &window, [&window] {
            QTableView* keys = window.findChild<SentencesDock*>()->keyView();
            keys->sortByColumn(SentencesModel::Count, Qt::DescendingOrder);
            keys->selectRow(0);
        });
        QTimer::singleShot(seconds * 1000, &window, [&window, file] {
            if (!window.grab().save(file)) {
                std::fprintf(stderr, "tw_monitor_load: cannot save %s\n", qPrintable(file));
            }
            QApplication::quit();
        });
    } else {
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    }
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec();
}
