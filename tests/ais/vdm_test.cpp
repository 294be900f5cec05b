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

// The two halves of a real message 5 (gpsd sample, sequential identifier 1).
const std::string kPart1 = "55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8";
const std::string kPart2 = "88888888880";

std::string fragment(int total, int number, const std::string& id, const std::string& data) {
    std::string body = "AIVDM,";
    body.append(std::to_string(total)).append(",").append(std::to_string(number));
    body.append(",").append(id).append(",A,").append(data).append(",0");
    return body;
}

TEST(AisVdm, SingleSentenceCompletesAtOnce) {
    Stream stream;
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6,0"), 51);
    EXPECT_EQ(sentenceName(), "!AIVDM_MSG1");
    EXPECT_EQ(payloadBuffer(), "15N1u<PP1FJuvSRHOE6QIwwh0HQ6");
    EXPECT_EQ(usedSlots(), 0);
    EXPECT_EQ(aisFragmentRingIndex(), 0);
    // Without its fill-bits field the last field carries "*hh\r\n": not payload.
    EXPECT_EQ(stream.feedSentence("BSVDM,1,1,,B,H5MiOp1:uJ0MDhJ0<P4hhDpLE80"), 74);
    EXPECT_EQ(sentenceName(), "!BSVDM_MSG24");
    EXPECT_EQ(payloadBuffer(), "H5MiOp1:uJ0MDhJ0<P4hhDpLE80");
    // Type 8 has no decoder but gets its suffix and code.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,B,803Ovrh0EP:024`@02PN04da=3V<>N0000,4"), 58);
    EXPECT_EQ(sentenceName(), "!AIVDM_MSG8");
}

TEST(AisVdm, MessagesThatGiveNoAisCode) {
    Stream stream;
    // Type 27: code 7, no suffix, the payload stays available.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,B,KvQ:1o`7EBrBQ`?w,0"), 7);
    EXPECT_EQ(sentenceName(), "!AIVDM");
    EXPECT_EQ(payloadBuffer(), "KvQ:1o`7EBrBQ`?w");
    // Type 0: an empty payload buffer.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,0000,0"), 7);
    EXPECT_EQ(payloadBuffer(), "");
    // Empty payload, and field 5 missing: the earlier payload is not reused.
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6,0"), 51);
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,,0"), 7);
    EXPECT_EQ(payloadBuffer(), "");
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6,0"), 51);
    EXPECT_EQ(stream.feedSentence("AIVDM,1,1,,A"), 7);
    EXPECT_EQ(payloadBuffer(), "");
    // Two empty fragments assemble to nothing and leave no slot taken.
    EXPECT_EQ(stream.feed(test::sentence(fragment(2, 1, "3", "")) +
                          test::sentence(fragment(2, 2, "3", ""))),
              (std::vector<int>{7, 7}));
    EXPECT_EQ(payloadBuffer(), "");
    EXPECT_EQ(usedSlots(), 0);
    // Invalid counts.
    for (const char* counts : {"2,3", "0,0", "1,0", "0,1", ",", "-1,-1"}) {
        EXPECT_EQ(stream.feedSentence(std::string("AIVDM,") + counts + ",1,A,15N1,0"), 7) << counts;
    }
    EXPECT_EQ(usedSlots(), 0);
}

TEST(AisVdm, TwoSentenceMessagesInterleavedWithOtherTraffic) {
    Stream stream;
    std::string other = kPart1;
    other[0] = '1';
    const std::string bytes =
        test::sentence(fragment(2, 1, "1", kPart1)) + test::sentence(fragment(2, 1, "2", other)) +
        test::sentence("GPDPT,2.4,0.5", '$') + test::sentence(fragment(2, 2, "2", "1111")) +
        test::sentence(fragment(2, 2, "1", kPart2));
    Stream().feed(test::sentence(fragment(2, 1, "1", kPart1)));
    EXPECT_EQ(sentenceName(), "!AIVDM");
    EXPECT_EQ(payloadBuffer(), "");

    EXPECT_EQ(stream.feed(bytes), (std::vector<int>{7, 7, 5, 51, 55}));
    EXPECT_EQ(sentenceName(), "!AIVDM_MSG5");
    EXPECT_EQ(payloadBuffer(), kPart1 + kPart2);
    EXPECT_EQ(usedSlots(), 0);  // copied out: the slots are free again
}

TEST(AisVdm, FragmentsThatMatchNoMessageAreDropped) {
    Stream stream;
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "1", kPart2)), 7);  // first never came
    EXPECT_EQ(usedSlots(), 0);
    EXPECT_EQ(stream.feedSentence(fragment(3, 1, "4", "5")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(3, 3, "4", "6")), 7);  // out of order
    EXPECT_EQ(stream.feedSentence("BSVDM,3,2,4,A,6,0"), 7);       // other talker
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "4", "6")), 7);  // other total
    EXPECT_EQ(stream.feedSentence(fragment(3, 2, "5", "6")), 7);  // other identifier
    EXPECT_EQ(std::string(aisFragmentSlot(0).payload), "5");
    EXPECT_EQ(stream.feedSentence(fragment(3, 2, "4", "6")), 7);
    EXPECT_EQ(stream.feedSentence(fragment(3, 3, "4", "7")), 55);
    EXPECT_EQ(payloadBuffer(), "567");
}

TEST(AisVdm, EleventhFirstFragmentEvictsTheSlotAtTheRingIndex) {
    Stream stream;
    for (int id = 0; id < 10; ++id) {
        stream.feedSentence(fragment(2, 1, std::to_string(id), "5"));
    }
    EXPECT_EQ(usedSlots(), 10);
    EXPECT_EQ(aisFragmentRingIndex(), 0);
    stream.feedSentence(fragment(2, 1, "10", "1"));
    EXPECT_EQ(aisFragmentSlot(0).sequence_id, 10);
    EXPECT_EQ(aisFragmentRingIndex(), 1);
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "0", "0")), 7);  // evicted
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "10", "2")), 51);
    EXPECT_EQ(payloadBuffer(), "12");
}

TEST(AisVdm, CompletedMessagesFreeTheirSlot) {
    Stream stream;
    for (int id = 0; id < 10; ++id) {
        stream.feedSentence(fragment(2, 1, std::to_string(id), "5"));
    }
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "7", "0")), 55);
    // The next first fragment takes the freed slot, not the one at the ring index.
    stream.feedSentence(fragment(2, 1, "11", "1"));
    EXPECT_EQ(aisFragmentSlot(7).sequence_id, 11);
    for (int id = 0; id < 10; ++id) {
        if (id != 7) {
            EXPECT_EQ(stream.feedSentence(fragment(2, 2, std::to_string(id), "0")), 55) << id;
        }
    }
}

TEST(AisVdm, ReusedSequenceIdentifierStartsANewMessage) {
    Stream stream;
    // The second fragment of the first message is lost; the sender reuses id 3.
    stream.feedSentence(fragment(2, 1, "3", "1AAA"));
    stream.feedSentence(fragment(2, 1, "3", "5BBB"));
    EXPECT_EQ(stream.feedSentence(fragment(2, 2, "3", "CCC")), 55);
    EXPECT_EQ(payloadBuffer(), "5BBBCCC");
    EXPECT_EQ(usedSlots(), 0);
}

TEST(AisVdm, OverlongMessageIsAbandoned) {
    Stream stream;
    std::string piece(200, 'w');
    piece[0] = '5';
    stream.feedSentence(fragment(9, 1, "1", piece));
    for (int number = 2; number <= 9; ++number) {
        EXPECT_EQ(stream.feedSentence(fragment(9, number, "1", piece)), 7) << number;
    }
    EXPECT_EQ(usedSlots(), 0);
    // Up to 1,199 characters assemble whole.
    for (int number = 1; number <= 5; ++number) {
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
