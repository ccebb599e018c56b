// qorva-bench: prints the pipeline's speed figures: line assembly throughput, the cost
// of one delivery with a short and a long monitor, and a virtual-time replay of 10,000
// records of each family typed with markings into the sheet preview.
// qorva-bench --serial: a real-time run on a pseudo-terminal: CPU use while idle with
// the port open, and the latency from a record's last byte to its first key event.
// qorva-bench --picture: a plate reader's picture from its trailer to the X clipboard.
// qorva-bench --x11: the X11 port's cost per key event on $DISPLAY (Shift taps).
// qorva-bench --wayland: the same for the Wayland port on $WAYLAND_DISPLAY.
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/desktop_ports.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/posix/instrument_line.h"
#include "platform/qt/qt_pictures.h"
#include "platform/system.h"
#include "shell/command_line.h"
#include "shell/main_frm.h"
#include "shell/memory_world.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace qorva;

namespace {

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

const std::string kRecord = "%D1  1.23R\r\n";

double lineAssemblyMBps() {
    MemoryProgram world;
    world.frm.Button3.Click();
    std::string block;
    while (block.size() + kRecord.size() <= 2048) block += kRecord;
    const double mb = 200.0;
    const long deliveries = static_cast<long>(mb * 1e6 / static_cast<double>(block.size()));
    const double start = cpuSeconds();
    for (long k = 0; k < deliveries; ++k) {
        world.frm.pipeline.CommPortDriver1ReceiveData(block.data(), static_cast<int>(block.size()));
        if (world.frm.RSMemo.Lines().size() > 100000) world.frm.RSMemo.clear();
        world.frm.pipeline.RSBUF.clear();
    }
    return mb / (cpuSeconds() - start);
}

// CPU seconds to assemble one line of the given size without CR or LF, in 4 kB deliveries.
double endlessLineSeconds(size_t bytes) {
    MemoryProgram world;
    world.frm.Button3.Click();
    const std::string piece(4096, 'x');
    const double start = cpuSeconds();
    for (size_t sent = 0; sent < bytes; sent += piece.size())
        world.frm.pipeline.CommPortDriver1ReceiveData(piece.data(), static_cast<int>(piece.size()));
    return cpuSeconds() - start;
}

double deliveryMicroseconds(size_t monitorLines) {
    MemoryProgram world;
    world.frm.Button3.Click();
    for (size_t k = 0; k < monitorLines; ++k) world.frm.RSMemo.appendLine(std::string(40, 'x'));
    world.frm.RSMemo.appendLine("");
    const long repetitions = 2000000;
    const double start = cpuSeconds();
    for (long k = 0; k < repetitions; ++k) {
        world.frm.pipeline.CommPortDriver1ReceiveData(kRecord.data(),
                                                      static_cast<int>(kRecord.size()));
        world.frm.RSMemo.removeLastLine(); // back to the same monitor length
        world.frm.RSMemo.setLastLine("");
        world.frm.pipeline.RSBUF.clear();
    }
    return (cpuSeconds() - start) * 1e6 / static_cast<double>(repetitions);
}

// A family's records replayed on its page, typed with markings into the sheet preview.
struct ReplaySession {
    const char* family;
    const char* page;
    std::vector<std::string> records; // sent in turn
};

const ReplaySession kReplaySessions[] = {
    {"colour-difference", "VARNIKPage", {"C   1234M    250Y    100K   2000E     25V    500\r\n"}},
    {"dot-area",
     "Blatt1",
     {"%NM045.20R\r\n", "DA 01.452R\r\n", "G 45.2\r\n", "Ch1 R1.23 d0.456\r\n", "%  033.30 \r\n"}},
    {"four-colour",
     "Blatt2",
     {"V1.45C1.32M1.28Y0.98\r\n", "C 45%00\r\n", "C 18%50\r\n", "M 35K00\r\n", "HC 12%\r\n",
      "T072 CM\r\n", "V0.00C0.00M0.00Y0.00\r\n"}},
    {"seven-colour",
     "Blatt3",
     {"C1.234M1.111Y2.222O0.333G0.444B0.555K1.666\r\n", "M 50%\r\n", "O12%50\r\n", "G1.234\r\n",
      "K0.000\r\n", "C 45%\r\n", "c45%C\r\n", "g12%\r\n", "TCM 25% 45%\r\n",
      "DV C 50% M 48% Y 52% K 49% O 47% G 51% B 53%\r\n", "L 95.12a -1.23b  2.34\r\n",
      "dL  0.12da -0.05db  0.03dE  0.14R1\r\n", "L 90.01 C 45.12 h123.4\r\n",
      "dL  0.12dC -0.05dH  0.03dE  0.14R2\r\n", "Y 45.12x0.3127y0.3290\r\n",
      "dY  0.12dx0.0012dy-0.001R3\r\n"}},
};

void onSessionPage(MemoryProgram& world, const ReplaySession& session) {
    if (std::strcmp(session.page, "VARNIKPage") == 0) {
        world.frm.Manufacturer.setActivePageIndex(0);
        world.frm.TALMOPages.setFromText(session.page);
    } else {
        world.frm.Manufacturer.setActivePageIndex(1);
        world.frm.densito.setFromText(session.page);
    }
}

double replayVirtualPerCpuSecond(const ReplaySession& session, int records) {
    MemoryProgram world;
    onSessionPage(world, session);
    world.frm.Button3.Click();
    std::string data;
    for (int k = 0; k < records; ++k) data += session.records[k % session.records.size()];
    const double start = cpuSeconds();
    world.frm.pipeline.CommPortDriver1ReceiveData(data.data(), static_cast<int>(data.size()));
    // A short cyan record of the seven-colour family may still wait on Timer4.
    while (!world.frm.pipeline.RSBUF.empty() || world.frm.Timer4.Enabled())
        world.loop.runUntil(world.loop.now() + 100);
    const double cpu = cpuSeconds() - start;
    return static_cast<double>(world.loop.now()) / 1000.0 / cpu;
}

} // namespace

double processCpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Notes when the first key of a record goes out.
struct FirstKeyClock : KeyboardPort {
    double firstKeyAt = 0;
    void sendKey(const KeyEvent&) override {
        if (firstKeyAt == 0) firstKeyAt = wallSeconds();
    }
};

// Keys that go nowhere, so nothing but the program itself holds memory.
struct DiscardedKeys : KeyboardPort {
    void sendKey(const KeyEvent&) override {}
};

// The program on a loop and serial ports, with what a benchmark needs of the rest.
struct BenchProgram {
    BenchProgram(EventLoop& loop, SerialPorts& ports, const PortMap& portMap, KeyboardPort& keys)
        : clock(loop, LocalDateTime{2026, 12, 11, 6, 0, 0}),
          frm{PlatformServices{
              loop, keys, layout, clock, ports, portMap, beeper, clipboard, font, {}}} {}
    UsKeyLayout layout;
    LoopClock clock;
    RecordingBeeper beeper;
    RecordingClipboard clipboard;
    BlankCaptionFont font;
    TMainFrm frm;

    void onPage(const char* page) {
        const bool maker = std::strcmp(page, "VARNIKPage") == 0;
        frm.Manufacturer.setActivePageIndex(maker ? 0 : 1);
        if (maker)
            frm.TALMOPages.setFromText(page);
        else
            frm.densito.setFromText(page);
    }
};

// The instrument's end of a new pseudo-terminal; nullptr, and the reason printed, when
// there is none.
std::unique_ptr<InstrumentLine> pseudoTerminal() {
    std::string error;
    auto instrument = InstrumentLine::createPseudoTerminal(error);
    if (!instrument) std::printf("%s\n", error.c_str());
    return instrument;
}

// The program in real time on page Blatt5 with START pressed, the instrument on a new
// pseudo-terminal; running() false, and the reason printed, when that cannot be had.
struct PseudoTerminalRun {
    explicit PseudoTerminalRun(KeyboardPort& keys)
        : instrument(pseudoTerminal()), loop(MakeRealTimeEventLoop()),
          ports(MakeSystemSerialPorts()) {
        if (!instrument) return;
        portMap.assign(0, instrument->path());
        program = std::make_unique<BenchProgram>(*loop, *ports, portMap, keys);
        program->onPage("Blatt5");
        program->frm.Commport.setItemIndex(0);
        program->frm.Button3.Click();
        if (!program->frm.CommPortDriver1.Connected())
            std::printf("cannot open %s\n", instrument->path().c_str());
    }
    bool running() const { return program && program->frm.CommPortDriver1.Connected(); }

    std::unique_ptr<InstrumentLine> instrument;
    std::unique_ptr<EventLoop> loop;
    std::unique_ptr<SerialPorts> ports;
    PortMap portMap;
    std::unique_ptr<BenchProgram> program;
};

int serialBenchmark() {
    FirstKeyClock keys;
    PseudoTerminalRun run(keys);
    if (!run.running()) return 1;
    EventLoop& loop = *run.loop;
    TMainFrm& frm = run.program->frm;
    InstrumentLine* instrument = run.instrument.get();

    const double cpuBefore = processCpuSeconds(), wallBefore = wallSeconds();
    loop.runUntil(loop.now() + 10000);
    const double idle = (processCpuSeconds() - cpuBefore) / (wallSeconds() - wallBefore) * 100;
    std::printf("idle headless run with an open port, 10 s: %.3f %% of one core\n", idle);

    std::mt19937 random(1);
    std::vector<double> latencies;
    const std::string record = "0.012\r\n";
    for (int k = 0; k < 200; ++k) {
        loop.runUntil(loop.now() + std::uniform_int_distribution<int>(0, 100)(random));
        keys.firstKeyAt = 0;
        if (!instrument->write(record, 1000)) return 1;
        const double written = wallSeconds();
        while (keys.firstKeyAt == 0 || !frm.pipeline.semaphore || !frm.pipeline.RSBUF.empty())
            loop.runUntil(loop.now() + 1);
        latencies.push_back((keys.firstKeyAt - written) * 1000);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("last byte to first key, 200 records: median %.1f ms, maximum %.1f ms\n",
                latencies[latencies.size() / 2], latencies.back());
    return 0;
}

// Milliseconds per key event of a desktop port, Shift taps, with the given key wait.
double millisecondsPerKeyEvent(DesktopKeyboard& port, int keyWaitMs) {
    port.setKeyWaitMs(keyWaitMs);
    const int events = 2000;
    const double start = wallSeconds();
    for (int k = 0; k < events / 2; ++k) {
        port.sendKey({vk::Shift, 0, true});
        port.sendKey({vk::Shift, 0, false});
    }
    return (wallSeconds() - start) * 1000 / events;
}

int x11Benchmark() {
    std::string error;
    const auto port = OpenDesktopKeyboard("x11", error);
    if (!port) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    std::printf("X11 port: %.3f ms per key event (flush, sync and the 1 ms spacing)\n",
                millisecondsPerKeyEvent(*port, port->keyWaitMs()));
    return 0;
}

int waylandBenchmark() {
    std::string error;
    const auto port = OpenDesktopKeyboard("wayland", error);
    if (!port) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    const int keyWait = port->keyWaitMs();
    const double own = millisecondsPerKeyEvent(*port, 0);
    std::printf("Wayland port: %.3f ms per key event without a key wait, %.3f ms with its "
                "default wait of %d ms\n",
                own, millisecondsPerKeyEvent(*port, keyWait), keyWait);
    return 0;
}

// Wall time of the parse tick that finds "End Image": the picture decoded, its caption
// drawn and the picture on $DISPLAY's clipboard through Qt Gui (the wait for the tick,
// up to 100 ms, comes before it).
int pictureBenchmark() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::printf("no X display for the clipboard\n");
        return 1;
    }
    std::string error;
    auto gui = QtGuiSession::start("xcb", error);
    if (!gui) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    QtCaptionFont font;
    MemoryWorldSettings settings;
    settings.captionFont = &font;
    MemoryPlatform platform(settings);
    QtClipboard clipboard(*gui, platform.loop);
    PlatformServices services = platform.services();
    TMainFrm frm{PlatformServices{services.loop, services.keyboard, services.layout, services.clock,
                                  services.serialPorts, services.portMap, services.beeper,
                                  clipboard, font, settings.pictureTemplates}};
    frm.Manufacturer.setActivePageIndex(1);
    frm.densito.setFromText("Blatt4");
    std::string bands;
    for (int k = 0; k < 35 * 385; ++k) bands += static_cast<char>(k * 7);
    std::vector<double> times;
    for (int k = 0; k < 20; ++k) {
        const std::string picture = "PLAXEN 1024-7 Image\r\n" + bands;
        frm.pipeline.CommPortDriver1ReceiveData(picture.data(), static_cast<int>(picture.size()));
        platform.loop.runUntil(platform.loop.now() + 100);
        const std::string trailer = "\r\nEnd Image\r\n";
        frm.pipeline.CommPortDriver1ReceiveData(trailer.data(), static_cast<int>(trailer.size()));
        const double start = wallSeconds();
        platform.loop.runUntil(platform.loop.now() + 100);
        times.push_back((wallSeconds() - start) * 1000);
    }
    if (frm.StatusBar1.SimpleText() != "Image transmission in terminated") {
        std::printf("no picture pasted: %s\n", frm.StatusBar1.SimpleText().c_str());
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("End Image to the picture on the X clipboard, 20 pictures: median %.1f ms, "
                "maximum %.1f ms (after the parse tick's wait of up to 100 ms)\n",
                times[times.size() / 2], times.back());
    return 0;
}

// Resident memory of this process in kB, as the kernel reports it.
long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

void printShift(const char* what, const RecordPipeline& pipeline, long firstKb, long lastKb,
                const char* firstWhen) {
    std::printf("%s: received %ld, typed %ld, dropped %d, untyped %zu; resident memory %ld kB %s, "
                "%ld kB at the end (%+ld kB)\n",
                what, pipeline.receivedRecords(), pipeline.typedRecords(),
                pipeline.droppedRecords(), pipeline.RSBUF.size(), firstKb, firstWhen, lastKb,
                lastKb - firstKb);
}

void drain(TMainFrm& frm, int64_t forMs) {
    const int64_t until = frm.loop.now() + forMs;
    while ((!frm.pipeline.RSBUF.empty() || frm.Timer4.Enabled()) && frm.loop.now() < until)
        frm.loop.runUntil(frm.loop.now() + 100);
}

// An eight-hour shift in virtual time: one record a second, each hour on the next family's
// page with that family's records in turn.
void virtualShift() {
    VirtualEventLoop loop;
    MemorySerialPorts ports;
    PortMap portMap;
    ports.device(portMap.pathFor(0));
    DiscardedKeys keys;
    BenchProgram program(loop, ports, portMap, keys);
    TMainFrm& frm = program.frm;
    frm.Commport.setItemIndex(0);
    frm.Button3.Click();
    const long startKb = residentKilobytes();
    const int64_t hour = 3600 * 1000;
    for (int h = 0; h < 8; ++h) {
        const ReplaySession& session = kReplaySessions[h % std::size(kReplaySessions)];
        program.onPage(session.page);
        for (int64_t k = 0; k < 3600; ++k) {
            const std::string& record =
                session.records[static_cast<size_t>(k) % session.records.size()];
            frm.pipeline.CommPortDriver1ReceiveData(record.data(), static_cast<int>(record.size()));
            loop.runUntil(h * hour + (k + 1) * 1000);
        }
    }
    drain(frm, 60000);
    printShift("an 8-hour shift in virtual time, 1 record a second", frm.pipeline, startKb,
               residentKilobytes(), "at the start");
}

// The program in real time on a pseudo-terminal, the instrument sending 10 records a second
// from a thread of its own.
int realTimeShift(int minutes) {
    DiscardedKeys keys;
    PseudoTerminalRun run(keys);
    if (!run.running()) return 1;
    EventLoop& loop = *run.loop;
    TMainFrm& frm = run.program->frm;
    InstrumentLine* instrument = run.instrument.get();
    std::atomic<bool> sending{true};
    std::thread sender([&] {
        const auto start = std::chrono::steady_clock::now();
        for (long k = 0; k < minutes * 600L; ++k) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(100 * k));
            instrument->write("0.0" + std::to_string(10 + k % 90) + "\r\n", 1000);
        }
        sending = false;
    });
    long afterFirstMinuteKb = -1;
    while (sending) {
        loop.runUntil(loop.now() + 50);
        if (afterFirstMinuteKb < 0 && loop.now() >= 60000) afterFirstMinuteKb = residentKilobytes();
    }
    sender.join();
    loop.runUntil(loop.now() + 500);
    drain(frm, 10000);
    const std::string what =
        "the program in real time for " + std::to_string(minutes) + " minutes, 10 records a second";
    printShift(what.c_str(), frm.pipeline, afterFirstMinuteKb, residentKilobytes(),
               "after the first minute");
    return 0;
}

int main(int argc, char** argv) {
    bool x11 = false, wayland = false, serial = false, picture = false;
    long soakMinutes = 0;
    cli::CommandLine line("qorva-bench", "Prints the pipeline's speed figures.");
    CLI::Option* x11Flag = line.flag("--x11", x11, "the X11 port's cost per key event on $DISPLAY");
    line.flag("--serial", serial, "idle CPU and record latency on a pseudo-terminal")
        ->excludes(x11Flag);
    line.flag("--wayland", wayland, "the Wayland port's cost per key event on $WAYLAND_DISPLAY")
        ->excludes(x11Flag);
    line.flag("--picture", picture, "a plate reader's picture to the clipboard on $DISPLAY");
    line.number("--soak", soakMinutes, 1, 24 * 60, "MINUTES",
                "an 8-hour shift in virtual time, then MINUTES in real time (10 is the goal)");
    line.parse(argc, argv);
    if (soakMinutes > 0) {
        virtualShift();
        return realTimeShift(static_cast<int>(soakMinutes));
    }
    if (picture) return pictureBenchmark();
    if (x11) return x11Benchmark();
    if (wayland) return waylandBenchmark();
    if (serial) return serialBenchmark();
    std::printf("line assembly: %.1f MB/s\n", lineAssemblyMBps());
    const auto fastestOfThree = [](size_t bytes) {
        return std::min(
            {endlessLineSeconds(bytes), endlessLineSeconds(bytes), endlessLineSeconds(bytes)});
    };
    const double fourMb = fastestOfThree(4'000'000), fortyMb = fastestOfThree(40'000'000);
    std::printf("a line without end: 4 MB %.3f s, 40 MB %.3f s, ratio %.1f\n", fourMb, fortyMb,
                fortyMb / fourMb);
    const double shortMonitor = deliveryMicroseconds(100);
    const double longMonitor = deliveryMicroseconds(100000);
    std::printf("one delivery, 100 monitor lines: %.3f us\n", shortMonitor);
    std::printf("one delivery, 100000 monitor lines: %.3f us\n", longMonitor);
    std::printf("ratio long/short: %.2f\n", longMonitor / shortMonitor);
    for (const ReplaySession& session : kReplaySessions)
        std::printf("replay of 10000 %s records: %.0f virtual s per CPU s\n", session.family,
                    replayVirtualPerCpuSecond(session, 10000));
    return 0;
}
