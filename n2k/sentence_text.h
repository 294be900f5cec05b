// The NMEA 0183 envelope of the sentences that carry NMEA 2000 data ($PCDIN,
// $MXPGN, !PDGY): a start character, comma-separated fields and an optional
// "*hh" checksum, checked like any sentence's.
#pragma once

#include <string_view>

namespace n2k {

enum class SentenceCheck { Good, NoChecksum, BadChecksum, BadDigits };

// Splits "$BODY*hh" into BODY (without the start character and the checksum) and
// checks the sum when one is present.
SentenceCheck sentenceBody(std::string_view line, std::string_view& body);

}  // namespace n2k
