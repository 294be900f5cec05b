// The parse step of the main window: the parse cycle over the receive buffer, with its
// results published through the window's signals, and the XML snapshots.
#include <QtGlobal>
#include "app/ais_targets_dock.h"
#include "app/devices/devices_dock.h"
#include "app/forwarding/forwarding_control.h"
#include "app/globals.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/picture_docks.h"
#include "app/show_dialog.h"
#include "app/snapshot_throttle.h"
#include "app/status_notices.h"
#include "n2k_db/database_loader.h"
#include "present/parse_cycle.h"
#include "present/stream_router.h"
#include "present/xml_snapshot.h"

namespace {

// Publishes the cycle's results through the window. The receivers are connected
// directly, so each emission is handled before the next sentence is parsed: the
// inspector pairs every result list with the current sentence name.
class WindowSink : public present::CycleSink {
public:
    explicit WindowSink(MainWindow* window) : window_(window) {}

    void resultList(int, const QStringList& list) override { emit window_->sendresult(list); }
    void resultText(int, const QString& text) override { emit window_->sendParse(text); }
    void snapshot(int code, void* record) override { window_->saveXml(code, record); }
    void separator() override { emit window_->sendParse(present::separatorText()); }
    void aisRecord(int type, const void* record, bool own) override {
        window_->aisTargetsDock()->addAisRecord(type, record, own);
    }
    void sentenceRecord(int code, const void* record) override {
        window_->aisTargetsDock()->addSentenceRecord(code, record);
        window_->pictureDocks()->sentenceRecord(code, record);
    }
    nmeaz::LineCounters* lineCounters() override { return window_->lineHealth()->counters(); }
    void framedLine(const present::FramedLine& line) override {
        window_->lineHealth()->framed(line.sentence, line.checksumGood, line.deviations);
        window_->pictureDocks()->framed(line.sentence, line.checksumGood);
        window_->forwarding()->framed(line.tagBlock, line.sentence, line.checksumGood);
    }
    void pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) override {
        const n2k::PgnDatabase* database = window_->pgnDatabase();
        window_->lineHealth()->pgn(message, decoded, database);
        if (database != nullptr) {
            window_->devicesDock()->note(message, decoded, *database);
            window_->aisTargetsDock()->addPgn(*database, message, decoded);
        }
        if (showDialog* inspector = window_->inspector()) {
            inspector->showPgn(message, decoded, database);
        }
        window_->pictureDocks()->pgn(database, message, decoded);
        window_->forwarding()->pgn(message, decoded);
        emit window_->pgnReceived(message, decoded);
    }
    void pgnDropped(std::uint32_t pgn, std::uint8_t source) override {
        window_->lineHealth()->pgnDropped(pgn, source, window_->pgnDatabase());
    }
    unsigned framingRules() const override { return window_->lineHealth()->framingRules(); }

private:
    MainWindow* window_;
};

}  // namespace

void MainWindow::showParse() {
    WindowSink sink(this);
    health->beginCycle();
    present::runParseCycle(receiveBuffer, sink);
    health->endCycle();
    forwardingControl->flush();
}

namespace {

// The database is loaded when the first NMEA 2000 line arrives; without it PGNs are
// shown raw.
const n2k::PgnDatabase* monitorPgnDatabase() {
    return n2kdb::programPgnDatabaseOrSay("tidewright");
}

}  // namespace

void MainWindow::parseChunk(const QByteArray& chunk) {
    if (!streamRouter) {
        streamRouter = std::make_unique<present::StreamRouter>(&monitorPgnDatabase);
    }
    if (parseView.isNull()) {
        receiveBuffer.append(chunk);
        return;
    }
    emit clearShowText();
    WindowSink sink(this);
    // One reading of the clock for the whole read: the PGNs between its sentences
    // are stamped with it too.
    health->beginCycle();
    streamRouter->feed(chunk.constData(), static_cast<std::size_t>(chunk.size()), receiveBuffer,
                       sink, [&sink](QByteArray& buffer) { present::runParseCycle(buffer, sink); });
    health->endCycle();
    forwardingControl->flush();

    const present::N2kStreamCounters counts = streamRouter->counters();
    const present::N2kStreamCounters& base = n2kCleared;
    LineHealth::N2kCounts n2k;
    n2k.heard = counts.heard;
    n2k.bytes = counts.bytes - base.bytes;
    n2k.messages = counts.messages - base.messages;
    n2k.frames = counts.frames - base.frames;
    n2k.fastPacketErrors = counts.fastPacketErrors + counts.transportErrors -
                           base.fastPacketErrors - base.transportErrors;
    n2k.unknownPgns = counts.unknownPgns - base.unknownPgns;
    n2k.badGatewayLines = counts.badGatewayLines - base.badGatewayLines;
    health->setN2kCounts(n2k);
    if (counts.heard && streamRouter->database() == nullptr) {
        QString error;
        n2kdb::programPgnDatabase(error);
        notices->set(QStringLiteral("n2k-database"),
                     tr("NMEA 2000 PGNs are shown raw: %1").arg(error));
    }
}

void MainWindow::saveXml(int selector, void* record) {
    snapshots->offer(selector, record);
}

showDialog* MainWindow::inspector() const {
    return parseView.data();
}
