#pragma once
// The core's event loop over Qt's: the core's timers, deliveries and the key sink's
// waits run on the GUI thread, and while the core waits for its next deadline Qt's
// events are handled, so the window stays responsive during every wait, the nested ones
// of a parse included.
#include "platform/event_loop.h"
#include "platform/posix/wake_pipe.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>

class QSocketNotifier;

namespace qorva::gui {

class QtEventLoop : public EventLoop {
  public:
    // Needs the QApplication to exist.
    QtEventLoop();
    ~QtEventLoop() override;
    int64_t now() const override;

  protected:
    void waitUntil(int64_t deadline) override;
    // Safe from a signal handler: one byte into a pipe that Qt watches.
    void wake() override;

  private:
    QElapsedTimer clock_;
    QTimer deadlineTimer_;
    WakePipe wakePipe_;
    std::unique_ptr<QSocketNotifier> wakeNotifier_;
};

} // namespace qorva::gui
