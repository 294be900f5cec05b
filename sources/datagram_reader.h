// Reads datagrams straight from a bound socket's descriptor, in portions of one turn
// of the event loop each, for as long as any are pending. Its own notifier watches
// the descriptor, and nothing but this reader reads from it, so whether the next
// notification comes never depends on bookkeeping that an earlier turn could leave
// wrong: a descriptor with data waiting is read again on the next turn.
//
// On Linux each datagram carries the socket's count of datagrams the system dropped
// because the receive buffer was full; the reader reports how far it moved.
#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;
struct sockaddr_storage;

namespace sources {

class DatagramReader : public QObject {
    Q_OBJECT

public:
    struct Turn {
        quint64 datagrams = 0;  // read in this turn
        quint64 dropped = 0;    // dropped by the system since the previous turn
    };

    // Bytes taken per turn at most, so a flood leaves the window time to answer.
    static constexpr qsizetype kBytesPerTurn = 64 * 1024;
    // ... and datagrams, so a flood of empty ones cannot hold the turn either.
    static constexpr quint64 kDatagramsPerTurn = 4096;

    // Takes over `descriptor` (closes it when done), asks for a receive buffer of
    // `receiveBufferBytes` and turns the drop counter on.
    DatagramReader(int descriptor, int receiveBufferBytes, QObject* parent = nullptr);
    ~DatagramReader() override;
    DatagramReader(const DatagramReader&) = delete;
    DatagramReader& operator=(const DatagramReader&) = delete;

    int receiveBufferBytes() const { return receiveBuffer_; }
    // Whether the system reports the datagrams it dropped (Linux).
    bool countsDrops() const { return overflowCounted_; }
    // Bytes of the next pending datagram (what the system says is readable).
    qint64 bytesPending() const;
    // One turn: reads until nothing is pending or the turn's portion is full.
    void readTurn();

signals:
    // The datagrams of one turn, each ending in a line end.
    void datagrams(const QByteArray& bytes, const sources::DatagramReader::Turn& turn);

private:
    static bool isOwn(const sockaddr_storage& sender);

    int fd_;
    int receiveBuffer_ = 0;
    bool overflowCounted_ = false;
    quint32 lastOverflow_ = 0;
    QByteArray datagram_;  // one datagram at a time, the largest UDP can carry
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace sources
