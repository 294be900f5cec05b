// The parse step of the main window: the parse cycle over the receive buffer, with its
// results published through the window's signals, and the XML snapshots.
#include <QtGlobal>
#include "app/ais_targets_dock.h"
#include "app/forwarding/forwarding_control.h"
#include "app/globals.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/picture_docks.h"
#include "app/snapshot_throttle.h"
#include "app/status_notices.h"

#include "n2k_db/database_loader.h"
#include "present/parse_cycle.h"
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
    void framedWithDeviations(QByteArrayView sentence, bool checksumGood,
                              nmeaz::FrameDeviations deviations) override {
        window_->lineHealth()->framed(sentence, checksumGood, deviations);
        window_->pictureDocks()->framed(sentence, checksumGood);
        window_->forwarding()->framed(sentence, checksumGood);
    }
    void pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) override {
        window_->forwarding()->pgn(message, decoded);
        window_->pictureDocks()->pgn(window_->pgnDatabase(), decoded);
        emit window_->pgnReceived(message, decoded);
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
    streamRouter->feed(chunk.constData(), static_cast<std::size_t>(chunk.size()), receiveBuffer,
                       sink, [this, &sink](QByteArray& buffer) {
                           health->beginCycle();
                           present::runParseCycle(buffer, sink);
                           health->endCycle();
                       });
    forwardingControl->flush();
}

void MainWindow::saveXml(int selector, void* record) {
    snapshots->offer(selector, record);
}
