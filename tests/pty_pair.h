#pragma once
// A pseudo-terminal pair for serial tests: the test plays the instrument on the master
// side, the program opens the slave path as its serial port.
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace qorva::test {

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
    void write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (errno != EAGAIN)
                return;
        }
        settle();
    }
    std::string readAll() {
        settle();
        std::string out;
        char buffer[4096];
        for (ssize_t n; (n = ::read(master_, buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<size_t>(n));
        return out;
    }
    void hangUp() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }
    // Gives the kernel time to move written bytes to the other side.
    static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(60)); }

  private:
    int master_ = -1;
    std::string slavePath_;
};

} // namespace qorva::test
