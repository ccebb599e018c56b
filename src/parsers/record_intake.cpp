#include "parsers/parsers.h"

#include "parsers/page_independent_rules.h"
#include "parsers/parse_state.h"
#include "platform/controls.h"

#include <algorithm>
#include <cstring>

namespace qorva {

namespace {

constexpr unsigned char kLeadCharacters[] = {'D', 'C', 'c', 'M', 'Y', 'V', 'O', 'G', 'B',
                                             'T', 'K', 'H', 'g', 'h', 'L', 'd', '%', 'P',
                                             201, 'R', '0', 'N', 166, 211, 230};

bool isLeadCharacter(unsigned char c) {
    return std::memchr(kLeadCharacters, c, sizeof kLeadCharacters) != nullptr;
}

const char* const kPlateReaderIdentifiers[] = {"ZINTOKA", "PLAXEN ", "NOVIR  "};

bool endsWithLineEnd(const RecordText& s) {
    const unsigned char last = CharAt(s, Length(s));
    return last == '\r' || last == '\n';
}

// Identifier scan: a plate-reader identifier moves to the front of RecBuf, and the word
// "Image" in the text marks an image transfer.
void scanForPlateReader(RecordText& recBuf, bool& image) {
    if (Length(recBuf) <= 5) return;
    for (int p = 1;; ++p) {
        for (const char* id : kPlateReaderIdentifiers) {
            const int n = static_cast<int>(std::strlen(id));
            if (UpperCase(Copy(recBuf, p, n)) == id) {
                Delete(recBuf, 1, p - 1);
                if (Pos("Image", recBuf) > 0) image = true;
                break;
            }
        }
        if (p >= 31 || image || p > Length(recBuf) - 6) return;
    }
}

} // namespace

void Parsers::takeIntoRecBuf(const RecordText& record, bool& image) {
    RecordText& recBuf = ctx_.state.RecBuf;
    recBuf += record;
    recBuf += 'D'; // sentinel: the front cut always stops
    size_t cut = 0;
    while (cut < recBuf.size() && !isLeadCharacter(static_cast<unsigned char>(recBuf[cut]))) ++cut;
    recBuf.erase(0, cut);
    recBuf.pop_back();
    if (recBuf.empty()) recBuf.assign(1, ' ');
    scanForPlateReader(recBuf, image);
}

// A plate-reader image text that reaches a queued record cannot hold a picture: queued
// records keep only printable bytes and end at every LF, and pictures are taken from
// RSbuffer on page Blatt4. Such a text is dropped whole, so the next record starts on a
// clean RecBuf.
void Parsers::imageTransfer(const RecordText&) {
    ctx_.state.RecBuf.clear();
}

Parsers::Parsers(const ParserContext& context)
    : fields(context.keys, context.state), ctx_(context) {
    for (const FamilyRow& row : FamilyTable())
        families_.emplace_back(row.page, row.make(ctx_, fields));
}

Parsers::~Parsers() = default;

InstrumentFamily* Parsers::familyOf(const TTabSheet* page) const {
    if (!page) return nullptr;
    for (const auto& [name, family] : families_)
        if (name == page->Name()) return family.get();
    return nullptr;
}

// A deferred record goes in front of the next one, whatever page that one is for.
void Parsers::typeDeferredRecords() {
    for (const auto& entry : families_) entry.second->typeDeferred();
}

void Parsers::Timer4Timer() {
    typeDeferredRecords();
}

// The section of the active page's family, then the rules that end every record.
void Parsers::Testrcv(const TControl*, const char* DataPtr, int DataSize) {
    typeDeferredRecords();
    FamilyRecord record;
    if (!intake(RecordText(DataPtr, static_cast<size_t>(std::max(DataSize, 0))), record)) return;
    if (InstrumentFamily* family = familyOf(ctx_.densito.ActivePage())) family->typeRecord(record);
    PageIndependentRules(ctx_, record.colourSet);
    ctx_.state.RecBuf.clear();
}

void Parsers::typeQueuedLine(const TTabSheet& page, const std::string& line) {
    typeDeferredRecords();
    InstrumentFamily* family = familyOf(&page);
    if (!family) return;
    FamilyRecord record;
    record.line = line;
    family->typeRecord(record);
}

// The plate reader's family reads RSbuffer itself; without one the buffer stays as it is.
void Parsers::ProcessPlateReader() {
    if (InstrumentFamily* family = familyOf(ctx_.densito.ActivePage())) {
        FamilyRecord none;
        family->typeRecord(none);
    }
}

bool Parsers::intake(const RecordText& record, FamilyRecord& views) {
    bool image = Length(record) >= 900;
    if (!image) takeIntoRecBuf(record, image);
    if (image) {
        imageTransfer(record);
        return false;
    }
    RecordText& recBuf = ctx_.state.RecBuf;
    const bool complete = endsWithLineEnd(recBuf) ||
                          (Length(recBuf) > 5 && Pos("%", recBuf) > 0 && Pos(".", recBuf) > 0);
    if (!complete) return false;

    views.raw = recBuf;
    if (CharAt(recBuf, 1) == 'D') {
        FieldHelpers::dotsuch(recBuf);
    } else {
        recBuf = Trim(recBuf);
        views.trimmed = recBuf;
    }
    if (!(CharAt(recBuf, 1) == 'D' && CharAt(recBuf, 2) != 'V')) FieldHelpers::stringtest(recBuf);
    if (Length(recBuf) > 5 && Copy(recBuf, 1, 2) == "CP") recBuf[0] = 'I';
    return true;
}

} // namespace qorva
