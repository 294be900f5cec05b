// Puts a TAG block with the receive time ("\c:<unix seconds>*hh\") in front of every
// recorded line, so a replay can keep the recording's pace. The text comes chunk by
// chunk with LF line ends; a line is stamped when its first byte arrives, so a line
// split over two chunks is stamped once, with the time it began.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

class ReceiveTimeStamper {
public:
    QByteArray stamp(QByteArrayView text, qint64 unixMs);
    // The next byte starts a line (a new recording).
    void reset() { atLineStart_ = true; }

private:
    bool atLineStart_ = true;
};
