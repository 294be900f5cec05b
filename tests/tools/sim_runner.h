#pragma once

// Runs the real tidewright-sim for the tests and reads its line the way a monitor would.

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace simtest {

inline double now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Waits for input on `fd`: true when there is some before the timeout.
inline bool readable(int fd, double seconds) {
    pollfd p{fd, POLLIN, 0};
    int r;
    while ((r = ::poll(&p, 1, seconds <= 0 ? 0 : static_cast<int>(seconds * 1000))) < 0 &&
           errno == EINTR) {
    }
    return r > 0;
}

// One read() worth of bytes; empty when nothing came in time or the end was reached.
inline std::string readChunk(int fd, double seconds) {
    char buffer[65536];
    ssize_t n = readable(fd, seconds) ? ::read(fd, buffer, sizeof buffer) : 0;
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

class TempDir {
public:
    TempDir() {
        std::string pattern = std::filesystem::temp_directory_path() / "tw-sim-test-XXXXXX";
        path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : "";
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ + "/" + name, std::ios::binary) << content;
        return path_ + "/" + name;
    }

private:
    std::string path_;
};

struct Exit {
    bool exited = false;  // false: still running at the deadline, then killed
    int code = -1;
    std::string err;
};

class SimProcess {
public:
    // `env`: "NAME=value" sets a variable, a bare "NAME" removes it.
    explicit SimProcess(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
        int out[2];
        int err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            for (const auto& e : env) {
                auto eq = e.find('=');
                eq == std::string::npos ? ::unsetenv(e.c_str())
                                        : ::setenv(e.substr(0, eq).c_str(), e.c_str() + eq + 1, 1);
            }
            std::string exe = TIDEWRIGHT_SIM_EXECUTABLE;
            std::vector<char*> argv{exe.data()};
            for (auto& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execv(exe.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~SimProcess() {
        if (pid_ > 0 && !reaped_) {
            signal(SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }
    pid_t pid() const { return pid_; }
    void signal(int number) const {
        if (pid_ > 0 && !reaped_) {  // never a pid that may have been given to another
            ::kill(pid_, number);
        }
    }

    // The rest of the first stdout line that is `key` or starts with "key "; empty if none.
    std::string expect(const std::string& key, double seconds = 5) {
        double deadline = now() + seconds;
        for (;;) {
            for (std::size_t lf; (lf = out_buffer_.find('\n')) != std::string::npos;) {
                std::string line = out_buffer_.substr(0, lf);
                out_buffer_.erase(0, lf + 1);
                if (line == key || line.starts_with(key + " ")) {
                    return line == key ? key : line.substr(key.size() + 1);
                }
            }
            std::string chunk = readChunk(out_, deadline - now());
            if (chunk.empty()) {
                return {};
            }
            out_buffer_ += chunk;
        }
    }

    Exit wait(double seconds = 5) {
        Exit result;
        if (reaped_) {
            return result;
        }
        int status = 0;
        double deadline = now() + seconds;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                status = -1;
                break;
            }
            ::usleep(10000);
        }
        reaped_ = true;
        result.exited = status != -1 && WIFEXITED(status);
        result.code = result.exited ? WEXITSTATUS(status) : -1;
        for (std::string chunk; !(chunk = readChunk(err_, 0)).empty();) {
            result.err += chunk;
        }
        return result;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string out_buffer_;
    bool reaped_ = false;
};

// A monitor's end of the line: the published link opened read-only.
class PortReader {
public:
    explicit PortReader(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~PortReader() { ::close(fd_); }
    bool isOpen() const { return fd_ >= 0; }
    std::string readChunk(double seconds) { return simtest::readChunk(fd_, seconds); }

private:
    int fd_;
};

}  // namespace simtest
