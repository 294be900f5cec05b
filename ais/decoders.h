// The AIS decoders. Each takes the payload text of a complete message and fills the
// record of its type; none checks the message type, a payload is decoded by the layout
// of the decoder called. They always return 1. The messages after 24 have no decoder
// of their own: aisDecode with their layout decodes them.
//
// The decoder reads no bit past the message's nominal length; bits a short payload
// does not supply read as 0 (texts there read as '@'). The record is cleared before
// decoding, so fields a message does not fill (the other part of message 24, the
// ITDMA state of a message 18 with selector '0') are zero.
#pragma once

#include "ais/layout.h"
#include "ais/records.h"

namespace ais {

// Decodes `payload` by `layout` into `record`, which must be the layout's record type.
// `fillBits` (0 to 5) pad the payload's last character; only the data, bit counts and
// payload lengths of the messages after 24 leave them out.
int aisDecode(const AisMessageLayout& layout, const char* payload, void* record, int fillBits = 0);

int aisDecodeMessage1(const char* payload, AisPositionReport* record);
int aisDecodeMessage2(const char* payload, AisPositionReport* record);
int aisDecodeMessage3(const char* payload, AisMessage3* record);
int aisDecodeMessage4(const char* payload, AisMessage4* record);
int aisDecodeMessage5(const char* payload, AisMessage5* record);
int aisDecodeMessage9(const char* payload, AisMessage9* record);
int aisDecodeMessage14(const char* payload, AisMessage14* record);
int aisDecodeMessage18(const char* payload, AisMessage18* record);
int aisDecodeMessage19(const char* payload, AisMessage19* record);
int aisDecodeMessage21(const char* payload, AisMessage21* record);
int aisDecodeMessage24(const char* payload, AisMessage24* record);

}  // namespace ais
