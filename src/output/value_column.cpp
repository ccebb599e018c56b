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

void ValueColumn::finish(RecordText& recBuf) {
    keys_.LiO(1);
    keys_.Datumzeitaus();
    keys_.ReUTab(1);
    recBuf.clear();
    if (marking_) keys_.ReUTab(1);
    keys_.ReUTab(1);
    for (int k = 0; k < count_; ++k) keys_.OLiSRet();
}

} // namespace qorva
