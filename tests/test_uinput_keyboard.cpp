#include "platform/uinput/uinput_keyboard.h"

#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <set>

using namespace qorva;

TEST(UinputKeyboard, EveryKeyTheProgramSendsHasALinuxKey) {
    std::set<int> used;
    for (int vk = 1; vk < 256; ++vk) {
        if (!IsSafeKey(vk) || (vk >= 58 && vk <= 64) || vk == 108) continue; // codes without a key
        const int key = LinuxKeyForVirtualKey(vk);
        EXPECT_NE(key, 0) << "virtual key " << vk;
        EXPECT_TRUE(used.insert(key).second) << "virtual key " << vk << " shares a key";
    }
    struct Case {
        int vk, key;
    } cases[] = {{'A', KEY_A},   {'Z', KEY_Z},        {'0', KEY_0},
                 {96, KEY_KP0},  {110, KEY_KPDOT},    {109, KEY_KPMINUS},
                 {190, KEY_DOT}, {188, KEY_COMMA},    {13, KEY_ENTER},
                 {9, KEY_TAB},   {16, KEY_LEFTSHIFT}, {19, KEY_PAUSE},
                 {37, KEY_LEFT}, {45, KEY_INSERT},    {41, 0},
                 {91, 0}};
    for (const auto& c : cases) EXPECT_EQ(LinuxKeyForVirtualKey(c.vk), c.key) << c.vk;
}

TEST(UinputKeyboard, TheDeviceOrAClearReason) {
    std::string error;
    auto keyboard = UinputKeyboard::open(error);
    if (access("/dev/uinput", F_OK) != 0) {
        EXPECT_EQ(keyboard, nullptr);
        EXPECT_NE(error.find("udev rule"), std::string::npos) << error;
        GTEST_SKIP() << "this machine has no /dev/uinput: " << error;
    }
    ASSERT_NE(keyboard, nullptr) << error;
    keyboard->sendKey({vk::Shift, 0, true});
    keyboard->sendKey({vk::Shift, 0, false});
}
