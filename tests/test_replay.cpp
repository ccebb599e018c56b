#include "text_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int status;
    std::string out;
};

// Runs the replay tool through the shell, standard error folded into the output.
ToolRun replay(const std::string& arguments, const std::string& input = "") {
    // ctest runs tests in parallel: every test gets files of its own.
    const std::string inputFile = testing::TempDir() +
                                  testing::UnitTest::GetInstance()->current_test_info()->name() +
                                  ".input";
    std::ofstream(inputFile, std::ios::binary) << input;
    const std::string command =
        std::string(QORVA_REPLAY) + " " + arguments + " < " + inputFile + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer{};
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

} // namespace

TEST(Replay, BadOptionsAndFilesExitWithTwoAndOneLine) {
    const char* cases[] = {
        "--bogus",
        "--images /proc/no/dir",
        "--chunk 0 --interval 5",
        "--chunk 4",
        "--now 2000-13-01",
        "--now \"2000-01-01 25:00:00\"",
        "--origin 7",
        "--set Nope=1",
        "--set Ausgabeart=9",
        "/no/such/input",
        "--trace /no/such/dir/trace",
        "--decimal-separator ab",
        "--set",
    };
    for (const char* arguments : cases) {
        const ToolRun run = replay(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1)
            << arguments << ": " << run.out;
    }
}

TEST(Replay, MonitorShowsChunkedLinesAndStandardInputIsTheDefault) {
    const std::string monitor = testing::TempDir() + "replay-monitor.txt";
    const ToolRun run = replay("--chunk 3 --interval 40 --monitor " + monitor + " -",
                               std::string("FIRST\r\nSEC\0OND\r\nrest", 20));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(qorva::test::readText(monitor), "FIRST\nSECOND\nrest\n");
}

TEST(Replay, WithoutAnOutputOptionTheGridGoesToStandardOutput) {
    const ToolRun run = replay("--set Manufacturer=ThirdParty --set densito=Blatt5 --origin B3",
                               "NOTHING KNOWN\r\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST(Replay, SettingsFileIsReadAndNeverWritten) {
    const std::string ini = testing::TempDir() + "replay-settings.ini";
    {
        std::ofstream out(ini, std::ios::binary);
        out << "[allg]\r\nAP=5\r\nNotation=1\r\n[snst]\r\nallg=111110\r\n";
    }
    const ToolRun run =
        replay("--ini " + ini + " --set Manufacturer=ThirdParty", "0.512\r\nK 12%\r\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "n,\"0,512\"\nk, 12\n") << "Blatt5 and the German notation from the file";
    EXPECT_EQ(qorva::test::readText(ini),
              "[allg]\r\nAP=5\r\nNotation=1\r\n[snst]\r\nallg=111110\r\n");
    EXPECT_EQ(replay("--ini /no/such/file.ini").status, 2);
}

TEST(Replay, RunsUntilADeferredRecordIsTyped) {
    const ToolRun run = replay("--set Manufacturer=ThirdParty --set densito=Blatt3", "C 45%\r\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "c, 45\n");
}
