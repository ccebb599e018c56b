#include "platform/uinput/uinput_keyboard.h"

#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <cstdlib>
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
    } cases[] = {{'A', KEY_A},
                 {'Z', KEY_Z},
                 {'0', KEY_0},
                 {'9', KEY_9},
                 {96, KEY_KP0},
                 {105, KEY_KP9},
                 {110, KEY_KPDOT},
                 {109, KEY_KPMINUS},
                 {106, KEY_KPASTERISK},
                 {107, KEY_KPPLUS},
                 {111, KEY_KPSLASH},
                 {190, KEY_DOT},
                 {188, KEY_COMMA},
                 {186, KEY_SEMICOLON},
                 {222, KEY_APOSTROPHE},
                 {192, KEY_GRAVE},
                 {219, KEY_LEFTBRACE},
                 {226, KEY_102ND},
                 {13, KEY_ENTER},
                 {9, KEY_TAB},
                 {16, KEY_LEFTSHIFT},
                 {17, KEY_LEFTCTRL},
                 {18, KEY_LEFTALT},
                 {19, KEY_PAUSE},
                 {27, KEY_ESC},
                 {32, KEY_SPACE},
                 {33, KEY_PAGEUP},
                 {34, KEY_PAGEDOWN},
                 {35, KEY_END},
                 {36, KEY_HOME},
                 {37, KEY_LEFT},
                 {38, KEY_UP},
                 {39, KEY_RIGHT},
                 {40, KEY_DOWN},
                 {45, KEY_INSERT},
                 {46, KEY_DELETE},
                 {41, 0},
                 {91, 0}};
    for (const auto& c : cases) EXPECT_EQ(LinuxKeyForVirtualKey(c.vk), c.key) << c.vk;
}

TEST(UinputKeyboard, ADeviceThatCannotBeOpenedIsAClearReason) {
    std::string error;
    EXPECT_EQ(UinputKeyboard::open(error, "/nonexistent/uinput"), nullptr);
    EXPECT_NE(error.find("/nonexistent/uinput"), std::string::npos) << error;
    EXPECT_NE(error.find("udev rule"), std::string::npos) << error;
}

// A real virtual keyboard types into whatever session the machine has: it is made only
// where no desktop is reachable, so its keys go nowhere.
TEST(UinputKeyboard, AThrowawayDeviceTakesKeys) {
    for (const char* session : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(session); value && *value)
            GTEST_SKIP() << "a desktop session is reachable ($" << session
                         << "): its keys would land there";
    if (access("/dev/uinput", W_OK) != 0) GTEST_SKIP() << "/dev/uinput is missing or not writable";
    std::string error;
    auto keyboard = UinputKeyboard::open(error);
    ASSERT_NE(keyboard, nullptr) << error;
    keyboard->sendKey({vk::Shift, 0, true});
    keyboard->sendKey({vk::Shift, 0, false});
}
