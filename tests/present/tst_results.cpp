// The result texts and result lists of every type, from real sentences through the
// parse cycle: exact spacing, order and value notation.
#include <QTest>

#include "ais/vdm.h"
#include "cycle_recorder.h"
#include "nmea/records.h"
#include "present/result_text.h"

using namespace testing_present;

namespace {

// An expected list written compactly, entries separated by '|'.
QStringList L(const char* entries) {
    return QString::fromLatin1(entries).split(u'|');
}

// Runs one sentence through a fresh cycle and returns what it published.
CycleRecorder publish(const QByteArray& bytes) {
    QByteArray buffer;
    return cycle(buffer, bytes);
}

}  // namespace

class ResultsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ais::aisResetFragmentTable(); }

    void sentenceResults_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("list");  // empty: the type has no result list
        const QStringList none;                 // the type has no result list

        QTest::newRow("GGA") << QByteArray(
                                    "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
                             << "\nGGA::\nTime:123519  Latitude:4807.04N  Longtitude:1131E  "
                                "sig:1  sati:8  HDOP:0.9  elv:545.4M  dif:46.9Mdpgs_age:0  "
                                "dgps_sid:0"
                             << L("123519|4807.04|N|1131|E|1|8|0.9|545.4|M|46.9|M|0|0");
        QTest::newRow("RMC")
            << QByteArray("GPRMC,123519.45,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A")
            << "\nRMC::\nTime:123519  status:A  Lat:4807.04N  Lon:1131E  "
               "Sog:22.4  Cog:84.4  Date:230394  Mag_var:3.1W  Mode:A"
            << L("123519|A|4807.04|N|1131|E|22.4|84.4|230394|3.1|W|A");
        // GLL shows its time first in both, unlike its record.
        QTest::newRow("GLL") << QByteArray("GPGLL,4916.45,N,12311.12,W,225444,A,D")
                             << "\nGLL::\n  Time:225444  Latitude:4916.45N  "
                                "Longtitude:12311.1W  status:A  mode:D"
                             << L("225444|4916.45|N|12311.1|W|A|D");
        QTest::newRow("DPT") << QByteArray("SDDPT,2.5,-0.3,100")
                             << "\nDPT::\n  Water Depth:2.5  Offset:-0.3  Max range scale:100"
                             << L("2.5|-0.3|100");
        // The text puts the dilutions before the satellites, the list after them.
        QTest::newRow("GSA") << QByteArray("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1")
                             << "\nGSA::\n  fix_mode:A  fix_type:3  PDOP:2.5  HDOP:1.3  "
                                "VDOP:2.1  sat0:4  sat1:5  sat2:0  sat3:9  sat4:12 sat5:0  "
                                "sat6:0  sat7:24  sat8:0  sat9:0 sat10:0  sat11:0"
                             << L("A|3|4|5|0|9|12|0|0|24|0|0|0|0|2.5|1.3|2.1");
        QTest::newRow("HDG") << QByteArray("HCHDG,98.3,0.0,E,12.6,W")
                             << "\nHDG\n mag_sen_head:98.3  mag_deviation:0E  "
                                "mag_variation:12.6W"
                             << L("98.3|0|E|12.6|W");
        QTest::newRow("MTW") << QByteArray("YXMTW,17.75,C") << "\nMTW\n  temperature:17.75C"
                             << L("17.75|C");
        QTest::newRow("MWD") << QByteArray("WIMWD,270.0,T,265.5,M,12.4,N,6.4,M")
                             << "\nMWD\n  wind_dir_true:270T  wind_dir_mag:265.5M  "
                                "wind_speed_knot:12.4N  wind_speed_ms:6.4M"
                             << L("270|T|265.5|M|12.4|N|6.4|M");
        QTest::newRow("RMA") << QByteArray("GPRMA,A,4916.45,N,12311.12,W,1.2,3.4,5.6,78.9,3.1,E,A")
                             << "\nRMA\n  status:A  latitude:4916.45N  longitude:12311.1W  "
                                "time_dif_a:1.2  time_dif_b:3.4  sog:5.6  cog:78.9  "
                                "mag_var:3.1E  mode:A"
                             << L("A|4916.45|N|12311.1|W|1.2|3.4|5.6|78.9|3.1|E|A");
        QTest::newRow("RSA") << QByteArray("IIRSA,10.5,A,-3.2,V") << "\nRSA\n  sre:10.5A  prs:-3.2V"
                             << L("10.5|A|-3.2|V");
        QTest::newRow("VHW") << QByteArray("IIVHW,245.1,T,237.3,M,5.2,N,9.6,K")
                             << "\nVHW\n  heading_true:245.1T  heading_mag:237.3M  "
                                "speed_knot:5.2N  speed_ms:9.6K"
                             << L("245.1|T|237.3|M|5.2|N|9.6|K");
        QTest::newRow("VLW") << QByteArray("IIVLW,1234.5,N,12.3,N,2345.6,N,23.4,N")
                             << "\nVLW\n  tcwd:1234.5N  wdsr:12.3N  tcgd:2345.6N  gdsr:23.4N"
                             << L("1234.5|N|12.3|N|2345.6|N|23.4|N");
        QTest::newRow("XTE") << QByteArray("GPXTE,A,A,0.67,L,N,D")
                             << "\nXTE\n  status1:A  status2:A  mag_ct:0.67  dir_steer:L  "
                                "units:N  mode:D"
                             << L("A|A|0.67|L|N|D");
        QTest::newRow("ZDA") << QByteArray("GPZDA,201530.00,04,07,2002,-05,30")
                             << "\nZDA\n  utc: 201530  day:4  mon:7  year:2002  hour:-5  min:30"
                             << L("201530|4|7|2002|-5|30");
        QTest::newRow("DBT") << QByteArray("SDDBT,7.8,f,2.4,M,1.3,F")
                             << "\nDBT\n  water_depth:7.8f  water_depth:2.4M  "
                                "water_depth:1.3F"
                             << none;
        QTest::newRow("GSV")
            << QByteArray("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00")
            << "\nGSV\n  pack_count:3  pack_index:1  sat_count:11 " << none;
        QTest::newRow("HDT") << QByteArray("HEHDT,274.07,T") << "\nHDT\n  heading:274.07T" << none;
        QTest::newRow("HSC") << QByteArray("GPHSC,123.4,T,120.1,M")
                             << "\nHSC\n  heading1:123.4T  heading2:120.1M" << none;
        QTest::newRow("MWV") << QByteArray("IIMWV,045.0,R,12.6,N,A")
                             << "\nMWV\n  wind_angle:45R  wind_speed:12.6N  status:A" << none;
        QTest::newRow("ROT") << QByteArray("TIROT,-2.5,A") << "\nROT\n  rot:-2.5  status:A" << none;
        QTest::newRow("RPM") << QByteArray("IIRPM,E,1,2418.2,10.5,A")
                             << "\nRPM\n  source:E  number:1  speed:2418.2  propeller:10.5  "
                                "status:A"
                             << none;
        QTest::newRow("VBW") << QByteArray("IIVBW,12.3,0.07,A,11.5,0.1,A,0.2,A,0.3,A")
                             << "\nVBW\n  lws:12.3  tws:0.07  status1:A  lgs:11.5  tgs:0.1  "
                                "status2:Astws:0.2  status3:A  stgs:0.3  status:A"
                             << none;
        QTest::newRow("VDR") << QByteArray("IIVDR,10.1,T,12.3,M,1.2,N")
                             << "\nVDR\n  dir1:10.1T  dir2:12.3M  current_speed:1.2N" << none;
        QTest::newRow("VTG") << QByteArray("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A")
                             << "\nVTG\n  cog1:54.7T  cog2:34.4M  sog1:5.5N  sog2:10.2K  mode:A"
                             << none;
    }
    void sentenceResults() {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QFETCH(QStringList, list);
        const CycleRecorder got = publish(sentence(body));
        QCOMPARE(got.texts, QStringList{text});
        if (list.isEmpty()) {
            QVERIFY(got.lists.isEmpty());
        } else {
            QCOMPARE(got.lists, QList<QStringList>{list});
        }
    }

    // An empty character field holds NUL and the texts carry it as one character.
    void emptyCharacterFieldGivesNul() {
        const CycleRecorder got = publish(sentence("GPMWV,045.0,,12.6,N,A"));
        QCOMPARE(got.texts.size(), 1);
        QCOMPARE(got.texts[0], QString("\nMWV\n  wind_angle:45") + QChar(u'\0') +
                                   QString("  wind_speed:12.6N  status:A"));
    }

    // The texts are built as if QString::arg replaced one placeholder after the
    // other, re-reading what earlier values inserted. Values holding '%' and digits
    // must not be taken for placeholders by mistake in either direction.
    void substitutionMatchesChainedArg() {
        const QStringList templates = {
            "\nGGA::\nTime:%1  Latitude:%2%3  Longtitude:%4%5  sig:%6  sati:%7  HDOP:%8  "
            "elv:%9%10  dif:%11%12dpgs_age:%13  dgps_sid:%14",
            "\nVBW\n  lws:%1  tws:%2  status1:%3  lgs:%4  tgs:%5  status2:%6stws:%7  "
            "status3:%8  stgs:%9  status:%10",
            "\nGSA::\n  fix_mode:%1  fix_type:%2  PDOP:%3  HDOP:%4  VDOP:%5  sat0:%6  sat1:%7  "
            "sat2:%8  sat3:%9  sat4:%10 sat5:%11  sat6:%12  sat7:%13  sat8:%14  sat9:%15 "
            "sat10:%16  sat11:%17"};
        for (const QString& templ : templates) {
            const int count = templ.count(u'%');
            QStringList values;
            for (int i = 0; i < count; ++i) {
                values.append(i % 3 == 2 ? QString("%") : QString::number(i + 10));
            }
            QString chained = templ;
            for (const QString& value : values) {
                chained = chained.arg(value);
            }
            QCOMPARE(present::substitutePlaceholders(templ, values.constData(), count), chained);
        }
    }

    void aisLists_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("list");
        // Values checked against the corpus' independent decoding (raw units there:
        // 1/10,000 minute, 1/10 knot, 1/10 degree).
        QTest::newRow("message 1")
            << aivdm("1,1,,B,15M67FC000G?ufbE`FepT@3n00Sa,0") << "!AIVDM_MSG1"
            << L("1|0|366053209|3|0|0|0|-122.34162|37.80212|219|1|59|0|0|0|0|0|2281");
        QTest::newRow("message 5, two fragments")
            << aivdm("2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0") +
                   aivdm("2,2,1,A,88888888880,2")
            << "!AIVDM_MSG5"
            << L("5|0|351759000|0|9134270|3FOF8  |EVER DIADEM         "
                 "|70|225|70|1|31|1|359296|122|NEW YORK            |0|0");
        // Selector 1: the four ITDMA values follow (CommState 393222: sync 3, slot
        // increment 0, 3 slots, keep flag 0).
        QTest::newRow("message 18, ITDMA")
            << aivdm("1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUoP06,0") << "!AIVDM_MSG18"
            << L("18|0|338087471|0|0|0|-74.07213|40.68454|79|511|49|2|1|1|1|3|0|3|0");
        // The same message with its selector bit (148) cleared: three SOTDMA values.
        QTest::newRow("message 18, SOTDMA")
            << aivdm("1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUmP06,0") << "!AIVDM_MSG18"
            << L("18|0|338087471|0|0|0|-74.07213|40.68454|79|511|49|2|1|1|0|3|0|6");
    }
    void aisLists() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, key);
        QFETCH(QStringList, list);
        const CycleRecorder got = publish(bytes);
        QCOMPARE(got.lists, QList<QStringList>{list});
        QVERIFY(got.texts.isEmpty());
        QCOMPARE(QString::fromLatin1(nmeaz::currentSentenceName), key);
    }
};

QTEST_APPLESS_MAIN(ResultsTest)
#include "tst_results.moc"
