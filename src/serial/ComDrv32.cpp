#include "serial/ComDrv32.h"

#include <algorithm>
#include <cmath>

namespace qorva {

namespace {

constexpr int kPortBitRates[] = {110,    300,    600,    1200,    2400,   4800,   9600,
                                 14400,  19200,  38400,  56000,   57600,  115200, 128000,
                                 256000, 500000, 625000, 1000000, 1250000};
constexpr int kTimingBitRates[] = {110,    300,    600,    1200,    2400,   4800,   9600,
                                   14400,  19200,  38400,  56000,   57600,  115200, 128000,
                                   250000, 500000, 625000, 1000000, 1250000};

Parity LineParity(TComPortParity parity) {
    switch (parity) {
    case ptODD:
        return Parity::Odd;
    case ptEVEN:
        return Parity::Even;
    case ptMARK:
        return Parity::Mark;
    case ptSPACE:
        return Parity::Space;
    case ptNONE:
        break;
    }
    return Parity::None;
}

StopBits LineStopBits(TComPortStopBits stopBits) {
    switch (stopBits) {
    case sb1HALFBITS:
        return StopBits::OneAndHalf;
    case sb2BITS:
        return StopBits::Two;
    case sb1BITS:
        break;
    }
    return StopBits::One;
}

} // namespace

int PortBitRate(TComPortBaudRate rate) {
    return kPortBitRates[rate];
}
int BitsPerSecond(TComPortBaudRate rate) {
    return kTimingBitRates[rate];
}

int TransmitTimeMs(TComPortBaudRate rate, int n) {
    const double ms = n / (BitsPerSecond(rate) / 10.0) * 1000.0;
    return static_cast<int>(std::nearbyint(ms)); // the default rounding mode rounds halves to even
}

TCommPortDriver::TCommPortDriver(EventLoop& loop, SerialPorts& ports, const PortMap& portMap)
    : loop_(loop), ports_(ports), portMap_(portMap), tempInBuffer_(inBufSize_) {}

TCommPortDriver::~TCommPortDriver() {
    Disconnect();
}

bool TCommPortDriver::Connect() {
    if (Connected()) return true;
    handle_ = ports_.open(DevicePath());
    if (!handle_) return false;
    ApplyComPortSettings();
    startPollTimer();
    return true;
}

void TCommPortDriver::Disconnect() {
    if (!Connected()) return;
    stopPollTimer();
    handle_.reset();
}

void TCommPortDriver::startPollTimer() {
    pollTimer_ = loop_.startTimer(pollingDelay_, [this] { PollPort(); });
}

void TCommPortDriver::stopPollTimer() {
    if (pollTimer_) loop_.stopTimer(pollTimer_);
    pollTimer_ = 0;
}

void TCommPortDriver::ApplyComPortSettings() {
    if (!Connected()) return;
    LineSettings settings;
    settings.bitRate = PortBitRate(baudRate_);
    settings.dtrOn = enableDTROnOpen_;
    settings.rtsCtsFlow = hwHandshaking_ == hhRTSCTS;
    settings.xonXoffFlow = swHandshaking_ == shXONXOFF;
    settings.xonLimit = inBufSize_ / 4;
    settings.xoffLimit = 1;
    settings.dataBits = dataBits_ + 5;
    settings.parity = LineParity(parity_);
    settings.stopBits = LineStopBits(stopBits_);
    if (!handle_->applySettings(settings) && OnSettingsRefused) OnSettingsRefused(DevicePath());
    FlushBuffers(true, true);
    handle_->setQueueSizes(inBufSize_, outBufSize_);
}

void TCommPortDriver::applyIfConnected() {
    if (Connected()) ApplyComPortSettings();
}

void TCommPortDriver::FlushBuffers(bool inBuf, bool outBuf) {
    if (!Connected()) return;
    handle_->purge(inBuf, outBuf);
    firstByteOfPacketTime_ = kNoTime;
}

uint16_t TCommPortDriver::OutFreeSpace() {
    if (!Connected()) return 65535;
    QueueCounts counts;
    handle_->clearErrors(counts);
    if (counts.waitingOut > outBufSize_) return 65535;
    return static_cast<uint16_t>(outBufSize_ - counts.waitingOut);
}

// Waits for room in 1 ms steps of the event loop rather than spinning, so a full queue
// neither burns a core nor stops virtual time.
int32_t TCommPortDriver::SendData(const char* DataPtr, int32_t DataSize) {
    if (!Connected()) return 0;
    int32_t result = 0;
    int64_t start = loop_.now();
    while (DataSize > 0 && Connected()) {
        const uint16_t room = OutFreeSpace();
        if (room != 0 && room != 65535) {
            const int n = std::min<int32_t>(DataSize, room);
            const int written = std::max(handle_->write(DataPtr, n), 0);
            result += written;
            DataPtr += written;
            DataSize -= written;
            if (written > 0) start = loop_.now();
            if (written > 0) continue;
        }
        if (loop_.now() - start > outputTimeout_) return -1;
        loop_.delay(1);
    }
    return result;
}

bool TCommPortDriver::SendString(const std::string& s) {
    return SendData(s.data(), static_cast<int32_t>(s.size())) == static_cast<int32_t>(s.size());
}

// The characters' low bytes are sent, one byte per character.
bool TCommPortDriver::SendZString(const char16_t* s) {
    std::string bytes;
    for (; s && *s; ++s) bytes += static_cast<char>(*s & 0xFF);
    return SendString(bytes);
}

void TCommPortDriver::ToggleDTR(bool onOff) {
    if (Connected()) handle_->setDTR(onOff);
}

void TCommPortDriver::ToggleRTS(bool onOff) {
    if (Connected()) handle_->setRTS(onOff);
}

void TCommPortDriver::attachComHandle(std::unique_ptr<SerialLine> line) {
    if (line.get() == handle_.get()) return;
    Disconnect();
    if (!line) return;
    handle_ = std::move(line);
    startPollTimer();
}

std::unique_ptr<SerialLine> TCommPortDriver::detachComHandle() {
    if (Connected()) stopPollTimer();
    return std::move(handle_);
}

void TCommPortDriver::setComPort(TComPortNumber v) {
    if (!Connected()) comPort_ = v;
}

void TCommPortDriver::setComPortSpeed(TComPortBaudRate v) {
    baudRate_ = v;
    applyIfConnected();
}
void TCommPortDriver::setComPortDataBits(TComPortDataBits v) {
    dataBits_ = v;
    applyIfConnected();
}
void TCommPortDriver::setComPortStopBits(TComPortStopBits v) {
    stopBits_ = v;
    applyIfConnected();
}
void TCommPortDriver::setComPortParity(TComPortParity v) {
    parity_ = v;
    applyIfConnected();
}
void TCommPortDriver::setComPortHwHandshaking(TComPortHwHandshaking v) {
    hwHandshaking_ = v;
    applyIfConnected();
}
void TCommPortDriver::setComPortSwHandshaking(TComPortSwHandshaking v) {
    swHandshaking_ = v;
    applyIfConnected();
}

void TCommPortDriver::setComPortInBufSize(uint16_t v) {
    if (Connected()) return;
    inBufSize_ = v;
    tempInBuffer_.assign(inBufSize_, 0);
    setPacketSize(packetSize_);
}

void TCommPortDriver::setComPortOutBufSize(uint16_t v) {
    if (!Connected()) outBufSize_ = v;
}

void TCommPortDriver::setPacketSize(int16_t v) {
    const bool connected = Connected();
    if (connected) stopPollTimer();
    if (v <= 0) {
        packetSize_ = -1;
    } else {
        if (v > inBufSize_) {
            inBufSize_ = static_cast<uint16_t>(2 * v);
            tempInBuffer_.assign(inBufSize_, 0);
        }
        packetSize_ = v;
    }
    if (connected) startPollTimer();
}

void TCommPortDriver::setPacketTimeout(int32_t v) {
    if (v <= 0)
        packetTimeout_ = -1;
    else if (v < pollingDelay_)
        packetTimeout_ = pollingDelay_ + 250;
    else
        packetTimeout_ = v;
}

void TCommPortDriver::setComPortPollingDelay(uint16_t v) {
    if (v == pollingDelay_) return;
    const bool connected = Connected();
    if (connected) stopPollTimer();
    pollingDelay_ = v;
    if (connected) startPollTimer();
    setPacketTimeout(packetTimeout_);
}

void TCommPortDriver::lineFailed() {
    if (OnLineError) OnLineError(DevicePath(), handle_->failure());
}

void TCommPortDriver::PollPort() {
    if (!Connected()) return;
    QueueCounts counts;
    handle_->clearErrors(counts);
    int q = counts.waitingIn;
    char* buffer = tempInBuffer_.data();
    if (packetSize_ <= 0) {
        const int n = handle_->read(buffer, inBufSize_);
        if (n > 0 && OnReceiveData) OnReceiveData(this, buffer, n);
        if (n < 0) lineFailed();
        return;
    }
    const int p = packetSize_;
    if (q >= p) {
        uint32_t t = tick();
        do {
            const int n = handle_->read(buffer, p);
            if (n < 0) return lineFailed();
            // A packet found whole before any tick saw its first byte counts from now.
            const uint32_t start = firstByteOfPacketTime_ == kNoTime ? t : firstByteOfPacketTime_;
            if (n > 0 && OnReceivePacket)
                OnReceivePacket(this, buffer, n, static_cast<int32_t>(t - start));
            if (!Connected()) return;
            if (p < q) {
                const uint32_t d = static_cast<uint32_t>(TransmitTimeMs(baudRate_, p));
                t += d;
                firstByteOfPacketTime_ = start + d;
            }
            q -= p;
            if (q == 0) firstByteOfPacketTime_ = kNoTime;
        } while (q >= p);
        return;
    }
    const uint32_t now = tick();
    if (packetTimeout_ > 0 && firstByteOfPacketTime_ != kNoTime &&
        now - firstByteOfPacketTime_ > static_cast<uint32_t>(packetTimeout_)) {
        const int n = handle_->read(buffer, q);
        if (n < 0) return lineFailed();
        if (n > 0 && packetMode_ == pmPass && OnReceivePacket)
            OnReceivePacket(this, buffer, n, static_cast<int32_t>(now - firstByteOfPacketTime_));
        firstByteOfPacketTime_ = kNoTime;
        return;
    }
    if (q > 0 && firstByteOfPacketTime_ == kNoTime) firstByteOfPacketTime_ = now;
}

} // namespace qorva
