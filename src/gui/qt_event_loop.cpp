#include "gui/qt_event_loop.h"

#include <QCoreApplication>
#include <QSocketNotifier>

namespace qorva::gui {

QtEventLoop::QtEventLoop() {
    clock_.start();
    deadlineTimer_.setSingleShot(true);
    deadlineTimer_.setTimerType(Qt::PreciseTimer);
    if (wakePipe_.readEnd() >= 0) {
        wakeNotifier_ =
            std::make_unique<QSocketNotifier>(wakePipe_.readEnd(), QSocketNotifier::Read);
        QObject::connect(wakeNotifier_.get(), &QSocketNotifier::activated,
                         [this] { wakePipe_.drain(); });
    }
}

QtEventLoop::~QtEventLoop() {
    wakeNotifier_.reset();
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
    wakePipe_.wake();
}

} // namespace qorva::gui
