// The monitor's conformance views, fed through the frame hook as the parse cycle feeds
// them: the Sentences dock's Findings column and its list of the selected key's
// findings, the raw pane's marks with their messages, and the saved report.
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTime>
#include <QUdpSocket>

#include "app/conformance_report.h"
#include "app/globals.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/raw_pane.h"
#include "app/sentences_dock.h"
#include "app/sentences_model.h"
#include "nmea/checksum.h"
#include "support/modal.h"

namespace {

QByteArray framed(const char* body) {
    const std::string line = nmeaz::framedSentence('$', body);
    return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
}

// Well framed, so every framer passes them on; their faults are in the fields.
const QByteArray kGga = framed("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const QByteArray kShortMwd = framed("WIMWD,270.0,T,,M,12.4,N");
const QByteArray kBadHemisphere = framed("GPGLL,4807.038,X,01131.000,E,123521.00,A,A");
const QByteArray kUnknownTalker = framed("XXMTW,17.8,C");

QString findingsOf(SentencesDock* dock, const QString& key) {
    dock->refresh();
    const SentencesModel* model = dock->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, SentencesModel::Key).data().toString() == key)
            return model->index(row, SentencesModel::Findings).data().toString();
    }
    return QString();
}

void feed(LineHealth& health, const QByteArray& line) {
    health.beginCycle();
    health.framed(line, true);
    health.endCycle();
}

}  // namespace

class ConformanceViewsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { testsupport::cancelPendingModals(); }

    // The whole road: datagrams into the window, findings counted in the Sentences
    // dock, the report saved from the Log menu.
    void windowCountsFindingsAndSavesTheReport() {
        QTemporaryDir work;
        QVERIFY(QDir::setCurrent(work.path()));  // the window's snapshots land here
        qputenv("XDG_CONFIG_HOME", work.filePath("config").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
        QUdpSocket probe;  // a port that is free now
        QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
        const quint16 port = probe.localPort();
        probe.close();
        MainWindow window(QStringLiteral("udp://127.0.0.1:%1").arg(port), 4800);
        QVERIFY(comOpened);
        QUdpSocket sender;
        sender.writeDatagram(kGga + kShortMwd + kBadHemisphere, QHostAddress::LocalHost, port);
        auto* dock = window.findChild<SentencesDock*>();
        QTRY_COMPARE(findingsOf(dock, "$WIMWD"), QStringLiteral("1"));
        QCOMPARE(findingsOf(dock, "$GPGGA"), QStringLiteral("0"));

        const QString saved = work.filePath("report.txt");
        auto chosen = testsupport::whenModal<QFileDialog>([=](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(saved);
            static_cast<QDialog*>(dialog)->accept();
        });
        auto* report = window.findChild<QAction*>("actionConformanceReport");
        QVERIFY(report != nullptr);
        report->trigger();
        QVERIFY(*chosen);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("Talker WI\n  field-count (error): 1"), text.constData());
        QVERIFY(text.contains("Talker GP\n  field-enum (error): 1"));
    }

    void findingsColumnCountsPerKey() {
        LineHealth health;
        health.setClock([] { return qint64(1000); });
        SentencesDock dock(&health);
        for (const QByteArray& line : {kGga, kShortMwd, kShortMwd, kBadHemisphere})
            feed(health, line);
        dock.refresh();
        SentencesModel* model = dock.model();
        QCOMPARE(SentencesModel::Findings, model->columnCount() - 1);
        QCOMPARE(
            model->headerData(SentencesModel::Findings, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Findings"));
        QHash<QString, QString> byKey;
        for (int row = 0; row < model->rowCount(); ++row) {
            byKey.insert(model->index(row, SentencesModel::Key).data().toString(),
                         model->index(row, SentencesModel::Findings).data().toString());
        }
        QCOMPARE(byKey.value("$GPGGA"), QStringLiteral("0"));
        QCOMPARE(byKey.value("$WIMWD"), QStringLiteral("2"));
        QCOMPARE(byKey.value("$GPGLL"), QStringLiteral("1"));
        QCOMPARE(model->index(0, SentencesModel::Findings).data(SentencesModel::SortRole).typeId(),
                 QMetaType::LongLong);
    }

    void selectedKeyListsItsLatestFindings() {
        LineHealth health;
        health.setClock([] { return qint64(1000); });
        SentencesDock dock(&health);
        feed(health, kGga);
        feed(health, kBadHemisphere);
        dock.refresh();
        QVERIFY(!dock.findingView()->accessibleName().isEmpty());
        QTableView* keys = dock.keyView();
        int gll = -1;
        for (int row = 0; row < keys->model()->rowCount(); ++row) {
            if (keys->model()->index(row, SentencesModel::Key).data().toString() == "$GPGLL")
                gll = row;
        }
        QVERIFY(gll >= 0);
        keys->setCurrentIndex(keys->model()->index(gll, 0));
        QTableWidget* findings = dock.findingView();
        QCOMPARE(findings->rowCount(), 1);
        QCOMPARE(findings->item(0, 0)->text(), QStringLiteral("field-enum (error)"));
        QCOMPARE(findings->item(0, 1)->text(), QStringLiteral("2 ns"));
        QCOMPARE(findings->item(0, 2)->text(),
                 QStringLiteral("field 2 (ns) is 'X'; expected hemisphere N, S"));
        // A new finding of the shown key shows on the next refresh, newest first.
        feed(health, framed("GPGLL,9107.038,N,01131.000,E,123522.00,A,A"));
        dock.refresh();
        QCOMPARE(findings->rowCount(), 2);
        QCOMPARE(findings->item(0, 0)->text(), QStringLiteral("field-range (error)"));
        // A new stream forgets them.
        health.reset();
        dock.refresh();
        QCOMPARE(findings->rowCount(), 0);
    }

    void rawPaneMarksLinesWithTheirMessages() {
        LineHealth health;
        health.setClock([] { return qint64(1000); });
        RawPane pane;
        markConformanceFindings(&pane, &health);
        for (const QByteArray& line : {kGga, kBadHemisphere, kUnknownTalker})
            feed(health, line);
        QByteArray text;
        for (const QByteArray& line : {kGga, kBadHemisphere, kUnknownTalker})
            text += line.chopped(2) + "\n";
        pane.append(text, QTime(12, 0));
        pane.flush();
        const QTextDocument* document = pane.view()->document();
        QCOMPARE(document->findBlockByNumber(0).text(), QString::fromLatin1(kGga.chopped(2)));
        const struct {
            int block;
            QColor colour;
            const char* message;
        } marked[] = {
            {1, QColor(0xc0, 0x10, 0x10), "field-enum: field 2 (ns) is 'X'"},
            {2, QColor(0xb0, 0x70, 0x00), "talker-unknown: talker 'XX'"},
        };
        for (const auto& row : marked) {
            const QTextBlock block = document->findBlockByNumber(row.block);
            QCOMPARE(
                block.text(),
                QString::fromLatin1((row.block == 1 ? kBadHemisphere : kUnknownTalker).chopped(2)));
            const QTextCharFormat format = block.begin().fragment().charFormat();
            QCOMPARE(format.foreground().color(), row.colour);
            QVERIFY2(format.toolTip().startsWith(QLatin1String(row.message)),
                     qPrintable(format.toolTip()));
        }
    }

    void reportSavesPerTalkerAndRule() {
        LineHealth health;
        health.setClock([] { return qint64(1000); });
        for (const QByteArray& line : {kGga, kShortMwd, kShortMwd, kUnknownTalker})
            feed(health, line);
        QTemporaryDir dir;
        QString error;
        QVERIFY(writeConformanceReport(health.conformance(), dir.filePath("r.txt"), &error));
        QFile text(dir.filePath("r.txt"));
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QString report = QString::fromUtf8(text.readAll());
        QVERIFY(report.contains("Sentences checked: 4\nErrors: 2\nWarnings: 1\n"));
        QVERIFY2(report.contains("\nTalker WI\n  field-count (error): 2 - "), qPrintable(report));
        QVERIFY(report.contains("\nTalker XX\n  talker-unknown (warning): 1 - "));
        QVERIFY(!report.contains("Talker GP"));

        QVERIFY(writeConformanceReport(health.conformance(), dir.filePath("r.html"), &error));
        QFile html(dir.filePath("r.html"));
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(html.readAll());
        QVERIFY(page.startsWith("<!DOCTYPE html>"));
        QVERIFY(page.contains("<h2>Talker WI</h2>"));
        QVERIFY(page.contains("<td>field-count</td><td>error</td><td>2</td>"));

        QVERIFY(!writeConformanceReport(health.conformance(), dir.filePath("none/r.txt"), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(ConformanceViewsTest)
#include "tst_conformance_views.moc"
