#include <QApplication>

#include "app/information_options.h"
#include "app/main_window.h"
#include "tidewright/version.h"

int main(int argc, char* argv[]) {
    if (const auto status = answerInformationOptions(argc, argv, stdout)) {
        return *status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(tidewright::kVersion));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tidewright"));
    MainWindow window;
    window.show();
    return app.exec();
}
