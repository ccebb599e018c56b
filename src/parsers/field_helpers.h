#pragma once
// The field helpers the family sections share: rewrites of the record text, zero tests,
// and the two helpers that type a field and cut it off.
#include "platform/record_text.h"

namespace qorva {

class KeySink;
struct ParseState;

class FieldHelpers {
  public:
    FieldHelpers(KeySink& keys, ParseState& state) : keys_(keys), state_(state) {}

    static void dotsuch(RecordText& ds);
    static void such(RecordText& s);
    static void stringtest(RecordText& mess);
    static bool gnull(const RecordText& Dicht);
    static bool null(const RecordText& Dichte);
    static RecordText del(const RecordText& Wert, int entf);
    // Types Copy(Wert, ab, zeig) as a marking and cuts entf characters off RecBuf itself.
    RecordText ausdel(const RecordText& Wert, int ab, int zeig, int entf);
    // Types the number field at ab with the decimal key of Notation; Wert without the
    // characters typed (or without entf of them).
    RecordText ausdel2(const RecordText& Wert, int ab, int zeig, int entf);

  private:
    KeySink& keys_;
    ParseState& state_;
};

} // namespace qorva
