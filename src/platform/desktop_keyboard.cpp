#include "platform/desktop_keyboard.h"

#include <chrono>
#include <thread>

namespace qorva {

void DesktopKeyboard::press(unsigned code, bool down) {
    emitKey(code, down);
    if (keyWaitMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(keyWaitMs_));
    if (down)
        down_.insert(code);
    else
        down_.erase(code);
}

void DesktopKeyboard::ensureNumLock() {
    if (numLockOn()) return;
    setNumLock(true);
    numLockForced_ = true;
}

void DesktopKeyboard::sendKey(const KeyEvent& event) {
    if (event.vk == vk::Shift) shiftHeld_ = event.press;
    const SystemKey key = systemKey(event.vk);
    if (!key.code) return;
    const bool numpad = IsNumpadKey(event.vk);
    if (!event.press) {
        if (down_.count(key.code)) press(key.code, false);
        return;
    }
    if (numpad) ensureNumLock();
    if (down_.count(key.code)) press(key.code, false);
    // Numeric-pad keys type their digits through NumLock, not through Shift.
    const bool addShift = key.shifted && !shiftHeld_ && !numpad;
    if (addShift) press(shiftCode(), true);
    press(key.code, true);
    if (addShift) {
        press(key.code, false);
        press(shiftCode(), false);
    }
}

void DesktopKeyboard::waited(int) {
    typingStopped();
}

void DesktopKeyboard::typingStopped() {
    for (auto it = down_.begin(); it != down_.end();) {
        const unsigned code = *it++;
        if (!(shiftHeld_ && code == shiftCode())) press(code, false);
    }
    if (!numLockForced_) return;
    setNumLock(false);
    numLockForced_ = false;
}

} // namespace qorva
