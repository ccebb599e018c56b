#pragma once
// A compositor for the Wayland port's tests, on a thread of its own and a socket in a
// folder of its own: one seat and, when asked for, the virtual-keyboard manager. It reads
// the keymap a virtual keyboard uploads as the focused client would, and writes down what
// each key typed under the modifiers last sent. It can stop reading its clients (their
// socket fills) and drop them (the compositor went away).
#include <memory>
#include <string>
#include <vector>

namespace qorva {

class FakeCompositor {
  public:
    explicit FakeCompositor(bool offerVirtualKeyboard = true);
    ~FakeCompositor();
    FakeCompositor(const FakeCompositor&) = delete;
    FakeCompositor& operator=(const FakeCompositor&) = delete;

    // The socket's path, as WAYLAND_DISPLAY or the port's open() takes it.
    const std::string& socketPath() const;

    // One entry per request of a virtual keyboard: "keymap", "modifiers DEPRESSED LOCKED",
    // "press X" and "release X", where X is what the key types (a character, or the
    // keysym's name in angle brackets for a key that types none).
    std::vector<std::string> requests() const;
    // What the presses typed, in order; modifier keys type nothing.
    std::string typed() const;
    // Waits up to timeoutMs until count key requests (presses and releases) have arrived;
    // false when they did not.
    bool waitForKeys(size_t count, int timeoutMs) const;
    // A protocol error the compositor sent a client; empty while there was none.
    std::string protocolError() const;

    void setReading(bool reading);
    // Closes every client's connection and waits until it is done.
    void dropClients();

    struct State;

  private:
    std::unique_ptr<State> state_;
};

} // namespace qorva
