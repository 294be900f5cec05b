// The XML snapshots: exact documents, NUL fields, atomic replacement, failures.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "nmea/records.h"
#include "nmea/sentence_parsers.h"
#include "present/xml_snapshot.h"

using namespace present;

namespace {

nmeaz::GgaRecord exampleGga() {
    return {123519.0, 4807.038, 'N', 1131.0, 'E', 1, 8, 0.9, 545.4, 'M', 46.9, 'M', 0.0, 0};
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool wellFormed(const QByteArray& document) {
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        reader.readNext();
    }
    return !reader.hasError();
}

}  // namespace

class XmlSnapshotTest : public QObject {
    Q_OBJECT

private slots:
    void ggaDocument() {
        const nmeaz::GgaRecord gga = exampleGga();
        QCOMPARE(snapshotDocument(nmeaz::kCodeGga, &gga, "2010-09-01T14:05:09"),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<gga>\n"
                            "    <current_time>2010-09-01T14:05:09</current_time>\n"
                            "    <utc>123519</utc>\n"
                            "    <latitude>4807.04</latitude>\n"
                            "    <ns>N</ns>\n"
                            "    <longitude>1131</longitude>\n"
                            "    <ew>E</ew>\n"
                            "    <sig>1</sig>\n"
                            "    <satinuse>8</satinuse>\n"
                            "    <HDOP>0.9</HDOP>\n"
                            "    <elv>545.4</elv>\n"
                            "    <elv_units>M</elv_units>\n"
                            "    <diff>46.9</diff>\n"
                            "    <diff_units>M</diff_units>\n"
                            "    <dgps_age>0</dgps_age>\n"
                            "    <dgps_sid>0</dgps_sid>\n"
                            "</gga>\n"));
    }

    // Every element in record order, numbers in six significant digits.
    void rmcAndGllValues() {
        const nmeaz::RmcRecord rmc{123519.55, 'A',  4807.038, 'N', 1131.0, 'E',
                                   22.4,      84.4, 230394.0, 3.1, 'W',    'A'};
        const QByteArray rmcXml = snapshotDocument(nmeaz::kCodeRmc, &rmc, "T");
        QVERIFY(
            rmcXml.contains("<rmc>\n    <current_time>T</current_time>\n"
                            "    <utc>123520</utc>\n    <status>A</status>\n"));
        QVERIFY(
            rmcXml.contains("<date>230394</date>\n    <mag_var>3.1</mag_var>\n"
                            "    <ew2>W</ew2>\n    <mode>A</mode>\n</rmc>\n"));
        const nmeaz::GllRecord gll{4916.45, 'N', 12311.12, 'W', 235959.7, 'A', 'D'};
        QVERIFY(snapshotDocument(nmeaz::kCodeGll, &gll, "T")
                    .contains("<ew>W</ew>\n    <utc>235960</utc>\n    <status>A</status>\n"));
    }

    // An empty sentence field holds NUL; written as such it would make the whole
    // document unreadable, so the element is left empty.
    void nulAndControlCharactersGiveEmptyElements() {
        nmeaz::GgaRecord gga = exampleGga();
        gga.ns = '\0';
        gga.ew = '\x01';
        const QByteArray document = snapshotDocument(nmeaz::kCodeGga, &gga, "T");
        QVERIFY(document.contains("<ns></ns>"));
        QVERIFY(document.contains("<ew></ew>"));
        QVERIFY(!document.contains('\0'));
        QVERIFY(wellFormed(document));
    }

    void otherCodesWriteNothing() {
        const nmeaz::GgaRecord gga = exampleGga();
        QVERIFY(snapshotDocument(4, &gga, "T").isEmpty());
        QTemporaryDir dir;
        QVERIFY(!saveSnapshot(4, &gga, dir.path()));
        QVERIFY(!saveSnapshot(nmeaz::kCodeDpt, &gga, dir.path()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    // The file is replaced whole, with no temporary file left behind, and carries the
    // local time it was written at.
    void saveReplacesTheFile() {
        QTemporaryDir dir;
        nmeaz::GgaRecord gga = exampleGga();
        QVERIFY(saveSnapshot(nmeaz::kCodeGga, &gga, dir.path()));
        gga.utc = 123520.0;
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        QVERIFY(saveSnapshot(nmeaz::kCodeGga, &gga, dir.path()));
        const QDateTime after = QDateTime::currentDateTime().addSecs(1);

        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"gga.xml"});
        const QByteArray written = readFile(dir.filePath("gga.xml"));
        QVERIFY(written.contains("<utc>123520</utc>"));
        const qsizetype start = written.indexOf("<current_time>") + 14;
        const QString stamp = QString::fromLatin1(written.mid(start, 19));
        const QDateTime time = QDateTime::fromString(stamp, Qt::ISODate);
        QVERIFY2(time.isValid(), qPrintable(stamp));
        QVERIFY(time >= before && time <= after);
        QCOMPARE(written, snapshotDocument(nmeaz::kCodeGga, &gga, stamp));
    }

    void unwritableDirectoryIsSkipped() {
        const nmeaz::GgaRecord gga = exampleGga();
        QVERIFY(!saveSnapshot(nmeaz::kCodeGga, &gga, "/nonexistent/tidewright"));
    }
};

QTEST_GUILESS_MAIN(XmlSnapshotTest)
#include "tst_xml_snapshot.moc"
