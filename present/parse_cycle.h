// The parse cycle: runs the parser over the receive buffer after every read and
// publishes, per accepted sentence and in stream order, its result list, its result
// text and its snapshot. The main window and the command-line decoder both drive it,
// each with its own sink, so both see exactly the same results.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "nmea/line_counters.h"

namespace present {

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
    // The counters of the stream this sink follows, or none. They count across
    // cycles; each byte counts once however often the framer sees it again.
    virtual nmeaz::LineCounters* lineCounters() { return nullptr; }
    // Every framed sentence, good or not, before its results: the text from its
    // start character to its line end.
    virtual void framed(QByteArrayView sentence, bool checksumGood) {
        (void)sentence;
        (void)checksumGood;
    }
};

// The separator text published where a sentence has nothing to show.
inline QString separatorText() {
    return QStringLiteral("\n\n");
}

// Feeds the receive buffer through a freshly initialised parser context with the 26
// sentence parsers registered, dispatching every result to the sink. Afterwards the
// buffer holds only the bytes of the sentence the framer still has in hand (at most
// 255): the tail that the next read may complete. Everything before it can never be
// part of a sentence, so the buffer stays bounded on noise or a wrong line speed.
void runParseCycle(QByteArray& receiveBuffer, CycleSink& sink);

}  // namespace present
