// The "Sentences" dock: every key heard on the line with its count, rate, age and
// errors, sortable by any column; below it the selected key's last sentence, field by
// field. Refreshed a few times a second while visible.
#pragma once

#include <QTimer>
#include <QWidget>

#include "app/line_health.h"

class QSortFilterProxyModel;
class QTableView;
class QTableWidget;
class SentencesModel;

class SentencesDock : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 500;

    explicit SentencesDock(LineHealth* health, QWidget* parent = nullptr);

    SentencesModel* model() const { return model_; }
    QTableView* keyView() const { return keys_; }
    QTableWidget* fieldView() const { return fields_; }

public slots:
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showFields();
    // The fields of an NMEA 2000 key's last PGN: name and readable value, then the bytes.
    void showPgnFields(const LineHealth::PgnHeader& header, const QByteArray& payload);

    LineHealth* health_;
    SentencesModel* model_;
    QSortFilterProxyModel* sorted_;
    QTableView* keys_;
    QTableWidget* fields_;
    QByteArray shownSentence_;
    QByteArray shownKey_;
    QTimer timer_;
};
