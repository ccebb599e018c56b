#include "platform/posix/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

namespace qorva {

WakePipe::WakePipe() {
    if (pipe2(fds_, O_NONBLOCK | O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
}

WakePipe::~WakePipe() {
    for (int fd : fds_)
        if (fd >= 0) close(fd);
}

void WakePipe::wake() {
    if (fds_[1] < 0) return;
    const char byte = 1;
    [[maybe_unused]] auto written = write(fds_[1], &byte, 1);
}

void WakePipe::drain() {
    char drained[64];
    while (fds_[0] >= 0 && read(fds_[0], drained, sizeof drained) > 0) {
    }
}

} // namespace qorva
