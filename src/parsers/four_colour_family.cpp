// The four-colour densitometers of page Blatt2: tone value, dot gain, print contrast,
// hue error, grayness, trapping and print characteristic of one colour, and the density
// record of all four colours, typed in the user's four-colour order; AUTO colour
// detection ticks only the colour the densities show was measured.
#include "output/key_sink.h"
#include "output/output_flags.h"
#include "parsers/colour_places.h"
#include "parsers/family.h"
#include "parsers/field_helpers.h"
#include "parsers/parse_state.h"
#include "platform/controls.h"

#include <array>
#include <optional>

namespace qorva {

namespace {

constexpr int kToneValue = 12, kDotGain = 13, kPrintContrast = 14, kDensity = 15,
              kAbsoluteDensity = 16, kHueError = 17, kGrayness = 18, kBlack = 19, kCyan = 20,
              kMagenta = 21, kYellow = 22, kZeroing = 46, kMarkingFlag = 49, kTrapping = 51,
              kPrintCharacteristic = 52, kReference = 54;

struct ColourGroup {
    int flag;
    const char* marking;
};

// The colour of a single-colour record by its first character.
std::optional<ColourGroup> colourGroupOf(unsigned char letter) {
    switch (letter) {
    case 'B':
    case 'K':
    case 'V':
        return ColourGroup{kBlack, "V"};
    case 'C':
        return ColourGroup{kCyan, "C"};
    case 'M':
        return ColourGroup{kMagenta, "M"};
    case 'Y':
        return ColourGroup{kYellow, "Y"};
    }
    return std::nullopt;
}

bool isBlackLetter(unsigned char c) {
    return c == 'B' || c == 'K' || c == 'V';
}

// The colour boxes as the user ticked them, put back when the record is done whatever
// way it ends: AUTO changes them for one record only.
class ColourBoxesKept {
  public:
    explicit ColourBoxesKept(const OutputFlags& flags) : flags_(flags) {
        for (int k = 0; k < 4; ++k) kept_[k] = flags_.checked(kBlack + k);
    }
    ~ColourBoxesKept() {
        for (int k = 0; k < 4; ++k) flags_.box(kBlack + k)->setChecked(kept_[k]);
    }
    ColourBoxesKept(const ColourBoxesKept&) = delete;
    ColourBoxesKept& operator=(const ColourBoxesKept&) = delete;

  private:
    const OutputFlags& flags_;
    std::array<bool, 4> kept_{};
};

class FourColourFamily : public InstrumentFamily {
  public:
    FourColourFamily(const ParserContext& context, FieldHelpers& fields)
        : ctx_(context), fields_(fields) {}
    void typeRecord(FamilyRecord& record) override;

  private:
    bool marking() const { return ctx_.flags.checked(kMarkingFlag); }
    void dispatch();
    void typeToneValueOrDotGain(const ColourGroup& colour);
    void typePrintContrast(const ColourGroup& colour);
    void typeDensities();
    void detectColour();
    void typeHueErrorOrGrayness(int functionFlag, unsigned char colourLetter);
    void typeTrappingOrPrintCharacteristic(int gate, const char* markingStart);
    void skipToNextBlackLetter();

    ParserContext ctx_;
    FieldHelpers& fields_;
};

void FourColourFamily::typeRecord(FamilyRecord& record) {
    const ColourBoxesKept kept(ctx_.flags);
    ctx_.state.RecBuf = UpperCase(record.trimmed);
    if (Length(ctx_.state.RecBuf) > 5) dispatch();
}

// Records of six characters or fewer that would need a seventh (a short tone value,
// dot gain, print contrast, trapping or print characteristic) are cut off in
// transmission: they match no rule and nothing of them is typed.
void FourColourFamily::dispatch() {
    const RecordText& recBuf = ctx_.state.RecBuf;
    const unsigned char first = CharAt(recBuf, 1), fifth = CharAt(recBuf, 5);
    const int length = Length(recBuf);
    if (const auto colour = colourGroupOf(first)) {
        if (fifth == '%') {
            if (length > 6) typeToneValueOrDotGain(*colour);
        } else if (fifth == 'K') {
            if (length > 6) typePrintContrast(*colour);
        } else if (isBlackLetter(first) && length > 19) {
            typeDensities();
        }
        return;
    }
    switch (first) {
    case 'H':
        typeHueErrorOrGrayness(kHueError, CharAt(recBuf, 2));
        return;
    case 'G':
        typeHueErrorOrGrayness(kGrayness, CharAt(recBuf, 2));
        return;
    case 'T':
        if (length > 6) typeTrappingOrPrintCharacteristic(kTrapping, "TR ");
        return;
    case 'P':
        if (length > 6) typeTrappingOrPrintCharacteristic(kPrintCharacteristic, "PF");
        return;
    }
    skipToNextBlackLetter();
}

// Rule 1: a tone value ("100", or a reference of "00") or a dot gain with its reference.
void FourColourFamily::typeToneValueOrDotGain(const ColourGroup& colour) {
    RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    const OutputFlags& flags = ctx_.flags;
    const bool marked = marking();
    const bool toneValue =
        Copy(recBuf, 2, 3) == "100" || (CharAt(recBuf, 6) == '0' && CharAt(recBuf, 7) == '0');
    if (toneValue && flags.ausgabe2(kToneValue, colour.flag)) {
        keys.markingCell(marked, colour.marking);
        keys.Farbe(Copy(recBuf, 2, 3));
        keys.Datumzeitaus();
        if (marked) keys.LiO(1);
        keys.UReRet();
    } else if (!toneValue && flags.ausgabe2(kDotGain, colour.flag)) {
        const bool reference = flags.ausgabe(kReference);
        keys.markingCell(marked, colour.marking);
        if (reference) {
            keys.Farbe(Copy(recBuf, 6, 2));
            keys.ReUTab(1);
        }
        keys.Farbe(Copy(recBuf, 3, 2));
        keys.Datumzeitaus();
        if (marked) keys.LiO(1);
        if (reference) keys.LiO(1);
        keys.UReRet();
    }
    Delete(recBuf, 1, 7);
}

// Rule 2: the print contrast with the word "KON" in the cell after it.
void FourColourFamily::typePrintContrast(const ColourGroup& colour) {
    RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    if (ctx_.flags.ausgabe2(kPrintContrast, colour.flag)) {
        const bool marked = marking();
        keys.markingCell(marked, colour.marking);
        keys.Farbe(Copy(recBuf, 3, 2));
        keys.ReUTab(1);
        keys.Farbe("KON");
        keys.Datumzeitaus();
        keys.LiO(1);
        if (marked) keys.LiO(1);
        keys.UReRet();
    }
    Delete(recBuf, 1, 7);
}

// The density of group g without its point ("1.45" reads 145); nullopt when the three
// characters are not digits.
std::optional<int> densityNumber(const RecordText& record, int g) {
    int number = 0;
    for (int p : {5 * g + 2, 5 * g + 4, 5 * g + 5}) {
        const unsigned char c = CharAt(record, p);
        if (!IsDigit(c)) return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

// AUTO: the measured colour from the densities. A group that is not a number leaves
// the ticks as the user set them.
void FourColourFamily::detectColour() {
    const RecordText& recBuf = ctx_.state.RecBuf;
    std::array<int, 4> d{};
    for (int g = 0; g < 4; ++g) {
        const auto number = densityNumber(recBuf, g);
        if (!number) return;
        d[g] = *number;
    }
    const double k = d[0], c = d[1], m = d[2], y = d[3];
    int only = 0;
    if (k < 8 && c < 8 && m < 8 && y < 8)
        only = kBlack;
    else if (0.7 * m < y && y < 1.3 * m && 0.7 * m < c && c < 1.3 * m)
        only = kBlack;
    else if (y > m && y > c)
        only = kYellow;
    else if (m > y && m > c)
        only = kMagenta;
    else if (c > m && c > y)
        only = kCyan;
    if (only == 0) return;
    for (int flag = kBlack; flag <= kYellow; ++flag) ctx_.flags.box(flag)->setChecked(flag == only);
}

// Rule 3: the four densities in the user's order, each ticked colour in its own cell
// (after its marking cell), the cursor back to the record's first cell after each.
void FourColourFamily::typeDensities() {
    RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    const OutputFlags& flags = ctx_.flags;
    if (flags.AutoChkbx().Checked()) detectColour();
    const bool absolute = Length(recBuf) > 20 && CharAt(recBuf, 21) == 'A';
    const int d = absolute ? kAbsoluteDensity : kDensity;
    const bool zeroing = FieldHelpers::null(recBuf);
    const auto colourGate = [&](int farb) {
        return zeroing ? flags.ausgabe3(d, farb, kZeroing) : flags.ausgabe2(d, farb);
    };
    const bool finalGate = zeroing ? flags.ausgabe2(kZeroing, d) : flags.ausgabe(d);
    const bool nextTabField = ctx_.keys.layout() == OutputLayout::NextTabField;
    for (int i = 1; i <= 4; ++i) {
        int farb = 0, davor = 0;
        ctx_.colours.Wo1(farb, davor, i);
        const int g = farb - kBlack;
        if (!colourGate(farb)) continue;
        const bool marked = marking();
        keys.ReUTab(davor);
        if (marked) {
            keys.ReUTab(davor);
            keys.Farbe(Copy(recBuf, 5 * g + 1, 1));
            keys.ReUTab(1);
        }
        keys.messzeig(Copy(recBuf, 5 * g + 2, 4));
        if (i == 4) keys.Datumzeitaus();
        if (i == 4 && nextTabField) continue;
        keys.LioiTab(davor);
        if (marked) keys.LioiTab(davor + 1);
    }
    Delete(recBuf, 1, 20);
    if (finalGate) keys.UReRet();
    if (absolute) Delete(recBuf, 1, 1);
}

// Rule 4: hue error or grayness of cyan, magenta or yellow.
void FourColourFamily::typeHueErrorOrGrayness(int functionFlag, unsigned char colourLetter) {
    RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    const auto colour = colourGroupOf(colourLetter);
    if (!colour || colour->flag == kBlack) return;
    if (ctx_.flags.ausgabe2(colour->flag, functionFlag)) {
        const bool marked = marking();
        keys.markingCell(marked, Copy(recBuf, 1, 2));
        keys.Farbe(Copy(recBuf, 4, 2));
        keys.Datumzeitaus();
        if (marked) keys.LiO(1);
        keys.UReRet();
    }
    Delete(recBuf, 1, 6);
}

// Rule 5: trapping or print characteristic, no colour gate.
void FourColourFamily::typeTrappingOrPrintCharacteristic(int gate, const char* markingStart) {
    RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    if (!ctx_.flags.ausgabe(gate)) {
        recBuf = FieldHelpers::del(recBuf, 7);
        return;
    }
    const bool marked = marking();
    keys.markingCell(marked, markingStart + Copy(recBuf, 5, 3));
    recBuf = fields_.ausdel(recBuf, 2, 3, 7);
    keys.Datumzeitaus();
    if (marked) keys.LiO(1);
    keys.UReRet();
}

// Rule 6: anything else is skipped up to the next black letter; nothing is typed.
void FourColourFamily::skipToNextBlackLetter() {
    RecordText& recBuf = ctx_.state.RecBuf;
    while (!recBuf.empty() && !isBlackLetter(CharAt(recBuf, 1))) Delete(recBuf, 1, 1);
}

} // namespace

std::unique_ptr<InstrumentFamily> MakeFourColourFamily(const ParserContext& context,
                                                       FieldHelpers& fields) {
    return std::make_unique<FourColourFamily>(context, fields);
}

} // namespace qorva
