// TAG blocks in front of sentences: what is read, what is refused, and the block the
// recorder writes reading back as the same time.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "nmea/tag_block.h"

namespace {

struct TagCase {
    const char* text;
    std::size_t taken;  // 0: not a block
    bool hasTime;
    std::int64_t timeMs;
    const char* source;  // nullptr: no s field
};

const TagCase kCases[] = {
    // Real blocks (libais, aislib captures).
    {"\\g:1-2-1604,s:rORBCOMM008,c:1418169601,T:2014-12-10 00.00.01*37\\!AIVDM", 64, true,
     1418169601000, "rORBCOMM008"},
    {"\\c:1354719388*56\\!BSVDM,1,1,,B,D02R3cQW4Nfp00O6D0,4*1B", 17, true, 1354719388000, nullptr},
    {"\\s:b:2,c:1364272372*57\\!AIVDM", 23, true, 1364272372000, "b:2"},
    {"\\:,c:1364272372*4E\\!AIVDM", 19, true, 1364272372000, nullptr},
    // Milliseconds, written as such or as a fraction; lower-case checksum digits.
    {"\\c:1418169601250*6b\\$GPGGA", 20, true, 1418169601250, nullptr},
    {"\\c:1418169601.25*75\\", 20, true, 1418169601250, nullptr},
    {"\\c:1354719388*56\\", 17, true, 1354719388000, nullptr},
    {"\\s:ABCDEFGHIJKLMNOPQ*08\\", 24, false, 0, "ABCDEFGHIJKLMNO"},
    // A time that is not a number is no time, but the block still stands.
    {"\\c:12x4*16\\", 11, false, 0, nullptr},
    // Refused: wrong checksum, no closing backslash, no checksum, not at the start,
    // a line end inside, too short.
    {"\\c:1354719388*57\\!BSVDM", 0, false, 0, nullptr},
    {"\\c:1354719388*56!BSVDM", 0, false, 0, nullptr},
    {"\\c:1354719388\\!BSVDM", 0, false, 0, nullptr},
    {"!BSVDM\\c:1354719388*56\\", 0, false, 0, nullptr},
    {"\\c:13547\r\n19388*56\\", 0, false, 0, nullptr},
    {"\\*00", 0, false, 0, nullptr},
};

TEST(TagBlock, ReadsTimeAndSourceAndChecksChecksum) {
    for (const TagCase& c : kCases) {
        SCOPED_TRACE(c.text);
        nmeaz::TagBlock tag;
        EXPECT_EQ(nmeaz::parseTagBlock(c.text, std::strlen(c.text), tag), c.taken);
        EXPECT_EQ(tag.hasTime, c.hasTime);
        EXPECT_EQ(tag.timeMs, c.timeMs);
        EXPECT_EQ(tag.hasSource, c.source != nullptr);
        EXPECT_STREQ(tag.source, c.source ? c.source : "");
    }
}

TEST(TagBlock, WrittenTimeReadsBackToTheSecond) {
    for (std::int64_t ms : {0LL, 999LL, 1733512345678LL, 4102444800000LL}) {
        char block[32];
        const std::size_t length = nmeaz::formatTimeTag(ms, block, sizeof block);
        ASSERT_GT(length, 0u);
        nmeaz::TagBlock tag;
        EXPECT_EQ(nmeaz::parseTagBlock(block, length, tag), length) << std::string(block, length);
        EXPECT_EQ(tag.timeMs, ms / 1000 * 1000);
    }
    char small[10];
    EXPECT_EQ(nmeaz::formatTimeTag(1733512345678LL, small, sizeof small), 0u);
}

}  // namespace
