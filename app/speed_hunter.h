// The automatic line speed search: listens about 1.5 s at each speed in turn and
// settles on the first at which two sentences with good checksums arrive. After a
// full round without any it says so and goes round again.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QTimer>

class LineHealth;

class SpeedHunter : public QObject {
    Q_OBJECT

public:
    static constexpr int kDwellMs = 1500;
    static constexpr int kPollMs = 100;
    static constexpr quint64 kSentencesNeeded = 2;

    SpeedHunter(QSerialPort* port, const LineHealth* health, QObject* parent = nullptr);

    // Starts at the first speed of the search order; a port already set to it is
    // listened to at once.
    void start();
    void stop();
    bool isSearching() const { return dwell_.isActive(); }
    qint32 speed() const;
    void setDwellMs(int ms) { dwell_.setInterval(ms); }

signals:
    // "Auto: trying 9600", "Auto: 38400", "Auto: nothing found, trying again".
    void note(const QString& text);
    void settled(qint32 speed);

private:
    void trySpeed(int index);
    void check();
    void nextSpeed();
    quint64 goodSentences() const;

    QPointer<QSerialPort> port_;
    const LineHealth* health_;
    QTimer dwell_;
    QTimer poll_;
    int index_ = 0;
    quint64 baseline_ = 0;
    bool roundFailed_ = false;
};
