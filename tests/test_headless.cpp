#include "app_world.h"
#include "child_program.h"
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <thread>

using namespace qorva;
using namespace qorva::test;

namespace {

using namespace std::chrono_literals;

struct HeadlessRun {
    int status;
    std::string err;
};

// Runs the headless program in dir until it has pressed START and says so, then ends it
// as Ctrl+C would.
HeadlessRun runHeadless(const std::string& dir, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--headless", "--keys", "trace"});
    ChildProgram qorva(QORVA_HEADLESS, arguments, dir);
    const bool ready = qorva.waitForError("Ctrl+C ends\n", 10s);
    const int status = qorva.interrupt(10s);
    return {ready ? status : -1, qorva.err()};
}

} // namespace

TEST(Headless, ASecondRunKeepsWhatTheFirstRunSet) {
    const std::string dir = testing::TempDir() + "headless-twice";
    mkdir(dir.c_str(), 0755);
    const std::string ini = dir + "/qorva.ini";
    writeText(ini,
              "[snst]\r\nkonfig=2134\r\nkonfig2=7123456\r\n[ports]\r\nCOM5=/dev/null-port\r\n");
    const HeadlessRun first =
        runHeadless(dir, {"--set", "densito=Blatt5", "--set", "Notation=1", "--set", "Ausgabeart=2",
                          "--set", "Commport=4", "--set", "CheckBox5=0", "--set", "Zeitaus=1"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find("(/dev/null-port)"), std::string::npos)
        << "COM5 opens the device [ports] names: " << first.err;
    const HeadlessRun second = runHeadless(dir, {});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.err.find("(/dev/null-port)"), std::string::npos) << second.err;
    const ProfileFile stored = ProfileFile::load(ini);
    const auto value = [&](const char* section, const char* key) {
        return stored.GetPrivateProfileString(section, key, "<missing>", 99);
    };
    EXPECT_EQ(value("allg", "AP"), "5");
    EXPECT_EQ(value("allg", "Notation"), "1");
    EXPECT_EQ(value("allg", "Ausgabeart"), "2");
    EXPECT_EQ(value("allg", "Commport"), "4");
    EXPECT_EQ(value("allg", "Aus"), "01");
    EXPECT_EQ(value("BWDensi", "Reflexion"), "111101");
    EXPECT_EQ(value("snst", "konfig"), "2134");
    EXPECT_EQ(value("snst", "konfig2"), "7123456");
    EXPECT_EQ(value("ports", "COM5"), "/dev/null-port") << "our own section stays";
}

namespace {

std::string freshFolder(const std::string& name) {
    const std::string dir = testing::TempDir() + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

bool appearsWithin(const std::string& path, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!std::filesystem::exists(path))
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::sleep_for(20ms);
    return true;
}

} // namespace

// A USB adapter pulled and plugged back: the line behind a link hangs up and comes back
// as a new pseudo-terminal at the same path. Both are said, and every record from before
// and after is typed once.
TEST(Headless, ALineThatHangsUpIsOpenedAgainAndNothingIsLost) {
    const std::string dir = freshFolder("headless-hangup");
    const std::string link = dir + "/line";
    std::string records;
    for (int k = 1; k <= 6; ++k) records += "0.01" + std::to_string(k) + "\r\n";
    writeText(dir + "/records.txt", records);
    ChildProgram sim(QORVA_SIM,
                     {"--from", dir + "/records.txt", "--link", link, "--interval", "300",
                      "--hangup-after", "3", "--hold", "1500"},
                     dir);
    ASSERT_TRUE(appearsWithin(link, 10s));
    ChildProgram qorva(QORVA_HEADLESS,
                       {"--headless", "--keys", "sheet", "--port", link, "--set",
                        "Manufacturer=ThirdParty", "--set", "densito=Blatt5", "--set",
                        "CheckBox72=1"},
                       dir);
    EXPECT_TRUE(qorva.waitForError(link + " is back", 20s)) << qorva.err();
    EXPECT_EQ(sim.finish(20s), 0) << sim.err();
    EXPECT_EQ(qorva.interrupt(10s), 0) << qorva.err();
    EXPECT_NE(qorva.err().find("lost " + link + ": "), std::string::npos) << qorva.err();
    for (int k = 1; k <= 6; ++k) {
        const std::string value = "0.01" + std::to_string(k);
        const auto first = qorva.out().find(value);
        EXPECT_NE(first, std::string::npos) << value << " typed: " << qorva.out();
        EXPECT_EQ(qorva.out().find(value, first + 1), std::string::npos) << value << " once";
    }
}

// The device named on the command line is opened whatever port the settings file holds,
// and one that is not there yet is waited for.
TEST(Headless, PortWinsOverTheSettingsFileAndIsWaitedFor) {
    for (const char* stored : {"-1", "99999999999", "3"}) {
        const std::string dir = freshFolder("headless-port");
        writeText(dir + "/qorva.ini", std::string("[allg]\r\nCommport=") + stored + "\r\n");
        const std::string link = dir + "/line";
        ChildProgram qorva(QORVA_HEADLESS, {"--headless", "--keys", "trace", "--port", link}, dir);
        EXPECT_TRUE(qorva.waitForError("cannot open " + link + ": ", 10s))
            << stored << ": " << qorva.err();
        ChildProgram sim(QORVA_SIM, {"--link", link, "--count", "0", "--hold", "3000"}, dir);
        EXPECT_TRUE(qorva.waitForError(link + " is back", 10s)) << stored << ": " << qorva.err();
        EXPECT_EQ(qorva.interrupt(10s), 0) << qorva.err();
        EXPECT_EQ(qorva.err().find("/dev/ttyS"), std::string::npos) << qorva.err();
    }
}

// Ctrl+C with records queued: the record being typed is finished, and each record is
// either typed or kept in the untyped file, never both, never neither.
TEST(Headless, AnInterruptKeepsTheQueuedRecords) {
    const std::string dir = freshFolder("headless-queue");
    const std::string link = dir + "/line";
    std::string records;
    for (int k = 10; k < 40; ++k) records += "0." + std::to_string(k) + "1\r\n";
    writeText(dir + "/records.txt", records);
    ChildProgram sim(
        QORVA_SIM,
        {"--from", dir + "/records.txt", "--link", link, "--interval", "0", "--hold", "10000"},
        dir);
    ASSERT_TRUE(appearsWithin(link, 10s));
    ChildProgram qorva(QORVA_HEADLESS,
                       {"--headless", "--keys", "sheet", "--port", link, "--set",
                        "Manufacturer=ThirdParty", "--set", "densito=Blatt5", "--set",
                        "CheckBox72=1"},
                       dir);
    ASSERT_TRUE(qorva.waitForError("Ctrl+C ends\n", 10s)) << qorva.err();
    std::this_thread::sleep_for(1500ms); // some records typed, the rest still queued
    EXPECT_EQ(qorva.interrupt(10s), 0) << qorva.err();
    std::string kept;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().rfind("qorva-untyped-", 0) == 0)
            kept = readText(entry.path().string());
    EXPECT_NE(kept, "") << "records were still queued: " << qorva.err();
    EXPECT_NE(qorva.err().find("queued records were not typed; they are kept in " + dir),
              std::string::npos)
        << qorva.err();
    for (int k = 10; k < 40; ++k) {
        const std::string value = "0." + std::to_string(k) + "1";
        const bool typed = qorva.out().find(value) != std::string::npos;
        const bool isKept = kept.find(value + "\r\n") != std::string::npos;
        EXPECT_NE(typed, isKept) << value << (typed ? " typed and kept" : " lost");
    }
}

// Standard output closed under the trace: no death by SIGPIPE, a message, the settings
// saved, and exit code 1.
TEST(Headless, AClosedStandardOutputEndsTheProgramCleanly) {
    const std::string dir = freshFolder("headless-closed-output");
    const std::string link = dir + "/line";
    ChildProgram sim(QORVA_SIM, {"--link", link, "--interval", "50", "--hold", "10000"}, dir);
    ASSERT_TRUE(appearsWithin(link, 10s));
    ChildProgram qorva(QORVA_HEADLESS,
                       {"--headless", "--keys", "trace", "--port", link, "--set",
                        "Manufacturer=ThirdParty", "--set", "densito=Blatt5"},
                       dir);
    ASSERT_TRUE(qorva.waitForError("Ctrl+C ends\n", 10s)) << qorva.err();
    qorva.closeOutput();
    EXPECT_EQ(qorva.finish(10s), 1) << qorva.err();
    EXPECT_NE(qorva.err().find("standard output is closed"), std::string::npos) << qorva.err();
    EXPECT_TRUE(std::filesystem::exists(dir + "/qorva.ini"));
}
