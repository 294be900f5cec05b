// The inspector's field catalogue: for every sentence type and AIS message the
// inspector can show, the search text that matches its keys and the names of its
// table rows. Row k of a table receives entry k of that type's result list.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "nmea/sentence_fields.h"

namespace present {

struct CatalogueEntry {
    std::string_view searchText;  // matched as a substring of the lower-cased key
    int parseCode;                // the code whose result list fills this table
    int rowCount;
    std::span<const std::string_view> rowNames;  // may be shorter than rowCount
};

// The first 25 entries keep their row names here; the sentence types after them take
// theirs from the labels of their sentence layout, the later AIS messages from the
// names of their message layout.
constexpr int kFixedCatalogueSize = 25;
constexpr int kLayoutNamedAisCount = 16;
constexpr int kCatalogueSize = kFixedCatalogueSize + nmeaz::kSentenceTypeCount -
                               nmeaz::kOwnParserTypeCount + kLayoutNamedAisCount;

// In table order: GGA, RMC, GLL, DPT, GSA, HDG, MTW, MWD, RMA, RSA, VHW, VLW, XTE, ZDA,
// then AIS messages 1, 2, 3, 4, 5, 9, 14, 18, 19, 21, 24, then the sentence types that
// their table alone decodes, in registration order (HDM, THS, VWR ... DBK), then AIS
// messages 6, 7, 8, 10, 11, 12, 13, 15, 16, 17, 20, 22, 23, 25, 26, 27.
const std::array<CatalogueEntry, kCatalogueSize>& fieldCatalogue();

// Message 18 names its communication state rows after the selector flag it carries.
constexpr int kMsg18SelectorRow = 14;
inline constexpr std::array<std::string_view, 3> kMsg18SotdmaNames = {
    "SOTDMA Sync State", "SOTDMA Slot Timeout", "SOTDMA Sub-Message"};
inline constexpr std::array<std::string_view, 4> kMsg18ItdmaNames = {
    "ITDMA Sync State", "ITDMA Slot Increment", "ITDMA Number of Slots", "ITDMA Keep Flag"};

}  // namespace present
