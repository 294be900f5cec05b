// The monitor's forwarding: the outputs the user configured (remembered between runs)
// or gave with --forward, fed with every framed sentence, a "Forwarding..." entry in
// the Setup menu and a status field with the outputs' state and counters.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "outputs/forwarder.h"

class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

class ForwardingControl : public QObject {
    Q_OBJECT

public:
    // Adds its menu entry and status field; starts the remembered outputs.
    ForwardingControl(QWidget* window, QMenu* setupMenu, QStatusBar* statusBar);

    // One framed sentence with the TAG block it came with (may be empty), and the end
    // of a batch, from the parse step.
    void framed(QByteArrayView tagBlock, QByteArrayView sentence, bool checksumGood) {
        forwarder_.forward(tagBlock, sentence, checksumGood);
    }
    // One whole NMEA 2000 PGN, for the outputs' NMEA 2000 forms.
    void pgn(const n2k::Message& message, const n2k::DecodedPgn& decoded) {
        forwarder_.forwardPgn(message, decoded);
    }
    void flush() { forwarder_.flush(); }

    // The sources being read; outputs that would feed one of them are stopped.
    void setSources(const QStringList& sources);
    // Uses these outputs for this run instead of the remembered ones (--forward).
    // Returns the problems of those refused, one a line.
    QStringList useOutputs(const QStringList& outputs);
    // Configures, remembers and starts these outputs; the problems of those refused.
    QStringList applyOutputs(const QStringList& outputs);

    QStringList outputs() const { return configured_; }
    QStringList problems() const { return problems_; }
    outputs::Forwarder& forwarder() { return forwarder_; }
    QLabel* statusField() const { return status_; }
    // Opens the dialog (modal).
    void showDialog();

    static QStringList rememberedOutputs();

private:
    QStringList start();
    void refreshStatus();

    QWidget* window_;
    outputs::Forwarder forwarder_;
    QStringList configured_;
    QStringList sources_;
    QStringList problems_;
    QLabel* status_;
    QTimer refresh_;
};
