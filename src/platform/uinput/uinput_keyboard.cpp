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
    const KeyRow* key = FindKey(vk);
    return key ? key->linuxKey : 0;
}

struct UinputKeyboard::Device {
    libevdev* dev = nullptr;
    libevdev_uinput* uinput = nullptr;
    ~Device() {
        if (uinput) libevdev_uinput_destroy(uinput);
        if (dev) libevdev_free(dev);
    }
};

std::unique_ptr<UinputKeyboard> UinputKeyboard::open(std::string& error,
                                                     const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + devicePath + " (" + std::strerror(errno) +
                "); grant access with the udev rule KERNEL==\"uinput\", GROUP=\"input\", "
                "MODE=\"0660\" and add the user to the group input";
        return nullptr;
    }
    auto device = std::make_unique<Device>();
    device->dev = libevdev_new();
    libevdev_set_name(device->dev, "QORVA keyboard");
    libevdev_enable_event_type(device->dev, EV_KEY);
    for (const KeyRow& key : KeyTable())
        if (key.linuxKey) libevdev_enable_event_code(device->dev, EV_KEY, key.linuxKey, nullptr);
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
    typingStopped();
    const int fd = libevdev_uinput_get_fd(device_->uinput);
    device_.reset();
    ::close(fd);
}

void UinputKeyboard::emit(int code, int value) {
    libevdev_uinput_write_event(device_->uinput, EV_KEY, static_cast<unsigned>(code), value);
    libevdev_uinput_write_event(device_->uinput, EV_SYN, SYN_REPORT, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

DesktopKeyboard::SystemKey UinputKeyboard::systemKey(int vk) const {
    return {static_cast<unsigned>(LinuxKeyForVirtualKey(vk)), false};
}

unsigned UinputKeyboard::shiftCode() const {
    return KEY_LEFTSHIFT;
}

void UinputKeyboard::emitKey(unsigned code, bool press) {
    emit(static_cast<int>(code), press ? 1 : 0);
}

// The desktop reports the keyboard LEDs to every keyboard, ours included.
bool UinputKeyboard::numLockOn() {
    input_event event{};
    const int fd = libevdev_uinput_get_fd(device_->uinput);
    while (::read(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event))
        if (event.type == EV_LED && event.code == LED_NUML) numLockOn_ = event.value != 0;
    return numLockOn_;
}

// NumLock is a key here: a tap switches it.
void UinputKeyboard::setNumLock(bool on) {
    if (numLockOn_ == on) return;
    emit(KEY_NUMLOCK, 1);
    emit(KEY_NUMLOCK, 0);
    numLockOn_ = on;
}

} // namespace qorva
