#include "app/status_notices.h"

#include <QStringList>

StatusNotices::StatusNotices(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("statusNotices"));
    // The purpose in the description, the value in the name (see refresh()).
    setAccessibleDescription(tr("Notices"));
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
    setAccessibleName(texts.isEmpty() ? accessibleDescription()
                                      : tr("%1: %2").arg(accessibleDescription(), text()));
    setVisible(!texts.isEmpty());
}
