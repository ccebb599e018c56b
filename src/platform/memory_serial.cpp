#include "platform/serial_line.h"

#include <algorithm>

namespace qorva {

namespace {

class MemoryLine : public SerialLine {
  public:
    explicit MemoryLine(MemorySerialPorts::Device& device) : device_(device) {
        device_.open = true;
    }
    ~MemoryLine() override { device_.open = false; }

    bool applySettings(const LineSettings& settings) override {
        device_.settings = settings;
        device_.dtr = settings.dtrOn;
        return true;
    }
    void setQueueSizes(int, int) override {}
    void purge(bool input, bool output) override {
        if (input) device_.input.clear();
        if (output) device_.output.clear();
    }
    void clearErrors(QueueCounts& counts) override {
        counts.waitingIn = device_.hungUp ? 0 : static_cast<int>(device_.input.size());
        counts.waitingOut = static_cast<int>(device_.output.size());
    }
    int read(char* buffer, int size) override {
        if (device_.hungUp) return -1;
        const int n = std::min<int>(size, static_cast<int>(device_.input.size()));
        std::copy_n(device_.input.begin(), n, buffer);
        device_.input.erase(0, static_cast<size_t>(n));
        return n;
    }
    std::string failure() const override { return device_.hungUp ? "the line hung up" : ""; }
    int write(const char* data, int size) override {
        if (device_.hungUp) return -1;
        const int room = device_.outCapacity - static_cast<int>(device_.output.size());
        const int n = std::clamp(size, 0, std::max(room, 0));
        device_.output.append(data, static_cast<size_t>(n));
        return n;
    }
    void setDTR(bool on) override { device_.dtr = on; }
    void setRTS(bool on) override { device_.rts = on; }

  private:
    MemorySerialPorts::Device& device_;
};

} // namespace

std::unique_ptr<SerialLine> MemorySerialPorts::open(const std::string& path) {
    const auto it = devices_.find(path);
    if (it == devices_.end() || !it->second.present || it->second.hungUp)
        openFailure_ = "no such device";
    else if (it->second.open)
        openFailure_ = "the device is in use";
    else
        return std::make_unique<MemoryLine>(it->second);
    return nullptr;
}

} // namespace qorva
