// Keeps the raw pane's document within a number of characters, on top of the
// pane's own bound on lines, so that long lines cannot fill memory either.
#pragma once

class QPlainTextEdit;

// Removes whole lines from the start of the pane until at most maxChars
// characters are left (the newest line is kept even when it alone is longer).
void dropOldestPaneText(QPlainTextEdit& pane, int maxChars);
