// The NMEA 0183 envelope of the sentences that carry NMEA 2000 data ($PCDIN,
// $MXPGN, !PDGY): a start character, comma-separated fields and an optional
// "*hh" checksum, checked like any sentence's.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

enum class SentenceCheck { Good, NoChecksum, BadChecksum, BadDigits };

// Splits "$BODY*hh" into BODY (without the start character and the checksum) and
// checks the sum when one is present.
SentenceCheck sentenceBody(std::string_view line, std::string_view& body);

// The fields of a sentence that starts with `prefix` ("$PCDIN,"), between the prefix
// and the checksum. NotThisFormat when the line does not start so, Malformed when
// its checksum is wrong; otherwise Message (the caller reads on).
LineKind sentenceFields(std::string_view line, std::string_view prefix, std::string_view& fields);

}  // namespace n2k
