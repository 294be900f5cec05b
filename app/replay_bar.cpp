#include "app/replay_bar.h"

#include <QAction>
#include <QComboBox>
#include <QProgressBar>

#include "sources/replay_source.h"

namespace {

constexpr int kProgressSteps = 1000;

}  // namespace

ReplayBar::ReplayBar(QWidget* parent) : QToolBar(tr("Replay"), parent) {
    setObjectName(QStringLiteral("replayBar"));
    setAccessibleName(tr("Replay controls"));
    pause_ = addAction(tr("Pause"));
    pause_->setObjectName(QStringLiteral("actionReplayPause"));
    pause_->setCheckable(true);
    restart_ = addAction(tr("Restart"));
    restart_->setObjectName(QStringLiteral("actionReplayRestart"));
    stop_ = addAction(tr("Stop replay"));
    stop_->setObjectName(QStringLiteral("actionReplayStop"));

    pace_ = new QComboBox(this);
    pace_->setObjectName(QStringLiteral("replayPace"));
    pace_->setAccessibleName(tr("Replay pace"));
    pace_->addItems({tr("Line rate"), tr("10x"), tr("As fast as possible")});
    addWidget(pace_);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("replayProgress"));
    progress_->setAccessibleName(tr("Replay progress"));
    progress_->setRange(0, kProgressSteps);
    progress_->setMaximumWidth(200);
    addWidget(progress_);

    connect(pause_, &QAction::toggled, this, [this](bool paused) {
        if (replay_) {
            paused ? replay_->pause() : replay_->resume();
        }
    });
    connect(restart_, &QAction::triggered, this, [this] {
        if (replay_) {
            pause_->setChecked(false);
            replay_->restart();
        }
    });
    connect(stop_, &QAction::triggered, this, &ReplayBar::stopRequested);
    connect(pace_, &QComboBox::currentIndexChanged, this, &ReplayBar::applyPace);
    hide();
}

void ReplayBar::attach(sources::ReplaySource* replay) {
    if (replay_) {
        replay_->disconnect(this);
    }
    replay_ = replay;
    setVisible(replay != nullptr);
    if (!replay) {
        return;
    }
    pause_->setChecked(false);
    progress_->setValue(0);
    applyPace(pace_->currentIndex());
    connect(replay, &sources::ReplaySource::progressChanged, this, &ReplayBar::showProgress);
}

void ReplayBar::applyPace(int index) {
    if (!replay_) {
        return;
    }
    sources::ReplayPace pace = replay_->pace();
    pace.factor = index == 1 ? 10 : 1;
    pace.fast = index == 2;
    replay_->setPace(pace);
}

void ReplayBar::showProgress(qint64 done, qint64 total) {
    progress_->setValue(total > 0 ? int(done * kProgressSteps / total) : 0);
}
