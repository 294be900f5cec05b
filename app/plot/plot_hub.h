// Where "Plot" leads: opens plot windows (or adds to the one in front), remembers which
// source feeds which series, and hands every new value on. Sources are an inspector
// row of a key's result list, a field of a key's sentence as the wire has it, and a
// field of an AIS target. Feeding costs nothing while nothing is plotted.
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
namespace plot {
class PlotSeries;
}

struct PlotSource {
    enum class Kind { ResultRow, WireField, TargetField };
    Kind kind = Kind::ResultRow;
    QString key;    // "$GPGGA", "!AIVDM_MSG5"; the MMSI for a target field
    int index = 0;  // the result row, the wire field or the target field
    QString label;  // "HDOP", "field 8", "Speed over ground (kn)"
    QString unit;   // may be empty: filled in from the first value where it can be

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
    // field label after an MMSI). False with *error when there is no such field.
    bool plotNamed(const QString& key, const QString& field, QString* error);
    QList<PlotWindow*> windows() const;

    // The feeds, from the parse cycle.
    bool hasResultFeeds() const { return !resultFeeds_.isEmpty(); }
    void resultList(const QString& key, const QStringList& list);
    void framed(QByteArrayView sentence, bool checksumGood);
    // Samples every plotted target field (a timer calls it once a second).
    void sampleTargets();

private:
    struct Feed {
        PlotSource source;
        plot::PlotSeries* series;
        QPointer<PlotWindow> window;
    };
    // Drops the feeds and windows of plot windows that were closed.
    void forgetClosed();

    Clock clock_;
    const AisTargetsModel* targets_ = nullptr;
    QPointer<QWidget> windowParent_;
    QList<QPointer<PlotWindow>> windows_;
    QHash<QString, QList<Feed>> resultFeeds_;
    QHash<QByteArray, QList<Feed>> wireFeeds_;
    QList<Feed> targetFeeds_;
};
