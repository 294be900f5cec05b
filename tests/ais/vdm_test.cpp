#include "ais/vdm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/records.h"
#include "nmea/sentence_parsers.h"
#include "tests/ais/test_support.h"

namespace ais {
namespace {

using test::Stream;

std::string payloadBuffer() {
    return aisPayloadBuffer;
}
std::string sentenceName() {
    return nmeaz::currentSentenceName;
}

int usedSlots() {
    int used = 0;
    for (int i = 0; i < kFragmentSlots; ++i) {
        used += aisFragmentSlot(i).fragment_total != 0;
    }
    return used;
}

// Two halves of a real message 5 (gpsd sample, sequential identifier 1).
const char* const kPart1 = "55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8";
const char* const kPart2 = "88888888880";

std::string fragment(int total, int number, const std::string& sequence, const std::string& data,
                     const char* fill = "0") {
    std::string body = "AIVDM,";
    body += std::to_string(total);
    body += ',';
    body += std::to_string(number);
    body += ',';
    body += sequence;
    body += ",A,";
    body += data;
    body += ',';
    body += fill;
    return body;
}

TEST(AisVdm, SingleSentenceCompletesAtOnce) {
    Stream stream;
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6,0"), 51);
    EXPECT_EQ(sentenceName(), "!AIVDM_MSG1");
    EXPECT_EQ(payloadBuffer(), "15N1u<PP1FJuvSRHOE6QIwwh0HQ6");
    EXPECT_EQ(usedSlots(), 0);
    EXPECT_EQ(aisFragmentRingIndex(), 0);

    EXPECT_EQ(stream.feedSentence("BSVDM,1,1,,B,H5MiOp1:uJ0MDhJ0<P4hhDpLE80,2"), 74);
    EXPECT_EQ(sentenceName(), "!BSVDM_MSG24");
    EXPECT_EQ(nmeaz::vdmRecord.fill_bits, 2);
    EXPECT_EQ(nmeaz::vdmRecord.channel, 'B');
}

TEST(AisVdm, TypesWithoutSuffixOrPayload) {
    Stream stream;
    // Type 8 has no decoder but still gets its suffix and code.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,B,803Ovrh0EP:024`@02PN04da=3V<>N0000,4"), 58);
    EXPECT_EQ(sentenceName(), "!AIVDM_MSG8");
    // Type 27: code 7, no suffix, the payload stays available.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,B,KvQ:1o`7EBrBQ`?w,0"), 7);
    EXPECT_EQ(sentenceName(), "!AIVDM");
    EXPECT_EQ(payloadBuffer(), "KvQ:1o`7EBrBQ`?w");
    // Type 0: code 7 and an empty payload buffer.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,0000,0"), 7);
    EXPECT_EQ(payloadBuffer(), "");
}

TEST(AisVdm, EmptyOrMissingPayloadCompletesNothing) {
    Stream stream;
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6,0"), 51);
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,,0"), 7);
    EXPECT_EQ(payloadBuffer(), "");
    EXPECT_EQ(sentenceName(), "!AIVDM");
    // Field 5 missing altogether: the earlier payload is not reused.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A"), 7);
    EXPECT_EQ(payloadBuffer(), "");
    // Two empty fragments assemble to nothing, and leave no slot taken.
    EXPECT_EQ(stream.feedSentence(fragment(2, 1, "3", "")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "3", "")), 7);
    EXPECT_EQ(payloadBuffer(), "");
    EXPECT_EQ(usedSlots(), 0);
}

TEST(AisVdm, PayloadEndsBeforeTheChecksum) {
    Stream stream;
    // No fill-bits field: the last field holds "payload*hh\r\n".
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6"), 51);
    EXPECT_EQ(payloadBuffer(), "15N1u<PP1FJuvSRHOE6QIwwh0HQ6");
}

TEST(AisVdm, TwoSentenceMessage) {
    Stream stream;
    EXPECT_EQ(stream.feedSentence(fragment(2, 1, "1", kPart1)), 7);
    EXPECT_EQ(sentenceName(), "!AIVDM");
    EXPECT_EQ(payloadBuffer(), "");
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "1", kPart2, "2")), 55);
    EXPECT_EQ(sentenceName(), "!AIVDM_MSG5");
    EXPECT_EQ(payloadBuffer(), std::string(kPart1) + kPart2);
    EXPECT_EQ(usedSlots(), 0);  // copied out: the slot is free again
}

TEST(AisVdm, InterleavedMessagesAndOtherTraffic) {
    Stream stream;
    const std::string bytes =
        test::sentence(fragment(2, 1, "1", kPart1)) +
        test::sentence(fragment(2, 1, "2", std::string(kPart1).replace(0, 1, "5"))) +
        test::sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", '$') +
        test::sentence(fragment(2, 2, "2", "1111")) + test::sentence(fragment(2, 2, "1", kPart2));
    EXPECT_EQ(stream.feed(bytes), (std::vector<int>{7, 7, 1, 55, 55}));
    EXPECT_EQ(payloadBuffer(), std::string(kPart1) + kPart2);
}

TEST(AisVdm, FragmentsThatMatchNoMessageAreDropped) {
    Stream stream;
    // Second fragment whose first never arrived.
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "1", kPart2)), 7);
    EXPECT_EQ(usedSlots(), 0);
    // Out of order, other talker, other total: none joins the stored first fragment.
    EXPECT_EQ(stream.feedSentence(fragment(3, 1, "4", "5")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(3, 3, "4", "6")), 7);
    EXPECT_EQ(stream.feedSentence("BSVDM,3,2,4,A,6,0"), 7);
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "4", "6")), 7);
    EXPECT_EQ(aisFragmentSlot(0).fragment_number, 1);
    EXPECT_EQ(std::string(aisFragmentSlot(0).payload), "5");
    EXPECT_EQ(stream.feedSentence(fragment(3, 2, "4", "6")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(3, 3, "4", "7")), 55);
    EXPECT_EQ(payloadBuffer(), "567");
}

TEST(AisVdm, InvalidCountsAreRejected) {
    Stream stream;
    for (const char* body : {"AIVDM,2,3,1,A,15N1,0", "AIVDM,0,0,,A,15N1,0", "AIVDM,1,0,,A,15N1,0",
                             "AIVDM,0,1,,A,15N1,0", "AIVDM,,,,A,15N1,0", "AIVDM,-1,-1,,A,15N1,0"}) {
        EXPECT_EQ(stream.feedSentence(body), 7) << body;
    }
    EXPECT_EQ(usedSlots(), 0);
}

TEST(AisVdm, EleventhFirstFragmentEvictsTheSlotAtTheRingIndex) {
    Stream stream;
    for (int sequence = 0; sequence < 10; ++sequence) {
        EXPECT_EQ(stream.feedSentence(fragment(2, 1, std::to_string(sequence), "5")), 7);
    }
    EXPECT_EQ(usedSlots(), 10);
    EXPECT_EQ(aisFragmentRingIndex(), 0);
    EXPECT_EQ(stream.feedSentence(fragment(2, 1, "10", "1")), 7);
    EXPECT_EQ(aisFragmentSlot(0).sequence_id, 10);
    EXPECT_EQ(aisFragmentRingIndex(), 1);
    // The evicted message cannot complete any more; the others still can.
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "0", "0")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "10", "2")), 51);
    EXPECT_EQ(payloadBuffer(), "12");
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "5", "3")), 55);
}

TEST(AisVdm, CompletedMessagesFreeTheirSlot) {
    Stream stream;
    for (int sequence = 0; sequence < 10; ++sequence) {
        stream.feedSentence(fragment(2, 1, std::to_string(sequence), "5"));
    }
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "7", "0")), 55);
    // The new first fragment takes the freed slot, not the one at the ring index.
    const int ring = aisFragmentRingIndex();
    stream.feedSentence(fragment(2, 1, "11", "1"));
    EXPECT_EQ(aisFragmentSlot(7).sequence_id, 11);
    EXPECT_EQ(aisFragmentSlot(ring).fragment_total, 2);
    for (int sequence = 0; sequence < 10; ++sequence) {
        if (sequence != 7) {
            EXPECT_EQ(stream.feedSentence(fragment(2, 2, std::to_string(sequence), "0")), 55);
        }
    }
}

TEST(AisVdm, ReusedSequenceIdentifierStartsANewMessage) {
    Stream stream;
    // The second fragment of the first message is lost; the sender reuses id 3.
    EXPECT_EQ(stream.feedSentence(fragment(2, 1, "3", "1AAA")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(2, 1, "3", "5BBB")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "3", "CCC")), 55);
    EXPECT_EQ(payloadBuffer(), "5BBBCCC");
    EXPECT_EQ(usedSlots(), 0);
}

TEST(AisVdm, OverlongMessageIsAbandoned) {
    Stream stream;
    const std::string piece(200, 'w');
    EXPECT_EQ(stream.feedSentence(fragment(9, 1, "1", std::string(piece).replace(0, 1, "5"))), 7);
    for (int number = 2; number <= 9; ++number) {
        EXPECT_EQ(stream.feedSentence(fragment(9, number, "1", piece)), 7) << number;
    }
    EXPECT_EQ(usedSlots(), 0);

    // Up to 1,199 characters assemble whole.
    EXPECT_EQ(stream.feedSentence(fragment(6, 1, "2", std::string(piece).replace(0, 1, "5"))), 7);
    for (int number = 2; number <= 5; ++number) {
        stream.feedSentence(fragment(6, number, "2", piece));
    }
    EXPECT_EQ(stream.feedSentence(fragment(6, 6, "2", piece.substr(1))), 55);
    EXPECT_EQ(payloadBuffer().size(), 1199u);
}

TEST(AisVdm, EntryWithoutRecord) {
    nmeaz::ParserContext context;
    nmeaz::init(&context);
    const nmeaz::ParserEntry entry{"VDM", parseVdm, nullptr};
    EXPECT_EQ(parseVdm(&context, &entry), 7);
}

}  // namespace
}  // namespace ais
