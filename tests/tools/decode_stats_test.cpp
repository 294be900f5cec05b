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
    };
    EXPECT_EQ(counts(object), expected);
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
    };
    EXPECT_EQ(object, expected);
}

}  // namespace
