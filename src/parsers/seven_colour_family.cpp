// The seven-colour instrument of page Blatt3: cyan, magenta, yellow, orange, green, blue
// and black. RecBuf is consumed from the front in passes, one quantity (or one whole
// multi-value record) per pass: tone values, dot gains and densities, the seven-colour
// density record in the user's colour order, relative print contrast, hue error,
// grauness, trapping and Perlfaktor, tone value balance, and the colour analysis
// (L*a*b*, L*C*h and Yxy values, their deltas and the reference number). Short cyan
// records wait on Timer4 and are typed when it fires or in front of the next record.
#include "output/key_sink.h"
#include "output/output_flags.h"
#include "parsers/colour_places.h"
#include "parsers/family.h"
#include "parsers/field_helpers.h"
#include "parsers/parse_state.h"
#include "platform/controls.h"

#include <optional>
#include <utility>

namespace qorva {

namespace {

// The output selection flags the page reads (47 is the serial-number switch of Blatt4).
enum SevenColourFlag : int {
    kBlack = 23,
    kCyan = 24,
    kYellow = 26,
    kToneValue = 30,
    kDotGain = 31,
    kPerlfaktor = 32,
    kDensity = 33,
    kTrapping = 34,
    kHueError = 35,
    kGrauness = 36,
    kContrast = 37,
    kToneValueBalance = 38,
    kColourAnalysis = 39,
    kLab = 40,
    kLch = 41,
    kYxy = 42,
    kReferenceNumber = 43,
    kDeltas = 44,
    kZeroBlack = 47,
    kMarking = 50,
    kDotGainReference = 53,
};

struct Colour {
    unsigned char letter;
    int flag;
};
// By seven-colour index 1 to 7, the index the colour order holds.
constexpr Colour kColours[] = {{'C', 24}, {'M', 25}, {'Y', 26}, {'O', 27},
                               {'G', 28}, {'B', 29}, {'K', 23}};

const Colour* colourOfLetter(unsigned char letter) {
    for (const Colour& colour : kColours)
        if (colour.letter == letter) return &colour;
    return nullptr;
}

// The pass loop: a minimum larger than any record (at most 255 characters) ends the loop
// after a pass that sets none; an unconsumed buffer loses one character every eleven
// passes once thirty have run.
constexpr int kStartingMinimum = 1000;
constexpr int kPassLimit = 30, kPassRestart = 20;
// Cyan records of up to this length wait on Timer4.
constexpr int kShortCyan = 7;
// The seven-colour density record: seven blocks of 7 characters, the last one short.
constexpr int kSevenColourRecord = 48;

RecordText one(unsigned char c) {
    return RecordText(1, static_cast<char>(c));
}

// What a pass sets as the length the buffer must keep for another pass; none leaves the
// previous minimum in force.
using Minimum = std::optional<int>;

class SevenColourFamily : public InstrumentFamily {
  public:
    SevenColourFamily(const ParserContext& context, FieldHelpers& fields)
        : ctx_(context), keys_(context.keys), fields_(fields) {}
    void typeRecord(FamilyRecord& record) override;
    // Timer4Timer: the deferred cyan record, typed as a single cyan value.
    void typeDeferred() override;

  private:
    RecordText& buf() { return ctx_.state.RecBuf; }
    unsigned char at(int p) { return CharAt(buf(), p); }
    int length() { return Length(buf()); }
    bool on(int flag) const { return ctx_.flags.ausgabe(flag); }
    bool both(int a, int b) const { return ctx_.flags.ausgabe2(a, b); }
    bool marked() const { return on(kMarking); }
    bool tabFields() const { return keys_.layout() == OutputLayout::NextTabField; }
    void del(int n) { buf() = FieldHelpers::del(buf(), n); }
    void ausdel(int ab, int zeig, int entf) { buf() = fields_.ausdel(buf(), ab, zeig, entf); }
    void ausdel2(int ab, int zeig, int entf) { buf() = fields_.ausdel2(buf(), ab, zeig, entf); }

    static void prot(RecordText& ds);
    Minimum pass();

    // Single values: marking cell, value, date and time, on to the next measurement.
    void openValue(const RecordText& marking);
    void closeValue();
    // A percentage (positions 2 to 4, "%" at 5) or a density (from position 2).
    void percentValue(const RecordText& marking);
    void density(const RecordText& marking);
    void dotGain(int f);
    int mwTTZD(int f);
    Minimum cyan();
    Minimum yellow();
    Minimum black();
    Minimum grauOrHue(int flag, const char* marking);

    void sevenColourDensities();
    int lastTypedPlace() const;

    Minimum contrast();
    void kontrast();
    void kontrastaus();
    Minimum trapping();
    Minimum toneValueBalance();
    void twb();

    void mwFA(unsigned char c);
    void mwFA2(unsigned char c);
    Minimum labOrLch();
    Minimum delta();
    void deltaYxy();
    void deltaLabOrLch();
    void besideTheValues();
    void referenceNumber(unsigned char c, int agp, int zur);
    void rrr(unsigned char c, int agp, int zur);

    ParserContext ctx_;
    KeySink& keys_;
    FieldHelpers& fields_;
    bool contrastMarked_ = false;
    RecordText deferred_;
};

// A percentage gets its digits in positions 2 to 4 and "%" in position 5.
void SevenColourFamily::prot(RecordText& ds) {
    if (CharAt(ds, 4) == '%') Insert(" ", ds, 2);
    if (CharAt(ds, 3) == '%') Insert("  ", ds, 2);
}

void SevenColourFamily::typeRecord(FamilyRecord&) {
    RecordText& recBuf = buf();
    if (length() > 2 && at(3) == '%') Insert("  ", recBuf, 2);
    if (length() > 3) prot(recBuf);
    if (length() <= 4) return;
    contrastMarked_ = false;
    int minimum = kStartingMinimum;
    int passes = 1;
    do {
        if (const Minimum set = pass()) minimum = *set;
        keys_.Delay(50);
        if (++passes > kPassLimit) {
            passes = kPassRestart;
            del(1);
        }
    } while (length() >= minimum);
}

Minimum SevenColourFamily::pass() {
    switch (at(1)) {
    case 'C':
        return cyan();
    case 'M':
    case 'O':
    case 'G':
    case 'B':
        prot(buf());
        return mwTTZD(colourOfLetter(at(1))->flag);
    case 'Y':
        return yellow();
    case 'K':
        return black();
    case 'c':
        return contrast();
    case 'T':
        return trapping();
    case 'g':
        return grauOrHue(kGrauness, "GR");
    case 'h':
        return grauOrHue(kHueError, "H E");
    case 'D':
        return toneValueBalance();
    case 'L':
        return labOrLch();
    case 'd':
        return delta();
    case 'R':
        if (length() > 1) del(2);
        return 2;
    case ' ':
    case 'a':
        del(1);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void SevenColourFamily::openValue(const RecordText& marking) {
    keys_.markingCell(marked(), marking);
}

void SevenColourFamily::closeValue() {
    keys_.Datumzeitaus();
    if (marked()) keys_.LiO(1);
    keys_.UReRet();
}

void SevenColourFamily::percentValue(const RecordText& marking) {
    openValue(marking);
    ausdel(2, 3, 5);
    closeValue();
}

void SevenColourFamily::density(const RecordText& marking) {
    openValue(marking);
    ausdel2(2, 5, 6);
    closeValue();
}

// The reference field (positions 6 and 7) gets a cell of its own between marking and value.
void SevenColourFamily::dotGain(int f) {
    if (!both(f, kDotGain)) {
        del(7);
        return;
    }
    openValue(Copy(buf(), 1, 1));
    const bool reference = on(kDotGainReference);
    if (reference) {
        keys_.Farbe(Copy(buf(), 6, 2));
        keys_.ReUTab(1);
    }
    ausdel(2, 3, 7);
    keys_.Datumzeitaus();
    if (reference) keys_.LiO(1);
    if (marked()) keys_.LiO(1);
    keys_.UReRet();
}

int SevenColourFamily::mwTTZD(int f) {
    if (at(5) == '%' && length() == 5) {
        if (both(f, kToneValue))
            percentValue(Copy(buf(), 1, 1));
        else
            del(5);
        return 5;
    }
    if (at(5) == '%') {
        dotGain(f);
        return 7;
    }
    if (length() <= 5) return 6;
    if (both(f, kDensity))
        density(Copy(buf(), 1, 1));
    else
        del(6);
    return 6;
}

// A short cyan record leaves RecBuf for the deferral, so nothing of it can be lost to the
// rules that end the record or to the next record.
Minimum SevenColourFamily::cyan() {
    prot(buf());
    typeDeferred();
    keys_.Delay(100);
    if (length() <= kShortCyan) {
        deferred_ = std::exchange(buf(), RecordText());
        ctx_.Timer4.setEnabled(true);
        return 8;
    }
    if (length() < kSevenColourRecord) return kSevenColourRecord;
    sevenColourDensities();
    return 50;
}

void SevenColourFamily::typeDeferred() {
    ctx_.Timer4.setEnabled(false);
    if (deferred_.empty()) return;
    RecordText& recBuf = buf();
    const RecordText around = std::exchange(recBuf, std::exchange(deferred_, RecordText()));
    mwTTZD(kCyan);
    recBuf = around;
}

Minimum SevenColourFamily::yellow() {
    prot(buf());
    if (at(5) == '%') return mwTTZD(kYellow);
    if (at(3) == '.') {
        if (both(kYellow, kDensity))
            density(Copy(buf(), 1, 1));
        else
            del(6);
        return 5;
    }
    if (length() <= 22) return 23;
    if (both(kColourAnalysis, kYxy)) {
        if (marked()) keys_.Farbe2('Y');
        mwFA(' ');
        mwFA('X');
        mwFA2('Y');
        keys_.UReRet();
    } else {
        del(23);
    }
    return 2;
}

// Black zero values are switched by flag 47 instead of black's own flag, with the
// marking "N ".
Minimum SevenColourFamily::black() {
    prot(buf());
    if (at(5) == '%' && length() == 5) {
        if (Copy(buf(), 2, 3) == "  0") {
            if (both(kToneValue, kZeroBlack))
                percentValue("N ");
            else
                del(5);
        } else if (both(kBlack, kToneValue)) {
            percentValue(Copy(buf(), 1, 1));
        } else {
            del(5);
        }
        return 5;
    }
    if (at(5) == '%') {
        dotGain(kBlack);
        return 7;
    }
    const bool zero = Copy(buf(), 2, 5) == "0.000";
    if (both(kDensity, zero ? kZeroBlack : kBlack))
        density(zero ? "N " : Copy(buf(), 1, 1));
    else
        del(6);
    return 5;
}

Minimum SevenColourFamily::grauOrHue(int flag, const char* marking) {
    if (on(flag))
        percentValue(marking);
    else
        del(5);
    return 5;
}

// The last order place whose colour is typed: the date and time follow its value.
int SevenColourFamily::lastTypedPlace() const {
    for (int p = 7; p >= 1; --p) {
        int farb = 0, davor = 0;
        ctx_.colours.Wo2(farb, davor, p);
        if (both(kDensity, kColours[farb - 24].flag)) return p;
    }
    return 0;
}

// Each colour has a fixed column, one cell (two with markings) per typed colour before it
// in the order; the cursor comes back to the first cell after each. Block j of the record
// holds colour j at position 7j - 6 and its density from 7j - 5; the blocks stay where
// they are until the end, so a terminator inside a field must not cut the record's front.
void SevenColourFamily::sevenColourDensities() {
    RecordText& recBuf = buf();
    recBuf += ' ';
    const int last = lastTypedPlace();
    for (int p = 1; p <= 7; ++p) {
        int farb = 0, davor = 0;
        ctx_.colours.Wo2(farb, davor, p);
        const int j = farb - 23;
        if (!both(kDensity, kColours[j - 1].flag)) continue;
        keys_.ReUTab(davor);
        if (marked()) {
            keys_.ReUTab(davor);
            keys_.Farbe(Copy(recBuf, 7 * j - 6, 1));
            keys_.ReUTab(1);
        }
        fields_.ausdel2(recBuf, 7 * j - 5, 5, 0);
        if (p == last) keys_.Datumzeitaus();
        if (p == last && tabFields()) continue;
        keys_.LioiTab(davor);
        if (marked()) keys_.LioiTab(davor + 1);
    }
    del(kSevenColourRecord);
    if (on(kDensity)) keys_.UReRet();
}

// The colour letter stands at position 7; with markings the cells are colour letter,
// value and "KON".
Minimum SevenColourFamily::contrast() {
    typeDeferred();
    if (length() <= 6) return std::nullopt;
    contrastMarked_ = false;
    const Colour* colour = colourOfLetter(at(7));
    if (!colour) return 7;
    if (both(colour->flag, kContrast)) {
        if (marked()) kontrast();
        if (marked()) contrastMarked_ = true;
        ausdel(2, 3, 7);
        kontrastaus();
    } else {
        del(7);
    }
    return 7;
}

void SevenColourFamily::kontrast() {
    keys_.Farbe(Copy(buf(), 7, 1));
    keys_.ReUTab(2);
    keys_.Farbe("KON");
    keys_.LioiTab(1);
}

void SevenColourFamily::kontrastaus() {
    keys_.ReUTab(1);
    keys_.Datumzeitaus();
    keys_.LiOSTab(1);
    if (marked() && contrastMarked_) keys_.LiO(1);
    keys_.UReRet();
}

// The colour pair stands in positions 2 and 3, the trapping value in 4 to 6 and the
// Perlfaktor value in 9 to 11. "TMP 0" is what the intake makes of a negative value: a
// trapping of 0. It is typed only when trapping values are chosen, and its fourth
// character, a space, is dropped rather than typed into the next measurement's cell.
Minimum SevenColourFamily::trapping() {
    if (length() <= 11) {
        if (at(4) != ' ' || at(5) != '0') return 12;
        if (on(kTrapping)) {
            keys_.Farbe("0");
            keys_.UReRet();
        }
        del(5);
        return 5;
    }
    int n = 1;
    if (on(kTrapping)) {
        if (marked()) {
            n = 2;
            keys_.Farbe("TR " + Copy(buf(), 2, 2));
            keys_.ReUTab(1);
        }
        keys_.Farbe(Copy(buf(), 4, 3));
        if (!on(kPerlfaktor)) keys_.Datumzeitaus();
        keys_.ReUTab(1);
    }
    if (on(kPerlfaktor)) {
        if (marked()) {
            keys_.Farbe("PF");
            keys_.ReUTab(1);
        }
        keys_.Farbe(Copy(buf(), 9, 3));
        keys_.Datumzeitaus();
        if (marked()) keys_.LiO(1);
    }
    if (on(kTrapping)) keys_.LiO(n);
    del(12);
    if (on(kTrapping) || on(kPerlfaktor)) keys_.UReRet();
    return 5;
}

// "DV", one more character, then blocks of 6: colour letter, 3-character value, two more.
Minimum SevenColourFamily::toneValueBalance() {
    if (at(2) != 'V') return 200;
    if (on(kToneValueBalance)) {
        if (marked()) {
            keys_.Farbe2('D');
            keys_.Farbe("B  ");
        }
        del(3);
        twb();
        keys_.UReRet();
    }
    buf() = " ";
    return 5;
}

// The values in the configured colour order, whatever their order in the record. A record
// without a value of a chosen colour makes no moves back over cells it never used.
void SevenColourFamily::twb() {
    const RecordText& recBuf = buf();
    int count = 0;
    for (int p = 1; p <= 7; ++p) {
        int farb = 0, davor = 0;
        ctx_.colours.Wo2(farb, davor, p);
        const Colour& colour = kColours[farb - 24];
        for (int n = 0; n <= (Length(recBuf) - 1) / 6; ++n) {
            if (CharAt(recBuf, 6 * n + 1) != colour.letter || !on(colour.flag)) continue;
            ++count;
            if (marked()) {
                keys_.Farbe(one(colour.letter));
                keys_.ReUTab(1);
            }
            keys_.Farbe(Copy(recBuf, 6 * n + 2, 3));
            keys_.ReUTab(1);
        }
    }
    if (count == 0) return;
    keys_.LioiTab(1);
    keys_.Datumzeitaus();
    keys_.ReUTab(1);
    if (marked()) keys_.LiOSTab(count);
    if (tabFields()) keys_.LioiTab(1);
    keys_.LiOSTab(count);
}

// A middle block of a colour-analysis record: component letter and 7 characters.
void SevenColourFamily::mwFA(unsigned char c) {
    if (marked()) {
        keys_.Farbe(one(c));
        keys_.ReUTab(1);
    }
    ausdel2(2, 6, 8);
    keys_.ReUTab(1);
}

// The last block, 7 characters; the cursor goes back to the record's first cell.
void SevenColourFamily::mwFA2(unsigned char c) {
    if (marked()) {
        keys_.Farbe(one(c));
        keys_.ReUTab(1);
    }
    ausdel2(2, 6, 7);
    keys_.Datumzeitaus();
    if (buf().empty()) buf() = " ";
    keys_.LiO(2);
    if (marked()) keys_.LiO(3);
}

Minimum SevenColourFamily::labOrLch() {
    RecordText& recBuf = buf();
    if (length() > 21 && at(17) == 'h') Insert(" ", recBuf, 18);
    if (length() > 19 && at(17) == 'h' && at(20) == '.') Insert(" ", recBuf, 18);
    if (length() > 21 && at(17) == 'h' && length() == 22) recBuf += ' ';
    if (length() <= 22) return 23;
    if (!on(kColourAnalysis)) {
        del(23);
        return 2;
    }
    if ((on(kLab) && at(9) == 'a') || (on(kLch) && at(9) == 'C')) {
        if (marked()) keys_.Farbe2('L');
        mwFA(' ');
    } else {
        del(8);
    }
    for (int block = 0; block < 2; ++block) {
        switch (at(1)) {
        case 'a':
            if (on(kLab))
                mwFA('A');
            else
                del(8);
            break;
        case 'b':
            if (on(kLab)) {
                mwFA2('B');
                keys_.UReRet();
            } else {
                del(7);
            }
            // Delta blocks in the same line: the next pass takes them as a delta record.
            if (!recBuf.empty() && at(1) == 'L') Insert("d", recBuf, 1);
            break;
        case 'C':
            if (on(kLch)) {
                if (marked()) keys_.Farbe2('C');
                mwFA(' ');
            } else {
                del(8);
            }
            break;
        case 'h':
            if (on(kLch)) {
                mwFA2('H');
                keys_.UReRet();
            } else {
                del(7);
            }
            break;
        default:
            break;
        }
    }
    return 2;
}

Minimum SevenColourFamily::delta() {
    if (length() <= 28) return 29;
    if (at(2) == 'Y') {
        deltaYxy();
        return 2;
    }
    if (length() <= 37) return 39;
    deltaLabOrLch();
    return 2;
}

// The deltas go on the row of the values they belong to, to the right of the values and
// of their date and time. In the Tab-field layout the cursor already stands there.
void SevenColourFamily::besideTheValues() {
    keys_.OLiSRet();
    if (!tabFields()) keys_.ReUTab((marked() ? 6 : 3) + keys_.dateTimeCells());
}

// Yxy deltas: "dY", "dx", "dy" blocks, then "R" and the reference character. Flag 42
// chooses the Yxy values and their deltas: without the values there is no row to put
// the deltas on.
void SevenColourFamily::deltaYxy() {
    if (!(both(kColourAnalysis, kDeltas) && on(kYxy))) {
        del(29);
        return;
    }
    besideTheValues();
    del(1);
    if (marked()) {
        keys_.Farbe("D");
        keys_.Farbe2('Y');
    }
    mwFA(' ');
    del(1);
    if (marked()) keys_.Farbe("D");
    mwFA('X');
    del(1);
    if (marked()) keys_.Farbe("D");
    mwFA2('Y');
    if (tabFields())
        keys_.tab(1);
    else
        keys_.URe();
    del(1);
    referenceNumber(at(2), 3, 6);
    del(2);
}

// L*a*b* or L*C*h deltas: "dL", then "da" and "db" or "dC" and "dH", then "dE", "R" and
// the reference character. Flag 40 (with an "a" block) or 41 (with a "C" block) chooses
// the values and their deltas.
void SevenColourFamily::deltaLabOrLch() {
    RecordText& recBuf = buf();
    if (!both(kColourAnalysis, kDeltas)) {
        del(38);
        return;
    }
    del(1);
    if (!((on(kLab) && at(10) == 'a') || (on(kLch) && at(10) == 'C'))) {
        del(37);
        return;
    }
    besideTheValues();
    if (marked()) {
        keys_.Farbe("D");
        keys_.Farbe2('L');
    }
    mwFA(' ');
    for (int block = 0; block < 3; ++block) {
        if (at(1) != 'd') Insert(" ", recBuf, 1);
        const unsigned char component = at(2);
        if (component != 'a' && component != 'b' && component != 'C' && component != 'H' &&
            component != 'E') {
            del(9);
            continue;
        }
        del(1);
        if (marked()) keys_.Farbe("D");
        if (component == 'a' || component == 'b') {
            mwFA(UpCase(component));
            continue;
        }
        if (marked()) keys_.Farbe2(component);
        if (component != 'E') {
            mwFA(' ');
            continue;
        }
        if (length() == 7) recBuf += ' ';
        mwFA2(' ');
        keys_.LiO(1);
        if (marked()) keys_.LiO(1);
        if (tabFields())
            keys_.tab(1);
        else
            keys_.URe();
        if (at(1) == ' ') del(1);
    }
    referenceNumber(at(2), 4, 7);
    del(2);
}

// The reference number after the deltas: in the Tab-field layout in the next field, in
// the others beside the deltas with the cursor back at the values' first cell.
void SevenColourFamily::referenceNumber(unsigned char c, int agp, int zur) {
    if (!tabFields()) {
        rrr(c, agp, zur);
        return;
    }
    if (!on(kReferenceNumber)) return;
    keys_.Farbe("R" + one(c));
    keys_.Datumzeitaus();
    keys_.tab(1);
}

// agp: the delta cells to pass, zur: the cells back to the values' first cell. Both also
// pass the date and time cells of the values and of the deltas.
void SevenColourFamily::rrr(unsigned char c, int agp, int zur) {
    if (marked()) {
        agp *= 2;
        zur *= 2;
    }
    const int dateTime = keys_.dateTimeCells();
    agp += dateTime;
    zur += 2 * dateTime;
    if (!on(kReferenceNumber)) {
        keys_.LiOSTab(zur - agp);
        return;
    }
    keys_.OLiSRet();
    keys_.ReUTab(agp);
    keys_.Farbe("R" + one(c));
    keys_.Datumzeitaus();
    keys_.LiO(zur);
    if (keys_.layout() == OutputLayout::NewColumn)
        keys_.rechts(1);
    else
        keys_.down(1);
}

} // namespace

std::unique_ptr<InstrumentFamily> MakeSevenColourFamily(const ParserContext& context,
                                                        FieldHelpers& fields) {
    return std::make_unique<SevenColourFamily>(context, fields);
}

} // namespace qorva
