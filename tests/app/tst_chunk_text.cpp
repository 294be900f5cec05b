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
        // CR LF is one line end, so is a lone CR or LF: CR CR LF and LF CR are two.
        QTest::newRow("line ends")
            << QByteArray("a\r\nb\nc\rd\r\r\ne\n\rf") << QByteArray("a\nb\nc\nd\n\ne\n\nf");
        QTest::newRow("nul dropped")
            << QByteArray("$GP\0GG\0\0A\r\0\nb", 13) << QByteArray("$GPGGA\n\nb");
        QByteArray high;
        for (int b = 0x01; b <= 0xFF; ++b) {
            if (b != '\r' && b != '\n') {
                high.append(char(b));
            }
        }
        QTest::newRow("bytes 01..FF unchanged") << high << high;
    }
    void decodesEverySplitAlike() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, text);
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            ChunkTextDecoder decoder;
            QByteArray got = decoder.decode(bytes.first(cut));
            QCOMPARE(got + decoder.decode(bytes.sliced(cut)), text);
        }
        ChunkTextDecoder decoder;
        QByteArray got;
        for (char byte : bytes) {
            got += decoder.decode(QByteArrayView(&byte, 1));
        }
        QCOMPARE(got, text);
    }

    // Only the pane's copy is broken, at the limit, with the mark; a line end resets
    // the count however the text was split.
};

QTEST_GUILESS_MAIN(ChunkTextTest)
#include "tst_chunk_text.moc"
