// The result lists: the decoded values of one sentence or AIS message, one display
// string per value, in the row order of the inspector's table for that type.
#pragma once

#include <QStringList>

#include "ais/layout.h"

namespace present {

// True for the sentence types that have a result list (GGA, RMC, GLL, DPT, GSA, HDG,
// MTW, MWD, RMA, RSA, VHW, VLW, XTE, ZDA and the types their table alone decodes).
bool hasSentenceList(int code);

// The list of the sentence record this parse code names; empty for codes without one.
QStringList sentenceResultList(int code, const void* record);

// The list of a decoded AIS record: every field in record order, message 18's
// communication state chosen by its selector flag.
QStringList aisResultList(const ais::AisMessageLayout& layout, const void* record);

}  // namespace present
