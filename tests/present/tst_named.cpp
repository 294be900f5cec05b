// The descriptors and what walks them: every table well formed, the types that their
// table alone decodes (real sentences from the gpsd captures, BSD-2-Clause, and
// sentences built from the standard's layouts, in both field counts), the named
// output's values, and positions equal to the wire text over whole captures.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>
#include <cmath>

#include "ais/layout.h"
#include "nmea/checksum.h"
#include "nmea/parser_context.h"
#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "present/field_catalogue.h"
#include "present/fields_doc.h"
#include "present/named_json.h"
#include "present/named_values.h"
#include "present/parse_cycle.h"

namespace {

// Runs the cycle over the bytes; per accepted sentence its named object and its list.
struct NamedSink : present::CycleSink {
    QList<QByteArray> named;
    QStringList lastList;
    std::function<void()> onSentence;
    void resultList(int, const QStringList& list) override { lastList = list; }
    void resultText(int, const QString&) override {}
    void snapshot(int, void*) override {}
    void separator() override {}
    void sentenceDone(int) override {
        std::string out;
        present::appendNamedJson(out, present::currentDecoded(), nmeaz::currentSentenceName);
        named.append(QByteArray::fromStdString(out).trimmed());
        if (onSentence) {
            onSentence();
        }
    }
};

QByteArray fieldsOf(const QByteArray& sentence) {
    NamedSink sink;
    QByteArray bytes =
        sentence[0] == '$' && !sentence.contains('*')
            ? QByteArray::fromStdString(nmeaz::framedSentence('$', sentence.mid(1).toStdString()))
            : sentence + "\r\n";
    present::runParseCycle(bytes, sink);
    if (sink.named.size() != 1) {
        return "not one sentence";
    }
    const QByteArray line = sink.named[0];
    return line.mid(line.indexOf("\"fields\": ") + 10).chopped(1);
}

}  // namespace

class NamedTest : public QObject {
    Q_OBJECT

private slots:
    // Names unique per type, units and ways valid, a position followed by its
    // hemisphere, a labelled row per listed field; AIS fields inside their message.
    void descriptorsAreWellFormed() {
        for (const nmeaz::SentenceLayout& layout : nmeaz::kSentenceLayouts) {
            QSet<QByteArray> names;
            for (std::size_t i = 0; i < layout.fields.size(); ++i) {
                const nmeaz::FieldLayout& f = layout.fields[i];
                QVERIFY2(!names.contains(nmeaz::namedOf(f)), f.name);
                names.insert(nmeaz::namedOf(f));
                QVERIFY(static_cast<int>(f.unit) < nmeaz::kUnitCount);
                QVERIFY2(QByteArray(nmeaz::namedOf(f)) == QByteArray(nmeaz::namedOf(f)).toLower(),
                         f.name);
                if (f.show == nmeaz::Show::Latitude || f.show == nmeaz::Show::Longitude) {
                    QVERIFY2(i + 1 < layout.fields.size() &&
                                 layout.fields[i + 1].show == nmeaz::Show::Hemisphere &&
                                 f.unit == nmeaz::Unit::Degrees,
                             f.name);
                }
                if (f.show != nmeaz::Show::Plain && f.show != nmeaz::Show::Hemisphere) {
                    QCOMPARE(f.kind, nmeaz::FieldKind::Double);
                }
                if (layout.parser == nullptr) {
                    QVERIFY2(f.label != nullptr && layout.listed, f.name);
                }
            }
        }
        // That the AIS fields cover each message's bits is the AIS tests' concern; here,
        // that every message names its fields once, with the fixed names.
        for (const ais::AisMessageLayout& layout : ais::kAisLayouts) {
            QSet<QByteArray> names;
            for (const ais::AisField& f : layout.fields) {
                const QByteArray name = f.named ? f.named : f.name;
                if (f.namedWay == ais::AisNamedWay::Omit) {
                    continue;
                }
                // The gated alternatives of 22, 25 and 26 may share a name.
                QVERIFY2(!names.contains(name) || f.decodeWhen != ais::AisGate::Always, f.name);
                names.insert(name);
                QVERIFY2(name == name.toLower(), f.name);
            }
            QVERIFY(names.contains("type") && names.contains("mmsi"));
        }
    }

    void newTypes_data() {
        QTest::addColumn<QByteArray>("sentence");
        QTest::addColumn<QByteArray>("fields");
        const std::pair<const char*, const char*>
            cases
                [] =
                    {
                        // Real sentences; RMB and GNS in the older and the newer field count.
                        {"$GPRMB,A,,,,,,,,,,,,V*71",
                         R"({"status": "A", "xte": null, "dir_steer": null, "origin_id": null, "dest_id": null, "dest_latitude": null, "dest_longitude": null, "range": null, "bearing": null, "closing_velocity": null, "arrival_status": "V", "mode": null})"},
                        {"$GPRMB,A,,,,,,,,,,,,A,D*0E", R"(, "arrival_status": "A", "mode": "D"})"},
                        {"$GPBOD,,T,,M,,*47",
                         R"({"bearing_true": null, "bearing_true_unit": "T", "bearing_mag": null, "bearing_mag_unit": "M", "dest_id": null, "origin_id": null})"},
                        {"$GPBWC,125106,,,,,,T,,M,,N,,S*68",
                         R"({"utc": "12:51:06.000", "latitude": null,)"},
                        {"$GPRTE,1,1,c,0*07",
                         R"({"sentence_count": 1, "sentence_number": 1, "route_mode": "c", "route_id": "0", "waypoint0": null,)"},
                        {"$GNGST,135806.000,6.1,4.0,4.0,61.0,4.6,4.4,4.8*4E",
                         R"({"utc": "13:58:06.000", "rms": 6.1, "semi_major": 4.0, "semi_minor": 4.0, "orientation": 61.0, "lat_error": 4.6, "lon_error": 4.4, "alt_error": 4.8})"},
                        {"$GPGRS,150119.000,1,-0.33,-2.59,3.03,-0.09,-2.98,7.12,-15.6,17.0,,,,*5A",
                         R"("residual6": -15.6, "residual7": 17.0, "residual8": null, "residual9": null, "residual10": null, "residual11": null, "system_id": null, "signal_id": null})"},
                        {"$GPTXT,01,01,02,u-blox ag - www.u-blox.com*50",
                         R"({"sentence_count": 1, "sentence_number": 1, "text_id": 2, "text": "u-blox ag - www.u-blox.com"})"},
                        {"$GNGBS,135806.000,4.6,4.4,4.8,,,,,,*68",
                         R"({"utc": "13:58:06.000", "lat_error": 4.6, "lon_error": 4.4, "alt_error": 4.8, "failed_satellite": null,)"},
                        {"$GNGNS,213712.000,4111.59903,N,11156.54809,W,AANN,13,0.93,01482.5,-016.5,"
                         ",*52",
                         R"({"utc": "21:37:12.000", "latitude": 41.19331716666667, "longitude": -111.94246816666667, "mode": "AANN", "satinuse": 13, "hdop": 0.93, "altitude": 1482.5, "geoid_separation": -16.5, "dgps_age": null, "dgps_sid": null, "nav_status": null})"},
                        {"$GNGNS,120213.000,5957.0062,N,01100.6429,E,NDD,11,1.3,168.9,39.5,,,V*57",
                         R"("nav_status": "V"})"},
                        {"$GNTHS,244.28,A*11", R"({"heading": 244.28, "mode": "A"})"},
                        {"$HCXDR,A,171,D,PITCH,A,-37,D,ROLL,G,367,,MAGX,G,2420,,MAGY,G,-8984,,MAGZ*"
                         "41",
                         R"({"type0": "A", "value0": 171, "unit0": "D", "name0": "PITCH", "type1": "A", "value1": -37, "unit1": "D", "name1": "ROLL", "type2": "G", "value2": 367, "unit2": null, "name2": "MAGX",)"},
                        // Built from the layouts.
                        {"$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V,A",
                         R"({"status": "A", "xte": 0.66, "dir_steer": "L", "origin_id": "003", "dest_id": "004", "dest_latitude": 49.287333333333336, "dest_longitude": -123.1595, "range": 1.3, "bearing": 52.5, "closing_velocity": 0.5, "arrival_status": "V", "mode": "A"})"},
                        {"$GPBWC,220516,5130.02,N,00046.34,W,213.8,T,218.0,M,0004.6,N,EGLM",
                         R"({"utc": "22:05:16.000", "latitude": 51.50033333333333, "longitude": -0.7723333333333333, "bearing_true": 213.8, "bearing_true_unit": "T", "bearing_mag": 218.0, "bearing_mag_unit": "M", "distance": 4.6, "distance_unit": "N", "waypoint_id": "EGLM", "mode": null})"},
                        {"$GPBWR,081837,,,,,,T,,M,,N,,A", R"("waypoint_id": null, "mode": "A"})"},
                        {"$GPAAM,A,A,0.10,N,WPTNME",
                         R"({"arrival_status": "A", "perpendicular_status": "A", "radius": 0.10, "radius_unit": "N", "waypoint_id": "WPTNME"})"},
                        {"$GPWPL,4917.16,N,12310.64,W,003",
                         R"({"latitude": 49.286, "longitude": -123.17733333333334, "waypoint_id": "003"})"},
                        {"$IIHDM,235.7,M", R"({"heading": 235.7, "heading_unit": "M"})"},
                        {"$IIVWR,075,R,02.5,N,01.3,M,04.6,K",
                         R"({"wind_angle": 75, "wind_side": "R", "speed_knots": 2.5, "speed_knots_unit": "N", "speed_ms": 1.3, "speed_ms_unit": "M", "speed_kmh": 4.6, "speed_kmh_unit": "K"})"},
                        {"$IIVWT,030.,L,10.1,N",
                         R"({"wind_angle": 30, "wind_side": "L", "speed_knots": 10.1, "speed_knots_unit": "N", "speed_ms": null,)"},
                        {"$IIVPW,-4.5,N,-2.3,M",
                         R"({"speed_knots": -4.5, "speed_knots_unit": "N", "speed_ms": -2.3, "speed_ms_unit": "M"})"},
                        {"$GPWCV,2.7,N,WP01",
                         R"({"velocity": 2.7, "velocity_unit": "N", "waypoint_id": "WP01", "mode": null})"},
                        {"$WIMDA,30.1,I,1.02,B,21.3,C,18.5,C,55.0,,11.7,C,270.0,T,265.0,M,12.0,N,6."
                         "2,M",
                         R"("relative_humidity": 55.0, "absolute_humidity": null, "dew_point": 11.7, "dew_point_unit": "C", "wind_dir_true": 270.0,)"},
                        {"$GPDTM,W84,,0.0,N,0.0,E,0.0,W84", R"({"datum": "W84", "subdivision": null, "lat_offset": 0.0, "ns": "N", "lon_offset": 0.0, "ew": "E", "alt_offset": 0.0, "reference_datum": "W84"})"},
                        {"$SDDBS,12.3,f,3.75,M,2.05,F",
                         R"({"depth_feet": 12.3, "depth_feet_unit": "f", "depth_metres": 3.75,)"},
                        {"$SDDBK,8.1,f,2.47,M",
                         R"("depth_metres": 2.47, "depth_metres_unit": "M", "depth_fathoms": null, "depth_fathoms_unit": null})"},
                        {"$GPGBS,235503.00,1.6,1.4,3.2,03,0.0,-21.4,3.8,1,0",
                         R"("failed_satellite": 3, "missed_probability": 0.0, "bias": -21.4, "bias_deviation": 3.8, "system_id": 1, "signal_id": "0"})"},
                        // Older types: time, date and signed positions; the AIS "not available"
                        // codes.
                        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A",
                         R"({"utc": "12:35:19.000", "status": "A", "latitude": 48.1173, "longitude": 11.516666666666667, "sog": 22.4, "cog": 84.4, "date": "1994-03-23", "mag_var": 3.1, "ew2": "W", "mode": "A"})"},
                        {"!AIVDM,1,1,,A,16SteH0P00Jt63hHaa6SagvJ087r,0*42",
                         R"("turn": null, "sog": 0, "position_accuracy": 0, "lon": -70.7582, "lat": 43.08015, "cog": 93.4, "heading": null, "second": 13,)"},
                    };
        for (const auto& [sentence, fields] : cases) {
            QTest::newRow(sentence) << QByteArray(sentence) << QByteArray(fields);
        }
    }
    void newTypes() {
        QFETCH(QByteArray, sentence);
        QFETCH(QByteArray, fields);
        const QByteArray got = fieldsOf(sentence);
        QVERIFY2(
            fields.startsWith('{') ? got.startsWith(fields) || got == fields : got.contains(fields),
            got.constData());
    }

    // A short sentence leaves the fields it does not reach empty in the record too, and
    // its list has a row per catalogue row.
    void shortSentencesClearTheirRecord() {
        NamedSink sink;
        QByteArray bytes =
            QByteArray::fromStdString(nmeaz::framedSentence('$', "GPWCV,2.7,N,WP01,A") +
                                      nmeaz::framedSentence('$', "GPWCV,3.1,N"));
        present::runParseCycle(bytes, sink);
        QCOMPARE(nmeaz::wcvRecord.velocity, 3.1);
        QCOMPARE(nmeaz::wcvRecord.mode, '\0');
        QCOMPARE(sink.lastList, QStringList({"3.1", "N", "", QString(QChar(0))}));
        const auto& catalogue = present::fieldCatalogue();
        const auto wcv = std::find_if(catalogue.begin(), catalogue.end(),
                                      [](const auto& e) { return e.searchText == "wcv"; });
        QVERIFY(wcv != catalogue.end());
        QCOMPARE(wcv->rowCount, 4);
        QCOMPARE(wcv->rowNames[2], std::string_view("Waypoint ID"));
    }

    void wireNumbers() {
        const std::pair<const char*, const char*> numbers[] = {
            {"-01.50", "-1.50"}, {"+7", "7"}, {".5", "0.5"}, {"030.", "30"}, {"000", "0"},
            {"1e5", ""},         {"-", ""},   {"1.2.3", ""}, {"12a", ""},    {".", ""}};
        for (const auto& [text, want] : numbers) {
            QCOMPARE(QByteArray::fromStdString(present::jsonNumber(text).value_or("")),
                     QByteArray(want));
        }
        QVERIFY(!present::wireDegrees("4807.038", 'X'));
        QVERIFY(!present::wireDegrees("48", 'N'));
        QVERIFY(!present::wireTime("1235"));
        QCOMPARE(present::wireTime("123519.1234").value(), std::string("12:35:19.1234"));
        QCOMPARE(present::wireDate("010180").value(), std::string("1980-01-01"));
        QCOMPARE(present::wireDate("311279").value(), std::string("2079-12-31"));
    }

    // Every capture of the test data: valid JSON on every line, no NaN, and every
    // position equal to its wire text to 1e-9 degrees.
    void wholeCapturesKeepTheirPositions() {
        QDir data(QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR));
        QStringList files;
        for (const char* dir : {"nmea", "present/golden", "ais"}) {
            for (const QString& name :
                 QDir(data.filePath(QString::fromLatin1(dir))).entryList(QDir::Files)) {
                if (!name.endsWith(".md") && !name.contains(".json") && !name.endsWith(".chk")) {
                    files.append(data.filePath(QString::fromLatin1(dir) + "/" + name));
                }
            }
        }
        int positions = 0;
        int lines = 0;
        for (const QString& path : files) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll().replace("\r\n", "\n").replace("\n", "\r\n");
            NamedSink sink;
            sink.onSentence = [&] {
                const QByteArray line = sink.named.last();
                if (line.isEmpty()) {
                    return;  // an AIS message without a decoder
                }
                ++lines;
                QJsonParseError error;
                const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
                QVERIFY2(error.error == QJsonParseError::NoError && !line.contains(": NaN") &&
                             !line.contains("inf,") && !line.contains("inf}"),
                         line.constData());
                const present::DecodedSentence& d = present::currentDecoded();
                if (d.sentence == nullptr) {
                    return;
                }
                const QJsonObject fields = object.value("fields").toObject();
                for (std::size_t i = 0; i + 1 < d.sentence->fields.size(); ++i) {
                    const nmeaz::FieldLayout& f = d.sentence->fields[i];
                    if (f.show != nmeaz::Show::Latitude && f.show != nmeaz::Show::Longitude) {
                        continue;
                    }
                    const QByteArray text(d.context->fields[f.from]);
                    const QByteArray hemisphere(d.context->fields[f.from + 1]);
                    bool ok = false;
                    const long double wire = text.toDouble(&ok);
                    if (!ok || text.isEmpty() || hemisphere.isEmpty() ||
                        !QByteArray("NSEW").contains(hemisphere[0])) {
                        continue;
                    }
                    const long double degrees = std::floor(wire / 100);
                    long double want = degrees + (wire - degrees * 100) / 60;
                    want *= (hemisphere[0] == 'S' || hemisphere[0] == 'W') ? -1 : 1;
                    const double got = fields.value(nmeaz::namedOf(f)).toDouble();
                    QVERIFY2(std::fabs(static_cast<double>(want) - got) < 1e-9, line.constData());
                    ++positions;
                }
            };
            present::runParseCycle(bytes, sink);
        }
        QVERIFY(lines > 10000);
        QVERIFY(positions > 5000);
    }

    // docs/fields.md is what the descriptors say; a stale copy names its fresh text.
    void fieldsDocumentIsCurrent() {
        QFile file(QStringLiteral(TIDEWRIGHT_SOURCE_DIR "/docs/fields.md"));
        const std::string fresh = present::fieldsDocument();
        const QByteArray stored = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (stored != QByteArray::fromStdString(fresh)) {
            QFile out(QDir::temp().filePath("fields.md"));
            if (out.open(QIODevice::WriteOnly)) {
                out.write(fresh.data(), static_cast<qint64>(fresh.size()));
            }
            QFAIL(qPrintable("docs/fields.md is stale; the current text is in " + out.fileName()));
        }
    }
};

QTEST_GUILESS_MAIN(NamedTest)
#include "tst_named.moc"
