// The result texts: one readable line per sentence for 24 of the 26 sentence types,
// published through the main window's sendParse signal.
#pragma once

#include <QString>

namespace present {

// True when sentences of this parse code have a result text.
bool hasResultText(int code);

// The text of the record a sentence of this parse code has just filled; empty for a
// code without a text.
QString resultText(int code, const void* record);

}  // namespace present
