// tidewright-decode reads its input in chunks; its output must not depend on where
// the reads split the stream. Every split of a small mixed log, and reads of a single
// byte, against the log decoded in one piece.
#include <gtest/gtest.h>

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

}  // namespace
