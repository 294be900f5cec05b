// AIS: six-bit readers, layout tables, decoders (reference reading, gpsd's sample), VDM.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ais/bits.h"
#include "ais/decoders.h"
#include "ais/layout.h"
#include "ais/vdm.h"
#include "nmea/checksum.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"

namespace ais {
namespace {

TEST(AisBits, Armour) {
    // Six bits per character, most significant first: c - 48 up to 'X', else c - 56;
    // outside the alphabet the same arithmetic on the signed byte, six low bits kept.
    const std::string payload = "1W`w0XY\x7f \x80\xff";
    EXPECT_STREQ(aisPayloadToBits(payload.data(), static_cast<int>(payload.size())),
                 "000001100111101000111111000000101000100001000111110000010000001111");
    // The longest assembled payload converts whole; a longer request is cut at the limit.
    const std::string longer(kMaxPayloadChars + 50, 'w');
    EXPECT_EQ(std::strlen(aisPayloadToBits(longer.data(), kMaxPayloadChars + 50)),
              6u * kMaxPayloadChars);
}

TEST(AisBits, FieldsDigitsAndText) {
    // Signed fields are the two's complement of their width; unsigned ones read the same bits.
    const std::pair<std::string, long long> cases[] = {
        {"10000000", -128},
        {"0110011110010001101011000000", 108600000},  // a 28-bit longitude of 181 degrees
        {std::string(32, '1'), -1},
        {"10110011101", -611},          // crosses the eight-at-once reads
        {std::string("1\0\0", 3), -4},  // a terminator reads as 0
    };
    for (const auto& [bits, value] : cases) {
        const int width = static_cast<int>(bits.size());
        const std::uint64_t raw = static_cast<std::uint64_t>(value) & ((1ULL << width) - 1);
        EXPECT_EQ(aisBitsInt64(bits.data(), width), value) << bits;
        EXPECT_EQ(aisBitsInt(bits.data(), width), value) << bits;
        EXPECT_EQ(aisBitsUInt64(bits.data(), width), raw) << bits;
        EXPECT_EQ(aisBitsUInt(bits.data(), width), raw) << bits;
    }
    EXPECT_STREQ(aisBitsDigit("01100", 5), "12");  // a character field keeps its '1'
    EXPECT_STREQ(aisBitsDigit(std::string(64, '1').data(), 64), "18446744073709551615");
    // '@' and spaces are kept; a partial last group still gives a character.
    EXPECT_STREQ(aisBitsText("000000000001011111100000110000111111", 36), "@A_ 0?");
    EXPECT_STREQ(aisBitsText("000001100000000010000000", 7), "A ");
}

bool isNumber(AisStore store) {
    return store == AisStore::Unsigned || store == AisStore::Signed ||
           store == AisStore::BitCount || store == AisStore::PayloadBits ||
           store == AisStore::FromEnd;
}

// Members sized for their store; bits run on without gaps (but for deliberate re-reads)
// up to the nominal length.
TEST(AisLayout, TablesMatchRecordsAndBits) {
    // The ITDMA state re-reads bits 149..167; part B overlays part A; a second part number.
    const std::string rereads[] = {"18 itdma_sync_state", "24 ship_type", "24 part_number_copy"};
    for (const AisMessageLayout& layout : kAisLayouts) {
        int end = 0;
        int furthest = 0;
        for (const AisField& field : layout.fields) {
            const std::string key = std::to_string(layout.messageType) + " " + field.name;
            if (field.store == AisStore::Text || field.store == AisStore::TrailingText) {
                EXPECT_EQ(field.textChars, field.width / 6) << key;
                EXPECT_GE(field.size, field.textChars + 1u) << key;  // and a terminator
            } else if (field.store == AisStore::Hex) {
                EXPECT_EQ(field.textChars, (field.width + 3) / 4) << key;
                EXPECT_GE(field.size, field.textChars + 1u) << key;
            } else {
                EXPECT_EQ(field.size, isNumber(field.store) ? 4u : 1u) << key;
            }
            if (layout.payloadBitsField >= 0) {
                continue;  // tiled below, form by form
            }
            if (std::ranges::find(rereads, key) == std::end(rereads)) {
                EXPECT_EQ(field.firstBit, end) << key;
            }
            end = field.firstBit + field.width;
            furthest = std::max(furthest, end);
        }
        if (layout.payloadBitsField < 0) {
            // Message 24's longer part B ends at 168; its work copy is sized for 296 bits.
            EXPECT_EQ(furthest, layout.messageType == 24 ? 168 : layout.nominalBits);
            continue;
        }
        // The later messages, for every gate digit: the fields decoded under it cover
        // every bit up to the nominal length (message 26: up to its communication
        // state) once, but for the data, which other fields may overlay.
        const AisField* gate = layout.gateField < 0 ? nullptr : &layout.fields[layout.gateField];
        const int digits = gate == nullptr                    ? 1
                           : gate->store == AisStore::Matches ? (gate->matchValue2 != 0 ? 3 : 2)
                                                              : 1 << gate->width;
        for (char digit = '0'; digit < '0' + digits; ++digit) {
            std::vector<int> covered(layout.nominalBits, 0);
            for (const AisField& field : layout.fields) {
                // A gate steers; a value only the named output writes is still decoded.
                const bool steering =
                    field.listWhen == AisGate::Never && field.namedWay == AisNamedWay::Omit;
                if (!aisGateOpen(field.decodeWhen, digit) || steering ||
                    field.store == AisStore::BitCount || field.store == AisStore::PayloadBits ||
                    field.store == AisStore::FromEnd) {
                    continue;
                }
                ASSERT_LE(field.firstBit + field.width, layout.nominalBits) << field.name;
                for (int bit = field.firstBit; bit < field.firstBit + field.width; ++bit) {
                    covered[bit] += field.store == AisStore::Hex ? 100 : 1;
                }
            }
            const int end = layout.nominalBits - (layout.messageType == 26 ? 20 : 0);
            for (int bit = 0; bit < layout.nominalBits; ++bit) {
                const int count = covered[bit];
                EXPECT_TRUE(bit < end ? count == 1 || count == 100 || count == 101 : count == 0)
                    << "bit " << bit << " of message " << layout.messageType << ", gate " << digit
                    << ": " << count;
            }
        }
    }
}

using Codes = std::vector<int>;

// "!" + body + "*hh\r\n" with the checksum of body.
std::string sentence(const std::string& body, char start = '!') {
    return nmeaz::framedSentence(start, body);
}

// Feeds the 26 sentence parsers with parseVdm in the VDM and VDO places, from a fresh start over a
// clean fragment table if asked; every non-zero parse code in stream order.
// What the feeds since the last fresh start lost, as the line counters tell.
nmeaz::LineCounters fedCounters;

Codes feed(const std::string& bytes, bool fresh = false) {
    static nmeaz::ParserContext context;
    if (fresh) {
        nmeaz::init(&context);
        nmeaz::registerSentenceParsers(&context, parseVdm);
        registerVdo(&context);
        fedCounters = {};
        nmeaz::watchLine(&context, &fedCounters, nullptr, nullptr);
        aisResetFragmentTable();
    }
    Codes codes;
    for (int left = static_cast<int>(bytes.size()); left > 0;) {
        if (const int code = nmeaz::feedBuffer(&context, &*(bytes.end() - left), &left)) {
            codes.push_back(code);
        }
    }
    return codes;
}

// A stored field as text: a number in decimal, a character (empty for NUL), a text.
std::string fieldText(const AisField& field, const void* record) {
    const char* at = static_cast<const char*>(record) + field.offset;
    if (!isNumber(field.store)) {
        return std::string(at, strnlen(at, field.size));
    }
    std::int32_t value;
    std::memcpy(&value, at, sizeof value);
    return field.store == AisStore::Signed ? std::to_string(value)
                                           : std::to_string(static_cast<std::uint32_t>(value));
}

// What a field should hold, by the bit readers tested on their own; a trailing text takes
// the complete six-bit groups the payload supplies, a character field the first digit,
// data the bits before the fill bits (and message 26's communication state) as hex.
std::string reference(const AisField& field, const std::string& bits, int availableBits,
                      int payloadBits) {
    const char* at = bits.c_str() + field.firstBit;
    const int dataBits =
        std::clamp(payloadBits - field.tailBits - field.firstBit, 0, int{field.width});
    switch (field.store) {
        case AisStore::Hex: {
            std::string hex;
            for (int bit = 0; bit < dataBits; bit += 4) {
                std::string nibble(at + bit, std::min(4, dataBits - bit));
                nibble.resize(4, '0');
                hex += "0123456789abcdef"[std::stoi(nibble, nullptr, 2)];
            }
            return hex;
        }
        case AisStore::BitCount:
            return std::to_string(dataBits);
        case AisStore::PayloadBits:
            return std::to_string(payloadBits);
        case AisStore::Matches: {
            const auto value = aisBitsUInt64(at, field.width);
            return value == field.matchValue                              ? "1"
                   : field.matchValue2 != 0 && value == field.matchValue2 ? "2"
                                                                          : "0";
        }
        case AisStore::FromEnd: {
            const int first = payloadBits - field.firstBit;
            return first < 0 ? "0" : std::to_string(aisBitsUInt64(&bits[first], field.width));
        }
        default:
            break;
    }
    if (field.store == AisStore::Text || field.store == AisStore::TrailingText) {
        const int chars =
            field.store == AisStore::Text ? field.textChars : (availableBits - field.firstBit) / 6;
        return aisBitsText(at, 6 * std::max(0, chars));
    }
    const std::string number = field.store == AisStore::Signed
                                   ? std::to_string(aisBitsInt64(at, field.width))
                                   : std::to_string(aisBitsUInt64(at, field.width));
    return field.store == AisStore::Character ? number.substr(0, 1) : number;
}

// The payload characters of a bit string (a multiple of six bits).
std::string armour(const std::string& bits) {
    std::string payload;
    for (std::size_t i = 0; i + 6 <= bits.size(); i += 6) {
        const int value = std::stoi(bits.substr(i, 6), nullptr, 2);
        payload += static_cast<char>(value < 40 ? value + 48 : value + 56);
    }
    return payload;
}

// Random messages, whole and cut short, with random fill bits, decoded by every layout;
// each field compared with a reference reading, bits past a short payload reading 0
// (texts there '@'), fields behind a closed gate zero: every digit of a gate (message
// 8's application in one round of two).
TEST(AisDecode, EveryFieldOfEveryLayoutMatchesAReferenceReading) {
    std::mt19937 random(20240611);
    for (const AisMessageLayout& layout : kAisLayouts) {
        const AisField* gate = layout.gateField < 0 ? nullptr : &layout.fields[layout.gateField];
        for (int round = 0; round < 80; ++round) {
            std::string bits;
            for (int i = 0; i < 6 * ((layout.nominalBits + 5) / 6); ++i) {
                bits += static_cast<char>('0' + random() % 2);
            }
            if (gate != nullptr) {
                const unsigned value =
                    gate->store == AisStore::Matches
                        ? (round % 4 == 1 ? gate->matchValue
                           : round % 4 == 3
                               ? (gate->matchValue2 != 0 ? gate->matchValue2 : gate->matchValue)
                               : round)
                        : unsigned(round) % (1 << gate->width);
                for (int bit = 0; bit < gate->width; ++bit) {
                    bits[gate->firstBit + bit] = '0' + ((value >> (gate->width - 1 - bit)) & 1);
                }
            }
            std::string payload = armour(bits);
            if (round / 4 % 2 == 1) {
                payload.resize(random() % payload.size());
            }
            const int fill = round % 3 == 0 ? static_cast<int>(random() % 6) : 0;
            const int available = std::min<int>(6 * payload.size(), layout.nominalBits);
            const int payloadBits =
                std::max(0, std::min<int>(6 * payload.size() - fill, layout.nominalBits));
            std::fill(bits.begin() + available, bits.end(), '0');

            alignas(8) char record[1024];
            ASSERT_LE(layout.recordSize, sizeof record);
            std::memset(record, 0x5a, sizeof record);  // stale values must not survive
            ASSERT_EQ(aisDecode(layout, payload.c_str(), record, fill), 1);
            const auto decoded = [&](const AisField& field) {
                return aisGateOpen(field.decodeWhen, aisGateDigit(layout, record));
            };
            for (const AisField& field : layout.fields) {
                // Messages 25 and 26 read a member at one of several places, by their form.
                if (!decoded(field) && std::ranges::any_of(layout.fields, [&](const AisField& f) {
                        return f.offset == field.offset && decoded(f);
                    })) {
                    continue;
                }
                EXPECT_EQ(fieldText(field, record),
                          decoded(field)          ? reference(field, bits, available, payloadBits)
                          : isNumber(field.store) ? "0"
                                                  : "")
                    << field.name << " of message " << layout.messageType << ", " << payload;
            }
        }
    }
    // Message 14's text: every complete six-bit group after bit 40, up to 1,008 bits.
    for (const auto& [payloadChars, textChars] :
         {std::pair{6, 0u}, {7, 0u}, {9, 2u}, {200, 161u}}) {
        AisMessage14 message;
        aisDecodeMessage14(std::string(payloadChars, 'P').c_str(), &message);
        EXPECT_EQ(std::strlen(message.safety_text), textChars) << payloadChars;
    }
}

// A reference decoder's key and our field; a pair whose field a layout lacks is skipped.
const std::string kReferenceNames =
    "mmsi:mmsi repeat:repeat_indicator status:navigation_status turn:rate_of_turn "
    "speed:speed_over_ground accuracy:position_accuracy lon:longitude lat:latitude "
    "course:course_over_ground heading:true_heading second:time_stamp raim:raim_flag "
    "epfd:position_fix_type ais_version:ais_version imo:imo_number callsign:call_sign "
    "shipname:ship_name shiptype:ship_type draught:draught destination:destination "
    "dte:dte_flag to_bow:dimension_to_bow to_stern:dimension_to_stern "
    "to_port:dimension_to_port to_starboard:dimension_to_starboard alt:altitude "
    "reserved:regional_bits_1 regional:regional_bits regional:regional_bits_2 "
    "aid_type:aid_type off_position:off_position name:name text:safety_text "
    // the messages after 24
    "seqno:sequence_number dest_mmsi:destination_id retransmit:retransmit_flag dac:dac fid:fid "
    "text:safety_related_text mmsi1:destination_id_1 mmsi2:destination_id_2 "
    "mmsi3:destination_id_3 mmsi4:destination_id_4 type1_1:message_id_1_1 "
    "offset1_1:slot_offset_1_1 type1_2:message_id_1_2 offset1_2:slot_offset_1_2 "
    "type2_1:message_id_2_1 offset2_1:slot_offset_2_1 mmsi1:destination_id_a offset1:offset_a "
    "increment1:increment_a mmsi2:destination_id_b offset2:offset_b increment2:increment_b "
    "offset1:offset_number_1 number1:number_of_slots_1 timeout1:timeout_1 "
    "increment1:increment_1 offset2:offset_number_2 number2:number_of_slots_2 "
    "timeout2:timeout_2 increment2:increment_2 offset3:offset_number_3 "
    "number3:number_of_slots_3 timeout3:timeout_3 increment3:increment_3 "
    "offset4:offset_number_4 number4:number_of_slots_4 timeout4:timeout_4 "
    "increment4:increment_4 channel_a:channel_a channel_b:channel_b txrx:tx_rx_mode "
    "power:power ne_lon:longitude_1 ne_lat:latitude_1 sw_lon:longitude_2 sw_lat:latitude_2 "
    "dest1:destination_id_1 dest2:destination_id_2 addressed:addressed "
    "band_a:channel_a_bandwidth band_b:channel_b_bandwidth zonesize:transitional_zone_size "
    "stationtype:station_type interval:reporting_interval quiet:quiet_time "
    "structured:structured gnss:position_latency "
    // message 8, DAC 1 FID 31
    "wspeed:average_wind_speed wgust:wind_gust wdir:wind_direction "
    "wgustdir:wind_gust_direction airtemp:air_temperature humidity:relative_humidity "
    "dewpoint:dew_point pressure:air_pressure pressuretend:air_pressure_tendency "
    "visgreater:horizontal_visibility_greater visibility:horizontal_visibility "
    "waterlevel:water_level leveltrend:water_level_trend cspeed:surface_current_speed "
    "cdir:surface_current_direction cspeed2:current_speed_2 cdir2:current_direction_2 "
    "cdepth2:current_measuring_level_2 cspeed3:current_speed_3 cdir3:current_direction_3 "
    "cdepth3:current_measuring_level_3 waveheight:significant_wave_height "
    "waveperiod:wave_period wavedir:wave_direction swellheight:swell_height "
    "swellperiod:swell_period swelldir:swell_direction seastate:sea_state "
    "watertemp:water_temperature preciptype:precipitation_type salinity:salinity ice:ice";

using JsonObject = std::map<std::string, std::string>;

// One flat JSON object per line; true and false as 1 and 0.
std::vector<JsonObject> readObjects(const std::string& path) {
    std::vector<JsonObject> objects;
    std::ifstream file(path);
    const std::regex pair(R"re("(\w+)": ?(?:"((?:[^"\\]|\\.)*)"|([^,}\]]*)))re");
    const std::regex escape(R"re(\\(.))re");
    for (std::string line; std::getline(file, line);) {
        auto& object = objects.emplace_back();
        for (std::sregex_iterator it(line.begin(), line.end(), pair), end; it != end; ++it) {
            const std::string value = (*it)[2].matched
                                          ? std::regex_replace((*it)[2].str(), escape, "$1")
                                          : (*it)[3].str();
            object[(*it)[1]] = value == "true" ? "1" : value == "false" ? "0" : value;
        }
    }
    return objects;
}

// Units per degree of a position field, 1 for anything else.
double unitsPerDegree(AisListWay way) {
    switch (way) {
        case AisListWay::Degrees:
            return 600000.0;
        case AisListWay::Degrees10:
            return 600.0;
        case AisListWay::Degrees1000:
            return 60000.0;
        default:
            return 1.0;
    }
}

// The bits of hexadecimal digits.
std::string hexBits(const std::string& hex) {
    std::string bits;
    for (char digit : hex) {
        const int value = std::stoi(std::string(1, digit), nullptr, 16);
        for (int bit = 3; bit >= 0; --bit) {
            bits += static_cast<char>('0' + ((value >> bit) & 1));
        }
    }
    return bits;
}

// Decodes every sentence of `capture` (VDM and VDO) and compares each message with the
// reference's next object of the same type and MMSI, field by field; returns how many
// messages of each type were compared. A position in degrees is compared in degrees.
std::map<int, int> compareWithReference(const std::string& capture, std::vector<JsonObject> objects,
                                        bool newTypesOnly, const std::string& skippedKeys = "") {
    const auto referenceText = [](std::string text) {
        text = text.substr(0, text.find('@'));
        return text.substr(0, text.find_last_not_of(' ') + 1);
    };
    feed("", true);
    std::size_t next = 0;
    std::map<int, int> messages;
    std::ifstream sample(capture);
    for (std::string line; std::getline(sample, line);) {
        // Replayed with CR LF, without what some lines carry after the checksum.
        const Codes codes =
            line.starts_with('!') ? feed(line.substr(0, line.find('*') + 3) + "\r\n") : Codes{};
        const AisMessageLayout* layout =
            codes.empty() ? nullptr : aisLayoutFor(codes[0] - nmeaz::kCodeAisBase);
        if (layout == nullptr ||
            (newTypesOnly && layout->payloadBitsField < 0 && layout->messageType != 11)) {
            continue;
        }
        alignas(8) char record[1024];
        aisDecode(*layout, aisPayloadBuffer, record, aisPayloadFillBits);
        const std::string type = std::to_string(layout->messageType);
        const std::string mmsi = fieldText(layout->fields[2], record);
        std::size_t match = next;
        while (match < objects.size() &&
               (objects[match]["type"] != type || objects[match]["mmsi"] != mmsi)) {
            ++match;
        }
        if (match == objects.size()) {
            EXPECT_EQ(type, "24") << "no reference for " << aisPayloadBuffer;
            continue;
        }
        const char gate = aisGateDigit(*layout, record);
        next = type == "24" && gate == '0' ? match : match + 1;
        ++messages[layout->messageType];
        JsonObject& theirObject = objects[match];
        const auto field = [&](std::string_view name) {
            return std::ranges::find_if(layout->fields, [&](const AisField& f) {
                return f.name == name && aisFieldPresent(*layout, f, record) &&
                       aisGateOpen(f.decodeWhen, gate);
            });
        };
        // Data as "bits:hex"; the application identifier as DAC * 64 + FID.
        const std::string& theirData = theirObject["data"];
        if (const std::size_t colon = theirData.find(':'); colon != std::string::npos) {
            const auto bits = field("data_bits");
            const int count =
                bits == layout->fields.end() ? -1 : std::stoi(fieldText(*bits, record));
            const std::string ours = count < 0 ? "" : fieldText(*field("data"), record);
            EXPECT_EQ(std::to_string(count), theirData.substr(0, colon));
            EXPECT_EQ(ours.size(), (count + 3u) / 4);
            EXPECT_EQ(hexBits(ours).substr(0, count),
                      hexBits(theirData.substr(colon + 1)).substr(0, count))
                << "message " << type << " against object " << match + 1;
        }
        if (theirObject.contains("app_id") && field("dac") != layout->fields.end()) {
            EXPECT_EQ(std::stoi(fieldText(*field("dac"), record)) * 64 +
                          std::stoi(fieldText(*field("fid"), record)),
                      std::stoi(theirObject["app_id"]));
        }
        std::istringstream pairs(kReferenceNames);
        for (std::string pair; pairs >> pair;) {
            const std::string key = pair.substr(0, pair.find(':'));
            const auto ourField = field(pair.substr(key.size() + 1));
            std::string theirs = theirObject[key];
            if (ourField == layout->fields.end() || theirs.empty() || theirs == "null" ||
                skippedKeys.find(" " + key + " ") != std::string::npos || (type + key == "9raim") ||
                (type + key == "18regional")) {
                continue;
            }
            std::string ours = fieldText(*ourField, record);
            if (ourField->store == AisStore::Text) {
                ours = referenceText(ours);
                theirs = referenceText(theirs.substr(0, ourField->textChars));
            } else if (ourField->store == AisStore::TrailingText) {
                ours = ours.substr(0, theirs.size());
            } else if (theirs.find('.') != std::string::npos) {
                EXPECT_NEAR(std::stod(ours) / unitsPerDegree(ourField->way), std::stod(theirs),
                            1e-4)
                    << ourField->name << " against object " << match + 1;
                continue;
            }
            EXPECT_EQ(ours, theirs)
                << ourField->name << " of message " << type << " against object " << match + 1;
        }
    }
    return messages;
}

// Every decoder against gpsd's real sample and the values gpsd, an independent decoder,
// reads from it (SOURCES.md). Where gpsd reads a newer edition of a layout than ours:
// - not compared: gpsd's message 9 "raim", one bit before our "raim_flag"; message 18
//   "regional", two of our four regional bits; the "maneuver" of messages 1-3 (our
//   regional bits); "radio", the communication state, which we split into fields
//   (message 26: gpsd's includes the selector, ours does not).
// - texts: gpsd ends a text at its first '@' and trims spaces; message 14's text also
//   drops the fill bits' incomplete group; message 21's name includes its extension.
// - message 24: gpsd writes one object holding both parts, once it has both.
// - messages 7, 13, 15: gpsd writes 0 for the destinations a short message lacks, and
//   reads one that the payload cuts short with its missing bits as 0 (two messages 7 of
//   128 and 124 bits: 836359488 and 76161024, both multiples of 64). Ours are missing:
//   a number with bits lost is no station's; the decoder reads them as 0, lists empty.
// - message 8 with an application other than DAC 1 FID 31 is compared by its data alone.
// - messages 25 and 26: the addressed destination is 30 bits with no padding after it,
//   as gpsd and libais both read real messages (their DAC 798 FID 40, 23587, 98 bits).
// - data: gpsd writes whole bytes, taking in the bits after the data (in message 26 the
//   communication state's first bits); ours ends with the digit of the last data bit,
//   padded with zero bits. The data bits themselves are compared.
TEST(AisDecode, EveryDecoderAgreesWithGpsdOnItsSample) {
    const auto messages =
        compareWithReference(TIDEWRIGHT_AIS_TEST_DATA "/sample.aivdm",
                             readObjects(TIDEWRIGHT_AIS_TEST_DATA "/sample.aivdm.ju.chk"), false);
    for (int type : kAisDecodedTypes) {
        EXPECT_GE(messages.contains(type) ? messages.at(type) : 0, 1) << "type " << type;
    }
}

// The messages after 24 and message 11 against libais's example of each type, whose
// positions are in degrees (SOURCES.md). libais inverts two flags, which we read as
// ITU-R M.1371-5 defines them and gpsd reads them: message 6's retransmit flag (1:
// retransmitted) and message 27's position latency (0: less than 5 seconds), its "gnss".
TEST(AisDecode, NewDecodersAgreeWithLibaisOnItsExamples) {
    const auto messages = compareWithReference(
        TIDEWRIGHT_AIS_TEST_DATA "/typeexamples.nmea",
        readObjects(TIDEWRIGHT_AIS_TEST_DATA "/typeexamples.json"), true, " retransmit gnss ");
    for (int type : {6, 7, 8, 10, 11, 12, 13, 15, 16, 17, 20, 22, 23, 25, 26, 27}) {
        EXPECT_EQ(messages.contains(type) ? messages.at(type) : 0, 1) << "type " << type;
    }
}

// A sentence of fragment `number` of `total` in message `id`.
std::string frag(int total, int number, int id, const std::string& data) {
    return sentence("AIVDM," + std::to_string(total) + "," + std::to_string(number) + "," +
                    std::to_string(id) + ",A," + data + ",0");
}

// Each stream after a message 1, whose payload must not survive: the codes it gives, the
// sentence name and payload left ("name payload"), the fragments dropped and the
// messages that could not be decoded, and no slot left taken.
TEST(AisVdm, SentencesAndFragmentStreams) {
    const std::string type1 = "AIVDM,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6,0";
    // The halves of a real message 5 (gpsd sample); "1" + part1 starts a message 1.
    const std::string part1 = "55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8";
    const std::string part2 = "88888888880";
    // Five fragments of 200 characters and one of 199 make 1,199; nine of 200 too many.
    std::string limit, tooLong;
    for (int number = 1; number <= 9; ++number) {
        const std::string piece = (number == 1 ? "5" : "w") + std::string(199, 'w');
        limit += number > 6 ? "" : frag(6, number, 2, piece.substr(0, 200 - number / 6));
        tooLong += frag(9, number, 1, piece);
    }
    struct Case {
        Codes codes;
        std::string nameAndPayload, bytes;
        std::uint64_t dropped = 0, undecodable = 0;
    };
    const Case cases[] = {
        // Without its fill-bits field the last field carries "*hh\r\n": not payload.
        {{74}, "!BSVDM_MSG24 H5Mi", sentence("BSVDM,1,1,,B,H5Mi")},
        // Every type up to 27 has a code and suffix, the own vessel's (VDO) as others'.
        {{58}, "!AIVDM_MSG8 8000", sentence("AIVDM,1,1,,B,8000,4")},
        {{77}, "!AIVDM_MSG27 KvQ:1o`7E", sentence("AIVDM,1,1,,B,KvQ:1o`7E,0")},
        {{77}, "!AIVDO_MSG27 KvQ:1o`7E", sentence("AIVDO,1,1,,B,KvQ:1o`7E,0")},
        {{7}, "!AIVDM O000", sentence("AIVDM,1,1,,B,O000,0"), 0, 1},
        // VDO and VDM fragments under one identifier are two messages.
        {{7, 7, 51, 55},
         "!AIVDO_MSG5 " + part1 + part2,
         frag(2, 1, 1, "1" + part1) + sentence("AIVDO,2,1,1,A," + part1 + ",0") +
             frag(2, 2, 1, "") + sentence("AIVDO,2,2,1,A," + part2 + ",0")},
        {{7}, "!AIVDM ", sentence("AIVDM,1,1,,A,0000,0"), 0, 1},
        // An empty payload, or field 5 missing: nothing completes, nothing is reused.
        {{7}, "!AIVDM ", sentence("AIVDM,1,1,,A,,0"), 0, 1},
        {{7}, "!AIVDM ", sentence("AIVDM,1,1,,A"), 0, 1},
        {{7, 7}, "!AIVDM ", frag(2, 1, 3, "") + frag(2, 2, 3, ""), 0, 1},
        // Invalid fragment counts.
        {{7, 7, 7}, "!AIVDM ", frag(2, 3, 1, "1") + frag(1, 0, 1, "1") + frag(0, 1, 1, "1"), 3},
        // Two messages interleaved with each other and with other traffic.
        {{7, 7, 5, 51, 55},
         "!AIVDM_MSG5 " + part1 + part2,
         frag(2, 1, 1, part1) + frag(2, 1, 2, "1" + part1) + sentence("GPDPT,2.4,0.5", '$') +
             frag(2, 2, 2, "1111") + frag(2, 2, 1, part2)},
        // The first fragment lost; out of order, other talker, total or identifier.
        {{7}, "!AIVDM ", frag(2, 2, 1, part2), 1},
        {{7, 7, 7, 7, 7, 7, 55},
         "!AIVDM_MSG5 567",
         frag(3, 1, 4, "5") + frag(3, 3, 4, "6") + sentence("BSVDM,3,2,4,A,6,0") +
             frag(2, 2, 4, "6") + frag(3, 2, 5, "6") + frag(3, 2, 4, "6") + frag(3, 3, 4, "7"),
         4},
        // Two talkers using the same identifier at once: each message from its own.
        {{7, 7, 55, 55},
         "!AIVDM_MSG5 5AADD",
         frag(2, 1, 7, "5AA") + sentence("BSVDM,2,1,7,A,5BB,0") + sentence("BSVDM,2,2,7,A,CC,0") +
             frag(2, 2, 7, "DD")},
        // Mended: a reused identifier starts a new message (the old one lost its end).
        {{7, 7, 55},
         "!AIVDM_MSG5 5BBBCCC",
         frag(2, 1, 3, "1AAA") + frag(2, 1, 3, "5BBB") + frag(2, 2, 3, "CCC"),
         1},
        // ... and every fragment the old one had collected counts as dropped.
        {{7, 7, 7, 7, 55},
         "!AIVDM_MSG5 5CCDDEE",
         frag(3, 1, 3, "1AAA") + frag(3, 2, 3, "BBB") + frag(3, 1, 3, "5CC") + frag(3, 2, 3, "DD") +
             frag(3, 3, 3, "EE"),
         2},
        // Mended: past 1,199 characters a message is abandoned, not cut; 1,199 fit whole.
        {Codes(9, 7), "!AIVDM ", tooLong, 9},
        {{7, 7, 7, 7, 7, 55}, "!AIVDM_MSG5 5" + std::string(1198, 'w'), limit},
    };
    for (const Case& c : cases) {
        feed(sentence(type1), true);
        fedCounters = {};
        EXPECT_EQ(feed(c.bytes), c.codes) << c.bytes;
        EXPECT_EQ(fedCounters.fragmentsDropped, c.dropped) << c.bytes;
        EXPECT_EQ(fedCounters.aisUndecodable, c.undecodable) << c.bytes;
        EXPECT_EQ(c.nameAndPayload,
                  std::string(nmeaz::currentSentenceName) + " " + aisPayloadBuffer)
            << c.bytes;
        for (int slot = 0; slot < kFragmentSlots; ++slot) {
            EXPECT_EQ(aisFragmentSlot(slot).fragment_total, 0) << c.bytes;
        }
    }
}

TEST(AisVdm, EvictionAndFreedSlots) {
    for (int id = 0; id < 10; ++id) {
        feed(frag(2, 1, id, "5"), id == 0);
    }
    // An eleventh first fragment evicts the message at the ring index, the first.
    feed(frag(2, 1, 10, "1"));
    EXPECT_EQ(feed(frag(2, 2, 0, "0") + frag(2, 2, 10, "2")), Codes({7, 51}));
    // The evicted first fragment and the end that found no message are both lost.
    EXPECT_EQ(fedCounters.fragmentsDropped, 2u);
    // A completed message frees its slot for the next, which then evicts nothing.
    feed(frag(2, 1, 11, "5"));
    for (int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11}) {
        EXPECT_EQ(feed(frag(2, 2, id, "0")), Codes{55}) << id;
    }
}

}  // namespace
}  // namespace ais
