#include "platform/keyboard.h"

#include <algorithm>

namespace qorva {

int UsKeyLayout::scanCode(int vk) const {
    const KeyRow* key = FindKey(vk);
    return key ? key->scan : 0;
}

// Numeric-pad keys are never chosen for a character: "*" is Shift+8 as a user types it.
std::optional<CharKey> UsKeyLayout::keyForChar(char c) const {
    if (c == 0) return std::nullopt;
    for (const KeyRow& key : KeyTable()) {
        if (IsNumpadKey(key.vk)) continue;
        if (key.plain == c) return CharKey{key.vk, 0};
        if (key.shifted == c) return CharKey{key.vk, kShiftBit};
    }
    return std::nullopt;
}

std::optional<char> UsKeyLayout::charForKey(int vk, bool shift) {
    const KeyRow* key = FindKey(vk);
    const char c = !key ? 0 : shift ? key->shifted : key->plain;
    if (c == 0) return std::nullopt;
    return c;
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
    if (vk == vk::Insert || vk == vk::Delete) return true;
    if (vk >= '0' && vk <= 'Z') return true; // digits, unassigned 58..64, letters
    if (vk >= vk::Numpad0 && vk <= vk::Divide) return true;
    if (vk == vk::Oem102) return true; // the extra punctuation key of ISO keyboards
    return (vk >= vk::Oem1 && vk <= vk::Oem3) || (vk >= vk::Oem4 && vk <= vk::Oem7);
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
