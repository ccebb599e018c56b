#include "platform/wayland/wayland_keyboard.h"

#include "platform/wayland/wayland_keymap.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

namespace qorva {

namespace {

// How long a write waits for a compositor that reads nothing before the connection counts
// as lost.
constexpr int kStalledCompositorMs = 10000;

struct Modifiers {
    unsigned shift = 0, control = 0, alt = 0, numLock = 0;
};

// The modifier bits of our keymap, as the compositor and its clients read them.
bool readModifiers(const std::string& keymapText, Modifiers& modifiers) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
    if (!context) return false;
    xkb_keymap* keymap = xkb_keymap_new_from_string(
        context, keymapText.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap) {
        const auto bit = [keymap](const char* name) {
            const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
            return index == XKB_MOD_INVALID ? 0u : 1u << index;
        };
        modifiers = {bit(XKB_MOD_NAME_SHIFT), bit(XKB_MOD_NAME_CTRL), bit(XKB_MOD_NAME_ALT),
                     bit(XKB_MOD_NAME_NUM)};
        xkb_keymap_unref(keymap);
    }
    xkb_context_unref(context);
    return keymap != nullptr;
}

// The keymap in a sealed-off memory file, as the protocol hands it over: the text with its
// terminating NUL. -1 on failure.
int keymapFile(const std::string& text) {
    const int fd = memfd_create("qorva-keymap", MFD_CLOEXEC);
    if (fd < 0) return -1;
    const size_t size = text.size() + 1;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, text.c_str() + written, size - written);
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        written += static_cast<size_t>(n);
    }
    return fd;
}

uint32_t milliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

struct WaylandKeyboard::Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    Modifiers modifiers;
    bool lost = false;

    ~Connection() {
        if (keyboard) zwp_virtual_keyboard_v1_destroy(keyboard);
        if (manager) zwp_virtual_keyboard_manager_v1_destroy(manager);
        if (seat) wl_seat_destroy(seat);
        if (registry) wl_registry_destroy(registry);
        if (!display) return;
        wl_display_flush(display);
        wl_display_disconnect(display);
    }

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t) {
        auto* self = static_cast<Connection*>(data);
        if (!self->seat && std::strcmp(interface, wl_seat_interface.name) == 0)
            self->seat =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        if (!self->manager &&
            std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
            self->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
    static void globalRemove(void*, wl_registry*, uint32_t) {}
    static const wl_registry_listener listener;

    // The modifier bit a key of ours sets while it is held; 0 for other keys.
    unsigned modifierOf(unsigned code) const {
        const auto is = [code](int vk) {
            return code == static_cast<unsigned>(FindKey(vk)->linuxKey);
        };
        if (is(vk::Shift)) return modifiers.shift;
        if (is(vk::Control)) return modifiers.control;
        if (is(vk::Menu)) return modifiers.alt;
        return 0;
    }
};

const wl_registry_listener WaylandKeyboard::Connection::listener = {Connection::global,
                                                                    Connection::globalRemove};

std::unique_ptr<WaylandKeyboard> WaylandKeyboard::open(const std::string& display,
                                                       std::string& error) {
    auto wayland = std::make_unique<Connection>();
    wayland->display = wl_display_connect(display.empty() ? nullptr : display.c_str());
    if (!wayland->display) {
        error = "cannot connect to the Wayland compositor" +
                (display.empty() ? std::string() : " '" + display + "'") + " (" +
                std::strerror(errno) + ")";
        return nullptr;
    }
    wayland->registry = wl_display_get_registry(wayland->display);
    wl_registry_add_listener(wayland->registry, &Connection::listener, wayland.get());
    if (wl_display_roundtrip(wayland->display) < 0) {
        error = "the Wayland compositor closed the connection";
        return nullptr;
    }
    if (!wayland->manager || !wayland->seat) {
        error = wayland->seat ? "the Wayland compositor offers no virtual keyboard "
                                "(zwp_virtual_keyboard_manager_v1)"
                              : "the Wayland compositor has no seat";
        return nullptr;
    }
    const std::string keymap = WaylandKeymapText(error);
    if (keymap.empty()) return nullptr;
    if (!readModifiers(keymap, wayland->modifiers)) {
        error = "cannot compile the keyboard's keymap";
        return nullptr;
    }
    const int fd = keymapFile(keymap);
    if (fd < 0) {
        error = std::string("cannot hand the keymap over: ") + std::strerror(errno);
        return nullptr;
    }
    wayland->keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(wayland->manager, wayland->seat);
    zwp_virtual_keyboard_v1_keymap(wayland->keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<uint32_t>(keymap.size() + 1));
    ::close(fd);
    if (wl_display_roundtrip(wayland->display) < 0) {
        error = "the Wayland compositor refused the virtual keyboard";
        return nullptr;
    }
    return std::unique_ptr<WaylandKeyboard>(new WaylandKeyboard(std::move(wayland)));
}

WaylandKeyboard::WaylandKeyboard(std::unique_ptr<Connection> connection)
    : wayland_(std::move(connection)) {
    setKeyWaitMs(kDefaultKeyWaitMs);
}

WaylandKeyboard::~WaylandKeyboard() {
    typingStopped();
}

bool WaylandKeyboard::connected() const {
    return !wayland_->lost;
}

void WaylandKeyboard::lose(const std::string& reason) {
    if (wayland_->lost) return;
    wayland_->lost = true;
    reportFault("lost the connection to the Wayland compositor (" + reason +
                "); no more keys are typed");
}

// Sends what is queued, waiting while the socket is full, and takes in what the
// compositor sent meanwhile (a protocol error ends the connection).
void WaylandKeyboard::flush() {
    wl_display* display = wayland_->display;
    pollfd socket{wl_display_get_fd(display), POLLOUT, 0};
    while (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) return lose(std::strerror(errno));
        if (poll(&socket, 1, kStalledCompositorMs) == 0)
            return lose("the compositor took no keys for " +
                        std::to_string(kStalledCompositorMs / 1000) + " s");
    }
    while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
    pollfd incoming{wl_display_get_fd(display), POLLIN, 0};
    if (poll(&incoming, 1, 0) > 0)
        wl_display_read_events(display);
    else
        wl_display_cancel_read(display);
    wl_display_dispatch_pending(display);
    if (const int code = wl_display_get_error(display)) lose(std::strerror(code));
}

void WaylandKeyboard::sendModifiers() {
    zwp_virtual_keyboard_v1_modifiers(wayland_->keyboard, depressed_, 0, locked_, 0);
}

DesktopKeyboard::SystemKey WaylandKeyboard::systemKey(int vk) const {
    const KeyRow* key = FindKey(vk);
    return {key ? static_cast<unsigned>(key->linuxKey) : 0u, false};
}

unsigned WaylandKeyboard::shiftCode() const {
    return static_cast<unsigned>(FindKey(vk::Shift)->linuxKey);
}

void WaylandKeyboard::emitKey(unsigned code, bool press) {
    if (wayland_->lost) return;
    zwp_virtual_keyboard_v1_key(wayland_->keyboard, milliseconds(), code,
                                press ? WL_KEYBOARD_KEY_STATE_PRESSED
                                      : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (const unsigned modifier = wayland_->modifierOf(code)) {
        depressed_ = press ? depressed_ | modifier : depressed_ & ~modifier;
        sendModifiers();
    }
    flush();
}

bool WaylandKeyboard::numLockOn() {
    return (locked_ & wayland_->modifiers.numLock) != 0;
}

// NumLock of our own keyboard: a locked modifier the compositor passes on.
void WaylandKeyboard::setNumLock(bool on) {
    if (wayland_->lost) return;
    locked_ = on ? wayland_->modifiers.numLock : 0;
    sendModifiers();
    flush();
}

} // namespace qorva
