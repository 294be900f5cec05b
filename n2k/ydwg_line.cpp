#include "n2k/ydwg_line.h"

#include "n2k/text_scan.h"
#include "n2k/time_text.h"

namespace n2k {

LineKind readYdwgLine(std::string_view line, LineOutput& out) {
    WordCursor words(line);
    std::string_view time, direction, id;
    if (!words.next(time) || time.size() < 8 || time[2] != ':' || time[5] != ':')
        return LineKind::NotThisFormat;
    if (!words.next(direction) || (direction != "R" && direction != "T"))
        return LineKind::NotThisFormat;
    Frame& frame = out.frame;
    frame.timeMs = parseTimeOfDay(time);
    std::uint32_t canId = 0;
    if (frame.timeMs < 0 || !words.next(id) || id.size() != 8 || !parseHex(id, canId) ||
        canId > 0x1FFFFFFF)
        return LineKind::Malformed;
    int length = 0;
    std::string_view byte;
    while (words.next(byte)) {
        if (length == 8 || parseHexBytes(byte, frame.data + length, 1) != 1)
            return LineKind::Malformed;
        ++length;
    }
    return frameRead(out, canId, length, frame.timeMs, direction == "T");
}

}  // namespace n2k
