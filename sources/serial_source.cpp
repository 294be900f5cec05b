#include "sources/serial_source.h"

namespace sources {

SerialSource::SerialSource(QString portName, std::function<void(QSerialPort&)> configure,
                           QObject* parent)
    : Source(parent), portName_(std::move(portName)), configure_(std::move(configure)) {}

SerialSource::~SerialSource() {
    close();
}

bool SerialSource::open() {
    close();
    // One port object per open attempt: a port that failed is never reused.
    port_ = new QSerialPort(this);
    if (configure_) {
        configure_(*port_);
    }
    if (!port_->open(QIODevice::ReadOnly)) {
        setError(port_->errorString());
        delete port_;
        port_ = nullptr;
        return false;
    }
    connect(port_, &QSerialPort::readyRead, this, &SerialSource::readAvailable);
    connect(port_, &QSerialPort::errorOccurred, this, &SerialSource::portError);
    setState(State::Open);
    return true;
}

void SerialSource::close() {
    if (port_) {
        port_->disconnect(this);
        port_->close();
        port_->deleteLater();
        port_ = nullptr;
    }
    setState(State::Closed);
}

void SerialSource::readAvailable() {
    if (port_) {
        emit bytesArrived(port_->readAll());
    }
}

void SerialSource::portError(QSerialPort::SerialPortError error) {
    // A read time-out is no loss; everything else that the port reports while open
    // leaves it unusable until it is opened again.
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port_) {
        return;
    }
    setState(State::Lost, port_->errorString());
}

QString SerialSource::statusText(State state, const QString& reason) const {
    if (state == State::Open) {
        return tr("Listening Port %1...").arg(portName_);
    }
    return Source::statusText(state, reason);
}

}  // namespace sources
