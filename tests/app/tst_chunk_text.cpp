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
    void breaksOverLongLinesOnly() {
        constexpr qsizetype limit = PaneLineBreaker::kLineLimit;
        const QByteArray full(limit, 'x');
        const QByteArray mark = QByteArray(1, PaneLineBreaker::kBreakMark) + '\n';
        const struct {
            QByteArray text, pane;
        } cases[] = {
            {full, full},
            {full + "\n", full + "\n"},
            {full + "y", full + mark + "y"},
            {full + full + "z", full + mark + full + mark + "z"},
            {"ab\n" + full + "c\nd", "ab\n" + full + mark + "c\nd"},
        };
        for (const auto& c : cases) {
            for (qsizetype cut : {qsizetype(0), qsizetype(1), limit, c.text.size()}) {
                PaneLineBreaker breaker;
                QByteArray got = breaker.apply(QByteArrayView(c.text).first(cut));
                QCOMPARE(got + breaker.apply(QByteArrayView(c.text).sliced(cut)), c.pane);
            }
        }
    }

    // What stays for the pane: the newest lines within both bounds, from a line start
    // where one is within reach.
    void cutsPendingTextToTheNewestLines() {
        const struct {
            const char* text;
            qsizetype lines, chars, cut;
        } cases[] = {
            {"a\nb\nc", 5, 100, 0},     // fits
            {"a\nb\nc\nd", 2, 100, 2},  // too many line ends: "b\nc\nd" left
            {"aaaa\nbb\ncc", 9, 6, 5},  // too many characters: "bb\ncc" left
            {"aaaaaaaaaa", 9, 4, 6},    // no line end: the last four characters
            {"aa\nbbbbbbbb", 9, 4, 7},  // the newest line alone too long
        };
        for (const auto& c : cases) {
            QCOMPARE(paneTextCut(QString::fromLatin1(c.text), c.lines, c.chars), c.cut);
        }
    }
};

QTEST_GUILESS_MAIN(ChunkTextTest)
#include "tst_chunk_text.moc"
