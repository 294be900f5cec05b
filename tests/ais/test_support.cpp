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
    return std::string(1, start) + std::string(body) + tail;
}

Stream::Stream() {
    nmeaz::init(&context_);
    nmeaz::registerSentenceParsers(&context_, parseVdm);
    aisResetFragmentTable();
}

std::vector<int> Stream::feed(std::string_view bytes) {
    std::vector<int> codes;
    const int total = static_cast<int>(bytes.size());
    int offset = 0;
    while (offset < total) {
        int left = total - offset;
        const int code = nmeaz::feedBuffer(&context_, bytes.data() + offset, &left);
        if (code != 0) {
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

long long numericValue(const AisField& field, const void* record) {
    const char* at = static_cast<const char*>(record) + field.offset;
    if (field.store == AisStore::Signed) {
        std::int32_t value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

char characterValue(const AisField& field, const void* record) {
    return static_cast<const char*>(record)[field.offset];
}

std::string textValue(const AisField& field, const void* record) {
    const char* at = static_cast<const char*>(record) + field.offset;
    return std::string(at, strnlen(at, field.size));
}

std::optional<std::string> jsonValue(std::string_view object, std::string_view key) {
    // Only top-level keys: track nesting and strings while searching.
    int depth = 0;
    const std::string quoted = "\"" + std::string(key) + "\"";
    for (std::size_t i = 0; i < object.size(); ++i) {
        const char c = object[i];
        if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == '"') {
            const bool match = depth == 1 && object.substr(i, quoted.size()) == quoted;
            std::size_t j = i + 1;
            while (j < object.size() && object[j] != '"') {
                j += object[j] == '\\' ? 2 : 1;
            }
            if (!match) {
                i = j;
                continue;
            }
            std::size_t v = j + 1;
            while (v < object.size() && (object[v] == ':' || object[v] == ' ')) {
                ++v;
            }
            std::string value;
            if (object[v] == '"') {
                for (std::size_t k = v + 1; k < object.size() && object[k] != '"'; ++k) {
                    if (object[k] == '\\') {
                        ++k;
                    }
                    value += object[k];
                }
                return value;
            }
            while (v < object.size() && object[v] != ',' && object[v] != '}') {
                value += object[v++];
            }
            return value;
        }
    }
    return std::nullopt;
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string dataPath(const std::string& name) {
    return std::string(TIDEWRIGHT_AIS_TEST_DATA) + "/" + name;
}

}  // namespace ais::test
