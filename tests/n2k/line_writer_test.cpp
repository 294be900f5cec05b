// The writers are the readers' inverse: what a writer writes, the reader reads
// back as the same frame or PGN.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "n2k/can_id.h"
#include "n2k/gateway_format.h"
#include "n2k/line_writer.h"
#include "n2k/reassembler.h"
#include "n2k_test_support.h"

namespace n2k {
namespace {

Frame sampleFrame(std::uint32_t canId, int length, std::int64_t timeMs) {
    Frame f;
    f.canId = canId;
    f.length = static_cast<std::uint8_t>(length);
    for (int i = 0; i < length; ++i)
        f.data[i] = static_cast<std::uint8_t>(0xA0 + 7 * i);
    f.timeMs = timeMs;
    return f;
}

void expectSameFrame(const Frame& a, const Frame& b) {
    EXPECT_EQ(a.canId, b.canId);
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(std::vector<std::uint8_t>(a.data, a.data + a.length),
              std::vector<std::uint8_t>(b.data, b.data + b.length));
    EXPECT_EQ(a.timeMs, b.timeMs);
}

TEST(LineWriters, FramesRoundTrip) {
    using Writer = int (*)(const Frame&, char*, int);
    const Writer candump = [](const Frame& f, char* out, int cap) {
        return writeCandumpLine(f, "can0", out, cap);
    };
    const struct {
        Writer write;
        LineFormat format;
        std::int64_t timeMs;  // in the form the format carries
    } writers[] = {
        {&writeYdwgLine, LineFormat::Ydwg, 1798617},
        {candump, LineFormat::Candump, 1502984866421},
        {&writePlainFrame, LineFormat::Plain, 1456689422364},
    };
    const std::uint32_t ids[] = {0x09F8017F, 0x18EA2301, 0x1DEFFF05, 0x0DF11313};
    for (const auto& w : writers) {
        for (std::uint32_t id : ids) {
            for (int length : {0, 3, 8}) {
                const Frame f = sampleFrame(id, length, w.timeMs);
                char line[200];
                const int n = w.write(f, line, sizeof line);
                ASSERT_GT(n, 0);
                const std::string_view text(line, static_cast<std::size_t>(n));
                EXPECT_EQ(classifyLine(text), w.format) << text;
                LineOutput out;
                ASSERT_EQ(readLine(w.format, text, out), LineKind::Frame) << text;
                expectSameFrame(out.frame, f);
            }
        }
    }
}

TEST(LineWriters, KnownLinesAreWrittenExactly) {
    Frame f = sampleFrame(0x09F8017F, 0, 1798617);
    const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    std::copy(std::begin(bytes), std::end(bytes), f.data);
    f.length = 8;
    char line[200];
    int n = writeYdwgLine(f, line, sizeof line);
    EXPECT_EQ(std::string(line, static_cast<std::size_t>(n)),
              "00:29:58.617 R 09F8017F 01 02 03 04 05 06 07 08");
    f.sentByGateway = true;
    n = writeYdwgLine(f, line, sizeof line);
    EXPECT_EQ(std::string(line, 14), "00:29:58.617 T");

    Message m;
    m.pgn = 127257;
    m.source = 15;
    m.length = 8;
    const std::uint8_t attitude[] = {0x2A, 0xAF, 0x00, 0xD1, 0x06, 0x74, 0x14, 0xFF};
    std::copy(std::begin(attitude), std::end(attitude), m.data);
    n = writePcdinLine(m, line, sizeof line);
    EXPECT_EQ(std::string(line, static_cast<std::size_t>(n)),
              "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59");
    EXPECT_EQ(writePcdinLine(m, line, 20), -1);  // too small: nothing half-written counts
}

TEST(LineWriters, WholePgnsRoundTripAsPlainAndPcdin) {
    Message m;
    m.pgn = 129029;
    m.priority = 3;
    m.source = 22;
    m.timeMs = 1456689422364;
    m.length = 43;
    for (int i = 0; i < m.length; ++i)
        m.data[i] = static_cast<std::uint8_t>(i * 11);
    std::vector<char> line(8192);
    for (LineFormat format : {LineFormat::Plain, LineFormat::Pcdin}) {
        const int n = format == LineFormat::Plain
                          ? writePlainMessage(m, line.data(), static_cast<int>(line.size()))
                          : writePcdinLine(m, line.data(), static_cast<int>(line.size()));
        ASSERT_GT(n, 0);
        LineOutput out;
        ASSERT_EQ(readLine(format, std::string_view(line.data(), static_cast<std::size_t>(n)), out),
                  LineKind::Message);
        EXPECT_EQ(out.message.pgn, m.pgn);
        EXPECT_EQ(out.message.source, m.source);
        EXPECT_EQ(std::vector<std::uint8_t>(out.message.data, out.message.data + 43),
                  std::vector<std::uint8_t>(m.data, m.data + 43));
        if (format == LineFormat::Plain) {
            EXPECT_EQ(out.message.priority, m.priority);
            EXPECT_EQ(out.message.timeMs, m.timeMs);
        }
    }
}

TEST(LineWriters, FastPacketFramesReassembleToTheMessage) {
    Message m;
    m.pgn = 129038;
    m.priority = 4;
    m.source = 43;
    m.length = 27;  // six bytes in the first frame, seven in each of three more
    for (int i = 0; i < m.length; ++i)
        m.data[i] = static_cast<std::uint8_t>(255 - i);
    Frame frames[32];
    const int n = framesOf(m, true, 6, frames, 32);
    ASSERT_EQ(n, 4);
    Reassembler reassembler(test::testFastPackets());
    const Message* whole = nullptr;
    for (int i = 0; i < n; ++i) {
        char line[200];
        const int length = writeYdwgLine(frames[i], line, sizeof line);
        LineOutput out;
        ASSERT_EQ(readLine(LineFormat::Ydwg,
                           std::string_view(line, static_cast<std::size_t>(length)), out),
                  LineKind::Frame);
        whole = reassembler.feed(out.frame);
    }
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->length, m.length);
    EXPECT_EQ(std::vector<std::uint8_t>(whole->data, whole->data + whole->length),
              std::vector<std::uint8_t>(m.data, m.data + m.length));
    EXPECT_EQ(framesOf(m, false, 0, frames, 32), -1);  // 27 bytes need a fast packet
    m.length = 224;
    EXPECT_EQ(framesOf(m, true, 0, frames, 32), -1);
}

}  // namespace
}  // namespace n2k
