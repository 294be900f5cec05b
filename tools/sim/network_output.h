#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "output.h"

namespace sim {

struct HostPort {
    std::string host;
    int port = -1;
};

// "[HOST:]PORT", "[::1]:PORT": the host part may be left out when defaultHost is not
// empty. Port 0 asks the system for a free one (the chosen port is announced).
bool parseHostPort(std::string_view text, const std::string& defaultHost, HostPort& out,
                   std::string& error);

// Serves the talk to every TCP client that connects. A client that stops reading is
// given a little room (what its socket buffer and kPendingLimit hold) and is then
// dropped, never waited for; the others go on undisturbed.
class TcpServerOutput : public Output {
public:
    static std::unique_ptr<TcpServerOutput> listen(const HostPort& where, std::string& error);
    ~TcpServerOutput() override;

    bool write(std::string_view bytes, const volatile std::sig_atomic_t& stop,
               std::string& error) override;
    void dropStaleBacklog() override { acceptClients(); }

    // "HOST:PORT" as bound (with the port the system chose for port 0).
    const std::string& address() const { return address_; }
    std::size_t clientCount() const { return clients_.size(); }

    static constexpr std::size_t kPendingLimit = 256 * 1024;

private:
    struct Client {
        int fd;
        std::string pending;  // what the socket did not take yet
    };
    TcpServerOutput(int listenFd, std::string address);
    void acceptClients();
    bool flush(Client& client);

    int listenFd_;
    std::string address_;
    std::vector<Client> clients_;
};

// Sends the talk as datagrams to one address (unicast, broadcast or multicast). A
// datagram holds whole lines: a sentence written in pieces goes out once its line end
// arrives.
class UdpOutput : public Output {
public:
    static std::unique_ptr<UdpOutput> open(const HostPort& where, std::string& error);
    ~UdpOutput() override;

    bool write(std::string_view bytes, const volatile std::sig_atomic_t& stop,
               std::string& error) override;
    void dropStaleBacklog() override {}

    static constexpr std::size_t kLargestDatagram = 1400;

private:
    UdpOutput(int fd, std::vector<unsigned char> address, unsigned addressLength);
    void send();

    int fd_;
    std::vector<unsigned char> address_;
    unsigned addressLength_;
    std::string pending_;
};

}  // namespace sim
