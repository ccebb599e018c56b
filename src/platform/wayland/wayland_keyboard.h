#pragma once
// Keys into a Wayland desktop through the compositor's virtual keyboard
// (zwp_virtual_keyboard_v1), with no privileges. One connection and one virtual keyboard
// serve the whole run: a keyboard made for a burst loses its first key while the
// compositor announces it to the focused client. The keyboard carries a keymap of its own
// (wayland_keymap.h, the US layout), uploaded once, so letters and punctuation land right whatever
// layout the desktop is set to; Shift, Ctrl, Alt and NumLock go to the compositor as modifier
// state, since it derives none from our keys.
#include "platform/desktop_keyboard.h"

#include <memory>
#include <string>

namespace qorva {

class WaylandKeyboard : public DesktopKeyboard {
  public:
    // The wait after each key event: a client that is sent keys faster than it takes them
    // has its connection dropped by the compositor (LibreOffice Calc then ends); Calc under
    // sway took every key at this pace.
    static constexpr int kDefaultKeyWaitMs = 5;

    // display: a socket name or path as WAYLAND_DISPLAY takes it; empty for the session's.
    // nullptr and a one-line reason when there is no compositor or it offers no virtual
    // keyboard.
    static std::unique_ptr<WaylandKeyboard> open(const std::string& display, std::string& error);
    ~WaylandKeyboard() override;

    // False once the compositor's connection is lost; the loss is reported once and keys
    // are dropped from then on.
    bool connected() const;

  protected:
    SystemKey systemKey(int vk) const override;
    unsigned shiftCode() const override;
    void emitKey(unsigned code, bool press) override;
    bool numLockOn() override;
    void setNumLock(bool on) override;

  private:
    struct Connection;
    explicit WaylandKeyboard(std::unique_ptr<Connection> connection);
    void sendModifiers();
    void flush();
    void lose(const std::string& reason);

    std::unique_ptr<Connection> wayland_;
    unsigned depressed_ = 0; // modifier bits of the keys held
    unsigned locked_ = 0;    // NumLock's bit while it is on
};

} // namespace qorva
