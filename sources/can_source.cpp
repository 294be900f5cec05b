#include "sources/can_source.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QCanBusFrame>
#include <QDateTime>
#include <cstring>

#include "n2k/line_writer.h"
#include "n2k/message.h"

namespace sources {

CanSource::CanSource(QString plugin, QString interfaceName, QObject* parent)
    : Source(parent), plugin_(std::move(plugin)), interface_(std::move(interfaceName)) {
    retryTimer_.setSingleShot(true);
    retryTimer_.setInterval(kRetryMs);
    connect(&retryTimer_, &QTimer::timeout, this, [this] {
        QString error;
        if (!connectNow(error)) {
            lost(error);
        }
    });
}

CanSource::~CanSource() {
    close();
}

QString CanSource::description() const {
    return plugin_ + QLatin1Char(':') + interface_;
}

QString CanSource::lineInterfaceName() const {
    const QString name = interface_.section(QLatin1Char('/'), -1);
    return name.isEmpty() ? QStringLiteral("can") : name;
}

bool CanSource::open() {
    close();
    QString error;
    if (!connectNow(error)) {
        setError(error);
        dropDevice();
        return false;
    }
    return true;
}

void CanSource::close() {
    retryTimer_.stop();
    dropDevice();
    setState(State::Closed);
}

void CanSource::dropDevice() {
    if (device_ != nullptr) {
        device_->disconnect(this);
        device_->disconnectDevice();
        device_->deleteLater();
        device_ = nullptr;
    }
}

bool CanSource::connectNow(QString& error) {
    dropDevice();
    device_ = QCanBus::instance()->createDevice(plugin_, interface_, &error);
    if (device_ == nullptr) {
        if (error.isEmpty()) {
            error = tr("no CAN plugin '%1'").arg(plugin_);
        }
        return false;
    }
    device_->setParent(this);
    // Our own frames would be echoes; there are none, since nothing is ever written.
    device_->setConfigurationParameter(QCanBusDevice::ReceiveOwnKey, false);
    connect(device_, &QCanBusDevice::framesReceived, this, &CanSource::readFrames);
    connect(device_, &QCanBusDevice::errorOccurred, this, [this](QCanBusDevice::CanBusError e) {
        // Errors on reading single frames leave the interface up; the rest end it.
        if (e == QCanBusDevice::ConnectionError || e == QCanBusDevice::ReadError) {
            lost(device_->errorString());
        }
    });
    connect(device_, &QCanBusDevice::stateChanged, this,
            [this](QCanBusDevice::CanBusDeviceState s) {
                if (s == QCanBusDevice::ConnectedState) {
                    setState(State::Open);
                } else if (s == QCanBusDevice::UnconnectedState && state() == State::Open) {
                    lost(tr("the interface closed"));
                }
            });
    setState(State::Connecting);
    if (!device_->connectDevice()) {
        error = device_->errorString();
        return false;
    }
    if (device_->state() == QCanBusDevice::ConnectedState) {
        setState(State::Open);
    }
    return true;
}

void CanSource::lost(const QString& reason) {
    if (device_ == nullptr && retryTimer_.isActive()) {
        return;  // one loss, however many signals report it
    }
    readFrames();  // what arrived before the loss still counts
    dropDevice();
    retryTimer_.start();
    setState(State::Lost, tr("%1; trying again every second").arg(reason));
}

void CanSource::readFrames() {
    if (device_ == nullptr) {
        return;
    }
    const QByteArray name = lineInterfaceName().left(32).toLatin1();
    QByteArray lines;
    char line[128];
    while (device_->framesAvailable() > 0) {
        const QCanBusFrame frame = device_->readFrame();
        // NMEA 2000 travels in data frames with 29-bit identifiers; standard frames
        // belong to other protocols sharing the bus.
        if (!frame.isValid() || frame.frameType() != QCanBusFrame::DataFrame ||
            !frame.hasExtendedFrameFormat() || frame.payload().size() > 8) {
            continue;
        }
        n2k::Frame f;
        f.canId = frame.frameId();
        f.length = static_cast<std::uint8_t>(frame.payload().size());
        std::memcpy(f.data, frame.payload().constData(), f.length);
        const QCanBusFrame::TimeStamp stamp = frame.timeStamp();
        f.timeMs = stamp.seconds() != 0 || stamp.microSeconds() != 0
                       ? stamp.seconds() * 1000 + stamp.microSeconds() / 1000
                       : QDateTime::currentMSecsSinceEpoch();
        const int length = n2k::writeCandumpLine(f, name.constData(), line, sizeof line - 1);
        if (length > 0) {
            lines.append(line, length);
            lines.append('\n');
        }
    }
    if (!lines.isEmpty()) {
        deliver(lines);
    }
}

}  // namespace sources
