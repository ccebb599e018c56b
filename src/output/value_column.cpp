#include "output/value_column.h"

#include "output/key_sink.h"

namespace qorva {

void ValueColumn::add(const RecordText& marking, const RecordText& value) {
    keys_.markingCell(marking_, marking);
    keys_.messzeig(value);
    if (marking_) keys_.LiO(1);
    keys_.UReRet();
    ++count_;
}

// The date and time go under the column, from the cell left of its next row; then the
// cursor moves past this record's cells and up to its first row. In layout 2 the date
// and time stand side by side, so with both written the record is two cells wide even
// without a marking column.
void ValueColumn::finish(RecordText& recBuf) {
    keys_.LiO(1);
    keys_.Datumzeitaus(TimeCell::AcrossDate);
    keys_.ReUTab(1);
    recBuf.clear();
    const bool wideDateRow =
        keys_.layout() == OutputLayout::NewRowTab && keys_.dateTimeCells() == 2;
    keys_.ReUTab(marking_ || wideDateRow ? 2 : 1);
    for (int k = 0; k < count_; ++k) keys_.OLi();
}

} // namespace qorva
