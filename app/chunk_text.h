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

// Keeps the lines of the raw pane short enough to lay out: a stream without line
// ends (a wrong device, a flood of noise) would otherwise become one line that
// grows without bound and that the pane re-lays out on every insertion. A line
// that reaches the limit is ended with the break mark, and the text goes on in a
// new line. The limit is far above any real sentence (at most 82 characters on
// the wire), so real data is never broken. Only the pane's copy is broken; the
// recording keeps the decoded text as it came.
class PaneLineBreaker {
public:
    static constexpr qsizetype kLineLimit = 4096;
    // Latin-1 NOT SIGN, shown at the end of a broken line.
    static constexpr char kBreakMark = '\xAC';

    // Decoded text (LF line ends) with every over-long line broken.
    QByteArray apply(QByteArrayView text);
    void reset() { lineLength = 0; }

private:
    qsizetype lineLength = 0;  // characters since the last line end
};

// Where to cut text waiting for the raw pane so that what is left holds at most
// maxLines line ends and at most maxChars characters, starting at the beginning
// of a line where possible: 0 when it fits already.
qsizetype paneTextCut(QStringView pending, qsizetype maxLines, qsizetype maxChars);
