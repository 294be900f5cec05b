#include "sky/n2k_sky.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

namespace sky {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// The satellite status lookup: 0 not tracked, 1 tracked, 2 used, then the same three
// with differential corrections.
bool statusUsed(std::uint64_t status) {
    return status == 2 || status == 5;
}

bool numberOf(const n2k::FieldValue& v, double& out) {
    if (v.kind == n2k::ValueKind::Number) {
        out = v.number;
    } else if (v.kind == n2k::ValueKind::Unsigned || v.kind == n2k::ValueKind::Name) {
        out = static_cast<double>(v.raw);
    } else {
        return false;
    }
    return std::isfinite(out);
}

struct Item {
    bool hasPrn = false, hasElevation = false, hasAzimuth = false, hasSnr = false;
    double prn = 0, elevation = 0, azimuth = 0, snr = 0;
    bool used = false;
};

bool addSatellites(const n2k::PgnDatabase& db, const n2k::DecodedPgn& decoded, SkyModel& sky) {
    std::array<Item, SkyModel::kMaxSatellites> items{};
    int count = 0;
    for (int i = 0; i < decoded.count; ++i) {
        const n2k::FieldValue& v = decoded.values[i];
        if (v.set != 1 || v.field == nullptr || v.item >= items.size()) {
            continue;
        }
        count = std::max(count, v.item + 1);
        Item& item = items[v.item];
        const std::string_view id = db.text(v.field->id);
        double value = 0;
        if (v.kind == n2k::ValueKind::Missing || !numberOf(v, value)) {
            continue;
        }
        if (id == "prn") {
            item.hasPrn = true, item.prn = value;
        } else if (id == "elevation") {
            item.hasElevation = true, item.elevation = value * kDegreesPerRadian;
        } else if (id == "azimuth") {
            item.hasAzimuth = true, item.azimuth = value * kDegreesPerRadian;
        } else if (id == "snr") {
            item.hasSnr = true, item.snr = value;
        } else if (id == "status") {
            item.used = statusUsed(v.raw);
        }
    }
    std::array<SatelliteReport, SkyModel::kMaxSatellites> reports{};
    std::array<bool, SkyModel::kMaxSatellites> used{};
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const Item& item = items[static_cast<std::size_t>(i)];
        if (!item.hasPrn) {
            continue;
        }
        SatelliteReport& r = reports[static_cast<std::size_t>(n)];
        r.number = static_cast<int>(item.prn);
        r.system = constellationOfNumber(r.number);
        r.hasPosition = item.hasElevation && item.hasAzimuth;
        if (r.hasPosition) {
            r.elevation = std::clamp(static_cast<int>(std::lround(item.elevation)), 0, 90);
            r.azimuth = static_cast<int>(std::lround(item.azimuth)) % 360;
            r.azimuth += r.azimuth < 0 ? 360 : 0;
        }
        r.tracked = item.hasSnr;
        r.snr = item.hasSnr ? static_cast<int>(std::lround(item.snr)) : 0;
        used[static_cast<std::size_t>(n)] = item.used;
        ++n;
    }
    sky.setSatellitesInView(std::span<const SatelliteReport>(reports.data(), std::size_t(n)),
                            std::span<const bool>(used.data(), std::size_t(n)), true);
    return true;
}

bool addDops(const n2k::PgnDatabase& db, const n2k::DecodedPgn& decoded, SkyModel& sky) {
    Dops dops;
    int mode = 0;
    for (int i = 0; i < decoded.count; ++i) {
        const n2k::FieldValue& v = decoded.values[i];
        if (v.set != 0 || v.field == nullptr || v.kind == n2k::ValueKind::Missing) {
            continue;
        }
        const std::string_view id = db.text(v.field->id);
        double value = 0;
        if (!numberOf(v, value)) {
            continue;
        }
        if (id == "hdop") {
            dops.hdop = value;
        } else if (id == "vdop") {
            dops.vdop = value;
        } else if (id == "actualMode") {
            // The GNSS mode lookup: 0 1D, 1 2D, 2 3D, 3 auto; as a GSA fix type, a
            // one-dimensional solution is no position fix.
            mode = v.raw == 1 ? 2 : v.raw == 2 ? 3 : v.raw == 0 ? 1 : 0;
        }
    }
    // PDOP is the position's dilution in three dimensions: both parts together.
    if (dops.hdop > 0 && dops.vdop > 0) {
        dops.pdop = std::sqrt(dops.hdop * dops.hdop + dops.vdop * dops.vdop);
    }
    sky.setDops(dops);
    if (mode != 0) {
        sky.setFixMode(mode);
    }
    return true;
}

}  // namespace

bool addSkyPgn(const n2k::PgnDatabase& database, const n2k::DecodedPgn& decoded, SkyModel& sky) {
    if (decoded.definition == nullptr) {
        return false;
    }
    switch (decoded.definition->pgn) {
        case 129540:
            return addSatellites(database, decoded, sky);
        case 129539:
            return addDops(database, decoded, sky);
        default:
            return false;
    }
}

}  // namespace sky
