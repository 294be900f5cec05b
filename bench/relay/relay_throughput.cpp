// Throughput of tidewright-relay from a TCP source to a TCP client on loopback: this
// program serves a real capture, repeated, as the relay's TCP source, reads what the
// relay's tcp-server output forwards, and reports megabytes a second.
//
// Usage: tw_relay_throughput RELAY_EXECUTABLE [MEGABYTES]   (default 512)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

int listenOnLoopback(unsigned short& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("listen");
        std::exit(1);
    }
    port = ntohs(address.sin_port);
    return fd;
}

unsigned short freePort() {
    unsigned short port = 0;
    ::close(listenOnLoopback(port));
    return port;
}

int connectWithRetries(unsigned short port) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fputs("tw_relay_throughput: the relay's output never listened\n", stderr);
    std::exit(1);
}

// The capture's sentences, each ending CR LF, without comment lines.
std::string sentences(const char* path) {
    std::ifstream in(path);
    std::string line;
    std::string out;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.pop_back();
        }
        if (!line.empty() && (line[0] == '$' || line[0] == '!')) {
            out += line + "\r\n";
        }
    }
    return out;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fputs("usage: tw_relay_throughput RELAY_EXECUTABLE [MEGABYTES]\n", stderr);
        return 2;
    }
    const long long megabytes = argc > 2 ? std::atoll(argv[2]) : 512;
    const std::string block = sentences(TIDEWRIGHT_RELAY_CAPTURE);
    if (block.empty()) {
        std::fputs("tw_relay_throughput: no sentences in the capture\n", stderr);
        return 1;
    }
    const long long repeats = megabytes * 1024 * 1024 / static_cast<long long>(block.size()) + 1;
    const long long total = repeats * static_cast<long long>(block.size());

    ::signal(SIGPIPE, SIG_IGN);
    unsigned short sourcePort = 0;
    const int server = listenOnLoopback(sourcePort);
    const unsigned short outputPort = freePort();
    const std::string source = "tcp://127.0.0.1:" + std::to_string(sourcePort);
    const std::string output = "tcp-server://127.0.0.1:" + std::to_string(outputPort);
    const char* args[] = {argv[1], source.c_str(), "--forward", output.c_str(), nullptr};
    pid_t relay = 0;
    if (::posix_spawn(&relay, argv[1], nullptr, nullptr, const_cast<char**>(args), environ) != 0) {
        std::perror("tw_relay_throughput: spawn");
        return 1;
    }
    const int client = connectWithRetries(outputPort);
    const int feed = ::accept(server, nullptr, nullptr);
    // The relay accepts the client before the first byte is sent: nothing is lost to a
    // client not yet there.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // Sentences the relay does not forward (a bad checksum in the capture) end the read
    // after a quiet second rather than never.
    timeval quiet{1, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &quiet, sizeof quiet);
    std::atomic<long long> received{0};
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    std::thread reader([&] {
        std::string buffer(1 << 20, '\0');
        ssize_t n = 0;
        while ((n = ::read(client, buffer.data(), buffer.size())) > 0) {
            received += n;
            last = std::chrono::steady_clock::now();
            if (received >= total) {
                break;
            }
        }
    });
    for (long long i = 0; i < repeats; ++i) {
        for (std::size_t done = 0; done < block.size();) {
            const ssize_t n = ::write(feed, block.data() + done, block.size() - done);
            if (n <= 0) {
                std::perror("tw_relay_throughput: write");
                break;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    ::shutdown(feed, SHUT_WR);
    // Waits for the relay to forward what it took; a dropped client ends the read early.
    reader.join();
    const double seconds = std::chrono::duration<double>(last - start).count();
    ::kill(relay, SIGTERM);
    int status = 0;
    ::waitpid(relay, &status, 0);
    std::printf("relay: %lld of %lld bytes forwarded in %.2f s: %.1f MB/s TCP to TCP\n",
                received.load(), total, seconds, received.load() / seconds / 1e6);
    // Within a percent: the capture may hold a sentence or two the relay rightly drops.
    return received.load() * 100 >= total * 99 ? 0 : 1;
}
