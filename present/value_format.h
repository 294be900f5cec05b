// How decoded values are written for people: the same rules serve the result lists,
// the result texts and the XML snapshots, so a value reads identically everywhere.
// Everything here is independent of the C library's locale.
#pragma once

#include <QString>

namespace present {

// General notation with six significant digits, exactly as C's "%g" writes it:
// 4807.038 -> "4807.04", 1234567 -> "1.23457e+06", -0.0 -> "-0", inf -> "inf".
void appendNumber(QString& out, double value);
QString formatNumber(double value);

void appendInteger(QString& out, long long value);
QString formatInteger(long long value);

// One character, whatever it is: a NUL stays a NUL character, bytes above 0x7F are
// read as Latin-1.
void appendCharacter(QString& out, char value);
QString formatCharacter(char value);

// An AIS position in 1/10,000 minute as degrees with exactly five decimals. The value
// is divided by 10,000 and then by 60: dividing once by 600,000 rounds some values
// differently (3 must give 0.00000, 99 must give 0.00017).
QString formatDegrees(long long tenThousandthsOfMinute);

// An AIS speed or course in tenths, truncated to whole units by integer division.
QString formatTenths(long long tenths);

// A NUL-terminated text of at most maxLength bytes, read as Latin-1.
QString formatText(const char* text, int maxLength);

}  // namespace present
