// qorva-sim: an instrument on a serial line. Writes realistic records of one family to
// a serial device, or to a pseudo-terminal it creates and names, at a chosen rate, and
// can inject faults: noise bytes, lines split across writes, over-long lines, a hang-up.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <optional>
#include <poll.h>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string family = "pfi";
    std::optional<std::string> device, link, from;
    long count = -1; // -1: until stopped, or once through the --from file
    long intervalMs = 1000;
    long startDelayMs = 1000;
    long holdMs = 1000;
    int noisePercent = 0;
    bool split = false;
    long overlongEvery = 0;
    long hangupAfter = 0;
    unsigned seed = 1;
};

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "qorva-sim: " << message << '\n';
    std::exit(2);
}

const char* kUsage =
    "usage: qorva-sim [--family varnik|luma|pfi|dot|four | --from FILE] [--device PATH | --link "
    "PATH]\n"
    "                 [--count N] [--interval MS] [--start-delay MS] [--noise PERCENT]\n"
    "                 [--split] [--overlong EVERY] [--hangup-after N] [--hold MS] [--seed N]\n"
    "Without --device it creates a pseudo-terminal, prints its path and, with --link,\n"
    "points PATH at it; sending starts --start-delay ms after the program opens it.\n"
    "--from sends the lines of FILE (line ends kept) as the records, in order and once\n"
    "unless --count asks for more. After the last record the line stays open --hold ms\n"
    "(default 1000), as an instrument stays connected: closing a pseudo-terminal throws\n"
    "away what its reader has not read yet.";

long number(const std::string& option, const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        fail(option + " needs a whole number, got '" + text + "'");
    return std::stol(text);
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) fail(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--family")
            o.family = value();
        else if (arg == "--device")
            o.device = value();
        else if (arg == "--link")
            o.link = value();
        else if (arg == "--from")
            o.from = value();
        else if (arg == "--count")
            o.count = number(arg, value());
        else if (arg == "--interval")
            o.intervalMs = number(arg, value());
        else if (arg == "--start-delay")
            o.startDelayMs = number(arg, value());
        else if (arg == "--noise")
            o.noisePercent = static_cast<int>(number(arg, value()));
        else if (arg == "--split")
            o.split = true;
        else if (arg == "--overlong")
            o.overlongEvery = number(arg, value());
        else if (arg == "--hangup-after")
            o.hangupAfter = number(arg, value());
        else if (arg == "--hold")
            o.holdMs = number(arg, value());
        else if (arg == "--seed")
            o.seed = static_cast<unsigned>(number(arg, value()));
        else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << '\n';
            std::exit(0);
        } else
            fail("unknown option '" + arg + "' (see --help)");
    }
    if (o.family != "varnik" && o.family != "luma" && o.family != "pfi" && o.family != "dot" &&
        o.family != "four")
        fail("--family takes varnik, luma, pfi, dot or four");
    if (o.device && o.link) fail("--link names a pseudo-terminal; it does not go with --device");
    return o;
}

std::string format(const char* pattern, double a = 0, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
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
            return std::string(made_ / 10 % 2 ? "HC" : "GM") + format(" %02.0f%%\r\n", around(10, 5));
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

    std::string family_;
    std::mt19937 random_;
    long made_ = 0;
};

class Line {
  public:
    explicit Line(const Options& o) : options_(o) { open(); }
    ~Line() { close(); }

    bool write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (n < 0 && errno != EINTR)
                return false;
        }
        return true;
    }
    void hangUpAndReturn() {
        std::cerr << "qorva-sim: hanging up\n";
        close();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        open();
    }

  private:
    void open() {
        if (options_.device) {
            fd_ = ::open(options_.device->c_str(), O_RDWR | O_NOCTTY);
            if (fd_ < 0) fail("cannot open '" + *options_.device + "'");
            return;
        }
        fd_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0)
            fail("cannot create a pseudo-terminal");
        const std::string slave = ptsname(fd_);
        if (options_.link) {
            unlink(options_.link->c_str());
            if (symlink(slave.c_str(), options_.link->c_str()) != 0)
                fail("cannot link '" + *options_.link + "'");
        }
        std::cout << "qorva-sim: instrument on " << slave
                  << (options_.link ? " (" + *options_.link + ")" : "") << std::endl;
        waitForReader(slave);
    }
    // The master side reports a hang-up while nobody has the other end open, once the
    // other end has been opened: a first open and close of our own starts that.
    void waitForReader(const std::string& slave) {
        const int once = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
        if (once >= 0) ::close(once);
        for (;;) {
            pollfd p{fd_, POLLOUT, 0};
            if (poll(&p, 1, 100) > 0 && !(p.revents & POLLHUP)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(options_.startDelayMs));
        std::cout << "qorva-sim: sending" << std::endl;
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (options_.link) unlink(options_.link->c_str());
    }

    const Options& options_;
    int fd_ = -1;
};

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
    if (!in) fail("cannot read '" + path + "'");
    std::vector<std::string> records;
    std::string line;
    while (std::getline(in, line)) records.push_back(in.eof() ? line : line + '\n');
    if (records.empty()) fail("'" + path + "' holds no records");
    return records;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    Instrument instrument(options.family, options.seed);
    const std::vector<std::string> fileRecords =
        options.from ? recordsFromFile(*options.from) : std::vector<std::string>{};
    const long count =
        options.from && options.count < 0 ? static_cast<long>(fileRecords.size()) : options.count;
    std::mt19937 random(options.seed);
    Line line(options);
    for (long k = 0; count < 0 || k < count; ++k) {
        const std::string made = options.from
                                     ? fileRecords[static_cast<size_t>(k) % fileRecords.size()]
                                     : instrument.nextRecord();
        const std::string record = withFaults(made, options, k, random);
        if (options.split && record.size() > 2) {
            const size_t cut = std::uniform_int_distribution<size_t>(1, record.size() - 1)(random);
            line.write(record.substr(0, cut));
            std::this_thread::sleep_for(std::chrono::milliseconds(70));
            line.write(record.substr(cut));
        } else {
            line.write(record);
        }
        if (options.hangupAfter > 0 && k + 1 == options.hangupAfter) line.hangUpAndReturn();
        std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(options.holdMs));
    return 0;
}
