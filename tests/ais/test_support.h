// Helpers shared by the AIS tests: real sentences through the real framing, and
// record fields read through their layout entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ais/layout.h"
#include "nmea/parser_context.h"

namespace ais::test {

// "!" + body + "*hh\r\n" with the checksum of body.
std::string sentence(std::string_view body, char start = '!');

// A parser context with the 26 sentence parsers and parseVdm in the VDM place, over
// a clean fragment table.
class Stream {
public:
    Stream();
    // Feeds the bytes and returns every non-zero parse code in stream order.
    std::vector<int> feed(std::string_view bytes);
    // Feeds the sentence framed from body; its code, or 0.
    int feedSentence(std::string_view body);

private:
    nmeaz::ParserContext context_;
};

const AisField& fieldNamed(const AisMessageLayout& layout, std::string_view name);
// The stored value as text: a number in decimal, a character (empty for NUL), a text.
std::string fieldText(const AisField& field, const void* record);
long long fieldNumber(const AisField& field, const void* record);

std::vector<std::string> readLines(const std::string& name);

}  // namespace ais::test
