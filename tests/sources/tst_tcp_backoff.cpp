// The TCP source's back-off, watched through the reasons it reports: refused attempts
// wait longer and longer, and a connection that succeeded starts the count afresh, so
// the next loss is retried after the first step again, however long the outage before.
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "sources/tcp_source.h"

using sources::Source;
using State = sources::Source::State;

namespace {

constexpr int kUnitMs = 20;

// The wait announced in a loss reason, "...; trying again in 0.04 s", in units.
int announcedUnits(const QString& reason) {
    static const QRegularExpression wait(QStringLiteral("trying again in ([0-9.]+) s$"));
    const QRegularExpressionMatch m = wait.match(reason);
    return m.hasMatch() ? qRound(m.captured(1).toDouble() * 1000 / kUnitMs) : -1;
}

}  // namespace

class TcpBackoffTest : public QObject {
    Q_OBJECT

private slots:
    void successStartsTheBackOffAfresh() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const quint16 port = server.serverPort();
        server.close();  // nobody listens: attempts are refused

        sources::TcpSource source(QStringLiteral("127.0.0.1"), port);
        source.setRetryUnit(kUnitMs);
        QList<int> waits;
        connect(&source, &Source::stateChanged, this, [&](State state, const QString& reason) {
            if (state == State::Lost) {
                waits << announcedUnits(reason);
            }
        });
        QVERIFY(source.open());
        QTRY_VERIFY_WITH_TIMEOUT(waits.size() >= 4, 10000);
        QCOMPARE(waits.mid(0, 4), (QList<int>{1, 2, 4, 8}));

        for (int round = 0; round < 2; ++round) {
            QVERIFY(server.listen(QHostAddress::LocalHost, port));
            QTRY_COMPARE_WITH_TIMEOUT(source.state(), State::Open, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 5000);
            QTcpSocket* peer = server.nextPendingConnection();
            server.close();
            waits.clear();
            peer->disconnectFromHost();  // the gateway drops the link
            QTRY_VERIFY_WITH_TIMEOUT(!waits.isEmpty(), 5000);
            QCOMPARE(waits.first(), 1);
            delete peer;
            // Refused again while down: the count grows from the first step once more.
            QTRY_VERIFY_WITH_TIMEOUT(waits.size() >= 2, 5000);
            QCOMPARE(waits.at(1), 2);
        }
        source.close();
    }
};

QTEST_GUILESS_MAIN(TcpBackoffTest)
#include "tst_tcp_backoff.moc"
