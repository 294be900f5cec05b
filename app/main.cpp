#include <QApplication>
#include <cstdio>

#include <QGuiApplication>
#include "app/dock_by_title.h"
#include "app/forwarding/forwarding_control.h"
#include "app/main_window.h"
#include "app/picture_docks.h"
#include "app/plot/plot_hub.h"
#include "app/start_options.h"
#include "tidewright/version.h"

int main(int argc, char* argv[]) {
    // The command line is read before any window exists, so --help and a wrong
    // option need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    StartOptions options;
    QString text;
    switch (parseStartOptions(arguments, options, &text)) {
        case StartOutcome::Help:
        case StartOutcome::Version:
            std::fputs(qPrintable(text), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        case StartOutcome::Error:
            std::fprintf(stderr, "tidewright: %s\nTry 'tidewright --help'.\n", qPrintable(text));
            return 2;
        case StartOutcome::Run:
            break;
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tidewright"));
    QCoreApplication::setApplicationName(QStringLiteral("tidewright"));
    QApplication::setApplicationVersion(QString::fromLatin1(tidewright::kVersion));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tidewright"));
    // The docks exist only with the window, so an unknown dock title is found here.
    const auto raiseDock = [&options](MainWindow& window) {
        if (options.showDock.isEmpty() || raiseDockByTitle(window, options.showDock)) {
            return true;
        }
        std::fprintf(stderr, "tidewright: no dock is titled '%s'; the docks are: %s\n",
                     qPrintable(options.showDock),
                     qPrintable(dockTitles(window).join(QStringLiteral(", "))));
        return false;
    };
    const auto openPlots = [&options](MainWindow& window) {
        for (const auto& [key, field] : options.plots) {
            QString error;
            if (!window.pictureDocks()->plots()->plotNamed(key, field, &error)) {
                std::fprintf(stderr, "tidewright: %s\n", qPrintable(error));
            }
        }
    };
    // Outputs given on the command line replace the remembered ones for this run.
    const auto forwardGiven = [&options](MainWindow& window) {
        if (options.forward.isEmpty()) {
            return;
        }
        for (const QString& problem : window.forwarding()->useOutputs(options.forward)) {
            std::fprintf(stderr, "tidewright: %s\n", qPrintable(problem));
        }
    };
    if (options.source.isEmpty()) {
        MainWindow window;
        forwardGiven(window);
        window.show();
        openPlots(window);
        return raiseDock(window) ? app.exec() : 2;
    }
    MainWindow window(options.source, options.baud);
    forwardGiven(window);
    window.show();
    openPlots(window);
    return raiseDock(window) ? app.exec() : 2;
}
