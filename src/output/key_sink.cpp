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

namespace {

using Move = KeySink::Move;

// Each cursor operation is one move per layout: NewRow, NewColumn, NewRowTab and
// NextTabField, in that order (Ausgabeart 0 to 3; "none" moves nothing).
constexpr KeySink::LayoutMoves kReUTab{{Move::Right, Move::Down, Move::Tab, Move::Tab}};
constexpr KeySink::LayoutMoves kReUTabTime{{Move::Down, Move::Right, Move::Tab, Move::Tab}};
constexpr KeySink::LayoutMoves kLiOSTab{{Move::Left, Move::Up, Move::ShiftTab, Move::ShiftTab}};
constexpr KeySink::LayoutMoves kLiOSTabTime{{Move::Up, Move::Left, Move::ShiftTab, Move::ShiftTab}};
// The only backward move of the Tab-field layout is Shift+Tab as layout 2 sends it.
constexpr KeySink::LayoutMoves kLioiTab{
    {Move::Left, Move::Up, Move::ShiftTab, Move::ShiftTabAsNewRowTab}};
constexpr KeySink::LayoutMoves kUReRet{{Move::Down, Move::Right, Move::Return, Move::Tab}};
constexpr KeySink::LayoutMoves kURe{{Move::Down, Move::Right, Move::Down, Move::Down}};
constexpr KeySink::LayoutMoves kOLiSRet{{Move::Up, Move::Left, Move::ShiftReturn, Move::ShiftTab}};
// Right to the next cell; the Tab layouts tab there, but layout 2 only within a record.
constexpr KeySink::LayoutMoves kReTabInRecord{{Move::Right, Move::Right, Move::Tab, Move::Tab}};
constexpr KeySink::LayoutMoves kReTabAcrossRecords{
    {Move::Right, Move::Right, Move::Right, Move::Tab}};

} // namespace

void KeySink::move(const LayoutMoves& moves, int i) {
    const int index = static_cast<int>(layout());
    if (index < 0 || index >= static_cast<int>(moves.size())) return;
    switch (moves[static_cast<size_t>(index)]) {
    case Move::Right:
        rechts(i);
        break;
    case Move::Left:
        links(i);
        break;
    case Move::Up:
        up(i);
        break;
    case Move::Down:
        down(i);
        break;
    case Move::Tab:
        tab(i);
        break;
    case Move::ShiftTab:
        stab(i);
        break;
    case Move::ShiftTabAsNewRowTab:
        ctx_.Ausgabeart.setItemIndex(static_cast<int>(OutputLayout::NewRowTab));
        stab(i);
        ctx_.Ausgabeart.setItemIndex(static_cast<int>(OutputLayout::NextTabField));
        break;
    case Move::Return:
        Ret();
        break;
    case Move::ShiftReturn:
        send(vk::Shift, shiftScan(), true);
        Ret();
        send(vk::Shift, shiftScan(), false);
        break;
    }
}

void KeySink::ReUTab(int i) {
    move(kReUTab, i);
}

void KeySink::ReUTabTime(int i) {
    move(kReUTabTime, i);
}

void KeySink::LiOSTab(int i) {
    move(kLiOSTab, i);
}

void KeySink::LiO(int i) {
    LiOSTab(i);
}

void KeySink::LiOSTabTime(int i) {
    move(kLiOSTabTime, i);
}

void KeySink::LioiTab(int i) {
    move(kLioiTab, i);
}

void KeySink::UReRet() {
    move(kUReRet, 1);
}

void KeySink::URe() {
    move(kURe, 1);
}

void KeySink::OLiSRet() {
    move(kOLiSRet, 1);
}

void KeySink::ReTab(bool fromThisRecord) {
    move(fromThisRecord ? kReTabInRecord : kReTabAcrossRecords, 1);
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
