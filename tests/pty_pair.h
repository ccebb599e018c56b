#pragma once
// A pseudo-terminal pair for serial tests: the test plays the instrument on the master
// side, the program opens the slave path as its serial port. The kernel moves bytes
// between the two sides on its own time, so every wait here is for the bytes themselves,
// bounded by a deadline.
#include "platform/posix/instrument_line.h"
#include "platform/serial_line.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace qorva::test {

using namespace std::chrono_literals;

inline int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until at least bytes wait to be read on line; false at the deadline.
inline bool WaitForInput(SerialLine& line, int bytes, std::chrono::milliseconds timeout = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        QueueCounts counts;
        line.clearErrors(counts);
        if (counts.waitingIn >= bytes) return true;
        if (millisecondsUntil(deadline) == 0) return false;
        std::this_thread::sleep_for(1ms);
    }
}

class PtyPair {
  public:
    PtyPair() {
        std::string error;
        line_ = InstrumentLine::createPseudoTerminal(error);
    }

    bool ok() const { return line_ != nullptr; }
    const std::string& slavePath() const { return line_->path(); }
    bool write(const std::string& bytes, std::chrono::milliseconds timeout = 5s) {
        return line_->write(bytes, static_cast<int>(timeout.count()));
    }
    std::string read(size_t count, std::chrono::milliseconds timeout = 5s) {
        return line_->read(count, static_cast<int>(timeout.count()));
    }
    void hangUp() { line_->hangUp(); }

  private:
    std::unique_ptr<InstrumentLine> line_;
};

} // namespace qorva::test
