#include "n2k/plain_line.h"

#include "n2k/can_id.h"
#include "n2k/text_scan.h"
#include "n2k/time_text.h"

namespace n2k {

LineKind readPlainLine(std::string_view line, LineOutput& out) {
    FieldCursor fields(line, ',');
    std::string_view time, prio, pgn, src, dst, len;
    if (!fields.next(time) || !fields.next(prio) || !fields.next(pgn) || !fields.next(src) ||
        !fields.next(dst) || !fields.next(len))
        return LineKind::NotThisFormat;
    // A time is required to start with a digit; everything else is decided by fields.
    if (time.empty() || !isDecimalDigit(time[0]))
        return LineKind::NotThisFormat;
    std::uint32_t priority = 0, number = 0, source = 0, destination = 0, length = 0;
    if (!parseDecimal(prio, priority) || priority > 7 || !parseDecimal(pgn, number) ||
        number > 0x3FFFF || !parseDecimal(src, source) || source > 255 ||
        !parseDecimal(dst, destination) || destination > 255 || !parseDecimal(len, length) ||
        length > static_cast<std::uint32_t>(kMaxPayload))
        return LineKind::Malformed;
    const std::int64_t timeMs = parseDateTime(time);

    // The payload is most of the line: read in one pass, each byte one or two hex
    // digits followed by a comma or the end (one trailing comma is fine).
    std::uint8_t* data = length > 8 ? out.message.data : out.frame.data;
    const std::string_view rest = fields.rest();
    const char* p = rest.data();
    const char* const end = p + rest.size();
    bool more = !fields.atEnd();
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!more || p == end)
            return LineKind::Malformed;
        const int high = hexDigit(*p++);
        if (high < 0)
            return LineKind::Malformed;
        int value = high;
        if (p != end && *p != ',') {
            const int low = hexDigit(*p++);
            if (low < 0)
                return LineKind::Malformed;
            value = value << 4 | low;
        }
        if (p == end)
            more = false;
        else if (*p == ',')
            ++p;
        else
            return LineKind::Malformed;
        data[i] = static_cast<std::uint8_t>(value);
    }
    if (more && p != end)
        return LineKind::Malformed;  // more bytes than the length says

    CanAddress address;
    address.pgn = number;
    address.priority = static_cast<std::uint8_t>(priority);
    address.source = static_cast<std::uint8_t>(source);
    address.destination = static_cast<std::uint8_t>(destination);
    if (length > 8)
        return messageRead(out, address, static_cast<int>(length), timeMs);
    return frameRead(out, encodeCanId(address), static_cast<int>(length), timeMs);
}

}  // namespace n2k
