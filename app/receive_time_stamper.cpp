#include "app/receive_time_stamper.h"

#include "nmea/tag_block.h"

QByteArray ReceiveTimeStamper::stamp(QByteArrayView text, qint64 unixMs) {
    char tag[32];
    const auto tagLength = static_cast<qsizetype>(nmeaz::formatTimeTag(unixMs, tag, sizeof tag));
    QByteArray out;
    out.reserve(text.size() + tagLength * 4);
    for (const char c : text) {
        // Empty lines stay empty: there is nothing to time.
        if (atLineStart_ && c != '\n') {
            out.append(tag, tagLength);
        }
        out.append(c);
        atLineStart_ = c == '\n';
    }
    return out;
}
