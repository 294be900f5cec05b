// AIVDM and AIVDO streams through the framing with the 26 sentence parsers, parseVdm
// in the VDM place and registered for VDO, then every decoder over every completed
// payload, with the payload's own fill bits and with fill bits taken from the input.
//
// The first input byte chooses the mode. Raw mode feeds the rest as it is (mutated
// captures). Sentence mode takes each line of the rest as the body of a sentence and
// frames it with a start character, a correct checksum and CR LF, so that mutated
// fields, counts, identifiers and payloads reach the fragment assembly instead of
// failing the checksum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ais/bits.h"
#include "ais/decoders.h"
#include "ais/layout.h"
#include "ais/vdm.h"
#include "nmea/checksum.h"
#include "nmea/parser_context.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"

namespace {

using namespace ais;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

int boundedLength(const char* text, int size) {
    const void* end = std::memchr(text, '\0', static_cast<std::size_t>(size));
    require(end != nullptr);
    return static_cast<int>(static_cast<const char*>(end) - text);
}

void checkFragmentTable() {
    require(aisFragmentRingIndex() >= 0 && aisFragmentRingIndex() < kFragmentSlots);
    for (int i = 0; i < kFragmentSlots; ++i) {
        const AisFragment& slot = aisFragmentSlot(i);
        if (slot.fragment_total == 0) {
            continue;
        }
        require(slot.fragment_total >= 2);
        require(slot.fragment_number >= 1 && slot.fragment_number < slot.fragment_total);
        require(boundedLength(slot.payload, kFragmentPayloadSize) <= kMaxPayloadChars);
        require(boundedLength(slot.sentence_name, sizeof slot.sentence_name) <= 5);
    }
}

alignas(8) char record[1024];

std::uint32_t storedNumber(const AisField& field) {
    std::uint32_t value;
    std::memcpy(&value, record + field.offset, sizeof value);
    return value;
}

// The BitCount field that counts the bits of a Hex field.
const AisField& countOf(const AisMessageLayout& layout, const AisField& hex) {
    for (const AisField& field : layout.fields) {
        if (field.store == AisStore::BitCount && field.firstBit == hex.firstBit &&
            field.decodeWhen == hex.decodeWhen) {
            return field;
        }
    }
    std::abort();
}

void checkRecord(const AisMessageLayout& layout, int payloadLength) {
    const char gate = aisGateDigit(layout, record);
    for (const AisField& field : layout.fields) {
        const char* at = record + field.offset;
        const bool decoded = aisGateOpen(field.decodeWhen, gate);
        // Up to message 24 every field counts as present, as the fixed lists need.
        const bool present = aisFieldPresent(layout, field, record);
        require(layout.payloadBitsField < 0 ? present : decoded || !present);
        // Messages 25 and 26 fill a member from one of several rows: only the row its
        // form opens is checked.
        if (!decoded && layout.payloadBitsField >= 0) {
            continue;
        }
        switch (field.store) {
            case AisStore::Character:
                require(decoded ? (*at >= '0' && *at <= '9') : *at == '\0');
                break;
            case AisStore::Text:
                require(boundedLength(at, static_cast<int>(field.size)) ==
                        (decoded ? field.textChars : 0));
                break;
            case AisStore::TrailingText: {
                int bits = 6 * payloadLength;
                bits = bits < layout.nominalBits ? bits : layout.nominalBits;
                const int expected = bits > field.firstBit ? (bits - field.firstBit) / 6 : 0;
                require(boundedLength(at, static_cast<int>(field.size)) == expected);
                break;
            }
            case AisStore::Unsigned:
            case AisStore::Signed:
                break;
            case AisStore::Hex: {
                const std::uint32_t bits = storedNumber(countOf(layout, field));
                const int digits = boundedLength(at, static_cast<int>(field.size));
                require(digits == static_cast<int>((bits + 3) / 4) && digits <= field.textChars);
                for (int i = 0; i < digits; ++i) {
                    require(std::strchr("0123456789abcdef", at[i]) != nullptr);
                }
                break;
            }
            case AisStore::BitCount:
                require(storedNumber(field) <= field.width);
                break;
            case AisStore::PayloadBits:
                require(storedNumber(field) <= static_cast<std::uint32_t>(layout.nominalBits) &&
                        storedNumber(field) <= 6u * static_cast<unsigned>(payloadLength));
                break;
            case AisStore::Matches:
                require(*at == '0' || *at == '1' || (*at == '2' && field.matchValue2 != 0));
                break;
            case AisStore::FromEnd:
                require(storedNumber(field) < (1u << field.width));
                break;
        }
    }
    const int entries = aisListEntryCount(layout, record);
    require(entries > 0 && entries <= layout.maxListEntries);
}

// Fill bits from the input, beyond what a sentence may say, for every decode.
int extraFill;

void checkCode(int code) {
    const char* name = nmeaz::currentSentenceName;
    require(boundedLength(name, nmeaz::kSentenceNameSize) <= nmeaz::kSentenceNameSize - 1);
    const int payloadLength = boundedLength(aisPayloadBuffer, kPayloadBufferSize);
    require(payloadLength <= kMaxPayloadChars);
    if (code <= nmeaz::kCodeAisBase) {
        require(std::strstr(name, "_MSG") == nullptr || code != nmeaz::kCodeVdm);
        return;
    }
    const int type = code - nmeaz::kCodeAisBase;
    require(type >= 1 && type <= 27);
    require(payloadLength > 0);
    require(aisMessageType(aisPayloadBuffer) == type);
    const char* suffix = std::strstr(name, "_MSG");
    require(suffix != nullptr && std::atoi(suffix + 4) == type);
    // Decoders do not check the type: every layout must cope with every payload.
    require(aisPayloadFillBits >= 0 && aisPayloadFillBits <= 5);
    for (const AisMessageLayout& layout : kAisLayouts) {
        for (int fill : {aisPayloadFillBits, extraFill}) {
            require(aisDecode(layout, aisPayloadBuffer, record, fill) == 1);
            checkRecord(layout, payloadLength);
        }
    }
}

nmeaz::ParserContext context;
char framed[1 << 16];

int frameLines(const char* data, int size) {
    int out = 0;
    int start = 0;
    for (int i = 0; i <= size; ++i) {
        if (i < size && data[i] != '\n') {
            continue;
        }
        const int length = i - start;
        if (out + length + 6 > static_cast<int>(sizeof framed)) {
            break;
        }
        framed[out++] = '!';
        for (int k = start; k < i; ++k) {
            framed[out++] = data[k];
        }
        const auto digits =
            nmeaz::checksumDigits(nmeaz::checksumOf(std::string_view(data + start, length)));
        framed[out++] = '*';
        framed[out++] = digits[0];
        framed[out++] = digits[1];
        framed[out++] = '\r';
        framed[out++] = '\n';
        start = i + 1;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool sentenceMode = (data[0] & 1) != 0;
    extraFill = static_cast<int>(data[0] >> 1) % 9 - 1;  // -1 to 7
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    int total = static_cast<int>(size - 1 < sizeof framed ? size - 1 : sizeof framed);
    if (sentenceMode) {
        total = frameLines(bytes, total);
        bytes = framed;
    }

    nmeaz::init(&context);
    nmeaz::registerSentenceParsers(&context, parseVdm);
    registerVdo(&context);
    aisResetFragmentTable();

    int offset = 0;
    while (offset < total) {
        int left = total - offset;
        const int code = nmeaz::feedBuffer(&context, bytes + offset, &left);
        require(left >= 0 && left < total - offset + (code == 0 ? 1 : 0));
        offset = total - left;
        if (code != 0 && (code == nmeaz::kCodeVdm || code > nmeaz::kCodeAisBase)) {
            checkCode(code);
        }
        checkFragmentTable();
    }
    return 0;
}
