#pragma once

// Runs the real tidewright-sim executable for the tests and reads what it puts on the
// line through the pseudo-terminal it serves.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace simtest {

double now();

// A temporary directory removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

struct Exit {
    bool exited = false;  // false: still running at the deadline (it was then killed)
    int code = -1;
    std::string err;
};

class SimProcess {
public:
    // `env` entries "NAME=value" are set, "NAME" alone is removed from the environment.
    SimProcess(const std::vector<std::string>& args, const std::vector<std::string>& env = {});
    ~SimProcess();

    pid_t pid() const { return pid_; }
    // The next line on its stdout, without the LF; nullopt on timeout or end.
    std::optional<std::string> readLine(double timeoutSeconds = 5);
    // The value of the first "<key> <value>" line still to come.
    std::string expect(const std::string& key, double timeoutSeconds = 5);
    void signal(int signalNumber) const;
    Exit wait(double timeoutSeconds = 5);

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outBuffer_;
    bool reaped_ = false;
};

// Reads from a pseudo-terminal slave (or any tty path) the way a monitor would.
class PortReader {
public:
    explicit PortReader(const std::string& path);
    ~PortReader();
    bool isOpen() const { return fd_ >= 0; }
    // One read() worth of bytes, empty when nothing came within the timeout.
    std::string readChunk(double timeoutSeconds);
    // Reads until `count` bytes have arrived or the timeout passes.
    std::string readBytes(std::size_t count, double timeoutSeconds);
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

std::string simExecutable();

}  // namespace simtest
