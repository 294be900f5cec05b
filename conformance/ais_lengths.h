// The payload lengths, in bits, each AIS message type may have, taken from the
// message layouts (ais/layout.h): the end of the last fixed field is the shortest;
// a message with a variable tail (text, binary data) may run to its nominal length.
#pragma once

#include "ais/layout.h"

namespace conformance {

struct AisLength {
    int low = 0;  // 0: a type without a layout
    int high = 0;
};

namespace ais_lengths_detail {

constexpr bool fixedStore(ais::AisStore store) {
    return store == ais::AisStore::Unsigned || store == ais::AisStore::Signed ||
           store == ais::AisStore::Character || store == ais::AisStore::Text ||
           store == ais::AisStore::Matches;
}

// The end of the last fixed field decoded when the gate holds `digit`.
constexpr int fixedEnd(const ais::AisMessageLayout& layout, char digit) {
    int end = 0;
    for (const ais::AisField& field : layout.fields) {
        if (fixedStore(field.store) && ais::aisGateOpen(field.decodeWhen, digit)) {
            const int fieldEnd = field.firstBit + field.width;
            end = fieldEnd > end ? fieldEnd : end;
        }
    }
    return end;
}

constexpr bool variableTail(const ais::AisMessageLayout& layout) {
    for (const ais::AisField& field : layout.fields) {
        if (!fixedStore(field.store) && field.store != ais::AisStore::PayloadBits &&
            field.store != ais::AisStore::FromEnd)
            return true;
    }
    return false;
}

// The messages after 24 may stop after any field past the header (message 7 with
// one acknowledgement of four): the end of the first field past bit 40 is enough.
constexpr int firstFieldEnd(const ais::AisMessageLayout& layout) {
    int end = 0;
    for (const ais::AisField& field : layout.fields) {
        const int fieldEnd = field.firstBit + field.width;
        if (fixedStore(field.store) && fieldEnd > 40 && (end == 0 || fieldEnd < end))
            end = fieldEnd;
    }
    return end == 0 ? 40 : end;
}

}  // namespace ais_lengths_detail

// `part` is message 24's part number (0: A, 1: B); other types ignore it.
constexpr AisLength aisLengthOf(int type, int part) {
    const ais::AisMessageLayout* layout = ais::aisLayoutFor(type);
    if (layout == nullptr)
        return {};
    using namespace ais_lengths_detail;
    const bool variable = variableTail(*layout);
    if (layout->payloadBitsField >= 0) {
        return {firstFieldEnd(*layout), layout->nominalBits};
    }
    const char digit =
        layout->gateField < 0 ? '\0' : static_cast<char>('0' + (type == 24 ? part : 0));
    const int end = type == 18 ? fixedEnd(*layout, '0') : fixedEnd(*layout, digit);
    // Message 21 may carry a name extension of up to 14 characters and its padding.
    if (type == 21)
        return {end, end + 88};
    // Message 24 has parts A (0) and B (1) only; part A is often padded to B's 168 bits.
    if (type == 24)
        return part > 1 ? AisLength{} : AisLength{end, 168};
    return {end, variable ? layout->nominalBits : end};
}

}  // namespace conformance
