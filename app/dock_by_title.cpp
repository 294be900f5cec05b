#include "app/dock_by_title.h"

#include <QDockWidget>
#include <QMainWindow>

namespace {

// Only the window's own docks: a dock inside a dock's widget is not one of them.
QList<QDockWidget*> ownDocks(const QMainWindow& window) {
    return window.findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

}  // namespace

QStringList dockTitles(const QMainWindow& window) {
    QStringList titles;
    for (const QDockWidget* dock : ownDocks(window)) {
        titles.append(dock->windowTitle());
    }
    return titles;
}

QDockWidget* dockByTitle(const QMainWindow& window, const QString& name) {
    for (QDockWidget* dock : ownDocks(window)) {
        if (dock->windowTitle().compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            return dock;
        }
    }
    return nullptr;
}

bool raiseDockByTitle(QMainWindow& window, const QString& name) {
    QDockWidget* dock = dockByTitle(window, name);
    if (dock == nullptr) {
        return false;
    }
    dock->show();
    dock->raise();
    return true;
}
