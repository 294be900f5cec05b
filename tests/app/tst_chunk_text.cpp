// What the raw pane and the recording receive must not depend on how the
// reads were cut: every split of the same bytes gives the same text.
#include <QTest>

#include "app/chunk_text.h"

class ChunkTextTest : public QObject {
    Q_OBJECT

private slots:
    void decodesEverySplitAlike_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("crlf") << QByteArray("$GPGGA,1*00\r\n$GPRMC*00\r\n")
                              << QByteArray("$GPGGA,1*00\n$GPRMC*00\n");
        QTest::newRow("lone lf") << QByteArray("a\nb\n") << QByteArray("a\nb\n");
        QTest::newRow("lone cr") << QByteArray("a\rb\r") << QByteArray("a\nb\n");
        QTest::newRow("cr cr lf is two") << QByteArray("a\r\r\nb") << QByteArray("a\n\nb");
        QTest::newRow("lf cr is two") << QByteArray("a\n\rb") << QByteArray("a\n\nb");
        QTest::newRow("crlf crlf") << QByteArray("\r\n\r\n") << QByteArray("\n\n");
        QTest::newRow("nul dropped, rest kept")
            << QByteArray("$GP\0GGA\0\0,1\r\n", 13) << QByteArray("$GPGGA,1\n");
        QTest::newRow("nul between cr and lf") << QByteArray("a\r\0\nb", 5) << QByteArray("a\n\nb");
        QByteArray high;
        for (int b = 0x01; b <= 0xFF; ++b) {
            if (b != '\r' && b != '\n') {
                high.append(char(b));
            }
        }
        QTest::newRow("bytes 01..FF unchanged") << high << high;
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void decodesEverySplitAlike() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, text);
        // Whole, and cut once at every position, and byte by byte.
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            ChunkTextDecoder decoder;
            QByteArray got = decoder.decode(bytes.first(cut));
            got += decoder.decode(bytes.sliced(cut));
            QCOMPARE(got, text);
        }
        ChunkTextDecoder decoder;
        QByteArray got;
        for (char byte : bytes) {
            got += decoder.decode(QByteArrayView(&byte, 1));
        }
        QCOMPARE(got, text);
    }

    void resetForgetsAPendingCr() {
        ChunkTextDecoder decoder;
        QCOMPARE(decoder.decode("a\r"), QByteArray("a\n"));
        decoder.reset();
        QCOMPARE(decoder.decode("\nb"), QByteArray("\nb"));
    }
};

QTEST_GUILESS_MAIN(ChunkTextTest)
#include "tst_chunk_text.moc"
