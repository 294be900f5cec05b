// The "Forwarding" dialog: the outputs, one a line, as typed for --forward, with what
// each is doing now. Applying checks every line; a refused one is named with the
// reason and nothing is changed until all are right.
#pragma once

#include <QDialog>
#include <QTimer>

class ForwardingControl;
class QLabel;
class QPlainTextEdit;

class ForwardingDialog : public QDialog {
    Q_OBJECT

public:
    ForwardingDialog(ForwardingControl* control, QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return editor_; }
    QLabel* stateView() const { return states_; }
    QLabel* problemView() const { return problems_; }
    // Checks and applies the lines; true when every line was taken.
    bool apply();

    void accept() override;

private:
    void refreshStates();

    ForwardingControl* control_;
    QPlainTextEdit* editor_;
    QLabel* states_;
    QLabel* problems_;
    QTimer refresh_;
};
