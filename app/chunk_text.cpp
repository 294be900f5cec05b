#include "app/chunk_text.h"

QByteArray ChunkTextDecoder::decode(QByteArrayView chunk) {
    QByteArray text;
    text.reserve(chunk.size());
    for (const char byte : chunk) {
        const bool lfOfPair = afterCr && byte == '\n';
        afterCr = byte == '\r';
        if (byte == '\0' || lfOfPair) {
            continue;
        }
        text.append(byte == '\r' ? '\n' : byte);
    }
    return text;
}

QByteArray PaneLineBreaker::apply(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size() + 2 * (text.size() / kLineLimit + 1));
    for (const char c : text) {
        if (c == '\n') {
            lineLength = 0;
        } else if (lineLength == kLineLimit) {
            out.append(kBreakMark);
            out.append('\n');
            lineLength = 1;
        } else {
            ++lineLength;
        }
        out.append(c);
    }
    return out;
}

qsizetype paneTextCut(QStringView pending, qsizetype maxLines, qsizetype maxChars) {
    const qsizetype size = pending.size();
    if (size <= maxChars && pending.count(u'\n') <= maxLines) {
        return 0;
    }
    // Walks back from the end over line starts while the text after them still fits.
    qsizetype cut = -1;
    qsizetype lineEnds = 0;
    for (qsizetype at = size - 1; at >= 0; --at) {
        if (pending[at] != u'\n') {
            continue;
        }
        if (lineEnds > maxLines || size - (at + 1) > maxChars) {
            break;
        }
        cut = at + 1;
        ++lineEnds;
    }
    // Without a line end in reach only the newest characters stay.
    return cut >= 0 ? cut : size - maxChars;
}
