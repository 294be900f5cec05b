#include "ais/decoders.h"

#include <algorithm>
#include <cstring>

#include "ais/bits.h"

namespace ais {

namespace {

constexpr int kLargestNominalBits = 1064;
static_assert(std::ranges::all_of(kAisLayouts, [](const AisMessageLayout& layout) {
    return layout.nominalBits <= kLargestNominalBits;
}));

// The message's bits, zero-filled past the payload up to the nominal length.
char workCopy[kLargestNominalBits + 1];

// The first decimal digit of the field's value, as aisBitsDigit would write it.
char leadingDigit(const char* bits, int width) {
    std::uint64_t value = aisBitsUInt64(bits, width);
    while (value >= 10) {
        value /= 10;
    }
    return static_cast<char>('0' + value);
}

// How many bits a data field starting at `field.firstBit` holds.
int dataBits(const AisField& field, int payloadBits) {
    return std::clamp(payloadBits - field.tailBits - field.firstBit, 0, int{field.width});
}

void storeHex(const AisField& field, const char* bits, int count, char* target) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const int digits = std::min((count + 3) / 4, int{field.textChars});
    for (int digit = 0; digit < digits; ++digit) {
        unsigned value = 0;
        for (int bit = 4 * digit; bit < 4 * digit + 4; ++bit) {
            // The fill bits of the last payload character are no data.
            value = (value << 1) | (bit < count ? (bits[bit] & 1u) : 0u);
        }
        target[digit] = kDigits[value];
    }
    target[digits] = '\0';
}

void storeUnsigned(char* target, std::uint32_t value) {
    std::memcpy(target, &value, sizeof value);
}

// `bits` points at the field's first bit; `payloadBits` is the payload less its fill.
void storeField(const AisField& field, const char* bits, int availableBits, int payloadBits,
                char* record) {
    char* target = record + field.offset;
    switch (field.store) {
        case AisStore::Unsigned: {
            const auto value = static_cast<std::uint32_t>(aisBitsUInt64(bits, field.width));
            std::memcpy(target, &value, sizeof value);
            break;
        }
        case AisStore::Signed: {
            const auto value = static_cast<std::int32_t>(aisBitsInt64(bits, field.width));
            std::memcpy(target, &value, sizeof value);
            break;
        }
        case AisStore::Character:
            *target = leadingDigit(bits, field.width);
            break;
        case AisStore::Text:
            std::memcpy(target, aisBitsText(bits, field.width), field.textChars);
            target[field.textChars] = '\0';
            break;
        case AisStore::TrailingText: {
            // Only complete six-bit groups count; the fill bits of a last partial
            // group give no character.
            const int count = std::max(0, (availableBits - field.firstBit) / 6);
            std::memcpy(target, aisBitsText(bits, 6 * count), count);
            target[count] = '\0';
            break;
        }
        case AisStore::Hex:
            storeHex(field, bits, dataBits(field, payloadBits), target);
            break;
        case AisStore::BitCount:
            storeUnsigned(target, static_cast<std::uint32_t>(dataBits(field, payloadBits)));
            break;
        case AisStore::PayloadBits:
            storeUnsigned(target, static_cast<std::uint32_t>(payloadBits));
            break;
        case AisStore::Matches:
            *target = aisBitsUInt64(bits, field.width) == field.matchValue ? '1' : '0';
            break;
        case AisStore::FromEnd: {
            const int first = payloadBits - field.firstBit;
            const char* from = bits - field.firstBit + first;  // bits is workCopy + firstBit
            storeUnsigned(
                target,
                first < 0 ? 0u : static_cast<std::uint32_t>(aisBitsUInt64(from, field.width)));
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

    std::memcpy(workCopy, aisPayloadToBits(payload, length), availableBits);
    std::memset(workCopy + availableBits, 0, layout.nominalBits + 1 - availableBits);

    std::memset(record, 0, layout.recordSize);
    char* bytes = static_cast<char*>(record);
    for (const AisField& field : layout.fields) {
        if (!aisGateOpen(field.decodeWhen, aisGateDigit(layout, record))) {
            continue;
        }
        storeField(field, workCopy + field.firstBit, availableBits, payloadBits, bytes);
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
