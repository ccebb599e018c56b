#pragma once
// One single-threaded event loop runs everything: timers, deliveries and the nested
// waits of the key sink. The virtual-time loop jumps from deadline to deadline, so a
// replay is exact and fast; the real-time loops of the backends sleep between deadlines.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>

namespace qorva {

class EventLoop {
  public:
    using Callback = std::function<void()>;
    using TimerId = int;

    virtual ~EventLoop() = default;

    // Milliseconds since the loop was created.
    virtual int64_t now() const = 0;

    // A periodic timer; the first tick comes interval ms from now.
    TimerId startTimer(int intervalMs, Callback onTick);
    void stopTimer(TimerId id);
    // A one-shot callback delayMs from now.
    TimerId post(int64_t delayMs, Callback callback);
    bool hasPendingPosts() const;

    // Dispatches everything due up to the deadline in time order, then returns with the
    // clock at the deadline (or earlier when a quit was requested).
    void runUntil(int64_t deadline);
    // Waits ms milliseconds while dispatching pending events (nested loop).
    void delay(int ms);
    // Dispatches what is due now, once, without waiting.
    void processPending() { runUntil(now()); }

    // A quit request (signal, window close) ends runUntil; safe from a signal handler.
    void requestQuit();
    bool quitRequested() const { return quitFlag_; }

  protected:
    // Blocks (real time) or jumps (virtual time) until the deadline or a wake-up.
    virtual void waitUntil(int64_t deadline) = 0;
    virtual void wake() {}

  private:
    struct Timer {
        int64_t due;
        int interval; // 0: one-shot
        Callback callback;
    };
    bool dispatchNextDue(int64_t deadline);

    std::map<TimerId, Timer> timers_;
    TimerId nextId_ = 1;
    std::atomic<bool> quitFlag_{false};
};

class VirtualEventLoop : public EventLoop {
  public:
    int64_t now() const override { return now_; }

  protected:
    void waitUntil(int64_t deadline) override;

  private:
    int64_t now_ = 0;
};

} // namespace qorva
