// Test support: small PGN databases put together by hand, for the decoder's tests and
// its fuzz target. Fields get their orders, PGNs their field ranges and match counts.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "n2k/pgn_database.h"

namespace testsupport {

using n2k::FieldDef;
using n2k::FieldType;

class Tables {
public:
    n2k::TextRef text(std::string_view s) {
        const n2k::TextRef ref{static_cast<std::uint32_t>(t_.text.size()),
                               static_cast<std::uint32_t>(s.size())};
        t_.text += s;
        return ref;
    }

    FieldDef field(std::string_view id, FieldType type, std::uint32_t bits) {
        FieldDef f;
        f.id = text(id);
        f.name = text(id);
        f.type = type;
        f.bitLength = bits;
        return f;
    }
    FieldDef number(std::string_view id, std::uint32_t bits, double resolution = 1,
                    bool isSigned = false, std::uint64_t maxValidRaw = ~std::uint64_t{0}) {
        FieldDef f = field(id, FieldType::Number, bits);
        f.resolution = resolution;
        f.decimals = static_cast<std::uint8_t>(n2k::decimalsOf(resolution));
        f.isSigned = isSigned;
        f.maxValidRaw = maxValidRaw;
        return f;
    }

    n2k::PgnDef& pgn(std::uint32_t number, std::vector<FieldDef> fields) {
        n2k::PgnDef p;
        p.pgn = number;
        p.description = text("PGN " + std::to_string(number));
        p.firstField = static_cast<std::uint32_t>(t_.fields.size());
        for (FieldDef& f : fields) {
            f.order = static_cast<std::uint16_t>(t_.fields.size() - p.firstField + 1);
            p.matchCount = static_cast<std::uint8_t>(p.matchCount + (f.hasMatch ? 1 : 0));
            t_.fields.push_back(f);
        }
        p.fieldCount = static_cast<std::uint32_t>(fields.size());
        t_.pgns.push_back(p);
        return t_.pgns.back();
    }

    std::int32_t lookup(std::vector<std::pair<std::uint64_t, std::string_view>> values,
                        std::vector<n2k::LookupTable>* tables = nullptr, std::uint32_t key1 = 0) {
        auto& into = tables != nullptr ? *tables : t_.lookups;
        n2k::LookupTable table;
        table.first = static_cast<std::uint32_t>(t_.lookupValues.size());
        for (const auto& [key, name] : values) {
            t_.lookupValues.push_back({key1, key, text(name)});
        }
        table.count = static_cast<std::uint32_t>(values.size());
        into.push_back(table);
        return static_cast<std::int32_t>(into.size() - 1);
    }
    n2k::PgnTables& raw() { return t_; }

    n2k::PgnDatabase build() {
        std::stable_sort(t_.pgns.begin(), t_.pgns.end(),
                         [](const n2k::PgnDef& a, const n2k::PgnDef& b) { return a.pgn < b.pgn; });
        if (!n2k::checkTables(t_).empty()) {
            std::abort();  // a test's own table is wrong
        }
        return n2k::PgnDatabase(std::move(t_));
    }

private:
    n2k::PgnTables t_;
};

}  // namespace testsupport
