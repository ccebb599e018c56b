#pragma once
// From received bytes to parsed records: line assembly into the monitor, the record
// queue, the dispatch of one record per parse tick under the parse guard, the watchdog
// over RecBuf, and the plate reader's raw buffer.
#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>

namespace qorva {

class EventLoop;
class FaultLog;
class Parsers;
class TButton;
class TCheckBox;
class TMemo;
class TPageControl;
struct ParseState;

// What the pipeline reads and writes: the monitor, the running state (START disabled),
// the burst setting, the device pages, the loop, the parsers' shared text and where
// faults are reported.
struct PipelineContext {
    TMemo& RSMemo;
    const TButton& Button3;
    const TCheckBox& Burst;
    const TPageControl& Manufacturer;
    const TPageControl& TALMOPages;
    const TPageControl& densito;
    EventLoop& loop;
    ParseState& state;
    Parsers& parsers;
    FaultLog& faults;
};

class RecordPipeline {
  public:
    // The longest record the parsers take; longer lines belong to no instrument.
    static constexpr int kMaxRecordLength = 255;
    // A line is cut at this length (the monitor shows kCutMarker after it), so a line
    // without an end costs no more than its bytes.
    static constexpr size_t kMaxLineLength = 1024;
    static constexpr const char* kCutMarker = " [...]";
    static constexpr size_t kDefaultMonitorLines = 100000;

    explicit RecordPipeline(const PipelineContext& context);
    ~RecordPipeline();
    RecordPipeline(const RecordPipeline&) = delete;
    RecordPipeline& operator=(const RecordPipeline&) = delete;

    void CommPortDriver1ReceiveData(const char* DataPtr, int DataSize);
    void ParseTimerTimer();
    void WatchdogTimer();
    // Timer4's tick: the records the families deferred, typed under the parse guard. While
    // a parse runs the timer is left on, and ticks again.
    void Timer4Timer();
    // Focus entering one of the device pages Blatt1..Blatt5.
    void BlattEnter();
    // The parsers the dispatch calls; the main window's own unless replaced.
    void setParsers(Parsers& parsers) { parsers_ = &parsers; }
    // Told each queued record just before a parser takes it, so a caller can name the
    // record behind the keys that follow.
    void setRecordListener(std::function<void(const std::string&)> listener) {
        recordListener_ = std::move(listener);
    }

    // Typing is on exactly while START is disabled.
    bool running() const;
    // Records queued since the start, and those the parsers took without a fault.
    long receivedRecords() const { return receivedRecords_; }
    long typedRecords() const { return handedRecords_ - droppedRecords_; }
    // Records a parser failed on: each was dropped, counted and reported.
    int droppedRecords() const { return droppedRecords_; }
    // Lines that reached kMaxLineLength and lost the rest.
    int cutLines() const { return cutLines_; }
    // The monitor keeps at most this many lines, dropping the oldest.
    void setMonitorLineLimit(size_t lines) { monitorLineLimit_ = std::max<size_t>(lines, 1); }
    size_t monitorLineLimit() const { return monitorLineLimit_; }

    std::deque<std::string> RSBUF;
    std::string Fs;
    bool semaphore = true;

  private:
    void completeLine(std::string& line);
    void addToLine(std::string& line, char b);
    void keepMonitorBounded();
    void dispatch();
    void removeHead();
    void dropFailedRecord(const std::string& reason);
    void takeNextRecordAtOnce();
    void announce(const std::string& record);
    // Runs a parser's work; the fault's reason when it failed, empty when it did not.
    static std::string faultOf(const std::function<void()>& work);
    bool onPlateReaderPage() const;

    PipelineContext ctx_;
    Parsers* parsers_;
    int droppedRecords_ = 0;
    int cutLines_ = 0;
    long receivedRecords_ = 0;
    long handedRecords_ = 0;
    bool cutting_ = false; // the line in progress has been cut; bytes wait for its end
    size_t monitorLineLimit_ = kDefaultMonitorLines;
    int nextRecordPost_ = 0; // the pending burst dispatch, 0 when none
    std::function<void(const std::string&)> recordListener_;
};

} // namespace qorva
