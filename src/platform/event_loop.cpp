#include "platform/event_loop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace qorva {

EventLoop::TimerId EventLoop::startTimer(int intervalMs, Callback onTick) {
    const int interval = std::max(intervalMs, 1);
    const TimerId id = nextId_++;
    timers_[id] = Timer{now() + interval, interval, std::move(onTick)};
    return id;
}

void EventLoop::stopTimer(TimerId id) {
    timers_.erase(id);
}

EventLoop::TimerId EventLoop::post(int64_t delayMs, Callback callback) {
    const TimerId id = nextId_++;
    timers_[id] = Timer{now() + std::max<int64_t>(delayMs, 0), 0, std::move(callback)};
    return id;
}

bool EventLoop::hasPendingPosts() const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [](const auto& entry) { return entry.second.interval == 0; });
}

bool EventLoop::dispatchNextDue(int64_t deadline) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (it->second.due <= deadline &&
            (next == timers_.end() || it->second.due < next->second.due))
            next = it;
    if (next == timers_.end()) return false;
    if (next->second.due > now()) waitUntil(next->second.due);
    if (quitFlag_) return false;
    Callback callback = next->second.callback;
    if (next->second.interval == 0)
        timers_.erase(next);
    else
        next->second.due = now() + next->second.interval;
    callback();
    return true;
}

void EventLoop::runUntil(int64_t deadline) {
    while (!quitFlag_ && dispatchNextDue(deadline)) {
    }
    if (!quitFlag_ && now() < deadline) waitUntil(deadline);
}

void EventLoop::delay(int ms) {
    runUntil(now() + std::max(ms, 0));
}

void EventLoop::requestQuit() {
    quitFlag_ = true;
    wake();
}

void VirtualEventLoop::waitUntil(int64_t deadline) {
    now_ = std::max(now_, deadline);
}

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
