#pragma once

#include <csignal>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "output.h"

namespace sim {

// The talker's end of the line: a pseudo-terminal the simulator creates, or a serial
// device it is given. Like a real talker it never waits for a listener: data that
// nobody reads is dropped, never allowed to block the talk.
class Line : public Output {
public:
    static std::unique_ptr<Line> openPseudoTerminal(int baud, std::string& error);
    static std::unique_ptr<Line> openDevice(const std::string& path, int baud, std::string& error);
    ~Line() override;
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    const std::string& devicePath() const { return devicePath_; }

    // On a pseudo-terminal the speed setting changes nothing on the wire, but both
    // ends share it: the speed the listening side last set, or 0 when unknown or on a
    // real device (where the hardware itself garbles a wrong speed).
    int listenerBaud() const override;

    // Writes all of `bytes` unless `stop` becomes set. A pseudo-terminal that takes
    // nothing for a whole second has no reader: what waits unread is discarded and the
    // talk goes on.
    // False only on a failure of the device itself (message in `error`).
    bool write(std::string_view bytes, const volatile std::sig_atomic_t& stop,
               std::string& error) override;

    // On a pseudo-terminal, discards the data waiting unread when nobody has read any
    // of it for two seconds (or the queue is nearly full), so a monitor that opens the
    // port late starts on fresh sentences instead of minutes of backlog. A real serial
    // port drops what its reader does not take as well. Call it between paced writes;
    // unpaced talk outruns any reader, and there only a blocked line counts.
    void dropStaleBacklog() override;

private:
    Line(int writeFd, int slaveFd, std::string devicePath);
    void discardUnread();

    int writeFd_ = -1;
    int slaveFd_ = -1;  // our own hold on the pty's slave side; -1 for a device
    std::string devicePath_;
    std::size_t writtenSinceCheck_ = 0;
    int pendingAtCheck_ = 0;
    double lastCheck_ = 0;
};

double monotonicSeconds();

}  // namespace sim
