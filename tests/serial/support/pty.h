// A pseudo-terminal pair: the code under test opens the slave by its path like
// any serial device; the test plays the talker on the master.
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
    // Writes everything, running the event loop while the line is full so a
    // reader on this thread can drain it. False when the master fails.
    bool send(const QByteArray& bytes);
    // What the code under test wrote to the slave so far (never waits).
    QByteArray receive();
    // The line speed as the terminal's own termios settings report it.
    speed_t inputSpeed() const {
        termios settings{};
        ::tcgetattr(master, &settings);
        return ::cfgetispeed(&settings);
    }

private:
    int master = -1;
    int slave = -1;  // kept open so the master never sees a hang-up
    QString path;
};
