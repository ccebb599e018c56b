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
