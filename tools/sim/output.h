#pragma once

#include <csignal>
#include <string_view>

namespace sim {

// Where the talk goes: a serial line or pseudo-terminal, TCP clients, UDP datagrams.
// Every kind follows the talker's rule: nobody who does not listen holds the talk up.
class Output {
public:
    virtual ~Output() = default;
    // Sends all of `bytes` unless `stop` becomes set. False only on a failure of the
    // output itself (message in `error`).
    virtual bool write(std::string_view bytes, const volatile std::sig_atomic_t& stop,
                       std::string& error) = 0;
    // Called between paced writes and while holding: a chance to drop what piles up
    // unread and, for a server, to take in new clients.
    virtual void dropStaleBacklog() = 0;
    // The speed the listener has set on the line when it differs in effect from ours,
    // else 0; only a pseudo-terminal can tell.
    virtual int listenerBaud() const { return 0; }
};

}  // namespace sim
