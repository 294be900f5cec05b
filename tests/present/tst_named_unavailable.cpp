// The named output of values the wire marks "not available" in the later AIS layouts,
// and text padded the way transponders pad it: messages built bit by bit here, decoded
// through the parse cycle, read back as JSON.
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "nmea/records.h"
#include "present/named_json.h"
#include "present/parse_cycle.h"

namespace {

// A payload written field by field, most significant bit first.
class Payload {
public:
    Payload& put(qint64 value, int width) {
        for (int b = width - 1; b >= 0; --b) {
            bits_.append(static_cast<int>((value >> b) & 1));
        }
        return *this;
    }
    Payload& zeros(int count) {
        bits_.append(QList<int>(count, 0));
        return *this;
    }
    Payload& text(const char* chars, int count) {
        for (int i = 0; i < count; ++i) {
            const int c = chars[i];
            put(c >= 64 ? c - 64 : c, 6);
        }
        return *this;
    }
    QByteArray sentence() const {
        QByteArray armoured;
        for (qsizetype i = 0; i < bits_.size(); i += 6) {
            int v = 0;
            for (qsizetype j = i; j < i + 6; ++j) {
                v = v * 2 + (j < bits_.size() ? bits_[j] : 0);
            }
            armoured += static_cast<char>(v < 40 ? v + 48 : v + 56);
        }
        const int fill = static_cast<int>((6 - bits_.size() % 6) % 6);
        const QByteArray body = "AIVDM,1,1,,A," + armoured + ',' + QByteArray::number(fill);
        quint8 sum = 0;
        for (char c : body) {
            sum ^= static_cast<quint8>(c);
        }
        return '!' + body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper() +
               "\r\n";
    }

private:
    QList<int> bits_;
};

struct NamedSink : present::CycleSink {
    QList<QJsonObject> fields;
    void resultList(int, const QStringList&) override {}
    void resultText(int, const QString&) override {}
    void snapshot(int, void*) override {}
    void separator() override {}
    void sentenceDone(int) override {
        std::string out;
        present::appendNamedJson(out, present::currentDecoded(), nmeaz::currentSentenceName);
        fields.append(QJsonDocument::fromJson(QByteArray::fromStdString(out))
                          .object()[QStringLiteral("fields")]
                          .toObject());
    }
};

QJsonObject decoded(const Payload& payload) {
    NamedSink sink;
    QByteArray bytes = payload.sentence();
    present::runParseCycle(bytes, sink);
    return sink.fields.size() == 1 ? sink.fields.first() : QJsonObject();
}

Payload header(int type, qint64 mmsi) {
    Payload p;
    p.put(type, 6).put(0, 2).put(mmsi, 30);
    return p;
}

// Message 8, DAC 1 FID 31, with its position in 1/1,000 minute and the rest zero.
Payload meteo(qint64 lat1000, qint64 lon1000) {
    Payload p = header(8, 2655619);
    p.put(0, 2).put(1, 10).put(31, 6);
    p.put(lon1000 & ((1 << 25) - 1), 25).put(lat1000 & ((1 << 24) - 1), 24);
    p.zeros(360 - 105);
    return p;
}

// Message 9 (search and rescue aircraft) with its speed in whole knots.
Payload sarAircraft(int sog) {
    Payload p = header(9, 111232511);
    p.put(300, 12).put(sog, 10).put(0, 1);
    p.put(6000000, 28).put(3000000, 27);  // 10 E, 5 N
    p.put(900, 12).put(30, 6).put(0, 8).put(0, 1).put(0, 3).put(0, 1).put(0, 1).put(0, 20);
    return p;
}

// Message 5 with the name (20 characters as sent).
Payload staticVoyage(const char* name20) {
    Payload p = header(5, 211000001);
    p.put(0, 2).put(9123456, 30).text("OXYZ2@@", 7).text(name20, 20);
    p.put(70, 8).put(100, 9).put(20, 9).put(8, 6).put(7, 6).put(1, 4).put(0, 20).put(72, 8);
    p.text("KIEL@@@@@@@@@@@@@@@@", 20).put(0, 1).put(0, 1);
    return p;
}

}  // namespace

class NamedUnavailableTest : public QObject {
    Q_OBJECT

private slots:
    void positionsInThousandthsOfAMinute_data() {
        QTest::addColumn<qint64>("lat");
        QTest::addColumn<qint64>("lon");
        QTest::addColumn<QJsonValue>("latitude");
        QTest::addColumn<QJsonValue>("longitude");
        const QJsonValue null(QJsonValue::Null);
        QTest::newRow("a position")
            << qint64(3000000) << qint64(-600000) << QJsonValue(50.0) << QJsonValue(-10.0);
        QTest::newRow("latitude 91 is not available")
            << qint64(91 * 60000) << qint64(600000) << null << QJsonValue(10.0);
        QTest::newRow("longitude 181 is not available")
            << qint64(60000) << qint64(181 * 60000) << QJsonValue(1.0) << null;
    }
    void positionsInThousandthsOfAMinute() {
        QFETCH(qint64, lat);
        QFETCH(qint64, lon);
        QFETCH(QJsonValue, latitude);
        QFETCH(QJsonValue, longitude);
        const QJsonObject f = decoded(meteo(lat, lon));
        QVERIFY(!f.isEmpty());
        QCOMPARE(f[QStringLiteral("lat")], latitude);
        QCOMPARE(f[QStringLiteral("lon")], longitude);
    }

    void sarAircraftSpeed() {
        QCOMPARE(decoded(sarAircraft(140))[QStringLiteral("sog")], QJsonValue(140));
        QCOMPARE(decoded(sarAircraft(1023))[QStringLiteral("sog")], QJsonValue(QJsonValue::Null));
        QCOMPARE(decoded(sarAircraft(1022))[QStringLiteral("sog")], QJsonValue(1022));
    }

    // Names come padded with '@' or spaces to their 20 characters; neither is part of
    // the name, and neither is a space inside it.
    void paddedNamesAreTrimmed_data() {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("name");
        QTest::newRow("at signs") << QByteArray("NORDIC STAR@@@@@@@@@") << "NORDIC STAR";
        QTest::newRow("spaces") << QByteArray("NORDIC STAR         ") << "NORDIC STAR";
        QTest::newRow("spaces then at signs")
            << QByteArray("NORDIC STAR   @@@@@@") << "NORDIC STAR";
        QTest::newRow("full length")
            << QByteArray("ABCDEFGHIJKLMNOPQRST") << "ABCDEFGHIJKLMNOPQRST";
    }
    void paddedNamesAreTrimmed() {
        QFETCH(QByteArray, wire);
        QFETCH(QString, name);
        QCOMPARE(decoded(staticVoyage(wire.constData()))[QStringLiteral("shipname")].toString(),
                 name);
    }
};

QTEST_GUILESS_MAIN(NamedUnavailableTest)
#include "tst_named_unavailable.moc"
