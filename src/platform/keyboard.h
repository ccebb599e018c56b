#pragma once
// The keyboard port: where the key sink's events go. Keys are Windows virtual-key
// codes (the key table names them); a port maps them to whatever the target system needs.
#include "platform/key_table.h"

#include <optional>
#include <ostream>
#include <vector>

namespace qorva {

// Shift state bits as the character-to-key lookup reports them.
enum ShiftState : int { kShiftBit = 1, kCtrlBit = 2, kAltBit = 4 };

struct KeyEvent {
    int vk = 0;
    int scan = 0;
    bool press = true;
    bool operator==(const KeyEvent&) const = default;
};

struct CharKey {
    int vk = 0;
    int shiftState = 0;
};

// The scan code of a key and the key that types a character: the stand-ins for the
// system's virtual-key and character lookups.
class KeyLayout {
  public:
    virtual ~KeyLayout() = default;
    virtual int scanCode(int vk) const = 0;
    virtual std::optional<CharKey> keyForChar(char c) const = 0;
};

// A fixed US layout, so traces never depend on the machine they are made on.
class UsKeyLayout : public KeyLayout {
  public:
    int scanCode(int vk) const override;
    std::optional<CharKey> keyForChar(char c) const override;
    // The character a key types on this layout, with or without Shift; numeric-pad
    // Decimal is left to the caller (it follows the target's locale).
    static std::optional<char> charForKey(int vk, bool shift);
};

// True for the keys the program may ever send: cursor and editing keys, letters,
// digits, the numeric pad, punctuation and the modifiers. Never system keys (Windows,
// Apps, Sleep, Print Screen, Help, function keys, browser and launch keys).
bool IsSafeKey(int vk);
// The key a character code may be typed as: the code itself when it is a printable
// character and a safe key, otherwise Space.
int SafeCharacterKey(int code);

class KeyboardPort {
  public:
    virtual ~KeyboardPort() = default;
    virtual void sendKey(const KeyEvent& event) = 0;
    // The key sink waited ms milliseconds (a cursor move's pause).
    virtual void waited(int /*ms*/) {}
    // A picture of w x h pixels was put on the clipboard.
    virtual void clipboardPicture(int /*w*/, int /*h*/) {}
    // Extra milliseconds a target needs after a cursor move before it takes the next
    // value (0: the key sink's own wait is enough).
    virtual int moveSettleMs() const { return 0; }
};

// One line per event: "down VK SCAN", "up VK SCAN", "wait MS", "clipboard WxH".
class TraceKeyboard : public KeyboardPort {
  public:
    explicit TraceKeyboard(std::ostream& out) : out_(out) {}
    void sendKey(const KeyEvent& event) override;
    void waited(int ms) override;
    void clipboardPicture(int w, int h) override;

  private:
    std::ostream& out_;
};

// Hands every event to several ports (a trace and a sheet preview at once).
class TeeKeyboard : public KeyboardPort {
  public:
    void add(KeyboardPort& port) { ports_.push_back(&port); }
    void sendKey(const KeyEvent& event) override;
    void waited(int ms) override;
    void clipboardPicture(int w, int h) override;
    int moveSettleMs() const override;

  private:
    std::vector<KeyboardPort*> ports_;
};

} // namespace qorva
