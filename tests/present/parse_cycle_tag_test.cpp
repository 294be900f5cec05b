// The TAG block in front of a sentence reaches the sink with it through the parse
// cycle, however the reads cut a real tagged capture, with or without the stream
// router, and one stream never lends its block to another read in between.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <string>
#include <vector>

#include "nmea/line_counters.h"
#include "present/parse_cycle.h"
#include "present/stream_router.h"

namespace {

class TagSink : public present::FramingSink {
public:
    void framedLine(const present::FramedLine& line) override {
        lines.push_back(line.tagBlock.toByteArray() + line.sentence.toByteArray());
    }
    nmeaz::LineCounters* lineCounters() override { return &counters; }

    // Each framed sentence with its block in front, as a forwarder writes it.
    std::vector<QByteArray> lines;
    nmeaz::LineCounters counters{};
};

// Five AIS sentences, each behind its block, CR LF added by the capture's reader.
QByteArray capture() {
    QFile file(QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR "/sources/tagblock.nmea"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty()) {
            bytes += line.trimmed() + "\r\n";
        }
    }
    return bytes;
}

std::vector<QByteArray> linesOf(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.isEmpty()) {
            lines.push_back(line + '\n');
        }
    }
    return lines;
}

// The stream in the given reads, straight into the cycle or through the router.
TagSink read(const QByteArray& stream, const std::vector<qsizetype>& cuts, bool routed) {
    present::startNewStream();
    TagSink sink;
    QByteArray buffer;
    present::StreamRouter router([] { return static_cast<const n2k::PgnDatabase*>(nullptr); });
    const present::Nmea0183Cycle cycle = [&](QByteArray& b) { present::runParseCycle(b, sink); };
    qsizetype at = 0;
    for (qsizetype cut : cuts) {
        const QByteArray piece = stream.mid(at, cut - at);
        if (routed) {
            router.feed(piece.constData(), static_cast<std::size_t>(piece.size()), buffer, sink,
                        cycle);
        } else {
            buffer += piece;
            present::runParseCycle(buffer, sink);
        }
        at = cut;
    }
    return sink;
}

TEST(ParseCycleTags, EveryLineKeepsItsBlockHoweverTheReadsCutIt) {
    const QByteArray stream = capture();
    const std::vector<QByteArray> expected = linesOf(stream);
    ASSERT_EQ(expected.size(), 5u);
    const TagSink whole = read(stream, {stream.size()}, false);
    ASSERT_EQ(whole.lines, expected);
    for (bool routed : {false, true}) {
        for (qsizetype cut = 1; cut < stream.size(); ++cut) {
            const TagSink split = read(stream, {cut, stream.size()}, routed);
            ASSERT_EQ(split.lines, expected) << "cut at " << cut << (routed ? " routed" : "");
            ASSERT_EQ(split.counters, whole.counters) << "cut at " << cut;
        }
        std::vector<qsizetype> bytewise;
        for (qsizetype at = 1; at <= stream.size(); ++at) {
            bytewise.push_back(at);
        }
        EXPECT_EQ(read(stream, bytewise, routed).lines, expected);
    }
}

// Two streams read by turns, as a relay merges its sources: a block that one read
// left unfinished, or finished but without its sentence yet, stays with its stream.
TEST(ParseCycleTags, StreamsReadByTurnsKeepTheirOwnBlocks) {
    const std::vector<QByteArray> lines = linesOf(capture());
    const QByteArray tagged = lines[1];
    const qsizetype sentenceAt = tagged.indexOf('!');
    const QByteArray gll = "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n";
    for (qsizetype cut : {qsizetype{5}, sentenceAt, sentenceAt + 4}) {
        SCOPED_TRACE(cut);
        TagSink sink;
        QByteArray first = tagged.first(cut);
        QByteArray second = gll;
        present::StreamCarry firstCarry;
        present::StreamCarry secondCarry;
        present::runParseCycle(first, sink, firstCarry);
        present::runParseCycle(second, sink, secondCarry);
        first += tagged.sliced(cut);
        present::runParseCycle(first, sink, firstCarry);
        ASSERT_EQ(sink.lines.size(), 2u);
        EXPECT_EQ(sink.lines[0], gll);
        EXPECT_EQ(sink.lines[1], tagged);
    }
}

}  // namespace
