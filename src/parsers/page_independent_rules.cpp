#include "parsers/page_independent_rules.h"

#include "output/key_sink.h"
#include "output/output_flags.h"
#include "parsers/parse_state.h"

namespace qorva {

namespace {

RecordText one(unsigned char c) {
    return RecordText(1, static_cast<char>(c));
}

} // namespace

void PageIndependentRules(const ParserContext& ctx, const std::string& colourSet) {
    RecordText& recBuf = ctx.state.RecBuf;
    KeySink& keys = ctx.keys;
    const OutputFlags& flags = ctx.flags;
    const auto at = [&recBuf](int p) { return CharAt(recBuf, p); };
    const auto inColourSet = [&] {
        return at(1) != 0 && colourSet.find(static_cast<char>(at(1))) != std::string::npos;
    };
    const bool marking = flags.checked(73);
    const bool reference = flags.checked(71);
    const auto markingCell = [&](const RecordText& text) { keys.markingCell(marking, text); };
    const auto endOfValue = [&] {
        if (marking) keys.LiO(1);
    };

    // Rule 5, zeroing.
    if (flags.checked(72) && Length(recBuf) == 5 && at(2) == '.') {
        markingCell("n");
        keys.messzeig(Copy(recBuf, 1, 5));
        keys.Datumzeitaus();
        endOfValue();
        keys.UReRet();
    }
    // Rule 6, dot gain.
    if (flags.checked(63) && Length(recBuf) >= 9 && at(5) == '%' && at(2) != 'D' && at(9) == '%' &&
        inColourSet()) {
        markingCell(one(at(1)));
        if (reference) {
            keys.Farbe(Copy(recBuf, 2, 3));
            keys.ReUTab(1);
        }
        keys.Farbe(Copy(recBuf, 6, 3));
        keys.Datumzeitaus();
        endOfValue();
        if (reference) keys.LiO(1);
        keys.UReRet();
    }
    // Rule 7, trapping: the '%' typed as cursor-left is made good by the move right after it;
    // without a marking the cursor-left has left the record.
    if (flags.checked(69) && Length(recBuf) >= 7 && at(1) == 'T' && at(7) == '%') {
        markingCell("TR-" + Copy(recBuf, 2, 2));
        keys.Farbe(Copy(recBuf, 4, 6));
        keys.ReTab(marking);
        keys.Datumzeitaus();
        endOfValue();
        keys.UReRet();
    }
    // Rule 8, tone value.
    if (flags.checked(62) && Length(recBuf) >= 5 && Length(recBuf) <= 8 && inColourSet() &&
        at(5) == '%' && at(2) != 'D') {
        markingCell(one(at(1)));
        keys.Farbe(Copy(recBuf, 2, 4));
        keys.ReTab(marking);
        keys.Datumzeitaus();
        endOfValue();
        keys.UReRet();
    }
    // Rule 9, density difference.
    if (flags.checked(67) && Length(recBuf) == 10 && inColourSet() && at(5) != '%' &&
        at(2) == 'D') {
        markingCell("d" + one(at(1)) + "-" + one(at(10)));
        keys.messzeig(Copy(recBuf, 3, 8));
        keys.Datumzeitaus();
        endOfValue();
        keys.UReRet();
    }
    // Rule 10, dot gain difference: the reference's '%' moves left, the move right makes it
    // good and the next one goes on to the dot gain's cell.
    if (flags.checked(68) && Length(recBuf) == 9 && inColourSet() && at(2) == 'D' && at(5) == '%') {
        markingCell("d " + one(at(1)));
        if (reference) {
            keys.Farbe(Trim(Copy(recBuf, 3, 4)));
            keys.ReTab(marking);
            keys.ReUTab(1);
        }
        keys.Farbe(Trim(Copy(recBuf, 6, 3)));
        keys.ReUTab(1);
        keys.Datumzeitaus();
        endOfValue();
        if (reference) keys.LiO(1);
        keys.LiO(1);
        keys.UReRet();
    }
    // Rule 11, balance difference.
    if (flags.checked(57) && Length(recBuf) > 28 && at(1) == 'C' && at(11) == 'M' &&
        at(21) == 'Y' && at(2) == 'D') {
        const auto qualified = [&](const char* colour, int qualifierAt) -> RecordText {
            const unsigned char q = Length(recBuf) >= qualifierAt ? at(qualifierAt) : 0;
            if (q == 'D' || q == 'U') return std::string("d") + colour + "-" + one(q);
            return std::string("d ") + colour;
        };
        markingCell(qualified("C", 10));
        keys.messzeig(Copy(recBuf, 3, 8));
        keys.ReUTab(1);
        markingCell(qualified("M", 20));
        keys.messzeig(Copy(recBuf, 13, 18));
        keys.ReUTab(1);
        markingCell(qualified("Y", 30));
        keys.messzeig(Copy(recBuf, 23, 28));
        keys.Datumzeitaus();
        keys.LiO(marking ? 5 : 2);
        keys.UReRet();
    }
}

} // namespace qorva
