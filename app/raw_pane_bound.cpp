#include "app/raw_pane_bound.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

void dropOldestPaneText(QPlainTextEdit& pane, int maxLines, int maxChars) {
    QTextDocument* document = pane.document();
    int keepFrom = 0;  // the position of the first line that stays
    const int extraLines = document->blockCount() - std::max(1, maxLines);
    if (extraLines > 0) {
        keepFrom = document->findBlockByNumber(extraLines).position();
    }
    const int excess = document->characterCount() - maxChars;
    if (excess > keepFrom) {
        // The first line that starts at or after the excess survives, with all after it.
        QTextBlock keep = document->findBlock(excess);
        if (keep.position() < excess && keep.next().isValid()) {
            keep = keep.next();
        }
        keepFrom = std::max(keepFrom, keep.position());
    }
    if (keepFrom <= 0) {
        return;
    }
    QTextCursor cursor(document);
    cursor.setPosition(0);
    cursor.setPosition(keepFrom, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
