// tidewright-sim: a talker simulator. Replays an NMEA 0183 log onto a pseudo-terminal
// (published for the monitor's port list) or onto a serial device, as a talker would,
// and, when asked, an NMEA 2000 capture as a gateway would write it.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "../close_output.h"
#include "default_log.h"
#include "faults.h"
#include "line.h"
#include "log_lines.h"
#include "n2k_db/database_loader.h"
#include "n2k_replay.h"
#include "network_output.h"
#include "options.h"
#include "pacer.h"
#include "publish.h"
#include "tidewright/version.h"
#include "uart_misread.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t pauseToggles = 0;

extern "C" void onStopSignal(int) {
    stopRequested = 1;
}
extern "C" void onPauseSignal(int) {
    pauseToggles = pauseToggles + 1;
}

void installSignalHandlers() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: sleeps and waits end at once
    action.sa_handler = onStopSignal;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    action.sa_handler = onPauseSignal;
    ::sigaction(SIGUSR1, &action, nullptr);
    action.sa_handler = SIG_IGN;  // a closed stdout must not kill us before cleaning up
    ::sigaction(SIGPIPE, &action, nullptr);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "tidewright-sim: %s\n", message.c_str());
    return 1;
}

// Why standard output first failed, kept for the message at exit; 0 while it works.
int stdoutFailure = 0;

void say(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 && stdoutFailure == 0) {
        stdoutFailure = errno;
    }
}

std::uint32_t freshSeed() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint32_t>(now.tv_nsec) ^ static_cast<std::uint32_t>(::getpid());
}

class Tee {
public:
    bool open(const std::string& path, std::string& error) {
        path_ = path;
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error = "cannot write '" + path + "': " + std::strerror(errno);
            return false;
        }
        return true;
    }
    // False, with the file and the system's reason in `error`, when the copy failed.
    bool write(const std::string& bytes, std::string& error) {
        std::size_t done = 0;
        while (fd_ >= 0 && done < bytes.size()) {
            ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                error = "cannot write '" + path_ + "': " + std::strerror(n < 0 ? errno : ENOSPC);
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Closing reports what the file system only noticed at the end (a full disk on NFS).
    bool close(std::string& error) {
        if (fd_ >= 0 && ::close(std::exchange(fd_, -1)) != 0) {
            error = "cannot write '" + path_ + "': " + std::strerror(errno);
            return false;
        }
        return true;
    }
    ~Tee() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

private:
    int fd_ = -1;
    std::string path_;
};

// Holds the talk while paused by SIGUSR1; true when the talk may go on.
bool waitWhilePaused(sim::Pacer& pacer, std::sig_atomic_t& seenToggles) {
    if (pauseToggles == seenToggles) {
        return !stopRequested;
    }
    seenToggles = pauseToggles;
    say("paused\n");
    while (!stopRequested && pauseToggles == seenToggles) {
        sim::sleepFor(0.05, stopRequested);
    }
    seenToggles = pauseToggles;
    if (stopRequested) {
        return false;
    }
    say("resumed\n");
    pacer.restart();
    return true;
}

// The TCP server or UDP sender the options ask for; announces where it talks.
std::unique_ptr<sim::Output> openNetworkOutput(const sim::SimOptions& options, std::string& error) {
    sim::HostPort where;
    if (!options.tcpListen.empty()) {
        if (!sim::parseHostPort(options.tcpListen, "127.0.0.1", where, error)) {
            return nullptr;
        }
        auto server = sim::TcpServerOutput::listen(where, error);
        if (server) {
            say("tcp " + server->address() + "\n");
        }
        return server;
    }
    if (!sim::parseHostPort(options.udpTarget, "", where, error)) {
        return nullptr;
    }
    auto sender = sim::UdpOutput::open(where, error);
    if (sender) {
        say("udp " + where.host + ":" + std::to_string(where.port) + "\n");
    }
    return sender;
}

// The NMEA 2000 capture, in the gateway format asked for, between the log's lines.
bool addN2kLines(const sim::SimOptions& options, std::vector<std::string>& lines,
                 std::string& error) {
    n2k::PgnDatabase database;
    QString databaseError;
    if (!n2kdb::loadProgramPgnDatabase(database, databaseError)) {
        error = databaseError.toStdString();
        return false;
    }
    std::vector<n2k::Message> messages;
    const std::string path =
        options.n2kLogPath.empty() ? sim::defaultN2kLogPath() : options.n2kLogPath;
    if (!sim::loadN2kCapture(path, database, messages, error)) {
        return false;
    }
    const sim::N2kReplayOptions replay{options.n2kFormat, options.dropFrameEvery,
                                       options.garbleEvery};
    lines = sim::interleave(lines, sim::n2kLines(messages, database, replay));
    return true;
}

int run(const sim::SimOptions& options) {
    std::string error;
    std::vector<std::string> lines;
    if (!sim::loadLog(options.logPath.empty() ? sim::defaultLogPath() : options.logPath, lines,
                      error)) {
        return fail(error);
    }
    if (!options.n2kFormat.empty() && !addN2kLines(options, lines, error)) {
        return fail(error);
    }
    Tee tee;
    if (!options.teePath.empty() && !tee.open(options.teePath, error)) {
        return fail(error);
    }

    installSignalHandlers();
    std::unique_ptr<sim::Output> line;
    std::string linkPath;
    int linkLock = -1;
    std::string devicePath;
    if (!options.tcpListen.empty() || !options.udpTarget.empty()) {
        line = openNetworkOutput(options, error);
        if (!line) {
            return fail(error);
        }
    } else {
        auto serialLine = options.devicePath.empty()
                              ? sim::Line::openPseudoTerminal(options.baud, error)
                              : sim::Line::openDevice(options.devicePath, options.baud, error);
        if (!serialLine) {
            return fail(error);
        }
        devicePath = serialLine->devicePath();
        if (options.devicePath.empty()) {
            std::string directory =
                sim::publishDirectory(std::getenv("XDG_RUNTIME_DIR"), ::getuid());
            if (!sim::preparePublishDirectory(directory, error)) {
                return fail(error);
            }
            sim::pruneStaleLinks(directory);
            linkPath =
                directory + "/" +
                (options.linkName.empty() ? "sim-" + std::to_string(::getpid()) : options.linkName);
            if (!sim::publishLink(linkPath, devicePath, linkLock, error)) {
                return fail(error);
            }
            say("device " + devicePath + "\nlink " + linkPath + "\n");
        } else {
            say("device " + devicePath + "\n");
        }
        line = std::move(serialLine);
    }

    sim::FaultInjector injector(options, options.seedGiven ? options.seed : freshSeed());
    sim::Pacer pacer(options.baud, options.fast);
    std::sig_atomic_t seenToggles = pauseToggles;
    int status = 0;
    bool talking = true;
    while (talking && !stopRequested) {
        for (const std::string& text : lines) {
            if (!waitWhilePaused(pacer, seenToggles)) {
                break;
            }
            sim::Transmission transmission = injector.shape(text);
            pacer.waitTurn(transmission.lineBytes, stopRequested);
            for (const sim::Piece& piece : transmission.pieces) {
                if (piece.pauseBefore) {
                    sim::sleepFor(0.1, stopRequested);
                }
                if (stopRequested) {
                    break;
                }
                if (!options.fast) {
                    line->dropStaleBacklog();
                }
                const int heardAt = line->listenerBaud();
                const std::string& bytes =
                    heardAt != 0 && heardAt != options.baud
                        ? sim::uartMisread(piece.bytes, options.baud, heardAt)
                        : piece.bytes;
                if (!line->write(bytes, stopRequested, error)) {
                    status = fail(error);
                    stopRequested = 1;
                    break;
                }
                if (!tee.write(bytes, error)) {
                    status = fail(error);
                    stopRequested = 1;
                    break;
                }
            }
        }
        if (options.once && !stopRequested) {
            talking = false;
            say("done\n");
        }
    }
    if (options.hold) {
        while (!stopRequested) {
            sim::sleepFor(0.1, stopRequested);
            if (!options.fast) {
                line->dropStaleBacklog();
            }
        }
    }
    if (!linkPath.empty()) {
        sim::unpublishLink(linkPath, devicePath, linkLock);
    }
    if (!tee.close(error) && status == 0) {
        status = fail(error);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    sim::SimOptions options;
    std::string error;
    switch (sim::parseOptions(argc, argv, options, error)) {
        case sim::ParseOutcome::Help:
            std::fputs(sim::usageText(), stdout);
            return tools::closeStandardOutput("tidewright-sim") ? 0 : 1;
        case sim::ParseOutcome::Version:
            std::printf("tidewright-sim %s\n", tidewright::kVersion);
            return tools::closeStandardOutput("tidewright-sim") ? 0 : 1;
        case sim::ParseOutcome::Error:
            std::fprintf(stderr, "tidewright-sim: %s\nTry 'tidewright-sim --help'.\n",
                         error.c_str());
            return 2;
        case sim::ParseOutcome::Run:
            break;
    }
    int status = run(options);
    if (!tools::closeStandardOutput("tidewright-sim", stdoutFailure) && status == 0) {
        status = 1;
    }
    return status;
}
