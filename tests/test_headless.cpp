#include "app_world.h"
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qorva;
using namespace qorva::test;

namespace {

// Runs the headless program in dir for a moment, then ends it as Ctrl+C would.
int runHeadless(const std::string& dir, std::vector<std::string> arguments) {
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dir.c_str()) != 0) _exit(99);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        arguments.insert(arguments.begin(), {QORVA_HEADLESS, "--headless", "--keys", "trace"});
        std::vector<char*> argv;
        for (auto& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(QORVA_HEADLESS, argv.data());
        _exit(98);
    }
    usleep(700000);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(Headless, ASecondRunKeepsWhatTheFirstRunSet) {
    const std::string dir = testing::TempDir() + "headless-twice";
    mkdir(dir.c_str(), 0755);
    const std::string ini = dir + "/qorva.ini";
    writeText(ini,
              "[snst]\r\nkonfig=2134\r\nkonfig2=7123456\r\n[ports]\r\nCOM5=/dev/null-port\r\n");
    ASSERT_EQ(
        runHeadless(dir, {"--set", "densito=Blatt5", "--set", "Notation=1", "--set", "Ausgabeart=2",
                          "--set", "Commport=4", "--set", "CheckBox5=0", "--set", "Zeitaus=1"}),
        0);
    ASSERT_EQ(runHeadless(dir, {}), 0);
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
