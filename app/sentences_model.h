// Every sentence key heard on the line as a table: key, count, rate, age, errors,
// warnings (sentences read although they deviate from the sentence format) and
// conformance findings. It
// reads the line's tally when refreshed, so it costs nothing per sentence.
#pragma once

#include "app/appending_table_model.h"

class LineHealth;

class SentencesModel : public AppendingTableModel {
    Q_OBJECT

public:
    enum Column { Key, Count, Rate, Age, Errors, Warnings, Findings, ColumnCount };
    // The value to sort by: numbers for the numeric columns.
    static constexpr int SortRole = Qt::UserRole;
    // True for a key not heard for longer than it usually stays away.
    static constexpr int StaleRole = Qt::UserRole + 1;

    explicit SentencesModel(const LineHealth* health, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes in new keys and the tally's latest figures as of nowMs.
    void refresh(qint64 nowMs);
    QByteArray lastSentence(int row) const;
    QByteArray key(int row) const;

private:
    const LineHealth* health_;
    qint64 now_ = 0;
};
