#include "app/readable_toggle.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

#include "app/show_dialog.h"

namespace {

const QString kSettingKey = QStringLiteral("inspector/readableValues");

QSettings settings() {
    return QSettings(QStringLiteral("Tidewright"), QStringLiteral("tidewright"));
}

}  // namespace

QAction* addReadableValuesToggle(QMenu* menu, showDialog* inspector) {
    auto* action = menu->addAction(QObject::tr("Readable values"));
    action->setObjectName(QStringLiteral("actionReadableValues"));
    action->setCheckable(true);
    action->setChecked(settings().value(kSettingKey, false).toBool());
    action->setStatusTip(QObject::tr("Show values with units instead of the raw result list"));
    if (inspector != nullptr) {
        inspector->setReadable(action->isChecked());
    }
    QObject::connect(action, &QAction::toggled, menu, [inspector](bool on) {
        if (inspector != nullptr) {
            inspector->setReadable(on);
        }
        settings().setValue(kSettingKey, on);
    });
    return action;
}
