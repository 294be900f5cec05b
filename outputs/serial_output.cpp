#include "outputs/serial_output.h"

#include <QSerialPort>

namespace outputs {

SerialOutput::SerialOutput(QString device, qint32 baud, LineRate::Clock clock, QObject* parent)
    : Output(parent), device_(std::move(device)), baud_(baud), rate_(baud, std::move(clock)) {}

SerialOutput::~SerialOutput() {
    close();
}

QString SerialOutput::description() const {
    return QStringLiteral("serial:%1@%2").arg(device_).arg(baud_);
}

bool SerialOutput::open() {
    close();
    port_ = new QSerialPort(this);
    port_->setPortName(device_);
    if (!port_->open(QIODevice::WriteOnly)) {
        const QString reason = port_->errorString();
        delete port_;
        port_ = nullptr;
        setState(State::Failed, reason);
        return false;
    }
    port_->setBaudRate(baud_);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (port_ && error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
            failed(port_->errorString());
        }
    });
    setState(State::Open);
    return true;
}

void SerialOutput::failed(const QString& reason) {
    close();
    setState(State::Failed, reason);
}

void SerialOutput::close() {
    if (port_) {
        port_->disconnect(this);
        port_->close();
        port_->deleteLater();
        port_ = nullptr;
    }
    setState(State::Closed);
}

void SerialOutput::write(QByteArrayView line) {
    // A port whose driver holds more than the budget allows is not draining at its
    // speed (flow control, a stuck adapter): its sentences are dropped too.
    if (port_ == nullptr || port_->bytesToWrite() > rate_.capacity() || !rate_.take(line.size())) {
        ++counters().slow;
        return;
    }
    port_->write(line.data(), line.size());
    ++counters().sent;
}

}  // namespace outputs
