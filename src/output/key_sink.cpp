#include "output/key_sink.h"

#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"

namespace qorva {

namespace {

// Digits go to the numeric pad, which types them whatever the keyboard layout.
int numpadKeyForDigit(unsigned char digit) {
    return vk::Numpad0 + (digit - '0');
}

} // namespace

OutputLayout KeySink::layout() const {
    return static_cast<OutputLayout>(ctx_.Ausgabeart.ItemIndex());
}

int KeySink::shiftScan() const {
    return ctx_.layout.scanCode(vk::Shift);
}

void KeySink::send(int vkCode, int scan, bool press) {
    ctx_.keyboard.sendKey(KeyEvent{vkCode, scan, press});
}

void KeySink::tap(int vkCode, int scan) {
    send(vkCode, scan, true);
    send(vkCode, scan, false);
}

void KeySink::Delay(int ms) {
    ctx_.keyboard.waited(ms);
    ctx_.loop.delay(ms);
}

// Some targets take a cell only well after the move; their port asks for more time.
void KeySink::settle() {
    if (const int extra = ctx_.keyboard.moveSettleMs(); extra > 0) ctx_.loop.delay(extra);
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
    moveKey(vk::Tab, layout() == OutputLayout::NextTabField ? 0 : i);
    send(vk::Shift, shiftScan(), false);
}

void KeySink::Ret() {
    tap(vk::Return);
}

void KeySink::ReUTab(int i) {
    switch (layout()) {
    case OutputLayout::NewRow:
        rechts(i);
        break;
    case OutputLayout::NewColumn:
        down(i);
        break;
    case OutputLayout::NewRowTab:
    case OutputLayout::NextTabField:
        tab(i);
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::ReUTabTime(int i) {
    switch (layout()) {
    case OutputLayout::NewRow:
        down(i);
        break;
    case OutputLayout::NewColumn:
        rechts(i);
        break;
    case OutputLayout::NewRowTab:
    case OutputLayout::NextTabField:
        tab(i);
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::LiOSTab(int i) {
    switch (layout()) {
    case OutputLayout::NewRow:
        links(i);
        break;
    case OutputLayout::NewColumn:
        up(i);
        break;
    case OutputLayout::NewRowTab:
    case OutputLayout::NextTabField:
        stab(i);
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::LiO(int i) {
    LiOSTab(i);
}

void KeySink::LiOSTabTime(int i) {
    switch (layout()) {
    case OutputLayout::NewRow:
        up(i);
        break;
    case OutputLayout::NewColumn:
        links(i);
        break;
    case OutputLayout::NewRowTab:
    case OutputLayout::NextTabField:
        stab(i);
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::LioiTab(int i) {
    switch (layout()) {
    case OutputLayout::NewRow:
        links(i);
        break;
    case OutputLayout::NewColumn:
        up(i);
        break;
    case OutputLayout::NewRowTab:
        stab(i);
        break;
    case OutputLayout::NextTabField:
        // The only backward move of the Tab-field layout: Shift+Tab as layout 2 sends it.
        ctx_.Ausgabeart.setItemIndex(static_cast<int>(OutputLayout::NewRowTab));
        stab(i);
        ctx_.Ausgabeart.setItemIndex(static_cast<int>(OutputLayout::NextTabField));
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::UReRet() {
    switch (layout()) {
    case OutputLayout::NewRow:
        down(1);
        break;
    case OutputLayout::NewColumn:
        rechts(1);
        break;
    case OutputLayout::NewRowTab:
        Ret();
        break;
    case OutputLayout::NextTabField:
        tab(1);
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::URe() {
    if (layout() == OutputLayout::NewColumn)
        rechts(1);
    else if (layout() != OutputLayout::None)
        down(1);
}

void KeySink::OLiSRet() {
    switch (layout()) {
    case OutputLayout::NewRow:
        up(1);
        break;
    case OutputLayout::NewColumn:
        links(1);
        break;
    case OutputLayout::NewRowTab:
        send(vk::Shift, shiftScan(), true);
        Ret();
        send(vk::Shift, shiftScan(), false);
        break;
    case OutputLayout::NextTabField:
        stab(1);
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::ReTab(bool fromThisRecord) {
    switch (layout()) {
    case OutputLayout::NewRow:
    case OutputLayout::NewColumn:
        rechts(1);
        break;
    case OutputLayout::NewRowTab:
        fromThisRecord ? tab(1) : rechts(1);
        break;
    case OutputLayout::NextTabField:
        tab(1);
        break;
    case OutputLayout::None:
        break;
    }
}

void KeySink::OLi() {
    if (layout() == OutputLayout::NewRowTab)
        up(1);
    else
        OLiSRet();
}

void KeySink::pausePrefix() {
    send(vk::Pause, 0, true);
}

void KeySink::decimalKey() {
    switch (static_cast<DecimalNotation>(ctx_.Notation.ItemIndex())) {
    case DecimalNotation::English:
        tap(vk::OemPeriod);
        break;
    case DecimalNotation::German:
        tap(vk::OemComma);
        break;
    case DecimalNotation::Automatic:
        tap(vk::Decimal);
        break;
    case DecimalNotation::None:
        break;
    }
}

void KeySink::tapCharacterCode(unsigned char code) {
    tap(SafeCharacterKey(code));
}

void KeySink::pressSubtract() {
    send(vk::Subtract, 0, true);
}

void KeySink::pastePicture(bool ctrlV) {
    const int modifier = ctrlV ? vk::Control : vk::Shift;
    const int scan = ctx_.layout.scanCode(modifier);
    send(modifier, scan, true);
    tap(ctrlV ? 'V' : vk::Insert);
    send(modifier, scan, false);
}

void KeySink::pressEscape() {
    send(vk::Escape, ctx_.layout.scanCode(vk::Escape), true);
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
        tap(numpadKeyForDigit(ch));
    } else if (ch >= 32 && ch <= 126) {
        const int key = SafeCharacterKey(code);
        const int scan = key == code ? ctx_.layout.scanCode(key) : 0;
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
            const auto key = ctx_.layout.keyForChar(static_cast<char>(ch));
            if (!key || !IsSafeKey(key->vk)) continue;
            int modifier = 0;
            if (key->shiftState == kShiftBit) modifier = vk::Shift;
            if (key->shiftState == kCtrlBit) modifier = vk::Control;
            if (key->shiftState == kAltBit) modifier = vk::Menu;
            if (modifier) send(modifier, 0, true);
            tap(key->vk);
            if (modifier) send(modifier, 0, false);
        } else if (IsDigit(ch)) {
            tap(numpadKeyForDigit(ch));
        } else {
            tap(SafeCharacterKey(ch));
        }
    }
}

void KeySink::markingCell(bool marking, const RecordText& text) {
    if (!marking) return;
    Farbe(text);
    ReUTab(1);
}

int KeySink::dateTimeCells() const {
    return int{ctx_.Datumaus.Checked()} + int{ctx_.Zeitaus.Checked()};
}

void KeySink::Datumzeitaus(TimeCell time) {
    const bool withDate = ctx_.Datumaus.Checked();
    const bool across = time == TimeCell::AcrossDate;
    if (withDate) {
        ReUTab(1);
        typeClockText(FormatDateTime(ctx_.clock.shortDateFormat(), ctx_.clock.now()),
                      ctx_.clock.dateSeparator());
        LiOSTab(1);
    }
    if (ctx_.Zeitaus.Checked()) {
        ReUTab(1);
        if (withDate) across ? ReUTabTime(1) : ReUTab(1);
        typeClockText(FormatDateTime(ctx_.clock.longTimeFormat(), ctx_.clock.now()),
                      ctx_.clock.timeSeparator());
        if (withDate) across ? LiOSTabTime(1) : LiOSTab(1);
        LiOSTab(1);
    }
}

} // namespace qorva
