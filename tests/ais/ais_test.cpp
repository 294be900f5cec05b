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
            } else {
                EXPECT_EQ(field.size, field.store == AisStore::Character ? 1u : 4u) << key;
            }
            if (std::ranges::find(rereads, key) == std::end(rereads)) {
                EXPECT_EQ(field.firstBit, end) << key;
            }
            end = field.firstBit + field.width;
            furthest = std::max(furthest, end);
        }
        // Message 24's longer part B ends at 168; its work copy is sized for 296 bits.
        EXPECT_EQ(furthest, layout.messageType == 24 ? 168 : layout.nominalBits);
    }
}

using Codes = std::vector<int>;

// "!" + body + "*hh\r\n" with the checksum of body.
std::string sentence(const std::string& body, char start = '!') {
    unsigned checksum = 0;
    for (char c : body) {
        checksum ^= static_cast<unsigned char>(c);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    return start + body + tail;
}

// Feeds the 26 sentence parsers with parseVdm in the VDM place, from a fresh start over a
// clean fragment table if asked; every non-zero parse code in stream order.
// What the feeds since the last fresh start lost, as the line counters tell.
nmeaz::LineCounters fedCounters;

Codes feed(const std::string& bytes, bool fresh = false) {
    static nmeaz::ParserContext context;
    if (fresh) {
        nmeaz::init(&context);
        nmeaz::registerSentenceParsers(&context, parseVdm);
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
    if (field.store != AisStore::Unsigned && field.store != AisStore::Signed) {
        return std::string(at, strnlen(at, field.size));
    }
    std::int32_t value;
    std::memcpy(&value, at, sizeof value);
    return field.store == AisStore::Signed ? std::to_string(value)
                                           : std::to_string(static_cast<std::uint32_t>(value));
}

// What a field should hold, by the bit readers tested on their own; a trailing text takes
// the complete six-bit groups the payload supplies, a character field the first digit.
std::string reference(const AisField& field, const std::string& bits, int availableBits) {
    const char* at = bits.c_str() + field.firstBit;
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

// Random messages, whole and cut short, decoded by every layout; each field compared with
// a reference reading, bits past a short payload reading 0 (texts there '@'), fields
// behind a closed gate zero: message 18 with selector 0 and 1, message 24 with parts 0
// to 3 (2 and 3 fill the header only).
TEST(AisDecode, EveryFieldOfEveryLayoutMatchesAReferenceReading) {
    std::mt19937 random(20240611);
    for (const AisMessageLayout& layout : kAisLayouts) {
        const AisField* gate = layout.gateField < 0 ? nullptr : &layout.fields[layout.gateField];
        for (int round = 0; round < 80; ++round) {
            std::string payload, bits;
            while (bits.empty() || (gate && aisBitsUInt(&bits[gate->firstBit], gate->width) !=
                                                unsigned(round) % (1 << gate->width))) {
                payload.clear();
                for (int i = 0; i < (layout.nominalBits + 5) / 6; ++i) {
                    payload += "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVW`abcdefghijklmnopqrstuvw"
                        [random() % 64];
                }
                bits = aisPayloadToBits(payload.data(), static_cast<int>(payload.size()));
            }
            if (round / 4 % 2 == 1) {
                payload.resize(random() % payload.size());
            }
            const int available = std::min<int>(6 * payload.size(), layout.nominalBits);
            std::fill(bits.begin() + available, bits.end(), '0');

            alignas(8) char record[512];
            std::memset(record, 0x5a, sizeof record);  // stale values must not survive
            ASSERT_EQ(aisDecode(layout, payload.c_str(), record), 1);
            for (const AisField& field : layout.fields) {
                const bool decoded = aisGateOpen(field.decodeWhen, aisGateDigit(layout, record));
                EXPECT_EQ(fieldText(field, record), decoded ? reference(field, bits, available)
                                                    : field.store <= AisStore::Signed ? "0"
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

// Every decoder against gpsd's real sample and the values gpsd, an independent decoder,
// reads from it (SOURCES.md). Where gpsd reads a newer edition of a layout than ours:
// - not compared: gpsd's message 9 "raim", one bit before our "raim_flag"; message 18
//   "regional", two of our four regional bits; the "maneuver" of messages 1-3 (our
//   regional bits); "radio", the communication state, which we split into fields.
// - texts: gpsd ends a text at its first '@' and trims spaces; message 14's text also
//   drops the fill bits' incomplete group; message 21's name includes its extension.
// - message 24: gpsd writes one object holding both parts, once it has both.
TEST(AisDecode, EveryDecoderAgreesWithGpsdOnItsSample) {
    // gpsd's key and our field; a pair whose field a layout lacks is skipped.
    const std::string names =
        "mmsi:mmsi repeat:repeat_indicator status:navigation_status turn:rate_of_turn "
        "speed:speed_over_ground accuracy:position_accuracy lon:longitude lat:latitude "
        "course:course_over_ground heading:true_heading second:time_stamp raim:raim_flag "
        "epfd:position_fix_type ais_version:ais_version imo:imo_number callsign:call_sign "
        "shipname:ship_name shiptype:ship_type draught:draught destination:destination "
        "dte:dte_flag to_bow:dimension_to_bow to_stern:dimension_to_stern "
        "to_port:dimension_to_port to_starboard:dimension_to_starboard alt:altitude "
        "reserved:regional_bits_1 regional:regional_bits regional:regional_bits_2 "
        "aid_type:aid_type off_position:off_position name:name text:safety_text";
    const auto gpsdText = [](std::string text) {
        text = text.substr(0, text.find('@'));
        return text.substr(0, text.find_last_not_of(' ') + 1);
    };
    std::vector<std::map<std::string, std::string>> objects;
    std::ifstream gpsd(TIDEWRIGHT_AIS_TEST_DATA "/sample.aivdm.ju.chk");
    const std::regex pair(R"re("(\w+)":(?:"([^"]*)"|([^,}]*)))re");
    for (std::string line; std::getline(gpsd, line);) {
        auto& object = objects.emplace_back();
        for (std::sregex_iterator it(line.begin(), line.end(), pair), end; it != end; ++it) {
            const std::string value = (*it)[2].matched ? (*it)[2] : (*it)[3];
            object[(*it)[1]] = value == "true" ? "1" : value == "false" ? "0" : value;
        }
    }

    feed("", true);
    std::size_t next = 0;
    std::map<int, int> messages;
    std::ifstream sample(TIDEWRIGHT_AIS_TEST_DATA "/sample.aivdm");
    for (std::string line; std::getline(sample, line);) {
        // Replayed with CR LF, without what some lines carry after the checksum.
        const Codes codes =
            line.starts_with('!') ? feed(line.substr(0, line.find('*') + 3) + "\r\n") : Codes{};
        const AisMessageLayout* layout =
            codes.empty() ? nullptr : aisLayoutFor(codes[0] - nmeaz::kCodeAisBase);
        if (layout != nullptr) {
            alignas(8) char record[512];
            aisDecode(*layout, aisPayloadBuffer, record);
            // Paired in order with gpsd's next object of the same type and MMSI.
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
            std::istringstream pairs(names);
            for (std::string pair; pairs >> pair;) {
                const std::string key = pair.substr(0, pair.find(':'));
                const auto field = std::ranges::find_if(layout->fields, [&](const AisField& f) {
                    return pair.substr(key.size() + 1) == f.name;
                });
                std::string theirs = objects[match][key];
                if (field == layout->fields.end() || theirs.empty() || theirs == "null" ||
                    (type + key == "9raim") || (type + key == "18regional") ||
                    !aisGateOpen(field->decodeWhen, gate)) {
                    continue;
                }
                std::string ours = fieldText(*field, record);
                if (field->store == AisStore::Text) {
                    ours = gpsdText(ours);
                    theirs = gpsdText(theirs.substr(0, field->textChars));
                } else if (field->store == AisStore::TrailingText) {
                    ours = ours.substr(0, theirs.size());
                }
                EXPECT_EQ(ours, theirs) << field->name << " against gpsd object " << match + 1;
            }
        }
    }
    for (int type : kAisDecodedTypes) {
        EXPECT_GE(messages[type], 1) << "type " << type;
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
        // Type 8 has no decoder but a code and suffix; type 27 neither, its payload kept.
        {{58}, "!AIVDM_MSG8 8000", sentence("AIVDM,1,1,,B,8000,4")},
        {{7}, "!AIVDM KvQ:1o`7E", sentence("AIVDM,1,1,,B,KvQ:1o`7E,0"), 0, 1},
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
        // Mended: a reused identifier starts a new message (the old one lost its end).
        {{7, 7, 55},
         "!AIVDM_MSG5 5BBBCCC",
         frag(2, 1, 3, "1AAA") + frag(2, 1, 3, "5BBB") + frag(2, 2, 3, "CCC"),
         1},
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
