#include "platform/uinput/uinput_keyboard.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <thread>
#include <unistd.h>

namespace qorva {

int LinuxKeyForVirtualKey(int vk) {
    static constexpr int kLetters[26] = {
        KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
        KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
    static constexpr int kDigits[10] = {KEY_0, KEY_1, KEY_2, KEY_3, KEY_4,
                                        KEY_5, KEY_6, KEY_7, KEY_8, KEY_9};
    static constexpr int kPad[10] = {KEY_KP0, KEY_KP1, KEY_KP2, KEY_KP3, KEY_KP4,
                                     KEY_KP5, KEY_KP6, KEY_KP7, KEY_KP8, KEY_KP9};
    if (vk >= 'A' && vk <= 'Z') return kLetters[vk - 'A'];
    if (vk >= '0' && vk <= '9') return kDigits[vk - '0'];
    if (vk >= vk::Numpad0 && vk <= vk::Numpad0 + 9) return kPad[vk - vk::Numpad0];
    switch (vk) {
    case vk::Tab:
        return KEY_TAB;
    case vk::Return:
        return KEY_ENTER;
    case vk::Shift:
        return KEY_LEFTSHIFT;
    case vk::Control:
        return KEY_LEFTCTRL;
    case vk::Menu:
        return KEY_LEFTALT;
    case vk::Pause:
        return KEY_PAUSE;
    case vk::Escape:
        return KEY_ESC;
    case vk::Space:
        return KEY_SPACE;
    case 33:
        return KEY_PAGEUP;
    case 34:
        return KEY_PAGEDOWN;
    case 35:
        return KEY_END;
    case 36:
        return KEY_HOME;
    case vk::Left:
        return KEY_LEFT;
    case vk::Up:
        return KEY_UP;
    case vk::Right:
        return KEY_RIGHT;
    case vk::Down:
        return KEY_DOWN;
    case vk::Insert:
        return KEY_INSERT;
    case 46:
        return KEY_DELETE;
    case vk::Multiply:
        return KEY_KPASTERISK;
    case vk::Add:
        return KEY_KPPLUS;
    case vk::Subtract:
        return KEY_KPMINUS;
    case vk::Decimal:
        return KEY_KPDOT;
    case vk::Divide:
        return KEY_KPSLASH;
    case 186:
        return KEY_SEMICOLON;
    case 187:
        return KEY_EQUAL;
    case vk::OemComma:
        return KEY_COMMA;
    case 189:
        return KEY_MINUS;
    case vk::OemPeriod:
        return KEY_DOT;
    case 191:
        return KEY_SLASH;
    case 192:
        return KEY_GRAVE;
    case 219:
        return KEY_LEFTBRACE;
    case 220:
        return KEY_BACKSLASH;
    case 221:
        return KEY_RIGHTBRACE;
    case 222:
        return KEY_APOSTROPHE;
    case vk::Oem102:
        return KEY_102ND; // the extra key beside left Shift on ISO keyboards
    }
    return 0;
}

struct UinputKeyboard::Device {
    libevdev* dev = nullptr;
    libevdev_uinput* uinput = nullptr;
    ~Device() {
        if (uinput) libevdev_uinput_destroy(uinput);
        if (dev) libevdev_free(dev);
    }
};

std::unique_ptr<UinputKeyboard> UinputKeyboard::open(std::string& error) {
    const int fd = ::open("/dev/uinput", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot open /dev/uinput (") + std::strerror(errno) +
                "); grant access with the udev rule KERNEL==\"uinput\", GROUP=\"input\", "
                "MODE=\"0660\" and add the user to the group input";
        return nullptr;
    }
    auto device = std::make_unique<Device>();
    device->dev = libevdev_new();
    libevdev_set_name(device->dev, "QORVA keyboard");
    libevdev_enable_event_type(device->dev, EV_KEY);
    for (int vkCode = 1; vkCode < 256; ++vkCode)
        if (const int key = LinuxKeyForVirtualKey(vkCode))
            libevdev_enable_event_code(device->dev, EV_KEY, key, nullptr);
    libevdev_enable_event_code(device->dev, EV_KEY, KEY_NUMLOCK, nullptr);
    libevdev_enable_event_type(device->dev, EV_LED);
    libevdev_enable_event_code(device->dev, EV_LED, LED_NUML, nullptr);
    const int rc = libevdev_uinput_create_from_device(device->dev, fd, &device->uinput);
    if (rc != 0) {
        ::close(fd);
        error = std::string("cannot create the virtual keyboard: ") + std::strerror(-rc);
        return nullptr;
    }
    return std::unique_ptr<UinputKeyboard>(new UinputKeyboard(std::move(device)));
}

UinputKeyboard::UinputKeyboard(std::unique_ptr<Device> device) : device_(std::move(device)) {}

UinputKeyboard::~UinputKeyboard() {
    waited(0);
    const int fd = libevdev_uinput_get_fd(device_->uinput);
    device_.reset();
    ::close(fd);
}

void UinputKeyboard::emit(int code, int value) {
    libevdev_uinput_write_event(device_->uinput, EV_KEY, static_cast<unsigned>(code), value);
    libevdev_uinput_write_event(device_->uinput, EV_SYN, SYN_REPORT, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The desktop reports the keyboard LEDs to every keyboard, ours included.
void UinputKeyboard::readLeds() {
    input_event event{};
    const int fd = libevdev_uinput_get_fd(device_->uinput);
    while (::read(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event))
        if (event.type == EV_LED && event.code == LED_NUML) numLockOn_ = event.value != 0;
}

void UinputKeyboard::ensureNumLock() {
    readLeds();
    if (numLockOn_) return;
    emit(KEY_NUMLOCK, 1);
    emit(KEY_NUMLOCK, 0);
    numLockOn_ = numLockForced_ = true;
}

void UinputKeyboard::sendKey(const KeyEvent& event) {
    const int key = LinuxKeyForVirtualKey(event.vk);
    if (!key) return;
    if (event.vk == vk::Shift) shiftHeld_ = event.press;
    if (event.press && event.vk >= vk::Numpad0 && event.vk <= vk::Divide) ensureNumLock();
    if (!event.press && !down_.count(key)) return;
    if (event.press && down_.count(key)) emit(key, 0); // a key left down is let go first
    emit(key, event.press ? 1 : 0);
    if (event.press)
        down_.insert(key);
    else
        down_.erase(key);
}

// Typing paused: what the program left pressed is let go, NumLock given back.
void UinputKeyboard::waited(int) {
    for (auto it = down_.begin(); it != down_.end();) {
        const int key = *it;
        if (shiftHeld_ && key == KEY_LEFTSHIFT) {
            ++it;
            continue;
        }
        emit(key, 0);
        it = down_.erase(it);
    }
    if (!numLockForced_) return;
    emit(KEY_NUMLOCK, 1);
    emit(KEY_NUMLOCK, 0);
    numLockOn_ = numLockForced_ = false;
}

} // namespace qorva
