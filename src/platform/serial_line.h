#pragma once
// The serial line as the serial port component needs it: open one device exclusively,
// line settings, queue sizes, purge, error clear with queue counts, read, write, DTR and
// RTS, close. Backends: termios for real ports and pseudo-terminals, and an in-memory
// line for tests and replays.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qorva {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int bitRate = 9600;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    Parity parity = Parity::None;
    bool rtsCtsFlow = false;
    bool xonXoffFlow = false;
    bool dtrOn = true;
    int xonLimit = 512, xoffLimit = 1;
    char xonChar = 0x11, xoffChar = 0x13;
};

struct QueueCounts {
    int waitingIn = 0;
    int waitingOut = 0;
};

// One open port. Reads never block longer than about a millisecond.
class SerialLine {
  public:
    virtual ~SerialLine() = default;
    virtual bool applySettings(const LineSettings& settings) = 0;
    virtual void setQueueSizes(int inBytes, int outBytes) = 0;
    virtual void purge(bool input, bool output) = 0;
    // Clears the line's error state and reports the bytes waiting in both queues.
    virtual void clearErrors(QueueCounts& counts) = 0;
    // Bytes read (0 when nothing waits), or -1 when the read failed: the device is gone or
    // hung up, and failure() says why.
    virtual int read(char* buffer, int size) = 0;
    virtual std::string failure() const = 0;
    virtual int write(const char* data, int size) = 0;
    virtual void setDTR(bool on) = 0;
    virtual void setRTS(bool on) = 0;
};

// Opens device paths; nullptr when the device is missing, held by another open, or
// not accessible, and openFailure() says which.
class SerialPorts {
  public:
    virtual ~SerialPorts() = default;
    virtual std::unique_ptr<SerialLine> open(const std::string& device) = 0;
    virtual std::string openFailure() const = 0;
};

// In-memory devices: a test or the replay tool writes what the instrument sends and
// reads what the program sent. A device can be missing, held, or hung up.
class MemorySerialPorts : public SerialPorts {
  public:
    struct Device {
        std::string input;  // bytes waiting to be read by the program
        std::string output; // bytes the program wrote
        bool present = true;
        bool open = false;
        bool hungUp = false;
        int outCapacity = 1 << 20;
        LineSettings settings;
        bool dtr = false, rts = false;
    };
    Device& device(const std::string& path) { return devices_[path]; }
    std::unique_ptr<SerialLine> open(const std::string& device) override;
    std::string openFailure() const override { return openFailure_; }

  private:
    std::map<std::string, Device> devices_;
    std::string openFailure_;
};

} // namespace qorva
