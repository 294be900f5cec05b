// The talker identifiers the standard lists (4.11, with the GNSS talkers of earlier
// editions still in use).
#pragma once

#include <array>
#include <cstdint>

namespace conformance {

namespace talkers_detail {

inline constexpr const char* kTalkers[] = {
    "AB", "AD", "AG", "AI", "AN", "AP", "AR", "AS", "AT", "AU", "AX", "BD", "BI", "BN", "CA", "CD",
    "CR", "CS", "CT", "CV", "CX", "DE", "DF", "DM", "DP", "DU", "EC", "EI", "EP", "ER", "FD", "FE",
    "FR", "FS", "GA", "GB", "GI", "GL", "GN", "GP", "GQ", "HC", "HD", "HE", "HF", "HN", "HS", "II",
    "IN", "JA", "JB", "JC", "JD", "JE", "JF", "JG", "JH", "JI", "JJ", "JK", "JL", "JM", "JN", "JO",
    "JP", "JQ", "JR", "JS", "JT", "LC", "MX", "NL", "NV", "NW", "NX", "QZ", "RA", "RB", "RC", "SA",
    "SD", "SG", "SN", "SS", "TC", "TI", "U0", "U1", "U2", "U3", "U4", "U5", "U6", "U7", "U8", "U9",
    "UP", "VA", "VD", "VM", "VR", "VS", "VW", "WD", "WI", "WL", "YX", "ZA", "ZC", "ZQ", "ZV",
};

constexpr int slotOf(char first, char second) {
    if (first < 'A' || first > 'Z')
        return -1;
    int column = -1;
    if (second >= 'A' && second <= 'Z')
        column = second - 'A';
    else if (second >= '0' && second <= '9')
        column = 26 + (second - '0');
    return column < 0 ? -1 : (first - 'A') * 36 + column;
}

constexpr std::array<bool, 26 * 36> known() {
    std::array<bool, 26 * 36> table{};
    for (const char* talker : kTalkers)
        table[static_cast<std::size_t>(slotOf(talker[0], talker[1]))] = true;
    return table;
}
inline constexpr std::array<bool, 26 * 36> kKnown = known();

}  // namespace talkers_detail

constexpr bool knownTalker(char first, char second) {
    const int slot = talkers_detail::slotOf(first, second);
    return slot >= 0 && talkers_detail::kKnown[static_cast<std::size_t>(slot)];
}

}  // namespace conformance
