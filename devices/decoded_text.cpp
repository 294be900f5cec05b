#include "devices/decoded_text.h"

#include <charconv>
#include <cmath>

namespace devices {

namespace {

// Fixed strings are padded with spaces, '@', NUL or 0xFF, whichever the sender chose.
std::string_view withoutPadding(std::string_view text) {
    const auto padding = [](char c) {
        return c == ' ' || c == '@' || c == '\0' || static_cast<unsigned char>(c) == 0xFF;
    };
    while (!text.empty() && padding(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

const n2k::FieldValue* findField(const n2k::DecodedPgn& decoded, const n2k::PgnDatabase& database,
                                 std::string_view id) {
    for (int i = 0; i < decoded.count && i < n2k::DecodedPgn::kMaxValues; ++i) {
        const n2k::FieldValue& value = decoded.values[i];
        if (value.field != nullptr && value.set == 0 && database.text(value.field->id) == id) {
            return &value;
        }
    }
    return nullptr;
}

std::string fieldText(const n2k::DecodedPgn& decoded, const n2k::PgnDatabase& database,
                      std::string_view id) {
    const n2k::FieldValue* value = findField(decoded, database, id);
    if (value == nullptr) {
        return {};
    }
    switch (value->kind) {
        case n2k::ValueKind::Name:
        case n2k::ValueKind::Text:
            return std::string(withoutPadding(value->text));
        case n2k::ValueKind::Unsigned:
            return std::to_string(value->raw);
        case n2k::ValueKind::Number: {
            char buffer[32];
            const auto written = std::to_chars(buffer, buffer + sizeof buffer, value->number);
            return written.ec == std::errc() ? std::string(buffer, written.ptr) : std::string();
        }
        case n2k::ValueKind::Utf16: {
            // The names devices give themselves are ASCII in practice; other characters
            // are shown as '?' rather than guessed at.
            std::string out;
            for (std::size_t i = 0; i + 1 < value->text.size(); i += 2) {
                const unsigned unit = static_cast<unsigned char>(value->text[i]) |
                                      (static_cast<unsigned char>(value->text[i + 1]) << 8);
                out += unit >= 0x20 && unit < 0x7F ? static_cast<char>(unit) : '?';
            }
            return std::string(withoutPadding(out));
        }
        case n2k::ValueKind::Missing:
        case n2k::ValueKind::Bits:
        case n2k::ValueKind::Bytes:
            break;
    }
    return {};
}

std::optional<std::uint64_t> fieldNumber(const n2k::DecodedPgn& decoded,
                                         const n2k::PgnDatabase& database, std::string_view id) {
    const n2k::FieldValue* value = findField(decoded, database, id);
    if (value == nullptr) {
        return std::nullopt;
    }
    switch (value->kind) {
        case n2k::ValueKind::Unsigned:
        case n2k::ValueKind::Name:
            return value->raw;
        case n2k::ValueKind::Number:
            if (std::isfinite(value->number) && value->number >= 0 && value->number < 9.0e18) {
                return static_cast<std::uint64_t>(std::llround(value->number));
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace devices
