#include "n2k/pcdin_line.h"

#include "n2k/sentence_text.h"
#include "n2k/text_scan.h"

namespace n2k {

LineKind readPcdinLine(std::string_view line, LineOutput& out) {
    std::string_view text;
    const LineKind opened = sentenceFields(line, "$PCDIN,", text);
    if (opened != LineKind::Message)
        return opened;
    FieldCursor fields(text, ',');
    std::string_view pgnText, stamp, src, payload;
    std::uint32_t pgn = 0, time = 0, source = 0;
    if (!fields.next(pgnText) || pgnText.size() != 6 || !parseHex(pgnText, pgn) || pgn > 0x3FFFF ||
        !fields.next(stamp) || stamp.size() != 8 || !parseHex(stamp, time) || !fields.next(src) ||
        src.size() != 2 || !parseHex(src, source) || !fields.next(payload) || !fields.atEnd())
        return LineKind::Malformed;
    const int length = parseHexBytes(payload, out.message.data, kMaxPayload);
    if (length < 0)
        return LineKind::Malformed;
    CanAddress address;
    address.pgn = pgn;
    address.source = static_cast<std::uint8_t>(source);
    // The time stamp is the gateway's own counter, not a time of day.
    return messageRead(out, address, length, kNoTime);
}

}  // namespace n2k
