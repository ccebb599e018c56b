// qorva-replay: runs the whole program headless in virtual time on recorded
// instrument bytes and writes what it typed as a key trace, a sheet and a monitor.
#include "platform/file_store.h"
#include "platform/profile.h"
#include "platform/qt/qt_pictures.h"
#include "platform/shell_open.h"
#include "serial/ComDrv32.h"
#include "shell/application.h"
#include "shell/command_line.h"
#include "shell/memory_world.h"
#include "shell/set_option.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace qorva;
using cli::Fail;

namespace {

struct Options {
    std::string input = "-";
    std::vector<std::string> assignments;
    MemoryWorldSettings world;
    long chunk = 0, interval = 0;
    bool checkOverwrites = false;
    std::optional<std::string> trace, grid, monitor, ini, images;
};

constexpr long kMostMs = 999999999;

// A date or time pattern holds at least one of its letters.
cli::Take pattern(std::string& target, std::vector<std::string> letters, std::string example) {
    return [&target, letters, example](const std::string& value) -> std::string {
        for (const auto& letter : letters)
            if (value.find(letter) != std::string::npos) {
                target = value;
                return {};
            }
        return "a pattern with " + cli::OneOf(letters) + " such as " + example;
    };
}

Options parseOptions(int argc, char** argv) {
    Options o;
    cli::CommandLine line("qorva-replay",
                          "Runs the program in virtual time on recorded instrument bytes (INPUT, "
                          "or standard input) and writes what it typed.");
    line.text("--ini", o.ini, "FILE", "settings file to read (never written)");
    AddSetOption(line, o.assignments);
    line.option("--now", "\"YYYY-MM-DD HH:MM:SS\"", "the clock's start",
                [&o](const std::string& value) -> std::string {
                    if (!ParseDateTime(value, o.world.now))
                        return "a date and time as \"YYYY-MM-DD HH:MM:SS\"";
                    return {};
                });
    line.option("--date-format", "PATTERN", "short date format (default dd.MM.yyyy)",
                pattern(o.world.dateFormat, {"d", "M", "y"}, "dd.MM.yyyy"));
    line.option("--time-format", "PATTERN", "long time format (default HH:mm:ss)",
                pattern(o.world.timeFormat, {"h", "H", "m", "s"}, "HH:mm:ss"));
    CLI::Option* chunk =
        line.number("--chunk", o.chunk, 1, kMostMs, "N", "bytes the line receives at a time");
    CLI::Option* interval =
        line.number("--interval", o.interval, 1, kMostMs, "MS", "time between two chunks");
    chunk->needs(interval);
    interval->needs(chunk);
    line.option("--decimal-separator", "C", "what the sheet shows for the pad's Decimal key",
                [&o](const std::string& value) -> std::string {
                    if (value.size() != 1) return "one character";
                    o.world.decimalSeparator = value[0];
                    return {};
                });
    line.option("--origin", "CELL", "the sheet's first cell (default A1)",
                [&o](const std::string& value) -> std::string {
                    const auto cell = ParseCellRef(value);
                    if (!cell) return "a cell such as A1";
                    o.world.origin = *cell;
                    return {};
                });
    line.text("--trace", o.trace, "FILE", "write the key trace here");
    line.text("--grid", o.grid, "FILE", "write the sheet as CSV here");
    line.text("--monitor", o.monitor, "FILE", "write the monitor's lines here");
    line.text("--images", o.images, "DIR", "folder for plate-reader pictures (made when missing)");
    line.flag("--check-overwrites", o.checkOverwrites,
              "name every cell that received a second value and exit 1 when there is any");
    line.text("INPUT", o.input, "FILE|-", "the recorded bytes; - or nothing: standard input");
    line.app().footer("Without --trace, --grid or --monitor the sheet goes to standard output. A "
                      "summary line on standard error counts the records and the cells that "
                      "received a second value.");
    line.parse(argc, argv);
    return o;
}

// A recorded session is read whole; a gigabyte is years of measurements.
constexpr size_t kMaxInputBytes = size_t{1} << 30;

std::string readInput(const std::string& input) {
    if (input == "-") {
        std::ostringstream data;
        data << std::cin.rdbuf();
        return data.str();
    }
    std::string problem;
    auto data = ReadRegularFile(input, kMaxInputBytes, problem);
    if (!data) Fail("cannot read '" + input + "': " + problem);
    return std::move(*data);
}

std::ofstream openOutput(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (!out) Fail("cannot write '" + path + "'");
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

// "record 3 \"K   1.45\"": the record's number in the session and its text without the
// line end.
std::string recordLabel(int number, std::string record) {
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.pop_back();
    return "record " + std::to_string(number) + " \"" + record + "\"";
}

// Every pasted picture as DIR/picture-NNNN.png, numbered from 0001.
void keepPictures(RecordingClipboard& clipboard, const std::string& folder) {
    clipboard.onPicture = [folder, number = 0](const MonoBitmap& picture) mutable {
        char name[32];
        std::snprintf(name, sizeof name, "/picture-%04d.png", ++number);
        std::ofstream out = openOutput(folder + name);
        WritePng(picture, out, kPictureDotsPerMetre);
    };
}

void reportOverwrite(const Overwrite& lost) {
    cli::Report(CellName(lost.at) + " overwritten: \"" + lost.lost + "\" (" + lost.lostRecord +
                ") by \"" + lost.value + "\" (" + lost.record + ")");
}

// The folder for the plate reader's pictures; made when it is missing.
void makeFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error || !std::filesystem::is_directory(path, error))
        Fail("cannot make the picture folder '" + path + "'" +
             (error ? ": " + error.message() : ""));
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    // Captions are drawn as the program draws them, on an offscreen Qt Gui application.
    QtCaptionFont captionFont;
    options.world.captionFont = &captionFont;
    const std::string data = readInput(options.input);
    std::string iniProblem;
    if (options.ini && !ReadRegularFile(*options.ini, ProfileFile::kMaxBytes, iniProblem))
        Fail("cannot read '" + *options.ini + "': " + iniProblem);
    if (options.images) makeFolder(*options.images);

    std::ofstream traceFile, gridFile, monitorFile;
    if (options.trace) traceFile = openOutput(*options.trace);
    if (options.grid) gridFile = openOutput(*options.grid);
    if (options.monitor) monitorFile = openOutput(*options.monitor);

    MemoryPlatform world(options.world);
    TraceKeyboard trace(traceFile);
    if (options.trace) world.keyboard.add(trace);
    for (int port = pnCOM1; port <= pnCOM16; ++port) world.portMap.assign(port, kReplayLine);
    MemorySerialPorts::Device& line = world.serialPorts.device(kReplayLine);
    if (options.images) keepPictures(world.clipboard, *options.images);

    RecordingLauncher launcher; // a replay opens no programs
    std::ostringstream startupLog;
    QorvaApplication app(world.services(), launcher,
                         ApplicationSettings{options.ini.value_or(""), true}, startupLog);
    TMainFrm& frm = app.frm;
    frm.faults.setSink(cli::Report);
    ApplySetOptions(frm.form, options.assignments);
    int records = 0;
    frm.pipeline.setRecordListener([&](const std::string& record) {
        world.sheet.beginRecord(recordLabel(++records, record));
    });
    frm.Button3.Click();
    scheduleDeliveries(world.loop, line, data, options);

    const auto busy = [&] {
        return world.loop.hasPendingPosts() || !line.input.empty() || !frm.pipeline.RSBUF.empty() ||
               !frm.pipeline.semaphore || frm.Timer4.Enabled();
    };
    while (busy()) world.loop.runUntil(world.loop.now() + 100);
    world.loop.runUntil(world.loop.now() + 5000);
    world.sheet.finish();

    if (options.grid) world.sheet.writeCsv(gridFile);
    if (options.monitor) writeMonitor(monitorFile, frm.RSMemo);
    if (!options.trace && !options.grid && !options.monitor) world.sheet.writeCsv(std::cout);

    const auto& overwrites = world.sheet.overwrites();
    if (options.checkOverwrites)
        for (const auto& lost : overwrites) reportOverwrite(lost);
    cli::Report(std::to_string(records) + " records, " + std::to_string(overwrites.size()) +
                " cells overwritten");
    return options.checkOverwrites && !overwrites.empty() ? 1 : 0;
}
