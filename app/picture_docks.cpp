#include "app/picture_docks.h"

#include "sky/n2k_sky.h"

#include <QDockWidget>
#include <QMainWindow>
#include <cstring>

#include "app/ais_targets_dock.h"
#include "app/plot/plot_hub.h"
#include "app/sentences_dock.h"
#include "app/show_dialog.h"
#include "app/sky/sky_dock.h"
#include "nmea/records.h"

PictureDocks::PictureDocks(QMainWindow* window, showDialog* inspector, AisTargetsDock* targets)
    : QObject(window), sky_(new SkyDock(window)), plots_(new PlotHub(this)) {
    window->addDockWidget(Qt::TopDockWidgetArea, sky_);
    plots_->setWindowParent(window);
    plots_->setTargets(targets->model());
    connect(inspector, &showDialog::plotRequested, plots_,
            [this](const QString& key, int row, const QString& label, const QString& unit) {
                plots_->plot({PlotSource::Kind::ResultRow, key, row, label, unit});
            });
    for (QDockWidget* dock : window->findChildren<QDockWidget*>()) {
        if (auto* sentences = qobject_cast<SentencesDock*>(dock->widget())) {
            connect(sentences, &SentencesDock::plotRequested, plots_,
                    [this](const QString& key, int field) {
                        plots_->plot({PlotSource::Kind::WireField, key, field,
                                      tr("field %1").arg(field), QString()});
                    });
            connect(sentences, &SentencesDock::pgnPlotRequested, this, &PictureDocks::plotPgn);
        }
    }
    connect(inspector, &showDialog::pgnPlotRequested, this, &PictureDocks::plotPgn);
    connect(targets, &AisTargetsDock::plotRequested, plots_,
            [this](quint32 mmsi, const QString& label) {
                QString error;
                plots_->plotNamed(QString::number(mmsi), label, &error);
            });
    connect(targets, &AisTargetsDock::refreshed, plots_, &PlotHub::sampleTargets);
}

void PictureDocks::sentenceRecord(int code, const void* record) {
    // The current name is "$GPGSV": the talker and formatter follow the start character.
    sky_->addSentence(nmeaz::currentSentenceName + 1, code, record);
}

void PictureDocks::pgn(const n2k::PgnDatabase* database, const n2k::Message& message,
                       const n2k::DecodedPgn& decoded) {
    if (database != nullptr) {
        sky::addSkyPgn(*database, decoded, sky_->model());
        plots_->pgn(*database, message, decoded);
    }
}

void PictureDocks::plotPgn(const QString& key, quint32 pgn, quint8 address,
                           const present::PgnRow& row) {
    plots_->plot(PlotSource::pgnField(key, pgn, address, row));
}

void PictureDocks::framed(QByteArrayView sentence, bool checksumGood) {
    plots_->framed(sentence, checksumGood);
}

void PictureDocks::resultList(const QStringList& list) {
    if (!plots_->hasResultFeeds()) {
        return;
    }
    plots_->resultList(
        QString::fromLatin1(
            nmeaz::currentSentenceName,
            static_cast<qsizetype>(strnlen(nmeaz::currentSentenceName, nmeaz::kSentenceNameSize))),
        list);
}
