// The plate readers of page Blatt4: identification lines, dot value lines and 1-bit
// pictures, read from the raw buffer RSbuffer that the line assembly fills with every
// received byte. Each parse tick takes the complete line or picture that begins first,
// with whatever lies in front of it; an incomplete one waits for the next tick.
#include "output/key_sink.h"
#include "output/output_flags.h"
#include "output/picture_paste.h"
#include "parsers/family.h"
#include "parsers/parse_state.h"
#include "parsers/plate_picture.h"
#include "platform/controls.h"

#include <algorithm>

namespace qorva {

namespace {

enum PlateReaderFlag : int { kSerialNumber = 47, kReference = 55, kMarking = 56 };

constexpr const char* kIdentifiers[] = {"PLAXEN", "Zintoka", "NOVIR"};
constexpr const char* kDotLeads[] = {"%", "\xC9"};
// An identification line ends with CR LF within this many characters from its identifier;
// a picture header has "Image" within the first kHeaderWindow of them.
constexpr int kLineWindow = 40, kHeaderWindow = 33;
// A dot value line that ends at "L/cm" has it within this many characters.
constexpr int kRulingWindow = 16;
// A long dot value line has its CR at this position from its lead character or later.
constexpr int kLongLine = 12;
// Picture characters beyond a full picture after which a header without its trailer is
// given up: it would otherwise hold back every later line.
constexpr int kPictureSlack = 1024;
// With no line begun anywhere, only this tail is kept: the start of an identifier.
constexpr int kKeptTail = 6;

constexpr const char* kTerminated = "Image transmission in terminated";

// The first position of any of the texts in s, 0 when none occurs.
template <size_t N> int firstOf(const char* const (&texts)[N], const RecordText& s) {
    int first = 0;
    for (const char* text : texts)
        if (const int at = Pos(text, s); at > 0 && (first == 0 || at < first)) first = at;
    return first;
}

class PlateReaderFamily : public InstrumentFamily {
  public:
    explicit PlateReaderFamily(const ParserContext& context) : ctx_(context) {}
    void typeRecord(FamilyRecord&) override { ProcessPlateReader(); }

  private:
    void ProcessPlateReader();
    void takeIdentifierLine(int from);
    void takePicture(int from, int k);
    void takeDotValueLine(int p, int identifier);
    void typeDotValueLine(int p, int b);
    // Removes the first n characters, unless the buffer was emptied and refilled while
    // they were typed (a page entered, STOP): then they are gone already.
    void consume(const RecordText& front);

    RecordText& buffer() { return ctx_.state.RSbuffer; }
    ParserContext ctx_;
};

void PlateReaderFamily::ProcessPlateReader() {
    RecordText& B = buffer();
    if (Length(B) <= 5) return;
    const int identifier = firstOf(kIdentifiers, B), dot = firstOf(kDotLeads, B);
    if (identifier == 0 && dot == 0) {
        Delete(B, 1, Length(B) - kKeptTail);
        return;
    }
    if (identifier > 0 && (dot == 0 || identifier < dot))
        takeIdentifierLine(identifier);
    else
        takeDotValueLine(dot, identifier);
}

void PlateReaderFamily::consume(const RecordText& front) {
    RecordText& B = buffer();
    if (Copy(B, 1, Length(front)) == front) Delete(B, 1, Length(front));
}

void PlateReaderFamily::takeIdentifierLine(int from) {
    RecordText& B = buffer();
    const RecordText window = Copy(B, from, kLineWindow);
    const int a = Pos("\r\n", window);
    if (a == 0) {
        // A full window without a line end can never complete: the identifier begins no
        // line, and the lines behind it go on.
        if (Length(window) >= kLineWindow) Delete(B, 1, from);
        return;
    }
    const RecordText line = Copy(window, 1, a - 1);
    if (const int k = Pos("Image", Copy(line, 1, kHeaderWindow)); k > 0) {
        takePicture(from, k);
        return;
    }
    const RecordText front = Copy(B, 1, from + a);
    if (ctx_.flags.ausgabe(kSerialNumber)) {
        ctx_.keys.TypeString(line);
        ctx_.keys.UReRet();
    }
    consume(front);
}

// The header ends 7 characters after the "I" of "Image", with the first band's lead byte;
// the picture's characters run from there to its trailer "End Image".
void PlateReaderFamily::takePicture(int from, int k) {
    RecordText& B = buffer();
    const int P = from + k - 1;
    const int e = Pos("End Image", Copy(B, P, Length(B) - P));
    if (e == 0) {
        if (Length(B) - P > PlatePicture::kSourceCharacters + kPictureSlack) Delete(B, 1, from);
        return;
    }
    const int trailer = P + e - 1, first = P + 8;
    int end = trailer + Length("End Image") - 1;
    if (CharAt(B, end + 1) == '\r') ++end;
    if (CharAt(B, end + 1) == '\n') ++end;
    const RecordText front = Copy(B, 1, end);
    const RecordText caption = Copy(B, from, k - 1);
    const RecordText source = Copy(B, first, trailer - first);
    ctx_.StatusBar1.setSimpleText(kTerminated);
    if (ctx_.pictures.paste(caption, source)) {
        ctx_.keys.pressEscape();
        ctx_.keys.UReRet();
    }
    consume(front);
}

void PlateReaderFamily::takeDotValueLine(int p, int identifier) {
    RecordText& B = buffer();
    const int cr = Pos("\r", Copy(B, p, Length(B) - p));
    const int ruling = Pos("L/cm", Copy(B, p, kRulingWindow));
    const int b = ruling > 0 && (cr == 0 || ruling < cr) ? ruling : cr;
    // A lead character whose line would run into an identification line that begins
    // later is no line's start: the identification line goes next.
    if (identifier > p && (b == 0 || p + b - 1 >= identifier)) {
        Delete(B, 1, identifier - 1);
        return;
    }
    if (b == 0) return;
    const RecordText front = Copy(B, 1, p + b);
    typeDotValueLine(p, b);
    consume(front);
}

void PlateReaderFamily::typeDotValueLine(int p, int b) {
    const RecordText line = Copy(buffer(), p, b + 15);
    KeySink& keys = ctx_.keys;
    const bool marking = ctx_.flags.ausgabe(kMarking);
    if (marking) {
        keys.TypeString("DOT" + Copy(line, 2, 1));
        keys.ReUTab(1);
    }
    keys.TypeString(Copy(line, 3, 8));
    if (b < kLongLine) {
        keys.Datumzeitaus();
    } else if (ctx_.flags.ausgabe(kReference)) {
        keys.ReUTab(1);
        if (marking) {
            keys.TypeString("REF");
            keys.ReUTab(1);
        }
        keys.TypeString(Copy(line, 11, 5));
        keys.Datumzeitaus();
        keys.LiOSTab(1);
        if (marking) keys.LiOSTab(1);
    } else {
        keys.Datumzeitaus();
    }
    if (marking) keys.LiOSTab(1);
    keys.UReRet();
}

} // namespace

std::unique_ptr<InstrumentFamily> MakePlateReaderFamily(const ParserContext& context,
                                                        FieldHelpers&) {
    return std::make_unique<PlateReaderFamily>(context);
}

} // namespace qorva
