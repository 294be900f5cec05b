#include "app/plot/plot_hub.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QRegularExpression>
#include <cstring>

#include "app/ais_targets_model.h"
#include "app/line_health.h"
#include "app/plot/plot_window.h"
#include "app/show_dialog.h"
#include "n2k/pgn_decoder.h"
#include "n2k_db/database_loader.h"
#include "nmea/decimal.h"
#include "plot/plot_series.h"
#include "present/field_catalogue.h"
#include "present/n2k_named.h"
#include "present/parse_cycle.h"
#include "present/readable_values.h"
#include "targets/target_fields.h"

namespace {

// The number a field holds, if it is one: digits with an optional sign and point.
bool wireNumber(QByteArrayView text, double* value) {
    if (text.isEmpty())
        return false;
    bool digit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (!(c == '.' || ((c == '-' || c == '+') && i == 0)))
            return false;
    }
    if (!digit)
        return false;
    *value = nmeaz::decimalToDouble(text.data(), text.data() + text.size());
    return true;
}

// The numeric target fields: positions and words are not plotted.
bool plottable(targets::FieldKind kind) {
    return kind == targets::FieldKind::Knots || kind == targets::FieldKind::Degrees ||
           kind == targets::FieldKind::Integer || kind == targets::FieldKind::Metres;
}

// A PGN and source address as `--plot` takes them: "129025:3", or the key as the
// inspector lists it ("129025 Position, Rapid Update · src 3").
bool pgnKey(const QString& key, quint32* pgn, int* address) {
    static const QRegularExpression pair(QStringLiteral(R"(^\s*(\d{1,6})\s*:\s*(\d{1,4})\s*$)"));
    static const QRegularExpression listed(
        QStringLiteral(R"(^\s*(\d{1,6})\s.*\bsrc\s+(\d{1,4})\s*$)"));
    QRegularExpressionMatch match = pair.match(key);
    if (!match.hasMatch())
        match = listed.match(key);
    if (!match.hasMatch())
        return false;
    *pgn = match.captured(1).toUInt();
    *address = match.captured(2).toInt();
    return true;
}

// The repeating set a field of `pgn` belongs to; 0 for none.
int setOf(const n2k::PgnDef& pgn, const n2k::FieldDef& field) {
    for (int set = 0; set < 2; ++set) {
        const n2k::RepeatingSet& s = pgn.sets[set];
        if (s.startField != 0 && field.order >= s.startField && field.order < s.startField + s.size)
            return set + 1;
    }
    return 0;
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PlotSource PlotSource::pgnField(const QString& key, quint32 pgn, quint8 address,
                                const present::PgnRow& row) {
    PlotSource source;
    source.kind = Kind::PgnField;
    source.key = key;
    source.index = row.item;
    source.label = row.name;
    source.unit = row.unit;
    source.pgn = pgn;
    source.address = address;
    source.fieldId = row.id;
    return source;
}

QString PlotSource::seriesName() const {
    switch (kind) {
        case Kind::ResultRow:
            return QStringLiteral("%1 %2").arg(key, label);
        case Kind::WireField:
            return QStringLiteral("%1 field %2").arg(key).arg(index);
        case Kind::TargetField:
            return QStringLiteral("AIS %1 %2").arg(key, label);
        case Kind::PgnField:
            return QStringLiteral("%1 %2").arg(key, label);
    }
    return key;
}

PlotHub::PlotHub(QObject* parent)
    : PlotHub([] { return QDateTime::currentMSecsSinceEpoch(); }, parent) {}

PlotHub::PlotHub(Clock clock, QObject* parent) : QObject(parent), clock_(std::move(clock)) {}

PlotHub::~PlotHub() {
    for (const QPointer<PlotWindow>& window : windows_) {
        if (window)
            disconnect(window, nullptr, this, nullptr);
    }
}

QList<PlotWindow*> PlotHub::windows() const {
    QList<PlotWindow*> open;
    for (const QPointer<PlotWindow>& window : windows_) {
        if (window)
            open << window.data();
    }
    return open;
}

PlotWindow* PlotHub::plot(const PlotSource& source, bool newWindow) {
    PlotWindow* window = nullptr;
    if (!newWindow) {
        // The window in front: the active one, else the newest.
        const QList<PlotWindow*> open = windows();
        for (PlotWindow* candidate : open) {
            if (candidate->isActiveWindow())
                window = candidate;
        }
        if (window == nullptr && !open.isEmpty())
            window = open.constLast();
    }
    if (window == nullptr) {
        window = new PlotWindow(clock_, windowParent_);
        windows_ << window;
        // Once the window is gone: while it is being destroyed it is no PlotWindow any
        // more, and its guard is cleared only after the signal.
        connect(window, &QObject::destroyed, this, &PlotHub::forgetClosed, Qt::QueuedConnection);
    }
    const QString name = source.seriesName();
    const bool known = window->findSeries(name) != nullptr;
    plot::PlotSeries* series = window->addSeries(name, source.unit);
    if (!known) {
        const Feed feed{source, series, window};
        switch (source.kind) {
            case PlotSource::Kind::ResultRow:
                resultFeeds_[source.key] << feed;
                break;
            case PlotSource::Kind::WireField:
                wireFeeds_[source.key.toLatin1()] << feed;
                break;
            case PlotSource::Kind::TargetField:
                targetFeeds_ << feed;
                break;
            case PlotSource::Kind::PgnField:
                pgnFeeds_[source.pgn << 8 | source.address] << feed;
                break;
        }
    }
    window->show();
    window->raise();
    return window;
}

bool PlotHub::plotNamed(const QString& key, const QString& field, QString* error) {
    quint32 pgn = 0;
    int address = 0;
    if (pgnKey(key, &pgn, &address))
        return plotPgnNamed(pgn, address, field, error);
    PlotSource source;
    source.key = key;
    bool number = false;
    const quint32 mmsi = key.toUInt(&number);
    if (number) {
        const auto& fields = targets::kTargetFields;
        for (int i = 0; i < static_cast<int>(std::size(fields)); ++i) {
            const QString label = QString::fromUtf8(fields[i].label);
            const QString shortLabel = label.section(QStringLiteral(" ("), 0, 0);
            if (plottable(fields[i].kind) &&
                (field.compare(label, Qt::CaseInsensitive) == 0 ||
                 field.compare(shortLabel, Qt::CaseInsensitive) == 0 ||
                 field.compare(QLatin1String(fields[i].json), Qt::CaseInsensitive) == 0)) {
                source.kind = PlotSource::Kind::TargetField;
                source.key = QString::number(mmsi);
                source.index = i;
                source.label = label;
                plot(source);
                return true;
            }
        }
        *error = tr("AIS targets have no numeric field '%1'").arg(field);
        return false;
    }
    QString wire = field;
    if (wire.startsWith(QStringLiteral("field "), Qt::CaseInsensitive))
        wire = wire.mid(6);
    const int index = wire.toInt(&number);
    if (number) {
        if (index < 1) {
            *error = tr("Field numbers start at 1 (0 is the address)");
            return false;
        }
        source.kind = PlotSource::Kind::WireField;
        source.index = index;
        source.label = tr("field %1").arg(index);
        plot(source);
        return true;
    }
    // An inspector row: its name, or the start of one name alone ("Horizontal dil").
    const int entry = catalogueEntryForKey(key);
    if (entry >= 0) {
        const auto& names = present::fieldCatalogue()[static_cast<std::size_t>(entry)].rowNames;
        int exact = -1, prefixed = -1, prefixes = 0;
        for (int row = 0; row < static_cast<int>(names.size()); ++row) {
            const auto& name = names[static_cast<std::size_t>(row)];
            const QString text =
                QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
            if (text.compare(field, Qt::CaseInsensitive) == 0 && exact < 0)
                exact = row;
            else if (text.startsWith(field, Qt::CaseInsensitive)) {
                prefixed = row;
                ++prefixes;
            }
        }
        const int row = exact >= 0 ? exact : prefixes == 1 ? prefixed : -1;
        if (row >= 0) {
            const auto& name = names[static_cast<std::size_t>(row)];
            source.kind = PlotSource::Kind::ResultRow;
            source.index = row;
            source.label = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
            plot(source);
            return true;
        }
    }
    *error = tr("'%1' has no field '%2'").arg(key, field);
    return false;
}

bool PlotHub::plotPgnNamed(quint32 pgn, int address, const QString& field, QString* error) {
    if (address > 255) {
        *error = tr("NMEA 2000 addresses go from 0 to 255, not %1").arg(address);
        return false;
    }
    QString why;
    const n2k::PgnDatabase* database = n2kdb::programPgnDatabase(why);
    if (database == nullptr) {
        *error = tr("NMEA 2000 fields need the PGN database: %1").arg(why);
        return false;
    }
    if (database->definitionsOf(pgn).empty()) {
        *error = tr("The PGN database has no PGN %1").arg(pgn);
        return false;
    }
    // "SNR (3)": the third item of a repeating set; a set's field without a number
    // is its first item.
    static const QRegularExpression numbered(QStringLiteral(R"(^(.*\S)\s*\((\d{1,4})\)\s*$)"));
    const QRegularExpressionMatch match = numbered.match(field);
    const QString name = match.hasMatch() ? match.captured(1) : field.trimmed();
    const int item = match.hasMatch() ? match.captured(2).toInt() : 0;
    for (const n2k::PgnDef& definition : database->definitionsOf(pgn)) {
        for (const n2k::FieldDef& def : database->fields(definition)) {
            const QString id = fromView(database->text(def.id));
            const QString label = fromView(database->text(def.name));
            if (name.compare(id, Qt::CaseInsensitive) != 0 &&
                name.compare(label, Qt::CaseInsensitive) != 0)
                continue;
            const bool inSet = setOf(definition, def) != 0;
            if (!present::shownAsNumber(def.type, database->text(def.unit)) ||
                (!inSet && item != 0) || (inSet && match.hasMatch() && item < 1))
                continue;
            present::PgnRow row;
            row.id = id.toUtf8();
            row.item = inSet ? std::max(item, 1) : 0;
            row.name = inSet ? QStringLiteral("%1 (%2)").arg(label).arg(row.item) : label;
            const QString key = QString::fromUtf8(
                LineHealth::pgnKeyText(pgn, fromView(database->text(definition.description)),
                                       static_cast<quint8>(address)));
            plot(PlotSource::pgnField(key, pgn, static_cast<quint8>(address), row));
            return true;
        }
    }
    *error = tr("PGN %1 has no numeric field '%2'").arg(pgn).arg(field);
    return false;
}

void PlotHub::resultList(const QString& key, const QStringList& list) {
    if (resultFeeds_.isEmpty())
        return;
    const auto found = resultFeeds_.find(key);
    if (found == resultFeeds_.end())
        return;
    const qint64 now = clock_();
    for (Feed& feed : *found) {
        if (!feed.window || feed.source.index >= list.size())
            continue;
        bool ok = false;
        const double value = list[feed.source.index].trimmed().toDouble(&ok);
        if (!ok)
            continue;
        if (feed.series->unit().empty() && feed.series->size() == 0) {
            const QList<present::ReadableRow> rows =
                present::readableRows(present::currentDecoded());
            if (feed.source.index < rows.size())
                feed.series->setUnit(rows[feed.source.index].unit.toStdString());
        }
        feed.series->add(now, value);
        feed.window->touch();
    }
}

void PlotHub::framed(QByteArrayView sentence, bool checksumGood) {
    if (wireFeeds_.isEmpty() || !checksumGood)
        return;
    qsizetype end = sentence.indexOf('*');
    if (end < 0) {
        end = sentence.size();
        while (end > 0 && (sentence[end - 1] == '\r' || sentence[end - 1] == '\n'))
            --end;
    }
    const QByteArrayView body = sentence.first(end);
    const qsizetype comma = body.indexOf(',');
    const auto found = wireFeeds_.find((comma < 0 ? body : body.first(comma)).toByteArray());
    if (found == wireFeeds_.end())
        return;
    const qint64 now = clock_();
    for (Feed& feed : *found) {
        if (!feed.window)
            continue;
        // Field N lies after the Nth comma.
        qsizetype from = 0;
        int field = 0;
        while (field < feed.source.index && from >= 0) {
            from = body.indexOf(',', from);
            if (from >= 0)
                ++from;
            ++field;
        }
        if (from < 0)
            continue;
        qsizetype to = body.indexOf(',', from);
        if (to < 0)
            to = body.size();
        double value = 0;
        if (wireNumber(body.sliced(from, to - from), &value)) {
            feed.series->add(now, value);
            feed.window->touch();
        }
    }
}

void PlotHub::sampleTargets() {
    if (targetFeeds_.isEmpty() || targets_ == nullptr)
        return;
    const qint64 now = clock_();
    char text[64];
    for (Feed& feed : targetFeeds_) {
        if (!feed.window)
            continue;
        const targets::Target* target = targets_->table().find(feed.source.key.toUInt());
        const auto& info = targets::kTargetFields[static_cast<std::size_t>(feed.source.index)];
        if (target == nullptr || !target->slot(info.field).known)
            continue;
        targets::formatField(*target, info, text, sizeof text);
        const QByteArray shown(text);
        const qsizetype space = shown.indexOf(' ');
        double value = 0;
        if (wireNumber(space < 0 ? QByteArrayView(shown) : QByteArrayView(shown).first(space),
                       &value)) {
            feed.series->add(now, value);
            feed.window->touch();
        }
    }
}

void PlotHub::pgn(const n2k::PgnDatabase& database, const n2k::Message& message,
                  const n2k::DecodedPgn& decoded) {
    if (pgnFeeds_.isEmpty())
        return;
    const auto found = pgnFeeds_.find(message.pgn << 8 | message.source);
    if (found == pgnFeeds_.end())
        return;
    const qint64 now = clock_();
    for (Feed& feed : *found) {
        if (!feed.window)
            continue;
        const std::string_view id(feed.source.fieldId.constData(),
                                  static_cast<std::size_t>(feed.source.fieldId.size()));
        for (int i = 0; i < decoded.count; ++i) {
            const n2k::FieldValue& value = decoded.values[i];
            if ((value.set == 0 ? 0 : value.item + 1) != feed.source.index ||
                database.text(value.field->id) != id)
                continue;
            present::ShownNumber shown;
            if (present::shownNumber(value, shown)) {
                if (feed.series->unit().empty() && feed.series->size() == 0)
                    feed.series->setUnit(shown.unit.toStdString());
                feed.series->add(now, shown.value);
                feed.window->touch();
            }
            break;
        }
    }
}

void PlotHub::forgetClosed() {
    auto drop = [](QList<Feed>& feeds) {
        feeds.removeIf([](const Feed& f) { return f.window.isNull(); });
    };
    auto dropKeyed = [&drop](auto& feeds) {
        for (auto it = feeds.begin(); it != feeds.end();) {
            drop(*it);
            it = it->isEmpty() ? feeds.erase(it) : std::next(it);
        }
    };
    dropKeyed(resultFeeds_);
    dropKeyed(wireFeeds_);
    dropKeyed(pgnFeeds_);
    drop(targetFeeds_);
    windows_.removeIf([](const QPointer<PlotWindow>& w) { return w.isNull(); });
}
