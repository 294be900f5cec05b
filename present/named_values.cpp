#include "present/named_values.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "nmea/decimal.h"
#include "nmea/parser_context.h"
#include "present/number_chars.h"
#include "present/record_member.h"

namespace present {

namespace {

bool isDigit(char c) {
    return static_cast<unsigned>(c - '0') < 10u;
}

bool allDigits(std::string_view text) {
    for (char c : text) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return true;
}

// The most negative "counted from the end" index of a layout (0 when it has none):
// fields counted from the start stop before the ones counted from the end.
int mostFromEnd(const nmeaz::SentenceLayout& layout) {
    // Such fields end their table (GSA's three dilutions).
    if (layout.fields.empty() || layout.fields.back().from >= 0) {
        return 0;
    }
    int most = 0;
    for (const nmeaz::FieldLayout& field : layout.fields) {
        most = field.from < most ? field.from : most;
    }
    return most;
}

constexpr std::int64_t kPowers[] = {1,           10,           100,          1000,      10000,
                                    100000,      1000000,      10000000,     100000000, 1000000000,
                                    10000000000, 100000000000, 1000000000000};

}  // namespace

std::string_view wireField(const nmeaz::ParserContext& context, const nmeaz::SentenceLayout& layout,
                           const nmeaz::FieldLayout& field) {
    const int count = context.fieldCount;
    int index = field.from;
    if (index < 0) {
        index += count;
        if (index < 1) {
            return {};
        }
    } else if (index >= count + mostFromEnd(layout)) {
        return {};
    }
    const char* text = context.fields[index];
    std::size_t length = 0;
    while (text[length] != '\0' && text[length] != '*' && text[length] != '\r' &&
           text[length] != '\n') {
        ++length;
    }
    return {text, length};
}

std::optional<JsonNumberParts> jsonNumberParts(std::string_view text) {
    std::size_t i = 0;
    JsonNumberParts parts;
    parts.negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        i = 1;
    }
    const std::size_t intStart = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    std::string_view integer = text.substr(intStart, i - intStart);
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        parts.fraction = text.substr(fracStart, i - fracStart);
    }
    if (i != text.size() || (integer.empty() && parts.fraction.empty())) {
        return std::nullopt;
    }
    while (integer.size() > 1 && integer[0] == '0') {
        integer.remove_prefix(1);
    }
    parts.integer = integer.empty() ? std::string_view("0") : integer;
    return parts;
}

std::optional<std::string> jsonNumber(std::string_view text) {
    const auto parts = jsonNumberParts(text);
    if (!parts) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(text.size() + 2);
    if (parts->negative) {
        out += '-';
    }
    out += parts->integer;
    if (!parts->fraction.empty()) {
        out += '.';
        out += parts->fraction;
    }
    return out;
}

std::optional<double> wireDegrees(std::string_view text, char hemisphere) {
    double sign = 1.0;
    if (hemisphere == 'S' || hemisphere == 'W') {
        sign = -1.0;
    } else if (hemisphere != 'N' && hemisphere != 'E') {
        return std::nullopt;
    }
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.size() < 3 || !allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    const std::string_view degreeDigits = whole.substr(0, whole.size() - 2);
    const std::string_view minuteDigits = whole.substr(whole.size() - 2);
    std::int64_t degrees = 0;
    std::from_chars(degreeDigits.data(), degreeDigits.data() + degreeDigits.size(), degrees);
    const int minutes = (minuteDigits[0] - '0') * 10 + (minuteDigits[1] - '0');
    if (degreeDigits.size() <= 3 && fraction.size() < std::size(kPowers)) {
        // Whole numbers of the last fraction digit, divided once: the one rounding of
        // the result is the only one.
        const std::int64_t scale = kPowers[fraction.size()];
        std::int64_t fractionValue = 0;
        std::from_chars(fraction.data(), fraction.data() + fraction.size(), fractionValue);
        const std::int64_t units = (degrees * 60 + minutes) * scale + fractionValue;
        return sign * (static_cast<double>(units) / static_cast<double>(60 * scale));
    }
    const double minuteValue =
        nmeaz::decimalToDouble(text.data() + degreeDigits.size(), text.data() + text.size());
    return sign * (static_cast<double>(degrees) + minuteValue / 60.0);
}

std::optional<std::string> wireTime(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.size() != 6 || !allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(16);
    out.append(whole.substr(0, 2)).append(":").append(whole.substr(2, 2)).append(":");
    out.append(whole.substr(4, 2)).append(".").append(fraction);
    for (std::size_t i = fraction.size(); i < 3; ++i) {
        out += '0';
    }
    return out;
}

std::optional<std::string> wireDate(std::string_view text) {
    if (text.size() != 6 || !allDigits(text)) {
        return std::nullopt;
    }
    const int yy = (text[4] - '0') * 10 + (text[5] - '0');
    std::string out = yy >= 80 ? "19" : "20";
    out.append(text.substr(4, 2)).append("-").append(text.substr(2, 2)).append("-");
    out.append(text.substr(0, 2));
    return out;
}

std::optional<double> aisNumber(const ais::AisField& field, const void* record) {
    double value = 0;
    switch (field.store) {
        case ais::AisStore::Unsigned:
            value = readMember<std::uint32_t>(record, field.offset);
            break;
        case ais::AisStore::Signed:
            value = readMember<std::int32_t>(record, field.offset);
            break;
        case ais::AisStore::Character:
        case ais::AisStore::Matches: {
            const char c = readMember<char>(record, field.offset);
            if (!isDigit(c)) {
                return std::nullopt;
            }
            value = c - '0';
            break;
        }
        case ais::AisStore::BitCount:
        case ais::AisStore::PayloadBits:
        case ais::AisStore::FromEnd:
            value = readMember<std::uint32_t>(record, field.offset);
            break;
        case ais::AisStore::Text:
        case ais::AisStore::TrailingText:
        case ais::AisStore::Hex:
            return std::nullopt;
    }
    using Way = ais::AisNamedWay;
    switch (field.namedWay) {
        case Way::Latitude:
            return value == 91 * 600000.0 ? std::nullopt : std::optional(value / 600000.0);
        case Way::Longitude:
            return value == 181 * 600000.0 ? std::nullopt : std::optional(value / 600000.0);
        case Way::Speed:
            return value == 1023 ? std::nullopt : std::optional(value / 10.0);
        case Way::WholeKnots:
            return value == 1023 ? std::nullopt : std::optional(value);
        case Way::Course:
            return value == 3600 ? std::nullopt : std::optional(value / 10.0);
        case Way::Heading:
            return value == 511 ? std::nullopt : std::optional(value);
        case Way::Turn:
            return value == -128 ? std::nullopt : std::optional(value);
        case Way::Latitude10:
            return value == 91 * 600.0 ? std::nullopt : std::optional(value / 600.0);
        case Way::Longitude10:
            return value == 181 * 600.0 ? std::nullopt : std::optional(value / 600.0);
        case Way::Latitude1000:
            return value == 91 * 60000.0 ? std::nullopt : std::optional(value / 60000.0);
        case Way::Longitude1000:
            return value == 181 * 60000.0 ? std::nullopt : std::optional(value / 60000.0);
        case Way::Speed27:
            return value == 63 ? std::nullopt : std::optional(value);
        case Way::Course27:
            return value == 511 ? std::nullopt : std::optional(value);
        case Way::Scaled: {
            const ais::AisScale& scale = field.scale;
            if (value < scale.least || value > scale.most) {
                return std::nullopt;
            }
            return (value + scale.addend) / scale.divisor;
        }
        case Way::Eta:
        case Way::Plain:
        case Way::Omit:
            break;
    }
    return value;
}

bool aisIsText(const ais::AisField& field) {
    return field.store == ais::AisStore::Text || field.store == ais::AisStore::TrailingText ||
           field.store == ais::AisStore::Hex;
}

std::string_view aisText(const ais::AisField& field, const void* record) {
    const char* text = static_cast<const char*>(record) + field.offset;
    std::size_t length = strnlen(text, field.size);
    const void* at = std::memchr(text, '@', length);
    if (at != nullptr) {
        length = static_cast<std::size_t>(static_cast<const char*>(at) - text);
    }
    while (length > 0 && text[length - 1] == ' ') {
        --length;
    }
    return {text, length};
}

bool aisFieldShown(const ais::AisMessageLayout& layout, const ais::AisField& field,
                   const void* record) {
    if (field.namedWay == ais::AisNamedWay::Omit) {
        return false;
    }
    const char gate = ais::aisGateDigit(layout, record);
    // A named value that is never listed is shown whenever it was decoded.
    return ais::aisGateOpen(field.decodeWhen, gate) &&
           (field.listWhen == ais::AisGate::Never || ais::aisGateOpen(field.listWhen, gate));
}

std::string shortestNumber(double value) {
    char buffer[kNumberCharsSize];
    return std::string(buffer, writeShortest(buffer, value));
}

}  // namespace present
