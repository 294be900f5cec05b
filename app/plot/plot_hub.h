// Where "Plot" leads: opens plot windows (or adds to the one in front), remembers which
// source feeds which series, and hands every new value on. Sources are an inspector
// row of a key's result list, a field of a key's sentence as the wire has it, a
// field of an AIS target and a field of one device's NMEA 2000 PGN. Feeding costs
// nothing while nothing is plotted.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class AisTargetsModel;
class PlotWindow;
class QByteArrayView;
namespace n2k {
class PgnDatabase;
struct DecodedPgn;
struct Message;
}  // namespace n2k
namespace plot {
class PlotSeries;
}
namespace present {
struct PgnRow;
}

struct PlotSource {
    enum class Kind { ResultRow, WireField, TargetField, PgnField };
    Kind kind = Kind::ResultRow;
    // "$GPGGA", "!AIVDM_MSG5"; the MMSI for a target field; the key of a PGN and
    // source as the inspector lists it ("129025 Position, Rapid Update · src 3")
    QString key;
    // The result row, the wire field or the target field; for a PGN field the item of
    // a repeating set as its row name numbers it ("SNR (3)": 3), 0 outside sets.
    int index = 0;
    QString label;  // "HDOP", "field 8", "Speed over ground (kn)", "Latitude"
    QString unit;   // may be empty: filled in from the first value where it can be
    // A PGN field: the PGN, the address of the device that sends it and the field's
    // id in the PGN database ("latitude").
    quint32 pgn = 0;
    quint8 address = 0;
    QByteArray fieldId = {};

    // A row of a PGN's field table (present::pgnRows) of the device at `address`.
    static PlotSource pgnField(const QString& key, quint32 pgn, quint8 address,
                               const present::PgnRow& row);
    QString seriesName() const;
};

class PlotHub : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;
    explicit PlotHub(Clock clock, QObject* parent = nullptr);
    explicit PlotHub(QObject* parent = nullptr);
    ~PlotHub() override;

    void setTargets(const AisTargetsModel* targets) { targets_ = targets; }
    // Plot windows stay windows of their own but close with this one.
    void setWindowParent(QWidget* parent) { windowParent_ = parent; }

    // Adds the source to the plot window in front (a new one when none is open or
    // `newWindow`); returns the window.
    PlotWindow* plot(const PlotSource& source, bool newWindow = false);
    // A source named on the command line: KEY and FIELD as `--plot` takes them (an
    // inspector row name or number, "field N" or a bare N for a wire field, a target
    // field label after an MMSI; after "PGN:ADDRESS" or a PGN key as listed, a field's
    // name or database id, "(N)" naming the item of a repeating set). False with
    // *error when there is no such numeric field.
    bool plotNamed(const QString& key, const QString& field, QString* error);
    QList<PlotWindow*> windows() const;

    // The feeds, from the parse cycle.
    bool hasResultFeeds() const { return !resultFeeds_.isEmpty(); }
    void resultList(const QString& key, const QStringList& list);
    void framed(QByteArrayView sentence, bool checksumGood);
    // Samples every plotted target field (a timer calls it once a second).
    void sampleTargets();
    // A decoded PGN: the plotted fields of its PGN and source get a point each, in
    // the unit the inspector shows them in.
    void pgn(const n2k::PgnDatabase& database, const n2k::Message& message,
             const n2k::DecodedPgn& decoded);

private:
    struct Feed {
        PlotSource source;
        plot::PlotSeries* series;
        QPointer<PlotWindow> window;
    };
    // Drops the feeds and windows of plot windows that were closed.
    void forgetClosed();
    bool plotPgnNamed(quint32 pgn, int address, const QString& field, QString* error);

    Clock clock_;
    const AisTargetsModel* targets_ = nullptr;
    QPointer<QWidget> windowParent_;
    QList<QPointer<PlotWindow>> windows_;
    QHash<QString, QList<Feed>> resultFeeds_;
    QHash<QByteArray, QList<Feed>> wireFeeds_;
    QList<Feed> targetFeeds_;
    QHash<quint32, QList<Feed>> pgnFeeds_;  // by PGN << 8 | address
};
