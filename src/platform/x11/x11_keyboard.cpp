#include "platform/x11/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

namespace qorva {

struct X11Keyboard::Connection {
    Display* display = nullptr;
    ~Connection() {
        if (display) XCloseDisplay(display);
    }
};

unsigned long KeysymForVirtualKey(int vk) {
    if (vk >= 'A' && vk <= 'Z') return XK_a + static_cast<unsigned long>(vk - 'A');
    if (vk >= '0' && vk <= '9') return XK_0 + static_cast<unsigned long>(vk - '0');
    if (vk >= vk::Numpad0 && vk <= vk::Numpad0 + 9)
        return XK_KP_0 + static_cast<unsigned long>(vk - vk::Numpad0);
    switch (vk) {
    case vk::Tab:
        return XK_Tab;
    case vk::Return:
        return XK_Return;
    case vk::Shift:
        return XK_Shift_L;
    case vk::Control:
        return XK_Control_L;
    case vk::Menu:
        return XK_Alt_L;
    case vk::Pause:
        return XK_Pause;
    case vk::Escape:
        return XK_Escape;
    case vk::Space:
        return XK_space;
    case 33:
        return XK_Prior;
    case 34:
        return XK_Next;
    case 35:
        return XK_End;
    case 36:
        return XK_Home;
    case vk::Left:
        return XK_Left;
    case vk::Up:
        return XK_Up;
    case vk::Right:
        return XK_Right;
    case vk::Down:
        return XK_Down;
    case vk::Insert:
        return XK_Insert;
    case 46:
        return XK_Delete;
    case vk::Multiply:
        return XK_KP_Multiply;
    case vk::Add:
        return XK_KP_Add;
    case vk::Subtract:
        return XK_KP_Subtract;
    case vk::Decimal:
        return XK_KP_Decimal;
    case vk::Divide:
        return XK_KP_Divide;
    case 186:
        return XK_semicolon;
    case 187:
        return XK_equal;
    case vk::OemComma:
        return XK_comma;
    case 189:
        return XK_minus;
    case vk::OemPeriod:
        return XK_period;
    case 191:
        return XK_slash;
    case 192:
        return XK_grave;
    case 219:
        return XK_bracketleft;
    case 220:
        return XK_backslash;
    case 221:
        return XK_bracketright;
    case 222:
        return XK_apostrophe;
    }
    return 0;
}

std::unique_ptr<X11Keyboard> X11Keyboard::open(const std::string& display, std::string& error) {
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (!connection->display) {
        error = "cannot open the X display '" + display + "'";
        return nullptr;
    }
    int event = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(connection->display, &event, &errorBase, &major, &minor)) {
        error = "the X display has no XTest extension";
        return nullptr;
    }
    return std::unique_ptr<X11Keyboard>(new X11Keyboard(std::move(connection)));
}

X11Keyboard::X11Keyboard(std::unique_ptr<Connection> connection) : x_(std::move(connection)) {}

X11Keyboard::~X11Keyboard() {
    typingStopped();
}

X11Keyboard::XKey X11Keyboard::keyFor(int vk) const {
    if (vk == vk::Oem102) return {lentKeycode_, 0};
    const unsigned long keysym = KeysymForVirtualKey(vk);
    if (!keysym) return {};
    const KeyCode keycode = XKeysymToKeycode(x_->display, keysym);
    if (!keycode) return {};
    for (int level = 0; level < 4; ++level)
        if (XkbKeycodeToKeysym(x_->display, keycode, 0, level) == keysym) return {keycode, level};
    return {keycode, 0};
}

// Each event is flushed and synchronised with the server and followed by at least 1 ms:
// targets lose a repeated character when press and release share a millisecond.
void X11Keyboard::fake(unsigned keycode, bool press) {
    XTestFakeKeyEvent(x_->display, keycode, press ? True : False, CurrentTime);
    XFlush(x_->display);
    XSync(x_->display, False);
    if (press)
        down_.insert(keycode);
    else
        down_.erase(keycode);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void X11Keyboard::ensureNumLock() {
    const unsigned mask = XkbKeysymToModifiers(x_->display, XK_Num_Lock);
    XkbStateRec state{};
    if (!mask || XkbGetState(x_->display, XkbUseCoreKbd, &state) != Success) return;
    if (state.locked_mods & mask) return;
    XkbLockModifiers(x_->display, XkbUseCoreKbd, mask, mask);
    XSync(x_->display, False);
    numLockForced_ = true;
}

void X11Keyboard::sendKey(const KeyEvent& event) {
    if (event.vk == vk::Shift) shiftHeld_ = event.press;
    const XKey key = keyFor(event.vk);
    if (!key.keycode) return;
    const bool numpad = event.vk >= vk::Numpad0 && event.vk <= vk::Divide;
    if (numpad) ensureNumLock();
    if (!event.press) {
        if (down_.count(key.keycode)) fake(key.keycode, false);
        return;
    }
    if (down_.count(key.keycode)) fake(key.keycode, false); // a key left down is let go first
    // Numeric-pad keys type their digits through NumLock, not through Shift.
    const bool addShift = key.level == 1 && !shiftHeld_ && !numpad;
    const unsigned shift = XKeysymToKeycode(x_->display, XK_Shift_L);
    if (addShift) fake(shift, true);
    fake(key.keycode, true);
    if (addShift) {
        fake(key.keycode, false);
        fake(shift, false);
    }
}

void X11Keyboard::waited(int) {
    typingStopped();
}

void X11Keyboard::typingStopped() {
    const unsigned shift = XKeysymToKeycode(x_->display, XK_Shift_L);
    for (auto it = down_.begin(); it != down_.end();) {
        const unsigned keycode = *it++;
        if (!(shiftHeld_ && keycode == shift)) fake(keycode, false);
    }
    if (numLockForced_) {
        const unsigned mask = XkbKeysymToModifiers(x_->display, XK_Num_Lock);
        XkbLockModifiers(x_->display, XkbUseCoreKbd, mask, 0);
        XSync(x_->display, False);
        numLockForced_ = false;
    }
}

int X11Keyboard::scanCode(int vk) const {
    return static_cast<int>(keyFor(vk).keycode);
}

std::optional<CharKey> X11Keyboard::keyForChar(char c) const {
    const auto code = static_cast<unsigned char>(c);
    const unsigned long keysym = code; // Latin-1 characters are their own keysyms
    const KeyCode keycode = XKeysymToKeycode(x_->display, keysym);
    if (!keycode) return std::nullopt;
    int level = -1;
    for (int l = 0; l < 4 && level < 0; ++l)
        if (XkbKeycodeToKeysym(x_->display, keycode, 0, l) == keysym) level = l;
    // A character on an AltGr level is not offered: the key sink presses no modifier for a
    // combination, so the key would type its plain character instead.
    if (level < 0 || level > 1) return std::nullopt;
    const int shiftState = level == 1 ? kShiftBit : 0;
    // The virtual key this port sends as the same X key without a shift of its own.
    for (int vkCode = 1; vkCode < 256; ++vkCode) {
        if (vkCode == vk::Shift || !IsSafeKey(vkCode)) continue;
        const XKey key = keyFor(vkCode);
        if (key.keycode == keycode && key.level == 0) return CharKey{vkCode, shiftState};
    }
    lentKeycode_ = keycode;
    return CharKey{vk::Oem102, shiftState};
}

} // namespace qorva
