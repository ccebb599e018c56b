#pragma once
// The event loop in real time: it sleeps in poll() until the next deadline, and a quit
// request (from a signal handler too) wakes it through a pipe.
#include "platform/event_loop.h"
#include "platform/posix/wake_pipe.h"

namespace qorva {

class RealTimeEventLoop : public EventLoop {
  public:
    RealTimeEventLoop();
    ~RealTimeEventLoop() override;
    int64_t now() const override;

  protected:
    void waitUntil(int64_t deadline) override;
    void wake() override;

  private:
    int64_t startNs_;
    WakePipe wakePipe_;
};

} // namespace qorva
