#include "app/raw_pane_bound.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

void dropOldestPaneText(QPlainTextEdit& pane, int maxChars) {
    QTextDocument* document = pane.document();
    const int excess = document->characterCount() - maxChars;
    if (excess <= 0) {
        return;
    }
    // The first line that starts at or after the excess survives, with all after it.
    QTextBlock keep = document->findBlock(excess);
    if (keep.position() < excess && keep.next().isValid()) {
        keep = keep.next();
    }
    if (keep.position() <= 0) {
        return;
    }
    QTextCursor cursor(document);
    cursor.setPosition(0);
    cursor.setPosition(keep.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
