// The PFI densitometers of page Blatt5: Lab and CMYKRGB records of the output setting
// ALL, balance and density records; the rules that end every record follow in
// page_independent_rules.cpp.
#include "output/key_sink.h"
#include "output/output_flags.h"
#include "output/value_column.h"
#include "parsers/family.h"
#include "parsers/parse_state.h"
#include "platform/event_loop.h"

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

constexpr int kMarkingFlag = 73;

RecordText one(unsigned char c) {
    return RecordText(1, static_cast<char>(c));
}

class PfiFamily : public InstrumentFamily {
  public:
    explicit PfiFamily(const ParserContext& context) : ctx_(context) {}
    void typeRecord(FamilyRecord& record) override;

  private:
    void typeLetterValues(const std::string& letters, const int* flags);
    void typeBalance(bool marking);
    void typeDensity(bool marking);

    ParserContext ctx_;
};

// Rules 1 and 2: one value per letter found, one below the other, then the date and time
// and the cursor back to the top next to this record.
void PfiFamily::typeLetterValues(const std::string& letters, const int* flags) {
    RecordText& recBuf = ctx_.state.RecBuf;
    ValueColumn column(ctx_.keys, ctx_.flags.checked(kMarkingFlag));
    for (size_t k = 0; k < letters.size(); ++k) {
        const RecordText letter = one(static_cast<unsigned char>(letters[k]));
        const int p = Pos(letter, recBuf);
        if (p <= 0 || (flags && !ctx_.flags.ausgabe(flags[k]))) continue;
        column.add(letter, Copy(recBuf, p + 3, 5));
    }
    column.finish(recBuf);
}

// Rule 3: cyan, magenta and yellow side by side in one row.
void PfiFamily::typeBalance(bool marking) {
    const RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    const auto value = [&](const char* letter, int from, int count) {
        keys.markingCell(marking, letter);
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

// Rule 4: a single density of a colour whose flag is on.
void PfiFamily::typeDensity(bool marking) {
    const RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    for (const auto& row : kDensityRows) {
        if (Length(recBuf) != 8 || CharAt(recBuf, 1) != row.letter || CharAt(recBuf, 2) == 'D' ||
            !ctx_.flags.ausgabe(row.flag))
            continue;
        keys.markingCell(marking, row.marking);
        keys.messzeig(Copy(recBuf, 4, 5));
        keys.Datumzeitaus();
        if (marking) keys.LiO(1);
        keys.UReRet();
    }
}

void PfiFamily::typeRecord(FamilyRecord& record) {
    RecordText& recBuf = ctx_.state.RecBuf;
    const OutputFlags& flags = ctx_.flags;
    recBuf = record.trimmed;
    ctx_.loop.processPending();
    for (const auto& colour : kColourSetFlags)
        if (flags.ausgabe(colour.flag)) record.colourSet += colour.letter;

    const auto at = [&recBuf](int p) { return CharAt(recBuf, p); };
    const bool marking = flags.checked(kMarkingFlag);
    if (flags.checked(60) && Length(recBuf) > 8 && at(1) == 'L') typeLetterValues("Lab", nullptr);
    if (flags.checked(59) && Length(recBuf) > 8 && at(1) == 'C' && Pos("%", recBuf) == 0)
        typeLetterValues("CMYKRGB", kCmykrgbFlags);
    if (flags.checked(58) && Length(recBuf) > 20 && at(1) == 'C' && at(11) == 'M' &&
        at(21) == 'Y' && at(2) != 'D')
        typeBalance(marking);
    if (flags.checked(65) && Pos("%", recBuf) == 0) typeDensity(marking);
}

} // namespace

std::unique_ptr<InstrumentFamily> MakePfiFamily(const ParserContext& context, FieldHelpers&) {
    return std::make_unique<PfiFamily>(context);
}

} // namespace qorva
