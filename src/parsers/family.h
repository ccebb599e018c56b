#pragma once
// An instrument family: the parser of one device page. Each family lives in a file of
// its own and is listed once in the table of families.cpp, by the page it serves.
#include "platform/record_text.h"

#include <memory>
#include <span>
#include <string>

namespace qorva {

class ColourPlaces;
class EventLoop;
class FieldHelpers;
class KeySink;
class OutputFlags;
class PicturePaste;
class TPageControl;
class TStatusBar;
class TTimer;
struct ParseState;

// What the parsers read: the shared text, the key sink, the flags and colour orders,
// and the device pages, each read when a record needs it.
struct ParserContext {
    ParseState& state;
    KeySink& keys;
    const OutputFlags& flags;
    EventLoop& loop;
    const ColourPlaces& colours;
    const TPageControl& TALMOPages;
    const TPageControl& densito;
    // The window's one-shot deferral timer of the seven-colour family.
    TTimer& Timer4;
    // The plate reader's pictures and the status text that reports them.
    PicturePaste& pictures;
    TStatusBar& StatusBar1;
};

// One record as a family takes it.
struct FamilyRecord {
    // The maker's own instruments: the queued line as it arrived.
    RecordText line;
    // The other makers' pages, from the intake: RecBuf right after the front cut, and
    // that copy trimmed (empty when the record starts with "D").
    RecordText raw;
    RecordText trimmed;
    // The colour letters whose flags are on, for the rules that end every record; only
    // the PFI page sets them.
    std::string colourSet;
};

class InstrumentFamily {
  public:
    virtual ~InstrumentFamily() = default;
    // Types what the record holds of the quantities ticked on the family's page. The
    // plate reader's family works on the raw buffer instead and gets an empty record.
    virtual void typeRecord(FamilyRecord& record) = 0;
    // Types a record the family held back from an earlier call, if one waits. The next
    // record of any page calls it before it is typed, and so does the family's timer.
    virtual void typeDeferred() {}
};

struct FamilyRow {
    const char* page; // the tab sheet whose family this is
    std::unique_ptr<InstrumentFamily> (*make)(const ParserContext&, FieldHelpers&);
};

std::span<const FamilyRow> FamilyTable();

} // namespace qorva
