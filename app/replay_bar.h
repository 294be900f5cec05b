// The replay's controls, shown while a recorded log plays: pause, restart, stop, the
// pace (line rate, ten times, as fast as the window keeps up) and how far it got.
#pragma once

#include <QPointer>
#include <QToolBar>

class QAction;
class QComboBox;
class QProgressBar;
namespace sources {
class ReplaySource;
}

class ReplayBar : public QToolBar {
    Q_OBJECT

public:
    explicit ReplayBar(QWidget* parent = nullptr);

    // Controls this replay; null hides the bar.
    void attach(sources::ReplaySource* replay);

signals:
    void stopRequested();

private:
    void applyPace(int index);
    void showProgress(qint64 done, qint64 total);

    QPointer<sources::ReplaySource> replay_;
    QAction* pause_ = nullptr;
    QAction* restart_ = nullptr;
    QAction* stop_ = nullptr;
    QComboBox* pace_ = nullptr;
    QProgressBar* progress_ = nullptr;
};
