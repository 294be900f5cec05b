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
#include <algorithm>
#include <array>
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

// Their name, ours, and the ways they print "not available" (NaN: none more). The
// weather codes differ between DAC 1 FID 31 and the older FID 11, and between codes
// meaning "not available" and reserved ones; they print the code scaled as a value.
struct Pair {
    const char* theirs;
    const char* ours;
    std::array<double, 3> notAvailable;
};
constexpr Pair kPairs[] = {
    {"mmsi", "mmsi", {NAN, NAN, NAN}},
    {"lat", "lat", {91, NAN, NAN}},
    {"lon", "lon", {181, NAN, NAN}},
    {"speed", "sog", {102.3, NAN, NAN}},
    {"course", "cog", {360, NAN, NAN}},
    {"heading", "heading", {511, NAN, NAN}},
    {"dac", "dac", {NAN, NAN, NAN}},
    {"fid", "fid", {NAN, NAN, NAN}},
    {"status", "status", {NAN, NAN, NAN}},
    {"imo", "imo", {NAN, NAN, NAN}},
    {"shiptype", "shiptype", {NAN, NAN, NAN}},
    // Message 5's voyage values; the ETA's parts come from their "MM-DDThh:mmZ".
    {"draught", "draught", {0, NAN, NAN}},
    {"eta_month", "eta_month", {0, NAN, NAN}},
    {"eta_day", "eta_day", {0, NAN, NAN}},
    {"eta_hour", "eta_hour", {24, NAN, NAN}},
    {"eta_minute", "eta_minute", {60, NAN, NAN}},
    // Message 8's weather and sea values; the time from their "DDThh:mmZ".
    {"day", "utc_day", {0, NAN, NAN}},
    {"hour", "utc_hour", {24, NAN, NAN}},
    {"minute", "utc_minute", {60, NAN, NAN}},
    {"wspeed", "average_wind_speed", {127, NAN, NAN}},
    {"wgust", "wind_gust", {127, NAN, NAN}},
    {"wdir", "wind_direction", {360, 511, NAN}},
    {"wgustdir", "wind_gust_direction", {360, 511, NAN}},
    {"airtemp", "air_temperature", {-102.4, 144.7, NAN}},
    {"humidity", "relative_humidity", {101, 127, NAN}},
    {"dewpoint", "dew_point", {50.1, 82.3, NAN}},
    {"pressure", "air_pressure", {1202, 1310, 1311}},
    {"visibility", "horizontal_visibility", {12.7, 25.5, NAN}},
    {"waterlevel", "water_level", {41.1, NAN, NAN}},
    {"cspeed", "surface_current_speed", {25.5, NAN, NAN}},
    {"cdir", "surface_current_direction", {360, 511, NAN}},
    {"cspeed2", "current_speed_2", {25.5, NAN, NAN}},
    {"cdir2", "current_direction_2", {360, 511, NAN}},
    {"cdepth2", "current_measuring_level_2", {31, NAN, NAN}},
    {"cspeed3", "current_speed_3", {25.5, NAN, NAN}},
    {"cdir3", "current_direction_3", {360, 511, NAN}},
    {"cdepth3", "current_measuring_level_3", {31, NAN, NAN}},
    {"waveheight", "significant_wave_height", {25.5, NAN, NAN}},
    {"waveperiod", "wave_period", {63, NAN, NAN}},
    {"wavedir", "wave_direction", {360, 511, NAN}},
    {"swellheight", "swell_height", {25.5, NAN, NAN}},
    {"swellperiod", "swell_period", {63, NAN, NAN}},
    {"swelldir", "swell_direction", {360, 511, NAN}},
    {"seastate", "sea_state", {13, 15, NAN}},
    {"watertemp", "water_temperature", {50.1, 92.3, NAN}},
    {"preciptype", "precipitation_type", {7, NAN, NAN}},
    {"salinity", "salinity", {51.0, 51.1, NAN}},
    {"ice", "ice", {3, NAN, NAN}},
};

// Their times as text, split into the numbers we name: "05-15T14:00Z" (ETA) and
// "20T18:27Z" (the weather's day and time).
void splitTimes(QJsonObject& theirs) {
    const QString eta = theirs.value("eta").toString();
    if (eta.size() == 12) {
        theirs.insert("eta_month", eta.mid(0, 2).toInt());
        theirs.insert("eta_day", eta.mid(3, 2).toInt());
        theirs.insert("eta_hour", eta.mid(6, 2).toInt());
        theirs.insert("eta_minute", eta.mid(9, 2).toInt());
    }
    const QString stamp = theirs.value("timestamp").toString();
    if (stamp.size() == 9) {
        theirs.insert("day", stamp.mid(0, 2).toInt());
        theirs.insert("hour", stamp.mid(3, 2).toInt());
        theirs.insert("minute", stamp.mid(6, 2).toInt());
    }
}

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
        QJsonObject theirs = QJsonDocument::fromJson(line).object();
        if (theirs.isEmpty()) {
            continue;
        }
        splitTimes(theirs);
        const int type = theirs.value("type").toInt();
        const double mmsi = theirs.value("mmsi").toDouble();
        // The same station may send one type with different contents (8 with DAC 1 FID 11
        // and FID 31).
        // A station may also repeat itself (the same message quoted in a comment line),
        // so a position both give must agree too.
        const auto same = [&](const QJsonObject& mine) {
            const bool bothPlaced = theirs.value("lat").isDouble() && mine.value("lat").isDouble();
            return mine.value("type").toInt() == type && mine.value("mmsi").toDouble() == mmsi &&
                   (!theirs.contains("fid") || mine.value("fid") == theirs.value("fid")) &&
                   (!bothPlaced ||
                    std::fabs(mine.value("lat").toDouble() - theirs.value("lat").toDouble()) <=
                        printedTolerance(line, "lat"));
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
            std::array<double, 3> codes = pair.notAvailable;
            if (type == 27 && pair.ours == std::string("sog")) {
                codes = {63, NAN, NAN};
            } else if (type == 27 && pair.ours == std::string("cog")) {
                codes = {511, NAN, NAN};
            }
            if (value.isNull()) {
                EXPECT_TRUE(std::find(codes.begin(), codes.end(), expected) != codes.end())
                    << pair.ours << " is null, theirs " << expected << " in " << line.toStdString();
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
    EXPECT_GT(compared, 240 + 5 * 40);
}

// A message sent in several sentences is one value: it is written once, when its last
// fragment arrives, and a fragment whose message never completes writes nothing.
TEST(NamedAis, AMultiSentenceMessageIsWrittenOnceWhenComplete) {
    struct Case {
        const char* name;
        const char* input;
        int objects;
    };
    const Case cases[] = {
        {"both fragments",
         "!AIVDM,2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0*1C\\r\\n"
         "!AIVDM,2,2,1,A,88888888880,2*25\\r\\n",
         1},
        {"first fragment alone",
         "!AIVDM,2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0*1C\\r\\n",
         0},
        {"last fragment alone", "!AIVDM,2,2,1,A,88888888880,2*25\\r\\n", 0},
        {"one-sentence message", "!AIVDM,1,1,,A,16SteH0P00Jt63hHaa6SagvJ087r,0*42\\r\\n", 1},
    };
    for (const Case& c : cases) {
        const QByteArray out = run(std::string("printf '") + c.input + "' | " +
                                   TIDEWRIGHT_DECODE_EXECUTABLE " --named");
        const QList<QByteArray> lines = out.trimmed().split('\n');
        int objects = 0;
        for (const QByteArray& line : lines) {
            if (line.isEmpty()) {
                continue;
            }
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            EXPECT_TRUE(object.value("type").isDouble()) << c.name << ": " << line.toStdString();
            ++objects;
        }
        EXPECT_EQ(objects, c.objects) << c.name << ":\n" << out.toStdString();
    }
}

}  // namespace
