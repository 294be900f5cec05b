#include <QApplication>
#include <cstdio>

#include "app/main_window.h"
#include "app/start_options.h"

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
            std::fputs(qPrintable(text), stdout);
            return 0;
        case StartOutcome::Error:
            std::fprintf(stderr, "tidewright: %s\nTry 'tidewright --help'.\n", qPrintable(text));
            return 2;
        case StartOutcome::Run:
            break;
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tidewright"));
    QCoreApplication::setApplicationName(QStringLiteral("tidewright"));
    if (options.source.isEmpty()) {
        MainWindow window;
        window.show();
        return app.exec();
    }
    MainWindow window(options.source, options.baud);
    window.show();
    return app.exec();
}
