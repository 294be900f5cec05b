// The monitor on NMEA 2000 gateways over loopback TCP: the simulator's YDWG RAW
// stream fills the Sentences dock with PGN rows, the Devices dock from address claims
// and product information, the AIS Targets dock from AIS PGNs and the NMEA 2000 status
// fields; the inspector lists the PGN keys with their fields. A gateway that feeds a
// real capture receives not one byte back: Tidewright only listens.
#include <QAbstractItemModel>
#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#include "app/ais_targets_dock.h"
#include "app/ais_targets_model.h"
#include "app/devices/devices_dock.h"
#include "app/devices/devices_model.h"
#include "app/globals.h"
#include "app/health_status.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/sentences_dock.h"
#include "app/sentences_model.h"
#include "app/show_dialog.h"
#include "n2k/can_id.h"
#include "n2k/line_writer.h"
#include "support/modal.h"

namespace {

// The row of the Sentences dock whose key starts with `prefix`; -1 when none.
int sentenceRow(SentencesDock* dock, const QString& prefix) {
    dock->refresh();
    SentencesModel* model = dock->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, SentencesModel::Key).data().toString().startsWith(prefix)) {
            return row;
        }
    }
    return -1;
}

const devices::Device* describedDevice(const devices::DeviceRegistry& registry) {
    for (const devices::Device* device : registry.devices()) {
        if (device->claimed && device->hasProduct && !device->model.empty()) {
            return device;
        }
    }
    return nullptr;
}

QLabel* statusField(MainWindow& window, const QString& accessiblePrefix) {
    for (QLabel* label : window.findChild<HealthStatus*>()->findChildren<QLabel*>()) {
        if (label->accessibleName().startsWith(accessiblePrefix)) {
            return label;
        }
    }
    return nullptr;
}

// YDWG RAW lines of one fast packet of PGN 129029 from `source`, without the frame
// numbered `lost` (-1: none lost).
QByteArray positionPacket(std::uint8_t source, std::uint8_t sequence, int lost) {
    n2k::Message m;
    m.pgn = 129029;
    m.priority = 3;
    m.source = source;
    m.destination = n2k::kGlobalAddress;
    m.length = 43;
    for (int i = 0; i < m.length; ++i) {
        m.data[i] = static_cast<std::uint8_t>(i);
    }
    n2k::Frame frames[8];
    const int count = n2k::framesOf(m, true, sequence, frames, 8);
    QByteArray lines;
    for (int i = 0; i < count; ++i) {
        if (i == lost) {
            continue;
        }
        char line[128];
        const int length = n2k::writeYdwgLine(frames[i], line, sizeof line);
        lines += QByteArray(line, length) + "\r\n";
    }
    return lines;
}

// A TCP gateway on a loopback port, and the monitor's connection to it.
struct Gateway {
    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;

    QString address() const {
        return QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
    }
    // Waits for the monitor to connect, its event loop running meanwhile.
    QTcpSocket* monitor() {
        QElapsedTimer waited;
        waited.start();
        while (!server.hasPendingConnections() && !server.waitForNewConnection(50) &&
               waited.elapsed() < 10000) {
            QTest::qWait(10);
        }
        peer.reset(server.nextPendingConnection());
        return peer.get();
    }
};

}  // namespace

class WindowN2kTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("XDG_CONFIG_HOME", work.filePath("config").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
        // The window looks for the database beside its program; a test names it.
        qputenv("TIDEWRIGHT_PGN_DATABASE", TIDEWRIGHT_PGN_DATABASE_FILE);
    }
    void cleanup() { testsupport::cancelPendingModals(); }

    void simulatorYdwgStream() {
        QProcess sim;
        sim.start(TIDEWRIGHT_SIM_EXECUTABLE,
                  {"--tcp", "127.0.0.1:0", "--n2k-format", "yd", "--baud", "115200"});
        QVERIFY(sim.waitForStarted());
        QByteArray said;
        QTRY_VERIFY((said += sim.readAllStandardOutput()).contains("tcp 127.0.0.1:"));
        const int at = said.indexOf("tcp 127.0.0.1:");
        const QByteArray port = said.mid(at + 14).split('\n').first().trimmed();
        MainWindow window(QStringLiteral("tcp://127.0.0.1:%1").arg(QString::fromLatin1(port)),
                          4800);
        QVERIFY(comOpened);

        auto* sentences = window.findChild<SentencesDock*>();
        QVERIFY(sentences != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(
            sentenceRow(sentences, "129025 Position, Rapid Update · src ") >= 0, 30000);
        // NMEA 0183 keys stay beside them.
        QTRY_VERIFY_WITH_TIMEOUT(sentenceRow(sentences, "$") >= 0, 30000);

        DevicesDock* devicesDock = window.devicesDock();
        QVERIFY(devicesDock != nullptr);
        QCOMPARE(devicesDock->accessibleName(), QString("Devices"));
        QVERIFY(!devicesDock->deviceView()->accessibleName().isEmpty());
        QVERIFY(!devicesDock->detailView()->accessibleName().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(describedDevice(devicesDock->registry()) != nullptr, 30000);
        const devices::Device* device = describedDevice(devicesDock->registry());
        QVERIFY(!device->manufacturer.empty());
        QVERIFY(!device->deviceClass.empty());
        QVERIFY(!device->softwareVersion.empty());
        devicesDock->refresh();
        QVERIFY(devicesDock->model()->rowCount() >= 1);
        // Selecting the device shows what it said of itself and what it sends.
        QTableView* table = devicesDock->deviceView();
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            if (table->model()->index(r, DevicesModel::Address).data().toInt() == device->address) {
                table->setCurrentIndex(table->model()->index(r, 0));
            }
        }
        QTableWidget* detail = devicesDock->detailView();
        QHash<QString, QString> shown;
        for (int r = 0; r < detail->rowCount(); ++r) {
            shown.insert(detail->item(r, 0)->text(), detail->item(r, 1)->text());
        }
        QCOMPARE(shown.value("Model"), QString::fromStdString(device->model));
        QVERIFY(shown.value("NAME").startsWith("0x"));
        QVERIFY(shown.contains("PGN 60928 ISO Address Claim"));

        // The AIS PGNs of the replayed bus merge into the targets table.
        QTRY_VERIFY_WITH_TIMEOUT(window.aisTargetsDock()->model()->table().size() > 0, 30000);

        auto* health = window.findChild<HealthStatus*>();
        health->refresh();
        QLabel* frames = statusField(window, "NMEA 2000 frames per second: ");
        QVERIFY(frames != nullptr);
        QVERIFY(frames->isVisibleTo(health));
        QVERIFY2(frames->accessibleName().contains(frames->text()),
                 qPrintable(frames->accessibleName()));
        QVERIFY(window.lineHealth()->n2kCounts().frames > 0);

        sim.terminate();
        QVERIFY(sim.waitForFinished());
    }

    // A fast packet that loses a frame is an error of its PGN and sender's row, as a
    // bad checksum is of a sentence key's; other senders' rows stay clean.
    void droppedPacketsAreRowErrors() {
        Gateway gateway;
        QVERIFY(gateway.server.listen(QHostAddress::LocalHost, 0));
        MainWindow window(gateway.address(), 4800);
        QVERIFY(comOpened);
        QTcpSocket* peer = gateway.monitor();
        QVERIFY(peer != nullptr);
        peer->write(positionPacket(3, 1, -1) + positionPacket(3, 2, 4) + positionPacket(3, 3, -1) +
                    positionPacket(9, 1, -1));
        QVERIFY(peer->waitForBytesWritten(5000) || peer->bytesToWrite() == 0);

        auto* sentences = window.findChild<SentencesDock*>();
        const QString key = QStringLiteral("129029 GNSS Position Data · src ");
        QTRY_VERIFY_WITH_TIMEOUT(sentenceRow(sentences, key + "9") >= 0, 20000);
        SentencesModel* model = sentences->model();
        const int lossy = sentenceRow(sentences, key + "3");
        QVERIFY(lossy >= 0);
        QCOMPARE(model->index(lossy, SentencesModel::Count).data().toInt(), 2);
        QCOMPARE(model->index(lossy, SentencesModel::Errors).data().toInt(), 1);
        const int clean = sentenceRow(sentences, key + "9");
        QCOMPARE(model->index(clean, SentencesModel::Errors).data().toInt(), 0);
    }

    // A real YDWG capture from a TCP gateway: PGN rows with their fields, AIS targets,
    // the inspector's keys, and nothing ever written back to the gateway.
    void realCaptureListenOnly() {
        QFile capture(QStringLiteral(TIDEWRIGHT_N2K_TEST_DATA "/merrimac-ydwg-2020.raw"));
        QVERIFY(capture.open(QIODevice::ReadOnly));
        const QByteArray lines = capture.readAll();

        Gateway gateway;
        QVERIFY(gateway.server.listen(QHostAddress::LocalHost, 0));
        MainWindow window(gateway.address(), 4800);
        QVERIFY(comOpened);
        QTcpSocket* peer = gateway.monitor();
        QVERIFY(peer != nullptr);
        // In pieces that cut lines in two, as a network does.
        for (qsizetype at = 0; at < lines.size(); at += 997) {
            peer->write(lines.mid(at, 997));
        }
        QVERIFY(peer->waitForBytesWritten(5000) || peer->bytesToWrite() == 0);

        auto* sentences = window.findChild<SentencesDock*>();
        const QString key = QStringLiteral("129025 Position, Rapid Update · src ");
        QTRY_VERIFY_WITH_TIMEOUT(sentenceRow(sentences, key) >= 0, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(window.aisTargetsDock()->model()->table().size() > 0, 20000);
        // A bus without a single NMEA 0183 sentence is a line that works: seconds
        // later, more of it keeps the line state "Receiving".
        LineHealth* line = window.lineHealth();
        auto offset = std::make_shared<qint64>(0);
        const qint64 base = line->now();
        QElapsedTimer real;
        real.start();
        line->setClock([=] { return base + real.elapsed() + *offset; });
        *offset = 2 * LineHealth::kNoValidMs;
        const quint64 framesBefore = line->n2kCounts().frames;
        peer->write(lines.left(lines.indexOf('\n', 4000) + 1));
        QTRY_VERIFY(line->n2kCounts().frames > framesBefore);
        QCOMPARE(line->stateText(line->now()), QString("Receiving"));

        // Selecting a row shows its last PGN field by field, then its bytes. Some
        // sources of this bus send positions without data: those stay empty.
        QTableView* keys = sentences->keyView();
        QTableWidget* fields = sentences->fieldView();
        QString fullKey;
        QStringList positions;
        for (int r = 0; r < keys->model()->rowCount(); ++r) {
            const QString text = keys->model()->index(r, 0).data().toString();
            if (!text.startsWith(key)) {
                continue;
            }
            fullKey = text;
            keys->setCurrentIndex(keys->model()->index(r, 0));
            QStringList names;
            for (int f = 0; f < fields->rowCount(); ++f) {
                names << fields->item(f, 0)->text();
            }
            QVERIFY2(names.contains("Latitude") && names.contains("Longitude"),
                     qPrintable(names.join(", ")));
            QCOMPARE(names.last(), QString("Bytes"));
            positions << fields->item(int(names.indexOf("Latitude")), 1)->text();
        }
        QVERIFY2(std::any_of(positions.cbegin(), positions.cend(),
                             [](const QString& p) { return p.contains("°"); }),
                 qPrintable(positions.join(" | ")));

        // The inspector lists the key after the catalogue's and fills its table when chosen.
        showDialog* inspector = window.inspector();
        QVERIFY(inspector->keys().contains(fullKey));
        QStandardItemModel* table = inspector->pgnModel(fullKey);
        QVERIFY(table != nullptr);
        auto* list = inspector->findChild<QListView*>();
        const int listRow = int(inspector->keys().indexOf(fullKey));
        list->selectionModel()->select(list->model()->index(listRow, 0),
                                       QItemSelectionModel::ClearAndSelect);
        QVERIFY(table->rowCount() >= 3);
        QCOMPARE(table->index(0, 0).data().toString(), QString("Latitude"));
        QCOMPARE(table->index(0, 1).data().toString(), QString("°"));
        QCOMPARE(table->index(table->rowCount() - 1, 0).data().toString(), QString("Bytes"));
        // The catalogue's own tables are untouched by NMEA 2000 keys.
        QCOMPARE(inspector->fieldModel(0)->rowCount(), present::fieldCatalogue()[0].rowCount);

        // Clear starts the NMEA 2000 counts again, as it does the sentence counts.
        window.findChild<QAction*>("actionClear")->trigger();
        QCOMPARE(line->n2kCounts().frames, quint64(0));
        const QByteArray more = lines.left(lines.indexOf('\n', 2000) + 1);
        peer->write(more);
        QTRY_COMPARE(line->n2kCounts().frames, quint64(more.count('\n')));
        QCOMPARE(line->n2kCounts().badGatewayLines, quint64(0));
        // A broken gateway line is counted and shown, value in the accessible name.
        peer->write("00:29:58.700 R 0DFF180D A2 8C 5Q\r\n");
        QTRY_COMPARE(line->n2kCounts().badGatewayLines, quint64(1));
        auto* health = window.findChild<HealthStatus*>();
        health->refresh();
        QVERIFY2(health->n2kErrorText().contains("1 bad gateway lines"),
                 qPrintable(health->n2kErrorText()));
        bool named = false;
        for (QLabel* label : health->findChildren<QLabel*>()) {
            named = named || label->accessibleName().endsWith(health->n2kErrorText());
        }
        QVERIFY(named);

        // Whatever the window did with the stream, the gateway heard nothing from it.
        QVERIFY(!peer->waitForReadyRead(300));
        QCOMPARE(peer->bytesAvailable(), qint64(0));
    }

private:
    QTemporaryDir work;
};

QTEST_MAIN(WindowN2kTest)
#include "tst_window_n2k.moc"
