#include "app/sentences_dock.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <memory>

#include "app/line_health.h"
#include "app/sentences_model.h"
#include "n2k/pgn_decoder.h"
#include "present/n2k_named.h"

SentencesDock::SentencesDock(LineHealth* health, QWidget* parent)
    : QWidget(parent), health_(health), model_(new SentencesModel(health, this)) {
    setAccessibleName(tr("Sentences"));
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(SentencesModel::SortRole);
    sorted_->setDynamicSortFilter(true);

    keys_ = new QTableView(this);
    keys_->setAccessibleName(tr("Sentence keys"));
    keys_->setModel(sorted_);
    keys_->setSortingEnabled(true);
    keys_->sortByColumn(SentencesModel::Key, Qt::AscendingOrder);
    keys_->setSelectionBehavior(QAbstractItemView::SelectRows);
    keys_->setSelectionMode(QAbstractItemView::SingleSelection);
    keys_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    keys_->verticalHeader()->hide();
    keys_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    keys_->horizontalHeader()->setStretchLastSection(true);

    fields_ = new QTableWidget(0, 2, this);
    fields_->setAccessibleName(tr("Fields of the last sentence"));
    fields_->setHorizontalHeaderLabels({tr("Field"), tr("Text")});
    fields_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fields_->verticalHeader()->hide();
    fields_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    fields_->horizontalHeader()->setStretchLastSection(true);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(keys_);
    split->addWidget(fields_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    connect(keys_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showFields(); });
    connect(health_, &LineHealth::cleared, this, &SentencesDock::refresh);
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // A hidden dock (closed, or a tab behind another) is brought up to date when
        // it shows again.
        if (isVisible()) {
            refresh();
        }
    });
    timer_.start();
}

void SentencesDock::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void SentencesDock::refresh() {
    model_->refresh(health_->now());
    showFields();
}

void SentencesDock::showFields() {
    const QModelIndex current = keys_->currentIndex();
    const int row = current.isValid() ? sorted_->mapToSource(current).row() : -1;
    const QByteArray sentence = model_->lastSentence(row);
    const QByteArray key = model_->key(row);
    if (sentence == shownSentence_ && key == shownKey_) {
        return;
    }
    shownSentence_ = sentence;
    shownKey_ = key;
    if (const LineHealth::PgnHeader* header = health_->pgnHeader(key)) {
        showPgnFields(*header, sentence);
        return;
    }
    // The checksum is not a field: it stays with the last one as the wire shows it.
    const QList<QByteArray> parts = sentence.isEmpty() ? QList<QByteArray>() : sentence.split(',');
    fields_->setRowCount(static_cast<int>(parts.size()));
    for (int i = 0; i < parts.size(); ++i) {
        fields_->setItem(i, 0, new QTableWidgetItem(QString::number(i)));
        fields_->setItem(i, 1, new QTableWidgetItem(QString::fromLatin1(parts[i])));
    }
}

void SentencesDock::showPgnFields(const LineHealth::PgnHeader& header, const QByteArray& payload) {
    QList<QPair<QString, QString>> rows;
    rows.append({tr("Priority"), QString::number(header.priority)});
    rows.append({tr("Destination"), QString::number(header.destination)});
    if (const n2k::PgnDatabase* database = health_->pgnDatabase()) {
        // Decoded again from the kept payload: only the shown key pays for it.
        auto message = std::make_unique<n2k::Message>();
        message->pgn = header.pgn;
        message->priority = header.priority;
        message->source = header.source;
        message->destination = header.destination;
        message->length = static_cast<int>(std::min<qsizetype>(payload.size(), n2k::kMaxPayload));
        std::memcpy(message->data, payload.constData(), static_cast<std::size_t>(message->length));
        auto decoded = std::make_unique<n2k::DecodedPgn>();
        n2k::PgnDecoder decoder(*database);
        decoder.decode(*message, *decoded);
        for (const present::PgnRow& field : present::pgnRows(*database, *message, *decoded)) {
            rows.append({field.name, field.value});
        }
    }
    rows.append({tr("Bytes"), QString::fromLatin1(payload.toHex(' ').toUpper())});
    fields_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        fields_->setItem(i, 0, new QTableWidgetItem(rows[i].first));
        fields_->setItem(i, 1, new QTableWidgetItem(rows[i].second));
    }
}
