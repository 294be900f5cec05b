#include "ais/vdm.h"

#include <cstring>
#include <initializer_list>

#include "nmea/records.h"
#include "nmea/sentence_parsers.h"

namespace ais {

char aisPayloadBuffer[kPayloadBufferSize];
int aisPayloadFillBits;

namespace {

struct FragmentTable {
    AisFragment slots[kFragmentSlots];
    int ringIndex;
};
FragmentTable table;  // zero-filled before first use

int boundedLength(const char* text, int limit) {
    int length = 0;
    while (length < limit && text[length] != '\0') {
        ++length;
    }
    return length;
}

int payloadLength(const AisFragment& fragment) {
    return boundedLength(fragment.payload, kFragmentPayloadSize - 1);
}

void advanceRing() {
    table.ringIndex = (table.ringIndex + 1) % kFragmentSlots;
}

void release(AisFragment& slot) {
    slot.fragment_total = 0;
    slot.fragment_number = 0;
    slot.payload[0] = '\0';
}

bool sameMessage(const AisFragment& slot, const AisFragment& fragment) {
    return std::strncmp(slot.sentence_name, fragment.sentence_name, sizeof slot.sentence_name) ==
               0 &&
           slot.fragment_total == fragment.fragment_total &&
           slot.sequence_id == fragment.sequence_id;
}

void countDropped(nmeaz::LineCounters* counters, int fragments) {
    if (counters != nullptr && fragments > 0) {
        counters->fragmentsDropped += static_cast<std::uint64_t>(fragments);
    }
}

void store(AisFragment& slot, const AisFragment& fragment) {
    std::memcpy(slot.sentence_name, fragment.sentence_name, sizeof slot.sentence_name);
    slot.sentence_name[sizeof slot.sentence_name - 1] = '\0';
    slot.fragment_total = fragment.fragment_total;
    slot.fragment_number = fragment.fragment_number;
    slot.sequence_id = fragment.sequence_id;
    slot.channel = fragment.channel;
    const int length = payloadLength(fragment);
    std::memcpy(slot.payload, fragment.payload, length);
    slot.payload[length] = '\0';
    slot.fill_bits = fragment.fill_bits;
}

int storeFirstFragment(const AisFragment& fragment, nmeaz::LineCounters* counters) {
    // A sender reuses a sequential identifier only for a new message, so an
    // unfinished message under the same identifier can no longer complete: its
    // slot would otherwise take the new message's later fragments.
    for (AisFragment& slot : table.slots) {
        if (slot.fragment_total != 0 && sameMessage(slot, fragment)) {
            countDropped(counters, slot.fragment_number);
            release(slot);
        }
    }
    for (AisFragment& slot : table.slots) {
        if (slot.fragment_total == 0) {
            store(slot, fragment);
            advanceRing();
            return -1;
        }
    }
    AisFragment& evicted = table.slots[table.ringIndex];
    countDropped(counters, evicted.fragment_number);
    release(evicted);
    store(evicted, fragment);
    advanceRing();
    return -1;
}

}  // namespace

int aisAssembleFragment(const AisFragment& fragment, nmeaz::LineCounters* counters) {
    const int total = fragment.fragment_total;
    const int number = fragment.fragment_number;
    if (total < 1 || number < 1 || number > total) {
        countDropped(counters, 1);
        return -1;
    }
    if (total == 1) {
        return kSingleSentence;
    }
    if (number == 1) {
        return storeFirstFragment(fragment, counters);
    }
    for (int index = 0; index < kFragmentSlots; ++index) {
        AisFragment& slot = table.slots[index];
        if (slot.fragment_total == 0 || slot.fragment_number != number - 1 ||
            !sameMessage(slot, fragment)) {
            continue;
        }
        slot.fragment_number = number;
        const int held = payloadLength(slot);
        const int added = payloadLength(fragment);
        if (held + added > kMaxPayloadChars) {
            // The message cannot be assembled whole; letting its later fragments
            // join would deliver it with a piece missing.
            countDropped(counters, number);
            release(slot);
            return -1;
        }
        std::memcpy(slot.payload + held, fragment.payload, added);
        slot.payload[held + added] = '\0';
        advanceRing();
        return slot.fragment_number == slot.fragment_total ? index : -1;
    }
    countDropped(counters, 1);
    return -1;
}

int aisDecodeVdm(const AisFragment& fragment, char* output, nmeaz::LineCounters* counters) {
    output[0] = '\0';
    const int result = aisAssembleFragment(fragment, counters);
    const char* payload;
    if (result == kSingleSentence) {
        payload = fragment.payload;
    } else if (result >= 0 && result < kFragmentSlots) {
        payload = table.slots[result].payload;
    } else {
        return -1;
    }
    const int length = boundedLength(payload, kMaxPayloadChars);
    std::memcpy(output, payload, length);
    output[length] = '\0';
    if (result != kSingleSentence) {
        // Copied out: the slot is free for the next message.
        release(table.slots[result]);
    }
    if (length == 0) {
        return kEmptyPayload;
    }
    return aisMessageType(output);
}

int parseVdm(const nmeaz::ParserContext* context, const nmeaz::ParserEntry* entry) {
    if (entry == nullptr || entry->record == nullptr) {
        return nmeaz::kCodeVdm;
    }
    nmeaz::parseVdmFields(context, entry);
    const auto& vdm = *static_cast<const nmeaz::VdmRecord*>(entry->record);

    AisFragment fragment;
    std::memcpy(fragment.sentence_name, nmeaz::currentSentenceName + 1, 5);
    fragment.sentence_name[5] = '\0';
    fragment.fragment_total = vdm.fragment_total;
    fragment.fragment_number = vdm.fragment_number;
    fragment.sequence_id = vdm.sequence_id;
    fragment.channel = vdm.channel;
    fragment.fill_bits = vdm.fill_bits;
    // Without its fill-bits field, a sentence's last field also carries the checksum
    // and the line end: the payload stops before them.
    std::size_t length = 0;
    if (vdm.payload != nullptr) {
        length = strnlen(vdm.payload, kFragmentPayloadSize - 1);
        for (const char stop : {'*', '\r', '\n'}) {
            if (const void* at = std::memchr(vdm.payload, stop, length)) {
                length = static_cast<std::size_t>(static_cast<const char*>(at) - vdm.payload);
            }
        }
        std::memcpy(fragment.payload, vdm.payload, length);
    }
    fragment.payload[length] = '\0';

    nmeaz::LineCounters* counters = context != nullptr ? context->counters : nullptr;
    const int type = aisDecodeVdm(fragment, aisPayloadBuffer, counters);
    aisPayloadFillBits =
        fragment.fill_bits >= 0 && fragment.fill_bits <= 5 ? fragment.fill_bits : 0;
    if (type == 0) {
        aisPayloadBuffer[0] = '\0';
    }
    if (type < 1 || type > 27) {
        // Anything but "no message yet" is a message this decoder cannot read.
        if (type != -1 && counters != nullptr) {
            ++counters->aisUndecodable;
        }
        return nmeaz::kCodeVdm;
    }
    char* suffix = nmeaz::currentSentenceName + boundedLength(nmeaz::currentSentenceName, 6);
    std::memcpy(suffix, "_MSG", 4);
    suffix += 4;
    if (type >= 10) {
        *suffix++ = static_cast<char>('0' + type / 10);
    }
    *suffix++ = static_cast<char>('0' + type % 10);
    *suffix = '\0';
    return nmeaz::kCodeAisBase + type;
}

void registerVdo(nmeaz::ParserContext* context) {
    nmeaz::registerParser(context, "VDO", parseVdm, &nmeaz::vdmRecord);
}

void aisResetFragmentTable() {
    std::memset(&table, 0, sizeof table);
}

const AisFragment& aisFragmentSlot(int index) {
    return table.slots[index];
}

int aisFragmentRingIndex() {
    return table.ringIndex;
}

}  // namespace ais
