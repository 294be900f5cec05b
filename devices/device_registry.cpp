#include "devices/device_registry.h"

#include <algorithm>
#include <cstdio>

#include "devices/decoded_text.h"

namespace devices {

namespace {

std::uint64_t nameOf(const n2k::Message& message) {
    std::uint64_t name = 0;
    for (int i = 7; i >= 0; --i) {
        name = name << 8 | message.data[i];
    }
    return name;
}

// A lookup value by name, or its number when the database has no name for it.
std::string lookupText(const n2k::DecodedPgn& decoded, const n2k::PgnDatabase& database,
                       std::string_view id) {
    std::string text = fieldText(decoded, database, id);
    if (text.empty()) {
        if (const auto number = fieldNumber(decoded, database, id)) {
            text = std::to_string(*number);
        }
    }
    return text;
}

}  // namespace

Device& DeviceRegistry::entry(std::uint8_t address, std::int64_t nowMs) {
    int& at = index_[address];
    if (at < 0) {
        at = static_cast<int>(devices_.size());
        devices_.emplace_back();
        devices_.back().address = address;
        devices_.back().firstMs = nowMs;
    }
    return devices_[static_cast<std::size_t>(at)];
}

void DeviceRegistry::note(const n2k::Message& message, const n2k::DecodedPgn& decoded,
                          const n2k::PgnDatabase& database, std::int64_t nowMs) {
    if (message.sentByGateway || message.source >= index_.size()) {
        return;
    }
    ++generation_;
    Device& device = entry(message.source, nowMs);
    device.lastMs = nowMs;

    auto traffic = std::find_if(device.pgns.begin(), device.pgns.end(),
                                [&](const PgnTraffic& t) { return t.pgn == message.pgn; });
    if (traffic == device.pgns.end() && device.pgns.size() < kMaxPgns) {
        PgnTraffic added;
        added.pgn = message.pgn;
        if (decoded.definition != nullptr) {
            added.description = std::string(database.text(decoded.definition->description));
        }
        added.firstMs = nowMs;
        device.pgns.push_back(std::move(added));
        traffic = device.pgns.end() - 1;
    }
    if (traffic != device.pgns.end()) {
        if (traffic->count > 0) {
            const double gap = static_cast<double>(nowMs - traffic->lastMs);
            traffic->intervalMs = traffic->count == 1 ? gap : 0.8 * traffic->intervalMs + 0.2 * gap;
        }
        ++traffic->count;
        traffic->lastMs = nowMs;
    }

    if (decoded.definition == nullptr) {
        return;
    }
    switch (message.pgn) {
        case kAddressClaimPgn:
            if (message.length >= 8) {
                noteAddressClaim(device, message, decoded, database);
            }
            break;
        case kProductInformationPgn:
            device.hasProduct = true;
            device.model = fieldText(decoded, database, "modelId");
            device.softwareVersion = fieldText(decoded, database, "softwareVersionCode");
            device.modelVersion = fieldText(decoded, database, "modelVersion");
            device.serialCode = fieldText(decoded, database, "modelSerialCode");
            device.certificationLevel = lookupText(decoded, database, "certificationLevel");
            device.productCode = static_cast<std::uint32_t>(
                fieldNumber(decoded, database, "productCode").value_or(0));
            break;
        case kConfigurationInformationPgn:
            device.hasConfiguration = true;
            device.installation1 = fieldText(decoded, database, "installationDescription1");
            device.installation2 = fieldText(decoded, database, "installationDescription2");
            device.manufacturerInformation =
                fieldText(decoded, database, "manufacturerInformation");
            break;
        default:
            break;
    }
}

void DeviceRegistry::noteAddressClaim(Device& device, const n2k::Message& message,
                                      const n2k::DecodedPgn& decoded,
                                      const n2k::PgnDatabase& database) {
    const std::uint64_t name = nameOf(message);
    if (device.claimed && device.name != name) {
        // Another NAME on an address we know: two devices contend for it (the higher
        // NAME should give way), or the first one left and a new one took its place.
        // Either way the user sees both.
        if (std::find(device.otherNames.begin(), device.otherNames.end(), device.name) ==
                device.otherNames.end() &&
            device.otherNames.size() < kMaxOtherNames) {
            device.otherNames.push_back(device.name);
        }
        device.otherNames.erase(
            std::remove(device.otherNames.begin(), device.otherNames.end(), name),
            device.otherNames.end());
    }
    // The same NAME heard before at another address: the device moved.
    for (Device& other : devices_) {
        if (&other != &device && other.claimed && other.name == name && other.movedTo < 0) {
            other.movedTo = device.address;
            device.previousAddress = other.address;
        }
    }
    device.claimed = true;
    device.movedTo = -1;
    device.name = name;
    device.uniqueNumber =
        static_cast<std::uint32_t>(fieldNumber(decoded, database, "uniqueNumber").value_or(0));
    device.manufacturer = lookupText(decoded, database, "manufacturerCode");
    device.deviceClass = lookupText(decoded, database, "deviceClass");
    device.deviceFunction = lookupText(decoded, database, "deviceFunction");
    const auto lower = fieldNumber(decoded, database, "deviceInstanceLower").value_or(0);
    const auto upper = fieldNumber(decoded, database, "deviceInstanceUpper").value_or(0);
    device.deviceInstance = static_cast<std::uint8_t>((upper & 0x1F) << 3 | (lower & 0x07));
    device.systemInstance =
        static_cast<std::uint8_t>(fieldNumber(decoded, database, "systemInstance").value_or(0));
}

void DeviceRegistry::clear() {
    devices_.clear();
    index_ = filledIndex();
    ++generation_;
}

std::vector<const Device*> DeviceRegistry::devices() const {
    std::vector<const Device*> out;
    out.reserve(devices_.size());
    for (int at : index_) {
        if (at >= 0) {
            out.push_back(&devices_[static_cast<std::size_t>(at)]);
        }
    }
    return out;
}

const Device* DeviceRegistry::device(std::uint8_t address) const {
    if (address >= index_.size() || index_[address] < 0) {
        return nullptr;
    }
    return &devices_[static_cast<std::size_t>(index_[address])];
}

double DeviceRegistry::rate(const PgnTraffic& traffic) {
    return traffic.intervalMs > 0 ? 1000.0 / traffic.intervalMs : 0.0;
}

std::string DeviceRegistry::nameText(std::uint64_t name) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%016llX", static_cast<unsigned long long>(name));
    return buffer;
}

}  // namespace devices
