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
#include "app/plot/plot_menu.h"
#include "app/sentences_model.h"
#include "n2k/pgn_decoder.h"
#include "nmea/parser_context.h"
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

    addPlotMenu(
        fields_, [this](int row) { return fieldIsNumber(row); },
        [this](int row) { plotField(row); });

    findings_ = new QTableWidget(0, 3, this);
    findings_->setAccessibleName(tr("Conformance findings of the selected key"));
    findings_->setHorizontalHeaderLabels({tr("Rule"), tr("Field"), tr("Message")});
    findings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findings_->verticalHeader()->hide();
    findings_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    findings_->horizontalHeader()->setStretchLastSection(true);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(keys_);
    split->addWidget(fields_);
    split->addWidget(findings_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    connect(keys_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        showFields();
        showFindings();
    });
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
    showFindings();
}

void SentencesDock::showFindings() {
    const QModelIndex current = keys_->currentIndex();
    const QByteArray key =
        current.isValid()
            ? model_
                  ->data(model_->index(sorted_->mapToSource(current).row(), SentencesModel::Key),
                         Qt::DisplayRole)
                  .toString()
                  .toLatin1()
            : QByteArray();
    const present::ConformanceLog& log = health_->conformance();
    const qint64 count = key.isEmpty() ? 0 : log.countFor(key);
    if (key == findingsKey_ && count == findingsShown_)
        return;
    findingsKey_ = key;
    findingsShown_ = count;
    // Newest first: the latest finding is the one a reader looks for.
    const QList<present::NotedFinding> latest =
        key.isEmpty() ? QList<present::NotedFinding>() : log.latestFor(key);
    findings_->setRowCount(static_cast<int>(latest.size()));
    for (int row = 0; row < latest.size(); ++row) {
        const present::NotedFinding& finding = latest[latest.size() - 1 - row];
        const QString severity = QLatin1StringView(conformance::severityName(finding.severity));
        findings_->setItem(
            row, 0,
            new QTableWidgetItem(QStringLiteral("%1 (%2)").arg(
                QLatin1StringView(conformance::ruleOf(finding.rule).name), severity)));
        findings_->setItem(
            row, 1,
            new QTableWidgetItem(
                finding.field < 0 ? QString()
                                  : QStringLiteral("%1 %2").arg(finding.field).arg(finding.name)));
        findings_->setItem(row, 2, new QTableWidgetItem(finding.message));
    }
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
    // The checksum is not a field: it stays with the last one as the wire shows it. A
    // receiver's metadata after it is no field either: it gets a row of its own.
    const std::string_view tail =
        nmeaz::trailingData(std::string_view(sentence.constData(), sentence.size()));
    const QByteArray fields =
        tail.empty() ? sentence : sentence.first(sentence.size() - qsizetype(tail.size()) - 1);
    const QList<QByteArray> parts = fields.isEmpty() ? QList<QByteArray>() : fields.split(',');
    const int rows = static_cast<int>(parts.size()) + (tail.empty() ? 0 : 1);
    fields_->setRowCount(rows);
    for (int i = 0; i < parts.size(); ++i) {
        fields_->setItem(i, 0, new QTableWidgetItem(QString::number(i)));
        fields_->setItem(i, 1, new QTableWidgetItem(QString::fromLatin1(parts[i])));
    }
    if (!tail.empty()) {
        fields_->setItem(rows - 1, 0, new QTableWidgetItem(tr("Tail")));
        fields_->setItem(
            rows - 1, 1,
            new QTableWidgetItem(QString::fromLatin1(tail.data(), qsizetype(tail.size()))));
    }
}

bool SentencesDock::fieldIsNumber(int row) const {
    if (health_->pgnHeader(shownKey_) != nullptr) {
        const qsizetype field = row - kPgnHeaderRows;
        return field >= 0 && field < pgnRows_.size() && pgnRows_[field].number;
    }
    const QTableWidgetItem* text = fields_->item(row, 1);
    bool number = false;
    if (row >= 1 && text != nullptr && !shownSentence_.isEmpty()) {
        text->text().section(QLatin1Char('*'), 0, 0).toDouble(&number);
    }
    return number;
}

bool SentencesDock::plotField(int row) {
    if (!fieldIsNumber(row)) {
        return false;
    }
    if (const LineHealth::PgnHeader* header = health_->pgnHeader(shownKey_)) {
        emit pgnPlotRequested(QString::fromUtf8(shownKey_), header->pgn, header->source,
                              pgnRows_[row - kPgnHeaderRows]);
        return true;
    }
    const qsizetype comma = shownSentence_.indexOf(',');
    emit plotRequested(QString::fromLatin1(comma < 0 ? shownSentence_ : shownSentence_.left(comma)),
                       row);
    return true;
}

void SentencesDock::showPgnFields(const LineHealth::PgnHeader& header, const QByteArray& payload) {
    QList<QPair<QString, QString>> rows;
    rows.append({tr("Priority"), QString::number(header.priority)});
    rows.append({tr("Destination"), QString::number(header.destination)});
    pgnRows_.clear();
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
        pgnRows_ = present::pgnRows(*database, *message, *decoded);
        for (const present::PgnRow& field : pgnRows_) {
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
