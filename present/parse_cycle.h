// The parse cycle: runs the parser over the receive buffer after every read and
// publishes, per accepted sentence and in stream order, its result list, its result
// text and its snapshot. The main window and the command-line decoder both drive it,
// each with its own sink, so both see exactly the same results.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace ais {
struct AisMessageLayout;
}
namespace n2k {
struct Message;
struct DecodedPgn;
}  // namespace n2k
namespace nmeaz {
struct ParserContext;
struct SentenceLayout;
}  // namespace nmeaz
#include "nmea/line_counters.h"
#include "nmea/tag_capture.h"

namespace present {

// The sentence or AIS message the cycle is publishing: the split sentence as the
// framer holds it and the record its parser or decoder filled. The named output and
// the readable view read values from here.
struct DecodedSentence {
    int code = 0;
    const nmeaz::ParserContext* context = nullptr;
    const nmeaz::SentenceLayout* sentence = nullptr;  // null for an AIS message
    const ais::AisMessageLayout* ais = nullptr;       // null for a sentence
    const void* record = nullptr;
};

// What the cycle publishes now; valid only while the sink handles that sentence
// (code 0 outside), like the current sentence name.
const DecodedSentence& currentDecoded();

// A framed sentence as the framer handed it on.
struct FramedLine {
    // The TAG block that came directly in front of the sentence ("\c:...*hh\"), kept
    // for whoever forwards the line; empty when none. Results never depend on it.
    QByteArrayView tagBlock;
    // From its start character through its line end, any data after the checksum
    // included.
    QByteArrayView sentence;
    bool checksumGood = false;
    nmeaz::FrameDeviations deviations = 0;
};

class CycleSink {
public:
    virtual ~CycleSink() = default;
    // In this order for one sentence, each only where its type has one.
    virtual void resultList(int code, const QStringList& list) = 0;
    virtual void resultText(int code, const QString& text) = 0;
    virtual void snapshot(int code, void* record) = 0;
    // "\n\n" in place of a text: for an accepted sentence without a display of its own,
    // and once at the end of a buffer that does not complete a sentence.
    virtual void separator() = 0;
    // After the results of every accepted sentence (code above 0).
    virtual void sentenceDone(int code) { (void)code; }
    // Decoded records for listeners that keep state across sentences (the AIS
    // targets). Each is called before the sentence's results; the record lives only
    // for the call. `ownShip`: the message came in a VDO sentence.
    virtual void aisRecord(int messageType, const void* record, bool ownShip) {
        (void)messageType, (void)record, (void)ownShip;
    }
    virtual void sentenceRecord(int code, const void* record) { (void)code, (void)record; }
    // One whole NMEA 2000 PGN of a mixed stream (present/stream_router.h), decoded
    // with the loaded database, in stream order with the sentences. Both live only
    // for the call.
    virtual void pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) {
        (void)message, (void)decoded;
    }
    // A fast packet or transport transfer of an NMEA 2000 PGN was dropped (a frame of
    // it lost, repeated or out of order): an error of that PGN and sender.
    virtual void pgnDropped(std::uint32_t pgn, std::uint8_t source) { (void)pgn, (void)source; }
    // False for a sink that reads only currentDecoded() in sentenceDone: the cycle
    // then builds no lists, texts or snapshots for it.
    virtual bool wantsPresentation() const { return true; }
    // False for a sink that only watches framed sentences (a relay): no sentence parser
    // or AIS decoder runs, so no records, results or counts of decoded types follow.
    virtual bool wantsRecords() const { return true; }
    // The counters of the stream this sink follows, or none. They count across
    // cycles; each byte counts once however often the framer sees it again.
    virtual nmeaz::LineCounters* lineCounters() { return nullptr; }
    // Every framed sentence, good or not, before its results: the text exactly as it
    // came, from its start character through its line end, any data after the
    // checksum included.
    virtual void framed(QByteArrayView sentence, bool checksumGood) {
        (void)sentence;
        (void)checksumGood;
    }
    // The same with the deviations from the sentence format it was read with
    // (nmeaz::FrameDeviation bits); by default handed on to framed().
    virtual void framedWithDeviations(QByteArrayView sentence, bool checksumGood,
                                      nmeaz::FrameDeviations deviations) {
        (void)deviations;
        framed(sentence, checksumGood);
    }
    // The same with the TAG block in front of the sentence; by default handed on to
    // framedWithDeviations().
    virtual void framedLine(const FramedLine& line) {
        framedWithDeviations(line.sentence, line.checksumGood, line.deviations);
    }
    // nmeaz::FramingRule bits the framer reads this stream by: strict framing, and
    // comment lines for files.
    virtual unsigned framingRules() const { return 0; }
};

// A sink that only watches framed sentences (a relay): nothing is presented and no
// sentence parser runs.
class FramingSink : public CycleSink {
public:
    void resultList(int, const QStringList&) override {}
    void resultText(int, const QString&) override {}
    void snapshot(int, void*) override {}
    void separator() override {}
    bool wantsPresentation() const override { return false; }
    bool wantsRecords() const override { return false; }
};

// The separator text published where a sentence has nothing to show.
inline QString separatorText() {
    return QStringLiteral("\n\n");
}

// Feeds the receive buffer through a freshly initialised parser context with every
// sentence parser registered, dispatching every result to the sink. Afterwards the
// buffer holds only the bytes of the sentence the framer still has in hand (at most
// 255): the tail that the next read may complete. Everything before it can never be
// part of a sentence, so the buffer stays bounded on noise or a wrong line speed.
// A TAG block that a read cut off, or that stands in front of the sentence in hand,
// is remembered for the stream's next cycle.
void runParseCycle(QByteArray& receiveBuffer, CycleSink& sink);

// What a stream's next cycle needs of where its last one stopped that its receive
// buffer no longer holds: the TAG block a read cut off or that belongs to the
// sentence in hand (those bytes were counted and let go).
struct StreamCarry {
    nmeaz::TagCapture tag{};
};

// The same for one of several streams read by turns (a relay merging its sources):
// each keeps its own carry, so no stream lends another its TAG block. The other form
// keeps one carry for the program's one stream.
void runParseCycle(QByteArray& receiveBuffer, CycleSink& sink, StreamCarry& carry);

// A new stream begins (a port opened, a file decoded): the cycle forgets where the
// last one left its line (inside a comment or an over-long line, mid-line), so the
// new stream starts at a line start.
void startNewStream();

}  // namespace present
