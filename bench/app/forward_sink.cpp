// The far ends of the monitor's outputs for bench/scripts/monitor-cpu forward: three
// TCP clients, a UDP port and the master of a pseudo-terminal, all read and thrown
// away, in a process of their own so their reading costs the monitor nothing.
//
// Prints "outputs OUTPUT..." for the monitor's --forward, then connects the clients as
// soon as the monitor listens, and runs until it is killed.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    quint16 tcpPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        tcpPort = probe.serverPort();
    }
    QUdpSocket udp;
    udp.bind(QHostAddress::LocalHost, 0);
    QObject::connect(&udp, &QUdpSocket::readyRead, [&udp] {
        while (udp.hasPendingDatagrams()) {
            udp.receiveDatagram();
        }
    });
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("forward_sink: openpty");
        return 1;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    QSocketNotifier ptyReady(master, QSocketNotifier::Read);
    QObject::connect(&ptyReady, &QSocketNotifier::activated, [master] {
        char buffer[4096];
        while (::read(master, buffer, sizeof buffer) > 0) {
        }
    });
    std::printf("outputs tcp-server://127.0.0.1:%u udp://127.0.0.1:%u serial:%s@4800\n", tcpPort,
                udp.localPort(), name);
    std::fflush(stdout);

    QTcpSocket clients[3];
    for (QTcpSocket& client : clients) {
        QObject::connect(&client, &QTcpSocket::readyRead, [&client] { client.readAll(); });
    }
    QTimer connecting;
    QObject::connect(&connecting, &QTimer::timeout, [&] {
        for (QTcpSocket& client : clients) {
            if (client.state() == QAbstractSocket::UnconnectedState) {
                client.connectToHost(QHostAddress::LocalHost, tcpPort);
            }
        }
    });
    connecting.start(200);
    return app.exec();
}
