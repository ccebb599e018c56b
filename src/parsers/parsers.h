#pragma once
// The record parsers: the intake of the other makers' records, the families chosen by
// the active device page, and the rules that end every record of the other makers.
#include "parsers/family.h"
#include "parsers/field_helpers.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qorva {

class TControl;
class TTabSheet;

class Parsers {
  public:
    explicit Parsers(const ParserContext& context);
    virtual ~Parsers();

    // Other makers' instruments: DataSize characters of one record (at most 255), typed
    // by the family of the active densito page and the rules that end every record.
    virtual void Testrcv(const TControl* Sender, const char* DataPtr, int DataSize);
    // The maker's own instruments: the queued line, unchanged, typed by the family of
    // their page.
    virtual void typeQueuedLine(const TTabSheet& page, const std::string& record);
    // The plate reader: works on RSbuffer.
    virtual void ProcessPlateReader();
    // Timer4's tick: the records the families deferred are typed now.
    virtual void Timer4Timer();

    // The intake: takes the record into RecBuf and normalises it. False when the family
    // sections are not to run (an incomplete text, or an image text handed on).
    bool intake(const RecordText& record, FamilyRecord& views);

    FieldHelpers fields;

  protected:
    ParserContext ctx_;

  private:
    void takeIntoRecBuf(const RecordText& record, bool& image);
    void imageTransfer(const RecordText& record);
    InstrumentFamily* familyOf(const TTabSheet* page) const;
    void typeDeferredRecords();

    std::vector<std::pair<std::string, std::unique_ptr<InstrumentFamily>>> families_;
};

} // namespace qorva
