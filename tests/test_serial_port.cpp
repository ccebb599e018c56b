#include "platform/event_loop.h"
#include "platform/port_map.h"
#include "platform/posix/posix_serial.h"
#include "platform/serial_line.h"
#include "pty_pair.h"
#include "serial/ComDrv32.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qorva;
using qorva::test::PtyPair;
using qorva::test::WaitForInput;

namespace {

// The component on COM1 of a pseudo-terminal, in virtual time; every event recorded.
struct PortWorld {
    PtyPair pty;
    VirtualEventLoop loop;
    PosixSerialPorts ports;
    PortMap portMap;
    TCommPortDriver driver{loop, ports, portMap};
    std::vector<std::string> data;
    std::vector<std::pair<std::string, int>> packets;

    PortWorld() {
        portMap.assign(pnCOM1, pty.slavePath());
        driver.setComPort(pnCOM1);
        driver.OnReceiveData = [this](TCommPortDriver*, const char* p, int32_t n) {
            data.emplace_back(p, static_cast<size_t>(n));
        };
        driver.OnReceivePacket = [this](TCommPortDriver*, const char* p, int32_t n,
                                        int32_t elapsed) {
            packets.emplace_back(std::string(p, static_cast<size_t>(n)), elapsed);
        };
    }
    void tick() { loop.runUntil(loop.now() + driver.ComPortPollingDelay()); }
    // The instrument sends bytes, and the test goes on once they wait at the open port.
    void send(const std::string& bytes) {
        SerialLine* line = driver.ComHandle();
        ASSERT_NE(line, nullptr);
        QueueCounts before;
        line->clearErrors(before);
        ASSERT_TRUE(pty.write(bytes));
        ASSERT_TRUE(WaitForInput(*line, before.waitingIn + static_cast<int>(bytes.size())));
    }
};

} // namespace

TEST(SerialPort, DeliversInOrderAcrossPollTicks) {
    PortWorld w;
    ASSERT_TRUE(w.pty.ok());
    ASSERT_TRUE(w.driver.Connect());
    w.tick();
    EXPECT_TRUE(w.data.empty()) << "a tick with nothing waiting raises no event";
    w.send("first ");
    w.tick();
    w.send("second");
    w.tick();
    EXPECT_EQ(w.data, (std::vector<std::string>{"first ", "second"}));

    w.data.clear();
    w.send(std::string(3000, 'x'));
    w.tick();
    ASSERT_EQ(w.data.size(), 1u);
    EXPECT_EQ(w.data[0].size(), 2048u);
    w.tick();
    ASSERT_EQ(w.data.size(), 2u);
    EXPECT_EQ(w.data[1].size(), 952u);
}

TEST(SerialPort, OpeningMissingHeldAndTwice) {
    PortWorld w;
    ASSERT_TRUE(w.driver.Connect());
    EXPECT_TRUE(w.driver.Connect()) << "already open counts as success";
    SerialLine* line = w.driver.ComHandle();
    EXPECT_TRUE(w.driver.Connect());
    EXPECT_EQ(w.driver.ComHandle(), line) << "not reopened";

    PosixSerialPorts others;
    EXPECT_EQ(others.open(w.pty.slavePath()), nullptr) << "a port held by another open";

    w.driver.setComPort(pnCOM5);
    EXPECT_EQ(w.driver.ComPort(), pnCOM1) << "ComPort is ignored while connected";
    w.driver.Disconnect();
    EXPECT_NE(others.open(w.pty.slavePath()), nullptr) << "free again after Disconnect";

    w.portMap.assign(pnCOM5, "/dev/no-such-port");
    w.driver.setComPort(pnCOM5);
    EXPECT_FALSE(w.driver.Connect());
    EXPECT_FALSE(w.driver.Connected());
    w.driver.Disconnect();
    EXPECT_FALSE(w.driver.Connected());
    EXPECT_EQ(w.driver.OutFreeSpace(), 65535);
    EXPECT_EQ(w.driver.SendData("x", 1), 0);
    w.driver.ToggleDTR(true);
    w.driver.ToggleRTS(true);
}

TEST(SerialPort, ChangingLineSettingsWhileOpenPurgesBothQueues) {
    PortWorld w;
    ASSERT_TRUE(w.driver.Connect());
    w.send("stale bytes");
    w.driver.setComPortSpeed(br19200);
    w.tick();
    EXPECT_TRUE(w.data.empty());
    w.send("fresh");
    w.tick();
    EXPECT_EQ(w.data, std::vector<std::string>{"fresh"});
}

TEST(SerialPort, PacketModeCutsPacketsAndAdvancesTheirStart) {
    PortWorld w;
    ASSERT_TRUE(w.driver.Connect());
    w.driver.setPacketSize(10);
    w.send("0123456789abcdefghijKLMNO");
    w.tick(); // first sight of the bytes: 25 waiting, two packets at once
    const int d = TransmitTimeMs(br9600, 10);
    EXPECT_EQ(d, 10);
    ASSERT_EQ(w.packets.size(), 2u);
    EXPECT_EQ(w.packets[0].first, "0123456789");
    EXPECT_EQ(w.packets[1].first, "abcdefghij");
    EXPECT_EQ(w.packets[0].second, w.packets[1].second);
    EXPECT_TRUE(w.data.empty());

    w.packets.clear();
    w.driver.setPacketTimeout(120);
    w.driver.setPacketMode(pmPass);
    for (int k = 0; k < 6 && w.packets.empty(); ++k) w.tick();
    ASSERT_EQ(w.packets.size(), 1u) << "the 5 left over pass at their timeout";
    EXPECT_EQ(w.packets[0].first, "KLMNO");
    EXPECT_GT(w.packets[0].second, 120);

    w.packets.clear();
    w.driver.setPacketMode(pmDiscard);
    w.send("short");
    for (int k = 0; k < 6; ++k) w.tick();
    EXPECT_TRUE(w.packets.empty()) << "discarded at the timeout";
    w.driver.setPacketSize(5);
    w.send("again");
    w.tick();
    EXPECT_EQ(w.packets.size(), 1u) << "the discarded bytes are gone";
}

TEST(SerialPort, SetterRules) {
    PortWorld w;
    w.driver.setPacketSize(0);
    EXPECT_EQ(w.driver.PacketSize(), -1);
    w.driver.setPacketSize(-7);
    EXPECT_EQ(w.driver.PacketSize(), -1);
    w.driver.setPacketSize(3000);
    EXPECT_EQ(w.driver.PacketSize(), 3000);
    EXPECT_EQ(w.driver.ComPortInBufSize(), 6000);
    w.driver.setPacketTimeout(20);
    EXPECT_EQ(w.driver.PacketTimeout(), 300);
    w.driver.setPacketTimeout(0);
    EXPECT_EQ(w.driver.PacketTimeout(), -1);
    w.driver.setPacketTimeout(60);
    w.driver.setComPortPollingDelay(100);
    EXPECT_EQ(w.driver.PacketTimeout(), 350) << "the timeout stays above the poll period";
    ASSERT_TRUE(w.driver.Connect());
    w.driver.setComPortInBufSize(100);
    w.driver.setComPortOutBufSize(100);
    EXPECT_EQ(w.driver.ComPortInBufSize(), 6000);
    EXPECT_EQ(w.driver.ComPortOutBufSize(), 2048);
    EXPECT_EQ(TransmitTimeMs(br256000, 32), 1) << "timing reckons 250000 bit/s";
    EXPECT_EQ(TransmitTimeMs(br110, 1), 91);
    EXPECT_EQ(BitsPerSecond(br256000), 250000);
    EXPECT_EQ(PortBitRate(br256000), 256000);
}

TEST(SerialPort, SendingAndTheOutputTimeout) {
    PortWorld w;
    ASSERT_TRUE(w.driver.Connect());
    EXPECT_TRUE(w.driver.SendString("hello"));
    EXPECT_EQ(w.pty.read(5), "hello");

    w.driver.setOutputTimeout(200);
    const std::string block(1 << 16, 'z'); // the peer never reads: the queue fills up
    const int64_t before = w.loop.now();
    EXPECT_EQ(w.driver.SendData(block.data(), static_cast<int32_t>(block.size())), -1);
    EXPECT_GE(w.loop.now() - before, 200);
}

TEST(SerialPort, OddBitRatesAndLineSettingsApply) {
    PortWorld w;
    ASSERT_TRUE(w.driver.Connect());
    for (TComPortBaudRate rate : {br14400, br56000, br128000, br256000, br625000, br125Mbit, br110})
        w.driver.setComPortSpeed(rate);
    w.driver.setComPortParity(ptMARK);
    w.driver.setComPortStopBits(sb2BITS);
    w.driver.setComPortDataBits(db7BITS);
    w.driver.setComPortHwHandshaking(hhRTSCTS);
    w.driver.setComPortSwHandshaking(shXONXOFF);
    w.driver.setComPortDataBits(db8BITS);
    w.driver.setComPortParity(ptNONE);
    w.driver.setComPortHwHandshaking(hhNONE);
    w.driver.setComPortSwHandshaking(shNONE);
    w.send("still works");
    w.tick();
    EXPECT_EQ(w.data, std::vector<std::string>{"still works"});
}

TEST(SerialPort, AttachedAndDetachedHandles) {
    PortWorld w;
    PosixSerialPorts ports;
    w.driver.attachComHandle(ports.open(w.pty.slavePath()));
    ASSERT_TRUE(w.driver.Connected());
    w.send("adopted\n"); // no settings are applied: the line is still in line mode
    w.tick();
    EXPECT_EQ(w.data, std::vector<std::string>{"adopted\n"});
    std::unique_ptr<SerialLine> detached = w.driver.detachComHandle();
    EXPECT_FALSE(w.driver.Connected());
    ASSERT_TRUE(w.pty.write("not polled\n"));
    ASSERT_TRUE(WaitForInput(*detached, 11));
    w.tick();
    EXPECT_EQ(w.data.size(), 1u);
    char buffer[32];
    EXPECT_EQ(detached->read(buffer, sizeof buffer), 11) << "the detached line stays open";
}
