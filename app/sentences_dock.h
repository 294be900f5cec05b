// The "Sentences" dock: every key heard on the line with its count, rate, age and
// errors, sortable by any column; below it the selected key's last sentence, field by
// field, and its latest conformance findings. Refreshed a few times a second while
// visible.
#pragma once

#include <QTimer>
#include <QWidget>

#include "app/line_health.h"
#include "present/n2k_named.h"

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
    QTableWidget* findingView() const { return findings_; }

    // "Plot" on field `row` of the field view (row 0 is the address): emits
    // plotRequested when it holds a number (pgnPlotRequested for a numeric field of an
    // NMEA 2000 key); false when it does not.
    bool plotField(int row);
    bool fieldIsNumber(int row) const;

signals:
    void plotRequested(const QString& key, int field);
    void pgnPlotRequested(const QString& key, quint32 pgn, quint8 address,
                          const present::PgnRow& row);

public slots:
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showFields();
    // The fields of an NMEA 2000 key's last PGN: name and readable value, then the bytes.
    void showPgnFields(const LineHealth::PgnHeader& header, const QByteArray& payload);
    void showFindings();

    LineHealth* health_;
    SentencesModel* model_;
    QSortFilterProxyModel* sorted_;
    QTableView* keys_;
    QTableWidget* fields_;
    QTableWidget* findings_;
    QByteArray shownSentence_;
    QByteArray shownKey_;
    // The decoded fields of the shown NMEA 2000 key; in the view after the header rows.
    QList<present::PgnRow> pgnRows_;
    static constexpr int kPgnHeaderRows = 2;
    QByteArray findingsKey_;
    qint64 findingsShown_ = -1;
    QTimer timer_;
};
