#include "n2k/mxpgn_line.h"

#include "n2k/can_id.h"
#include "n2k/sentence_text.h"
#include "n2k/text_scan.h"

namespace n2k {

LineKind readMxpgnLine(std::string_view line, LineOutput& out) {
    if (line.substr(0, 7) != "$MXPGN,")
        return LineKind::NotThisFormat;
    std::string_view body;
    const SentenceCheck check = sentenceBody(line, body);
    if (check == SentenceCheck::BadChecksum || check == SentenceCheck::BadDigits)
        return LineKind::Malformed;
    FieldCursor fields(body.substr(6), ',');
    std::string_view pgnText, attributeText, payload;
    std::uint32_t pgn = 0, attributes = 0;
    if (!fields.next(pgnText) || pgnText.size() != 6 || !parseHex(pgnText, pgn) || pgn > 0x3FFFF ||
        !fields.next(attributeText) || attributeText.size() != 4 ||
        !parseHex(attributeText, attributes) || !fields.next(payload) || !fields.atEnd())
        return LineKind::Malformed;
    Frame& f = out.frame;
    std::uint8_t reversed[8];
    const int length = parseHexBytes(payload, reversed, 8);
    if (length < 0 || length != static_cast<int>((attributes >> 8) & 0xF))
        return LineKind::Malformed;
    for (int i = 0; i < length; ++i)
        f.data[i] = reversed[length - 1 - i];
    CanAddress address;
    address.pgn = pgn & 0x3FF00;
    address.destination = kGlobalAddress;
    if (((pgn >> 8) & 0xFF) >= 240)
        address.pgn = pgn;
    else
        address.destination = static_cast<std::uint8_t>(pgn & 0xFF);
    address.priority = static_cast<std::uint8_t>((attributes >> 12) & 0x7);
    const bool toSend = (attributes & 0x8000) != 0;
    address.source = toSend ? kNullAddress : static_cast<std::uint8_t>(attributes & 0xFF);
    if (toSend && ((pgn >> 8) & 0xFF) < 240)
        address.destination = static_cast<std::uint8_t>(attributes & 0xFF);
    f.canId = encodeCanId(address);
    f.length = static_cast<std::uint8_t>(length);
    f.timeMs = kNoTime;
    f.sentByGateway = toSend;
    return LineKind::Frame;
}

}  // namespace n2k
