#include "n2k/sentence_text.h"

#include "n2k/text_scan.h"
#include "nmea/checksum.h"

namespace n2k {

SentenceCheck sentenceBody(std::string_view line, std::string_view& body) {
    if (line.empty() || (line[0] != '$' && line[0] != '!')) {
        body = {};
        return SentenceCheck::BadDigits;
    }
    const std::size_t star = line.find('*');
    if (star == std::string_view::npos) {
        body = line.substr(1);
        return SentenceCheck::NoChecksum;
    }
    body = line.substr(1, star - 1);
    const std::string_view digits = line.substr(star + 1);
    std::uint32_t sum = 0;
    if (digits.size() != 2 || !parseHex(digits, sum))
        return SentenceCheck::BadDigits;
    return sum == nmeaz::checksumOf(body) ? SentenceCheck::Good : SentenceCheck::BadChecksum;
}

LineKind sentenceFields(std::string_view line, std::string_view prefix, std::string_view& fields) {
    if (line.substr(0, prefix.size()) != prefix)
        return LineKind::NotThisFormat;
    std::string_view body;
    const SentenceCheck check = sentenceBody(line, body);
    if (check == SentenceCheck::BadChecksum || check == SentenceCheck::BadDigits)
        return LineKind::Malformed;
    fields = body.substr(prefix.size() - 1);
    return LineKind::Message;
}

}  // namespace n2k
