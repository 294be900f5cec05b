// Locale-free number conversion of wire text.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "nmea/decimal.h"

namespace nmeaz {
namespace {

// Where the wire grammar differs from strtod's, and texts cut short by `end`.
TEST(DecimalToDouble, GrammarBeyondStrtod) {
    for (const char* text : {"0x1A", "inf", "nan", "infinity"})
        EXPECT_EQ(decimalToDouble(text), 0.0) << text;
    const char text[] = "12345.678";
    EXPECT_EQ(decimalToDouble(text, text + 3), 123.0);
    EXPECT_EQ(decimalToDouble(text, text + 7), 12345.6);
    EXPECT_EQ(decimalToDouble(text, text), 0.0);
    EXPECT_EQ(decimalToInt(text, text + 3), 123);
    const char exponent[] = "1e5";
    EXPECT_EQ(decimalToDouble(exponent, exponent + 2), 1.0);
}

// Only space and tab lead a number; any other control character makes it no number.
TEST(DecimalToDouble, FieldWhiteSpaceIsSpaceAndTabOnly) {
    const std::pair<const char*, double> cases[] = {
        {" 12.5", 12.5}, {"\t12.5", 12.5}, {" \t-3", -3.0}, {"\v12.5", 0.0},
        {"\f12.5", 0.0}, {"\n12.5", 0.0},  {"\r12.5", 0.0}, {" \v1", 0.0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(decimalToDouble(text), value) << text;
        EXPECT_EQ(decimalToInt(text), static_cast<int>(value)) << text;
    }
}

// Random decimal texts of every shape the grammar allows, with long digit runs and
// large exponents now and then, sometimes followed by what ends a field.
std::string randomDecimal(std::mt19937_64& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto digits = [&](int most) {
        std::string s;
        for (int i = pick(most); i > 0; --i)
            s += static_cast<char>('0' + pick(10));
        return s;
    };
    const char* signs[] = {"", "", "+", "-", " -", "\t"};
    std::string s = signs[pick(6)] + digits(pick(4) == 0 ? 40 : 8);
    if (pick(2) == 0)
        s += std::string(".") + digits(pick(4) == 0 ? 40 : 10);
    if (pick(4) == 0)
        s += std::string(1, "eE"[pick(2)]) + signs[pick(4)] + digits(pick(3) == 0 ? 4 : 3);
    if (pick(3) == 0)
        s += "*,\rE"[pick(4)];
    return s;
}

// Bit for bit the value of glibc's strtod in the C locale, which rounds correctly.
TEST(DecimalToDouble, MatchesCorrectlyRoundedStrtod) {
    std::setlocale(LC_ALL, "C");
    const std::string largest = "17976931348623157" + std::string(292, '0');
    const std::string tiny = "0." + std::string(400, '0') + "1";
    std::vector<std::string> texts = {largest, largest + "0", tiny, "-" + tiny};
    for (const char* text : {"4807.038", "1e400", "-1e400", "1e-400", "4.9e-324", "1e999999999",
                             "2.2250738585072011e-308", "9007199254740993", "0e999999"})
        texts.push_back(text);
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i)
        texts.push_back(randomDecimal(random));
    for (const std::string& text : texts) {
        const double expected = std::strtod(text.c_str(), nullptr);
        const double actual = decimalToDouble(text.c_str());
        ASSERT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0)
            << '"' << text << "\" gave " << actual << ", strtod " << expected;
    }
}

// decimalToInt reads what strtoll reads in the C locale, saturated to 32 bits.
TEST(DecimalToInt, MatchesSaturatedStrtoll) {
    for (const char* text : {"0042", " +7", "-3.7", "", "WPT1", "-", "12*3C", "2147483647",
                             "2147483648", "-2147483648", "-2147483649", "4294967296",
                             "99999999999999999999999", "-99999999999999999999999"}) {
        const long long wide = std::strtoll(text, nullptr, 10);
        EXPECT_EQ(decimalToInt(text), std::clamp<long long>(wide, INT_MIN, INT_MAX)) << text;
    }
}

// A GUI application runs under the user's locale. Build a comma-decimal locale on the
// spot: the C library then misreads wire text, these conversions do not.
TEST(DecimalConversion, IgnoresACommaDecimalLocale) {
    const std::string dir = ::testing::TempDir() + "nmeaz-locale-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const int built = std::system(
        ("localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1").c_str());
    ::setenv("LOCPATH", dir.c_str(), 1);
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    if (comma) {
        EXPECT_EQ(std::strtod("4807.038", nullptr), 4807.0);  // the fault being avoided
        EXPECT_EQ(decimalToDouble("4807.038"), 4807.038);
        EXPECT_EQ(decimalToDouble("4807,038"), 4807.0);
        EXPECT_EQ(decimalToInt("2010"), 2010);
    }
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);
    if (!comma)
        GTEST_SKIP() << "cannot build a de_DE locale here (localedef exit " << built << ")";
}

}  // namespace
}  // namespace nmeaz
