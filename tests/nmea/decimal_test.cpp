// Locale-free number conversion of wire text.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include <unistd.h>

#include "nmea/decimal.h"

namespace nmeaz {
namespace {

bool sameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct DoubleCase {
    const char* text;
    double value;
};

TEST(DecimalToDouble, DefinedCases) {
    const double inf = std::numeric_limits<double>::infinity();
    const DoubleCase cases[] = {
        {"4807.038", 4807.038},
        {"01131.000", 1131.0},
        {"123519", 123519.0},
        {"  \t+12.5", 12.5},
        {"-2.5", -2.5},
        {"-0", -0.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"1.8*33\r\n", 1.8},
        {"2.5,N", 2.5},
        {"1e3", 1000.0},
        {"1E-2", 0.01},
        {"1e", 1.0},  // an exponent needs a digit
        {"1e+", 1.0},
        {"", 0.0},
        {"*", 0.0},
        {".", 0.0},
        {"-.e5", 0.0},
        {"N", 0.0},
        {"0x1A", 0.0},  // no hexadecimal
        {"inf", 0.0},   // no words
        {"nan", 0.0},
        {"infinity", 0.0},
        {"1e400", inf},
        {"-1e400", -inf},
        {"1e-400", 0.0},
        {"4.9e-324", 4.9406564584124654e-324},
        {"2.2250738585072011e-308", 2.2250738585072009e-308},
        {"9007199254740993", 9007199254740992.0},  // ties to even beyond 2^53
        {"00000000000000000000000000000001.5", 1.5},
        {"0.000000000000000000000000000000000000000000001", 1e-45},
    };
    for (const DoubleCase& c : cases) {
        EXPECT_TRUE(sameDouble(decimalToDouble(c.text), c.value))
            << c.text << " -> " << decimalToDouble(c.text);
    }
}

TEST(DecimalToDouble, LongDigitStringsAtTheEdgeOfTheRange) {
    const std::string largest = "17976931348623157" + std::string(292, '0');
    EXPECT_EQ(decimalToDouble(largest.c_str()), 1.7976931348623157e308);
    EXPECT_TRUE(std::isinf(decimalToDouble((largest + "0").c_str())));
    const std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_TRUE(sameDouble(decimalToDouble(tiny.c_str()), 0.0));
    EXPECT_TRUE(sameDouble(decimalToDouble(("-" + tiny).c_str()), -0.0));
}

TEST(DecimalToDouble, EndBoundsTheText) {
    const char text[] = "12345.678";
    EXPECT_EQ(decimalToDouble(text, text + 3), 123.0);
    EXPECT_EQ(decimalToDouble(text, text + 7), 12345.6);
    EXPECT_EQ(decimalToDouble(text, text), 0.0);
    const char exponent[] = "1e5";
    EXPECT_EQ(decimalToDouble(exponent, exponent + 2), 1.0);
}

TEST(DecimalToInt, DefinedCases) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {"0042", 42},
        {"-05", -5},
        {" +7", 7},
        {"3.7", 3},
        {"-3.7", -3},
        {"", 0},
        {"WPT1", 0},
        {"-", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX},
        {"-99999999999999999999999", INT_MIN},
        {"12*3C", 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decimalToInt(c.text), c.value) << c.text;
    const char bounded[] = "123456";
    EXPECT_EQ(decimalToInt(bounded, bounded + 2), 12);
}

// Random decimal texts of every shape the grammar allows, compared bit for bit with
// glibc's strtod in the C locale (which rounds correctly).
std::string randomDecimal(std::mt19937_64& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string s;
    if (pick(8) == 0)
        s += " ";
    if (pick(3) == 0)
        s += "+-"[pick(2)];
    const int integerDigits = pick(4) == 0 ? pick(40) : pick(8);
    for (int i = 0; i < integerDigits; ++i)
        s += static_cast<char>('0' + pick(10));
    if (pick(2) == 0) {
        s += '.';
        const int fractionDigits = pick(4) == 0 ? pick(40) : pick(10);
        for (int i = 0; i < fractionDigits; ++i)
            s += static_cast<char>('0' + pick(10));
    }
    if (pick(4) == 0) {
        s += "eE"[pick(2)];
        if (pick(2) == 0)
            s += "+-"[pick(2)];
        const int exponent = pick(3) == 0 ? pick(400) : pick(30);
        if (pick(10) != 0)
            s += std::to_string(exponent);
    }
    if (pick(3) == 0)
        s += "*,\r"[pick(3)];
    return s;
}

TEST(DecimalToDouble, MatchesCorrectlyRoundedStrtod) {
    std::setlocale(LC_ALL, "C");
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = randomDecimal(random);
        const double expected = std::strtod(text.c_str(), nullptr);
        const double actual = decimalToDouble(text.c_str());
        ASSERT_TRUE(sameDouble(actual, expected))
            << '"' << text << "\" gave " << actual << ", strtod " << expected;
    }
}

TEST(DecimalToInt, MatchesSaturatedStrtoll) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        const int digits = static_cast<int>(random() % 14);
        for (int d = 0; d < digits; ++d)
            text += static_cast<char>('0' + random() % 10);
        const long long wide = std::strtoll(text.c_str(), nullptr, 10);
        const int expected = wide > INT_MAX   ? INT_MAX
                             : wide < INT_MIN ? INT_MIN
                                              : static_cast<int>(wide);
        ASSERT_EQ(decimalToInt(text.c_str()), expected) << text;
    }
}

// A GUI application runs under the user's locale. Build a comma-decimal locale on the
// spot (no system locale needs to be installed) and show that the C library changes
// its reading of wire text while these conversions do not.
TEST(DecimalConversion, IgnoresACommaDecimalLocale) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("nmeaz-locale-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    const int built = std::system(command.c_str());
    ::setenv("LOCPATH", dir.c_str(), 1);
    const char* set = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (set == nullptr) {
        std::filesystem::remove_all(dir);
        GTEST_SKIP() << "cannot build a de_DE locale here (localedef exit " << built << ")";
    }
    EXPECT_EQ(std::strtod("4807.038", nullptr), 4807.0);  // the fault being avoided
    EXPECT_EQ(decimalToDouble("4807.038"), 4807.038);
    EXPECT_EQ(decimalToDouble("-0.5e1"), -5.0);
    EXPECT_EQ(decimalToDouble("4807,038"), 4807.0);
    EXPECT_EQ(decimalToInt("2010"), 2010);

    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace nmeaz
