#pragma once
// A pseudo-terminal pair for serial tests: the test plays the instrument on the master
// side, the program opens the slave path as its serial port. The kernel moves bytes
// between the two sides on its own time, so every wait here is for the bytes themselves,
// bounded by a deadline.
#include "platform/serial_line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

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
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            slavePath_ = ptsname(master_);
    }
    ~PtyPair() { hangUp(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }
    // Writes all of bytes, waiting for room while the queue is full; false when the
    // master refuses them or no room comes within the timeout.
    bool write(const std::string& bytes, std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
            pollfd room{master_, POLLOUT, 0};
            if (poll(&room, 1, millisecondsUntil(deadline)) <= 0) return false;
        }
        return true;
    }
    // What the program sent: count bytes, or fewer when they do not come within the timeout.
    std::string read(size_t count, std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::string out;
        char buffer[4096];
        while (out.size() < count) {
            pollfd ready{master_, POLLIN, 0};
            if (poll(&ready, 1, millisecondsUntil(deadline)) <= 0) break;
            const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - out.size()));
            if (n <= 0) break;
            out.append(buffer, static_cast<size_t>(n));
        }
        return out;
    }
    void hangUp() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

} // namespace qorva::test
