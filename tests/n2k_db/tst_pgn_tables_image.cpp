// The prepared PGN tables: read instead of the JSON only when they were made from the
// very file beside them, equal to what the JSON gives, and refused (never trusted,
// never a crash) when damaged.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <random>

#include "n2k/pgn_tables_image.h"
#include "n2k_db/database_loader.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::string imageOf(const n2k::PgnDatabase& db) {
    return n2k::writeTablesImage(db.tables(), 0, 0);
}

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

}  // namespace

class TestPgnTablesImage : public QObject {
    Q_OBJECT

    n2k::PgnDatabase fromJson_;
    QByteArray json_;
    QTemporaryDir dir_;

    QString databaseCopy() const { return dir_.filePath(QStringLiteral("canboat.json")); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        json_ = readAll(QStringLiteral(TIDEWRIGHT_PGN_DATABASE_FILE));
        QVERIFY(!json_.isEmpty());
        QString error;
        QVERIFY2(n2kdb::parsePgnDatabase(json_, fromJson_, error), qPrintable(error));
        QVERIFY(writeAll(databaseCopy(), json_));
        QVERIFY2(n2kdb::writeTablesImageFor(databaseCopy(), n2kdb::tablesImagePath(databaseCopy()),
                                            error),
                 qPrintable(error));
    }

    // Every member of every table survives the trip, and the build's own prepared
    // tables are byte for byte what the loader writes.
    void preparedTablesEqualTheJson() {
        n2k::PgnDatabase db;
        QString error;
        QVERIFY2(n2kdb::loadPgnDatabase(databaseCopy(), db, error), qPrintable(error));
        QVERIFY(imageOf(db) == imageOf(fromJson_));
        QCOMPARE(readAll(QStringLiteral(TIDEWRIGHT_PGN_TABLES_FILE)),
                 readAll(n2kdb::tablesImagePath(databaseCopy())));
    }

    // The loader takes the prepared tables when they match the file, and the JSON as
    // soon as the file is edited: a marked copy of the tables tells which was read.
    void preparedTablesAreReadOnlyForTheirOwnDatabase() {
        const QString imagePath = n2kdb::tablesImagePath(databaseCopy());
        QByteArray image = readAll(imagePath);
        const QByteArray version = QByteArrayLiteral(
            "\x05\0\0\0\0\0\0\0"
            "6.2.0");
        const qsizetype at = image.indexOf(version);
        QVERIFY(at > 0);
        image[at + version.size() - 1] = '9';
        QVERIFY(writeAll(imagePath, image));

        n2k::PgnDatabase db;
        QString error;
        QVERIFY2(n2kdb::loadPgnDatabase(databaseCopy(), db, error), qPrintable(error));
        QCOMPARE(db.version(), std::string_view("6.2.9"));

        QVERIFY(writeAll(databaseCopy(), json_ + ' '));
        QVERIFY2(n2kdb::loadPgnDatabase(databaseCopy(), db, error), qPrintable(error));
        QCOMPARE(db.version(), std::string_view("6.2.0"));

        QVERIFY(writeAll(imagePath, QByteArrayLiteral("TWPGNTBL")));
        QVERIFY2(n2kdb::loadPgnDatabase(databaseCopy(), db, error), qPrintable(error));
        QCOMPARE(db.pgns().size(), fromJson_.pgns().size());
    }

    // Cut short anywhere, the image is refused; with bytes changed anywhere, it is
    // refused or yields tables that pass the same checks as the JSON's. The sanitizer
    // build runs this for reads past the end and wild counts.
    void damagedImagesAreRefused() {
        const std::string image = n2k::writeTablesImage(fromJson_.tables(), 7, 11);
        n2k::PgnTables tables;
        QVERIFY(n2k::readTablesImage(image, 7, 11, tables));
        QVERIFY(!n2k::readTablesImage(image, 8, 11, tables));
        QVERIFY(!n2k::readTablesImage(image, 7, 12, tables));
        QVERIFY(!n2k::readTablesImage(image + "x", 7, 11, tables));
        for (std::size_t size = 0; size < image.size(); size += 997) {
            QVERIFY(!n2k::readTablesImage(std::string_view(image).substr(0, size), 7, 11, tables));
        }
        std::mt19937 random(20261207);
        std::uniform_int_distribution<std::size_t> where(8, image.size() - 1);
        for (int i = 0; i < 300; ++i) {
            std::string damaged = image;
            for (int j = 0; j < 4; ++j) {
                damaged[where(random)] ^= static_cast<char>(1 + random() % 255);
            }
            if (n2k::readTablesImage(damaged, 7, 11, tables)) {
                QVERIFY(n2k::checkTables(tables).empty());
            }
        }
    }

    void tablesHashSeesEveryByte() {
        const std::uint64_t whole = n2k::databaseHash(view(json_));
        for (const qsizetype at : {qsizetype(0), json_.size() / 2, json_.size() - 1}) {
            QByteArray changed = json_;
            changed[at] = char(changed[at] ^ 1);
            QVERIFY(n2k::databaseHash(view(changed)) != whole);
        }
        QVERIFY(n2k::databaseHash(view(json_.chopped(1))) != whole);
    }
};

QTEST_GUILESS_MAIN(TestPgnTablesImage)
#include "tst_pgn_tables_image.moc"
