// A realistic mixed NMEA log for the presentation benchmarks: every one of the 26
// sentence types and AIS messages of every decoded kind (one and two sentences),
// with CR LF line ends, as a GPS, instruments and an AIS receiver share a line.
#pragma once

#include <QByteArray>

namespace benchlog {

struct MixedLog {
    QByteArray bytes;
    long long sentences = 0;
};

// About `minBytes` of log, built from whole repetitions of one talker "second".
MixedLog mixedLog(qsizetype minBytes);

}  // namespace benchlog
