// tidewright-relay: forwards what one or more sources say to TCP clients, UDP and
// serial ports, without a window.
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>

#include "relay.h"
#include "relay_options.h"
#include "tidewright/version.h"

namespace {

// The write end of the self-pipe: a signal handler may only write a byte; the event
// loop reads it and stops in good order.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

bool catchStopSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        return false;
    }
    ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 &&
           ::sigaction(SIGINT, &action, nullptr) == 0;
}

void logLine(const QString& line) {
    std::fprintf(stderr, "tidewright-relay: %s\n", qPrintable(line));
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    relay::RelayOptions options;
    QString text;
    switch (relay::parseRelayOptions(arguments, options, &text)) {
        case relay::RelayStart::Help:
        case relay::RelayStart::Version:
            std::fputs(qPrintable(text), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        case relay::RelayStart::Error:
            std::fprintf(stderr, "tidewright-relay: %s\nTry 'tidewright-relay --help'.\n",
                         qPrintable(text));
            return 2;
        case relay::RelayStart::Run:
            break;
    }
    // A client that goes away must not end the relay.
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tidewright-relay"));
    if (!catchStopSignals()) {
        std::perror("tidewright-relay: signals");
        return 1;
    }
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });

    relay::Relay relay(options, logLine);
    QString error;
    if (!relay.start(&error)) {
        logLine(error);
        return 1;
    }
    const int status = app.exec();
    relay.logCounters();
    relay.stop();
    logLine(QStringLiteral("stopped"));
    return status;
}
