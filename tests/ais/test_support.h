// Helpers shared by the AIS tests: real sentences through the real framing, the
// record fields read by their layout entry, and a small reader for the flat JSON
// objects of the reference decoders' expected values.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ais/layout.h"
#include "nmea/parser_context.h"

namespace ais::test {

// "!" + body + "*hh\r\n" with the checksum of body.
std::string sentence(std::string_view body, char start = '!');

// A parser context with the 26 sentence parsers registered and parseVdm in the VDM
// place, over a clean fragment table.
class Stream {
public:
    Stream();
    // Feeds the bytes and returns every non-zero parse code in stream order.
    std::vector<int> feed(std::string_view bytes);
    // Feeds one sentence built from body and returns its single code (0 if none).
    int feedSentence(std::string_view body);

private:
    nmeaz::ParserContext context_;
};

const AisField& fieldNamed(const AisMessageLayout& layout, std::string_view name);
long long numericValue(const AisField& field, const void* record);
char characterValue(const AisField& field, const void* record);
std::string textValue(const AisField& field, const void* record);

// The raw text of a top-level key's value in a one-line JSON object: a string's
// characters (escapes resolved), or a number / true / false / null as written.
std::optional<std::string> jsonValue(std::string_view object, std::string_view key);

std::vector<std::string> readLines(const std::string& path);
std::string dataPath(const std::string& name);

}  // namespace ais::test
