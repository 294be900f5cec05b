// Every decoder against gpsd's real sample (sample.aivdm) and the values gpsd, an
// independent decoder, reads from it (sample.aivdm.ju.chk: unscaled, positions in
// 1/10,000 minute, speed in 1/10 knot, course in 1/10 degree).
//
// Where gpsd reads a newer edition of a layout than ours, the test compares bits,
// not names:
// - messages 1-3: gpsd's "maneuver" and 3-bit spare are our regional bits and spare;
//   not compared.
// - "radio" is our communication state, concatenated (message 18: with its selector).
//   gpsd leaves fill bits out, so its last field is shorter by them; we read them.
// - message 9: gpsd's "assigned", "raim" and 20-bit "radio" sit one bit before our
//   "raim_flag" and 19-bit state; raim and radio not compared.
// - texts: gpsd ends a text at its first '@' and trims spaces; message 14's text also
//   drops the fill bits' incomplete group; message 21's name includes its extension.
// - message 24: gpsd writes one object holding both parts, once it has both.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "ais/decoders.h"
#include "ais/vdm.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"
#include "tests/ais/test_support.h"

namespace ais {
namespace {

using namespace test;

const std::string kMotion =
    "speed:speed_over_ground accuracy:position_accuracy lon:longitude lat:latitude "
    "course:course_over_ground heading:true_heading second:time_stamp raim:raim_flag ";
const std::string kPosition = kMotion + "status:navigation_status turn:rate_of_turn";
const char* const kDimensions =
    "to_bow:dimension_to_bow to_stern:dimension_to_stern to_port:dimension_to_port "
    "to_starboard:dimension_to_starboard";
const std::map<int, std::string> kMappings = {
    {1, kPosition},
    {2, kPosition},
    {3, kPosition},
    {4,
     "accuracy:position_accuracy lon:longitude lat:latitude epfd:position_fix_type "
     "raim:raim_flag"},
    {5, std::string("ais_version:ais_version imo:imo_number callsign:call_sign shipname:ship_name "
                    "shiptype:ship_type epfd:position_fix_type draught:draught "
                    "destination:destination dte:dte_flag ") +
            kDimensions},
    {9,
     "alt:altitude speed:speed_over_ground accuracy:position_accuracy lon:longitude "
     "lat:latitude course:course_over_ground second:time_stamp regional:regional_bits "
     "dte:dte_flag"},
    {14, ""},
    {18, "reserved:regional_bits_1 " + kMotion},
    {19, std::string("reserved:regional_bits_1 regional:regional_bits_2 shipname:ship_name "
                     "shiptype:ship_type epfd:position_fix_type dte:dte_flag ") +
             kMotion + kDimensions},
    {21, std::string("aid_type:aid_type accuracy:position_accuracy lon:longitude lat:latitude "
                     "epfd:position_fix_type second:time_stamp off_position:off_position "
                     "regional:regional_bits raim:raim_flag name:name ") +
             kDimensions},
    {24, std::string("shipname:ship_name shiptype:ship_type callsign:call_sign ") + kDimensions},
};

// The value of a key in one of gpsd's flat one-line objects; "" when absent.
std::string json(const std::string& object, const std::string& key) {
    std::size_t at = object.find("\"" + key + "\":");
    if (at == std::string::npos) {
        return "";
    }
    at += key.size() + 3;
    if (object[at] == '"') {
        return object.substr(at + 1, object.find('"', at + 1) - at - 1);
    }
    return object.substr(at, object.find_first_of(",}", at) - at);
}

std::string gpsdText(std::string text) {
    text = text.substr(0, text.find('@'));
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string expectedValue(const AisField& field, const std::string& value) {
    if (field.store == AisStore::Character) {
        return value == "true" ? "1" : value == "false" ? "0" : value.substr(0, 1);
    }
    if (field.store == AisStore::Text) {
        return gpsdText(value.substr(0, field.textChars));
    }
    return value;
}

void compareWithGpsd(const AisMessageLayout& layout, const char* record, const std::string& object,
                     const std::string& origin) {
    const char gate = aisGateDigit(layout, record);
    std::istringstream pairs("mmsi:mmsi repeat:repeat_indicator " +
                             kMappings.at(layout.messageType));
    for (std::string pair; pairs >> pair;) {
        const std::string key = pair.substr(0, pair.find(':'));
        const AisField& field = fieldNamed(layout, pair.substr(key.size() + 1));
        const std::string value = json(object, key);
        if (value.empty() || value == "null" || !aisGateOpen(field.decodeWhen, gate)) {
            continue;
        }
        std::string ours = fieldText(field, record);
        ours = field.store == AisStore::Text ? gpsdText(ours) : ours;
        EXPECT_EQ(ours, expectedValue(field, value)) << origin << ": " << field.name;
    }

    // The communication state, its fields' bits concatenated.
    const std::string radio = json(object, "radio");
    if (!radio.empty() && layout.messageType != 9) {
        long long state = 0;
        for (const AisField& field : layout.fields) {
            const std::string name = field.name;
            if ((name.find("tdma_") != std::string::npos || name == "comm_state_selector") &&
                aisFieldListed(layout, field, record)) {
                const std::string text = fieldText(field, record);
                state = state << field.width | std::stoll(text);
            }
        }
        EXPECT_EQ(state >> nmeaz::vdmRecord.fill_bits, std::stoll(radio)) << origin;
    }
}

TEST(AisCaptures, GpsdSampleThroughTheParser) {
    const auto objects = readLines("sample.aivdm.ju.chk");
    Stream stream;
    std::size_t next = 0;
    std::map<int, int> compared;
    for (const std::string& line : readLines("sample.aivdm")) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        // Replayed with CR LF, without what some lines carry after the checksum.
        const std::size_t star = line.find('*');
        for (const int code : stream.feed(line.substr(0, star + 3) + "\r\n")) {
            const AisMessageLayout* layout = aisLayoutFor(code - nmeaz::kCodeAisBase);
            if (layout == nullptr) {
                continue;
            }
            alignas(8) char record[512];
            aisDecode(*layout, aisPayloadBuffer, record);
            // Pair in order with gpsd's next object of the same type and MMSI.
            const std::string type = std::to_string(layout->messageType);
            const std::string mmsi = fieldText(fieldNamed(*layout, "mmsi"), record);
            std::size_t match = next;
            while (match < objects.size() &&
                   (json(objects[match], "type") != type || json(objects[match], "mmsi") != mmsi)) {
                ++match;
            }
            if (match == objects.size()) {
                EXPECT_EQ(type, "24") << "no reference for " << aisPayloadBuffer;
                continue;
            }
            const std::string& object = objects[match];
            const std::string origin = "gpsd object " + std::to_string(match + 1);
            compareWithGpsd(*layout, record, object, origin);
            ++compared[layout->messageType];
            next = aisGateDigit(*layout, record) == '0' && type == "24" ? match : match + 1;

            const auto number = [&](const char* name) {
                return fieldNumber(fieldNamed(*layout, name), record);
            };
            if (type == "5") {
                // "05-15T14:00Z": month, day, hour and minute packed into 20 bits.
                const std::string eta = json(object, "eta");
                const long long packed =
                    std::stoll(eta.substr(0, 2)) << 16 | std::stoll(eta.substr(3, 2)) << 11 |
                    std::stoll(eta.substr(6, 2)) << 6 | std::stoll(eta.substr(9, 2));
                EXPECT_EQ(number("eta"), packed) << origin;
            }
            if (type == "14") {
                const std::string text = fieldText(fieldNamed(*layout, "safety_text"), record);
                const std::string theirs = json(object, "text");
                EXPECT_EQ(text.substr(0, theirs.size()), theirs) << origin;
                EXPECT_EQ(text.size(), (6 * std::strlen(aisPayloadBuffer) - 40) / 6) << origin;
            }
        }
    }
    // Every decoded type occurs in the sample.
    for (int type : kAisDecodedTypes) {
        EXPECT_GE(compared[type], 1) << "type " << type;
    }
}

}  // namespace
}  // namespace ais
