#include "present/value_format.h"

#include <charconv>
#include <cstring>

namespace present {

namespace {

void appendAscii(QString& out, const char* begin, const char* end) {
    out.append(QLatin1StringView(begin, end - begin));
}

}  // namespace

void appendNumber(QString& out, double value) {
    // std::to_chars in general format with a precision is specified as printf's %g in
    // the C locale, including "-0", "inf", "-inf" and "nan".
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    appendAscii(out, buffer, result.ptr);
}

QString formatNumber(double value) {
    QString out;
    appendNumber(out, value);
    return out;
}

void appendInteger(QString& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendAscii(out, buffer, result.ptr);
}

QString formatInteger(long long value) {
    QString out;
    appendInteger(out, value);
    return out;
}

void appendCharacter(QString& out, char value) {
    out.append(QChar(static_cast<unsigned char>(value)));
}

QString formatCharacter(char value) {
    return QString(QChar(static_cast<unsigned char>(value)));
}

QString formatDegrees(long long tenThousandthsOfMinute) {
    const double degrees = static_cast<double>(tenThousandthsOfMinute) / 10000.0 / 60.0;
    char buffer[48];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 5);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString formatTenths(long long tenths) {
    return formatInteger(tenths / 10);
}

QString formatText(const char* text, int maxLength) {
    const void* end = std::memchr(text, '\0', static_cast<size_t>(maxLength));
    const qsizetype length = end ? static_cast<const char*>(end) - text : maxLength;
    return QString::fromLatin1(text, length);
}

}  // namespace present
