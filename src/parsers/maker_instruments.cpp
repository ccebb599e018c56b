// The maker's own instruments: the colour-difference instrument (page VARNIKPage) and the
// XYZ instrument (page LUMAPage). Their lines go from the queue to the family unchanged.
#include "output/output_flags.h"
#include "output/value_column.h"
#include "parsers/family.h"
#include "parsers/parse_state.h"

#include <cstdio>

namespace qorva {

namespace {

// The quantity letters: 1 to 6 for the colour-difference instrument, 7 to 9 for XYZ.
const RecordText Kennbuchstaben = "CMYKEVXYZ";

// Which letters an instrument sends, the flag of its first letter's box, its marking box,
// and whether its values come scaled (thousandths, delta E in tenths).
struct MakerRecordKind {
    int firstLetter;
    int letters;
    int firstFlag;
    int markingBox;
    bool scaleValues;
};

constexpr MakerRecordKind kColourDifference{
    .firstLetter = 1, .letters = 6, .firstFlag = 90, .markingBox = 76, .scaleValues = true};
constexpr MakerRecordKind kXyz{
    .firstLetter = 7, .letters = 3, .firstFlag = 100, .markingBox = 74, .scaleValues = false};

// The leading number of a value field (spaces, a sign, digits, a fraction); the rest of
// the field is ignored, and a field without a number reads as 0.
double leadingNumber(const RecordText& field) {
    int p = 1;
    while (CharAt(field, p) == ' ') ++p;
    double sign = 1;
    if (CharAt(field, p) == '-' || CharAt(field, p) == '+')
        sign = CharAt(field, p++) == '-' ? -1 : 1;
    double value = 0;
    while (IsDigit(CharAt(field, p))) value = value * 10 + (CharAt(field, p++) - '0');
    if (CharAt(field, p) == '.')
        for (double scale = 0.1; IsDigit(CharAt(field, ++p)); scale /= 10)
            value += (CharAt(field, p) - '0') * scale;
    return sign * value;
}

RecordText fixedPoint(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%5.*f", decimals, value);
    return text;
}

class MakerInstrumentFamily : public InstrumentFamily {
  public:
    MakerInstrumentFamily(const ParserContext& context, const MakerRecordKind& kind)
        : ctx_(context), kind_(kind) {}
    void typeRecord(FamilyRecord& record) override;

  private:
    RecordText valueOf(const RecordText& letter, const RecordText& field) const;

    ParserContext ctx_;
    MakerRecordKind kind_;
};

RecordText MakerInstrumentFamily::valueOf(const RecordText& letter, const RecordText& field) const {
    if (!kind_.scaleValues) return field;
    if (letter == "E") return fixedPoint(leadingNumber(field) / 10, 1);
    return fixedPoint(leadingNumber(field) / 1000, 3);
}

// Looks up each selected letter's first occurrence and types the 7 characters after it,
// one value below the other; then the date and time, and the cursor to the top of the
// next free column.
void MakerInstrumentFamily::typeRecord(FamilyRecord& record) {
    const RecordText& line = record.line;
    ValueColumn column(ctx_.keys, ctx_.flags.checked(kind_.markingBox));
    for (int i = 0; i < kind_.letters; ++i) {
        if (!ctx_.flags.ausgabe(kind_.firstFlag + i)) continue;
        const RecordText letter = Copy(Kennbuchstaben, kind_.firstLetter + i, 1);
        const int a = Pos(letter, line);
        if (a == 0) continue;
        column.add(letter, valueOf(letter, Copy(line, a + 1, 7)));
    }
    column.finish(ctx_.state.RecBuf);
}

} // namespace

std::unique_ptr<InstrumentFamily> MakeColourDifferenceFamily(const ParserContext& context,
                                                             FieldHelpers&) {
    return std::make_unique<MakerInstrumentFamily>(context, kColourDifference);
}

std::unique_ptr<InstrumentFamily> MakeXyzFamily(const ParserContext& context, FieldHelpers&) {
    return std::make_unique<MakerInstrumentFamily>(context, kXyz);
}

} // namespace qorva
