// The result texts: one readable line per sentence for 24 of the 26 sentence types,
// published through the main window's sendParse signal.
#pragma once

#include <QString>
#include <string>

#include "nmea/sentence_fields.h"

namespace present {

// True when sentences of this parse code have a result text.
bool hasResultText(int code);

// The text of the record a sentence of this parse code has just filled; empty for a
// code without a text.
QString resultText(int code, const void* record);

// The same text as pieces, for writers that build it without QString: literal k
// (Latin-1) precedes field k, and one literal more ends the text. False for a code
// without a text.
struct ResultTextPieces {
    const std::string* literals = nullptr;  // count + 1 of them
    const nmeaz::FieldLayout* const* fields = nullptr;
    int count = 0;
};
bool resultTextPieces(int code, ResultTextPieces& pieces);

}  // namespace present
