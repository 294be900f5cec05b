// A pseudo-terminal pair for tests: the code under test opens the slave by its
// path like any serial device; the test plays the talker on the master.
#pragma once

#include <termios.h>

#include <QByteArray>
#include <QString>

class TestPty {
public:
    TestPty();
    ~TestPty();
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    bool isValid() const { return master >= 0; }
    QString slavePath() const { return path; }

    // Writes everything, letting the event loop run while the line is full so
    // a reader on this thread can drain it. False when the master fails.
    bool send(const QByteArray& bytes);

    // The line speed the terminal is set to, as termios reports it.
    speed_t inputSpeed() const;
    speed_t outputSpeed() const;

private:
    int master = -1;
    int slave = -1;  // kept open so the master never sees a hang-up
    QString path;
};
