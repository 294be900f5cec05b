// tidewright-decode reads its input in chunks; its output must not depend on where
// the reads split the stream. Every split of a small mixed log, and reads of a single
// byte, against the log decoded in one piece.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "ais/vdm.h"
#include "stream_decoder.h"

namespace {

// CR LF, LF alone and a two-fragment AIS message; a CR LF across a read boundary is
// one line end, while a LF after any other byte is read as CR LF.
const std::string kLog =
    "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
    "$SDDBT,12.5,f,3.8,M,2.1,F*38\n"
    "!AIVDM,2,1,3,B,55NBjP01mtGIL@CW;SM<D60P5Ld000000000000P0`<3557l0<50@kk@,0*66\r\n"
    "!AIVDM,2,2,3,B,K5h@00000000000,2*72\n"
    "$HEHDT,274.1,T*2F\r\n"
    "$WIMWV,214.8,R,12.1,N,A*1E\r\n";

std::string decodeInReads(const std::string& log, bool raw, const std::vector<std::size_t>& cuts) {
    ais::aisResetFragmentTable();
    decode::StreamDecoder decoder(false, false, raw);
    std::size_t at = 0;
    for (std::size_t cut : cuts) {
        decoder.feed(log.data() + at, cut - at);
        at = cut;
    }
    decoder.feed(log.data() + at, log.size() - at);
    return decoder.output();
}

TEST(DecodeSplit, OutputDoesNotDependOnWhereReadsSplit) {
    for (bool raw : {false, true}) {
        const std::string whole = decodeInReads(kLog, raw, {});
        ASSERT_NE(whole.find("\"$HEHDT\""), std::string::npos);
        // Raw, a LF alone still ends a sentence (read with a warning).
        ASSERT_NE(whole.find("\"!AIVDM_MSG5\""), std::string::npos);
        for (std::size_t cut = 1; cut < kLog.size(); ++cut) {
            EXPECT_EQ(decodeInReads(kLog, raw, {cut}), whole) << "raw " << raw << " cut " << cut;
        }
        std::vector<std::size_t> everyByte;
        for (std::size_t cut = 1; cut < kLog.size(); ++cut) {
            everyByte.push_back(cut);
        }
        EXPECT_EQ(decodeInReads(kLog, raw, everyByte), whole) << "raw " << raw;
    }
}

// The line counters through the parse cycle, which feeds the sentence in hand again
// with the next read: random streams of every kind of line in random read sizes count
// exactly as the stream read whole, and every byte is in one outcome.
TEST(DecodeSplit, CountsDoNotDependOnWhereReadsSplit) {
    const std::string pieces[] = {
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n",
        "$HEHDT,274.1,T*2F\n",
        "$HEHDT,274.1,T*2f\r\r\n",
        "!AIVDM,1,1,,B,:6TMCD1GOS60,0*5B,s36310,d-081,T59.01777335\r\n",
        "$GPGGA,1*4C\r\n",
        "$GPHDT," + std::string(300, '1') + "\r\n",
        "$$$$$$",
        "xyz\x01\xff\r\n",
        "\n# \"a comment\" $HEHDT,274.1,T*2F\r\n",
        "$GPHDT,1,T\r\n",
    };
    std::mt19937 random(7);
    for (int round = 0; round < 30; ++round) {
        std::string stream;
        for (int i = 0; i < 40; ++i) {
            stream += pieces[random() % std::size(pieces)];
        }
        for (const bool strict : {false, true}) {
            auto statsInReads = [&](bool whole) {
                decode::StreamDecoder decoder(false, true, true);
                decoder.setStrict(strict);
                for (std::size_t at = 0; at < stream.size();) {
                    const std::size_t read =
                        whole ? stream.size()
                              : std::min<std::size_t>(1 + random() % 300, stream.size() - at);
                    decoder.feed(stream.data() + at, read);
                    at += read;
                }
                return decoder.statsLine();
            };
            const std::string whole = statsInReads(true);
            EXPECT_EQ(statsInReads(false), whole) << "round " << round << " strict " << strict;
            // "bytes": N, then the classes of "bytes_by_outcome": {...} add up to N.
            const auto number = [&](std::size_t from) { return std::stoull(whole.substr(from)); };
            const std::size_t bytesAt = whole.find("\"bytes\": ") + 9;
            const std::size_t classesAt = whole.find("\"bytes_by_outcome\": {");
            const std::size_t classesEnd = whole.find('}', classesAt);
            unsigned long long sum = 0;
            for (std::size_t colon = whole.find(": ", classesAt + 21);
                 colon != std::string::npos && colon < classesEnd;
                 colon = whole.find(": ", colon + 1)) {
                sum += number(colon + 2);
            }
            EXPECT_EQ(number(bytesAt), stream.size());
            EXPECT_EQ(sum, stream.size()) << whole;
        }
    }
}

}  // namespace
