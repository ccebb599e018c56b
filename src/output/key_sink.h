#pragma once
// The key sink: every key the program types goes through here. Cursor moves follow the
// layout chosen in Ausgabeart and wait 10 ms after each key; characters are sent back
// to back. Record text is untrusted: no character ever becomes a system key.
#include "platform/record_text.h"

#include <array>

namespace qorva {

class ClockProvider;
class EventLoop;
class KeyLayout;
class KeyboardPort;
class TCheckBox;
class TRadioGroup;

// The cursor layouts of Ausgabeart, by item index; None while no item is chosen.
enum class OutputLayout { None = -1, NewRow = 0, NewColumn = 1, NewRowTab = 2, NextTabField = 3 };
// The decimal key chosen by Notation, by item index.
enum class DecimalNotation { None = -1, English = 0, German = 1, Automatic = 2 };

// Where Datumzeitaus puts the time when it writes the date too.
enum class TimeCell {
    // One cell on from the date in the measurement's direction, as a record that fills
    // one row (one column in layout 1) continues: the next record begins across from it.
    BesideDate,
    // At right angles to the date (below it in layout 0, right of it in layout 1): for the
    // date and time under a column of values, whose next record begins beside it.
    AcrossDate,
};

// What the key sink reads: where keys go, how long moves wait, and the paste settings,
// read at the moment each key is sent.
struct KeySinkContext {
    KeyboardPort& keyboard;
    const KeyLayout& layout;
    EventLoop& loop;
    const ClockProvider& clock;
    TRadioGroup& Ausgabeart;
    const TRadioGroup& Notation;
    const TCheckBox& Datumaus;
    const TCheckBox& Zeitaus;
};

class KeySink {
  public:
    explicit KeySink(const KeySinkContext& context) : ctx_(context) {}

    // Primitive moves; a count of 0 or less sends nothing.
    void down(int i);
    void up(int i);
    void rechts(int i);
    void links(int i);
    void tab(int i);
    void stab(int i);
    void Ret();

    // Moves by layout (Ausgabeart).
    void ReUTab(int i);
    void ReUTabTime(int i);
    void LiOSTab(int i);
    void LiO(int i);
    void LiOSTabTime(int i);
    void LioiTab(int i);
    void UReRet();
    void URe();
    void OLiSRet();
    // Back right onto the cell that a cursor-left (a '%' typed by Farbe) left: Right, or
    // Tab in the Tab layouts so the record's Tab run goes on. When the cursor-left left the
    // record (fromThisRecord false), layout 2 goes back with Right too: a Tab from there
    // would start the run one cell early, and the record's Return would go back there.
    void ReTab(bool fromThisRecord);
    // Up to the previous row in the same column (left in layout 1): OLiSRet without the
    // Shift+Return of layout 2, which would jump back to the Tab run's first column.
    void OLi();

    // How many of the date and time cells Datumzeitaus writes: 0, 1 or 2.
    int dateTimeCells() const;

    void TypeChar(unsigned char ch, unsigned char code);
    void TypeString(const RecordText& s);
    void Delay(int ms);

    // Values, markings and the date and time cells.
    void messzeig(const RecordText& anzei);
    void Farbe(const RecordText& simstr);
    void Farbe2(unsigned char simchr);
    void Datumzeitaus(TimeCell time = TimeCell::BesideDate);
    // The marking cell in front of a value: the marking and a move on, when marking is on.
    void markingCell(bool marking, const RecordText& text);

    // Single keys for the field helpers: the decimal key of Notation, a character code
    // as a key (a system key's code becomes Space), a Subtract press without release.
    void decimalKey();
    void tapCharacterCode(unsigned char code);
    void pressSubtract();
    // The paste of a picture on the clipboard: Ctrl+V, or Shift+Insert.
    void pastePicture(bool ctrlV);
    // An Esc press without its release (the keyboard port releases it before the next key).
    void pressEscape();

    // The layout chosen in Ausgabeart now.
    OutputLayout layout() const;

    // A cursor move as each layout makes it.
    enum class Move {
        Right,
        Left,
        Up,
        Down,
        Tab,
        ShiftTab,
        ShiftTabAsNewRowTab,
        Return,
        ShiftReturn
    };
    using LayoutMoves = std::array<Move, 4>;

  private:
    void move(const LayoutMoves& moves, int i);
    void send(int vk, int scan, bool press);
    void tap(int vk, int scan = 0);
    void moveKey(int vk, int i);
    void settle();
    void pausePrefix();
    void typeClockText(const RecordText& text, char separator);
    int shiftScan() const;

    KeySinkContext ctx_;
};

} // namespace qorva
