// The VDM sentence parser and the assembly of AIS messages that span several
// sentences.
//
// A multi-sentence message takes one of ten fragment slots with its first fragment
// (a free slot, or the one at the ring index when all are taken), each following
// fragment in order extends it, and the last completes it; its payload is then
// copied out and the slot is free again. Fragments out of order, or whose
// predecessor was lost, match no slot and are dropped.
#pragma once

#include "ais/bits.h"
#include "nmea/parser_context.h"

namespace ais {

constexpr int kFragmentSlots = 10;
constexpr int kFragmentPayloadSize = 1203;
constexpr int kPayloadBufferSize = kMaxPayloadChars + 1;
// aisAssembleFragment's result for a message that fits one sentence.
constexpr int kSingleSentence = 1000;

struct AisFragment {
    char sentence_name[6];  // the address without its start character ("AIVDM")
    int fragment_total;
    int fragment_number;
    int sequence_id;
    char channel;
    char payload[kFragmentPayloadSize];
    int fill_bits;
};

// The payload of the last completed message; emptied on every VDM sentence.
extern char aisPayloadBuffer[kPayloadBufferSize];
// The fill bits (0 to 5) of that payload's last character, from its last sentence.
extern int aisPayloadFillBits;

// aisDecodeVdm's result for a completed message without any payload.
constexpr int kEmptyPayload = -2;

// Files a fragment: kSingleSentence for a one-sentence message (nothing stored), the
// slot index (0..9) of the message this fragment completed, or -1. Every fragment
// that can no longer become part of a message (out of order, its predecessor
// missing, its message replaced, evicted or too long) is added to
// counters->fragmentsDropped when counters are given.
int aisAssembleFragment(const AisFragment& fragment, nmeaz::LineCounters* counters = nullptr);

// Assembles the fragment and, when a message is complete, writes its payload to
// `output` (kPayloadBufferSize characters) and returns its type (0..63). Returns -1,
// with `output` empty, while no message is complete, and kEmptyPayload for a
// complete message without payload.
int aisDecodeVdm(const AisFragment& fragment, char* output,
                 nmeaz::LineCounters* counters = nullptr);

// The sentence parser registered under "VDM" and "VDO": fills the VdmRecord,
// assembles the fragment and returns 50 + n when it completed a message of type n from
// 1 to 27, with the payload in aisPayloadBuffer and "_MSG<n>" appended to the current
// sentence name; 7 otherwise. Own-vessel (VDO) and other vessels' (VDM) messages
// assemble apart, as do different talkers. A completed message of any other type
// counts in the context's aisUndecodable.
int parseVdm(const nmeaz::ParserContext* context, const nmeaz::ParserEntry* entry);

// Registers parseVdm for VDO sentences, the own vessel's messages, with the VDM
// record; VDM itself is registered with the other sentence types.
void registerVdo(nmeaz::ParserContext* context);

// Empties the fragment table and sets the ring index to 0. For tests and tools that
// need a clean start; the monitor itself keeps the table across parse cycles so that
// a message may span two reads.
void aisResetFragmentTable();

// Read-only view of the table, for tests and diagnostics.
const AisFragment& aisFragmentSlot(int index);
int aisFragmentRingIndex();

}  // namespace ais
