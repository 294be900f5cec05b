#include "tests/ais/test_support.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "ais/vdm.h"
#include "nmea/sentence_parsers.h"

namespace ais::test {

std::string sentence(std::string_view body, char start) {
    unsigned checksum = 0;
    for (char c : body) {
        checksum ^= static_cast<unsigned char>(c);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    std::string text(1, start);
    text.append(body).append(tail);
    return text;
}

Stream::Stream() {
    nmeaz::init(&context_);
    nmeaz::registerSentenceParsers(&context_, parseVdm);
    aisResetFragmentTable();
}

std::vector<int> Stream::feed(std::string_view bytes) {
    std::vector<int> codes;
    const int total = static_cast<int>(bytes.size());
    for (int offset = 0; offset < total;) {
        int left = total - offset;
        if (const int code = nmeaz::feedBuffer(&context_, bytes.data() + offset, &left)) {
            codes.push_back(code);
        }
        offset = total - left;
    }
    return codes;
}

int Stream::feedSentence(std::string_view body) {
    const std::vector<int> codes = feed(sentence(body));
    return codes.empty() ? 0 : codes.back();
}

const AisField& fieldNamed(const AisMessageLayout& layout, std::string_view name) {
    for (const AisField& field : layout.fields) {
        if (name == field.name) {
            return field;
        }
    }
    throw std::invalid_argument("no field " + std::string(name));
}

long long fieldNumber(const AisField& field, const void* record) {
    const char* at = static_cast<const char*>(record) + field.offset;
    std::int32_t value;
    std::memcpy(&value, at, sizeof value);
    if (field.store == AisStore::Signed) {
        return value;
    }
    return static_cast<std::uint32_t>(value);
}

std::string fieldText(const AisField& field, const void* record) {
    const char* at = static_cast<const char*>(record) + field.offset;
    switch (field.store) {
        case AisStore::Unsigned:
        case AisStore::Signed:
            return std::to_string(fieldNumber(field, record));
        case AisStore::Character:
            return *at == '\0' ? "" : std::string(1, *at);
        default:
            return std::string(at, strnlen(at, field.size));
    }
}

std::vector<std::string> readLines(const std::string& name) {
    std::ifstream in(std::string(TIDEWRIGHT_AIS_TEST_DATA) + "/" + name);
    if (!in) {
        throw std::runtime_error("cannot read " + name);
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace ais::test
