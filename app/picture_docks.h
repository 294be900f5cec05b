// The pictures of the data: the "Sky View" dock and the plot windows, wired to the
// main window's parse cycle and to the "Plot" actions of the inspector, the Sentences
// dock and the AIS target details. One object so the main window only hands it the
// records and sentences of each cycle.
#pragma once

#include <QObject>
#include <QTimer>

class AisTargetsDock;
class PlotHub;
class QByteArrayView;
class QMainWindow;
class SkyDock;
class showDialog;
namespace present {
struct PgnRow;
}
namespace n2k {
class PgnDatabase;
struct DecodedPgn;
struct Message;
}  // namespace n2k

class PictureDocks : public QObject {
    Q_OBJECT

public:
    // Adds the sky dock to `window` (not yet placed among the other docks) and
    // connects the Plot actions of the inspector, the Sentences dock (found among the
    // window's docks) and the targets dock.
    PictureDocks(QMainWindow* window, showDialog* inspector, AisTargetsDock* targets);

    SkyDock* skyDock() const { return sky_; }
    PlotHub* plots() const { return plots_; }

    // From the parse cycle.
    void sentenceRecord(int code, const void* record);
    void framed(QByteArrayView sentence, bool checksumGood);
    void resultList(const QStringList& list);
    // A decoded NMEA 2000 PGN: the satellites in view (129540) and DOPs (129539) feed
    // the sky as GSV and GSA do; plotted fields get their points.
    void pgn(const n2k::PgnDatabase* database, const n2k::Message& message,
             const n2k::DecodedPgn& decoded);

private:
    void plotPgn(const QString& key, quint32 pgn, quint8 address, const present::PgnRow& row);

    SkyDock* sky_;
    PlotHub* plots_;
};
