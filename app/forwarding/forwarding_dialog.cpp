#include "app/forwarding/forwarding_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/forwarding/forwarding_control.h"
#include "outputs/output_address.h"

namespace {

// A label whose text a screen reader reads as its name.
QLabel* valueLabel(const QString& purpose, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAccessibleDescription(purpose);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

void showValue(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text);
    label->setVisible(!text.isEmpty());
}

}  // namespace

ForwardingDialog::ForwardingDialog(ForwardingControl* control, QWidget* parent)
    : QDialog(parent), control_(control) {
    setWindowTitle(tr("Forwarding"));
    setAccessibleName(tr("Forwarding"));
    auto* layout = new QVBoxLayout(this);

    auto* help =
        new QLabel(tr("Outputs, one a line:\n"
                      "  tcp-server://:10110            every client that connects\n"
                      "  udp://ADDRESS:PORT             datagrams to a host, broadcast or group\n"
                      "  serial:/dev/ttyUSB1@4800       a second serial port\n"
                      "Options after '?', joined by '&': include=$--GGA,$GP*  exclude=!AIVDM\n"
                      "every=$--GGA:1  bad-checksum=pass  tag=NAME  ttl=N  n2k=ydwg|pcdin"),
                   this);
    help->setFont(QFont(QStringLiteral("monospace")));
    help->setAccessibleName(help->text());
    layout->addWidget(help);

    editor_ = new QPlainTextEdit(this);
    editor_->setObjectName(QStringLiteral("forwardingOutputs"));
    editor_->setAccessibleName(tr("Outputs"));
    editor_->setAccessibleDescription(tr("One output a line, as for --forward"));
    editor_->setPlainText(control_->outputs().join(QLatin1Char('\n')));
    help->setBuddy(editor_);
    layout->addWidget(editor_);

    problems_ = valueLabel(tr("Outputs refused"), this);
    problems_->setObjectName(QStringLiteral("forwardingProblems"));
    problems_->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(problems_);
    states_ = valueLabel(tr("State and counters of each output"), this);
    states_->setObjectName(QStringLiteral("forwardingStates"));
    layout->addWidget(states_);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Apply | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ForwardingDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ForwardingDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &ForwardingDialog::apply);
    layout->addWidget(buttons);

    showValue(problems_, control_->problems().join(QLatin1Char('\n')));
    refresh_.setInterval(1000);
    connect(&refresh_, &QTimer::timeout, this, &ForwardingDialog::refreshStates);
    refresh_.start();
    refreshStates();
    resize(640, 420);
}

bool ForwardingDialog::apply() {
    QStringList lines;
    QStringList problems;
    for (const QString& line : editor_->toPlainText().split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            continue;
        }
        QString problem;
        if (!outputs::parseOutputAddress(line, &problem)) {
            problems << problem;
        }
        lines << line.trimmed();
    }
    if (problems.isEmpty()) {
        problems = control_->applyOutputs(lines);
    }
    showValue(problems_, problems.join(QLatin1Char('\n')));
    refreshStates();
    return problems.isEmpty();
}

void ForwardingDialog::accept() {
    if (apply()) {
        QDialog::accept();
    }
}

void ForwardingDialog::refreshStates() {
    QStringList lines;
    outputs::Forwarder& forwarder = control_->forwarder();
    for (int i = 0; i < forwarder.count(); ++i) {
        lines << forwarder.describe(i);
    }
    showValue(states_, lines.isEmpty() ? tr("No outputs") : lines.join(QLatin1Char('\n')));
}
