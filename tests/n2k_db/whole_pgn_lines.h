// Test support: whole PGNs from the two line forms of the test captures that carry
// them, PLAIN CSV (`timestamp,prio,pgn,src,dst,len,hex,hex,...`) and iKonvert
// (`!PDGY,pgn,prio,src,dst,time,base64`). The gateway readers of n2k/ replace this.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstring>

#include "n2k/message.h"

namespace testsupport {

inline bool wholePgnFromLine(const QByteArray& line, n2k::Message& m) {
    const QList<QByteArray> parts = line.trimmed().split(',');
    bool ok = true;
    const auto number = [&](const QByteArray& text) {
        bool fine = false;
        const unsigned value = text.toUInt(&fine);
        ok = ok && fine;
        return value;
    };
    QByteArray payload;
    if (parts.value(0) == "!PDGY" && parts.size() == 7) {
        m.pgn = number(parts[1]);
        m.priority = static_cast<std::uint8_t>(number(parts[2]));
        m.source = static_cast<std::uint8_t>(number(parts[3]));
        m.destination = static_cast<std::uint8_t>(number(parts[4]));
        payload = QByteArray::fromBase64(parts[6]);
    } else if (parts.size() >= 6) {
        m.priority = static_cast<std::uint8_t>(number(parts[1]));
        m.pgn = number(parts[2]);
        m.source = static_cast<std::uint8_t>(number(parts[3]));
        m.destination = static_cast<std::uint8_t>(number(parts[4]));
        const unsigned length = number(parts[5]);
        for (qsizetype i = 6; i < parts.size(); ++i) {
            payload += QByteArray::fromHex(parts[i]);
        }
        ok = ok && payload.size() == static_cast<qsizetype>(length);
    } else {
        return false;
    }
    if (!ok || payload.size() > n2k::kMaxPayload) {
        return false;
    }
    m.length = static_cast<int>(payload.size());
    std::memcpy(m.data, payload.constData(), static_cast<std::size_t>(payload.size()));
    return true;
}

}  // namespace testsupport
