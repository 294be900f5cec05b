// Turns chunks of received bytes into display text: one character per byte
// (Latin-1), NUL bytes dropped, and every line end (CR LF, lone CR, lone LF)
// made one LF. A CR LF pair split between two chunks is still one line end, so
// the text never depends on how the reads happened to be cut.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

class ChunkTextDecoder {
public:
    // The chunk as Latin-1 bytes with LF line ends.
    QByteArray decode(QByteArrayView chunk);
    void reset() { afterCr = false; }

private:
    bool afterCr = false;  // the last byte seen was a CR, already turned into LF
};
