#include "sources/source_memory.h"

#include <QSettings>

namespace sources {

RememberedSource rememberedSource() {
    // The application's own settings (the monitor names itself Tidewright/tidewright).
    const QSettings stored;
    RememberedSource last;
    last.text = stored.value(QStringLiteral("source/last")).toString();
    last.baud = stored.value(QStringLiteral("source/baud"), 4800).toInt();
    return last;
}

void rememberSource(const QString& text, int baud) {
    QSettings stored;
    stored.setValue(QStringLiteral("source/last"), text);
    stored.setValue(QStringLiteral("source/baud"), baud);
}

bool strictFramingChosen() {
    return QSettings().value(QStringLiteral("source/strictFraming"), false).toBool();
}

void rememberStrictFraming(bool strict) {
    QSettings().setValue(QStringLiteral("source/strictFraming"), strict);
}

}  // namespace sources
