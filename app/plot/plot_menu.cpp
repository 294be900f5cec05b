#include "app/plot/plot_menu.h"

#include <QAbstractItemView>
#include <QMenu>

void addPlotMenu(QAbstractItemView* view, std::function<bool(int)> canPlot,
                 std::function<void(int)> plot) {
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        view, &QWidget::customContextMenuRequested, view,
        [view, canPlot = std::move(canPlot), plot = std::move(plot)](const QPoint& at) {
            const QModelIndex index = view->indexAt(at);
            if (!index.isValid()) {
                return;
            }
            QMenu menu(view);
            QAction* entry = menu.addAction(QMenu::tr("Plot"));
            entry->setEnabled(canPlot(index.row()));
            if (menu.exec(view->viewport()->mapToGlobal(at)) == entry) {
                plot(index.row());
            }
        });
}
