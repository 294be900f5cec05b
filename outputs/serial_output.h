// Writes the stream to a second serial port at its own line speed. A sentence that the
// line has no time for is dropped whole and counted: nothing queues beyond what the
// line sends in a second, so a 4800-baud autopilot gets current sentences,
// not a growing backlog.
#pragma once

#include <QString>

#include "outputs/line_rate.h"
#include "outputs/output.h"

class QSerialPort;

namespace outputs {

class SerialOutput : public Output {
    Q_OBJECT

public:
    SerialOutput(QString device, qint32 baud, LineRate::Clock clock, QObject* parent = nullptr);
    ~SerialOutput() override;

    bool open() override;
    void close() override;
    void write(QByteArrayView line) override;
    QString description() const override;

private:
    void failed(const QString& reason);

    QString device_;
    qint32 baud_;
    LineRate rate_;
    QSerialPort* port_ = nullptr;
};

}  // namespace outputs
