#include "platform/posix/real_time_event_loop.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace qorva {

static int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

RealTimeEventLoop::RealTimeEventLoop() : startNs_(steadyNs()) {}

RealTimeEventLoop::~RealTimeEventLoop() = default;

int64_t RealTimeEventLoop::now() const {
    return (steadyNs() - startNs_) / 1000000;
}

void RealTimeEventLoop::waitUntil(int64_t deadline) {
    while (!quitRequested()) {
        const int64_t remaining = deadline - now();
        if (remaining <= 0) return;
        pollfd waiter{wakePipe_.readEnd(), POLLIN, 0};
        if (poll(&waiter, 1, static_cast<int>(std::min<int64_t>(remaining, 1000))) > 0)
            wakePipe_.drain();
    }
}

void RealTimeEventLoop::wake() {
    wakePipe_.wake();
}

} // namespace qorva
