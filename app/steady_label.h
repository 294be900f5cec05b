// Setting a status label's text without laying the window out again: QLabel asks its
// parents for a new layout on every new text, and a window with docks spends far
// more on that than on painting the label. A label set this way keeps a fixed size
// that only grows, so a count that ticks ("9.2 sentences/s", "9.3 sentences/s")
// repaints the label alone.
#pragma once

#include <QLabel>
#include <algorithm>

inline void setSteadyText(QLabel* label, const QString& text) {
    if (label->text() == text) {
        return;
    }
    label->setText(text);
    const QSize hint = label->sizeHint();
    const bool fixed = label->minimumSize() == label->maximumSize();
    if (!fixed || hint.width() > label->width() || hint.height() != label->height()) {
        label->setFixedSize(std::max(hint.width(), fixed ? label->width() : 0), hint.height());
    }
}
