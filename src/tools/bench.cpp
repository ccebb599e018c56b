// qorva-bench: prints the pipeline's speed figures: line assembly throughput, the cost
// of one delivery with a short and a long monitor, and a virtual-time replay of 10,000
// colour-difference records typed with markings into the sheet preview.
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/sheet_preview.h"
#include "shell/main_frm.h"

#include <cstdio>
#include <ctime>
#include <string>

using namespace qorva;

namespace {

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct World {
    VirtualEventLoop loop;
    LoopClock clock{loop, LocalDateTime{}};
    UsKeyLayout layout;
    SheetPreview sheet;
    MemorySerialPorts serialPorts;
    PortMap portMap;
    RecordingBeeper beeper;
    TMainFrm frm{PlatformServices{loop, sheet, layout, clock, serialPorts, portMap, beeper}};
    World() { serialPorts.device(portMap.pathFor(0)); }
};

const std::string kRecord = "%D1  1.23R\r\n";

double lineAssemblyMBps() {
    World world;
    world.frm.Button3.Click();
    std::string block;
    while (block.size() + kRecord.size() <= 2048) block += kRecord;
    const double mb = 200.0;
    const long deliveries = static_cast<long>(mb * 1e6 / static_cast<double>(block.size()));
    const double start = cpuSeconds();
    for (long k = 0; k < deliveries; ++k) {
        world.frm.pipeline.CommPortDriver1ReceiveData(block.data(), static_cast<int>(block.size()));
        if (world.frm.RSMemo.Lines.size() > 100000) world.frm.RSMemo.Lines.clear();
        world.frm.pipeline.RSBUF.clear();
    }
    return mb / (cpuSeconds() - start);
}

double deliveryMicroseconds(size_t monitorLines) {
    World world;
    world.frm.Button3.Click();
    world.frm.RSMemo.Lines.assign(monitorLines, std::string(40, 'x'));
    world.frm.RSMemo.Lines.emplace_back();
    const long repetitions = 2000000;
    const double start = cpuSeconds();
    for (long k = 0; k < repetitions; ++k) {
        world.frm.pipeline.CommPortDriver1ReceiveData(kRecord.data(),
                                                      static_cast<int>(kRecord.size()));
        world.frm.RSMemo.Lines.pop_back(); // back to the same monitor length
        world.frm.RSMemo.Lines.back().clear();
        world.frm.pipeline.RSBUF.clear();
    }
    return (cpuSeconds() - start) * 1e6 / static_cast<double>(repetitions);
}

double replayVirtualPerCpuSecond(int records) {
    World world;
    world.frm.Button3.Click();
    const std::string record = "C   1234M    250Y    100K   2000E     25V    500\r\n";
    std::string data;
    for (int k = 0; k < records; ++k) data += record;
    const double start = cpuSeconds();
    world.frm.pipeline.CommPortDriver1ReceiveData(data.data(), static_cast<int>(data.size()));
    while (!world.frm.pipeline.RSBUF.empty()) world.loop.runUntil(world.loop.now() + 100);
    const double cpu = cpuSeconds() - start;
    return static_cast<double>(world.loop.now()) / 1000.0 / cpu;
}

} // namespace

int main() {
    std::printf("line assembly: %.1f MB/s\n", lineAssemblyMBps());
    const double shortMonitor = deliveryMicroseconds(100);
    const double longMonitor = deliveryMicroseconds(100000);
    std::printf("one delivery, 100 monitor lines: %.3f us\n", shortMonitor);
    std::printf("one delivery, 100000 monitor lines: %.3f us\n", longMonitor);
    std::printf("ratio long/short: %.2f\n", longMonitor / shortMonitor);
    std::printf("replay of 10000 records: %.0f virtual s per CPU s\n",
                replayVirtualPerCpuSecond(10000));
    return 0;
}
