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
