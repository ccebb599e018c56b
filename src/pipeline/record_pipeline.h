#pragma once
// From received bytes to parsed records: line assembly into the monitor, the record
// queue, the dispatch of one record per parse tick under the parse guard, the watchdog
// over RecBuf, and the plate reader's raw buffer.
#include <deque>
#include <string>

namespace qorva {

class TMainFrm;
class Parsers;

class RecordPipeline {
  public:
    // The longest record the parsers take; longer lines belong to no instrument.
    static constexpr int kMaxRecordLength = 255;

    explicit RecordPipeline(TMainFrm& frm);

    void CommPortDriver1ReceiveData(const char* DataPtr, int DataSize);
    void ParseTimerTimer();
    void WatchdogTimer();
    // Focus entering one of the device pages Blatt1..Blatt5.
    void BlattEnter();
    // The parsers the dispatch calls; the main window's own unless replaced.
    void setParsers(Parsers& parsers) { parsers_ = &parsers; }

    std::deque<std::string> RSBUF;
    std::string Fs;
    bool semaphore = true;
    std::string RSbuffer;

  private:
    void completeLine(std::string& line);
    void writeMonitorLastLine(const std::string& line);
    void dispatch();
    void removeHead();
    bool onPlateReaderPage() const;

    TMainFrm& frm_;
    Parsers* parsers_ = nullptr;
};

} // namespace qorva
