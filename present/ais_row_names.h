// Inspector rows of the AIS messages that are named by their layout alone: one row per
// entry of the message's longest result list, named as the named output names the
// field. Nothing here repeats a name the layout already gives.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "ais/layout.h"

namespace present {

namespace row_names_detail {

// The gate digit under which a layout lists the most fields.
constexpr char longestListDigit(const ais::AisMessageLayout& layout) {
    char best = '\0';
    int bestCount = -1;
    for (char digit : {'\0', '0', '1', '2', '3'}) {
        const int count =
            static_cast<int>(std::ranges::count_if(layout.fields, [&](const ais::AisField& f) {
                return ais::aisGateOpen(f.listWhen, digit);
            }));
        if (count > bestCount) {
            best = digit;
            bestCount = count;
        }
    }
    return best;
}

}  // namespace row_names_detail

template <int MessageType>
inline constexpr auto kAisRowNames = [] {
    constexpr const ais::AisMessageLayout* layout = ais::aisLayoutFor(MessageType);
    std::array<std::string_view, layout->maxListEntries> names{};
    const char digit = row_names_detail::longestListDigit(*layout);
    std::size_t row = 0;
    for (const ais::AisField& field : layout->fields) {
        if (ais::aisGateOpen(field.listWhen, digit)) {
            names[row++] = field.named != nullptr ? field.named : field.name;
        }
    }
    return names;
}();

}  // namespace present
