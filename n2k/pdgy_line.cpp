#include "n2k/pdgy_line.h"

#include "n2k/sentence_text.h"
#include "n2k/text_scan.h"

namespace n2k {

namespace {

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

}  // namespace

int decodeBase64(std::string_view text, std::uint8_t* out, int capacity) {
    if (text.size() % 4 != 0)
        return -1;
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    const std::size_t symbols = text.size() - padding;
    if (static_cast<long long>(symbols * 6 / 8) > capacity)
        return -1;
    int count = 0;
    std::uint32_t bits = 0;
    int held = 0;
    for (std::size_t i = 0; i < symbols; ++i) {
        const int v = base64Value(text[i]);
        if (v < 0)
            return -1;
        bits = (bits << 6 | static_cast<std::uint32_t>(v)) & 0xFFFFFF;
        held += 6;
        if (held >= 8) {
            held -= 8;
            out[count++] = static_cast<std::uint8_t>(bits >> held);
        }
    }
    return count;
}

LineKind readPdgyLine(std::string_view line, LineOutput& out) {
    std::string_view text;
    const LineKind status = sentenceFields(line, "$PDGY,", text);
    if (status != LineKind::NotThisFormat)
        return status == LineKind::Message ? LineKind::Status : status;
    const LineKind opened = sentenceFields(line, "!PDGY,", text);
    if (opened != LineKind::Message)
        return opened;
    FieldCursor fields(text, ',');
    std::string_view pgnText, prio, src, dst, time, payload;
    std::uint32_t pgn = 0, priority = 0, source = 0, destination = 0;
    if (!fields.next(pgnText) || !parseDecimal(pgnText, pgn) || pgn > 0x3FFFF ||
        !fields.next(prio) || !parseDecimal(prio, priority) || priority > 7 || !fields.next(src) ||
        !parseDecimal(src, source) || source > 255 || !fields.next(dst) ||
        !parseDecimal(dst, destination) || destination > 255 || !fields.next(time) ||
        !fields.next(payload) || !fields.atEnd())
        return LineKind::Malformed;
    const int length = decodeBase64(payload, out.message.data, kMaxPayload);
    if (length < 0)
        return LineKind::Malformed;
    CanAddress address;
    address.pgn = pgn;
    address.priority = static_cast<std::uint8_t>(priority);
    address.source = static_cast<std::uint8_t>(source);
    address.destination = static_cast<std::uint8_t>(destination);
    // The time is in seconds since the gateway started, not a time of day.
    return messageRead(out, address, length, kNoTime);
}

}  // namespace n2k
