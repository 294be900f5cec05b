#include "n2k/mxpgn_line.h"

#include "n2k/sentence_text.h"
#include "n2k/text_scan.h"

namespace n2k {

LineKind readMxpgnLine(std::string_view line, LineOutput& out) {
    std::string_view text;
    const LineKind opened = sentenceFields(line, "$MXPGN,", text);
    if (opened != LineKind::Message)
        return opened;
    FieldCursor fields(text, ',');
    std::string_view pgnText, attributeText, payload;
    std::uint32_t pgn = 0, attributes = 0;
    if (!fields.next(pgnText) || pgnText.size() != 6 || !parseHex(pgnText, pgn) || pgn > 0x3FFFF ||
        !fields.next(attributeText) || attributeText.size() != 4 ||
        !parseHex(attributeText, attributes) || !fields.next(payload) || !fields.atEnd())
        return LineKind::Malformed;
    std::uint8_t reversed[8];
    const int length = parseHexBytes(payload, reversed, 8);
    if (length < 0 || length != static_cast<int>((attributes >> 8) & 0xF))
        return LineKind::Malformed;
    for (int i = 0; i < length; ++i)
        out.frame.data[i] = reversed[length - 1 - i];

    const bool addressed = ((pgn >> 8) & 0xFF) < 240;
    const bool toSend = (attributes & 0x8000) != 0;
    const auto addressField = static_cast<std::uint8_t>(attributes & 0xFF);
    CanAddress address;
    address.pgn = addressed ? pgn & 0x3FF00 : pgn;
    address.destination = addressed ? static_cast<std::uint8_t>(pgn & 0xFF) : kGlobalAddress;
    if (toSend && addressed)
        address.destination = addressField;
    address.priority = static_cast<std::uint8_t>((attributes >> 12) & 0x7);
    address.source = toSend ? kNullAddress : addressField;
    return frameRead(out, encodeCanId(address), length, kNoTime, toSend);
}

}  // namespace n2k
