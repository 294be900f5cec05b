#include "sources/serial_source.h"

#include <sys/ioctl.h>

#include <algorithm>
#ifdef Q_OS_LINUX
#include <linux/serial.h>
#endif

#include "sources/descriptor_pending.h"
#include "sources/port_watch.h"

namespace sources {

SerialSource::SerialSource(QString portName, std::function<void(QSerialPort&)> configure,
                           QObject* parent)
    : Source(parent),
      portName_(std::move(portName)),
      configure_(std::move(configure)),
      watch_(new PortWatch([this](QString& reason) { return openPort(reason); }, this)) {
    gather_.setSingleShot(true);
    gather_.setInterval(kGatherMs);
    connect(&gather_, &QTimer::timeout, this, &SerialSource::handOn);
    connect(watch_, &PortWatch::lost, this, [this](const QString& reason) {
        gather_.stop();
        if (port_) {
            port_->disconnect(this);
            port_->deleteLater();  // already closed by the watch
            port_ = nullptr;
        }
        setState(State::Lost, reason);
    });
    connect(watch_, &PortWatch::returned, this, [this](QSerialPort* port) {
        adopt(port);
        setState(State::Open, tr("back"));
    });
}

SerialSource::~SerialSource() {
    close();
}

QSerialPort* SerialSource::openPort(QString& reason) {
    // One port object per open attempt: a port that failed is never reused.
    auto* port = new QSerialPort(this);
    if (configure_) {
        configure_(*port);
    }
    if (!port->open(QIODevice::ReadOnly)) {
        openError_ = port->error();
        reason = port->errorString();
        delete port;
        return nullptr;
    }
    openError_ = QSerialPort::NoError;
    return port;
}

bool SerialSource::open() {
    close();
    QString reason;
    QSerialPort* port = openPort(reason);
    if (port == nullptr) {
        setError(reason);
        return false;
    }
    adopt(port);
    watch_->watch(port);
    setState(State::Open);
    return true;
}

void SerialSource::adopt(QSerialPort* port) {
    port_ = port;
    driverBase_ = driverCounts(port_);
    connect(port_, &QSerialPort::readyRead, this, &SerialSource::readAvailable);
}

void SerialSource::close() {
    watch_->stop();
    gather_.stop();
    if (port_) {
        port_->disconnect(this);
        port_->close();
        port_->deleteLater();
        port_ = nullptr;
    }
    setState(State::Closed);
}

void SerialSource::readAvailable() {
    if (!port_) {
        return;
    }
    // A read that found a backlog means the line sends faster than the pause between
    // hand-ons: it is taken at once, so a flood is never held back behind the timer.
    const qint64 available = port_->bytesAvailable();
    if (available >= kHandOnBytes) {
        gather_.stop();
        handOn();
        return;
    }
    if (!gather_.isActive()) {
        // A full read buffer stops the port's wake-ups until the bytes are taken; the
        // line's own buffer holds what arrives meanwhile.
        port_->setReadBufferSize(std::max<qint64>(1, available));
        gather_.start();
    }
}

void SerialSource::handOn() {
    if (port_) {
        port_->setReadBufferSize(0);
        const QByteArray bytes = port_->readAll();
        if (!bytes.isEmpty()) {
            deliver(bytes);
        }
    }
}

// The driver's overrun and framing counts, or nothing where it keeps none.
std::optional<SerialSource::LineErrors> SerialSource::driverCounts(QSerialPort* port) {
#if defined(Q_OS_LINUX) && defined(TIOCGICOUNT)
    serial_icounter_struct counts{};
    if (port != nullptr && port->handle() >= 0 &&
        ::ioctl(port->handle(), TIOCGICOUNT, &counts) == 0) {
        // The UART's own overruns and the driver's full buffer are one loss to the user.
        return LineErrors{quint64(unsigned(counts.overrun)) + quint64(unsigned(counts.buf_overrun)),
                          quint64(unsigned(counts.frame))};
    }
#else
    Q_UNUSED(port);
#endif
    return std::nullopt;
}

void SerialSource::pollCounters() {
    if (!port_ || !driverBase_) {
        return;
    }
    const auto counts = driverCounts(port_);
    if (!counts) {
        return;
    }
    // Counts that went down belong to a device that started again: all of it is new.
    const auto moved = [](quint64 now, quint64 base) { return now >= base ? now - base : now; };
    const quint64 overruns = moved(counts->overruns, driverBase_->overruns);
    const quint64 framing = moved(counts->framing, driverBase_->framing);
    driverBase_ = counts;
    if (overruns + framing > 0) {
        mutableCounters().serialOverruns += overruns;
        mutableCounters().serialFramingErrors += framing;
        lossesCounted();
    }
}

qint64 SerialSource::bytesPending() const {
    return port_ ? descriptorPending(port_->handle()) : -1;
}

QString SerialSource::statusText(State state, const QString& reason) const {
    if (state == State::Open) {
        if (reason.isEmpty()) {
            return tr("Listening Port %1...").arg(portName_);
        }
        return tr("Port %1 is back. Listening Port %1...").arg(portName_);
    }
    if (state == State::Lost) {
        return tr("Port lost: %1").arg(reason);
    }
    return Source::statusText(state, reason);
}

}  // namespace sources
