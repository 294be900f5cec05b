// Test helpers: NMEA sentences with their checksum, and a sink that records what a
// parse cycle publishes, as readable event strings.
#pragma once

#include <QByteArray>
#include <QStringList>

#include "present/parse_cycle.h"
#include "present/xml_snapshot.h"

namespace testing_present {

// "$" + body + "*hh\r\n", the checksum computed over body.
inline QByteArray sentence(const QByteArray& body, char start = '$') {
    unsigned char sum = 0;
    for (char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    return start + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') +
           "\r\n";
}

inline QByteArray aivdm(const QByteArray& fields) {
    return sentence("AIVDM," + fields, '!');
}

// Events: "list:<entries joined by |>", "text:<text>", "snapshot:<code>", "sep",
// "done:<code>".
class CycleRecorder : public present::CycleSink {
public:
    QStringList events;
    QList<QStringList> lists;
    QStringList texts;

    void resultList(int, const QStringList& list) override {
        lists.append(list);
        events.append(QStringLiteral("list:") + list.join(u'|'));
    }
    void resultText(int, const QString& text) override {
        texts.append(text);
        events.append(QStringLiteral("text:") + text);
    }
    void snapshot(int code, void*) override {
        events.append(QStringLiteral("snapshot:%1").arg(code));
    }
    void separator() override { events.append(QStringLiteral("sep")); }
    void sentenceDone(int code) override { events.append(QStringLiteral("done:%1").arg(code)); }

    void clear() {
        events.clear();
        lists.clear();
        texts.clear();
    }
};

// Runs one cycle over bytes appended to buffer and returns what it published.
inline CycleRecorder cycle(QByteArray& buffer, const QByteArray& read) {
    CycleRecorder recorder;
    buffer.append(read);
    present::runParseCycle(buffer, recorder);
    return recorder;
}

}  // namespace testing_present
