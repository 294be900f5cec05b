// Answers the next setup dialog from a test or benchmark, as a user would.
#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QString>
#include <memory>

#include "serial/setup_dialog.h"
#include "support/modal.h"

namespace testsupport {

// Accepts the next setup dialog with port at the speed of rateIndex (0: 4800,
// 1: 38400). The flag turns true once the dialog was answered.
inline std::shared_ptr<bool> answerSetup(const QString& port, int rateIndex = 0) {
    return whenModal<setupDialog>([=](setupDialog* dialog) {
        dialog->findChild<QComboBox*>("comboBox_port")->setEditText(port);
        dialog->findChild<QComboBox*>("comboBox_baudRate")->setCurrentIndex(rateIndex);
        dialog->findChild<QPushButton*>("pushButton_enter")->click();
    });
}

}  // namespace testsupport
