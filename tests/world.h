#pragma once
// A fresh program in virtual time, typing into a trace and a sheet preview at once.
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/port_map.h"
#include "platform/serial_line.h"
#include "platform/sheet_preview.h"
#include "shell/main_frm.h"

#include <sstream>
#include <string>

namespace qorva::test {

// What the program takes from the platform, all of it in memory and virtual time.
struct Platform {
    VirtualEventLoop loop;
    LoopClock clock;
    UsKeyLayout layout;
    std::ostringstream traceText;
    TraceKeyboard trace{traceText};
    SheetPreview sheet;
    TeeKeyboard keyboard;
    MemorySerialPorts serialPorts;
    PortMap portMap;
    RecordingBeeper beeper;

    explicit Platform(LocalDateTime now = {}, std::string dateFormat = "dd.MM.yyyy",
                      std::string timeFormat = "HH:mm:ss")
        : clock(loop, now, std::move(dateFormat), std::move(timeFormat)) {
        keyboard.add(trace);
        keyboard.add(sheet);
        line(0); // COM1 is there, so START connects
    }
    PlatformServices services() {
        return {loop, keyboard, layout, clock, serialPorts, portMap, beeper};
    }

    // The in-memory device behind port number ordinal (0 is COM1).
    MemorySerialPorts::Device& line(int ordinal) {
        return serialPorts.device(portMap.pathFor(ordinal));
    }
    // The trace so far, events separated by "; ", and start a new one.
    std::string takeTrace() {
        std::string text = traceText.str();
        traceText.str("");
        std::string joined;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            joined += (joined.empty() ? "" : "; ") + line;
        return joined;
    }
    std::string grid() {
        sheet.finish();
        return sheet.csv();
    }
};

struct World : Platform {
    TMainFrm frm;

    explicit World(LocalDateTime now = {}, std::string dateFormat = "dd.MM.yyyy",
                   std::string timeFormat = "HH:mm:ss")
        : Platform(now, std::move(dateFormat), std::move(timeFormat)), frm(services()) {}

    void deliver(const std::string& bytes) {
        frm.pipeline.CommPortDriver1ReceiveData(bytes.data(), static_cast<int>(bytes.size()));
    }
};

// Trace notation helpers: a key pressed and released, a wait.
inline std::string tap(int vk, int scan = 0) {
    return "down " + std::to_string(vk) + " " + std::to_string(scan) + "; up " +
           std::to_string(vk) + " " + std::to_string(scan);
}
inline std::string down(int vk, int scan = 0) {
    return "down " + std::to_string(vk) + " " + std::to_string(scan);
}
inline std::string up(int vk, int scan = 0) {
    return "up " + std::to_string(vk) + " " + std::to_string(scan);
}
inline std::string wait10() {
    return "wait 10";
}

} // namespace qorva::test

namespace qorva::test {

// Types records as a replay does: START, every line delivered, the loop run until the
// queue is empty and no parse runs.
inline std::string typeRecords(World& w, const std::string& lines) {
    if (!w.frm.running()) w.frm.Button3.Click();
    w.deliver(lines);
    while (!w.frm.pipeline.RSBUF.empty() || !w.frm.pipeline.semaphore)
        w.loop.runUntil(w.loop.now() + 100);
    return w.grid();
}

inline void onPage(World& w, const char* page) {
    const std::string name = page;
    if (name == "VARNIKPage" || name == "LUMAPage") {
        w.frm.Manufacturer.setActivePageIndex(0);
        w.frm.TALMOPages.setFromText(name);
    } else {
        w.frm.Manufacturer.setActivePageIndex(1);
        w.frm.densito.setFromText(name);
    }
}

} // namespace qorva::test
