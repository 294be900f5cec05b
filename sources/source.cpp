#include "sources/source.h"

namespace sources {

void Source::setState(State state, const QString& reason) {
    if (state == state_ && reason == reason_) {
        return;
    }
    state_ = state;
    reason_ = reason;
    emit stateChanged(state, reason);
}

QString Source::statusText(State state, const QString& reason) const {
    switch (state) {
        case State::Connecting:
            return reason.isEmpty() ? tr("Connecting to %1...").arg(description())
                                    : tr("Connecting to %1... (%2)").arg(description(), reason);
        case State::Open:
            return tr("Connected to %1").arg(description());
        case State::Lost:
            return tr("Connection lost: %1").arg(reason);
        case State::Finished:
            return tr("Finished %1").arg(description());
        case State::Closed:
            break;
    }
    return {};
}

}  // namespace sources
