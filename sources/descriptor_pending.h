// Bytes the system holds unread on a descriptor (a socket, a terminal): what the
// stuck check looks at. -1 for no descriptor or one that cannot tell.
#pragma once

#include <sys/ioctl.h>

#include <QtGlobal>

namespace sources {

inline qint64 descriptorPending(qintptr descriptor) {
    int pending = 0;
    if (descriptor < 0 || ::ioctl(int(descriptor), FIONREAD, &pending) != 0) {
        return -1;
    }
    return pending;
}

}  // namespace sources
