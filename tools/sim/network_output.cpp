#include "network_output.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

// Resolves host:port for a socket of the given type; false with the resolver's reason.
bool resolve(const HostPort& where, int socketType, bool passive, addrinfo*& result,
             std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socketType;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    const std::string port = std::to_string(where.port);
    const int status = ::getaddrinfo(where.host.c_str(), port.c_str(), &hints, &result);
    if (status != 0) {
        error = "cannot resolve '" + where.host + "': " + ::gai_strerror(status);
        return false;
    }
    return true;
}

std::string numericAddress(const sockaddr* address, socklen_t length) {
    char host[NI_MAXHOST];
    char port[NI_MAXSERV];
    if (::getnameinfo(address, length, host, sizeof host, port, sizeof port,
                      NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return "?";
    }
    const bool v6 = std::strchr(host, ':') != nullptr;
    std::string text;
    text.append(v6 ? "[" : "").append(host).append(v6 ? "]:" : ":").append(port);
    return text;
}

// "'text' rest", built by appending (GCC 12 misjudges the operator+ chain here).
std::string quoted(std::string_view text, const char* rest) {
    std::string message = "'";
    message.append(text).append("'").append(rest);
    return message;
}

}  // namespace

bool parseHostPort(std::string_view text, const std::string& defaultHost, HostPort& out,
                   std::string& error) {
    std::string_view host;
    std::string_view port = text;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            error = quoted(text, " is not [ADDRESS]:PORT");
            return false;
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    int value = -1;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value < 0 ||
        value > 65535) {
        error = "port " + quoted(port, " is not a number from 0 to 65535");
        return false;
    }
    if (host.empty() && defaultHost.empty()) {
        error = quoted(text, " names no host (HOST:PORT)");
        return false;
    }
    out.host = host.empty() ? defaultHost : std::string(host);
    out.port = value;
    return true;
}

std::unique_ptr<TcpServerOutput> TcpServerOutput::listen(const HostPort& where,
                                                         std::string& error) {
    addrinfo* addresses = nullptr;
    if (!resolve(where, SOCK_STREAM, true, addresses, error)) {
        return nullptr;
    }
    int fd = -1;
    std::string reason = "no address";
    for (addrinfo* a = addresses; a != nullptr && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            reason = std::strerror(errno);
            continue;
        }
        // A simulator restarted on its port takes it back at once, without waiting
        // for the old connections' TIME_WAIT to pass.
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 16) != 0) {
            reason = std::strerror(errno);
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(addresses);
    if (fd < 0) {
        error = "cannot listen on " + where.host + ":" + std::to_string(where.port) + ": " + reason;
        return nullptr;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    return std::unique_ptr<TcpServerOutput>(
        new TcpServerOutput(fd, numericAddress(reinterpret_cast<sockaddr*>(&bound), length)));
}

TcpServerOutput::TcpServerOutput(int listenFd, std::string address)
    : listenFd_(listenFd), address_(std::move(address)) {}

TcpServerOutput::~TcpServerOutput() {
    for (const Client& client : clients_) {
        ::close(client.fd);
    }
    ::close(listenFd_);
}

void TcpServerOutput::acceptClients() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;  // none waiting (EAGAIN), or a client that left before we took it
        }
        clients_.push_back(Client{fd, {}});
    }
}

bool TcpServerOutput::flush(Client& client) {
    while (!client.pending.empty()) {
        const ssize_t n = ::send(client.fd, client.pending.data(), client.pending.size(),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return client.pending.size() <= kPendingLimit;
        }
        if (n <= 0) {
            return false;  // gone: reset, closed, broken pipe
        }
        client.pending.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

bool TcpServerOutput::write(std::string_view bytes, const volatile std::sig_atomic_t&,
                            std::string&) {
    acceptClients();
    for (std::size_t i = 0; i < clients_.size();) {
        Client& client = clients_[i];
        // A client that fell this far behind has stopped reading; it is dropped
        // rather than let it hold memory or the talk.
        const bool keep = client.pending.size() + bytes.size() <= kPendingLimit &&
                          (client.pending.append(bytes), flush(client));
        if (keep) {
            ++i;
            continue;
        }
        ::close(client.fd);
        clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return true;
}

std::unique_ptr<UdpOutput> UdpOutput::open(const HostPort& where, std::string& error) {
    addrinfo* addresses = nullptr;
    if (!resolve(where, SOCK_DGRAM, false, addresses, error)) {
        return nullptr;
    }
    const addrinfo* a = addresses;
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("cannot create a UDP socket: ") + std::strerror(errno);
        ::freeaddrinfo(addresses);
        return nullptr;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    std::vector<unsigned char> address(a->ai_addrlen);
    std::memcpy(address.data(), a->ai_addr, a->ai_addrlen);
    const auto length = static_cast<unsigned>(a->ai_addrlen);
    ::freeaddrinfo(addresses);
    return std::unique_ptr<UdpOutput>(new UdpOutput(fd, std::move(address), length));
}

UdpOutput::UdpOutput(int fd, std::vector<unsigned char> address, unsigned addressLength)
    : fd_(fd), address_(std::move(address)), addressLength_(addressLength) {}

UdpOutput::~UdpOutput() {
    send();
    ::close(fd_);
}

void UdpOutput::send() {
    if (pending_.empty()) {
        return;
    }
    // Nobody listening, or a full queue, is no failure of a broadcasting talker.
    ::sendto(fd_, pending_.data(), pending_.size(), MSG_DONTWAIT,
             reinterpret_cast<const sockaddr*>(address_.data()), addressLength_);
    pending_.clear();
}

bool UdpOutput::write(std::string_view bytes, const volatile std::sig_atomic_t&, std::string&) {
    if (pending_.size() + bytes.size() > kLargestDatagram) {
        send();
    }
    pending_.append(bytes);
    if (pending_.ends_with('\n') || pending_.size() > kLargestDatagram) {
        send();
    }
    return true;
}

}  // namespace sim
