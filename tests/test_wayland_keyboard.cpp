// The Wayland port against a compositor of our own: what each key types under the keymap
// the port uploads, the modifiers it sends, a socket that fills and a compositor that goes.
#include "platform/wayland/fake_compositor.h"
#include "platform/wayland/wayland_keyboard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace qorva;

namespace {

using Requests = std::vector<std::string>;

// A compositor and the port on it, keys sent without a wait.
struct Session {
    FakeCompositor compositor;
    std::unique_ptr<WaylandKeyboard> keyboard;
    size_t keysSent = 0;

    Session() {
        std::string error;
        keyboard = WaylandKeyboard::open(compositor.socketPath(), error);
        if (!keyboard) throw std::runtime_error(error);
        keyboard->setKeyWaitMs(0);
    }
    void send(int vk, bool press, int systemEvents = 1) {
        keyboard->sendKey({vk, 0, press});
        keysSent += static_cast<size_t>(systemEvents);
    }
    void tap(int vk) {
        send(vk, true);
        send(vk, false);
    }
    // What arrived once the compositor has taken every key sent.
    std::string typed() {
        EXPECT_TRUE(compositor.waitForKeys(keysSent, 5000));
        return compositor.typed();
    }
    // The requests so far: a last Escape is sent and waited for, so the modifiers that
    // follow the last key have arrived too, and left out.
    Requests requests() {
        tap(vk::Escape);
        EXPECT_TRUE(compositor.waitForKeys(keysSent, 5000));
        Requests requests = compositor.requests();
        requests.resize(requests.size() - 2);
        return requests;
    }
};

struct Row {
    const char* name;
    std::vector<int> keys;
    bool shifted;
    std::string typed;
};

std::vector<Row> rows() {
    Row plain{"main keys", {}, false, ""}, shifted{"main keys with Shift", {}, true, ""};
    for (const KeyRow& key : KeyTable())
        if (key.plain && !IsNumpadKey(key.vk)) {
            plain.keys.push_back(key.vk);
            shifted.keys.push_back(key.vk);
            plain.typed += key.plain;
            shifted.typed += key.shifted;
        }
    return {plain,
            shifted,
            {"numeric pad",
             {96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 109, 110, 111},
             false,
             "0123456789*+-./"},
            {"keys that type no character",
             {vk::Tab, vk::Return, vk::Escape, vk::Left, vk::Up, vk::Right, vk::Down, vk::Pause,
              vk::Home, vk::End},
             false,
             "<Tab><Return><Escape><Left><Up><Right><Down><Pause><Home><End>"}};
}

} // namespace

TEST(WaylandKeyboard, EveryKeyOfTheTableTypesItsUsCharacterPlainAndShifted) {
    for (const Row& row : rows()) {
        Session session;
        if (row.shifted) session.send(vk::Shift, true);
        for (int vk : row.keys) session.tap(vk);
        if (row.shifted) session.send(vk::Shift, false);
        EXPECT_EQ(session.typed(), row.typed) << row.name;
        EXPECT_EQ(session.compositor.requests().front(), "keymap") << row.name;
        EXPECT_EQ(session.compositor.protocolError(), "") << row.name;
    }
}

TEST(WaylandKeyboard, ModifiersGoAsModifierStateAroundTheirKeys) {
    Session session;
    session.send(vk::Shift, true);
    session.tap('A');
    session.send(vk::Shift, false);
    session.send(vk::Control, true);
    session.tap('V');
    session.send(vk::Control, false);
    EXPECT_EQ(session.requests(),
              (Requests{"keymap", "press <Shift_L>", "modifiers 1 0", "press A", "release A",
                        "release <Shift_L>", "modifiers 0 0", "press <Control_L>", "modifiers 4 0",
                        "press <v>", "release <v>", "release <Control_L>", "modifiers 0 0"}));
}

// The numeric pad types digits through NumLock; the port's NumLock is a locked modifier of
// its own keyboard, switched off again when typing pauses.
TEST(WaylandKeyboard, NumericPadDigitsTypeThroughNumLockWhichPausesSwitchOff) {
    Session session;
    session.tap(vk::Numpad0 + 7);
    session.tap(vk::Decimal);
    session.keyboard->waited(10);
    EXPECT_EQ(session.requests(), (Requests{"keymap", "modifiers 0 16", "press 7", "release 7",
                                            "press .", "release .", "modifiers 0 0"}));
}

// More key events than a socket holds, sent while the compositor reads nothing: the port
// waits for the socket instead of failing, and every key arrives in order.
TEST(WaylandKeyboard, WritesWaitForAFullSocket) {
    Session session;
    session.compositor.setReading(false);
    std::thread reader([&session] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        session.compositor.setReading(true);
    });
    std::string expected;
    for (int k = 0; k < 15000; ++k) {
        session.tap(k % 2 ? 'B' : 'A');
        expected += k % 2 ? 'b' : 'a';
    }
    reader.join();
    EXPECT_EQ(session.typed(), expected);
    EXPECT_TRUE(session.keyboard->connected());
}

TEST(WaylandKeyboard, ALostCompositorIsReportedOnceAndTypingGoesOnWithoutKeys) {
    Session session;
    std::vector<std::string> faults;
    session.keyboard->setFaultSink([&faults](const std::string& m) { faults.push_back(m); });
    session.tap('A');
    EXPECT_EQ(session.typed(), "a");
    session.compositor.dropClients();
    for (int k = 0; k < 50; ++k) session.keyboard->sendKey({'B', 0, k % 2 == 0});
    EXPECT_FALSE(session.keyboard->connected());
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_NE(faults[0].find("lost the connection to the Wayland compositor"), std::string::npos)
        << faults[0];
}

TEST(WaylandKeyboard, OpeningSaysWhyThereIsNoVirtualKeyboard) {
    std::string error;
    FakeCompositor withoutProtocol(false);
    EXPECT_FALSE(WaylandKeyboard::open(withoutProtocol.socketPath(), error));
    EXPECT_NE(error.find("offers no virtual keyboard"), std::string::npos) << error;
    EXPECT_FALSE(WaylandKeyboard::open("/nonexistent/wayland-9", error));
    EXPECT_NE(error.find("cannot connect to the Wayland compositor"), std::string::npos) << error;
}
