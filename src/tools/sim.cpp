// qorva-sim: an instrument on a serial line. Writes realistic records of one family to
// a serial device, or to a pseudo-terminal it creates and names, at a chosen rate, and
// can inject faults: noise bytes, lines split across writes, over-long lines, a hang-up.
#include "platform/posix/instrument_line.h"
#include "shell/command_line.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using qorva::cli::Fail;

namespace {

struct Options {
    std::string family = "pfi";
    std::optional<std::string> device, link, from;
    long count = -1; // -1: until stopped, or once through the --from file
    long intervalMs = 1000;
    long startDelayMs = 1000;
    long holdMs = 1000;
    long noisePercent = 0;
    bool split = false;
    long overlongEvery = 0;
    long hangupAfter = 0;
    long seed = 1;
};

constexpr long kMost = 999999999;

Options parseOptions(int argc, char** argv) {
    Options o;
    qorva::cli::CommandLine line(
        "qorva-sim", "An instrument on a serial line: writes records of one family, or the "
                     "lines of a file, at a chosen rate, with faults on request.");
    line.choice("--family", o.family, {"varnik", "luma", "pfi", "dot", "four", "seven", "plate"},
                "the records' family");
    line.text("--from", o.from, "FILE", "send the lines of FILE (line ends kept) as the records");
    CLI::Option* device = line.text("--device", o.device, "PATH", "write to this serial device");
    CLI::Option* link = line.text("--link", o.link, "PATH", "point PATH at the pseudo-terminal");
    device->excludes(link);
    line.number("--count", o.count, 0, kMost, "N", "records to send (default: until stopped)");
    line.number("--interval", o.intervalMs, 0, kMost, "MS", "time between records");
    line.number("--start-delay", o.startDelayMs, 0, kMost, "MS",
                "wait after the program opens the line");
    line.number("--noise", o.noisePercent, 0, 100, "PERCENT",
                "records that get one random byte inserted");
    line.flag("--split", o.split, "split each record across two writes");
    line.number("--overlong", o.overlongEvery, 0, kMost, "EVERY",
                "put 300 bytes before every EVERY-th record");
    line.number("--hangup-after", o.hangupAfter, 0, kMost, "N",
                "hang up after N records and come back");
    line.number("--hold", o.holdMs, 0, kMost, "MS", "keep the line open after the last record");
    line.number("--seed", o.seed, 0, kMost, "N", "seed of the random values and faults");
    line.app().footer(
        "Without --device it creates a pseudo-terminal, prints its path and, with --link,\n"
        "points PATH at it; sending starts --start-delay ms after the program opens it.\n"
        "--from sends the lines of FILE in order and once unless --count asks for more.\n"
        "After the last record the line stays open --hold ms (default 1000), as an\n"
        "instrument stays connected: closing a pseudo-terminal throws away what its reader\n"
        "has not read yet. A record that cannot be written ends the run with exit code 1.");
    line.parse(argc, argv);
    return o;
}

std::string format(const char* pattern, double a = 0, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

// The simulated plate reader's test pattern, black where true: a frame, both diagonals
// and a checkerboard of 32-pixel squares in the top left quarter.
bool PlatePattern(int x, int row) {
    const bool frame = x < 2 || x > 381 || row < 2 || row > 277;
    const bool diagonal = x * 280 / 384 == row || (383 - x) * 280 / 384 == row;
    const bool checks = x < 192 && row < 140 && (x / 32 + row / 32) % 2 == 0;
    return frame || diagonal || checks;
}

class Instrument {
  public:
    Instrument(const std::string& family, unsigned seed) : family_(family), random_(seed) {}

    std::string nextRecord() {
        ++made_;
        if (family_ == "varnik") return varnik();
        if (family_ == "luma")
            return format("X%7.3fY%7.3fZ%7.3f\r\n", around(41.2, 3), around(21.3, 2),
                          around(1.8, 0.3));
        if (family_ == "dot") return dot();
        if (family_ == "four") return four();
        if (family_ == "seven") return sevenColour();
        if (family_ == "plate") return plate();
        return pfi();
    }

  private:
    double around(double centre, double spread) {
        return std::uniform_real_distribution<double>(centre - spread, centre + spread)(random_);
    }
    std::string varnik() {
        std::string line;
        for (const char* letter : {"C", "M", "Y", "K"})
            line += letter + format("%7.0f", around(1300, 200));
        line += "E" + format("%7.0f", around(25, 20)) + "V" + format("%7.0f", around(500, 100));
        return line + "\r\n";
    }
    // A PFI instrument's session: densities of the four colours, a tone value, a dot
    // gain with its reference, trapping, and now and then a zeroing result.
    std::string pfi() {
        static const char kColours[] = {'C', 'M', 'Y', 'K'};
        const char colour = kColours[made_ % 4];
        switch (made_ % 6) {
        case 0:
            return format("0.0%02.0f\r\n", around(12, 8));
        case 4:
            return std::string(1, colour) + format("%3.0f%%\r\n", around(50, 10));
        case 5:
            return std::string(1, colour) + format("050%%%03.0f%%\r\n", around(15, 5));
        default:
            return std::string(1, colour) + format("   %4.2f\r\n", around(1.4, 0.15));
        }
    }

    // A dot-area densitometer's session: the dot and density functions in reflection and
    // transmission, gloss, and a channel record now and then.
    std::string dot() {
        static const char* const kQualifiers[] = {"  ", " M", " S", "N ", "NM", "NS"};
        const bool reflection = made_ % 2 == 0;
        switch (made_ % 9) {
        case 0:
        case 1:
            return "D" + std::string(made_ % 3 ? "A " : "  ") + format("%06.3f", around(1.4, 0.3)) +
                   (reflection ? "R" : " ") + "\r\n";
        case 2:
            return "G" + format("%5.1f", around(45, 10)) + "\r\n";
        case 3:
            return "Ch" + std::to_string(made_ % 4 + 1) + " R" + format("%4.2f", around(1.2, 0.2)) +
                   " d" + format("%5.3f", around(0.45, 0.1)) + "\r\n";
        default:
            return "%" + std::string(kQualifiers[made_ % 6]) + format("%06.2f", around(45, 20)) +
                   (reflection ? "R" : " ") + "\r\n";
        }
    }
    // A four-colour densitometer's session: densities of all four colours (now and then
    // absolute, or a zeroing), and the single-colour records of each colour in turn.
    std::string four() {
        static const char kColours[] = {'K', 'C', 'M', 'Y'};
        const char colour = kColours[made_ % 4];
        const std::string letter(1, colour);
        switch (made_ % 10) {
        case 0:
            return "V0.00C0.00M0.00Y0.00\r\n";
        case 1:
            return letter + format("%3.0f%%00\r\n", around(50, 30));
        case 2:
            return letter + format("%3.0f%%", around(18, 5)) + format("%02.0f\r\n", around(50, 20));
        case 3:
            return letter + format(" %2.0fK00\r\n", around(35, 5));
        case 4:
            return std::string(made_ / 10 % 2 ? "HC" : "GM") +
                   format(" %02.0f%%\r\n", around(10, 5));
        case 5:
            return format("T%03.0f CM\r\n", around(75, 10));
        case 6:
            return format("P%03.0f KC\r\n", around(45, 10));
        default:
            return format("V%4.2fC%4.2f", around(1.6, 0.2), around(1.4, 0.2)) +
                   format("M%4.2fY%4.2f", around(1.35, 0.2), around(1.0, 0.2)) +
                   (made_ % 3 == 0 ? "A" : "") + "\r\n";
        }
    }

    // A seven-colour instrument's session, one record kind after the other: the density
    // record of all seven colours, single densities, tone values and dot gains of each
    // colour (cyan's are the short records the program defers), black zero values,
    // contrast, grauness, hue error, trapping with Perlfaktor (now and then negative),
    // tone value balance, and L*a*b*, L*C*h and Yxy values each followed by their deltas.
    std::string sevenColour() {
        static const char kColours[] = "CMYOGBK";
        const std::string colour(1, kColours[made_ % 7]);
        std::string record;
        switch (made_ % 16) {
        case 0:
            for (const char c : std::string(kColours))
                record += c + format("%5.3f", around(1.4, 0.3));
            break;
        case 1:
            record = colour + format("%5.3f", around(1.4, 0.3));
            break;
        case 2:
            record = colour + format("%3.0f%%", around(50, 10));
            break;
        case 3:
            record = colour + format("%3.0f%%%02.0f", around(14, 4), around(50, 20));
            break;
        case 4:
            record = made_ % 32 < 16 ? "K  0%" : "K0.000";
            break;
        case 5:
            record = "c" + format("%3.0f%% ", around(40, 10)) + colour;
            break;
        case 6:
            record = format("g%3.0f%%", around(12, 5));
            break;
        case 7:
            record = format("h%3.0f%%", around(15, 5));
            break;
        case 8:
            record =
                std::string("T") + (made_ % 32 < 16 ? "CM" : "MY") +
                format("%3.0f%% %3.0f%%", around(made_ % 48 < 16 ? -5 : 70, 10), around(90, 8));
            break;
        case 9:
            record = "DV";
            for (const char c : std::string(kColours))
                record += std::string(" ") + c + format("%3.0f%%", around(50, 3));
            break;
        case 10:
            record = format("L%6.2fa%6.2fb%6.2f", around(90, 5), around(0, 3), around(2, 3));
            break;
        case 11:
            record = format("dL%6.2fda%6.2fdb%6.2f", around(0, 1), around(0, 1), around(0, 1)) +
                     format("dE%6.2fR1", around(1, 0.8));
            break;
        case 12:
            record = format("L%6.2f C%6.2f h%5.1f", around(60, 5), around(50, 5), around(200, 50));
            break;
        case 13:
            record = format("dL%6.2fdC%6.2fdH%6.2f", around(0, 1), around(0, 1), around(0, 1)) +
                     format("dE%6.2fR2", around(1, 0.8));
            break;
        case 14:
            record = format("Y%6.2fx%6.4fy%6.4f", around(40, 10), around(0.31, 0.02),
                            around(0.33, 0.02));
            break;
        default:
            record =
                format("dY%6.2fdx%6.3fdy%6.3fR3", around(0, 1), around(0, 0.004), around(0, 0.004));
            break;
        }
        return record + "\r\n";
    }

    // A plate reader's session: its identification line, short and long dot value lines
    // (led by "%" or by the byte 201), a ruling line, and every fifth record a picture.
    std::string plate() {
        switch (made_ % 5) {
        case 1:
            return "PLAXEN 1024-7\r\n";
        case 2:
            return (made_ % 2 ? "%D"
                              : "\xC9"
                                "D") +
                   format("%8.2f", around(45, 5)) + "\r\n";
        case 3:
            return "%R" + format("%8.2f%5.1f", around(12, 2), around(50, 3)) + "\r\n";
        case 4:
            return "%L" + format("%8.2fL/cm", around(60, 0)) + "\r\n";
        default:
            return platePicture();
        }
    }
    // The picture: the header with its caption, 35 bands of 8 rows, each a lead byte and
    // one byte per column (bit n is row n of the band, set for black), and the trailer.
    // It shows PlatePattern.
    std::string platePicture() {
        std::string bytes = "PLAXEN 1024-7 Image\r\n";
        for (int band = 0; band < 35; ++band) {
            bytes += '\x1B';
            for (int x = 0; x < 384; ++x) {
                unsigned char column = 0;
                for (int n = 0; n < 8; ++n)
                    if (PlatePattern(x, band * 8 + n)) column |= static_cast<unsigned char>(1 << n);
                bytes += static_cast<char>(column);
            }
        }
        return bytes + "\r\nEnd Image\r\n";
    }

    std::string family_;
    std::mt19937 random_;
    long made_ = 0;
};

class Line {
  public:
    explicit Line(const Options& o) : options_(o) { open(); }
    ~Line() { close(); }

    // Writes all of bytes; false when the line refuses them (error() says why).
    bool write(const std::string& bytes) { return line_->write(bytes); }
    const std::string& error() const { return line_->lastError(); }
    // The device written to, as messages name it.
    const std::string& name() const { return line_->path(); }
    void hangUpAndReturn() {
        qorva::cli::Report("hanging up");
        close();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        open();
    }

  private:
    void open() {
        std::string error;
        line_ = options_.device ? qorva::InstrumentLine::openDevice(*options_.device, error)
                                : qorva::InstrumentLine::createPseudoTerminal(error);
        if (!line_) Fail(error);
        if (options_.device) return;
        if (options_.link) link(*options_.link);
        std::cout << "qorva-sim: instrument on " << name()
                  << (options_.link ? " (" + *options_.link + ")" : "") << std::endl;
        line_->waitForPeer(-1);
        std::this_thread::sleep_for(std::chrono::milliseconds(options_.startDelayMs));
        std::cout << "qorva-sim: sending" << std::endl;
    }
    void link(const std::string& at) {
        std::error_code ignored;
        std::filesystem::remove(at, ignored);
        std::error_code error;
        std::filesystem::create_symlink(name(), at, error);
        if (error) Fail("cannot link '" + at + "': " + error.message());
    }
    void close() {
        line_.reset();
        std::error_code ignored;
        if (options_.link) std::filesystem::remove(*options_.link, ignored);
    }

    const Options& options_;
    std::unique_ptr<qorva::InstrumentLine> line_;
};

// One record, whole or cut in two writes some time apart.
bool send(Line& line, const std::string& record, bool split, std::mt19937& random) {
    if (!split || record.size() <= 2) return line.write(record);
    const size_t cut = std::uniform_int_distribution<size_t>(1, record.size() - 1)(random);
    if (!line.write(record.substr(0, cut))) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(70));
    return line.write(record.substr(cut));
}

std::string withFaults(std::string record, const Options& o, long index, std::mt19937& random) {
    std::uniform_int_distribution<int> percent(0, 99), byte(0, 255);
    if (o.overlongEvery > 0 && index % o.overlongEvery == o.overlongEvery - 1)
        record = std::string(300, 'Z') + record;
    if (o.noisePercent > 0 && percent(random) < o.noisePercent) {
        const size_t at = std::uniform_int_distribution<size_t>(0, record.size() - 1)(random);
        record.insert(at, 1, static_cast<char>(byte(random)));
    }
    return record;
}

// The lines of a recorded or hand-made session, each with its own line end; a last piece
// without a line end is sent as it stands.
std::vector<std::string> recordsFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read '" + path + "'");
    std::vector<std::string> records;
    std::string line;
    while (std::getline(in, line)) records.push_back(in.eof() ? line : line + '\n');
    if (records.empty()) Fail("'" + path + "' holds no records");
    return records;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    Instrument instrument(options.family, static_cast<unsigned>(options.seed));
    const std::vector<std::string> fileRecords =
        options.from ? recordsFromFile(*options.from) : std::vector<std::string>{};
    const long count =
        options.from && options.count < 0 ? static_cast<long>(fileRecords.size()) : options.count;
    std::mt19937 random(static_cast<unsigned>(options.seed));
    Line line(options);
    for (long k = 0; count < 0 || k < count; ++k) {
        const std::string made = options.from
                                     ? fileRecords[static_cast<size_t>(k) % fileRecords.size()]
                                     : instrument.nextRecord();
        const std::string record = withFaults(made, options, k, random);
        if (!send(line, record, options.split, random)) {
            qorva::cli::Report("record " + std::to_string(k + 1) + " could not be sent to " +
                               line.name() + ": " + line.error());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
        // After the pause that follows the record, as an adapter pulled between records.
        if (options.hangupAfter > 0 && k + 1 == options.hangupAfter) line.hangUpAndReturn();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(options.holdMs));
    return 0;
}
