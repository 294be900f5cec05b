#include "outputs/output.h"

namespace outputs {

void Output::setState(State state, const QString& reason) {
    if (state == state_ && reason == reason_) {
        return;
    }
    state_ = state;
    reason_ = reason;
    emit stateChanged(state, reason);
}

}  // namespace outputs
