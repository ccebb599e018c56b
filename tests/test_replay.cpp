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
    std::string out, err;
};

// Runs the replay tool through the shell, standard output and standard error apart.
ToolRun replay(const std::string& arguments, const std::string& input = "") {
    // ctest runs tests in parallel: every test gets files of its own.
    const std::string files =
        testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name();
    qorva::test::writeText(files + ".input", input);
    const std::string command =
        std::string(QORVA_REPLAY) + " " + arguments + " < " + files + ".input 2> " + files + ".err";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer{};
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out,
            qorva::test::readText(files + ".err")};
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
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1)
            << arguments << ": " << run.err;
    }
}

TEST(Replay, MonitorShowsChunkedLinesAndStandardInputIsTheDefault) {
    const std::string monitor = testing::TempDir() + "replay-monitor.txt";
    const ToolRun run = replay("--chunk 3 --interval 40 --monitor " + monitor + " -",
                               std::string("FIRST\r\nSEC\0OND\r\nrest", 20));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "qorva-replay: 2 records, 0 cells overwritten\n");
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
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "n,\"0,512\"\nk, 12\n") << "Blatt5 and the German notation from the file";
    EXPECT_EQ(qorva::test::readText(ini),
              "[allg]\r\nAP=5\r\nNotation=1\r\n[snst]\r\nallg=111110\r\n");
    EXPECT_EQ(replay("--ini /no/such/file.ini").status, 2);
}

TEST(Replay, OverwrittenCellsAreCountedAndCheckedOnRequest) {
    const std::string onPfi = "--set Manufacturer=ThirdParty --set densito=Blatt5 ";
    struct Session {
        std::string arguments, input;
    } clean[] = {
        {onPfi + QORVA_SAMPLES "/pfi.txt", ""},
        {"--set Manufacturer=ThirdParty --set densito=Blatt1 " QORVA_SAMPLES "/dot.txt", ""},
        {"--set Manufacturer=ThirdParty --set densito=Blatt2 " QORVA_SAMPLES "/four.txt", ""},
        {"--set Manufacturer=ThirdParty --set densito=Blatt3 " QORVA_SAMPLES "/seven.txt", ""},
        {"--set Manufacturer=TALMO " QORVA_SAMPLES "/varnik.txt", ""},
        {"--set Manufacturer=TALMO --set TALMOPages=LUMAPage",
         "X 41.234Y 21.300Z  1.801\r\nX 40.002Y 20.950Z  1.555\r\n"},
    };
    for (const auto& session : clean)
        for (const char* layout : {"0", "1", "2", "3"}) {
            const std::string arguments = "--check-overwrites --set Datumaus=1 --set Zeitaus=1 "
                                          "--set Ausgabeart=" +
                                          std::string(layout) + " " + session.arguments;
            const ToolRun run = replay(arguments, session.input);
            EXPECT_EQ(run.status, 0) << arguments << ": " << run.err;
            EXPECT_NE(run.err.find(" records, 0 cells overwritten\n"), std::string::npos)
                << run.err;
        }

    // A '%' in a trapping value is typed as cursor-left: the 5 lands on the marking cell.
    const std::string colliding = "TCM 25%\r\nTCM%5%%\r\n";
    const ToolRun checked = replay("--check-overwrites " + onPfi, colliding);
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, "tr-cm, 25\n5\n");
    EXPECT_EQ(checked.err,
              "qorva-replay: A2 overwritten: \"tr-cm\" (record 2 \"TCM%5%%\") by \"5\" "
              "(record 2 \"TCM%5%%\")\n"
              "qorva-replay: 2 records, 1 cells overwritten\n");
    const ToolRun unchecked = replay(onPfi, colliding);
    EXPECT_EQ(unchecked.status, 0);
    EXPECT_EQ(unchecked.out, checked.out);
    EXPECT_EQ(unchecked.err, "qorva-replay: 2 records, 1 cells overwritten\n");
}

TEST(Replay, RunsUntilADeferredRecordIsTyped) {
    const ToolRun run = replay("--set Manufacturer=ThirdParty --set densito=Blatt3", "C 45%\r\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "c, 45\n");
}
