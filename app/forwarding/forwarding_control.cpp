#include "app/forwarding/forwarding_control.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

#include "app/forwarding/forwarding_dialog.h"
#include "outputs/loop_guard.h"

namespace {

QSettings settings() {
    return QSettings(QStringLiteral("Tidewright"), QStringLiteral("tidewright"));
}

const QString kOutputsKey = QStringLiteral("forwarding/outputs");

}  // namespace

ForwardingControl::ForwardingControl(QWidget* window, QMenu* setupMenu, QStatusBar* statusBar)
    : QObject(window), window_(window), forwarder_(this), status_(new QLabel()) {
    auto* action = setupMenu->addAction(tr("Forwarding..."));
    action->setObjectName(QStringLiteral("actionForwarding"));
    action->setStatusTip(tr("Share what the monitor hears over TCP, UDP or a serial port"));
    connect(action, &QAction::triggered, this, &ForwardingControl::showDialog);

    status_->setObjectName(QStringLiteral("forwardingStatus"));
    status_->setAccessibleDescription(tr("Forwarding outputs: state and counters"));
    status_->setFrameShape(QFrame::WinPanel);
    status_->setFrameShadow(QFrame::Plain);
    statusBar->addPermanentWidget(status_, 0);

    connect(&forwarder_, &outputs::Forwarder::outputChanged, this,
            &ForwardingControl::refreshStatus);
    // Counters change with every sentence; the field follows once a second.
    refresh_.setInterval(1000);
    connect(&refresh_, &QTimer::timeout, this, &ForwardingControl::refreshStatus);

    configured_ = rememberedOutputs();
    start();
}

QStringList ForwardingControl::rememberedOutputs() {
    return settings().value(kOutputsKey).toStringList();
}

QStringList ForwardingControl::start() {
    forwarder_.removeAll();
    problems_.clear();
    for (const QString& output : std::as_const(configured_)) {
        QString problem;
        if (!forwarder_.addOutput(output, sources_, &problem)) {
            problems_ << problem;
        }
    }
    if (configured_.isEmpty()) {
        refresh_.stop();
    } else {
        refresh_.start();
    }
    refreshStatus();
    return problems_;
}

void ForwardingControl::setSources(const QStringList& sources) {
    if (sources == sources_) {
        return;
    }
    sources_ = sources;
    // Outputs are restarted only when one would now feed the source, or one refused
    // before may now be allowed: TCP clients stay connected across a change of source.
    bool restart = !problems_.isEmpty();
    for (int i = 0; i < forwarder_.count() && !restart; ++i) {
        restart = !outputs::loopReason(forwarder_.address(i), sources_).isEmpty();
    }
    if (restart) {
        start();
    }
}

QStringList ForwardingControl::useOutputs(const QStringList& outputs) {
    configured_ = outputs;
    return start();
}

QStringList ForwardingControl::applyOutputs(const QStringList& outputs) {
    configured_ = outputs;
    QSettings stored = settings();
    stored.setValue(kOutputsKey, outputs);
    return start();
}

void ForwardingControl::refreshStatus() {
    QString text = forwarder_.summary();
    if (!problems_.isEmpty()) {
        text += tr(" (refused: %1)").arg(problems_.size());
    }
    status_->setVisible(!configured_.isEmpty());
    if (status_->text() == text) {
        return;
    }
    status_->setText(text);
    status_->setAccessibleName(text);
    QStringList lines;
    for (int i = 0; i < forwarder_.count(); ++i) {
        lines << forwarder_.describe(i);
    }
    status_->setToolTip((lines + problems_).join(QLatin1Char('\n')));
}

void ForwardingControl::showDialog() {
    ForwardingDialog dialog(this, window_);
    dialog.exec();
}
