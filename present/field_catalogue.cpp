#include "present/field_catalogue.h"

#include <utility>

#include "ais/layout.h"
#include "nmea/sentence_fields.h"
#include "present/ais_row_names.h"

namespace present {

namespace {

using Names = std::string_view;

constexpr Names kGga[] = {"UTC",
                          "Latitude",
                          "ns",
                          "Longitude",
                          "ew",
                          "GPS quality indicator",
                          "Satellites in use",
                          "Horizontal dilution of precision",
                          "Geoid",
                          "Units of antenna altitude",
                          "Geoidal separation",
                          "Units of geoidal separation",
                          "Age of differential GPS data",
                          "Differential reference station ID"};
constexpr Names kRmc[] = {"UTC", "Status", "Latitude",           "ns", "Longitude",     "ew", "Sog",
                          "Cog", "Date",   "magnetic variation", "ew", "mode indicator"};
constexpr Names kGll[] = {"UTC", "Latitude", "ns", "Longitude", "ew", "Status", "Mode indicator"};
constexpr Names kDpt[] = {"Water depth relative to the transducer(m)", "Offset from transducer(m)",
                          "Maximum range scale in use"};
constexpr Names kGsa[] = {"Mode", "Type", "Sat0", "Sat1",  "Sat2",  "Sat3", "Sat4", "Sat5", "Sat6",
                          "Sat7", "Sat8", "Sat9", "Sat10", "Sat11", "PDOP", "HDOP", "VDOP"};
constexpr Names kHdg[] = {"Magnetic sensor heading(degrees)", "Magnetic deviation", "ew",
                          "Magnetic variation", "ew"};
constexpr Names kMtw[] = {"Temperature", "degrees C"};
constexpr Names kMwd[] = {"Wind driection", "0-359 true", "Wind direction", "0-359 magnetic",
                          "Wind speed",     "knots",      "Wind speed",     "m/s"};
constexpr Names kRma[] = {"Status",
                          "Latitude",
                          "ns",
                          "Longtitude",
                          "ew",
                          "Time difference A(us)",
                          "Time difference B(us)",
                          "Sog",
                          "Cog",
                          "Magnetic variation",
                          "ew",
                          "Mode indicator"};
constexpr Names kRsa[] = {"Starboard rudder sensor", "Status", "Port rudder sensor", "Status"};
constexpr Names kVhw[] = {"Heading", "degrees true", "Heading", "degrees magnetic",
                          "Speed",   "knots",        "Speed",   "km/h"};
constexpr Names kVlw[] = {"Total cumulative water distance",  "nautical miles",
                          "Water distance since reset",       "nautical miles",
                          "Total cumulative ground distance", "nautical miles",
                          "Ground distance since reset",      "nautical miles"};
constexpr Names kXte[] = {"Status",
                          "Status",
                          "Magnitude of cross-track error",
                          "Direction to steer,L/R",
                          "Units,nautical miles",
                          "Mode indicator"};
constexpr Names kZda[] = {"UTC", "Day", "Month", "Year", "Local zone hours", "Local zone minutes"};

// Messages 1, 2 and 3 share their first 15 rows.
#define TW_POSITION_REPORT_ROWS                                                             \
    "Id", "Repeated", "UserID", "Naxigational Status", "Rate of Tum", "Speed Over Ground",  \
        "Position Accuracy", "Longitude", "Latitude", "Course over Ground", "True Heading", \
        "UTC Seconds", "Regional bits", "Spare", "Raim flag"

constexpr Names kMsg1[] = {TW_POSITION_REPORT_ROWS, "SOTDMA Sync State", "SOTDMA Slot Timeout",
                           "SOTDMA Sub-Message"};
constexpr Names kMsg3[] = {TW_POSITION_REPORT_ROWS, "ITDMA Sync State", "ITDMA Slot Increment",
                           "ITDMA Number of Slots", "ITDMA Keep Flag"};
#undef TW_POSITION_REPORT_ROWS

constexpr Names kMsg4[] = {"Id",
                           "Repeated",
                           "UserID",
                           "UTC Year",
                           "UTC Month",
                           "UTC Day",
                           "UTC hour",
                           "UTC Minute",
                           "UTC Second",
                           "Posititon Accuracy",
                           "Longitude",
                           "Latitude",
                           "Type of posititon fixing device",
                           "Spare",
                           "Raim flag",
                           "SOTDMA Sync State",
                           "SOTDMA Slot Timeout",
                           "SOTDMA Sub-Message"};
constexpr Names kMsg5[] = {"Id",
                           "Repeated",
                           "UserID",
                           "AIS version",
                           "IMO number",
                           "Callsign",
                           "Ship name",
                           "Type of Ship and Cargo",
                           "GPS Ant.Distance from Bow",
                           "GPS Ant.Diatance from stern",
                           "GPS Ant.Distance from port",
                           "GPS Ant.Distance from starboard",
                           "Type of position fixing device",
                           "Estimated Time of Arrival MMDDHHMM",
                           "Maximum present static draught",
                           "Ship Destination",
                           "DTE flag",
                           "Spare"};
constexpr Names kMsg9[] = {"Id",
                           "Repeated",
                           "UserID",
                           "Altitude",
                           "Speed Over Ground",
                           "Postition Accuracy",
                           "Longitude",
                           "Latitude",
                           "Course Over Ground",
                           "UTC Seconds",
                           "Regional bits",
                           "DTE flag",
                           "Spare",
                           "RAIM flag",
                           "SOTDMA Sync State",
                           "SOTDMA Slot Timeout",
                           "SOTDMA Sub-Message"};
constexpr Names kMsg14[] = {"Id", "Repeated", "UserID", "Spare", "Message in ASCII"};
// Rows 15 to 18 are named at run time after the communication state selector.
constexpr Names kMsg18[] = {"Id",
                            "Repeated",
                            "UserID",
                            "Regional bits",
                            "Speed Over Ground",
                            "Position Accuracy",
                            "Longitude",
                            "Latitude",
                            "Course Over Ground",
                            "True Heading",
                            "UTC Seconds",
                            "Regional bits",
                            "Spare",
                            "Raim",
                            "Comm State Flag"};
constexpr Names kMsg19[] = {"Id",
                            "Repeated",
                            "UserID",
                            "Regional bits",
                            "Speed Over Ground",
                            "Position Accuracy",
                            "Longitude",
                            "Latitude",
                            "Course Over Ground",
                            "True Heading",
                            "UTC Seconds",
                            "Regional bits",
                            "Ship Name in AScii",
                            "Type of Ship and Cargo",
                            "GPS Ant.Distance from Bow",
                            "GPS Ant.Diatance from stern",
                            "GPS Ant.Distance from port",
                            "GPS Ant.Distance from starboard",
                            "Type of Position Fixing Device",
                            "RAIM Flag",
                            "DTE Flag",
                            "Spare"};
constexpr Names kMsg21[] = {"Id",
                            "Repeated",
                            "UserID",
                            "Type of Aton",
                            "Name of Aton in ascii",
                            "Position Accuracy",
                            "Longitude",
                            "Latitude",
                            "GPS Ant.Distance from Bow",
                            "GPS Ant.Diatance from stern",
                            "GPS Ant.Distance from port",
                            "GPS Ant.Distance from starboard",
                            "Type of Position Fixing Device",
                            "UTC Seconds",
                            "Off position Flag",
                            "Regional Bits",
                            "RAIM flag",
                            "Spare"};
constexpr Names kMsg24[] = {"Id",
                            "Repeated",
                            "UserID",
                            "Part number",
                            "Ship Name",
                            "Type of Ship and Cargo",
                            "Vendor ID in ASCII",
                            "Callsign in ASCII",
                            "GPS Ant.Distance from Bow",
                            "GPS Ant.Diatance from stern",
                            "GPS Ant.Distance from port",
                            "GPS Ant.Distance from starboard",
                            "Spare",
                            "Flags"};

template <std::size_t N>
constexpr CatalogueEntry entry(std::string_view search, int code, const Names (&names)[N]) {
    return {search, code, static_cast<int>(N), std::span<const Names>(names, N)};
}

using namespace nmeaz;

// An AIS table has one row per entry of the message's longest result list, as the
// message's layout gives it.
template <std::size_t N>
constexpr CatalogueEntry aisEntry(std::string_view search, int message, const Names (&names)[N]) {
    return {search, kCodeAisBase + message, ais::aisLayoutFor(message)->maxListEntries,
            std::span<const Names>(names, N)};
}

// A message whose rows are named by its layout.
template <int Message>
constexpr CatalogueEntry layoutNamedEntry(std::string_view search) {
    return {search, kCodeAisBase + Message, ais::aisLayoutFor(Message)->maxListEntries,
            std::span<const Names>(kAisRowNames<Message>)};
}

// The row names of a layout that labels its fields.
template <std::size_t LayoutIndex>
constexpr auto labelsOf() {
    constexpr const SentenceLayout& layout = kSentenceLayouts[LayoutIndex];
    std::array<Names, layout.fields.size()> names{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = layout.fields[i].label;
    }
    return names;
}
template <std::size_t LayoutIndex>
inline constexpr auto kLabels = labelsOf<LayoutIndex>();

template <std::size_t LayoutIndex>
constexpr CatalogueEntry labelledEntry() {
    constexpr const SentenceLayout& layout = kSentenceLayouts[LayoutIndex];
    static_assert(layout.listed && layout.search != nullptr);
    return {layout.search, layout.code, static_cast<int>(kLabels<LayoutIndex>.size()),
            std::span<const Names>(kLabels<LayoutIndex>)};
}

template <std::size_t... I>
constexpr std::array<CatalogueEntry, sizeof...(I)> labelledEntries(std::index_sequence<I...>) {
    return {labelledEntry<kOwnParserTypeCount + I>()...};
}

constexpr auto kLabelledEntries =
    labelledEntries(std::make_index_sequence<kSentenceTypeCount - kOwnParserTypeCount>{});
static_assert(kFixedCatalogueSize + kLabelledEntries.size() + kLayoutNamedAisCount ==
              kCatalogueSize);

constexpr std::array<CatalogueEntry, kFixedCatalogueSize> kFixedCatalogue = {
    entry("gga", kCodeGga, kGga),
    entry("rmc", kCodeRmc, kRmc),
    entry("gll", kCodeGll, kGll),
    entry("dpt", kCodeDpt, kDpt),
    entry("gsa", kCodeGsa, kGsa),
    entry("hdg", kCodeHdg, kHdg),
    entry("mtw", kCodeMtw, kMtw),
    entry("mwd", kCodeMwd, kMwd),
    entry("rma", kCodeRma, kRma),
    entry("rsa", kCodeRsa, kRsa),
    entry("vhw", kCodeVhw, kVhw),
    entry("vlw", kCodeVlw, kVlw),
    entry("xte", kCodeXte, kXte),
    entry("zda", kCodeZda, kZda),
    aisEntry("msg1", 1, kMsg1),
    aisEntry("msg2", 2, kMsg1),
    aisEntry("msg3", 3, kMsg3),
    aisEntry("msg4", 4, kMsg4),
    aisEntry("msg5", 5, kMsg5),
    aisEntry("msg9", 9, kMsg9),
    aisEntry("msg14", 14, kMsg14),
    // Rows 15 on are named after the selector flag of each message (see below).
    aisEntry("msg18", 18, kMsg18),
    aisEntry("msg19", 19, kMsg19),
    aisEntry("msg21", 21, kMsg21),
    aisEntry("msg24", 24, kMsg24),
};

// The AIS messages after the first eleven, their rows named by their layouts.
constexpr std::array<CatalogueEntry, kLayoutNamedAisCount> kLayoutNamedAis = {
    layoutNamedEntry<6>("msg6"),   layoutNamedEntry<7>("msg7"),   layoutNamedEntry<8>("msg8"),
    layoutNamedEntry<10>("msg10"), layoutNamedEntry<11>("msg11"), layoutNamedEntry<12>("msg12"),
    layoutNamedEntry<13>("msg13"), layoutNamedEntry<15>("msg15"), layoutNamedEntry<16>("msg16"),
    layoutNamedEntry<17>("msg17"), layoutNamedEntry<20>("msg20"), layoutNamedEntry<22>("msg22"),
    layoutNamedEntry<23>("msg23"), layoutNamedEntry<25>("msg25"), layoutNamedEntry<26>("msg26"),
    layoutNamedEntry<27>("msg27"),
};

constexpr std::array<CatalogueEntry, kCatalogueSize> joinCatalogue() {
    std::array<CatalogueEntry, kCatalogueSize> all{};
    std::size_t n = 0;
    for (const CatalogueEntry& e : kFixedCatalogue) {
        all[n++] = e;
    }
    for (const CatalogueEntry& e : kLabelledEntries) {
        all[n++] = e;
    }
    for (const CatalogueEntry& e : kLayoutNamedAis) {
        all[n++] = e;
    }
    return all;
}
constexpr std::array<CatalogueEntry, kCatalogueSize> kCatalogue = joinCatalogue();

static_assert(std::size(kGga) == 14 && std::size(kRmc) == 12 && std::size(kGll) == 7);
static_assert(std::size(kGsa) == 17 && std::size(kZda) == 6);
static_assert(std::size(kMsg1) == 18 && std::size(kMsg3) == 19 && std::size(kMsg9) == 17);
static_assert(std::size(kMsg18) == kMsg18SelectorRow + 1);

// Row k of a table shows entry k of its type's result list: a sentence table has a
// row per record field, and every row is named, except message 18's communication
// state rows, which are named at run time from the longer of its two forms.
constexpr bool tablesMatchTheirLists() {
    for (const CatalogueEntry& e : kCatalogue) {
        const int named = static_cast<int>(e.rowNames.size());
        if (e.parseCode < kCodeAisBase) {
            if (e.rowCount != named ||
                e.rowCount != static_cast<int>(layoutFor(e.parseCode)->fields.size())) {
                return false;
            }
        } else if (e.parseCode == kCodeAisBase + 18) {
            if (e.rowCount != named + static_cast<int>(kMsg18ItdmaNames.size())) {
                return false;
            }
        } else if (e.rowCount != named) {
            return false;
        }
    }
    return true;
}
static_assert(tablesMatchTheirLists());

}  // namespace

const std::array<CatalogueEntry, kCatalogueSize>& fieldCatalogue() {
    return kCatalogue;
}

}  // namespace present
