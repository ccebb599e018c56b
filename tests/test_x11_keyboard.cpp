// The X11 port against a real X server (Xvfb): what each virtual key types in a small
// X client, with a US and a German keymap.
// GoogleTest comes first: the X headers define None and other bare names as macros.
#include <gtest/gtest.h>

#include "platform/x11/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace qorva;

namespace {

bool haveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// An X server of our own; it picks a free display number and tells it through -displayfd.
class XServer {
  public:
    XServer() {
        int numberPipe[2];
        if (pipe(numberPipe) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(numberPipe[0]);
            const std::string fd = std::to_string(numberPipe[1]);
            // -noreset: the server keeps its keymap when the last client goes.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp",
                   "-screen", "0", "640x480x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(numberPipe[1]);
        display_ = readDisplayNumber(numberPipe[0]);
        close(numberPipe[0]);
        if (display_.empty()) return;
        Display* d = XOpenDisplay(display_.c_str());
        ready_ = d != nullptr;
        if (d) XCloseDisplay(d);
    }
    ~XServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool ready() const { return ready_; }
    const std::string& display() const { return display_; }

  private:
    // The server writes its display number and a line end once it accepts clients.
    static std::string readDisplayNumber(int fd) {
        std::string number;
        for (;;) {
            pollfd ready{fd, POLLIN, 0};
            char c = 0;
            if (poll(&ready, 1, 10000) <= 0 || read(fd, &c, 1) != 1) return {};
            if (c == '\n') return number.empty() ? std::string() : ":" + number;
            number += c;
        }
    }

    std::string display_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

// A focused window that collects the characters its key presses type.
class Receiver {
  public:
    explicit Receiver(const std::string& display) : d_(XOpenDisplay(display.c_str())) {
        window_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 200, 100, 0, 0, 0);
        XSelectInput(d_, window_, KeyPressMask | StructureNotifyMask);
        XMapWindow(d_, window_);
        for (XEvent e; XNextEvent(d_, &e), e.type != MapNotify;) {
        }
        XSetInputFocus(d_, window_, RevertToParent, CurrentTime);
        XSync(d_, False);
    }
    ~Receiver() { XCloseDisplay(d_); }
    std::string typed() {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        XSync(d_, False);
        std::string out;
        while (XPending(d_)) {
            XEvent e;
            XNextEvent(d_, &e);
            if (e.type != KeyPress) continue;
            char buffer[8];
            KeySym keysym;
            const int n = XLookupString(&e.xkey, buffer, sizeof buffer, &keysym, nullptr);
            out.append(buffer, static_cast<size_t>(n > 0 ? n : 0));
        }
        return out;
    }

  private:
    Display* d_;
    Window window_ = 0;
};

void tap(KeyboardPort& port, int vk) {
    port.sendKey({vk, 0, true});
    port.sendKey({vk, 0, false});
}

std::string typeKeys(const std::string& display, const std::vector<int>& keys, bool shift = false) {
    Receiver receiver(display);
    std::string error;
    auto port = X11Keyboard::open(display, error);
    if (!port) return "no port: " + error;
    if (shift) port->sendKey({16, 0, true});
    for (int vk : keys) tap(*port, vk);
    if (shift) port->sendKey({16, 0, false});
    port->typingStopped();
    return receiver.typed();
}

// The user's side of the keyboard: the NumLock lock and which keys the server holds down.
class KeyboardState {
  public:
    explicit KeyboardState(const std::string& display) : d_(XOpenDisplay(display.c_str())) {}
    ~KeyboardState() { XCloseDisplay(d_); }
    void setNumLock(bool on) {
        XkbLockModifiers(d_, XkbUseCoreKbd, numLockMask(), on ? numLockMask() : 0);
        XSync(d_, False);
    }
    bool numLock() {
        XkbStateRec state{};
        XkbGetState(d_, XkbUseCoreKbd, &state);
        return state.locked_mods & numLockMask();
    }
    int keysDown() {
        char keys[32];
        XQueryKeymap(d_, keys);
        int down = 0;
        for (char byte : keys) down += __builtin_popcount(static_cast<unsigned char>(byte));
        return down;
    }

  private:
    unsigned numLockMask() { return XkbKeysymToModifiers(d_, XK_Num_Lock); }
    Display* d_;
};

} // namespace

TEST(X11Keyboard, PadDigitsWhateverTheUsersNumLockWhichComesBackWithNoKeyLeftDown) {
    if (!haveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    XServer server;
    ASSERT_TRUE(server.ready()) << "Xvfb did not start on " << server.display();
    KeyboardState user(server.display());
    for (bool numLock : {false, true}) {
        user.setNumLock(numLock);
        Receiver receiver(server.display());
        std::string error;
        auto port = X11Keyboard::open(server.display(), error);
        ASSERT_TRUE(port) << error;
        // The Pause prefix is pressed and never released by the program.
        for (int vk : {19, 97, 19, 110, 19, 98}) port->sendKey({vk, 0, true});
        port->sendKey({98, 0, false});
        EXPECT_GT(user.keysDown(), 0) << "Pause is held while typing goes on";
        port->typingStopped();
        EXPECT_EQ(receiver.typed(), "1.2") << "NumLock " << (numLock ? "on" : "off");
        EXPECT_EQ(user.numLock(), numLock) << "the user's NumLock state comes back";
        EXPECT_EQ(user.keysDown(), 0) << "no key stays down once typing stops";
    }
}

TEST(X11Keyboard, EveryKeyTypesItsCharacterOnUsGermanAndFrenchKeymaps) {
    if (!haveProgram("Xvfb") || !haveProgram("setxkbmap"))
        GTEST_SKIP() << "Xvfb or setxkbmap is not installed";
    XServer server;
    ASSERT_TRUE(server.ready()) << "Xvfb did not start on " << server.display();
    struct Case {
        const char* name;
        std::vector<int> keys;
        bool shift;
        std::string typed;
    } cases[] = {
        {"letters", {'A', 'Q', 'Y', 'Z', 'M', 'W'}, false, "aqyzmw"},
        {"capitals", {'A', 'Z'}, true, "AZ"},
        {"main-row digits", {'0', '1', '7', '9'}, false, "0179"},
        {"numeric pad", {96, 97, 101, 105, 109, 111, 106, 107}, false, "0159-/*+"},
        {"period, comma, space", {190, 188, 32}, false, "., "},
        {"repeated characters", {'1', '1', '2', '2'}, false, "1122"},
        {"punctuation keys", {186, 189, 191}, false, ";-/"},
        {"Pause types nothing", {19, 19}, false, ""},
    };
    for (const std::string keymap : {"us", "de", "fr"}) {
        ASSERT_EQ(
            std::system(
                ("setxkbmap -display " + server.display() + " " + keymap + " 2>/dev/null").c_str()),
            0);
        for (const auto& c : cases)
            EXPECT_EQ(typeKeys(server.display(), c.keys, c.shift), c.typed)
                << c.name << " on " << keymap;
        // The character lookup answers from the live keymap with a key and shift state
        // that this port types back as that character (the date and time separators;
        // ":" and "/" sit on a key of their own on AZERTY).
        std::string error;
        auto lookup = X11Keyboard::open(server.display(), error);
        ASSERT_TRUE(lookup) << error;
        for (char c : std::string("/.:-,")) {
            const auto key = lookup->keyForChar(c);
            ASSERT_TRUE(key) << c << " on " << keymap;
            Receiver receiver(server.display());
            if (key->shiftState == kShiftBit) lookup->sendKey({16, 0, true});
            tap(*lookup, key->vk);
            if (key->shiftState == kShiftBit) lookup->sendKey({16, 0, false});
            lookup->typingStopped();
            EXPECT_EQ(receiver.typed(), std::string(1, c)) << c << " on " << keymap;
        }
        if (keymap == "de") {
            EXPECT_EQ(lookup->keyForChar(':')->shiftState, kShiftBit)
                << "':' needs Shift on a German keymap";
            EXPECT_FALSE(lookup->keyForChar('@')) << "'@' is only on AltGr+Q there";
        }
    }
}

TEST(X11Keyboard, NoDisplayIsAClearError) {
    std::string error;
    EXPECT_EQ(X11Keyboard::open(":9999", error), nullptr);
    EXPECT_NE(error.find(":9999"), std::string::npos);
}

// The key table's keysyms for the keys that type no character, against X's own names.
TEST(X11Keyboard, TheKeyTableNamesXsKeysyms) {
    struct Case {
        int vk;
        KeySym keysym;
    } cases[] = {{vk::Tab, XK_Tab},
                 {vk::Return, XK_Return},
                 {vk::Shift, XK_Shift_L},
                 {vk::Control, XK_Control_L},
                 {vk::Menu, XK_Alt_L},
                 {vk::Pause, XK_Pause},
                 {vk::Escape, XK_Escape},
                 {vk::Prior, XK_Prior},
                 {vk::Next, XK_Next},
                 {vk::End, XK_End},
                 {vk::Home, XK_Home},
                 {vk::Left, XK_Left},
                 {vk::Up, XK_Up},
                 {vk::Right, XK_Right},
                 {vk::Down, XK_Down},
                 {vk::Insert, XK_Insert},
                 {vk::Delete, XK_Delete},
                 {vk::Numpad0, XK_KP_0},
                 {vk::Numpad0 + 9, XK_KP_9},
                 {vk::Multiply, XK_KP_Multiply},
                 {vk::Add, XK_KP_Add},
                 {vk::Subtract, XK_KP_Subtract},
                 {vk::Decimal, XK_KP_Decimal},
                 {vk::Divide, XK_KP_Divide},
                 {vk::Oem7, XK_apostrophe},
                 {vk::Oem3, XK_grave},
                 {vk::Oem102, 0}};
    for (const Case& c : cases) EXPECT_EQ(KeysymForVirtualKey(c.vk), c.keysym) << c.vk;
}
