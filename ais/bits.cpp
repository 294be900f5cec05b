#include "ais/bits.h"

#include <array>
#include <bit>
#include <cstring>

namespace ais {

namespace {

char bitString[kBitStringSize];
char digitText[24];  // the decimal digits of any 64-bit value and a terminator
char textBuffer[kTextBufferSize];

// The six bit characters of every byte value, so that a payload converts with one
// table look-up and one copy per character.
using SixBits = std::array<char, 6>;
constexpr std::array<SixBits, 256> makeBitTable() {
    std::array<SixBits, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        const int value = aisArmourValue(static_cast<char>(byte));
        for (int bit = 0; bit < 6; ++bit) {
            table[byte][bit] = ((value >> (5 - bit)) & 1) ? '1' : '0';
        }
    }
    return table;
}
constexpr std::array<SixBits, 256> kBitTable = makeBitTable();

}  // namespace

const char* aisPayloadToBits(const char* payload, int length) {
    if (length > kMaxPayloadChars) {
        length = kMaxPayloadChars;
    }
    char* out = bitString;
    for (int i = 0; i < length; ++i) {
        std::memcpy(out, kBitTable[static_cast<unsigned char>(payload[i])].data(), 6);
        out += 6;
    }
    *out = '\0';
    return bitString;
}

std::uint64_t aisBitsUInt64(const char* bits, int width) {
    std::uint64_t value = 0;
    int i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bit characters at once: their lowest bits, gathered by one
        // multiplication into the top byte with the first character highest.
        for (; i + 8 <= width; i += 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, bits + i, sizeof chunk);
            chunk &= 0x0101010101010101u;
            value = (value << 8) | ((chunk * 0x8040201008040201u) >> 56);
        }
    }
    for (; i < width; ++i) {
        value = (value << 1) | static_cast<std::uint64_t>(bits[i] & 1);
    }
    return value;
}

std::uint32_t aisBitsUInt(const char* bits, int width) {
    return static_cast<std::uint32_t>(aisBitsUInt64(bits, width));
}

std::int64_t aisBitsInt64(const char* bits, int width) {
    std::uint64_t value = aisBitsUInt64(bits, width);
    if (width > 0 && width < 64 && bits[0] == '1') {
        // -(inverted + 1) == value - 2^width, computed without overflow.
        value -= std::uint64_t{1} << width;
    }
    return static_cast<std::int64_t>(value);
}

std::int32_t aisBitsInt(const char* bits, int width) {
    if (width >= 32) {
        // Only the low 32 bits count; their pattern already is the result.
        return static_cast<std::int32_t>(aisBitsUInt(bits, width));
    }
    return static_cast<std::int32_t>(aisBitsInt64(bits, width));
}

const char* aisBitsDigit(const char* bits, int width) {
    std::uint64_t value = aisBitsUInt64(bits, width);
    char reversed[24];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = 0; i < count; ++i) {
        digitText[i] = reversed[count - 1 - i];
    }
    digitText[count] = '\0';
    return digitText;
}

char aisSixBitChar(const char* bits) {
    return aisTextCharacter(aisBitsUInt(bits, 6));
}

const char* aisBitsText(const char* bits, int width) {
    int count = 0;
    for (int i = 0; i < width && count < kTextBufferSize - 1; i += 6) {
        textBuffer[count++] = aisSixBitChar(bits + i);
    }
    textBuffer[count] = '\0';
    return textBuffer;
}

int aisMessageType(const char* payload) {
    if (payload[0] == '\0') {
        return -1;
    }
    return aisArmourValue(payload[0]);
}

}  // namespace ais
