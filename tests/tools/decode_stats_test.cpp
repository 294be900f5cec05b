// tidewright-decode --stats against counts made by hand: a crafted stream with a known
// number of each fault, a real capture with binary records between its sentences, and
// a log the simulator spoiled with wrong checksums and noise.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "nmea/checksum.h"

namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string run(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return out;
}

struct Scratch {
    std::string path = fs::temp_directory_path() / "tw-stats-test-XXXXXX";
    Scratch() { ::setenv("XDG_RUNTIME_DIR", ::mkdtemp(path.data()), 1); }
    ~Scratch() { fs::remove_all(path); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path + "/" + name, std::ios::binary) << bytes;
        return path + "/" + name;
    }
} const scratch;

QJsonObject stats(const std::string& arguments) {
    const std::string out = run(TIDEWRIGHT_DECODE_EXECUTABLE " --stats " + arguments);
    return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
}

std::string withChecksum(const std::string& body) {
    return nmeaz::framedSentence(body[0], std::string_view(body).substr(1));
}

using Counts = std::map<std::string, long long>;

Counts counts(const QJsonObject& object) {
    Counts result;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isDouble()) {
            result[it.key().toStdString()] = it.value().toInteger();
        }
    }
    return result;
}

TEST(DecodeStats, CraftedStreamWithEveryFault) {
    const std::string gga =
        withChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string stream =
        gga + gga + "$GPGGA,1*4C\r\n"                                   // bad checksum
        + "$GPHDT,274.1,T\r\n"                                          // no checksum
        + "$GPHDT," + std::string(300, '1') + "\r\n"                    // too long
        + "xyz\r\n"                                                     // 3 noise bytes
        + withChecksum("$GPZFO,A") + withChecksum("$PGRME,1")           // unknown types
        + withChecksum("!AIVDO,1,1,,A,15N1u<PP1FJuvSRHOE6QIwwh0HQ6,0")  // own ship
        + withChecksum("!AIVDM,2,2,7,A,88888888880,2")                  // fragment alone
        + withChecksum("!AIVDM,1,1,,A,0000,0");                         // type 0
    const QJsonObject object = stats("--raw " + scratch.write("crafted.nmea", stream));
    const Counts expected = {
        {"bytes", static_cast<long long>(stream.size())},
        {"accepted", 8},
        {"bad_checksum", 1},
        {"no_checksum", 1},
        {"too_long", 1},
        {"noise_bytes", 3},
        {"unknown_type", 2},
        {"fragments_dropped", 1},
        {"ais_undecodable", 1},
        {"malformed", 0},
    };
    EXPECT_EQ(counts(object), expected);
    // Every byte in one outcome: the sentences accepted, the bad one, the over-long line
    // to its end, the noise and its line end.
    const Counts outcomes = {
        {"accepted", static_cast<long long>(stream.size()) - 13 - 309 - 5},
        {"bad_checksum", 13},
        {"too_long", 309},
        {"malformed", 0},
        {"unfinished", 0},
        {"line_ends", 2},
        {"noise", 3},
        {"comments", 0},
    };
    EXPECT_EQ(counts(object["bytes_by_outcome"].toObject()), outcomes);
    const Counts keys = {{"$GPGGA", 2}, {"$GPHDT", 1}, {"$GPZFO", 1},
                         {"$PGRME", 1}, {"!AIVDO", 1}, {"!AIVDM", 2}};
    EXPECT_EQ(counts(object["keys"].toObject()), keys);
}

// Binary records between the sentences: the standard types count as grep finds them,
// every byte counts once (with the CR restored before each lone LF), and the keys add
// up to what was accepted.
TEST(DecodeStats, CaptureWithBinaryRecords) {
    const std::string path = TIDEWRIGHT_NMEA_TEST_DATA "/gpsd-ac12_binary.log";
    const std::string bytes = slurp(path);
    long long restored = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        restored += bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
    }
    const QJsonObject object = stats(path);
    EXPECT_EQ(object["bytes"].toInteger(), static_cast<long long>(bytes.size()) + restored);
    EXPECT_EQ(object["bad_checksum"].toInteger(), 0);
    Counts keys = counts(object["keys"].toObject());
    long long total = 0;
    for (const auto& [key, count] : keys) {
        total += count;
    }
    EXPECT_EQ(total, object["accepted"].toInteger());
    EXPECT_EQ(object["unknown_type"].toInteger(), keys["$PASHR"]);
    const Counts standard = {
        {"$GPGGA", 5}, {"$GPGSA", 5}, {"$GPGSV", 15}, {"$GPRMC", 5}, {"$GPZDA", 5}};
    keys.erase("$PASHR");
    EXPECT_EQ(keys, standard);
    EXPECT_GT(object["noise_bytes"].toInteger(), 0);
}

// Every third sentence with a wrong checksum and noise after every second: the noise is
// whatever the line carried beyond the sentences.
TEST(DecodeStats, SimulatorFaults) {
    const std::string log = TIDEWRIGHT_SIM_TEST_DATA "/talk.nmea";
    const std::string tee = scratch.path + "/faulty.nmea";
    run(TIDEWRIGHT_SIM_EXECUTABLE " --once --fast --seed 7 --bad-checksum 3 --noise 2 --tee " +
        tee + " " + log + " >/dev/null 2>&1");
    std::istringstream lines(slurp(log));
    long long sentenceBytes = 0;
    int sentences = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '#') {
            sentenceBytes += static_cast<long long>(line.size()) + 2;
            ++sentences;
        }
    }
    ASSERT_EQ(sentences, 6);
    const std::string sent = slurp(tee);
    const Counts object = counts(stats("--raw " + tee));
    const Counts expected = {
        {"bytes", static_cast<long long>(sent.size())},
        {"accepted", 4},
        {"bad_checksum", 2},
        {"no_checksum", 0},
        {"too_long", 0},
        {"noise_bytes", static_cast<long long>(sent.size()) - sentenceBytes},
        {"unknown_type", 0},
        {"fragments_dropped", 0},
        {"ais_undecodable", 0},
        {"malformed", 0},
    };
    EXPECT_EQ(object, expected);
}

long long sum(const Counts& counts) {
    long long total = 0;
    for (const auto& [key, count] : counts) {
        total += count;
    }
    return total;
}

// Each way real talkers end or decorate a sentence: read and counted as a warning of its
// kind by default, dropped and counted under --strict; every byte lands in one outcome
// either way.
TEST(DecodeStats, DeviationsWarnedOrDroppedStrictly) {
    const std::string gga =
        withChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const struct {
        const char* key;
        std::string sentence;
    } cases[] = {
        {"lf_only", gga.substr(0, gga.size() - 2) + "\n"},
        {"cr_cr_lf", gga.substr(0, gga.size() - 2) + "\r\r\n"},
        {"lowercase_checksum", "$GPGGA,1*4b\r\n"},
        {"trailing_data", "!AIVDM,1,1,,B,:6TMCD1GOS60,0*5B,s36310,d-081,T59.01777335\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string stream = "# \"a comment\" " + gga + c.sentence + gga;
        const std::string path = scratch.write("deviation.nmea", stream);
        for (const bool strict : {false, true}) {
            const QJsonObject object =
                stats(std::string("--raw ") + (strict ? "--strict " : "") + path);
            EXPECT_EQ(object["bytes"].toInteger(), static_cast<long long>(stream.size()));
            EXPECT_EQ(sum(counts(object["bytes_by_outcome"].toObject())),
                      static_cast<long long>(stream.size()));
            EXPECT_EQ(object["bytes_by_outcome"]["comments"].toInteger(),
                      static_cast<long long>(gga.size()) + 14);
            EXPECT_EQ(object["accepted"].toInteger(), strict ? 1 : 2);
            EXPECT_EQ(object["malformed"].toInteger(), strict ? 1 : 0);
            Counts warnings = {
                {"lf_only", 0}, {"cr_cr_lf", 0}, {"lowercase_checksum", 0}, {"trailing_data", 0}};
            warnings[c.key] = strict ? 0 : 1;
            EXPECT_EQ(counts(object["warnings"].toObject()), warnings);
        }
    }
}

// The receiver's metadata stays with the decoded message in the named output; comment
// lines quoting sentences decode nothing.
TEST(DecodeStats, NamedOutputKeepsTheTail) {
    const std::string path =
        scratch.write("tail.nmea",
                      "# \"18/05/2012 18:15:37\" !AIVDM,1,1,,B,:6TMCD1GOS60,0*5B\n"
                      "!AIVDM,1,1,,B,:6TMCD1GOS60,0*5b,s36310,d-081,T59.01777335\r\n"
                      "!AIVDM,1,1,,B,:6TMCD1GOS60,0*5B\r\n");
    const std::string out = run(TIDEWRIGHT_DECODE_EXECUTABLE " --raw --named " + path);
    std::istringstream lines(out);
    std::vector<QJsonObject> objects;
    for (std::string line; std::getline(lines, line);) {
        objects.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    }
    ASSERT_EQ(objects.size(), 2u) << out;
    EXPECT_EQ(objects[0]["tail"].toString(), "s36310,d-081,T59.01777335");
    EXPECT_FALSE(objects[1].contains("tail"));
    EXPECT_EQ(objects[0]["fields"], objects[1]["fields"]);
}

}  // namespace
