#include "parsers/parsers.h"

#include "shell/main_frm.h"

#include <cstdio>

namespace qorva {

namespace {

// The quantity letters: 1 to 6 for the colour-difference instrument, 7 to 9 for XYZ.
const RecordText Kennbuchstaben = "CMYKEVXYZ";

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

} // namespace

// Looks up each selected letter's first occurrence and types the 7 characters after it,
// one value below the other with an optional marking cell; then the date and time, and
// the cursor to the top of the next free column.
void Parsers::processMakerRecord(const std::string& record, int firstLetter, int letters,
                                 int firstFlag, int markingBox, bool scaleValues) {
    KeySink& keys = frm_.keys;
    const bool marking = frm_.flags.checked(markingBox);
    int count = 0;
    for (int i = 0; i < letters; ++i) {
        if (!frm_.flags.ausgabe(firstFlag + i)) continue;
        const RecordText letter = Copy(Kennbuchstaben, firstLetter + i, 1);
        const int a = Pos(letter, record);
        if (a == 0) continue;
        if (marking) {
            keys.Farbe(letter);
            keys.ReUTab(1);
        }
        const RecordText field = Copy(record, a + 1, 7);
        if (!scaleValues)
            keys.messzeig(field);
        else if (letter == "E")
            keys.messzeig(fixedPoint(leadingNumber(field) / 10, 1));
        else
            keys.messzeig(fixedPoint(leadingNumber(field) / 1000, 3));
        if (marking) keys.LiO(1);
        keys.UReRet();
        ++count;
    }
    keys.LiO(1);
    keys.Datumzeitaus();
    keys.ReUTab(1);
    frm_.parseState.RecBuf.clear();
    if (marking) keys.ReUTab(1);
    keys.ReUTab(1);
    for (int k = 0; k < count; ++k) keys.OLiSRet();
}

void Parsers::ProcessColourDifferenceRecord(const std::string& record) {
    processMakerRecord(record, 1, 6, 90, 76, true);
}

void Parsers::ProcessXYZRecord(const std::string& record) {
    processMakerRecord(record, 7, 3, 100, 74, false);
}

// The plate reader's pictures and lines are read by their own section, which is not
// part of the program yet; RSbuffer is left for it untouched.
void Parsers::ProcessPlateReader() {}

} // namespace qorva
