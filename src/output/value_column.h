#pragma once
// A column of values: each value in its own cell below the one before, with a marking
// cell in front of it when marking is on; then the date and time cells, and the cursor to
// the top of the record, next to it, where the next record begins.
#include "platform/record_text.h"

namespace qorva {

class KeySink;

class ValueColumn {
  public:
    ValueColumn(KeySink& keys, bool marking) : keys_(keys), marking_(marking) {}

    // Types one value now: the marking cell, the value, and the move to the next row.
    void add(const RecordText& marking, const RecordText& value);
    // The date and time cells and the moves back to the top; recBuf, the working record,
    // is emptied once the date and time are typed.
    void finish(RecordText& recBuf);

  private:
    KeySink& keys_;
    bool marking_;
    int count_ = 0;
};

} // namespace qorva
