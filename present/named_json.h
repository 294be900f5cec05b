// The named output: one JSON object per decoded sentence or AIS message, every value
// under its descriptor name, in full precision and in units a person uses.
//   {"key": "$GPGGA", "talker": "GP", "type": "GGA", "fields": {"utc": "12:35:19.000", ...}}
//   {"key": "!AIVDM_MSG5", "talker": "AI", "type": 5, "fields": {"type": 5, ...}}
#pragma once

#include <string>
#include <string_view>

#include "present/parse_cycle.h"

namespace present {

// Appends the object of the decoded sentence and a newline; `key` is its current
// sentence name. Nothing for a sentence without a descriptor, nor for a fragment of
// a multi-sentence AIS message (the message is written when it completes). A
// receiver's metadata after the checksum ("s36310,d-081,..."), when the sentence had
// any, follows the fields as "tail".
void appendNamedJson(std::string& out, const DecodedSentence& decoded, std::string_view key,
                     std::string_view tail = {});

// Appends bytes read as Latin-1 as a JSON string literal (UTF-8, quotes included).
void appendJsonLatin1(std::string& out, std::string_view text);
// The same without the quotes.
void appendJsonLatin1Body(std::string& out, std::string_view text);

}  // namespace present
