// Value formatting: general notation as C's %g, degrees, tenths and characters.
#include <QTest>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "present/value_format.h"

using namespace present;

namespace {

QString printfG(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return QString::fromLatin1(buffer);
}

// Doubles spread over every exponent the notation switches at, with both signs.
QList<double> sampleValues() {
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-9, 12);
    QList<double> values;
    for (int i = 0; i < 20000; ++i) {
        double v = mantissa(random) * std::pow(10.0, exponent(random));
        values.append(i % 2 ? -v : v);
    }
    // Values on rounding boundaries of six significant digits.
    for (double v : {999999.5, 999999.4, 99999.95, 0.0001, 0.00009999995, 123519.55, 235959.7,
                     4807.0385, 0.5, 1e-5, 1e6, 1e15, 1e16, 1e17}) {
        values.append(v);
        values.append(-v);
    }
    return values;
}

}  // namespace

class ValueFormatTest : public QObject {
    Q_OBJECT

private slots:
    void numbers_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("position") << 4807.038 << "4807.04";
        QTest::newRow("whole") << 1131.0 << "1131";
        QTest::newRow("time") << 123519.0 << "123519";
        QTest::newRow("time fraction lost") << 123519.45 << "123519";
        QTest::newRow("time rounds up") << 123519.55 << "123520";
        QTest::newRow("six digits carry") << 235959.7 << "235960";
        QTest::newRow("exponent") << 1234567.0 << "1.23457e+06";
        QTest::newRow("small fixed") << 0.0001 << "0.0001";
        QTest::newRow("small exponent") << 0.00001 << "1e-05";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "-0";
        QTest::newRow("negative") << -2.5 << "-2.5";
        QTest::newRow("infinity") << inf << "inf";
        QTest::newRow("negative infinity") << -inf << "-inf";
    }
    void numbers() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatNumber(value), expected);
    }

    void numbersMatchPrintfG() {
        for (double v : sampleValues()) {
            QCOMPARE(formatNumber(v), printfG(v));
        }
    }

    void degrees_data() {
        QTest::addColumn<qlonglong>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0LL << "0.00000";
        QTest::newRow("west") << -43874074LL << "-73.12346";
        // Divided by 10,000 and then by 60: one division by 600,000 would give
        // 0.00001 and 0.00016 here.
        QTest::newRow("three") << 3LL << "0.00000";
        QTest::newRow("ninety-nine") << 99LL << "0.00017";
        QTest::newRow("tiny negative") << -1LL << "-0.00000";
        QTest::newRow("not available") << 108600000LL << "181.00000";
        QTest::newRow("latitude") << 22681194LL << "37.80199";
    }
    void degrees() {
        QFETCH(qlonglong, value);
        QFETCH(QString, expected);
        QCOMPARE(formatDegrees(value), expected);
    }

    void tenthsTruncate() {
        QCOMPARE(formatTenths(123), QString("12"));
        QCOMPARE(formatTenths(3599), QString("359"));
        QCOMPARE(formatTenths(9), QString("0"));
        QCOMPARE(formatTenths(1023), QString("102"));
    }

    void charactersAreKeptWhole() {
        const QString nul = formatCharacter('\0');
        QCOMPARE(nul.size(), 1);
        QCOMPARE(nul.at(0).unicode(), u'\0');
        QCOMPARE(formatCharacter('\xB0').at(0).unicode(), u'\u00B0');  // read as Latin-1
    }
};

QTEST_APPLESS_MAIN(ValueFormatTest)
#include "tst_value_format.moc"
