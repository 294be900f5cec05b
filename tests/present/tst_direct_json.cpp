// The decoder's JSON lines written straight from the records must be byte for byte the
// lines built from the result lists and texts, for every sentence of every capture in
// the test data (and for character fields holding any byte).
#include <QDir>
#include <QFile>
#include <QTest>

#include "direct_json.h"
#include "json_lines.h"
#include "nmea/checksum.h"
#include "nmea/records.h"
#include "present/parse_cycle.h"

namespace {

// Builds both lines for every accepted sentence; counts the ones that differ.
struct CompareSink : present::CycleSink {
    QStringList list;
    QString text;
    bool hasList = false;
    bool hasText = false;
    int lines = 0;
    QList<QByteArray> differences;
    void resultList(int, const QStringList& l) override {
        list = l;
        hasList = true;
    }
    void resultText(int, const QString& t) override {
        text = t;
        hasText = true;
    }
    void snapshot(int, void*) override {}
    void separator() override {}
    void sentenceDone(int code) override {
        const QString key = QString::fromLatin1(nmeaz::currentSentenceName);
        std::string viaLists;
        decode::appendJsonLine(viaLists, code, key, hasList ? &list : nullptr,
                               hasText ? &text : nullptr);
        std::string direct;
        decode::appendDirectJsonLine(direct, present::currentDecoded(), nmeaz::currentSentenceName);
        if (direct != viaLists) {
            differences.append(QByteArray::fromStdString(viaLists + direct));
        }
        ++lines;
        hasList = hasText = false;
    }
};

}  // namespace

class DirectJsonTest : public QObject {
    Q_OBJECT

private slots:
    void sameBytesAsTheListsAndTexts() {
        QByteArray all;
        const QDir data(QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR));
        for (const char* dir : {"nmea", "present/golden", "ais", "tools"}) {
            const QDir folder(data.filePath(QString::fromLatin1(dir)));
            for (const QString& name : folder.entryList(QDir::Files)) {
                QFile file(folder.filePath(name));
                QVERIFY(file.open(QIODevice::ReadOnly));
                all += file.readAll().replace("\r\n", "\n").replace("\n", "\r\n");
            }
        }
        // Character and text fields holding every byte value.
        for (int byte = 1; byte < 256; ++byte) {
            if (byte == ',' || byte == '*' || byte == '\r' || byte == '\n') {
                continue;
            }
            const std::string c(1, static_cast<char>(byte));
            all += QByteArray::fromStdString(
                nmeaz::framedSentence('$', "GPGLL,1,N,2,E,3," + c + ",A") +
                nmeaz::framedSentence('$', "GPWPL,1,N,2,E," + c + "x"));
        }
        // A long text with escapes spread over it: it is escaped in pieces.
        std::string name;
        for (int i = 0; name.size() < 230; ++i) {
            name += i % 7 == 0 ? "\xE9\"" : "ab\\";
        }
        all += QByteArray::fromStdString(nmeaz::framedSentence('$', "GPWPL,1,N,2,E," + name));
        CompareSink sink;
        present::runParseCycle(all, sink);
        QVERIFY2(sink.lines > 10000, qPrintable(QString::number(sink.lines)));
        QVERIFY2(sink.differences.isEmpty(), sink.differences.value(0).constData());
    }
};

QTEST_GUILESS_MAIN(DirectJsonTest)
#include "tst_direct_json.moc"
