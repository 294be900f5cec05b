#include "n2k/pcdin_line.h"

#include "n2k/sentence_text.h"
#include "n2k/text_scan.h"

namespace n2k {

LineKind readPcdinLine(std::string_view line, LineOutput& out) {
    if (line.substr(0, 7) != "$PCDIN,")
        return LineKind::NotThisFormat;
    std::string_view body;
    const SentenceCheck check = sentenceBody(line, body);
    if (check == SentenceCheck::BadChecksum || check == SentenceCheck::BadDigits)
        return LineKind::Malformed;
    FieldCursor fields(body.substr(6), ',');
    std::string_view pgnText, stamp, src, payload;
    std::uint32_t pgn = 0, time = 0, source = 0;
    if (!fields.next(pgnText) || pgnText.size() != 6 || !parseHex(pgnText, pgn) || pgn > 0x3FFFF ||
        !fields.next(stamp) || stamp.size() != 8 || !parseHex(stamp, time) || !fields.next(src) ||
        src.size() != 2 || !parseHex(src, source) || !fields.next(payload) || !fields.atEnd())
        return LineKind::Malformed;
    Message& m = out.message;
    const int length = parseHexBytes(payload, m.data, kMaxPayload);
    if (length < 0)
        return LineKind::Malformed;
    m.pgn = pgn;
    m.priority = 0;
    m.source = static_cast<std::uint8_t>(source);
    m.destination = kGlobalAddress;
    m.timeMs = kNoTime;  // the gateway's own counter, not a time of day
    m.length = length;
    m.sentByGateway = false;
    return LineKind::Message;
}

}  // namespace n2k
