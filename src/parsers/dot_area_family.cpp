// The dot-area densitometers and the gloss meter of page Blatt1: gloss records, channel
// records and the dot and density records of eleven functions, each function gated by
// the flag of its number and named by its marking.
#include "output/key_sink.h"
#include "output/output_flags.h"
#include "parsers/family.h"
#include "parsers/field_helpers.h"
#include "parsers/parse_state.h"

namespace qorva {

namespace {

constexpr int kMarkingFlag = 48;

// The marking of function n (1 to 11), which is also the number of its flag.
constexpr const char* kFunctionMarkings[] = {
    "",           "DOT R", "DOTSIZE R", "NEG DOT R", "NEG DOTSIZE R", "DENS R",
    "ABS DENS R", "DOT",   "DOTSOFT",   "NEG DOT",   "NEG DOTSOFT",   "DENS"};

// The function of a dot or density record from its characters 1, 2, 3 and 10.
int functionOf(const RecordText& record) {
    const unsigned char kind = CharAt(record, 1), first = CharAt(record, 2),
                        second = CharAt(record, 3);
    const bool reflection = CharAt(record, 10) == 'R';
    if (kind == '%') {
        const bool negative = first == 'N';
        if (reflection) {
            if (negative) return second == 'M' ? 4 : 3;
            return second == 'M' || second == 'S' ? 2 : 1;
        }
        if (negative) return second == 'S' ? 10 : 9;
        return second == 'S' ? 8 : 7;
    }
    if (reflection) return first == 'A' ? 6 : 5;
    return 11;
}

class DotAreaFamily : public InstrumentFamily {
  public:
    DotAreaFamily(const ParserContext& context, FieldHelpers& fields)
        : ctx_(context), fields_(fields) {}
    void typeRecord(FamilyRecord& record) override;

  private:
    bool marking() const { return ctx_.flags.checked(kMarkingFlag); }
    void typeGloss();
    void typeChannel();
    void typeDotOrDensity(RecordText raw);
    void sw(int i);

    ParserContext ctx_;
    FieldHelpers& fields_;
};

void DotAreaFamily::typeRecord(FamilyRecord& record) {
    const RecordText& recBuf = ctx_.state.RecBuf;
    RecordText raw = record.raw;
    if (CharAt(recBuf, 1) == 'G' && Length(recBuf) > 5) {
        typeGloss();
        raw.clear();
    }
    if (Copy(recBuf, 1, 2) == "Ch" && Length(recBuf) == 16) {
        typeChannel();
        raw.clear();
    }
    typeDotOrDensity(raw);
}

// Rule 1: a gloss value; a '9' in front of it stands for its minus sign.
void DotAreaFamily::typeGloss() {
    RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    const bool marked = marking();
    keys.markingCell(marked, "GL");
    if (CharAt(recBuf, 2) == '9') {
        Delete(recBuf, 2, 1);
        Insert("-", recBuf, 2);
    }
    keys.TypeString(Copy(recBuf, 2, 5));
    keys.Datumzeitaus();
    if (marked) keys.LiO(1);
    keys.UReRet();
}

// Rule 2: the channel's R value and d value, each present or not. The cursor goes back
// over exactly the cells this record moved on, so a record with one part only ends
// where the next one can start as well.
void DotAreaFamily::typeChannel() {
    const RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    const bool marked = marking();
    const bool hasR = CharAt(recBuf, 5) == 'R', hasD = CharAt(recBuf, 11) == 'd';
    int cellsOn = 0;
    const auto marking = [&](const RecordText& text) {
        if (!marked) return;
        keys.markingCell(true, text);
        ++cellsOn;
    };
    const auto value = [&](const RecordText& text) {
        keys.TypeString(Trim(text));
        keys.ReUTab(1);
        ++cellsOn;
    };
    marking("Ch" + Copy(recBuf, 3, 1));
    if (hasR) marking("R");
    if (hasR) value(Copy(recBuf, 6, 4));
    if (hasD) {
        marking("d");
        value(Copy(recBuf, 12, 5));
    }
    keys.Datumzeitaus();
    keys.LiO(cellsOn);
    keys.UReRet();
}

// Rule 3, on the raw copy: a dot or density record of 10 characters and its CR.
void DotAreaFamily::typeDotOrDensity(RecordText raw) {
    RecordText& recBuf = ctx_.state.RecBuf;
    recBuf = raw;
    if (Length(raw) <= 10) return;
    if (CharAt(raw, 1) == '\n') Delete(raw, 1, 1);
    if (CharAt(raw, 1) == 'V') recBuf = Copy(recBuf, 1, 1);
    const unsigned char kind = CharAt(raw, 1);
    if ((kind == '%' || kind == 'D') && CharAt(raw, 11) == '\r') {
        recBuf = Copy(raw, 1, 10);
        sw(functionOf(recBuf));
    } else {
        Delete(recBuf, 1, 1);
    }
}

void DotAreaFamily::sw(int i) {
    RecordText& recBuf = ctx_.state.RecBuf;
    KeySink& keys = ctx_.keys;
    if (!ctx_.flags.ausgabe(i)) {
        recBuf.clear();
        return;
    }
    const bool marked = marking();
    keys.markingCell(marked, kFunctionMarkings[i]);
    fields_.ausdel2(recBuf, 4, 6, 10);
    recBuf.clear();
    keys.Datumzeitaus();
    if (marked) keys.LiO(1);
    keys.UReRet();
}

} // namespace

std::unique_ptr<InstrumentFamily> MakeDotAreaFamily(const ParserContext& context,
                                                    FieldHelpers& fields) {
    return std::make_unique<DotAreaFamily>(context, fields);
}

} // namespace qorva
