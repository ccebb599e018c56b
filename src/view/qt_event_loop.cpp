#include "view/qt_event_loop.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace qorva::view {

QtEventLoop::QtEventLoop() {
    clock_.start();
    deadlineTimer_.setSingleShot(true);
    deadlineTimer_.setTimerType(Qt::PreciseTimer);
    if (pipe(wakePipe_) == 0) {
        fcntl(wakePipe_[0], F_SETFL, O_NONBLOCK);
        fcntl(wakePipe_[1], F_SETFL, O_NONBLOCK);
        wakeNotifier_ = std::make_unique<QSocketNotifier>(wakePipe_[0], QSocketNotifier::Read);
        QObject::connect(wakeNotifier_.get(), &QSocketNotifier::activated, [this] {
            char drained[64];
            while (read(wakePipe_[0], drained, sizeof drained) > 0) {
            }
        });
    }
}

QtEventLoop::~QtEventLoop() {
    wakeNotifier_.reset();
    for (int fd : wakePipe_)
        if (fd >= 0) close(fd);
}

int64_t QtEventLoop::now() const {
    return clock_.elapsed();
}

// Qt's events until the deadline: the timer is armed again on every pass, because a
// nested wait (a Delay inside a click) re-arms it for its own deadline.
void QtEventLoop::waitUntil(int64_t deadline) {
    while (!quitRequested()) {
        const int64_t remaining = deadline - now();
        if (remaining <= 0) return;
        deadlineTimer_.start(static_cast<int>(remaining));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void QtEventLoop::wake() {
    if (wakePipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] auto written = write(wakePipe_[1], &byte, 1);
    }
}

} // namespace qorva::view
