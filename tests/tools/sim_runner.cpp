#include "sim_runner.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace simtest {

double now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::string simExecutable() {
    return TIDEWRIGHT_SIM_EXECUTABLE;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw-sim-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    path_ = made != nullptr ? made : "";
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
    std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

namespace {

int pollRead(int fd, double timeoutSeconds) {
    pollfd p{fd, POLLIN, 0};
    int ms = timeoutSeconds <= 0 ? 0 : static_cast<int>(timeoutSeconds * 1000);
    int r;
    do {
        r = ::poll(&p, 1, ms);
    } while (r < 0 && errno == EINTR);
    return r;
}

std::string drain(int fd) {
    std::string all;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return all;
        }
        all.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    int outPipe[2];
    int errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        for (const auto& e : env) {
            auto eq = e.find('=');
            if (eq == std::string::npos) {
                ::unsetenv(e.c_str());
            } else {
                ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
            }
        }
        std::string exe = simExecutable();
        std::vector<char*> argv{exe.data()};
        std::vector<std::string> copies = args;
        for (auto& a : copies) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    out_ = outPipe[0];
    err_ = errPipe[0];
}

SimProcess::~SimProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) {
        ::close(out_);
    }
    if (err_ >= 0) {
        ::close(err_);
    }
}

std::optional<std::string> SimProcess::readLine(double timeoutSeconds) {
    double deadline = now() + timeoutSeconds;
    for (;;) {
        if (auto lf = outBuffer_.find('\n'); lf != std::string::npos) {
            std::string line = outBuffer_.substr(0, lf);
            outBuffer_.erase(0, lf + 1);
            return line;
        }
        double left = deadline - now();
        if (left <= 0 || pollRead(out_, left) <= 0) {
            return std::nullopt;
        }
        char buffer[512];
        ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) {
            return std::nullopt;
        }
        outBuffer_.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string SimProcess::expect(const std::string& key, double timeoutSeconds) {
    double deadline = now() + timeoutSeconds;
    while (auto line = readLine(deadline - now())) {
        if (line->starts_with(key + " ")) {
            return line->substr(key.size() + 1);
        }
        if (*line == key) {
            return key;
        }
    }
    return {};
}

void SimProcess::signal(int signalNumber) const {
    ::kill(pid_, signalNumber);
}

Exit SimProcess::wait(double timeoutSeconds) {
    Exit result;
    double deadline = now() + timeoutSeconds;
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            reaped_ = true;
            result.err = drain(err_);
            return result;
        }
        ::usleep(10000);
    }
    reaped_ = true;
    result.exited = WIFEXITED(status);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.err = drain(err_);
    return result;
}

PortReader::PortReader(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}

PortReader::~PortReader() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string PortReader::readChunk(double timeoutSeconds) {
    if (pollRead(fd_, timeoutSeconds) <= 0) {
        return {};
    }
    char buffer[65536];
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string PortReader::readBytes(std::size_t count, double timeoutSeconds) {
    std::string all;
    double deadline = now() + timeoutSeconds;
    while (all.size() < count && now() < deadline) {
        all += readChunk(deadline - now());
    }
    return all;
}

}  // namespace simtest
