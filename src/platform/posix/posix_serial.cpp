// Serial lines through termios.
#include "platform/posix/posix_serial.h"
#include "platform/posix/termios_settings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qorva {

// Rates without a B-constant go through the kernel's arbitrary-rate interface, which
// lives in a unit of its own because its headers clash with <termios.h>.
bool SetArbitraryBitRate(int fd, int bitRate);

namespace {

tcflag_t characterSize(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    }
    return CS8;
}

} // namespace

speed_t StandardSpeed(int bitRate) {
    switch (bitRate) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 500000:
        return B500000;
    case 1000000:
        return B1000000;
    }
    return 0;
}

termios TermiosFor(const LineSettings& s, termios tio) {
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= characterSize(s.dataBits);
    if (s.parity != Parity::None) tio.c_cflag |= PARENB;
    if (s.parity == Parity::Odd || s.parity == Parity::Mark) tio.c_cflag |= PARODD;
    if (s.parity == Parity::Mark || s.parity == Parity::Space) tio.c_cflag |= CMSPAR;
    if (s.stopBits != StopBits::One) tio.c_cflag |= CSTOPB;
    if (s.rtsCtsFlow) tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (s.xonXoffFlow) tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (const speed_t speed = StandardSpeed(s.bitRate)) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    return tio;
}

namespace {

class PosixLine : public SerialLine {
  public:
    explicit PosixLine(int fd) : fd_(fd) {}
    ~PosixLine() override {
        flock(fd_, LOCK_UN);
        close(fd_);
    }

    bool applySettings(const LineSettings& s) override {
        termios current{};
        if (tcgetattr(fd_, &current) != 0) return false;
        const termios tio = TermiosFor(s, current);
        bool ok = tcsetattr(fd_, TCSANOW, &tio) == 0;
        if (!StandardSpeed(s.bitRate)) ok = SetArbitraryBitRate(fd_, s.bitRate) && ok;
        setDTR(s.dtrOn);
        if (!s.rtsCtsFlow) setRTS(false);
        return ok;
    }

    // The kernel sizes its own queues; there is nothing to recommend.
    void setQueueSizes(int, int) override {}

    void purge(bool input, bool output) override {
        if (input && output)
            tcflush(fd_, TCIOFLUSH);
        else if (input)
            tcflush(fd_, TCIFLUSH);
        else if (output)
            tcflush(fd_, TCOFLUSH);
    }

    // The kernel keeps no error state to clear; this reports the queue counts.
    void clearErrors(QueueCounts& counts) override {
        int in = 0, out = 0;
        if (ioctl(fd_, FIONREAD, &in) != 0) in = 0;
        if (ioctl(fd_, TIOCOUTQ, &out) != 0) out = 0;
        counts.waitingIn = in;
        counts.waitingOut = out;
    }

    // A pseudo-terminal whose other side closed reads as end of file or EIO, a
    // pulled USB adapter as EIO or ENODEV: all of them are a line that is gone.
    int read(char* buffer, int size) override {
        const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(size));
        if (n > 0) return static_cast<int>(n);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
        if (n == 0 && !hungUp()) return 0;
        failure_ = n == 0 ? "the line hung up" : std::strerror(errno);
        return -1;
    }
    std::string failure() const override { return failure_; }

    int write(const char* data, int size) override {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(size));
        if (n >= 0) return static_cast<int>(n);
        return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
    }

    // Pseudo-terminals have no modem lines; the request then fails quietly.
    void setDTR(bool on) override { modemLine(TIOCM_DTR, on); }
    void setRTS(bool on) override { modemLine(TIOCM_RTS, on); }

  private:
    void modemLine(int line, bool on) { ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line); }
    bool hungUp() const {
        pollfd state{fd_, POLLIN, 0};
        return poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL));
    }

    int fd_;
    std::string failure_;
};

} // namespace

std::unique_ptr<SerialLine> PosixSerialPorts::open(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openFailure_ = std::strerror(errno);
        return nullptr;
    }
    // Exclusive use: a lock against other programs (it holds for root as well), and the
    // terminal's exclusive mode against plain opens.
    const bool terminal = isatty(fd);
    if (!terminal || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        openFailure_ = terminal ? "the device is in use by another program" : "not a serial line";
        close(fd);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);
    return std::make_unique<PosixLine>(fd);
}

} // namespace qorva
