#pragma once
// TCommPortDriver: opens one serial port, applies its line settings, polls it on a
// timer of the event loop and hands received bytes to OnReceiveData (or cuts them into
// packets for OnReceivePacket). Sends with an output timeout.
#include "platform/event_loop.h"
#include "platform/port_map.h"
#include "platform/serial_line.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qorva {

enum TComPortNumber {
    pnCOM1,
    pnCOM2,
    pnCOM3,
    pnCOM4,
    pnCOM5,
    pnCOM6,
    pnCOM7,
    pnCOM8,
    pnCOM9,
    pnCOM10,
    pnCOM11,
    pnCOM12,
    pnCOM13,
    pnCOM14,
    pnCOM15,
    pnCOM16
};
enum TComPortBaudRate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    br500000,
    br625000,
    br1Mbit,
    br125Mbit
};
enum TComPortDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TComPortStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TComPortParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum TComPortHwHandshaking { hhNONE, hhRTSCTS };
enum TComPortSwHandshaking { shNONE, shXONXOFF };
enum TPacketMode { pmDiscard, pmPass };

// The bit rate written to the port, and the one packet timing reckons with.
int PortBitRate(TComPortBaudRate rate);
int BitsPerSecond(TComPortBaudRate rate);
// Milliseconds that n bytes take at 10 bits per byte, rounded half to even.
int TransmitTimeMs(TComPortBaudRate rate, int n);

class TCommPortDriver {
  public:
    using TComPortReceiveDataEvent =
        std::function<void(TCommPortDriver* Sender, const char* DataPtr, int32_t DataSize)>;
    using TComPortReceivePacketEvent = std::function<void(
        TCommPortDriver* Sender, const char* Packet, int32_t DataSize, int32_t ElapsedTime)>;
    static constexpr uint32_t kNoTime = 0xFFFFFFFFu;

    TCommPortDriver(EventLoop& loop, SerialPorts& ports, const PortMap& portMap);
    ~TCommPortDriver();
    TCommPortDriver(const TCommPortDriver&) = delete;
    TCommPortDriver& operator=(const TCommPortDriver&) = delete;

    bool Connect();
    void Disconnect();
    bool Connected() const { return handle_ != nullptr; }
    void FlushBuffers(bool inBuf, bool outBuf);
    uint16_t OutFreeSpace();
    int32_t SendData(const char* DataPtr, int32_t DataSize);
    bool SendString(const std::string& s);
    bool SendZString(const char16_t* s);
    void ToggleDTR(bool onOff);
    void ToggleRTS(bool onOff);

    // ComHandle: attach a line opened elsewhere (nullptr: just disconnect), or detach the
    // open line without closing it.
    SerialLine* ComHandle() const { return handle_.get(); }
    void attachComHandle(std::unique_ptr<SerialLine> line);
    std::unique_ptr<SerialLine> detachComHandle();

    TComPortNumber ComPort() const { return comPort_; }
    void setComPort(TComPortNumber v);
    TComPortBaudRate ComPortSpeed() const { return baudRate_; }
    void setComPortSpeed(TComPortBaudRate v);
    TComPortDataBits ComPortDataBits() const { return dataBits_; }
    void setComPortDataBits(TComPortDataBits v);
    TComPortStopBits ComPortStopBits() const { return stopBits_; }
    void setComPortStopBits(TComPortStopBits v);
    TComPortParity ComPortParity() const { return parity_; }
    void setComPortParity(TComPortParity v);
    TComPortHwHandshaking ComPortHwHandshaking() const { return hwHandshaking_; }
    void setComPortHwHandshaking(TComPortHwHandshaking v);
    TComPortSwHandshaking ComPortSwHandshaking() const { return swHandshaking_; }
    void setComPortSwHandshaking(TComPortSwHandshaking v);
    uint16_t ComPortInBufSize() const { return inBufSize_; }
    void setComPortInBufSize(uint16_t v);
    uint16_t ComPortOutBufSize() const { return outBufSize_; }
    void setComPortOutBufSize(uint16_t v);
    int16_t PacketSize() const { return packetSize_; }
    void setPacketSize(int16_t v);
    int32_t PacketTimeout() const { return packetTimeout_; }
    void setPacketTimeout(int32_t v);
    TPacketMode PacketMode() const { return packetMode_; }
    void setPacketMode(TPacketMode v) { packetMode_ = v; }
    uint16_t ComPortPollingDelay() const { return pollingDelay_; }
    void setComPortPollingDelay(uint16_t v);
    bool EnableDTROnOpen() const { return enableDTROnOpen_; }
    void setEnableDTROnOpen(bool v) { enableDTROnOpen_ = v; }
    uint16_t OutputTimeout() const { return outputTimeout_; }
    void setOutputTimeout(uint16_t v) { outputTimeout_ = v; }

    TComPortReceiveDataEvent OnReceiveData;
    TComPortReceivePacketEvent OnReceivePacket;
    // The device refused the line settings; the port stays open with what it took.
    std::function<void(const std::string& device)> OnSettingsRefused;
    // A read failed: the device is gone or hung up. The port stays as it is; whoever
    // watches the line decides what to do, and hears of every failed read until then.
    std::function<void(const std::string& device, const std::string& reason)> OnLineError;

    // The device path the current port number opens.
    std::string DevicePath() const { return portMap_.pathFor(comPort_); }

  private:
    void ApplyComPortSettings();
    void PollPort();
    void lineFailed();
    void applyIfConnected();
    void startPollTimer();
    void stopPollTimer();
    uint32_t tick() const { return static_cast<uint32_t>(loop_.now()); }

    EventLoop& loop_;
    SerialPorts& ports_;
    const PortMap& portMap_;
    std::unique_ptr<SerialLine> handle_;
    EventLoop::TimerId pollTimer_ = 0;

    TComPortNumber comPort_ = pnCOM2;
    TComPortBaudRate baudRate_ = br9600;
    TComPortDataBits dataBits_ = db8BITS;
    TComPortStopBits stopBits_ = sb1BITS;
    TComPortParity parity_ = ptNONE;
    TComPortHwHandshaking hwHandshaking_ = hhNONE;
    TComPortSwHandshaking swHandshaking_ = shNONE;
    uint16_t inBufSize_ = 2048;
    uint16_t outBufSize_ = 2048;
    int16_t packetSize_ = -1;
    int32_t packetTimeout_ = -1;
    TPacketMode packetMode_ = pmDiscard;
    uint16_t pollingDelay_ = 50;
    bool enableDTROnOpen_ = true;
    uint16_t outputTimeout_ = 4000;
    std::vector<char> tempInBuffer_;
    uint32_t firstByteOfPacketTime_ = kNoTime;
};

} // namespace qorva
