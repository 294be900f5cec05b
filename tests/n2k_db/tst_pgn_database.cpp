// The PGN database as the programs load it, and what the decoder makes of real
// captures with it: the named output against an independent decoder's reference,
// the inspector rows, and docs/n2k.md.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

#include "n2k/pgn_decoder.h"
#include "n2k_db/database_loader.h"
#include "n2k_db/database_location.h"
#include "present/n2k_doc.h"
#include "present/n2k_named.h"
#include "whole_pgn_lines.h"

namespace {

const QString kDataDir = QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR "/n2k");

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(path));
    }
    return file.readAll();
}

QString named(const n2k::PgnDatabase& db, const n2k::Message& m) {
    auto decoded = std::make_unique<n2k::DecodedPgn>();
    n2k::PgnDecoder decoder(db);
    decoder.decode(m, *decoded);
    std::string out;
    present::appendNamedPgn(db, m, *decoded, out);
    return QString::fromStdString(out);
}

n2k::Message message(std::uint32_t pgn, const QByteArray& hex, std::uint8_t source = 3) {
    n2k::Message m;
    m.pgn = pgn;
    m.priority = 2;
    m.source = source;
    const QByteArray bytes = QByteArray::fromHex(hex);
    m.length = static_cast<int>(bytes.size());
    std::memcpy(m.data, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return m;
}

}  // namespace

class TestPgnDatabase : public QObject {
    Q_OBJECT

private:
    n2k::PgnDatabase db_;

    // Compares one object of fields, recursing into repeating sets; returns mismatches.
    // `cutShort` names the fields that the data's end cut short: missing here, while
    // the reference reads what bits there are.
    QStringList compareFields(const n2k::PgnDef& def, const QJsonObject& ours,
                              const QJsonObject& reference, const QString& where,
                              const QSet<QString>& cutShort) const {
        QStringList problems;
        for (auto it = reference.begin(); it != reference.end(); ++it) {
            if (!ours.contains(it.key()) || it.key().startsWith(QLatin1String("reserved"))) {
                continue;
            }
            const QJsonValue mine = ours.value(it.key());
            const QJsonValue theirs = it.value();
            const QString here = where.isEmpty() ? it.key() : where + QLatin1Char('.') + it.key();
            if (cutShort.contains(here) && mine.isNull()) {
                continue;
            }
            if (theirs.isArray() && mine.isArray()) {
                const QJsonArray a = mine.toArray();
                const QJsonArray b = theirs.toArray();
                if (a.size() != b.size()) {
                    problems << here + QStringLiteral(": %1 items, reference %2")
                                           .arg(a.size())
                                           .arg(b.size());
                    continue;
                }
                for (qsizetype i = 0; i < a.size(); ++i) {
                    problems << compareFields(def, a[i].toObject(), b[i].toObject(),
                                              here + QStringLiteral("[%1]").arg(i), cutShort);
                }
                continue;
            }
            if (theirs.isDouble() && mine.isDouble()) {
                double resolution = 1;
                for (const n2k::FieldDef& f : db_.fields(def)) {
                    if (db_.text(f.id) == it.key().toStdString()) {
                        resolution = std::fabs(f.resolution);
                    }
                }
                if (std::fabs(mine.toDouble() - theirs.toDouble()) > resolution * 1.0001) {
                    problems << here + QStringLiteral(": %1, reference %2")
                                           .arg(mine.toDouble(), 0, 'g', 12)
                                           .arg(theirs.toDouble(), 0, 'g', 12);
                }
                continue;
            }
            // Times, dates and durations the reference writes as text, in seconds here.
            if (theirs.isString() && mine.isDouble()) {
                continue;
            }
            if (mine != theirs) {
                problems << here + QStringLiteral(": %1, reference %2")
                                       .arg(QString::fromUtf8(QJsonDocument(QJsonArray{mine})
                                                                  .toJson(QJsonDocument::Compact)),
                                            QString::fromUtf8(QJsonDocument(QJsonArray{theirs})
                                                                  .toJson(QJsonDocument::Compact)));
            }
        }
        return problems;
    }

private slots:
    void initTestCase() {
        QString error;
        QVERIFY2(n2kdb::loadPgnDatabase(QStringLiteral(TIDEWRIGHT_PGN_DATABASE_FILE), db_, error),
                 qPrintable(error));
    }

    void loadsThePinnedDatabase() {
        QCOMPARE(db_.version(), std::string_view("6.2.0"));
        QCOMPARE(db_.pgns().size(), std::size_t{543});
        QCOMPARE(db_.lookups().size(), std::size_t{220});
        QVERIFY(std::is_sorted(
            db_.pgns().begin(), db_.pgns().end(),
            [](const n2k::PgnDef& a, const n2k::PgnDef& b) { return a.pgn < b.pgn; }));
        QVERIFY(db_.definitionsOf(130820).size() > 10);
        QVERIFY(db_.definitionsOf(12345).empty());
        const auto position = db_.definitionsOf(129025);
        QCOMPARE(position.size(), std::size_t{1});
        QCOMPARE(db_.text(position[0].description), std::string_view("Position, Rapid Update"));
        QCOMPARE(db_.text(db_.fields(position[0])[0].id), std::string_view("latitude"));
        QCOMPARE(db_.fields(position[0])[0].decimals, std::uint8_t{7});
    }

    void fastPacketPredicate_data() {
        QTest::addColumn<uint>("pgn");
        QTest::addColumn<bool>("fast");
        QTest::newRow("position rapid") << 129025u << false;
        QTest::newRow("GNSS position data") << 129029u << true;
        QTest::newRow("product information") << 126996u << true;
        QTest::newRow("address claim") << 60928u << false;
        QTest::newRow("AIS class A report") << 129038u << true;
        QTest::newRow("not in the database") << 12345u << false;
    }
    void fastPacketPredicate() {
        QFETCH(uint, pgn);
        QFETCH(bool, fast);
        QCOMPARE(db_.isFastPacket(pgn), fast);
    }

    // The named output is an object keyed by field id: two fields of one definition
    // (or of one repeating set) sharing an id would lose a value.
    void fieldIdsAreUniqueWithinEachDefinition() {
        for (const n2k::PgnDef& p : db_.pgns()) {
            QSet<QString> seen;
            for (const n2k::FieldDef& f : db_.fields(p)) {
                if (f.type == n2k::FieldType::Reserved || f.type == n2k::FieldType::Spare) {
                    continue;
                }
                const QString id = QString::fromStdString(std::string(db_.text(f.id)));
                QVERIFY2(!seen.contains(id),
                         qPrintable(QStringLiteral("PGN %1 repeats %2").arg(p.pgn).arg(id)));
                seen.insert(id);
            }
        }
    }

    void rejectsBrokenDatabases_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        const QByteArray field =
            R"({"Order":1,"Id":"a","Name":"A","BitLength":8,"FieldType":"NUMBER"})";
        QTest::newRow("not JSON") << QByteArray("{\"PGNs\": [") << "not JSON";
        QTest::newRow("an array") << QByteArray("[]") << "top level is not an object";
        QTest::newRow("no PGNs") << QByteArray(R"({"PGNs": []})") << "lists no PGNs";
        QTest::newRow("unknown field type")
            << QByteArray(
                   R"({"PGNs":[{"PGN":1,"Fields":[{"Order":1,"Id":"a","FieldType":"QUATERNION"}]}]})")
            << "QUATERNION";
        QTest::newRow("unknown lookup table")
            << QByteArray(R"({"PGNs":[{"PGN":1,"Fields":[{"Order":1,"Id":"a","BitLength":2,)"
                          R"("FieldType":"LOOKUP","LookupEnumeration":"NOPE"}]}]})")
            << "NOPE";
        QTest::newRow("fields out of order")
            << QByteArray(
                   R"({"PGNs":[{"PGN":1,"Fields":[{"Order":2,"Id":"a","BitLength":8,"FieldType":"NUMBER"}]}]})")
            << "out of order";
        QTest::newRow("number wider than 64 bits")
            << QByteArray(
                   R"({"PGNs":[{"PGN":1,"Fields":[{"Order":1,"Id":"a","BitLength":65,"FieldType":"NUMBER"}]}]})")
            << "longer than 64 bits";
        QTest::newRow("repeating set past the fields")
            << (QByteArray(R"({"PGNs":[{"PGN":1,"RepeatingFieldSet1StartField":1,)"
                           R"("RepeatingFieldSet1Size":3,"Fields":[)") +
                field + "]}]}")
            << "repeating set";
        QTest::newRow("length from a later field")
            << QByteArray(
                   R"({"PGNs":[{"PGN":1,"Fields":[{"Order":1,"Id":"a","FieldType":"BINARY","BitLengthField":1}]}]})")
            << "does not come before";
    }
    void rejectsBrokenDatabases() {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        n2k::PgnDatabase db;
        QString error;
        QVERIFY(!n2kdb::parsePgnDatabase(json, db, error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(db.empty());
    }

    void missingFileNamesThePath() {
        n2k::PgnDatabase db;
        QString error;
        QVERIFY(!n2kdb::loadPgnDatabase(QStringLiteral("/nonexistent/canboat.json"), db, error));
        QVERIFY2(error.contains(QLatin1String("/nonexistent/canboat.json")), qPrintable(error));
    }

    void findsTheDatabase() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string bin = QDir(dir.path()).filePath(QStringLiteral("bin")).toStdString();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("bin")));
        const std::string exe = bin + "/tidewright";
        // Nothing beside the program: the installed data directory.
        QCOMPARE(n2kdb::pgnDatabasePath(exe, "../share/tidewright", nullptr),
                 dir.path().toStdString() + "/share/tidewright/canboat.json");
        // The environment names a file of one's own.
        QCOMPARE(n2kdb::pgnDatabasePath(exe, "../share/tidewright", "/tmp/mine.json"),
                 std::string("/tmp/mine.json"));
        QCOMPARE(n2kdb::pgnDatabasePath(exe, "../share/tidewright", ""),
                 dir.path().toStdString() + "/share/tidewright/canboat.json");
        // A copy beside the program (the build tree) comes first.
        QFile beside(QString::fromStdString(bin + "/canboat.json"));
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.close();
        QCOMPARE(n2kdb::pgnDatabasePath(exe, "../share/tidewright", nullptr),
                 bin + "/canboat.json");
    }

    void programLoadsWhatTheEnvironmentNames() {
        n2k::PgnDatabase db;
        QString error;
        qputenv(n2kdb::kPgnDatabaseVariable, TIDEWRIGHT_PGN_DATABASE_FILE);
        QVERIFY2(n2kdb::loadProgramPgnDatabase(db, error), qPrintable(error));
        QCOMPARE(db.pgns().size(), db_.pgns().size());
        qputenv(n2kdb::kPgnDatabaseVariable, "/nonexistent/mine.json");
        QVERIFY(!n2kdb::loadProgramPgnDatabase(db, error));
        QVERIFY2(error.contains(QLatin1String("/nonexistent/mine.json")), qPrintable(error));
        qunsetenv(n2kdb::kPgnDatabaseVariable);
    }

    void agreesWithTheReference_data() {
        QTest::addColumn<QString>("capture");
        QTest::addColumn<int>("lines");
        QTest::newRow("PLAIN 129540") << QStringLiteral("129540.raw") << 1;
        QTest::newRow("PLAIN 129538") << QStringLiteral("pgn129538.raw") << 3;
        QTest::newRow("iKonvert") << QStringLiteral("ikonvert-sample.log") << 203;
    }
    void agreesWithTheReference() {
        QFETCH(QString, capture);
        QFETCH(int, lines);
        const QList<QByteArray> input = readFile(kDataDir + QLatin1Char('/') + capture).split('\n');
        const QList<QByteArray> reference =
            readFile(kDataDir + QStringLiteral("/reference/") + capture + QStringLiteral(".json"))
                .split('\n');
        auto m = std::make_unique<n2k::Message>();
        auto decoded = std::make_unique<n2k::DecodedPgn>();
        n2k::PgnDecoder decoder(db_);
        QStringList problems;
        int compared = 0;
        int values = 0;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (input[i].trimmed().isEmpty()) {
                continue;
            }
            QVERIFY2(testsupport::wholePgnFromLine(input[i], *m), input[i].constData());
            decoder.decode(*m, *decoded);
            QVERIFY2(decoded->definition != nullptr, input[i].constData());
            std::string out;
            present::appendNamedPgn(db_, *m, *decoded, out);
            QJsonParseError error;
            const QJsonObject ours =
                QJsonDocument::fromJson(QByteArray::fromStdString(out), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, out.c_str());
            const QJsonObject theirs = QJsonDocument::fromJson(reference.value(compared)).object();
            QCOMPARE(ours.value(QLatin1String("pgn")), theirs.value(QLatin1String("pgn")));
            QCOMPARE(ours.value(QLatin1String("src")), theirs.value(QLatin1String("src")));
            QCOMPARE(ours.value(QLatin1String("prio")), theirs.value(QLatin1String("prio")));
            const QJsonObject fields = ours.value(QLatin1String("fields")).toObject();
            const QJsonObject referenceFields = theirs.value(QLatin1String("fields")).toObject();
            for (auto it = referenceFields.begin(); it != referenceFields.end(); ++it) {
                values += fields.contains(it.key()) ? 1 : 0;
            }
            QSet<QString> cutShort;
            for (int k = 0; k < decoded->count; ++k) {
                const n2k::FieldValue& v = decoded->values[k];
                if (v.kind == n2k::ValueKind::Missing && v.bitLength < v.field->bitLength) {
                    const QString id = QString::fromStdString(std::string(db_.text(v.field->id)));
                    cutShort << (v.set == 0 ? id
                                            : QStringLiteral("%1[%2].%3")
                                                  .arg(v.set == 1 ? "list" : "list2")
                                                  .arg(v.item)
                                                  .arg(id));
                }
            }
            const QString line = QStringLiteral("line %1 PGN %2: ").arg(i + 1).arg(m->pgn);
            for (const QString& problem : compareFields(*decoded->definition, fields,
                                                        referenceFields, QString(), cutShort)) {
                problems << line + problem;
            }
            ++compared;
        }
        QCOMPARE(compared, lines);
        QVERIFY(values >= lines * 2);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 80).join(QLatin1Char('\n'))));
    }

    void namedOutput_data() {
        QTest::addColumn<uint>("pgn");
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("json");
        QTest::newRow("position, the documented example")
            << 129025u << QByteArray("871cd6233fd0e40e")
            << R"({"pgn": 129025, "prio": 2, "src": 3, "dst": 255, "description": "Position, Rapid Update", )"
               R"("fields": {"latitude": 60.1234567, "longitude": 24.9876543}})";
        QTest::newRow("missing values are null")
            << 129025u << QByteArray("ffffff7fffffff7f")
            << R"({"pgn": 129025, "prio": 2, "src": 3, "dst": 255, "description": "Position, Rapid Update", )"
               R"("fields": {"latitude": null, "longitude": null}})";
        QTest::newRow("a lookup by name, temperature in kelvin")
            << 130312u << QByteArray("01020131750000ff")
            << R"({"pgn": 130312, "prio": 2, "src": 3, "dst": 255, "description": "Temperature", )"
               R"("fields": {"sid": 1, "instance": 2, "source": "Outside Temperature", "actualTemperature": 300.01, "setTemperature": 0}})";
        QTest::newRow("unknown PGN, raw")
            << 12345u << QByteArray("0102ff")
            << R"({"pgn": 12345, "prio": 2, "src": 3, "dst": 255, "unknown": true, "data": "01 02 FF"})";
    }
    void namedOutput() {
        QFETCH(uint, pgn);
        QFETCH(QByteArray, hex);
        QFETCH(QString, json);
        auto m = std::make_unique<n2k::Message>(message(pgn, hex));
        QCOMPARE(named(db_, *m), json);
    }

    // GNSS position data carries 64-bit positions at 1e-16 degrees. The payload is a
    // fast packet of a simulator capture (simulator_wind_temp_env.raw, 14:28:58.366, see
    // tests/data/n2k/SOURCES.md), reassembled; the reference gives 53.1800822 and 5.4285007.
    void fineResolutionPosition() {
        auto m =
            std::make_unique<n2k::Message>(message(129029,
                                                   "c9a54ea0a0131f80d8b39a07566107a812ff0aeddbc0006"
                                                   "0d01c030000000010fc0c12024e0234120000ff"));
        const QJsonObject fields = QJsonDocument::fromJson(named(db_, *m).toUtf8())
                                       .object()
                                       .value(QLatin1String("fields"))
                                       .toObject();
        QVERIFY(std::fabs(fields.value(QLatin1String("latitude")).toDouble() - 53.1800822) < 1e-7);
        QVERIFY(std::fabs(fields.value(QLatin1String("longitude")).toDouble() - 5.4285007) < 1e-7);
        QCOMPARE(fields.value(QLatin1String("gnssType")).toString(), QStringLiteral("GPS"));
        QCOMPARE(fields.value(QLatin1String("numberOfSvs")).toInt(), 12);
    }

    void readableRows() {
        // Wind data: 5.14 m/s (10 kn) from 1.5708 rad (90°), apparent.
        auto m = std::make_unique<n2k::Message>(message(130306, "0102025c3dfaffff"));
        auto decoded = std::make_unique<n2k::DecodedPgn>();
        n2k::PgnDecoder decoder(db_);
        decoder.decode(*m, *decoded);
        const QList<present::PgnRow> rows = present::pgnRows(db_, *m, *decoded);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0].name, QStringLiteral("SID"));
        QCOMPARE(rows[0].value, QStringLiteral("1"));
        QCOMPARE(rows[1].name, QStringLiteral("Wind Speed"));
        QCOMPARE(rows[1].value, QStringLiteral("9.99 kn"));
        QCOMPARE(rows[1].unit, QStringLiteral("kn"));
        QCOMPARE(rows[2].value, QStringLiteral("90.0°"));
        QCOMPARE(rows[3].value, QStringLiteral("Apparent"));

        // Temperature: kelvin shown in °C; an unset value is empty.
        *m = message(130312, "01020131750000ff");
        decoder.decode(*m, *decoded);
        const QList<present::PgnRow> temperature = present::pgnRows(db_, *m, *decoded);
        QCOMPARE(temperature[3].value, QStringLiteral("26.86°C"));
        QCOMPARE(temperature[3].unit, QStringLiteral("°C"));

        // System time: the date and the time of day written as such.
        *m = message(126992, "07f0d54820f3f802");
        decoder.decode(*m, *decoded);
        const QList<present::PgnRow> time = present::pgnRows(db_, *m, *decoded);
        QCOMPARE(time.size(), 4);
        QCOMPARE(time[1].value, QStringLiteral("GPS"));
        QCOMPARE(time[2].value, QStringLiteral("2021-01-18"));
        QCOMPARE(time[3].value, QStringLiteral("01:23:06.9600"));

        // Satellites in view: one row per field of every satellite, numbered.
        const QList<QByteArray> lines =
            readFile(kDataDir + QStringLiteral("/129540.raw")).split('\n');
        QVERIFY(testsupport::wholePgnFromLine(lines[0], *m));
        decoder.decode(*m, *decoded);
        const QList<present::PgnRow> sats = present::pgnRows(db_, *m, *decoded);
        const auto prn = std::find_if(sats.begin(), sats.end(), [](const present::PgnRow& r) {
            return r.name == QLatin1String("PRN (18)");
        });
        QVERIFY(prn != sats.end());
    }

    // docs/n2k.md is what the database says; a stale copy names its fresh text.
    void documentIsCurrent() {
        const QByteArray fresh = QByteArray::fromStdString(present::n2kDocument(db_));
        QVERIFY(fresh.contains("## 129025 Position, Rapid Update"));
        QFile file(QStringLiteral(TIDEWRIGHT_SOURCE_DIR "/docs/n2k.md"));
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != fresh) {
            QFile out(QDir::temp().filePath(QStringLiteral("n2k.md")));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(fresh);
            QFAIL(qPrintable("docs/n2k.md is stale; the current text is in " + out.fileName()));
        }
    }
};

QTEST_GUILESS_MAIN(TestPgnDatabase)
#include "tst_pgn_database.moc"
