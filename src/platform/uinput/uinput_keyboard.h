#pragma once
// Keys through a virtual keyboard device of the kernel (uinput), for desktops where
// XTest does not reach the focused application (Wayland sessions). One device is made
// at start and kept for the whole run: a fresh device loses its first events.
#include "platform/keyboard.h"

#include <memory>
#include <set>
#include <string>

namespace qorva {

// The Linux key code of a virtual-key code (US key positions), 0 when there is none.
int LinuxKeyForVirtualKey(int vk);

class UinputKeyboard : public KeyboardPort {
  public:
    // nullptr and a one-line reason (with the udev rule that grants access) on failure.
    static std::unique_ptr<UinputKeyboard> open(std::string& error);
    ~UinputKeyboard() override;

    void sendKey(const KeyEvent& event) override;
    void waited(int ms) override;
    int moveSettleMs() const override { return moveSettleMs_; }
    void setMoveSettleMs(int ms) { moveSettleMs_ = ms; }

  private:
    struct Device;
    explicit UinputKeyboard(std::unique_ptr<Device> device);
    void emit(int code, int value);
    void readLeds();
    void ensureNumLock();

    std::unique_ptr<Device> device_;
    std::set<int> down_; // keys the program holds
    bool shiftHeld_ = false;
    bool numLockOn_ = false;
    bool numLockForced_ = false;
    int moveSettleMs_ = 0;
};

} // namespace qorva
