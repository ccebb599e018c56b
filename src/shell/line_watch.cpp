#include "shell/line_watch.h"

#include "shell/main_frm.h"

namespace qorva {

LineWatch::LineWatch(TMainFrm& frm, SerialPorts& ports, Report report)
    : frm_(frm), ports_(ports), report_(std::move(report)) {
    frm_.CommPortDriver1.OnLineError = [this](const std::string& device,
                                              const std::string& reason) {
        lineFailed(device, reason);
    };
    // START in the window or in the headless program: a line that did not open is waited
    // for.
    frm_.Button3.OnClick = [this, start = std::move(frm_.Button3.OnClick)] {
        if (start) start();
        started();
    };
    // STOP ends the waiting: the program does not open a line the user closed.
    frm_.Button4.OnClick = [this, stop = std::move(frm_.Button4.OnClick)] {
        wait(State::Watching);
        if (stop) stop();
    };
}

LineWatch::~LineWatch() {
    frm_.CommPortDriver1.OnLineError = nullptr;
    if (timer_) frm_.loop.stopTimer(timer_);
}

void LineWatch::say(const std::string& message) {
    frm_.StatusBar1.setSimpleText(message);
    if (report_) report_(message);
}

void LineWatch::wait(State state) {
    state_ = state;
    if (state_ == State::Watching) {
        if (timer_) frm_.loop.stopTimer(timer_);
        timer_ = 0;
    } else if (!timer_) {
        timer_ = frm_.loop.startTimer(kRetryMs, [this] { retry(); });
    }
}

void LineWatch::started() {
    if (frm_.CommPortDriver1.Connected() || state_ != State::Watching) return;
    say("cannot open " + frm_.CommPortDriver1.DevicePath() + ": " + ports_.openFailure() +
        "; trying again every second");
    wait(State::WaitingToOpen);
}

// Everything read before the failure has been delivered; what follows comes after the
// line is back.
void LineWatch::lineFailed(const std::string& device, const std::string& reason) {
    if (state_ != State::Watching) return;
    frm_.CommPortDriver1.Disconnect();
    say("lost " + device + ": " + reason + "; trying again every second");
    wait(State::Reopening);
}

// Once the device opens, a program that runs takes it as it is; one that never started
// presses START.
void LineWatch::retry() {
    TCommPortDriver& port = frm_.CommPortDriver1;
    if (port.Connected()) return wait(State::Watching);
    if (!port.Connect()) return;
    wait(State::Watching);
    if (frm_.running()) {
        frm_.StatusBar1.setSimpleText(TMainFrm::kConnected);
    } else {
        port.Disconnect();
        frm_.Button3.Click();
    }
    if (report_) report_(port.DevicePath() + " is back");
}

} // namespace qorva
