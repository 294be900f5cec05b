#include "n2k/candump_line.h"

#include "n2k/text_scan.h"
#include "n2k/time_text.h"

namespace n2k {

namespace {

bool extendedId(std::string_view text, std::uint32_t& id) {
    return text.size() == 8 && parseHex(text, id) && id <= 0x1FFFFFFF;
}

// "[n]" followed by n spaced hexadecimal bytes and nothing else.
LineKind spacedBytes(std::string_view dlc, WordCursor& words, Frame& frame) {
    if (dlc.size() != 3 || dlc[0] != '[' || dlc[2] != ']' || dlc[1] < '0' || dlc[1] > '8')
        return LineKind::Malformed;
    const int length = dlc[1] - '0';
    std::string_view byte;
    for (int i = 0; i < length; ++i) {
        if (!words.next(byte) || parseHexBytes(byte, frame.data + i, 1) != 1)
            return LineKind::Malformed;
    }
    if (!words.atEnd())
        return LineKind::Malformed;
    frame.length = static_cast<std::uint8_t>(length);
    return LineKind::Frame;
}

}  // namespace

LineKind readCandumpLine(std::string_view line, LineOutput& out) {
    Frame& frame = out.frame;
    frame.sentByGateway = false;
    frame.timeMs = kNoTime;
    WordCursor words(line);
    std::string_view word;
    if (!words.next(word))
        return LineKind::NotThisFormat;

    if (word.size() > 3 && word.substr(0, 3) == "<0x" && word.back() == '>') {
        std::string_view dlc;
        if (!extendedId(word.substr(3, word.size() - 4), frame.canId) || !words.next(dlc))
            return LineKind::Malformed;
        return spacedBytes(dlc, words, frame);
    }

    if (word.front() == '(') {
        if (word.size() < 3 || word.back() != ')')
            return LineKind::NotThisFormat;
        frame.timeMs = parseEpochSeconds(word.substr(1, word.size() - 2));
        if (frame.timeMs < 0)
            return LineKind::Malformed;
        if (!words.next(word))
            return LineKind::Malformed;
    }
    // `word` is the interface name; what follows decides between the two forms.
    std::string_view idWord;
    if (word.empty() || word.front() == '[' || !words.next(idWord))
        return frame.timeMs == kNoTime ? LineKind::NotThisFormat : LineKind::Malformed;
    const std::size_t hash = idWord.find('#');
    if (hash != std::string_view::npos) {
        const std::string_view payload = idWord.substr(hash + 1);
        if (!extendedId(idWord.substr(0, hash), frame.canId) || !words.atEnd())
            return LineKind::Malformed;
        const int length = parseHexBytes(payload, frame.data, 8);
        if (length < 0)
            return LineKind::Malformed;
        frame.length = static_cast<std::uint8_t>(length);
        return LineKind::Frame;
    }
    std::string_view dlc;
    if (!words.next(dlc) || dlc.empty() || dlc.front() != '[')
        return frame.timeMs == kNoTime ? LineKind::NotThisFormat : LineKind::Malformed;
    if (!extendedId(idWord, frame.canId))
        return LineKind::Malformed;
    return spacedBytes(dlc, words, frame);
}

}  // namespace n2k
