#include "platform/wayland/fake_compositor.h"

#include "virtual-keyboard-unstable-v1-server-protocol.h"

#include <wayland-server.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace qorva {

struct FakeCompositor::State {
    wl_display* display = nullptr;
    std::string folder, socketPath;
    std::thread thread;
    std::atomic<bool> stopping{false}, reading{true}, dropRequested{false};

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<std::string> requests;
    std::string typed, protocolError;
    size_t keys = 0;

    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
    xkb_keymap* keymap = nullptr;
    xkb_state* xkb = nullptr;

    void record(const std::string& request) {
        std::lock_guard lock(mutex);
        requests.push_back(request);
        changed.notify_all();
    }

    // What a key types with the modifiers last sent: its text, or its keysym's name.
    std::string textOf(uint32_t key) const {
        const xkb_keycode_t code = key + 8;
        char text[64] = {};
        xkb_state_key_get_utf8(xkb, code, text, sizeof text);
        const auto first = static_cast<unsigned char>(text[0]);
        if (first >= 0x20 && first != 0x7f) return text;
        char name[64] = {};
        xkb_keysym_get_name(xkb_state_key_get_one_sym(xkb, code), name, sizeof name);
        return std::string("<") + name + ">";
    }

    void setKeymap(int fd, uint32_t size) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        close(fd);
        if (text == MAP_FAILED) return;
        if (xkb) xkb_state_unref(xkb);
        if (keymap) xkb_keymap_unref(keymap);
        keymap = xkb_keymap_new_from_string(context, static_cast<const char*>(text),
                                            XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
        munmap(text, size);
        xkb = keymap ? xkb_state_new(keymap) : nullptr;
        record(keymap ? "keymap" : "keymap that does not compile");
    }

    void key(wl_resource* keyboard, uint32_t key, uint32_t pressed) {
        if (!xkb) {
            wl_resource_post_error(keyboard, ZWP_VIRTUAL_KEYBOARD_V1_ERROR_NO_KEYMAP,
                                   "a key before the keymap");
            std::lock_guard lock(mutex);
            protocolError = "a key before the keymap";
            return;
        }
        const std::string text = textOf(key);
        const xkb_keysym_t keysym = xkb_state_key_get_one_sym(xkb, key + 8);
        const bool modifier =
            (keysym >= XKB_KEY_Shift_L && keysym <= XKB_KEY_Hyper_R) || keysym == XKB_KEY_Num_Lock;
        std::lock_guard lock(mutex);
        requests.push_back((pressed ? "press " : "release ") + text);
        if (pressed && !modifier) typed += text;
        ++keys;
        changed.notify_all();
    }

    void modifiers(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group) {
        if (xkb) xkb_state_update_mask(xkb, depressed, latched, locked, 0, 0, group);
        record("modifiers " + std::to_string(depressed) + " " + std::to_string(locked));
    }

    void run() {
        wl_event_loop* loop = wl_display_get_event_loop(display);
        while (!stopping) {
            if (dropRequested) {
                wl_list* clients = wl_display_get_client_list(display);
                while (!wl_list_empty(clients))
                    wl_client_destroy(wl_client_from_link(clients->next));
                std::lock_guard lock(mutex);
                dropRequested = false;
                changed.notify_all();
            }
            if (reading)
                wl_event_loop_dispatch(loop, 5);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            wl_display_flush_clients(display);
        }
    }
};

namespace {

using State = FakeCompositor::State;

State& stateOf(wl_resource* resource) {
    return *static_cast<State*>(wl_resource_get_user_data(resource));
}

void keymapRequest(wl_client*, wl_resource* keyboard, uint32_t, int32_t fd, uint32_t size) {
    stateOf(keyboard).setKeymap(fd, size);
}
void keyRequest(wl_client*, wl_resource* keyboard, uint32_t, uint32_t key, uint32_t pressed) {
    stateOf(keyboard).key(keyboard, key, pressed);
}
void modifiersRequest(wl_client*, wl_resource* keyboard, uint32_t depressed, uint32_t latched,
                      uint32_t locked, uint32_t group) {
    stateOf(keyboard).modifiers(depressed, latched, locked, group);
}
void destroyRequest(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

const struct zwp_virtual_keyboard_v1_interface kKeyboard = {keymapRequest, keyRequest,
                                                            modifiersRequest, destroyRequest};

void createKeyboard(wl_client* client, wl_resource* manager, wl_resource*, uint32_t id) {
    wl_resource* keyboard = wl_resource_create(client, &zwp_virtual_keyboard_v1_interface, 1, id);
    wl_resource_set_implementation(keyboard, &kKeyboard, &stateOf(manager), nullptr);
}

const struct zwp_virtual_keyboard_manager_v1_interface kManager = {createKeyboard};

void bindManager(wl_client* client, void* data, uint32_t version, uint32_t id) {
    wl_resource* manager =
        wl_resource_create(client, &zwp_virtual_keyboard_manager_v1_interface, version, id);
    wl_resource_set_implementation(manager, &kManager, data, nullptr);
}

void releaseSeat(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}
void noDevice(wl_client*, wl_resource*, uint32_t) {}

const struct wl_seat_interface kSeat = {noDevice, noDevice, noDevice, releaseSeat};

void bindSeat(wl_client* client, void* data, uint32_t version, uint32_t id) {
    wl_resource* seat = wl_resource_create(client, &wl_seat_interface, version, id);
    wl_resource_set_implementation(seat, &kSeat, data, nullptr);
    wl_seat_send_capabilities(seat, WL_SEAT_CAPABILITY_KEYBOARD);
}

int listeningSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path)
        throw std::runtime_error("no socket for the fake compositor");
    path.copy(address.sun_path, path.size());
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0)
        throw std::runtime_error("cannot listen on " + path);
    return fd;
}

} // namespace

FakeCompositor::FakeCompositor(bool offerVirtualKeyboard) : state_(std::make_unique<State>()) {
    std::string folder = (std::filesystem::temp_directory_path() / "qorva-wayland-XXXXXX").string();
    if (!mkdtemp(folder.data())) throw std::runtime_error("no folder for the fake compositor");
    state_->folder = folder;
    state_->socketPath = folder + "/wayland-0";
    state_->display = wl_display_create();
    if (wl_display_add_socket_fd(state_->display, listeningSocket(state_->socketPath)) != 0)
        throw std::runtime_error("the fake compositor cannot take its socket");
    wl_global_create(state_->display, &wl_seat_interface, 1, state_.get(), bindSeat);
    if (offerVirtualKeyboard)
        wl_global_create(state_->display, &zwp_virtual_keyboard_manager_v1_interface, 1,
                         state_.get(), bindManager);
    state_->thread = std::thread([this] { state_->run(); });
}

FakeCompositor::~FakeCompositor() {
    state_->stopping = true;
    state_->thread.join();
    wl_display_destroy_clients(state_->display);
    wl_display_destroy(state_->display);
    if (state_->xkb) xkb_state_unref(state_->xkb);
    if (state_->keymap) xkb_keymap_unref(state_->keymap);
    xkb_context_unref(state_->context);
    std::filesystem::remove_all(state_->folder);
}

const std::string& FakeCompositor::socketPath() const {
    return state_->socketPath;
}

std::vector<std::string> FakeCompositor::requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

std::string FakeCompositor::typed() const {
    std::lock_guard lock(state_->mutex);
    return state_->typed;
}

bool FakeCompositor::waitForKeys(size_t count, int timeoutMs) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return state_->keys >= count; });
}

std::string FakeCompositor::protocolError() const {
    std::lock_guard lock(state_->mutex);
    return state_->protocolError;
}

void FakeCompositor::setReading(bool reading) {
    state_->reading = reading;
}

void FakeCompositor::dropClients() {
    state_->dropRequested = true;
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return !state_->dropRequested; });
}

} // namespace qorva
