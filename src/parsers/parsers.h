#pragma once
// Entry points of the record parsers, called by the dispatch with one record at a time.
#include <string>

namespace qorva {

class TMainFrm;
class TControl;

class Parsers {
  public:
    explicit Parsers(TMainFrm& frm) : frm_(frm) {}

    // Other makers' instruments: DataSize characters of one record (at most 255).
    void Testrcv(TControl* Sender, const char* DataPtr, int DataSize);
    // The maker's own instruments: the queued line, unchanged.
    void ProcessColourDifferenceRecord(const std::string& record);
    void ProcessXYZRecord(const std::string& record);
    // The plate reader: works on RSbuffer.
    void ProcessPlateReader();

  private:
    [[maybe_unused]] TMainFrm& frm_;
};

} // namespace qorva
