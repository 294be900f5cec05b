#include "present/n2k_doc.h"

#include <charconv>

namespace present {

namespace {

using n2k::FieldDef;
using n2k::FieldType;
using n2k::PgnDef;

// Table cells: a pipe would end the cell, a line break the row.
std::string cell(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '|') {
            out += "\\|";
        } else if (c == '\n' || c == '\r') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string code(std::string_view text) {
    std::string out(1, '`');
    out += cell(text);
    out += '`';
    return out;
}

std::string number(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

const char* transportText(n2k::PgnTransport transport) {
    switch (transport) {
        case n2k::PgnTransport::Single:
            return "single frame";
        case n2k::PgnTransport::Fast:
            return "fast packet";
        case n2k::PgnTransport::Iso:
            return "ISO transport protocol";
        case n2k::PgnTransport::Mixed:
            return "single frame or fast packet";
    }
    return "";
}

std::string tableName(const n2k::PgnDatabase& db, const FieldDef& f) {
    std::span<const n2k::LookupTable> tables;
    switch (f.type) {
        case FieldType::Lookup:
            tables = db.lookups();
            break;
        case FieldType::IndirectLookup:
            tables = db.indirectLookups();
            break;
        case FieldType::BitLookup:
            tables = db.bitLookups();
            break;
        case FieldType::DynamicFieldKey:
            if (f.lookup >= 0 &&
                static_cast<std::size_t>(f.lookup) < db.fieldTypeLookups().size()) {
                return std::string(
                    db.text(db.fieldTypeLookups()[static_cast<std::size_t>(f.lookup)].name));
            }
            return {};
        default:
            return {};
    }
    if (f.lookup < 0 || static_cast<std::size_t>(f.lookup) >= tables.size()) {
        return {};
    }
    return std::string(db.text(tables[static_cast<std::size_t>(f.lookup)].name));
}

std::string typeText(const n2k::PgnDatabase& db, const FieldDef& f) {
    std::string text(n2k::fieldTypeName(f.type));
    if (f.isSigned) {
        text += ", signed";
    }
    if (const std::string table = tableName(db, f); !table.empty()) {
        text += " `";
        text += table;
        text += '`';
    }
    if (f.indirectFieldOrder != 0) {
        text += " with field ";
        text += std::to_string(f.indirectFieldOrder);
    }
    if (f.hasMatch) {
        text += " = ";
        text += std::to_string(f.match);
    }
    if (f.bitLengthField != 0) {
        text += ", length in field ";
        text += std::to_string(f.bitLengthField);
    }
    if (f.onlyWhenProprietary) {
        text += ", only for proprietary PGNs";
    }
    return text;
}

std::string setText(const PgnDef& p, int s) {
    const n2k::RepeatingSet& set = p.sets[s];
    std::string text = "Fields ";
    text += std::to_string(set.startField);
    text += " to ";
    text += std::to_string(set.startField + set.size - 1);
    text += s == 0 ? " repeat (`list`), " : " repeat (`list2`), ";
    if (set.countField != 0) {
        text += "as often as field ";
        text += std::to_string(set.countField);
        text += " says.";
    } else {
        text += "to the end of the data.";
    }
    return text;
}

}  // namespace

std::string n2kDocument(const n2k::PgnDatabase& db) {
    std::string out;
    out += "# NMEA 2000 PGNs\n\n";
    out +=
        "`tidewright-decode --named` writes one JSON object per decoded PGN:\n"
        "`{\"pgn\": ..., \"prio\": ..., \"src\": ..., \"dst\": ..., \"description\": ..., "
        "\"fields\": {...}}`.\n"
        "These are the PGN definitions of the PGN database (canboat.json ";
    out += db.version();
    out +=
        ") and their\n"
        "fields. The names in `fields` are the ids below; numbers are in the units below,\n"
        "resolution and offset applied; lookup values are written by name, bit lookups as\n"
        "arrays of names; missing, unknown and reserved values are `null`. The fields of a\n"
        "repeating set are objects in the array `list` (`list2` for a second set). Reserved\n"
        "and spare bits are left out. Where several definitions share a PGN, the one whose\n"
        "match values (`= n`) agree with the data is used. A PGN not listed here is written\n"
        "with `\"unknown\": true` and its bytes in hex.\n\n"
        "Generated from the loaded database; a test fails when this file is stale.\n";
    for (const PgnDef& p : db.pgns()) {
        out += "\n## ";
        out += std::to_string(p.pgn);
        out += ' ';
        out += cell(db.text(p.description));
        out += "\n\n`";
        out += db.text(p.id);
        out += "`: ";
        out += transportText(p.transport);
        if (p.length != 0) {
            out += ", ";
            out += std::to_string(p.length);
            out += " bytes";
        }
        out += p.fallback ? "; the generic definition of its range" : "";
        out += ".";
        for (int s = 0; s < 2; ++s) {
            if (p.sets[s].startField != 0) {
                out += ' ';
                out += setText(p, s);
            }
        }
        out +=
            "\n\n| # | id | name | bits | type | unit | resolution "
            "|\n|---|---|---|---|---|---|---|\n";
        for (const FieldDef& f : db.fields(p)) {
            for (const std::string& part :
                 {std::to_string(f.order), code(db.text(f.id)), cell(db.text(f.name)),
                  f.bitLength != 0 ? std::to_string(f.bitLength) : std::string("varies"),
                  cell(typeText(db, f)), cell(db.text(f.unit))}) {
                out += "| ";
                out += part;
                out += ' ';
            }
            out += "| ";
            if (f.resolution != 1 || f.offset != 0) {
                out += number(f.resolution);
                if (f.offset != 0) {
                    out += f.offset > 0 ? ", offset +" : ", offset ";
                    out += number(f.offset);
                }
            }
            out += " |\n";
        }
    }
    return out;
}

}  // namespace present
