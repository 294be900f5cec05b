#include "app/status_notices.h"

#include <QStringList>

StatusNotices::StatusNotices(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("statusNotices"));
    setAccessibleName(tr("Notices"));
    setVisible(false);
}

void StatusNotices::set(const QString& key, const QString& text) {
    if (notices.value(key) == text) {
        return;
    }
    notices.insert(key, text);
    refresh();
}

void StatusNotices::clear(const QString& key) {
    if (notices.remove(key) > 0) {
        refresh();
    }
}

void StatusNotices::refresh() {
    const QStringList texts = notices.values();
    setText(texts.join(QStringLiteral(" | ")));
    setVisible(!texts.isEmpty());
}
