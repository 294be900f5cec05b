// Finds the serial ports that can be opened, on a thread of its own, by trying
// to open each candidate read-only and closing it again at once.
#pragma once

#include <QString>
#include <QThread>
#include <vector>

#include "serial/port_naming.h"

class myComThread : public QThread {
    Q_OBJECT

public:
    // Probes what this machine offers (see probeList).
    explicit myComThread(QObject* parent = nullptr);
    // Probes exactly the given candidates.
    explicit myComThread(std::vector<PortProbe> probes, QObject* parent = nullptr);

    const std::vector<PortProbe>& candidates() const { return probes; }

signals:
    // A port could be opened; its name as the user will see it once upper-cased
    // (com3, ttyUSB0, /run/user/1000/tidewright/sim-42).
    void sendIndex(QString indexName);
    void rangeChange(int min, int max);
    void valueChange(int m);

protected:
    // Stops between probes when interruption was requested.
    void run() override;

private:
    std::vector<PortProbe> probes;
};
