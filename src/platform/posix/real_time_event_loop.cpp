#include "platform/posix/real_time_event_loop.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace qorva {

static int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

RealTimeEventLoop::RealTimeEventLoop() : startNs_(steadyNs()) {
    if (pipe(wakePipe_) == 0) {
        fcntl(wakePipe_[0], F_SETFL, O_NONBLOCK);
        fcntl(wakePipe_[1], F_SETFL, O_NONBLOCK);
    }
}

RealTimeEventLoop::~RealTimeEventLoop() {
    for (int fd : wakePipe_)
        if (fd >= 0) close(fd);
}

int64_t RealTimeEventLoop::now() const {
    return (steadyNs() - startNs_) / 1000000;
}

void RealTimeEventLoop::waitUntil(int64_t deadline) {
    while (!quitRequested()) {
        const int64_t remaining = deadline - now();
        if (remaining <= 0) return;
        pollfd waiter{wakePipe_[0], POLLIN, 0};
        if (poll(&waiter, 1, static_cast<int>(std::min<int64_t>(remaining, 1000))) > 0) {
            char drained[64];
            while (read(wakePipe_[0], drained, sizeof drained) > 0) {
            }
        }
    }
}

void RealTimeEventLoop::wake() {
    if (wakePipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] auto written = write(wakePipe_[1], &byte, 1);
    }
}

} // namespace qorva
