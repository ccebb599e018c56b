#pragma once
// Keys into the X desktop through XTest. Every virtual-key code is mapped to an X key
// through the live keymap, so letters and punctuation land right on any layout; the
// character-to-key lookup answers from the same keymap.
#include "platform/desktop_keyboard.h"

#include <memory>
#include <string>

namespace qorva {

class X11Keyboard : public DesktopKeyboard, public KeyLayout {
  public:
    // nullptr and a one-line reason when the display cannot be used.
    static std::unique_ptr<X11Keyboard> open(const std::string& display, std::string& error);
    ~X11Keyboard() override;

    const KeyLayout* layout() const override { return this; }
    int scanCode(int vk) const override;
    std::optional<CharKey> keyForChar(char c) const override;

    // The X key code and shift level a virtual-key code types with; 0 when the keymap
    // has no key for it.
    struct XKey {
        unsigned keycode = 0;
        int level = 0;
    };
    XKey keyFor(int vk) const;

  protected:
    SystemKey systemKey(int vk) const override;
    unsigned shiftCode() const override;
    void emitKey(unsigned code, bool press) override;
    bool numLockOn() override;
    void setNumLock(bool on) override;

  private:
    struct Connection;
    explicit X11Keyboard(std::unique_ptr<Connection> connection);
    unsigned numLockMask() const;

    std::unique_ptr<Connection> x_;
    // A key of the keymap that no virtual key of the table names (":" and "/" share one on
    // AZERTY) is lent the code of the ISO extra key, which the table leaves free, when a
    // character on it is asked for; the key is typed right after the question, so the
    // last one asked for holds it. 0 while nothing is lent.
    mutable unsigned lentKeycode_ = 0;
};

// The X keysym each virtual-key code stands for (0 for codes without one), from the key
// table.
unsigned long KeysymForVirtualKey(int vk);

} // namespace qorva
