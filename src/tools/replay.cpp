// qorva-replay: runs the whole program headless in virtual time on recorded
// instrument bytes and writes what it typed as a key trace, a sheet and a monitor.
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/port_map.h"
#include "platform/profile.h"
#include "platform/serial_line.h"
#include "platform/sheet_preview.h"
#include "platform/shell_open.h"
#include "serial/ComDrv32.h"
#include "shell/application.h"
#include "shell/control_assignment.h"
#include "shell/main_frm.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace qorva;

namespace {

struct Options {
    std::string input = "-";
    std::vector<std::string> assignments;
    LocalDateTime now;
    std::string dateFormat = "dd.MM.yyyy", timeFormat = "HH:mm:ss";
    long chunk = 0, interval = 0;
    char decimalSeparator = '.';
    CellRef origin;
    std::optional<std::string> trace, grid, monitor, ini, images;
};

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "qorva-replay: " << message << '\n';
    std::exit(2);
}

long positiveNumber(const std::string& option, const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        fail(option + " needs a whole number, got '" + text + "'");
    const long value = std::stol(text);
    if (value <= 0) fail(option + " needs a number above 0");
    return value;
}

const char* kUsage =
    "usage: qorva-replay [--ini FILE] [--set NAME=VALUE]... [--now \"YYYY-MM-DD HH:MM:SS\"] "
    "[--date-format F] [--time-format F] [--chunk N --interval MS] [--decimal-separator C] "
    "[--origin CELL] [--trace FILE] [--grid FILE] [--monitor FILE] [--images DIR] [INPUT|-]";

Options parseOptions(int argc, char** argv) {
    Options options;
    bool inputSeen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) fail(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--ini") {
            options.ini = value();
        } else if (arg == "--set") {
            options.assignments.push_back(value());
        } else if (arg == "--now") {
            if (!ParseDateTime(value(), options.now))
                fail("--now needs \"YYYY-MM-DD HH:MM:SS\", got '" + std::string(argv[i]) + "'");
        } else if (arg == "--date-format") {
            options.dateFormat = value();
        } else if (arg == "--time-format") {
            options.timeFormat = value();
        } else if (arg == "--chunk") {
            options.chunk = positiveNumber(arg, value());
        } else if (arg == "--interval") {
            options.interval = positiveNumber(arg, value());
        } else if (arg == "--decimal-separator") {
            const std::string c = value();
            if (c.size() != 1) fail("--decimal-separator needs one character");
            options.decimalSeparator = c[0];
        } else if (arg == "--origin") {
            const auto cell = ParseCellRef(value());
            if (!cell) fail("--origin needs a cell such as A1, got '" + std::string(argv[i]) + "'");
            options.origin = *cell;
        } else if (arg == "--trace") {
            options.trace = value();
        } else if (arg == "--grid") {
            options.grid = value();
        } else if (arg == "--monitor") {
            options.monitor = value();
        } else if (arg == "--images") {
            options.images = value();
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << '\n';
            std::exit(0);
        } else if (arg.size() > 1 && arg[0] == '-') {
            fail("unknown option '" + arg + "' (see --help)");
        } else {
            if (inputSeen) fail("only one INPUT may be given");
            options.input = arg;
            inputSeen = true;
        }
    }
    if ((options.chunk > 0) != (options.interval > 0)) fail("--chunk and --interval go together");
    return options;
}

std::string readInput(const std::string& input) {
    if (input == "-") {
        std::ostringstream data;
        data << std::cin.rdbuf();
        return data.str();
    }
    std::ifstream file(input, std::ios::binary);
    if (!file) fail("cannot read '" + input + "'");
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::ofstream openOutput(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (!out) fail("cannot write '" + path + "'");
    return out;
}

// The instrument's bytes reach an in-memory line in pieces at their times; the serial
// component polls it as it polls a real port and hands what it reads to the program.
void scheduleDeliveries(EventLoop& loop, MemorySerialPorts::Device& line, const std::string& data,
                        const Options& options) {
    const size_t chunk = options.chunk > 0 ? static_cast<size_t>(options.chunk) : data.size();
    int64_t at = 0;
    for (size_t offset = 0; offset < data.size(); offset += chunk, at += options.interval) {
        const std::string piece = data.substr(offset, chunk);
        loop.post(at, [&line, piece] { line.input += piece; });
    }
}

constexpr const char* kReplayLine = "replay-line";

void writeMonitor(std::ostream& out, const TMemo& memo) {
    auto lines = memo.Lines();
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    for (auto line : lines) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        out << line << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    const std::string data = readInput(options.input);
    if (options.ini && !std::ifstream(*options.ini)) fail("cannot read '" + *options.ini + "'");
    // The folder for the plate reader's pictures; made when it is missing.
    if (options.images && mkdir(options.images->c_str(), 0755) != 0 && errno != EEXIST)
        fail("cannot make the picture folder '" + *options.images + "'");

    std::ofstream traceFile, gridFile, monitorFile;
    if (options.trace) traceFile = openOutput(*options.trace);
    if (options.grid) gridFile = openOutput(*options.grid);
    if (options.monitor) monitorFile = openOutput(*options.monitor);

    VirtualEventLoop loop;
    LoopClock clock(loop, options.now, options.dateFormat, options.timeFormat);
    UsKeyLayout layout;
    SheetPreview sheet(options.origin, options.decimalSeparator);
    TraceKeyboard trace(traceFile);
    TeeKeyboard keyboard;
    keyboard.add(sheet);
    if (options.trace) keyboard.add(trace);

    MemorySerialPorts serialPorts;
    PortMap portMap;
    for (int port = pnCOM1; port <= pnCOM16; ++port) portMap.assign(port, kReplayLine);
    MemorySerialPorts::Device& line = serialPorts.device(kReplayLine);
    RecordingBeeper beeper;

    RecordingLauncher launcher; // a replay opens no programs
    std::ostringstream startupLog;
    QorvaApplication app(
        PlatformServices{loop, keyboard, layout, clock, serialPorts, portMap, beeper}, launcher,
        ApplicationSettings{options.ini.value_or(""), true}, startupLog);
    TMainFrm& frm = app.frm;
    frm.faults.setSink(
        [](const std::string& message) { std::cerr << "qorva-replay: " << message << '\n'; });
    for (const auto& assignment : options.assignments)
        if (const std::string error = ApplyAssignment(frm.form, assignment); !error.empty())
            fail("--set " + error);
    frm.Button3.Click();
    scheduleDeliveries(loop, line, data, options);

    const auto busy = [&] {
        return loop.hasPendingPosts() || !line.input.empty() || !frm.pipeline.RSBUF.empty() ||
               !frm.pipeline.semaphore;
    };
    while (busy()) loop.runUntil(loop.now() + 100);
    loop.runUntil(loop.now() + 5000);
    sheet.finish();

    if (options.grid) sheet.writeCsv(gridFile);
    if (options.monitor) writeMonitor(monitorFile, frm.RSMemo);
    if (!options.trace && !options.grid && !options.monitor) sheet.writeCsv(std::cout);
    return 0;
}
