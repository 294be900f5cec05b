#include "present/readable_values.h"

#include <cmath>

#include "ais/eta.h"
#include "nmea/sentence_fields.h"
#include "present/named_values.h"

namespace present {

namespace {

QString unitSymbol(nmeaz::Unit unit) {
    using nmeaz::Unit;
    switch (unit) {
        case Unit::None:
            return QString();
        case Unit::Degrees:
            return QStringLiteral("°");
        case Unit::Knots:
            return QStringLiteral("kn");
        case Unit::MetresPerSecond:
            return QStringLiteral("m/s");
        case Unit::KilometresPerHour:
            return QStringLiteral("km/h");
        case Unit::Metres:
            return QStringLiteral("m");
        case Unit::Feet:
            return QStringLiteral("ft");
        case Unit::Fathoms:
            return QStringLiteral("fm");
        case Unit::NauticalMiles:
            return QStringLiteral("NM");
        case Unit::Celsius:
            return QStringLiteral("°C");
        case Unit::Bar:
            return QStringLiteral("bar");
        case Unit::InchesOfMercury:
            return QStringLiteral("inHg");
        case Unit::Percent:
            return QStringLiteral("%");
        case Unit::Seconds:
            return QStringLiteral("s");
        case Unit::Microseconds:
            return QStringLiteral("µs");
        case Unit::Hours:
            return QStringLiteral("h");
        case Unit::Minutes:
            return QStringLiteral("min");
        case Unit::ArcMinutes:
            return QStringLiteral("′");
        case Unit::DegreesPerMinute:
            return QStringLiteral("°/min");
        case Unit::RevolutionsPerMinute:
            return QStringLiteral("rpm");
    }
    return QString();
}

QString withUnit(const QString& value, const QString& unit) {
    if (value.isEmpty() || unit.isEmpty()) {
        return value;
    }
    // Degree and minute signs sit on the number; the other units after a space.
    const bool tight = unit == u"°" || unit == u"′" || unit == u"%";
    return tight ? value + unit : value + u' ' + unit;
}

// Signed decimal degrees as degrees, minutes to four decimals and the hemisphere:
// 48.1173 with 'N' and 'S' gives "48°07.0380′ N".
QString degreesMinutes(double degrees, bool latitude) {
    const QChar hemisphere = latitude ? (degrees < 0 ? u'S' : u'N') : (degrees < 0 ? u'W' : u'E');
    const double magnitude = std::fabs(degrees);
    long long tenThousandths = std::llround(magnitude * 600000.0);  // minutes * 10^4
    const long long whole = tenThousandths / 600000;
    tenThousandths -= whole * 600000;
    return QStringLiteral("%1°%2.%3′ %4")
        .arg(whole, latitude ? 2 : 3, 10, QChar(u'0'))
        .arg(tenThousandths / 10000, 2, 10, QChar(u'0'))
        .arg(tenThousandths % 10000, 4, 10, QChar(u'0'))
        .arg(hemisphere);
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

ReadableRow sentenceRow(const DecodedSentence& decoded, std::size_t index) {
    const nmeaz::SentenceLayout& layout = *decoded.sentence;
    const nmeaz::FieldLayout& field = layout.fields[index];
    const std::string_view text = wireField(*decoded.context, layout, field);
    const QString unit = unitSymbol(field.unit);
    if (text.empty()) {
        return {QString(), unit};
    }
    switch (field.show) {
        case nmeaz::Show::Latitude:
        case nmeaz::Show::Longitude: {
            const std::string_view hemisphere =
                index + 1 < layout.fields.size()
                    ? wireField(*decoded.context, layout, layout.fields[index + 1])
                    : std::string_view();
            if (const auto degrees =
                    wireDegrees(text, hemisphere.empty() ? '\0' : hemisphere.front())) {
                return {degreesMinutes(*degrees, field.show == nmeaz::Show::Latitude), unit};
            }
            return {latin1(text), unit};
        }
        case nmeaz::Show::Time:
            if (auto time = wireTime(text)) {
                // Whole seconds read better without ".000".
                if (time->size() == 12 && time->ends_with(".000")) {
                    time->resize(8);
                }
                return {QString::fromStdString(*time), unit};
            }
            return {latin1(text), unit};
        case nmeaz::Show::Date:
            if (const auto date = wireDate(text)) {
                return {QString::fromStdString(*date), unit};
            }
            return {latin1(text), unit};
        case nmeaz::Show::Plain:
        case nmeaz::Show::Hemisphere:
            break;
    }
    if (field.kind == nmeaz::FieldKind::Double || field.kind == nmeaz::FieldKind::Int) {
        if (const auto number = jsonNumber(text)) {
            return {withUnit(QString::fromStdString(*number), unit), unit};
        }
    }
    return {latin1(text), unit};
}

ReadableRow aisRow(const ais::AisField& field, const void* record) {
    using Way = ais::AisNamedWay;
    QString unit;
    switch (field.namedWay) {
        case Way::Speed:
        case Way::WholeKnots:
        case Way::Speed27:
            unit = QStringLiteral("kn");
            break;
        case Way::Course:
        case Way::Course27:
        case Way::Heading:
        case Way::Latitude:
        case Way::Longitude:
        case Way::Latitude10:
        case Way::Longitude10:
        case Way::Latitude1000:
        case Way::Longitude1000:
            unit = QStringLiteral("°");
            break;
        case Way::Scaled:
            if (field.scale.unit != nullptr) {
                unit = QString::fromUtf8(field.scale.unit);
            }
            break;
        case Way::Eta:
            unit = QStringLiteral("UTC");
            break;
        case Way::Turn:
        case Way::Plain:
        case Way::Omit:
            break;
    }
    if (aisIsText(field)) {
        return {latin1(aisText(field, record)), unit};
    }
    const auto number = aisNumber(field, record);
    if (!number) {
        return {QStringLiteral("n/a"), unit};
    }
    if (field.namedWay == Way::Eta) {
        char text[12];
        ais::aisEtaText(static_cast<std::uint32_t>(*number), text);
        return {withUnit(QString::fromLatin1(text), unit), unit};
    }
    switch (field.namedWay) {
        case Way::Latitude:
        case Way::Latitude10:
        case Way::Latitude1000:
            return {degreesMinutes(*number, true), unit};
        case Way::Longitude:
        case Way::Longitude10:
        case Way::Longitude1000:
            return {degreesMinutes(*number, false), unit};
        default:
            break;
    }
    return {withUnit(QString::fromStdString(shortestNumber(*number)), unit), unit};
}

}  // namespace

QList<NamedReadableRow> aisScaledRows(const ais::AisMessageLayout& layout, const void* record) {
    QList<NamedReadableRow> rows;
    for (const ais::AisField& field : layout.fields) {
        if (field.namedWay != ais::AisNamedWay::Scaled || !aisFieldShown(layout, field, record) ||
            !aisNumber(field, record)) {
            continue;
        }
        rows.append({QString::fromLatin1(field.named != nullptr ? field.named : field.name),
                     aisRow(field, record)});
    }
    return rows;
}

QList<ReadableRow> readableRows(const DecodedSentence& decoded) {
    QList<ReadableRow> rows;
    if (decoded.record == nullptr) {
        return rows;
    }
    if (decoded.ais != nullptr) {
        for (const ais::AisField& field : decoded.ais->fields) {
            if (ais::aisFieldListed(*decoded.ais, field, decoded.record)) {
                rows.append(ais::aisFieldPresent(*decoded.ais, field, decoded.record)
                                ? aisRow(field, decoded.record)
                                : ReadableRow{QString(), QString()});
            }
        }
        return rows;
    }
    const nmeaz::SentenceLayout* layout = decoded.sentence;
    if (layout == nullptr || !layout->listed) {
        return rows;
    }
    const int leading = layout->leadingField;
    if (leading >= 0) {
        rows.append(sentenceRow(decoded, static_cast<std::size_t>(leading)));
    }
    for (std::size_t i = 0; i < layout->fields.size(); ++i) {
        if (static_cast<int>(i) != leading) {
            rows.append(sentenceRow(decoded, i));
        }
    }
    return rows;
}

}  // namespace present
