// Helpers shared by the NMEA core tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/checksum.h"
#include "nmea/parser_context.h"
#include "nmea/sentence_parsers.h"

namespace nmeaz::test {

// body + "*hh" + ending, the checksum computed here independently of the framing code.
inline std::string withChecksum(std::string_view body, const char* ending = "\r\n") {
    return framedSentence(body[0], body.substr(1), ending);
}

// A context with the 26 sentence types registered (VDM only filling its record).
class AllTypes : public ::testing::Test {
protected:
    void SetUp() override {
        init(&context);
        registerSentenceParsers(&context, parseVdmFields);
    }
    // Feeds `bytes` byte by byte through feedByte into a copy of the context, then
    // through feedBuffer as the parse cycle does; returns the codes. The short cuts
    // feedBuffer takes through data and gaps must not change them.
    std::vector<int> feed(std::string_view bytes) {
        ParserContext plain = context;
        std::vector<int> plainCodes;
        for (char byte : bytes) {
            if (int code = feedByte(&plain, static_cast<unsigned char>(byte)))
                plainCodes.push_back(code);
        }
        std::vector<int> codes;
        for (int left = static_cast<int>(bytes.size()); left > 0;) {
            int length = left;
            if (int code = feedBuffer(&context, bytes.data() + (bytes.size() - left), &length))
                codes.push_back(code);
            left = length;
        }
        EXPECT_EQ(codes, plainCodes) << "feedBuffer and feedByte differ";
        return codes;
    }
    // Feeds one sentence, its checksum added; returns its code, or -1 unless exactly one.
    int feedSentence(std::string_view body) {
        const std::vector<int> codes = feed(withChecksum(body));
        return codes.size() == 1 ? codes[0] : -1;
    }
    ParserContext context;
};

}  // namespace nmeaz::test
