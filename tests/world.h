#pragma once
// A fresh program in virtual time, typing into a trace and a sheet preview at once.
#include "shell/memory_world.h"

#include <string>

namespace qorva::test {

inline MemoryWorldSettings traced(LocalDateTime now, std::string dateFormat,
                                  std::string timeFormat) {
    MemoryWorldSettings settings;
    settings.now = now;
    settings.dateFormat = std::move(dateFormat);
    settings.timeFormat = std::move(timeFormat);
    settings.keepTrace = true;
    settings.pictureTemplates = {QORVA_DATA "/empty.bmp"};
    return settings;
}

// What the program takes from the platform, all of it in memory and virtual time.
struct Platform : MemoryPlatform {
    explicit Platform(LocalDateTime now = {}, std::string dateFormat = "dd.MM.yyyy",
                      std::string timeFormat = "HH:mm:ss")
        : MemoryPlatform(traced(now, std::move(dateFormat), std::move(timeFormat))) {}
};

struct World : MemoryProgram {
    explicit World(LocalDateTime now = {}, std::string dateFormat = "dd.MM.yyyy",
                   std::string timeFormat = "HH:mm:ss")
        : MemoryProgram(traced(now, std::move(dateFormat), std::move(timeFormat))) {}
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
// queue is empty, no parse runs and no record waits on Timer4.
inline std::string typeRecords(World& w, const std::string& lines) {
    if (!w.frm.running()) w.frm.Button3.Click();
    w.deliver(lines);
    while (!w.frm.pipeline.RSBUF.empty() || !w.frm.pipeline.semaphore || w.frm.Timer4.Enabled())
        w.loop.runUntil(w.loop.now() + 100);
    // The plate reader's page takes one line or picture from RSbuffer per tick, until a
    // tick takes nothing.
    if (w.frm.densito.ActivePageIndex() == 3) {
        std::string before;
        do {
            before = w.frm.parseState.RSbuffer;
            w.loop.runUntil(w.loop.now() + 100);
        } while (before != w.frm.parseState.RSbuffer || !w.frm.pipeline.semaphore);
    }
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
