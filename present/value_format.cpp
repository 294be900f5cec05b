#include "present/value_format.h"

#include <charconv>
#include <cstring>

#include "present/number_chars.h"

namespace present {

namespace {

void appendAscii(QString& out, const char* begin, const char* end) {
    out.append(QLatin1StringView(begin, end - begin));
}

}  // namespace

void appendNumber(QString& out, double value) {
    char buffer[kNumberCharsSize];
    appendAscii(out, buffer, writeGeneral6(buffer, value));
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
    char buffer[kNumberCharsSize];
    const char* end = writeDegrees5(buffer, tenThousandthsOfMinute);
    return QString::fromLatin1(buffer, end - buffer);
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
