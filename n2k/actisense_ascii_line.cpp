#include "n2k/actisense_ascii_line.h"

#include "n2k/text_scan.h"
#include "n2k/time_text.h"

namespace n2k {

LineKind readActisenseAsciiLine(std::string_view line, LineOutput& out) {
    WordCursor words(line);
    std::string_view time, address, pgnText, payload;
    if (!words.next(time) || time.size() < 8 || time[0] != 'A' || time[7] != '.' ||
        !isDecimalDigit(time[1]))
        return LineKind::NotThisFormat;
    Message& m = out.message;
    m.timeMs = parseTimeOfDay(time.substr(1), false);
    std::uint32_t packed = 0, pgn = 0;
    if (m.timeMs < 0 || !words.next(address) || address.size() != 5 || !parseHex(address, packed) ||
        !words.next(pgnText) || pgnText.size() > 6 || !parseHex(pgnText, pgn) || pgn > 0x3FFFF)
        return LineKind::Malformed;
    if (!words.next(payload))
        payload = {};
    const int length = parseHexBytes(payload, m.data, kMaxPayload);
    if (length < 0 || !words.atEnd() || (packed & 0xF) > 7)
        return LineKind::Malformed;
    CanAddress a;
    a.source = static_cast<std::uint8_t>(packed >> 12);
    a.destination = static_cast<std::uint8_t>(packed >> 4);
    a.priority = static_cast<std::uint8_t>(packed & 0xF);
    a.pgn = pgn;
    return messageRead(out, a, length, m.timeMs);
}

}  // namespace n2k
