#include "platform/posix/termios_settings.h"

#include <gtest/gtest.h>

using namespace qorva;

namespace {

LineSettings with(Parity parity, StopBits stopBits, int dataBits = 8) {
    LineSettings settings;
    settings.parity = parity;
    settings.stopBits = stopBits;
    settings.dataBits = dataBits;
    return settings;
}

} // namespace

// Every parity and stop-bit choice sets exactly its control bits, and the bits of the
// previous settings never survive.
TEST(TermiosSettings, ParityStopBitsAndCharacterSize) {
    struct Case {
        LineSettings settings;
        tcflag_t set, clear;
    } cases[] = {
        {with(Parity::None, StopBits::One), CS8, PARENB | PARODD | CMSPAR | CSTOPB},
        {with(Parity::Odd, StopBits::One), CS8 | PARENB | PARODD, CMSPAR | CSTOPB},
        {with(Parity::Even, StopBits::One), CS8 | PARENB, PARODD | CMSPAR | CSTOPB},
        {with(Parity::Mark, StopBits::One), CS8 | PARENB | PARODD | CMSPAR, CSTOPB},
        {with(Parity::Space, StopBits::One), CS8 | PARENB | CMSPAR, PARODD | CSTOPB},
        {with(Parity::None, StopBits::OneAndHalf), CS8 | CSTOPB, PARENB},
        {with(Parity::None, StopBits::Two), CS8 | CSTOPB, PARENB},
        {with(Parity::Even, StopBits::One, 7), CS7 | PARENB, PARODD},
        {with(Parity::None, StopBits::One, 5), CS5, PARENB},
    };
    termios dirty{};
    dirty.c_cflag = PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CS6;
    dirty.c_iflag = IXON | IXOFF | IXANY;
    for (const Case& c : cases) {
        const termios tio = TermiosFor(c.settings, dirty);
        SCOPED_TRACE(testing::Message() << "parity " << static_cast<int>(c.settings.parity)
                                        << ", stop bits " << static_cast<int>(c.settings.stopBits)
                                        << ", " << c.settings.dataBits << " data bits");
        EXPECT_EQ(tio.c_cflag & CSIZE, c.set & CSIZE);
        EXPECT_EQ(tio.c_cflag & (c.set & ~CSIZE), c.set & ~CSIZE);
        EXPECT_EQ(tio.c_cflag & c.clear, 0u);
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY), 0u);
        EXPECT_TRUE(tio.c_cflag & CLOCAL);
        EXPECT_TRUE(tio.c_cflag & CREAD);
    }
}

TEST(TermiosSettings, FlowControlRawBytesAndReadsThatNeverWait) {
    LineSettings settings;
    settings.rtsCtsFlow = true;
    settings.xonXoffFlow = true;
    settings.xonChar = 0x01;
    settings.xoffChar = 0x02;
    termios cooked{};
    cooked.c_lflag = ICANON | ECHO | ISIG;
    cooked.c_oflag = OPOST;
    cooked.c_cc[VMIN] = 1;
    const termios tio = TermiosFor(settings, cooked);
    EXPECT_TRUE(tio.c_cflag & CRTSCTS);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tio.c_cc[VSTART], 0x01);
    EXPECT_EQ(tio.c_cc[VSTOP], 0x02);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

// Standard rates get their B-constant; the others are left to the arbitrary-rate call and
// keep the device's speed in the attributes.
TEST(TermiosSettings, BitRates) {
    struct Case {
        int bitRate;
        speed_t speed;
    } cases[] = {{110, B110},         {9600, B9600}, {19200, B19200}, {115200, B115200},
                 {1000000, B1000000}, {14400, 0},    {56000, 0},      {1250000, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(StandardSpeed(c.bitRate), c.speed) << c.bitRate;
        termios before{};
        cfsetospeed(&before, B2400);
        LineSettings settings;
        settings.bitRate = c.bitRate;
        const termios tio = TermiosFor(settings, before);
        EXPECT_EQ(cfgetospeed(&tio), c.speed ? c.speed : B2400) << c.bitRate;
    }
}
