// The programs' command lines, and what the simulator says when the line refuses a write.
#include "child_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace qorva::test;
using namespace std::chrono_literals;

namespace {

// An empty folder for one run.
std::string emptyFolder(const std::string& name) {
    const std::filesystem::path dir =
        std::filesystem::path(testing::TempDir()) / ("programs-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string commandLine(const std::string& program, const std::vector<std::string>& arguments) {
    std::string text = std::filesystem::path(program).filename().string();
    for (const auto& argument : arguments) text += " '" + argument + "'";
    return text;
}

} // namespace

// A bad option or value ends the program with exit code 2 and one line naming the
// option, the value and what is allowed, before anything has happened: no beep, no
// first-start notice, no file, no pseudo-terminal.
TEST(Programs, BadCommandLinesAreRefusedBeforeAnythingHappens) {
    const struct {
        const char* program;
        std::vector<std::string> arguments;
        std::vector<std::string> said; // all in the one line
    } cases[] = {
        {QORVA_HEADLESS,
         {"--headless", "--keys", "trace", "--set", "Nope=1"},
         {"--set", "'Nope=1'", "NAME=VALUE"}},
        {QORVA_HEADLESS,
         {"--headless", "--keys", "trace", "--set", "Ausgabeart=9"},
         {"--set", "'Ausgabeart=9'", "Ausgabeart=-1 to Ausgabeart=3"}},
        {QORVA_HEADLESS,
         {"--headless", "--keys", "braille"},
         {"--keys", "'braille'", "trace or sheet"}},
        {QORVA_HEADLESS, {"--headless", "--keys", "trace", "--port", ""}, {"--port", "''"}},
        {QORVA_HEADLESS, {"--headless", "--verbose"}, {"'--verbose'", "--help"}},
        {QORVA_REPLAY,
         {"--trace", "trace.txt", "--date-format", ""},
         {"--date-format", "''", "dd.MM.yyyy"}},
        {QORVA_REPLAY,
         {"--trace", "trace.txt", "--time-format", "now"},
         {"--time-format", "'now'", "HH:mm:ss"}},
        {QORVA_REPLAY,
         {"--trace", "trace.txt", "--chunk", "0x10", "--interval", "5"},
         {"--chunk", "'0x10'", "a whole number from 1 to"}},
        {QORVA_REPLAY,
         {"--trace", "trace.txt", "--set", "densito=Blatt9"},
         {"--set", "'densito=Blatt9'", "Blatt1", "Blatt5"}},
        {QORVA_REPLAY,
         {"--trace", "trace.txt", "--set", "CheckBox5=yes"},
         {"--set", "'CheckBox5=yes'", "CheckBox5=0 or CheckBox5=1"}},
        {QORVA_REPLAY, {"--trace", "trace.txt", "--interval"}, {"--interval", "MS"}},
        {QORVA_REPLAY, {"--trace", "trace.txt", "/"}, {"'/'", "is not a regular file"}},
        {QORVA_REPLAY, {"--trace", "trace.txt", "no-such.txt"}, {"'no-such.txt'", "No such file"}},
        {QORVA_REPLAY, {"--trace", "trace.txt", "--ini", "/", "-"}, {"'/'", "not a regular file"}},
        {QORVA_SIM, {"--link", "line", "--noise", "101"}, {"--noise", "'101'", "0 to 100"}},
        {QORVA_SIM, {"--link", "line", "--count", "-1"}, {"--count", "'-1'", "from 0 to"}},
        {QORVA_SIM, {"--link", "line", "--interval", "1.5"}, {"--interval", "'1.5'", "whole"}},
        {QORVA_SIM,
         {"--link", "line", "--family", "mx"},
         {"--family", "'mx'", "varnik, luma, pfi, dot, four, seven or plate"}},
        {QORVA_SIM, {"--link", "line", "--device", "/dev/null"}, {"--device", "--link"}},
    };
    for (const auto& c : cases) {
        const std::string dir = emptyFolder("bad-command-line");
        const std::string what = commandLine(c.program, c.arguments);
        ChildProgram child(c.program, c.arguments, dir);
        EXPECT_EQ(child.finish(10s), 2) << what;
        EXPECT_EQ(child.out(), "") << what;
        EXPECT_EQ(std::count(child.err().begin(), child.err().end(), '\n'), 1)
            << what << ": " << child.err();
        for (const auto& said : c.said)
            EXPECT_NE(child.err().find(said), std::string::npos)
                << what << " says " << said << ": " << child.err();
        EXPECT_TRUE(std::filesystem::is_empty(dir)) << what << " made nothing";
    }
}

// A session the line takes ends with 0 and says nothing; one it refuses is reported
// with the record and the reason, and ends with 1.
TEST(Programs, TheSimulatorReportsWritesTheLineRefuses) {
    const struct {
        const char* device;
        int status;
        const char* said;
    } cases[] = {
        {"/dev/null", 0, ""},
        {"/dev/full", 1, "qorva-sim: record 1 could not be sent to /dev/full: "},
    };
    for (const auto& c : cases) {
        if (!std::filesystem::exists(c.device)) GTEST_SKIP() << "no " << c.device << " here";
        ChildProgram sim(QORVA_SIM,
                         {"--device", c.device, "--count", "3", "--interval", "0", "--hold", "0"},
                         emptyFolder("sim-writes"));
        EXPECT_EQ(sim.finish(10s), c.status) << c.device;
        EXPECT_EQ(sim.err().rfind(c.said, 0), 0u) << c.device << ": " << sim.err();
        EXPECT_EQ(std::count(sim.err().begin(), sim.err().end(), '\n'), c.status) << sim.err();
    }
}
