// Keeps the raw pane's document within a number of lines and of characters, so that
// neither a day of sentences nor long lines can fill memory. The pane trims itself
// here rather than through QPlainTextEdit's maximum block count: that walks the
// cursor over every line it drops, laying each out first, which at NMEA 2000 rates
// (thousands of lines a second) was most of the monitor's work.
#pragma once

class QPlainTextEdit;

// Removes whole lines from the start of the pane until at most maxLines lines and
// maxChars characters are left (the newest line is kept even when it alone is
// longer), in one edit that lays nothing out.
void dropOldestPaneText(QPlainTextEdit& pane, int maxLines, int maxChars);
