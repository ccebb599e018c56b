#include "platform/event_loop.h"

#include <algorithm>

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

} // namespace qorva
