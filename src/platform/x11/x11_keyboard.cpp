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
    const KeyRow* key = FindKey(vk);
    return key ? key->keysym : 0;
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

DesktopKeyboard::SystemKey X11Keyboard::systemKey(int vk) const {
    const XKey key = keyFor(vk);
    return {key.keycode, key.level == 1};
}

unsigned X11Keyboard::shiftCode() const {
    return XKeysymToKeycode(x_->display, XK_Shift_L);
}

// Each event is flushed and synchronised with the server and followed by at least 1 ms:
// targets lose a repeated character when press and release share a millisecond.
void X11Keyboard::emitKey(unsigned code, bool press) {
    XTestFakeKeyEvent(x_->display, code, press ? True : False, CurrentTime);
    XFlush(x_->display);
    XSync(x_->display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

unsigned X11Keyboard::numLockMask() const {
    return XkbKeysymToModifiers(x_->display, XK_Num_Lock);
}

// A keymap without NumLock counts as on: there is nothing to switch.
bool X11Keyboard::numLockOn() {
    XkbStateRec state{};
    const unsigned mask = numLockMask();
    if (!mask || XkbGetState(x_->display, XkbUseCoreKbd, &state) != Success) return true;
    return (state.locked_mods & mask) != 0;
}

void X11Keyboard::setNumLock(bool on) {
    const unsigned mask = numLockMask();
    XkbLockModifiers(x_->display, XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(x_->display, False);
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
