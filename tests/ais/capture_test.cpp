// Every decoder against real captures whose values were decoded independently:
// gpsd's sample.aivdm with its unscaled JSON (sample.aivdm.ju.chk) and libais's one
// message per type with its scaled JSON (typeexamples.*).
//
// Where the references read a newer edition of the message layout than ours, the
// test compares the bits, not the names:
// - messages 1-3: their "maneuver" (2 bits) and 3-bit spare are our 4 regional bits
//   and 1 spare bit; not compared.
// - messages 1, 2, 4 and 18: their 19- or 20-bit "radio" is our communication state
//   (message 18: the selector flag and the 19 bits after it).
// - message 9: their 3-bit spare, "assigned", "raim" and 20-bit "radio" are our 5-bit
//   spare, "raim_flag" and 19-bit state one bit later; raim and radio not compared.
// - message 18: their 2 regional bits plus "cs" and "display" are our second 4 regional
//   bits; "dsc", "band", "msg22", "assigned" are our 4-bit spare.
// - message 14: their text drops the fill bits' incomplete group and trailing '@';
//   ours keeps every group of six bits after bit 40, fill bits included.
// - message 21: their name includes the name extension; ours is the first 20 characters.
// - message 24: gpsd joins parts A and B into one object; libais's text fields and
//   ours differ only in trailing '@' / spaces, which they strip.
// - libais writes positions in degrees, speed and course in knots and degrees (message
//   9's speed too) and draught in metres: those are scaled back to our raw units.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ais/decoders.h"
#include "ais/vdm.h"
#include "nmea/records.h"
#include "tests/ais/test_support.h"

namespace ais {
namespace {

using namespace test;

enum class Kind { Number, Flag, Tenths, Minutes, Text };

struct Mapping {
    const char* json;
    const char* field;
    Kind kind;
};

const Mapping kCommon[] = {{"mmsi", "mmsi", Kind::Number},
                           {"repeat", "repeat_indicator", Kind::Flag}};

const Mapping kPosition[] = {
    {"status", "navigation_status", Kind::Number},
    {"speed", "speed_over_ground", Kind::Tenths},
    {"accuracy", "position_accuracy", Kind::Flag},
    {"lon", "longitude", Kind::Minutes},
    {"lat", "latitude", Kind::Minutes},
    {"course", "course_over_ground", Kind::Tenths},
    {"heading", "true_heading", Kind::Number},
    {"second", "time_stamp", Kind::Number},
    {"raim", "raim_flag", Kind::Flag},
};

std::map<int, std::vector<Mapping>> mappings() {
    std::map<int, std::vector<Mapping>> m;
    for (int type : {1, 2, 3}) {
        m[type] = {std::begin(kPosition), std::end(kPosition)};
    }
    m[1].push_back({"sync_state", "sotdma_sync_state", Kind::Flag});
    m[1].push_back({"slot_timeout", "sotdma_slot_timeout", Kind::Flag});
    m[2] = m[1];
    m[3].insert(m[3].end(), {{"sync_state", "itdma_sync_state", Kind::Flag},
                             {"slot_increment", "itdma_slot_increment", Kind::Number},
                             {"slots_to_allocate", "itdma_number_of_slots", Kind::Flag},
                             {"keep_flag", "itdma_keep_flag", Kind::Flag}});
    m[4] = {{"accuracy", "position_accuracy", Kind::Flag},
            {"lon", "longitude", Kind::Minutes},
            {"lat", "latitude", Kind::Minutes},
            {"epfd", "position_fix_type", Kind::Number},
            {"raim", "raim_flag", Kind::Flag},
            {"sync_state", "sotdma_sync_state", Kind::Flag},
            {"slot_timeout", "sotdma_slot_timeout", Kind::Flag},
            {"slot_number", "sotdma_sub_message", Kind::Number}};
    m[5] = {{"ais_version", "ais_version", Kind::Flag},
            {"imo", "imo_number", Kind::Number},
            {"callsign", "call_sign", Kind::Text},
            {"shipname", "ship_name", Kind::Text},
            {"shiptype", "ship_type", Kind::Number},
            {"to_bow", "dimension_to_bow", Kind::Number},
            {"to_stern", "dimension_to_stern", Kind::Number},
            {"to_port", "dimension_to_port", Kind::Number},
            {"to_starboard", "dimension_to_starboard", Kind::Number},
            {"epfd", "position_fix_type", Kind::Number},
            {"draught", "draught", Kind::Tenths},
            {"destination", "destination", Kind::Text},
            {"dte", "dte_flag", Kind::Flag}};
    m[9] = {{"alt", "altitude", Kind::Number},
            {"speed", "speed_over_ground", Kind::Tenths},
            {"accuracy", "position_accuracy", Kind::Flag},
            {"lon", "longitude", Kind::Minutes},
            {"lat", "latitude", Kind::Minutes},
            {"course", "course_over_ground", Kind::Tenths},
            {"second", "time_stamp", Kind::Number},
            {"dte", "dte_flag", Kind::Flag}};
    m[18] = {{"reserved", "regional_bits_1", Kind::Number},
             {"speed", "speed_over_ground", Kind::Tenths},
             {"accuracy", "position_accuracy", Kind::Flag},
             {"lon", "longitude", Kind::Minutes},
             {"lat", "latitude", Kind::Minutes},
             {"course", "course_over_ground", Kind::Tenths},
             {"heading", "true_heading", Kind::Number},
             {"second", "time_stamp", Kind::Number},
             {"raim", "raim_flag", Kind::Flag}};
    m[19] = {{"reserved", "regional_bits_1", Kind::Number},
             {"speed", "speed_over_ground", Kind::Tenths},
             {"accuracy", "position_accuracy", Kind::Flag},
             {"lon", "longitude", Kind::Minutes},
             {"lat", "latitude", Kind::Minutes},
             {"course", "course_over_ground", Kind::Tenths},
             {"heading", "true_heading", Kind::Number},
             {"second", "time_stamp", Kind::Number},
             {"regional", "regional_bits_2", Kind::Number},
             {"shipname", "ship_name", Kind::Text},
             {"shiptype", "ship_type", Kind::Number},
             {"to_bow", "dimension_to_bow", Kind::Number},
             {"to_stern", "dimension_to_stern", Kind::Number},
             {"to_port", "dimension_to_port", Kind::Number},
             {"to_starboard", "dimension_to_starboard", Kind::Number},
             {"epfd", "position_fix_type", Kind::Number},
             {"raim", "raim_flag", Kind::Flag},
             {"dte", "dte_flag", Kind::Flag}};
    m[21] = {{"aid_type", "aid_type", Kind::Number},
             {"accuracy", "position_accuracy", Kind::Flag},
             {"lon", "longitude", Kind::Minutes},
             {"lat", "latitude", Kind::Minutes},
             {"to_bow", "dimension_to_bow", Kind::Number},
             {"to_stern", "dimension_to_stern", Kind::Number},
             {"to_port", "dimension_to_port", Kind::Number},
             {"to_starboard", "dimension_to_starboard", Kind::Number},
             {"epfd", "position_fix_type", Kind::Number},
             {"second", "time_stamp", Kind::Number},
             {"off_position", "off_position", Kind::Flag},
             {"regional", "regional_bits", Kind::Number},
             {"raim", "raim_flag", Kind::Flag}};
    m[24] = {};
    m[14] = {};
    return m;
}

// The references end a text at its first '@' and drop trailing spaces; ours keeps
// the six-bit text whole.
std::string stripped(std::string text) {
    text = text.substr(0, text.find('@'));
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

long long flagValue(const std::string& json) {
    if (json == "true")
        return 1;
    if (json == "false")
        return 0;
    return std::atoll(json.c_str());
}

// Decodes a completed payload by its layout; returns the record bytes.
const char* decode(int type, const std::string& payload, char* storage) {
    aisDecode(*aisLayoutFor(type), payload.c_str(), storage);
    return storage;
}

// Compares one decoded record with a reference object; returns the number of values
// compared.
int compare(int type, const char* record, const std::string& object, const std::string& origin) {
    const AisMessageLayout& layout = *aisLayoutFor(type);
    const bool scaled = jsonValue(object, "scaled").value_or("false") == "true";
    std::vector<Mapping> all(std::begin(kCommon), std::end(kCommon));
    const auto typed = mappings()[type];
    all.insert(all.end(), typed.begin(), typed.end());
    int compared = 0;
    for (const Mapping& mapping : all) {
        const std::optional<std::string> value = jsonValue(object, mapping.json);
        if (!value || *value == "null") {
            continue;
        }
        const AisField& field = fieldNamed(layout, mapping.field);
        const std::string what = origin + ": " + mapping.field + " = " + *value;
        ++compared;
        switch (mapping.kind) {
            case Kind::Number:
                EXPECT_EQ(numericValue(field, record), std::atoll(value->c_str())) << what;
                break;
            case Kind::Flag:
                EXPECT_EQ(characterValue(field, record), std::to_string(flagValue(*value))[0])
                    << what;
                break;
            case Kind::Tenths: {
                const double expected =
                    scaled ? std::atof(value->c_str()) * 10 : std::atof(value->c_str());
                EXPECT_NEAR(numericValue(field, record), expected, 0.51) << what;
                break;
            }
            case Kind::Minutes: {
                const double expected =
                    scaled ? std::atof(value->c_str()) * 600000 : std::atof(value->c_str());
                // Degrees in single precision carry about 1e-5 relative error.
                EXPECT_NEAR(numericValue(field, record), expected, scaled ? 60 : 0) << what;
                break;
            }
            case Kind::Text:
                EXPECT_EQ(stripped(textValue(field, record)), *value) << what;
                break;
        }
    }
    return compared;
}

std::string payloadOf(const std::string& line) {
    std::size_t start = 0;
    for (int comma = 0; comma < 5; ++comma) {
        start = line.find(',', start) + 1;
    }
    return line.substr(start, line.find(',', start) - start);
}

TEST(AisCaptures, LibaisTypeExamples) {
    const auto sentences = readLines(dataPath("typeexamples.nmea"));
    const auto objects = readLines(dataPath("typeexamples.json"));
    ASSERT_EQ(sentences.size(), objects.size());
    int checkedMessages = 0;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const std::string payload = payloadOf(sentences[i]);
        const int type = aisMessageType(payload.c_str());
        if (aisLayoutFor(type) == nullptr) {
            continue;
        }
        alignas(8) char record[512];
        decode(type, payload, record);
        const std::string origin = "libais line " + std::to_string(i + 1);
        EXPECT_GE(compare(type, record, objects[i], origin), 2) << origin;
        ++checkedMessages;
        if (type == 14) {
            const std::string text =
                static_cast<const AisMessage14*>(static_cast<const void*>(record))->safety_text;
            // 14 characters = 84 bits: (84 - 40) / 6 = 7 characters, the last formed
            // partly from fill bits.
            EXPECT_EQ(text.size(), 7u);
            EXPECT_EQ(text.substr(0, 6), *jsonValue(objects[i], "text"));
        }
        if (type == 24) {
            const auto& message =
                *static_cast<const AisMessage24*>(static_cast<const void*>(record));
            EXPECT_EQ(message.part_number, '0');
            EXPECT_EQ(stripped(message.ship_name), *jsonValue(objects[i], "shipname"));
        }
        if (type == 4) {
            // Longitude 181 and latitude 91 degrees ("not available") stay raw.
            const auto& message =
                *static_cast<const AisMessage4*>(static_cast<const void*>(record));
            EXPECT_EQ(message.longitude, 108600000);
            EXPECT_EQ(message.latitude, 54600000);
            EXPECT_EQ(message.utc_hour, 24u);
        }
    }
    EXPECT_EQ(checkedMessages, 10);  // every decoded type but 19
}

// gpsd's sample through the real framing and parseVdm, each completed message
// decoded and paired in order with gpsd's object of the same type and MMSI.
TEST(AisCaptures, GpsdSampleThroughTheParser) {
    const auto lines = readLines(dataPath("sample.aivdm"));
    const auto objects = readLines(dataPath("sample.aivdm.ju.chk"));
    Stream stream;
    std::size_t next = 0;
    std::map<int, int> compared;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        // Replayed with CR LF, without what some lines carry after the checksum.
        const std::size_t star = line.find('*');
        const std::string sentence =
            (star == std::string::npos ? line : line.substr(0, star + 3)) + "\r\n";
        for (const int code : stream.feed(sentence)) {
            const int type = code - 50;
            if (type < 1 || aisLayoutFor(type) == nullptr) {
                continue;
            }
            alignas(8) char record[512];
            decode(type, aisPayloadBuffer, record);
            const auto mmsi = numericValue(fieldNamed(*aisLayoutFor(type), "mmsi"), record);
            std::size_t match = next;
            while (match < objects.size() &&
                   (jsonValue(objects[match], "type") != std::to_string(type) ||
                    jsonValue(objects[match], "mmsi") != std::to_string(mmsi))) {
                ++match;
            }
            if (match == objects.size()) {
                // gpsd writes a message 24 only once it holds both parts of it.
                EXPECT_EQ(type, 24) << "no reference for " << aisPayloadBuffer;
                continue;
            }
            const std::string& object = objects[match];
            const std::string origin = "gpsd object " + std::to_string(match + 1);
            compare(type, record, object, origin);
            ++compared[type];
            // gpsd writes one object for both parts of a message 24.
            const bool partA =
                type == 24 && record[fieldNamed(*aisLayoutFor(24), "part_number").offset] == '0';
            next = partA ? match : match + 1;

            const auto radio = jsonValue(object, "radio");
            const auto field = [&](const char* name) {
                return fieldNamed(*aisLayoutFor(type), name);
            };
            if (radio && (type == 1 || type == 2 || type == 4)) {
                const long long state =
                    (characterValue(field("sotdma_sync_state"), record) - '0') << 17 |
                    (characterValue(field("sotdma_slot_timeout"), record) - '0') << 14 |
                    numericValue(field("sotdma_sub_message"), record);
                // gpsd leaves the fill bits out, so its last field is that much
                // shorter; we read them as message bits.
                const int fill = nmeaz::vdmRecord.fill_bits;
                EXPECT_EQ(state >> fill, std::atoll(radio->c_str())) << origin;
            }
            if (radio && type == 18) {
                const long long r = std::atoll(radio->c_str());
                EXPECT_EQ(characterValue(field("comm_state_selector"), record), '0' + (r >> 19))
                    << origin;
                const bool itdma = (r >> 19) != 0;
                const long long state =
                    itdma ? ((characterValue(field("itdma_sync_state"), record) - '0') << 17 |
                             numericValue(field("itdma_slot_increment"), record) << 4 |
                             (characterValue(field("itdma_number_of_slots"), record) - '0') << 1 |
                             (characterValue(field("itdma_keep_flag"), record) - '0'))
                          : ((characterValue(field("sotdma_sync_state"), record) - '0') << 17 |
                             (characterValue(field("sotdma_slot_timeout"), record) - '0') << 14 |
                             numericValue(field("sotdma_sub_message"), record));
                EXPECT_EQ(state, r & 0x7ffff) << origin;
                const long long regional = flagValue(*jsonValue(object, "regional")) << 2 |
                                           flagValue(*jsonValue(object, "cs")) << 1 |
                                           flagValue(*jsonValue(object, "display"));
                EXPECT_EQ(numericValue(field("regional_bits_2"), record), regional) << origin;
            }
            if (type == 4) {
                // "2007-05-14T19:57:39Z"; one sample holds a five-digit year.
                std::string stamp = *jsonValue(object, "timestamp");
                for (char& c : stamp) {
                    c = std::isdigit(static_cast<unsigned char>(c)) ? c : ' ';
                }
                std::istringstream parts(stamp);
                for (const char* name :
                     {"utc_year", "utc_month", "utc_day", "utc_hour", "utc_minute", "utc_second"}) {
                    long long value = -1;
                    parts >> value;
                    EXPECT_EQ(numericValue(field(name), record), value) << origin << " " << name;
                }
            }
            if (type == 5) {
                // "05-15T14:00Z": month, day, hour, minute packed into 20 bits.
                const std::string eta = *jsonValue(object, "eta");
                const long long packed = std::atoll(eta.substr(0, 2).c_str()) << 16 |
                                         std::atoll(eta.substr(3, 2).c_str()) << 11 |
                                         std::atoll(eta.substr(6, 2).c_str()) << 6 |
                                         std::atoll(eta.substr(9, 2).c_str());
                EXPECT_EQ(numericValue(field("eta"), record), packed) << origin;
            }
            if (type == 14) {
                const std::string text = textValue(field("safety_text"), record);
                EXPECT_EQ(text.substr(0, jsonValue(object, "text")->size()),
                          *jsonValue(object, "text"))
                    << origin;
                EXPECT_EQ(text.size(), (6 * std::string(aisPayloadBuffer).size() - 40) / 6)
                    << origin;
            }
            if (type == 21) {
                EXPECT_EQ(stripped(textValue(field("name"), record)),
                          stripped(jsonValue(object, "name")->substr(0, 20)))
                    << origin;
            }
            if (type == 24) {
                const auto& message =
                    *static_cast<const AisMessage24*>(static_cast<const void*>(record));
                if (message.part_number == '0') {
                    EXPECT_EQ(stripped(message.ship_name), *jsonValue(object, "shipname"))
                        << origin;
                } else {
                    EXPECT_EQ(stripped(message.call_sign), *jsonValue(object, "callsign"))
                        << origin;
                    EXPECT_EQ(message.ship_type, std::stoul(*jsonValue(object, "shiptype")))
                        << origin;
                    EXPECT_EQ(message.dimension_to_stern,
                              std::stoul(*jsonValue(object, "to_stern")))
                        << origin;
                    EXPECT_EQ(std::string(message.vendor_id).substr(0, 3),
                              jsonValue(object, "vendorid")->substr(0, 3))
                        << origin;
                }
            }
        }
    }
    // Every decoded type occurs in the sample, several more than once.
    for (int type : kAisDecodedTypes) {
        EXPECT_GE(compared[type], 1) << "type " << type;
    }
}

}  // namespace
}  // namespace ais
