#include "app/main_window.h"

void MainWindow::showParse() {}

void MainWindow::saveXml(int selector, void* record) {
    (void)selector;
    (void)record;
}
