#pragma once
// The record parsers: the intake of the other makers' records with its field helpers,
// the family sections, and the parsers of the maker's own instruments.
#include "platform/record_text.h"

#include <string>

namespace qorva {

class TMainFrm;
class TControl;

class Parsers {
  public:
    explicit Parsers(TMainFrm& frm) : frm_(frm) {}
    virtual ~Parsers() = default;

    // Other makers' instruments: DataSize characters of one record (at most 255).
    virtual void Testrcv(TControl* Sender, const char* DataPtr, int DataSize);
    // The maker's own instruments: the queued line, unchanged.
    virtual void ProcessColourDifferenceRecord(const std::string& record);
    virtual void ProcessXYZRecord(const std::string& record);
    // The plate reader: works on RSbuffer.
    virtual void ProcessPlateReader();

    // The three views of a record that the intake hands to the family sections: RecBuf
    // itself, the raw copy right after the front cut, and the trimmed copy.
    struct RecordViews {
        RecordText raw;
        RecordText trimmed;
    };
    // The intake: takes the record into RecBuf and normalises it. False when the family
    // sections are not to run (an incomplete text, or an image text handed on).
    bool intake(const RecordText& record, RecordViews& views);

    // Field helpers shared by the family sections.
    static void dotsuch(RecordText& ds);
    static void such(RecordText& s);
    static void stringtest(RecordText& mess);
    static bool gnull(const RecordText& Dicht);
    static bool null(const RecordText& Dichte);
    static RecordText del(const RecordText& Wert, int entf);
    RecordText ausdel(const RecordText& Wert, int ab, int zeig, int entf);
    RecordText ausdel2(const RecordText& Wert, int ab, int zeig, int entf);

  protected:
    TMainFrm& frm_;

  private:
    void takeIntoRecBuf(const RecordText& record, bool& image);
    void imageTransfer(const RecordText& record);
    void familySections(const RecordViews& views);

    // The PFI family (Blatt5) and the rules that end every record.
    void pfiSection(const RecordViews& views, std::string& colourSet);
    void pageIndependentRules(const std::string& colourSet);
    void typeLetterValues(const std::string& letters, const int* flags);

    void processMakerRecord(const std::string& record, int firstLetter, int letters, int firstFlag,
                            int markingBox, bool scaleValues);
};

} // namespace qorva
