#include "output/key_sink.h"

#include "platform/keyboard.h"
#include "shell/main_frm.h"

namespace qorva {

int KeySink::layout() const {
    return frm_.Ausgabeart.ItemIndex();
}

int KeySink::shiftScan() const {
    return frm_.layout.scanCode(vk::Shift);
}

void KeySink::send(int vkCode, int scan, bool press) {
    frm_.keyboard.sendKey(KeyEvent{vkCode, scan, press});
}

void KeySink::tap(int vkCode, int scan) {
    send(vkCode, scan, true);
    send(vkCode, scan, false);
}

void KeySink::Delay(int ms) {
    frm_.keyboard.waited(ms);
    frm_.loop.delay(ms);
}

// Some targets take a cell only well after the move; their port asks for more time.
void KeySink::settle() {
    if (const int extra = frm_.keyboard.moveSettleMs(); extra > 0) frm_.loop.delay(extra);
}

void KeySink::moveKey(int vkCode, int i) {
    for (int k = 0; k < i; ++k) {
        tap(vkCode);
        Delay(10);
        settle();
    }
}

void KeySink::down(int i) {
    moveKey(vk::Down, i);
}
void KeySink::up(int i) {
    moveKey(vk::Up, i);
}
void KeySink::rechts(int i) {
    moveKey(vk::Right, i);
}
void KeySink::links(int i) {
    moveKey(vk::Left, i);
}
void KeySink::tab(int i) {
    moveKey(vk::Tab, i);
}

void KeySink::stab(int i) {
    if (i <= 0) return;
    send(vk::Shift, shiftScan(), true);
    moveKey(vk::Tab, layout() == 3 ? 0 : i);
    send(vk::Shift, shiftScan(), false);
}

void KeySink::Ret() {
    tap(vk::Return);
}

void KeySink::ReUTab(int i) {
    switch (layout()) {
    case 0:
        rechts(i);
        break;
    case 1:
        down(i);
        break;
    case 2:
    case 3:
        tab(i);
        break;
    }
}

void KeySink::ReUTabTime(int i) {
    switch (layout()) {
    case 0:
        down(i);
        break;
    case 1:
        rechts(i);
        break;
    case 2:
    case 3:
        tab(i);
        break;
    }
}

void KeySink::LiOSTab(int i) {
    switch (layout()) {
    case 0:
        links(i);
        break;
    case 1:
        up(i);
        break;
    case 2:
    case 3:
        stab(i);
        break;
    }
}

void KeySink::LiO(int i) {
    LiOSTab(i);
}

void KeySink::LiOSTabTime(int i) {
    switch (layout()) {
    case 0:
        up(i);
        break;
    case 1:
        links(i);
        break;
    case 2:
    case 3:
        stab(i);
        break;
    }
}

void KeySink::LioiTab(int i) {
    switch (layout()) {
    case 0:
        links(i);
        break;
    case 1:
        up(i);
        break;
    case 2:
        stab(i);
        break;
    case 3:
        // The only backward move of the Tab-field layout: Shift+Tab as layout 2 sends it.
        frm_.Ausgabeart.setItemIndex(2);
        stab(i);
        frm_.Ausgabeart.setItemIndex(3);
        break;
    }
}

void KeySink::UReRet() {
    switch (layout()) {
    case 0:
        down(1);
        break;
    case 1:
        rechts(1);
        break;
    case 2:
        Ret();
        break;
    case 3:
        tab(1);
        break;
    }
}

void KeySink::URe() {
    if (layout() == 1)
        rechts(1);
    else if (layout() >= 0)
        down(1);
}

void KeySink::OLiSRet() {
    switch (layout()) {
    case 0:
        up(1);
        break;
    case 1:
        links(1);
        break;
    case 2:
        send(vk::Shift, shiftScan(), true);
        Ret();
        send(vk::Shift, shiftScan(), false);
        break;
    case 3:
        stab(1);
        break;
    }
}

void KeySink::pausePrefix() {
    send(vk::Pause, 0, true);
}

void KeySink::decimalKey() {
    switch (frm_.Notation.ItemIndex()) {
    case 0:
        tap(vk::OemPeriod);
        break;
    case 1:
        tap(vk::OemComma);
        break;
    case 2:
        tap(vk::Decimal);
        break;
    }
}

void KeySink::tapCharacterCode(unsigned char code) {
    tap(SafeCharacterKey(code));
}

void KeySink::pressSubtract() {
    send(vk::Subtract, 0, true);
}

void KeySink::TypeChar(unsigned char ch, unsigned char code) {
    pausePrefix();
    if (ch == '-' || ch == '/' || ch == '\\') {
        tap(vk::Subtract);
    } else if (ch == '.') {
        decimalKey();
    } else if (ch >= 'A' && ch <= 'Z') {
        send(vk::Shift, shiftScan(), true);
        tap(SafeCharacterKey(code));
        send(vk::Shift, shiftScan(), false);
    } else if (IsDigit(ch)) {
        tap(SafeCharacterKey(code) + 48);
    } else if (ch >= 32 && ch <= 126) {
        const int key = SafeCharacterKey(code);
        const int scan = key == code ? frm_.layout.scanCode(key) : 0;
        tap(key, scan);
    } else {
        tap(vk::Space);
    }
}

void KeySink::TypeString(const RecordText& s) {
    const RecordText upper = UpperCase(s);
    for (int k = 1; k <= Length(s); ++k) TypeChar(CharAt(s, k), CharAt(upper, k));
}

void KeySink::messzeig(const RecordText& anzei) {
    // Instruments right-align their fields: a sign behind leading blanks is still the
    // value's sign, and typing the value without it would flip the measurement.
    RecordText s = TrimLeft(anzei);
    if (CharAt(s, 1) == '-') {
        tap(vk::Subtract);
        Delete(s, 1, 1);
    }
    while (!s.empty() && CharAt(s, 1) != '.' && CharAt(s, 1) != ',') {
        if (IsDigit(CharAt(s, 1))) tap(CharAt(s, 1));
        Delete(s, 1, 1);
    }
    if (!s.empty()) {
        decimalKey();
        Delete(s, 1, 1);
    }
    while (IsDigit(CharAt(s, 1))) {
        tap(CharAt(s, 1));
        Delete(s, 1, 1);
    }
}

void KeySink::Farbe(const RecordText& simstr) {
    pausePrefix();
    const RecordText upper = UpperCase(simstr);
    for (int k = 1; k <= Length(upper); ++k) {
        pausePrefix();
        const unsigned char ch = CharAt(upper, k);
        tap(ch == '-' ? vk::Subtract : SafeCharacterKey(ch));
    }
    pausePrefix();
}

void KeySink::Farbe2(unsigned char simchr) {
    send(vk::Shift, shiftScan(), true);
    tap(SafeCharacterKey(simchr));
    send(vk::Shift, shiftScan(), false);
}

void KeySink::typeClockText(const RecordText& text, char separator) {
    for (int k = 1; k <= Length(text); ++k) {
        const unsigned char ch = CharAt(text, k);
        if (separator != 0 && ch == static_cast<unsigned char>(separator)) {
            // A separator the layout cannot type is left out rather than sent as a stray key.
            const auto key = frm_.layout.keyForChar(static_cast<char>(ch));
            if (!key || !IsSafeKey(key->vk)) continue;
            int modifier = 0;
            if (key->shiftState == kShiftBit) modifier = vk::Shift;
            if (key->shiftState == kCtrlBit) modifier = vk::Control;
            if (key->shiftState == kAltBit) modifier = vk::Menu;
            if (modifier) send(modifier, 0, true);
            tap(key->vk);
            if (modifier) send(modifier, 0, false);
        } else if (IsDigit(ch)) {
            tap(vk::Numpad0 + (ch - '0'));
        } else {
            tap(SafeCharacterKey(ch));
        }
    }
}

void KeySink::Datumzeitaus() {
    const bool withDate = frm_.Datumaus.Checked();
    if (withDate) {
        ReUTab(1);
        typeClockText(FormatDateTime(frm_.clock.shortDateFormat(), frm_.clock.now()),
                      frm_.clock.dateSeparator());
        LiOSTab(1);
    }
    if (frm_.Zeitaus.Checked()) {
        ReUTab(1);
        if (withDate) ReUTabTime(1);
        typeClockText(FormatDateTime(frm_.clock.longTimeFormat(), frm_.clock.now()),
                      frm_.clock.timeSeparator());
        if (withDate) LiOSTabTime(1);
        LiOSTab(1);
    }
}

} // namespace qorva
