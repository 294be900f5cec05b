#include "app/sentences_dock.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/line_health.h"
#include "app/sentences_model.h"
#include "nmea/parser_context.h"

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
    const QByteArray sentence = current.isValid()
                                    ? model_->lastSentence(sorted_->mapToSource(current).row())
                                    : QByteArray();
    if (sentence == shownSentence_) {
        return;
    }
    shownSentence_ = sentence;
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
