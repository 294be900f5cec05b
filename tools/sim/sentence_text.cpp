#include "sentence_text.h"

#include "nmea/checksum.h"

namespace sim {

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::string hexByte(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

// Fields 1 and 2 as numbers 1..9, as fragment counts are.
bool smallNumber(std::string_view field, int& value) {
    if (field.size() != 1 || field[0] < '1' || field[0] > '9') {
        return false;
    }
    value = field[0] - '0';
    return true;
}

}  // namespace

bool isSentence(std::string_view line) {
    return !line.empty() && (line[0] == '$' || line[0] == '!');
}

unsigned nmeaChecksum(std::string_view sentence) {
    return nmeaz::checksumOf(sentence);
}

std::string withWrongChecksum(std::string_view sentence) {
    const std::string wrong = hexByte((nmeaChecksum(sentence) + 1) & 0xFF);
    std::size_t star = sentence.find('*');
    if (star == std::string_view::npos) {
        return std::string(sentence) + "*" + wrong;
    }
    std::string result(sentence.substr(0, star + 1));
    result += wrong;
    std::size_t rest = star + 1;
    while (rest < sentence.size() && rest < star + 3 && isHexDigit(sentence[rest])) {
        ++rest;
    }
    result += sentence.substr(rest);
    return result;
}

bool vdmFragment(std::string_view line, int& total, int& number) {
    if (line.size() < 7 || line[0] != '!' || line.substr(3, 2) != "VD" ||
        (line[5] != 'M' && line[5] != 'O') || line[6] != ',') {
        return false;
    }
    std::string_view rest = line.substr(7);
    std::size_t comma1 = rest.find(',');
    if (comma1 == std::string_view::npos) {
        return false;
    }
    std::size_t comma2 = rest.find(',', comma1 + 1);
    if (comma2 == std::string_view::npos) {
        return false;
    }
    return smallNumber(rest.substr(0, comma1), total) &&
           smallNumber(rest.substr(comma1 + 1, comma2 - comma1 - 1), number) && number <= total;
}

}  // namespace sim
