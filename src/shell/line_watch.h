#pragma once
// Keeps the instrument's line open through a shift. A read that fails (the device gone,
// a pulled USB adapter, a hang-up) is reported once with the device and the system's
// reason, the line is closed and opened again every second with the same settings until
// it comes back, and the return is reported. A device that cannot be opened when START
// is pressed is reported with its reason and tried the same way, and START pressed again
// once it is there. The serial component itself stays as it is; STOP or another port
// ends the waiting.
#include "platform/serial_line.h"

#include <functional>
#include <string>

namespace qorva {

class TMainFrm;

class LineWatch {
  public:
    using Report = std::function<void(const std::string& message)>;
    static constexpr int kRetryMs = 1000;

    LineWatch(TMainFrm& frm, SerialPorts& ports, Report report);
    ~LineWatch();
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

    bool waiting() const { return state_ != State::Watching; }

  private:
    void started();
    enum class State { Watching, Reopening, WaitingToOpen };
    void lineFailed(const std::string& device, const std::string& reason);
    void retry();
    void wait(State state);
    void say(const std::string& message);

    TMainFrm& frm_;
    SerialPorts& ports_;
    Report report_;
    State state_ = State::Watching;
    int timer_ = 0;
};

} // namespace qorva
