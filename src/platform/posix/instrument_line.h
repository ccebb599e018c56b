#pragma once
// The instrument's end of a serial line, for the simulator, the benchmark and the tests:
// the master side of a pseudo-terminal of its own (the program opens slavePath() as its
// serial port), or an existing device. Every wait is for the bytes themselves, bounded
// by a timeout in milliseconds (negative: no bound).
#include <memory>
#include <string>

namespace qorva {

class InstrumentLine {
  public:
    // nullptr and the system's reason when there is none to be had.
    static std::unique_ptr<InstrumentLine> createPseudoTerminal(std::string& error);
    static std::unique_ptr<InstrumentLine> openDevice(const std::string& path, std::string& error);
    ~InstrumentLine();
    InstrumentLine(const InstrumentLine&) = delete;
    InstrumentLine& operator=(const InstrumentLine&) = delete;

    // The device the program opens: the pseudo-terminal's other side, or the device.
    const std::string& path() const { return path_; }
    // Writes all of bytes, waiting for room while the queue is full; false when the line
    // refuses them or no room comes in time (lastError() says why).
    bool write(const std::string& bytes, int timeoutMs = -1);
    // What the program sent: count bytes, or fewer when they do not come in time.
    std::string read(size_t count, int timeoutMs);
    // Waits until a program holds the pseudo-terminal's other side open; false in time.
    bool waitForPeer(int timeoutMs);
    // Closes this end: the program's side of a pseudo-terminal sees a hang-up.
    void hangUp();
    const std::string& lastError() const { return lastError_; }

  private:
    InstrumentLine(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    int fd_;
    std::string path_;
    std::string lastError_;
};

} // namespace qorva
