#include "app_world.h"
#include "platform/posix/posix_serial.h"
#include "pty_pair.h"
#include "world.h"

#include <gtest/gtest.h>

using namespace qorva;
using namespace qorva::test;

TEST(Connection, StartStopAndTheStatusTexts) {
    World w;
    w.serialPorts.device(w.portMap.pathFor(pnCOM1)).present = false;
    w.frm.Button3.Click();
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kConnectError);
    EXPECT_EQ(w.beeper.beeps, (std::vector<int>{0, 48}));
    EXPECT_TRUE(w.frm.Button3.Enabled());
    EXPECT_FALSE(w.frm.Button4.Enabled());

    w.serialPorts.device(w.portMap.pathFor(pnCOM1)).present = true;
    w.frm.BaudRate.setItemIndex(5);
    w.frm.Button3.Click();
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kConnected);
    EXPECT_TRUE(w.frm.running());
    EXPECT_TRUE(w.frm.Button4.Enabled());
    EXPECT_EQ(w.line(pnCOM1).settings.bitRate, 19200);

    w.frm.Button4.Click();
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kDisconnected);
    EXPECT_FALSE(w.frm.CommPortDriver1.Connected());
    EXPECT_FALSE(w.frm.running());
}

TEST(Connection, PortAndBitRateChangesReopenWithoutTouchingTheRunningState) {
    World w;
    w.frm.Commport.setItemIndex(1); // as start-up does: COM2
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kConnectError) << "COM2 is not there";
    EXPECT_EQ(w.beeper.beeps, std::vector<int>{48});
    w.frm.Commport.setItemIndex(0);
    w.frm.Button3.Click();
    ASSERT_TRUE(w.frm.running());

    w.line(pnCOM7);
    w.frm.Commport.setItemIndex(6);
    EXPECT_TRUE(w.line(pnCOM7).open);
    EXPECT_FALSE(w.line(pnCOM1).open);
    EXPECT_EQ(w.frm.CommportPath.Caption(), "/dev/ttyS6");
    EXPECT_TRUE(w.frm.running());

    w.frm.Commport.setItemIndex(8); // COM9 is missing: error, still running
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kConnectError);
    EXPECT_TRUE(w.frm.Button4.Enabled());

    w.frm.Commport.setItemIndex(6);
    w.frm.BaudRate.setText("12345");
    EXPECT_EQ(w.line(pnCOM7).settings.bitRate, 9600) << "typed text: no item, 9600";
    w.frm.BaudRate.setItemIndex(8);
    EXPECT_EQ(w.line(pnCOM7).settings.bitRate, 115200);
}

TEST(Connection, AHangUpLosesNothingAndConnectWorksWhenTheLineIsBack) {
    World w;
    onPage(w, "Blatt5");
    w.frm.Button3.Click();
    MemorySerialPorts::Device& line = w.line(pnCOM1);
    line.input = "REC-1\r\nREC-2\r\n";
    w.loop.runUntil(60); // polled and queued
    EXPECT_EQ(w.frm.pipeline.RSBUF.size(), 2u);
    line.hungUp = true;
    w.loop.runUntil(1000);
    EXPECT_TRUE(w.frm.pipeline.RSBUF.empty()) << "queued records are still parsed";
    w.frm.BitBtn12.Click();
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kConnectError);
    EXPECT_TRUE(w.frm.running());
    line.hungUp = false;
    w.frm.BitBtn12.Click();
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kConnected);
    line.input = "0.012\r\n";
    w.loop.runUntil(w.loop.now() + 400);
    EXPECT_EQ(w.grid(), "n,0.012\n");
}

// A record the port has read is typed even when the line hangs up right after, and the
// program keeps running on the dead line.
TEST(Connection, APseudoTerminalThatHangsUpLosesNothingReadBeforeIt) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    MemoryPlatform platform;
    PosixSerialPorts posix;
    platform.portMap.assign(pnCOM1, pty.slavePath());
    TMainFrm frm(platform.services(posix));
    frm.Manufacturer.setActivePageIndex(1);
    frm.densito.setFromText("Blatt5");
    frm.Button3.Click();
    ASSERT_TRUE(frm.CommPortDriver1.Connected());
    ASSERT_TRUE(pty.write("0.012\r\n"));
    ASSERT_TRUE(WaitForInput(*frm.CommPortDriver1.ComHandle(), 7));
    platform.loop.runUntil(60); // polled and queued
    ASSERT_EQ(frm.pipeline.RSBUF.size(), 1u);
    pty.hangUp();
    platform.loop.runUntil(1000);
    EXPECT_EQ(platform.grid(), "n,0.012\n");
    EXPECT_TRUE(frm.running());
}

namespace {

// The whole program on the PFI page, with the line on COM1.
struct WatchedLine : AppWorld {
    WatchedLine() : AppWorld(settingsPath(), true) {
        frm.Manufacturer.setActivePageIndex(1);
        frm.densito.setFromText("Blatt5");
        frm.Commport.setItemIndex(0);
    }
    MemorySerialPorts::Device& device() { return line(pnCOM1); }
    int said(const std::string& text) const {
        int count = 0;
        for (size_t at = log.str().find(text); at != std::string::npos;
             at = log.str().find(text, at + 1))
            ++count;
        return count;
    }
    void runFor(int ms) { loop.runUntil(loop.now() + ms); }
};

} // namespace

// A lost line is said once with its reason, opened again every second until it is back,
// and every record from before and after is typed.
TEST(LineWatch, AHungUpLineIsOpenedAgainUntilItIsBack) {
    WatchedLine w;
    w.frm.Button3.Click();
    const LineSettings settings = w.device().settings;
    w.device().input = "0.011\r\n";
    w.runFor(500);
    w.device().hungUp = true;
    w.runFor(5500);
    EXPECT_EQ(w.said("lost /dev/ttyS0: the line hung up; trying again every second"), 1)
        << w.log.str();
    EXPECT_NE(w.frm.StatusBar1.SimpleText().find("lost /dev/ttyS0"), std::string::npos);
    EXPECT_FALSE(w.frm.CommPortDriver1.Connected());
    w.device().hungUp = false;
    w.runFor(1500);
    EXPECT_EQ(w.said("/dev/ttyS0 is back"), 1) << w.log.str();
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), TMainFrm::kConnected);
    w.device().input = "0.012\r\n";
    EXPECT_EQ(w.device().settings.bitRate, settings.bitRate) << "opened with the same settings";
    EXPECT_EQ(w.device().settings.parity, settings.parity);
    w.runFor(500);
    EXPECT_EQ(w.grid(), "n,0.011\nn,0.012\n");
}

TEST(LineWatch, ADeviceMissingAtStartIsWaitedForAndStartedWhenItComes) {
    WatchedLine w;
    w.device().present = false;
    w.frm.Button3.Click();
    EXPECT_FALSE(w.frm.CommPortDriver1.Connected());
    EXPECT_EQ(w.said("cannot open /dev/ttyS0: no such device; trying again every second"), 1)
        << w.log.str();
    w.runFor(3500);
    w.device().present = true;
    w.runFor(1500);
    EXPECT_TRUE(w.frm.running());
    EXPECT_EQ(w.said("/dev/ttyS0 is back"), 1) << w.log.str();
    w.device().input = "0.012\r\n";
    w.runFor(500);
    EXPECT_EQ(w.grid(), "n,0.012\n");
}

// STOP while the line is away ends the waiting: the program does not open a port the
// user closed.
TEST(LineWatch, StopEndsTheWaiting) {
    WatchedLine w;
    w.frm.Button3.Click();
    w.device().hungUp = true;
    w.runFor(1500);
    w.frm.Button4.Click();
    w.device().hungUp = false;
    w.runFor(3000);
    EXPECT_FALSE(w.frm.CommPortDriver1.Connected());
    EXPECT_FALSE(w.app.lineWatch.waiting());
    EXPECT_EQ(w.said("is back"), 0) << w.log.str();
}
