#include "app_world.h"
#include "child_program.h"
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
