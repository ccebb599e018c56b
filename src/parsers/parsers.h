#pragma once
// Entry points of the record parsers, called by the dispatch with one record at a time.
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

  protected:
    [[maybe_unused]] TMainFrm& frm_;
};

} // namespace qorva
