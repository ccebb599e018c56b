#include "pipeline/record_pipeline.h"

#include "parsers/parse_state.h"
#include "parsers/parsers.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "platform/fault_log.h"

#include <cstdio>
#include <exception>

namespace qorva {

namespace {

// A record on one line of a report: control and other bytes as escapes.
std::string printable(const std::string& record) {
    std::string shown;
    for (const char c : record) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\r') {
            shown += "\\r";
        } else if (b == '\n') {
            shown += "\\n";
        } else if (b < 32 || b > 126) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            shown += hex;
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace

RecordPipeline::RecordPipeline(const PipelineContext& context)
    : ctx_(context), parsers_(&context.parsers) {}

RecordPipeline::~RecordPipeline() {
    if (nextRecordPost_) ctx_.loop.stopTimer(nextRecordPost_);
}

bool RecordPipeline::running() const {
    return !ctx_.Button3.Enabled();
}

bool RecordPipeline::onPlateReaderPage() const {
    return ctx_.densito.ActivePageIndex() == 3;
}

void RecordPipeline::completeLine(std::string& line) {
    line += '\n';
    ctx_.RSMemo.setLastLine(line);
    const bool queueing = ctx_.Manufacturer.ActivePageIndex() == 0 || !onPlateReaderPage();
    const int length = static_cast<int>(line.size());
    if (running() && queueing && length > 5 && length <= kMaxRecordLength) {
        RSBUF.push_back(line);
        ++receivedRecords_;
    }
    ctx_.RSMemo.appendLine("");
    keepMonitorBounded();
    line.clear();
    cutting_ = false;
}

void RecordPipeline::addToLine(std::string& line, char b) {
    if (cutting_) return;
    if (line.size() < kMaxLineLength) {
        line += b;
        return;
    }
    line += kCutMarker;
    cutting_ = true;
    ++cutLines_;
}

// Lines go in batches of a tenth of the limit, so the monitor is not shifted per record.
void RecordPipeline::keepMonitorBounded() {
    const size_t lines = ctx_.RSMemo.Lines().size();
    if (lines <= monitorLineLimit_ + monitorLineLimit_ / 10) return;
    ctx_.RSMemo.removeFirstLines(lines - monitorLineLimit_);
}

void RecordPipeline::CommPortDriver1ReceiveData(const char* DataPtr, int DataSize) {
    const bool cutBefore = cutting_;
    std::string line;
    if (!Fs.empty()) {
        line.swap(Fs);
    } else if (!ctx_.RSMemo.Lines().empty()) {
        line = ctx_.RSMemo.Lines().back();
    }
    for (int k = 0; k < DataSize; ++k) {
        const auto b = static_cast<unsigned char>(DataPtr[k]);
        if (b == 10)
            completeLine(line);
        else if (b == 13 || (b >= 32 && b <= 126))
            addToLine(line, static_cast<char>(b));
    }
    if (!line.empty()) {
        // A line cut before this delivery shows its marker already and changes no more.
        if (!cutBefore) ctx_.RSMemo.setLastLine(line);
        Fs = std::move(line);
    }
    if (onPlateReaderPage() && DataSize > 0)
        ctx_.state.RSbuffer.append(DataPtr, static_cast<size_t>(DataSize));
}

void RecordPipeline::removeHead() {
    if (!RSBUF.empty()) RSBUF.pop_front();
}

void RecordPipeline::announce(const std::string& record) {
    ++handedRecords_;
    if (recordListener_) recordListener_(record);
}

void RecordPipeline::dispatch() {
    Parsers& parsers = *parsers_;
    if (ctx_.Manufacturer.ActivePageIndex() <= 0) {
        if (RSBUF.empty()) return;
        const std::string record = RSBUF.front();
        announce(record);
        if (const TTabSheet* page = ctx_.TALMOPages.ActivePage())
            parsers.typeQueuedLine(*page, record);
        removeHead();
        ctx_.state.RSbuffer.clear();
    } else if (!onPlateReaderPage() && !RSBUF.empty()) {
        char buffer[kMaxRecordLength];
        const std::string& head = RSBUF.front();
        const int length = static_cast<int>(std::min<size_t>(head.size(), sizeof buffer));
        head.copy(buffer, static_cast<size_t>(length));
        announce(head);
        parsers.Testrcv(&ctx_.densito, buffer, length);
        removeHead();
        ctx_.state.RSbuffer.clear();
    } else {
        RSBUF.clear();
        parsers.ProcessPlateReader();
    }
}

std::string RecordPipeline::faultOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& fault) {
        return fault.what();
    } catch (...) {
        return "unknown fault";
    }
    return "";
}

void RecordPipeline::ParseTimerTimer() {
    if (!semaphore) return;
    semaphore = false;
    // A parser that fails on a malformed record must not stop the pipeline: the guard
    // is freed and the record dropped, so the queue keeps moving.
    if (const std::string fault = faultOf([this] { dispatch(); }); !fault.empty())
        dropFailedRecord(fault);
    semaphore = true;
    takeNextRecordAtOnce();
}

void RecordPipeline::Timer4Timer() {
    if (!semaphore) return;
    semaphore = false;
    if (const std::string fault = faultOf([this] { parsers_->Timer4Timer(); }); !fault.empty()) {
        ++droppedRecords_;
        ctx_.faults.report("deferred record dropped after a parser fault (" + fault + ")");
    }
    semaphore = true;
    takeNextRecordAtOnce();
}

// In a burst the next queued record is taken as soon as the last one is typed, through
// the loop, so timers, deliveries and a quit are served between records; the key sink's
// waits still pace the keys.
void RecordPipeline::takeNextRecordAtOnce() {
    if (!ctx_.Burst.Checked() || RSBUF.empty() || nextRecordPost_) return;
    nextRecordPost_ = ctx_.loop.post(0, [this] {
        nextRecordPost_ = 0;
        ParseTimerTimer();
    });
}

void RecordPipeline::dropFailedRecord(const std::string& reason) {
    ++droppedRecords_;
    const bool fromQueue = ctx_.Manufacturer.ActivePageIndex() <= 0 || !onPlateReaderPage();
    const std::string record = fromQueue && !RSBUF.empty() ? RSBUF.front() : ctx_.state.RSbuffer;
    ctx_.faults.report("record dropped after a parser fault (" + reason +
                       "): " + printable(record));
    if (fromQueue) removeHead();
}

void RecordPipeline::WatchdogTimer() {
    ParseState& state = ctx_.state;
    if (state.RecBuf.size() > 1 && state.RecBuf == state.RecBufSeen) {
        if (state.RecBufStale == state.RecBufSeen) {
            if (state.RecBuf == "00.0") state.RecBuf.clear();
        } else {
            state.RecBufStale = state.RecBufSeen;
        }
        CommPortDriver1ReceiveData(nullptr, 0);
    }
    state.RecBufSeen = state.RecBuf;
}

void RecordPipeline::BlattEnter() {
    ctx_.state.RSbuffer.clear();
}

} // namespace qorva
