#include "parsers/field_helpers.h"

#include "output/key_sink.h"
#include "parsers/parse_state.h"

#include <algorithm>
#include <cstring>

namespace qorva {

namespace {

bool isColourLetter(unsigned char c) {
    return std::strchr("VCMYOGBK", c) != nullptr && c != 0;
}

} // namespace

void FieldHelpers::dotsuch(RecordText& ds) {
    if (Length(ds) <= 7) return;
    const int L = Length(ds);
    const auto at = [&](int p) { return CharAt(ds, p); };
    bool trigger = false;
    for (int k = 1; k <= L && !trigger; ++k) {
        if (at(k) == 'K' && k + 5 >= 6 && at(k + 5) == '\r') trigger = true;
        if (k >= 5 && at(k) == '\r' && at(k + 1) == '\r') trigger = true;
    }
    if (trigger) such(ds);
    trigger = false;
    for (int k = 1; k <= Length(ds) && !trigger; ++k)
        if (at(k) == 'K' && k + 4 >= 6 && at(k + 4) == '\r') trigger = true;
    if (trigger) such(ds);
    const int n = Length(ds);
    if (at(n) == '%' && (at(n - 5) == 'K' || at(n - 4) == 'K')) such(ds);
    if (Pos("%\r\n", ds) > 0) such(ds);
    if (Pos("% \r\n", ds) > 0) such(ds);
}

void FieldHelpers::such(RecordText& s) {
    if (Copy(s, 1, 2) == "DV") return;
    int i = 8;
    while (i <= Length(s) && !isColourLetter(CharAt(s, i))) ++i;
    if (i > Length(s)) return; // no colour letter: the text stays as it is
    s = "DV" + Copy(s, i, Length(s));
    const auto pad = [&s](int first, int distance, const char* spaces) {
        const int L = Length(s);
        for (int j = first; j <= L; ++j)
            if (CharAt(s, j) == '%' && isColourLetter(CharAt(s, j - distance)))
                s = Copy(s, 1, j - distance) + spaces + Copy(s, j - distance + 1, Length(s));
    };
    pad(6, 3, " ");
    pad(5, 2, "  ");
}

void FieldHelpers::stringtest(RecordText& mess) {
    RecordText out = Copy(mess, 1, 1);
    const auto endsWith = [&out](unsigned char c) { return CharAt(out, Length(out)) == c; };
    for (int k = 2; k <= Length(mess); ++k) {
        const unsigned char ch = CharAt(mess, k);
        if (std::strchr(" %-.0123456789LNPV", ch) && ch != 0) {
            out += static_cast<char>(ch);
        } else if (std::strchr("BGKORd", ch) && ch != 0) {
            if (!endsWith(' ')) out += ' ';
            out += static_cast<char>(ch);
        } else if (std::strchr("CEHMYbhxy", ch) && ch != 0) {
            const bool joined = endsWith('d') || Length(out) == 1 || endsWith('T') ||
                                CharAt(out, Length(out) - 1) == 'T' || endsWith(' ');
            if (!joined) out += ' ';
            out += static_cast<char>(ch);
        } else if (ch == 'a') {
            if (Length(out) <= 6) continue;
            int n = Length(out);
            if (CharAt(out, n - 5) == 'L')
                out = Copy(out, 1, n - 5) + " " + Copy(out, n - 4, 5) + " ";
            n = Length(out);
            if (CharAt(out, n - 6) == 'L') {
                if (CharAt(out, n - 5) == ' ' || CharAt(out, n - 5) == '1')
                    out += ' ';
                else
                    out = Copy(out, 1, n - 6) + " " + Copy(out, n - 5, 6);
            }
            out += 'a';
        }
    }
    if (CharAt(out, 1) == 'T') {
        if (Length(out) > 10) {
            if (CharAt(out, 6) == '%' && std::strchr("YCM", CharAt(out, 3)) && CharAt(out, 3) != 0)
                Insert(" ", out, 4);
            else if (CharAt(out, 11) == '%')
                Insert(" ", out, 9);
        }
        if (Length(out) > 11 && (CharAt(out, 4) == '-' || CharAt(out, 9) == '-'))
            out = "TMP 0" + Copy(mess, 13, Length(mess));
    }
    mess = out;
}

bool FieldHelpers::gnull(const RecordText& Dicht) {
    return Length(Dicht) >= 4 && CharAt(Dicht, 1) == '0' && CharAt(Dicht, 3) == '0' &&
           CharAt(Dicht, 4) == '0';
}

bool FieldHelpers::null(const RecordText& Dichte) {
    for (int p : {2, 7, 12, 17})
        if (!gnull(Copy(Dichte, p, 4))) return false;
    return true;
}

RecordText FieldHelpers::del(const RecordText& Wert, int entf) {
    RecordText rest = Wert;
    Delete(rest, 1, entf);
    return rest;
}

RecordText FieldHelpers::ausdel(const RecordText& Wert, int ab, int zeig, int entf) {
    keys_.Farbe(Copy(Wert, ab, zeig));
    RecordText& recBuf = state_.RecBuf;
    Delete(recBuf, 1, entf);
    return recBuf;
}

RecordText FieldHelpers::ausdel2(const RecordText& Wert, int ab, int zeig, int entf) {
    KeySink& keys = keys_;
    const auto typeKey = [&](unsigned char ch) { keys.tapCharacterCode(ch); };
    // Up to the point a minus is the Subtract key wherever it stands: instruments
    // right-align their fields, so the sign often follows a blank.
    const auto typeIntegerKey = [&](unsigned char ch) {
        if (ch == '-')
            keys.pressSubtract();
        else
            typeKey(ch);
    };
    const auto isEnd = [](unsigned char c) { return c == '%' || c == '\r' || c == '\n'; };
    if (ab >= 1 && ab <= Length(Wert)) typeIntegerKey(CharAt(Wert, ab));
    int t = std::max(ab + 1, 1);
    while (t <= Length(Wert) && CharAt(Wert, t) != '.' && !isEnd(CharAt(Wert, t)))
        typeIntegerKey(CharAt(Wert, t++));
    keys.decimalKey();
    if (t <= Length(Wert) && isEnd(CharAt(Wert, t))) entf = t - 1;
    if (CharAt(Wert, t) == '.') {
        for (int p = t + 1; p <= ab + zeig - 1 && p <= Length(Wert); ++p) {
            if (isEnd(CharAt(Wert, p)))
                entf = p - 1;
            else
                typeKey(CharAt(Wert, p));
        }
    }
    if (entf > Length(Wert)) entf = Length(Wert);
    return del(Wert, entf);
}

} // namespace qorva
