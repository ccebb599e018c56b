#include "pipeline/record_pipeline.h"

#include "shell/main_frm.h"

namespace qorva {

RecordPipeline::RecordPipeline(TMainFrm& frm)
    : RSbuffer(36, ' '), frm_(frm), parsers_(&frm.parsers) {}

bool RecordPipeline::onPlateReaderPage() const {
    return frm_.densito.ActivePageIndex() == 3;
}

void RecordPipeline::writeMonitorLastLine(const std::string& line) {
    auto& lines = frm_.RSMemo.Lines;
    if (lines.empty())
        lines.push_back(line);
    else
        lines.back() = line;
}

void RecordPipeline::completeLine(std::string& line) {
    line += '\n';
    writeMonitorLastLine(line);
    const bool queueing = frm_.Manufacturer.ActivePageIndex() == 0 || !onPlateReaderPage();
    const int length = static_cast<int>(line.size());
    if (frm_.running() && queueing && length > 5 && length <= kMaxRecordLength)
        RSBUF.push_back(line);
    frm_.RSMemo.Lines.emplace_back();
    line.clear();
}

void RecordPipeline::CommPortDriver1ReceiveData(const char* DataPtr, int DataSize) {
    std::string line;
    if (!Fs.empty()) {
        line.swap(Fs);
    } else if (!frm_.RSMemo.Lines.empty()) {
        line = frm_.RSMemo.Lines.back();
    }
    for (int k = 0; k < DataSize; ++k) {
        const auto b = static_cast<unsigned char>(DataPtr[k]);
        if (b == 10)
            completeLine(line);
        else if (b == 13 || (b >= 32 && b <= 126))
            line += static_cast<char>(b);
    }
    if (!line.empty()) {
        writeMonitorLastLine(line);
        Fs = std::move(line);
    }
    if (onPlateReaderPage() && DataSize > 0)
        RSbuffer.append(DataPtr, static_cast<size_t>(DataSize));
}

void RecordPipeline::removeHead() {
    if (!RSBUF.empty()) RSBUF.pop_front();
}

void RecordPipeline::dispatch() {
    Parsers& parsers = *parsers_;
    if (frm_.Manufacturer.ActivePageIndex() <= 0) {
        if (RSBUF.empty()) return;
        const std::string record = RSBUF.front();
        if (frm_.TALMOPages.ActivePage() == &frm_.VARNIKPage)
            parsers.ProcessColourDifferenceRecord(record);
        else if (frm_.TALMOPages.ActivePage() == &frm_.LUMAPage)
            parsers.ProcessXYZRecord(record);
        removeHead();
        RSbuffer.clear();
    } else if (!onPlateReaderPage() && !RSBUF.empty()) {
        char buffer[kMaxRecordLength];
        const std::string& head = RSBUF.front();
        const int length = static_cast<int>(std::min<size_t>(head.size(), sizeof buffer));
        head.copy(buffer, static_cast<size_t>(length));
        parsers.Testrcv(&frm_.densito, buffer, length);
        removeHead();
        RSbuffer.clear();
    } else {
        RSBUF.clear();
        parsers.ProcessPlateReader();
    }
}

void RecordPipeline::ParseTimerTimer() {
    if (!semaphore) return;
    semaphore = false;
    // A parser that fails on a malformed record must not stop the pipeline: the guard
    // is freed and the record dropped, so the queue keeps moving.
    try {
        dispatch();
    } catch (...) {
        if (frm_.Manufacturer.ActivePageIndex() <= 0 || !onPlateReaderPage()) removeHead();
    }
    semaphore = true;
}

void RecordPipeline::WatchdogTimer() {
    ParseState& state = frm_.parseState;
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
    RSbuffer.clear();
}

} // namespace qorva
