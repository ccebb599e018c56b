#include "platform/desktop_keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qorva;

namespace {

// A desktop whose keys are their virtual-key codes; "?" (Oem2 shifted) stands for a key
// on the shifted level, and its NumLock starts as the user left it.
class FakeDesktop : public DesktopKeyboard {
  public:
    explicit FakeDesktop(bool numLock) : numLock_(numLock) {}
    std::vector<std::string> events;

  protected:
    SystemKey systemKey(int vk) const override {
        if (vk == vk::Pause) return {};
        return {static_cast<unsigned>(vk), vk == vk::Oem2};
    }
    unsigned shiftCode() const override { return vk::Shift; }
    void emitKey(unsigned code, bool press) override {
        events.push_back((press ? "+" : "-") + std::to_string(code));
    }
    bool numLockOn() override { return numLock_; }
    void setNumLock(bool on) override {
        numLock_ = on;
        events.push_back(on ? "numlock on" : "numlock off");
    }

  private:
    bool numLock_;
};

using Events = std::vector<std::string>;

} // namespace

TEST(DesktopKeyboard, ShiftedKeysGetAShiftOfTheirOwnUnlessShiftIsHeld) {
    FakeDesktop desktop(true);
    desktop.sendKey({vk::Oem2, 0, true});
    desktop.sendKey({vk::Oem2, 0, false});
    EXPECT_EQ(desktop.events, (Events{"+16", "+191", "-191", "-16"}));

    desktop.events.clear();
    desktop.sendKey({vk::Shift, 0, true});
    desktop.sendKey({vk::Oem2, 0, true});
    desktop.sendKey({vk::Oem2, 0, false});
    desktop.sendKey({vk::Shift, 0, false});
    EXPECT_EQ(desktop.events, (Events{"+16", "+191", "-191", "-16"}));
}

TEST(DesktopKeyboard, AKeyIsLetGoBeforeItIsPressedAgainAndStrayReleasesAreIgnored) {
    FakeDesktop desktop(true);
    desktop.sendKey({'A', 0, false});
    desktop.sendKey({'A', 0, true});
    desktop.sendKey({'A', 0, true});
    desktop.sendKey({vk::Pause, 0, true}); // no key on this desktop
    EXPECT_EQ(desktop.events, (Events{"+65", "-65", "+65"}));
}

// The numeric pad types digits whatever the user's NumLock, and the user's state comes
// back when typing pauses; a NumLock already on is left alone.
TEST(DesktopKeyboard, NumLockIsForcedForThePadAndGivenBack) {
    FakeDesktop off(false);
    off.sendKey({vk::Numpad0 + 5, 0, true});
    off.sendKey({vk::Numpad0 + 5, 0, false});
    off.sendKey({vk::Decimal, 0, true});
    off.waited(10);
    EXPECT_EQ(off.events, (Events{"numlock on", "+101", "-101", "+110", "-110", "numlock off"}));

    FakeDesktop on(true);
    on.sendKey({vk::Numpad0, 0, true});
    on.waited(10);
    EXPECT_EQ(on.events, (Events{"+96", "-96"}));
}

// A pause lets go of everything the program holds, except a Shift the key sink holds on
// purpose across it.
TEST(DesktopKeyboard, APauseLetsGoOfHeldKeysButNotOfAHeldShift) {
    FakeDesktop desktop(true);
    desktop.sendKey({vk::Control, 0, true});
    desktop.sendKey({vk::Escape, 0, true});
    desktop.waited(5);
    EXPECT_EQ(desktop.events, (Events{"+17", "+27", "-17", "-27"}));

    desktop.events.clear();
    desktop.sendKey({vk::Shift, 0, true});
    desktop.sendKey({vk::Tab, 0, true});
    desktop.waited(5);
    EXPECT_EQ(desktop.events, (Events{"+16", "+9", "-9"}));
    desktop.events.clear();
    desktop.sendKey({vk::Shift, 0, false});
    EXPECT_EQ(desktop.events, (Events{"-16"}));
}
