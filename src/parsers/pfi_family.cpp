#include "parsers/parsers.h"

#include "shell/main_frm.h"

namespace qorva {

namespace {

// The colour letters of the PFI instruments and the flags of their boxes.
struct ColourFlag {
    char letter;
    int flag;
};
constexpr ColourFlag kColourSetFlags[] = {{'K', 80}, {'C', 81}, {'M', 82}, {'Y', 83},
                                          {'R', 84}, {'G', 85}, {'B', 86}};
constexpr int kCmykrgbFlags[] = {81, 82, 83, 80, 84, 85, 86}; // for "CMYKRGB"

struct DensityRow {
    char letter;
    int flag;
    const char* marking;
};
constexpr DensityRow kDensityRows[] = {{'C', 81, "c"}, {'M', 82, "M"}, {'Y', 83, "Y"},
                                       {'K', 80, "K"}, {'R', 84, "R"}, {'G', 85, "G"},
                                       {'B', 86, "B"}};

RecordText one(unsigned char c) {
    return RecordText(1, static_cast<char>(c));
}

} // namespace

// Rules 1 and 2: one value per letter found, one below the other, then the date and time
// and the cursor back to the top next to this record.
void Parsers::typeLetterValues(const std::string& letters, const int* flags) {
    KeySink& keys = frm_.keys;
    RecordText& recBuf = frm_.parseState.RecBuf;
    const bool marking = frm_.flags.checked(73);
    int counter = 0;
    for (size_t k = 0; k < letters.size(); ++k) {
        const int p = Pos(one(static_cast<unsigned char>(letters[k])), recBuf);
        if (p <= 0 || (flags && !frm_.flags.ausgabe(flags[k]))) continue;
        if (marking) {
            keys.Farbe(one(static_cast<unsigned char>(letters[k])));
            keys.ReUTab(1);
        }
        keys.messzeig(Copy(recBuf, p + 3, 5));
        if (marking) keys.LiO(1);
        keys.UReRet();
        ++counter;
    }
    keys.LiO(1);
    keys.Datumzeitaus();
    keys.ReUTab(1);
    recBuf.clear();
    if (marking) keys.ReUTab(1);
    keys.ReUTab(1);
    for (int k = 0; k < counter; ++k) keys.OLiSRet();
}

void Parsers::pfiSection(const RecordViews& views, std::string& colourSet) {
    RecordText& recBuf = frm_.parseState.RecBuf;
    KeySink& keys = frm_.keys;
    const OutputFlags& flags = frm_.flags;
    recBuf = views.trimmed;
    frm_.loop.processPending();
    for (const auto& colour : kColourSetFlags)
        if (flags.ausgabe(colour.flag)) colourSet += colour.letter;

    const auto at = [&recBuf](int p) { return CharAt(recBuf, p); };
    const int length = Length(recBuf);
    const bool marking = flags.checked(73);

    if (flags.checked(60) && length > 8 && at(1) == 'L') typeLetterValues("Lab", nullptr);
    if (flags.checked(59) && Length(recBuf) > 8 && at(1) == 'C' && Pos("%", recBuf) == 0)
        typeLetterValues("CMYKRGB", kCmykrgbFlags);

    if (flags.checked(58) && Length(recBuf) > 20 && at(1) == 'C' && at(11) == 'M' &&
        at(21) == 'Y' && at(2) != 'D') {
        const auto value = [&](const char* letter, int from, int count) {
            if (marking) {
                keys.Farbe(letter);
                keys.ReUTab(1);
            }
            keys.messzeig(Copy(recBuf, from, count));
        };
        value("C", 4, 8);
        keys.ReUTab(1);
        value("M", 14, 18);
        keys.ReUTab(1);
        value("Y", 24, 28);
        keys.Datumzeitaus();
        keys.LiO(marking ? 5 : 2);
        keys.UReRet();
    }

    if (flags.checked(65) && Pos("%", recBuf) == 0) {
        for (const auto& row : kDensityRows) {
            if (Length(recBuf) != 8 || at(1) != row.letter || at(2) == 'D' ||
                !flags.ausgabe(row.flag))
                continue;
            if (marking) {
                keys.Farbe(row.marking);
                keys.ReUTab(1);
            }
            keys.messzeig(Copy(recBuf, 4, 5));
            keys.Datumzeitaus();
            if (marking) keys.LiO(1);
            keys.UReRet();
        }
    }
}

void Parsers::pageIndependentRules(const std::string& colourSet) {
    RecordText& recBuf = frm_.parseState.RecBuf;
    KeySink& keys = frm_.keys;
    const OutputFlags& flags = frm_.flags;
    const auto at = [&recBuf](int p) { return CharAt(recBuf, p); };
    const auto inColourSet = [&] {
        return at(1) != 0 && colourSet.find(static_cast<char>(at(1))) != std::string::npos;
    };
    const bool marking = flags.checked(73);
    const bool reference = flags.checked(71);
    const auto markingCell = [&](const RecordText& text) {
        if (!marking) return;
        keys.Farbe(text);
        keys.ReUTab(1);
    };
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
    // Rule 7, trapping: the '%' typed as cursor-left is made good by the ReUTab after it.
    if (flags.checked(69) && Length(recBuf) >= 7 && at(1) == 'T' && at(7) == '%') {
        markingCell("TR-" + Copy(recBuf, 2, 2));
        keys.Farbe(Copy(recBuf, 4, 6));
        keys.ReUTab(1);
        keys.Datumzeitaus();
        endOfValue();
        keys.UReRet();
    }
    // Rule 8, tone value.
    if (flags.checked(62) && Length(recBuf) >= 5 && Length(recBuf) <= 8 && inColourSet() &&
        at(5) == '%' && at(2) != 'D') {
        markingCell(one(at(1)));
        keys.Farbe(Copy(recBuf, 2, 4));
        keys.ReUTab(1);
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
    // Rule 10, dot gain difference: the reference's '%' moves left, ReUTab(2) makes it good.
    if (flags.checked(68) && Length(recBuf) == 9 && inColourSet() && at(2) == 'D' && at(5) == '%') {
        markingCell("d " + one(at(1)));
        if (reference) {
            keys.Farbe(Trim(Copy(recBuf, 3, 4)));
            keys.ReUTab(2);
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
