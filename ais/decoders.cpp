#include "ais/decoders.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "ais/bits.h"

namespace ais {

namespace {

constexpr int kLargestNominalBits = 1064;
static_assert(std::ranges::all_of(kAisLayouts, [](const AisMessageLayout& layout) {
    return layout.nominalBits <= kLargestNominalBits;
}));
// Numbers are read in one piece of at most 64 bits, text six bits per character.
static_assert(std::ranges::all_of(kAisLayouts, [](const AisMessageLayout& layout) {
    return std::ranges::all_of(layout.fields, [](const AisField& field) {
        switch (field.store) {
            case AisStore::Text:
                return field.textChars * 6 <= field.width + 5;
            case AisStore::Hex:
            case AisStore::TrailingText:
            case AisStore::BitCount:
            case AisStore::PayloadBits:
                return true;
            default:
                return field.width <= 64;
        }
    });
}));

// The message's bits packed eight to a byte, first bit highest, with zeros past the
// payload (and past the nominal length) up to well beyond the longest message, so
// that any field of any layout reads from it in one or two loads.
class MessageBits {
public:
    // Packs the first `length` payload characters, keeping only `availableBits` bits.
    void load(const char* payload, int length, int availableBits) {
        std::memset(bytes_, 0, sizeof bytes_);
        std::uint8_t* out = bytes_;
        int i = 0;
        // Four characters make three bytes.
        for (; i + 4 <= length; i += 4) {
            const std::uint32_t group = sixBits(payload[i]) << 18 | sixBits(payload[i + 1]) << 12 |
                                        sixBits(payload[i + 2]) << 6 | sixBits(payload[i + 3]);
            out[0] = static_cast<std::uint8_t>(group >> 16);
            out[1] = static_cast<std::uint8_t>(group >> 8);
            out[2] = static_cast<std::uint8_t>(group);
            out += 3;
        }
        std::uint32_t group = 0;
        for (int k = 0; k < 4; ++k) {
            group = group << 6 | (i + k < length ? sixBits(payload[i + k]) : 0u);
        }
        out[0] = static_cast<std::uint8_t>(group >> 16);
        out[1] = static_cast<std::uint8_t>(group >> 8);
        out[2] = static_cast<std::uint8_t>(group);
        // Bits of the last character beyond what is kept read as 0.
        const int keptBytes = availableBits / 8;
        const int keptInLast = availableBits % 8;
        if (keptInLast != 0) {
            bytes_[keptBytes] &= static_cast<std::uint8_t>(0xFF00u >> keptInLast);
        }
        const std::ptrdiff_t firstCleared = keptBytes + (keptInLast != 0 ? 1 : 0);
        const std::ptrdiff_t written = out + 3 - bytes_;
        if (written > firstCleared) {
            std::memset(bytes_ + firstCleared, 0, static_cast<std::size_t>(written - firstCleared));
        }
    }

    // The `width` bits from `first` as an unsigned number; only the last 64 of a wider
    // field count, as a shift register keeps them.
    std::uint64_t read(int first, int width) const {
        if (width > 64) {
            first += width - 64;
            width = 64;
        }
        if (width <= 0) {
            return 0;
        }
        if (width > 57) {
            return read(first, width - 32) << 32 | read(first + width - 32, 32);
        }
        std::uint64_t word;
        std::memcpy(&word, bytes_ + first / 8, sizeof word);
        if constexpr (std::endian::native == std::endian::little) {
            word = __builtin_bswap64(word);
        }
        return (word << (first % 8)) >> (64 - width);
    }

    // Two's complement of the field: negative when its first bit is 1.
    std::int64_t readSigned(int first, int width) const {
        std::uint64_t value = read(first, width);
        if (width > 0 && width < 64 && read(first, 1) != 0) {
            value -= std::uint64_t{1} << width;
        }
        return static_cast<std::int64_t>(value);
    }

    // The six-bit text character whose bits start at `first`.
    char sixBitChar(int first) const {
        return aisTextCharacter(static_cast<unsigned>(read(first, 6)));
    }

private:
    static std::uint32_t sixBits(char c) { return static_cast<std::uint32_t>(aisArmourValue(c)); }

    // Room for a read of 64 bits starting at the last bit of the longest message.
    std::uint8_t bytes_[(kLargestNominalBits + 64) / 8 + 16];
};

MessageBits messageBits;

// The first decimal digit of the field's value, as aisBitsDigit would write it.
char leadingDigit(std::uint64_t value) {
    while (value >= 10) {
        value /= 10;
    }
    return static_cast<char>('0' + value);
}

// How many bits a data field starting at `field.firstBit` holds.
int dataBits(const AisField& field, int payloadBits) {
    return std::clamp(payloadBits - field.tailBits - field.firstBit, 0, int{field.width});
}

void storeHex(const AisField& field, int count, char* target) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const int digits = std::min((count + 3) / 4, int{field.textChars});
    for (int digit = 0; digit < digits; ++digit) {
        // The fill bits of the last payload character are no data.
        const int bits = std::min(4, count - 4 * digit);
        const auto value = messageBits.read(field.firstBit + 4 * digit, bits) << (4 - bits);
        target[digit] = kDigits[value];
    }
    target[digits] = '\0';
}

void storeText(int first, int count, char* target) {
    for (int k = 0; k < count; ++k) {
        target[k] = messageBits.sixBitChar(first + 6 * k);
    }
    target[count] = '\0';
}

void storeUnsigned(char* target, std::uint32_t value) {
    std::memcpy(target, &value, sizeof value);
}

void storeField(const AisField& field, int availableBits, int payloadBits, char* record) {
    char* target = record + field.offset;
    const int first = field.firstBit;
    switch (field.store) {
        case AisStore::Unsigned:
            storeUnsigned(target, static_cast<std::uint32_t>(messageBits.read(first, field.width)));
            break;
        case AisStore::Signed: {
            const auto value =
                static_cast<std::int32_t>(messageBits.readSigned(first, field.width));
            std::memcpy(target, &value, sizeof value);
            break;
        }
        case AisStore::Character:
            *target = leadingDigit(messageBits.read(first, field.width));
            break;
        case AisStore::Text:
            storeText(first, field.textChars, target);
            break;
        case AisStore::TrailingText:
            // Only complete six-bit groups count; the fill bits of a last partial
            // group give no character.
            storeText(first, std::max(0, (availableBits - first) / 6), target);
            break;
        case AisStore::Hex:
            storeHex(field, dataBits(field, payloadBits), target);
            break;
        case AisStore::BitCount:
            storeUnsigned(target, static_cast<std::uint32_t>(dataBits(field, payloadBits)));
            break;
        case AisStore::PayloadBits:
            storeUnsigned(target, static_cast<std::uint32_t>(payloadBits));
            break;
        case AisStore::Matches: {
            const auto value = messageBits.read(first, field.width);
            *target = value == field.matchValue                              ? '1'
                      : field.matchValue2 != 0 && value == field.matchValue2 ? '2'
                                                                             : '0';
            break;
        }
        case AisStore::FromEnd: {
            // Counted back from the end of the payload.
            const int from = payloadBits - first;
            storeUnsigned(
                target,
                from < 0 ? 0u : static_cast<std::uint32_t>(messageBits.read(from, field.width)));
            break;
        }
    }
}

}  // namespace

int aisDecode(const AisMessageLayout& layout, const char* payload, void* record, int fillBits) {
    // Only the characters that reach into the nominal length are converted; one more is
    // counted to tell a payload that ends there from a longer one.
    const int neededChars = (layout.nominalBits + 5) / 6;
    int length = static_cast<int>(strnlen(payload, static_cast<std::size_t>(neededChars) + 1));
    const int payloadBits =
        std::clamp(6 * length - std::clamp(fillBits, 0, 5), 0, layout.nominalBits);
    length = std::min(length, neededChars);
    const int availableBits = std::min(6 * length, layout.nominalBits);
    messageBits.load(payload, length, availableBits);

    std::memset(record, 0, layout.recordSize);
    char* bytes = static_cast<char*>(record);
    for (const AisField& field : layout.fields) {
        if (!aisGateOpen(field.decodeWhen, aisGateDigit(layout, record))) {
            continue;
        }
        storeField(field, availableBits, payloadBits, bytes);
    }
    return 1;
}

int aisDecodeMessage1(const char* payload, AisPositionReport* record) {
    return aisDecode(*aisLayoutFor(1), payload, record);
}
int aisDecodeMessage2(const char* payload, AisPositionReport* record) {
    return aisDecode(*aisLayoutFor(2), payload, record);
}
int aisDecodeMessage3(const char* payload, AisMessage3* record) {
    return aisDecode(*aisLayoutFor(3), payload, record);
}
int aisDecodeMessage4(const char* payload, AisMessage4* record) {
    return aisDecode(*aisLayoutFor(4), payload, record);
}
int aisDecodeMessage5(const char* payload, AisMessage5* record) {
    return aisDecode(*aisLayoutFor(5), payload, record);
}
int aisDecodeMessage9(const char* payload, AisMessage9* record) {
    return aisDecode(*aisLayoutFor(9), payload, record);
}
int aisDecodeMessage14(const char* payload, AisMessage14* record) {
    return aisDecode(*aisLayoutFor(14), payload, record);
}
int aisDecodeMessage18(const char* payload, AisMessage18* record) {
    return aisDecode(*aisLayoutFor(18), payload, record);
}
int aisDecodeMessage19(const char* payload, AisMessage19* record) {
    return aisDecode(*aisLayoutFor(19), payload, record);
}
int aisDecodeMessage21(const char* payload, AisMessage21* record) {
    return aisDecode(*aisLayoutFor(21), payload, record);
}
int aisDecodeMessage24(const char* payload, AisMessage24* record) {
    return aisDecode(*aisLayoutFor(24), payload, record);
}

}  // namespace ais
