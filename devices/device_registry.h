// Every NMEA 2000 device heard on the bus, by source address: its NAME from the ISO
// address claim (60928), what it says of itself in product information (126996) and
// configuration information (126998), and the PGNs it sends with their rates. It also
// keeps what the address claims tell about the bus: a device that moved to a new
// address (same NAME, new address) and two NAMEs claiming one address.
//
// Plain C++ without Qt: the window's Devices dock shows it, tests drive it with
// decoded PGNs. Bounded: at most one entry per address, and per device at most
// kMaxPgns PGNs and kMaxOtherNames rival NAMEs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "n2k/message.h"
#include "n2k/pgn_decoder.h"

namespace devices {

constexpr std::uint32_t kAddressClaimPgn = 60928;
constexpr std::uint32_t kProductInformationPgn = 126996;
constexpr std::uint32_t kConfigurationInformationPgn = 126998;

struct PgnTraffic {
    std::uint32_t pgn = 0;
    std::string description;  // the database's, empty for a PGN it lacks
    std::uint64_t count = 0;
    std::int64_t firstMs = 0;
    std::int64_t lastMs = 0;
    double intervalMs = 0;  // the usual time between two, smoothed; 0 until known
};

struct Device {
    std::uint8_t address = 0;
    std::int64_t firstMs = 0;
    std::int64_t lastMs = 0;

    // From the address claim.
    bool claimed = false;
    std::uint64_t name = 0;  // the 64-bit ISO NAME as sent, little endian
    std::uint32_t uniqueNumber = 0;
    std::string manufacturer;  // the lookup's name, or the code as a number
    std::string deviceClass;
    std::string deviceFunction;
    std::uint8_t deviceInstance = 0;
    std::uint8_t systemInstance = 0;

    // From product information.
    bool hasProduct = false;
    std::string model;
    std::string softwareVersion;
    std::string modelVersion;
    std::string serialCode;
    std::string certificationLevel;
    std::uint32_t productCode = 0;

    // From configuration information.
    bool hasConfiguration = false;
    std::string installation1;
    std::string installation2;
    std::string manufacturerInformation;

    std::vector<PgnTraffic> pgns;  // in order of first arrival

    // The address the same NAME claimed before this one; -1 when it never moved.
    int previousAddress = -1;
    // The NAME moved on from here to this address; -1 while it still holds it.
    int movedTo = -1;
    // Other NAMEs that claimed this address while this device held it.
    std::vector<std::uint64_t> otherNames;
};

class DeviceRegistry {
public:
    static constexpr std::size_t kMaxPgns = 64;
    static constexpr std::size_t kMaxOtherNames = 8;

    // Notes one PGN heard at nowMs (a monotonic clock). The gateway's own
    // transmissions are the gateway speaking, not a device heard on the bus, and
    // messages from the null address have no device to file them under.
    void note(const n2k::Message& message, const n2k::DecodedPgn& decoded,
              const n2k::PgnDatabase& database, std::int64_t nowMs);
    void clear();

    // The devices heard, by address (lowest first).
    std::vector<const Device*> devices() const;
    // The same in order of first arrival: a view's rows stay where they are.
    const std::vector<Device>& inArrivalOrder() const { return devices_; }
    const Device* device(std::uint8_t address) const;
    // Bumped on every change; views compare it to skip redrawing.
    std::uint64_t generation() const { return generation_; }

    // Messages per second from a smoothed interval; 0 for a PGN heard once.
    static double rate(const PgnTraffic& traffic);
    // "0x1234567890ABCDEF", as the NAME reads as a number.
    static std::string nameText(std::uint64_t name);

private:
    void noteAddressClaim(Device& device, const n2k::Message& message,
                          const n2k::DecodedPgn& decoded, const n2k::PgnDatabase& database);
    Device& entry(std::uint8_t address, std::int64_t nowMs);

    std::array<int, 254> index_ = filledIndex();  // address -> into devices_, -1 for none
    std::vector<Device> devices_;
    std::uint64_t generation_ = 0;

    static std::array<int, 254> filledIndex() {
        std::array<int, 254> index{};
        index.fill(-1);
        return index;
    }
};

}  // namespace devices
