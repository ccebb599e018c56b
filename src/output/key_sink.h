#pragma once
// The key sink: every key the program types goes through here. Cursor moves follow the
// layout chosen in Ausgabeart and wait 10 ms after each key; characters are sent back
// to back. Record text is untrusted: no character ever becomes a system key.
#include "platform/record_text.h"

namespace qorva {

class TMainFrm;
struct KeyEvent;

class KeySink {
  public:
    explicit KeySink(TMainFrm& frm) : frm_(frm) {}

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

    void TypeChar(unsigned char ch, unsigned char code);
    void TypeString(const RecordText& s);
    void Delay(int ms);

    // Values, markings and the date and time cells.
    void messzeig(const RecordText& anzei);
    void Farbe(const RecordText& simstr);
    void Farbe2(unsigned char simchr);
    void Datumzeitaus();

    // Single keys for the field helpers: the decimal key of Notation, a character code
    // as a key (a system key's code becomes Space), a Subtract press without release.
    void decimalKey();
    void tapCharacterCode(unsigned char code);
    void pressSubtract();

  private:
    void send(int vk, int scan, bool press);
    void tap(int vk, int scan = 0);
    void moveKey(int vk, int i);
    void settle();
    void pausePrefix();
    void typeClockText(const RecordText& text, char separator);
    int layout() const;
    int shiftScan() const;

    TMainFrm& frm_;
};

} // namespace qorva
