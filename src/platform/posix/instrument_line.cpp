#include "platform/posix/instrument_line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace qorva {

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left for poll(): -1 without a bound, 0 once the deadline has passed.
int millisecondsLeft(Clock::time_point start, int timeoutMs) {
    if (timeoutMs < 0) return -1;
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return static_cast<int>(std::max<long long>(timeoutMs - spent, 0));
}

std::string systemReason() {
    return std::strerror(errno);
}

} // namespace

std::unique_ptr<InstrumentLine> InstrumentLine::createPseudoTerminal(std::string& error) {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
        error = "cannot create a pseudo-terminal: " + systemReason();
        if (fd >= 0) ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<InstrumentLine>(new InstrumentLine(fd, ptsname(fd)));
}

std::unique_ptr<InstrumentLine> InstrumentLine::openDevice(const std::string& path,
                                                           std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open '" + path + "': " + systemReason();
        return nullptr;
    }
    return std::unique_ptr<InstrumentLine>(new InstrumentLine(fd, path));
}

InstrumentLine::~InstrumentLine() {
    hangUp();
}

bool InstrumentLine::write(const std::string& bytes, int timeoutMs) {
    const auto start = Clock::now();
    size_t done = 0;
    while (done < bytes.size()) {
        if (fd_ < 0) {
            lastError_ = "the line is closed";
            return false;
        }
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            lastError_ = systemReason();
            return false;
        }
        pollfd room{fd_, POLLOUT, 0};
        if (poll(&room, 1, millisecondsLeft(start, timeoutMs)) <= 0) {
            lastError_ = "no room on the line in time";
            return false;
        }
    }
    return true;
}

std::string InstrumentLine::read(size_t count, int timeoutMs) {
    const auto start = Clock::now();
    std::string out;
    char buffer[4096];
    while (fd_ >= 0 && out.size() < count) {
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, millisecondsLeft(start, timeoutMs)) <= 0) break;
        const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
        if (n <= 0) break;
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

// The master side reports a hang-up while nobody has the other side open, but only once
// it has been opened: a first open and close of our own starts that.
bool InstrumentLine::waitForPeer(int timeoutMs) {
    const auto start = Clock::now();
    const int once = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (once >= 0) ::close(once);
    for (;;) {
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, 0) > 0 && !(p.revents & POLLHUP)) return true;
        if (millisecondsLeft(start, timeoutMs) == 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void InstrumentLine::hangUp() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

} // namespace qorva
