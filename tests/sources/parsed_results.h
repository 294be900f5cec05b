// What the parse cycle makes of a stream delivered in chunks: one line per result
// list and result text, in stream order. Separators are left out, since where a
// buffer ends without a sentence depends on how the stream was cut.
#pragma once

#include <QByteArray>
#include <QStringList>

#include "present/parse_cycle.h"

namespace testsupport {

class ParsedResults : public present::CycleSink {
public:
    void feed(const QByteArray& chunk) {
        buffer_ += chunk;
        present::runParseCycle(buffer_, *this);
    }
    const QStringList& results() const { return results_; }
    int sentences() const { return sentences_; }

    void resultList(int code, const QStringList& list) override {
        results_ << QString::number(code) + " " + list.join(QLatin1Char('|'));
    }
    void resultText(int code, const QString& text) override {
        results_ << QString::number(code) + " " + text;
    }
    void snapshot(int, void*) override {}
    void separator() override {}
    void sentenceDone(int) override { ++sentences_; }

private:
    QByteArray buffer_;
    QStringList results_;
    int sentences_ = 0;
};

}  // namespace testsupport
