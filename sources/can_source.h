// Live NMEA 2000 from a CAN interface, through Qt's CAN bus plugins: socketcan for a
// real interface (can0, or a USB adapter's slcan0), virtualcan for a bus simulated on
// this machine. The device is only ever read; nothing here writes a frame, so the
// monitor stays a silent listener on the bus.
//
// Each received frame goes on as one line of candump's log form,
// "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD", so the gateway reader that
// takes recorded candump logs takes the live bus the same way. A lost interface
// (taken down, adapter unplugged) is tried again every second.
#pragma once

#include <QTimer>

#include "sources/source.h"

class QCanBusDevice;

namespace sources {

class CanSource : public Source {
    Q_OBJECT

public:
    static constexpr int kRetryMs = 1000;

    // `plugin` as Qt names it ("socketcan", "virtualcan"); `interfaceName` as the
    // plugin takes it ("can0", or for virtualcan "tcp://127.0.0.1:35468/can0").
    CanSource(QString plugin, QString interfaceName, QObject* parent = nullptr);
    ~CanSource() override;

    bool open() override;
    void close() override;
    QString description() const override;
    // The interface as a candump line names it: the last part of a URL form.
    QString lineInterfaceName() const;

private:
    bool connectNow(QString& error);
    void readFrames();
    void lost(const QString& reason);
    void dropDevice();

    QString plugin_;
    QString interface_;
    QCanBusDevice* device_ = nullptr;
    QTimer retryTimer_;
};

}  // namespace sources
