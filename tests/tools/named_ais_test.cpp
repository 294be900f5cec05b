// tidewright-decode --named on real AIS traffic against the scaled values of an
// independent decoder: every message type that both decode, matched by type and MMSI
// in stream order, every field that both name, to the precision the other decoder
// prints. "Not available" is null on our side and the code itself on theirs.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

QByteArray run(const std::string& command) {
    QByteArray out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.append(buffer, static_cast<qsizetype>(n));
        }
        ::pclose(pipe);
    }
    return out;
}

// Their name, ours, and their "not available" code (NaN: none).
struct Pair {
    const char* theirs;
    const char* ours;
    double notAvailable;
};
constexpr Pair kPairs[] = {
    {"mmsi", "mmsi", NAN},         {"lat", "lat", 91},
    {"lon", "lon", 181},           {"speed", "sog", 102.3},
    {"course", "cog", 360},        {"heading", "heading", 511},
    {"dac", "dac", NAN},           {"fid", "fid", NAN},
    {"status", "status", NAN},     {"imo", "imo", NAN},
    {"shiptype", "shiptype", NAN},
};

// Half a unit of the last digit the other decoder printed for `key` in `line`.
double printedTolerance(const QByteArray& line, const char* key) {
    const QByteArray label = QByteArray("\"") + key + "\":";
    const qsizetype at = line.indexOf(label);
    qsizetype i = at + label.size();
    int decimals = 0;
    bool fraction = false;
    for (; i < line.size() && line[i] != ',' && line[i] != '}'; ++i) {
        if (fraction) {
            ++decimals;
        }
        fraction = fraction || line[i] == '.';
    }
    return 0.5 * std::pow(10.0, -decimals) + 1e-9;
}

TEST(NamedAis, AgreesWithTheScaledValuesOfAnIndependentDecoder) {
    const QByteArray named =
        run(TIDEWRIGHT_DECODE_EXECUTABLE " --named " TIDEWRIGHT_AIS_TEST_DATA "/sample.aivdm");
    QList<QJsonObject> ours;
    for (const QByteArray& line : named.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.value("type").isDouble()) {  // fragments of a message are not messages
            ours.append(object.value("fields").toObject());
        }
    }
    ASSERT_GT(ours.size(), 90);

    QFile reference(TIDEWRIGHT_AIS_TEST_DATA "/sample.aivdm.js.chk");
    ASSERT_TRUE(reference.open(QIODevice::ReadOnly));
    QSet<qsizetype> used;
    int matched = 0;
    QList<qint64> unmatched;
    int compared = 0;
    for (const QByteArray& line : reference.readAll().split('\n')) {
        const QJsonObject theirs = QJsonDocument::fromJson(line).object();
        if (theirs.isEmpty()) {
            continue;
        }
        const int type = theirs.value("type").toInt();
        const double mmsi = theirs.value("mmsi").toDouble();
        // The same station may send one type with different contents (8 with DAC 1 FID 11
        // and FID 31).
        const auto same = [&](const QJsonObject& mine) {
            return mine.value("type").toInt() == type && mine.value("mmsi").toDouble() == mmsi &&
                   (!theirs.contains("fid") || mine.value("fid") == theirs.value("fid"));
        };
        qsizetype found = 0;
        while (found < ours.size() && (used.contains(found) || !same(ours[found]))) {
            ++found;
        }
        if (found == ours.size()) {
            // Receiver metadata after the checksum ("*4A,b003660465") is read by both;
            // other data there (trailing spaces, an escaped "\x0d\x0a") is dropped by
            // our framer and read by theirs.
            unmatched.append(static_cast<qint64>(mmsi));
            continue;
        }
        used.insert(found);
        ++matched;
        const QJsonObject& mine = ours[found];
        for (const Pair& pair : kPairs) {
            if (!theirs.value(pair.theirs).isDouble() || !mine.contains(pair.ours)) {
                continue;
            }
            const double expected = theirs.value(pair.theirs).toDouble();
            const QJsonValue value = mine.value(pair.ours);
            // Message 27 has codes of its own: 63 knots, 511 degrees.
            const double code = type == 27 && pair.ours == std::string("sog")   ? 63
                                : type == 27 && pair.ours == std::string("cog") ? 511
                                                                                : pair.notAvailable;
            if (value.isNull()) {
                EXPECT_EQ(expected, code) << pair.ours << " in " << line.toStdString();
            } else {
                EXPECT_NEAR(value.toDouble(), expected, printedTolerance(line, pair.theirs))
                    << pair.ours << " in " << line.toStdString();
            }
            ++compared;
        }
        // Binary data: its bit count, and the digits both give whole.
        const QString data = theirs.value("data").toString();
        if (mine.contains("data") && data.contains(':')) {
            const int bits = data.section(':', 0, 0).toInt();
            EXPECT_EQ(mine.value("data_bits").toInt(), bits) << line.toStdString();
            EXPECT_TRUE(
                data.section(':', 1).startsWith(mine.value("data").toString().left(bits / 4)))
                << line.toStdString();
        }
    }
    const QList<qint64> withOtherTrailingData = {992509977, 4000003};
    EXPECT_EQ(unmatched, withOtherTrailingData);
    EXPECT_EQ(matched, 95);
    EXPECT_GT(compared, 240);
}

}  // namespace
