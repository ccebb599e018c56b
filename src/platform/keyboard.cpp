#include "platform/keyboard.h"

#include <algorithm>
#include <cctype>

namespace qorva {

namespace {

struct PunctuationKey {
    int vk;
    char plain, shifted;
};

constexpr PunctuationKey kPunctuation[] = {
    {186, ';', ':'},  {187, '=', '+'}, {188, ',', '<'},  {189, '-', '_'},
    {190, '.', '>'},  {191, '/', '?'}, {192, '`', '~'},  {219, '[', '{'},
    {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// Set-1 scan codes of the US layout for the keys the program uses.
int letterScan(int vk) {
    static constexpr int kLetters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                         0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                         0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    return kLetters[vk - 'A'];
}

int numpadScan(int vk) {
    static constexpr int kPad[16] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47,
                                     0x48, 0x49, 0x37, 0x4E, 0x00, 0x4A, 0x53, 0x35};
    return kPad[vk - vk::Numpad0];
}

int punctuationScan(int vk) {
    switch (vk) {
    case 186:
        return 0x27;
    case 187:
        return 0x0D;
    case 188:
        return 0x33;
    case 189:
        return 0x0C;
    case 190:
        return 0x34;
    case 191:
        return 0x35;
    case 192:
        return 0x29;
    case 219:
        return 0x1A;
    case 220:
        return 0x2B;
    case 221:
        return 0x1B;
    case 222:
        return 0x28;
    }
    return 0;
}

} // namespace

int UsKeyLayout::scanCode(int vk) const {
    if (vk >= 'A' && vk <= 'Z') return letterScan(vk);
    if (vk == '0') return 0x0B;
    if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
    if (vk >= vk::Numpad0 && vk <= vk::Divide) return numpadScan(vk);
    switch (vk) {
    case 8:
        return 0x0E;
    case vk::Tab:
        return 0x0F;
    case vk::Return:
        return 0x1C;
    case vk::Shift:
        return 0x2A;
    case vk::Control:
        return 0x1D;
    case vk::Menu:
        return 0x38;
    case vk::Pause:
        return 0x45;
    case vk::Escape:
        return 0x01;
    case vk::Space:
        return 0x39;
    case 33:
        return 0x49;
    case 34:
        return 0x51;
    case 35:
        return 0x4F;
    case 36:
        return 0x47;
    case vk::Left:
        return 0x4B;
    case vk::Up:
        return 0x48;
    case vk::Right:
        return 0x4D;
    case vk::Down:
        return 0x50;
    case vk::Insert:
        return 0x52;
    case 46:
        return 0x53;
    }
    return punctuationScan(vk);
}

std::optional<CharKey> UsKeyLayout::keyForChar(char c) const {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return CharKey{u - 'a' + 'A', 0};
    if (u >= 'A' && u <= 'Z') return CharKey{u, kShiftBit};
    if (u >= '0' && u <= '9') return CharKey{u, 0};
    if (u == ' ') return CharKey{vk::Space, 0};
    for (int d = 0; d < 10; ++d)
        if (kShiftedDigits[d] == c) return CharKey{'0' + d, kShiftBit};
    for (const auto& key : kPunctuation) {
        if (key.plain == c) return CharKey{key.vk, 0};
        if (key.shifted == c) return CharKey{key.vk, kShiftBit};
    }
    return std::nullopt;
}

std::optional<char> UsKeyLayout::charForKey(int vk, bool shift) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<char>(shift ? vk : std::tolower(vk));
    if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk);
    if (vk >= vk::Numpad0 && vk <= vk::Numpad0 + 9)
        return static_cast<char>('0' + vk - vk::Numpad0);
    switch (vk) {
    case vk::Space:
        return ' ';
    case vk::Multiply:
        return '*';
    case vk::Add:
        return '+';
    case vk::Subtract:
        return '-';
    case vk::Divide:
        return '/';
    }
    for (const auto& key : kPunctuation)
        if (key.vk == vk) return shift ? key.shifted : key.plain;
    return std::nullopt;
}

bool IsSafeKey(int vk) {
    switch (vk) {
    case vk::Tab:
    case vk::Return:
    case vk::Shift:
    case vk::Control:
    case vk::Menu:
    case vk::Pause:
    case vk::Escape:
        return true;
    }
    if (vk >= vk::Space && vk <= vk::Down) return true; // Space, page keys, Home/End, arrows
    if (vk == vk::Insert || vk == 46) return true;
    if (vk >= '0' && vk <= 'Z') return true; // digits, unassigned 58..64, letters
    if (vk >= vk::Numpad0 && vk <= vk::Divide) return true;
    if (vk == vk::Oem102) return true; // the extra punctuation key of ISO keyboards
    return (vk >= 186 && vk <= 192) || (vk >= 219 && vk <= 222);
}

int SafeCharacterKey(int code) {
    if (code < 32 || code > 126 || !IsSafeKey(code)) return vk::Space;
    return code;
}

void TraceKeyboard::sendKey(const KeyEvent& event) {
    out_ << (event.press ? "down " : "up ") << event.vk << ' ' << event.scan << '\n';
}

void TraceKeyboard::waited(int ms) {
    out_ << "wait " << ms << '\n';
}

void TraceKeyboard::clipboardPicture(int w, int h) {
    out_ << "clipboard " << w << 'x' << h << '\n';
}

void TeeKeyboard::sendKey(const KeyEvent& event) {
    for (auto* port : ports_) port->sendKey(event);
}

void TeeKeyboard::waited(int ms) {
    for (auto* port : ports_) port->waited(ms);
}

int TeeKeyboard::moveSettleMs() const {
    int most = 0;
    for (const auto* port : ports_) most = std::max(most, port->moveSettleMs());
    return most;
}

void TeeKeyboard::clipboardPicture(int w, int h) {
    for (auto* port : ports_) port->clipboardPicture(w, h);
}

} // namespace qorva
