#pragma once
// Keys through a virtual keyboard device of the kernel (uinput), for desktops where
// XTest does not reach the focused application (Wayland sessions). One device is made
// at start and kept for the whole run: a fresh device loses its first events.
#include "platform/desktop_keyboard.h"

#include <memory>
#include <string>

namespace qorva {

// The Linux key code of a virtual-key code (US key positions) from the key table, 0 when
// there is none.
int LinuxKeyForVirtualKey(int vk);

class UinputKeyboard : public DesktopKeyboard {
  public:
    // nullptr and a one-line reason (with the udev rule that grants access) on failure.
    // devicePath is the kernel's uinput device; tests may name a throwaway one.
    static std::unique_ptr<UinputKeyboard> open(std::string& error,
                                                const std::string& devicePath = "/dev/uinput");
    ~UinputKeyboard() override;

  protected:
    SystemKey systemKey(int vk) const override;
    unsigned shiftCode() const override;
    void emitKey(unsigned code, bool press) override;
    bool numLockOn() override;
    void setNumLock(bool on) override;

  private:
    struct Device;
    explicit UinputKeyboard(std::unique_ptr<Device> device);
    void emit(int code, int value);

    std::unique_ptr<Device> device_;
    bool numLockOn_ = false;
};

} // namespace qorva
