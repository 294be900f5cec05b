// The status bar's view of the line: its state, sentences per second and the error
// total (its tooltip breaks it down). Text first, so it reads without colour; the
// colour only underlines it. Refreshed once a second, not per sentence.
#pragma once

#include <QTimer>
#include <QWidget>
#include <deque>
#include <utility>

class LineHealth;
class QLabel;

class HealthStatus : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 1000;
    static constexpr qint64 kRateWindowMs = 5000;

    explicit HealthStatus(LineHealth* health, QWidget* parent = nullptr);

    // Shown beside the line state, e.g. what the automatic speed search found.
    void setSpeedNote(const QString& note);

    QString stateText() const;
    QString rateText() const;
    QString errorText() const;
    // NMEA 2000, shown once the stream carried any: frames per second and what went wrong.
    QString n2kRateText() const;
    QString n2kErrorText() const;

public slots:
    void refresh();

private:
    LineHealth* health_;
    QLabel* state_;
    QLabel* speed_;
    QLabel* rate_;
    QLabel* errors_;
    QLabel* n2kRate_;
    QLabel* n2kErrors_;
    QTimer timer_;
    // (time, accepted) samples of the last few seconds, for the rate.
    std::deque<std::pair<qint64, quint64>> samples_;
    std::deque<std::pair<qint64, quint64>> frameSamples_;
    void refreshN2k(qint64 now);
};
