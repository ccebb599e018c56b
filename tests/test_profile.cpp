#include "platform/profile.h"
#include "text_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace qorva;

namespace {

std::string tempPath(const std::string& name) {
    return testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() +
           name;
}

} // namespace

TEST(Profile, ReadsWindowsStyleFiles) {
    const ProfileFile ini =
        ProfileFile::parse("\xEF\xBB\xBF; written by hand\r\n[ALLG]\r\nAp = 5\r\n"
                           "Commport=12\r\n[snst]\r\nfile=C:\\Programme\\Tabelle \xE4.xls\r\n"
                           "quoted=\"x y\"\r\n[allg]\r\nAP=1\r\n");
    struct Case {
        const char *section, *key, *fallback;
        int size;
        std::string expected;
    } cases[] = {
        {"allg", "AP", "3", 2, "5"}, // case-insensitive names, spaces around '='
        {"allg", "commport", "1", 3, "12"},
        {"allg", "Commport", "1", 2, "1"}, // the read width cuts the value
        {"allg", "Missing", "dflt", 9, "dflt"},
        {"nosection", "AP", "3", 2, "3"},
        {"snst", "file", "", 256, "C:\\Programme\\Tabelle \xE4.xls"}, // code-page bytes kept
        {"snst", "quoted", "", 9, "x y"},
        {"allg", "AP", "3", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.GetPrivateProfileString(c.section, c.key, c.fallback, c.size), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(ProfileFile::parse("[a]\nk=v\n").GetPrivateProfileString("A", "K", "", 9), "v");
}

TEST(Profile, WritesInPlaceAndKeepsEverythingElse) {
    ProfileFile ini =
        ProfileFile::parse("; comment\r\n[allg]\r\nAP=3\r\nOther=x\r\n[mine]\r\nkeep=1\r\n");
    ini.WritePrivateProfileString("ALLG", "ap", "5");
    ini.WritePrivateProfileString("allg", "New", "7");
    ini.WritePrivateProfileString("snst", "fl", "0");
    EXPECT_EQ(
        ini.text(),
        "; "
        "comment\r\n[allg]\r\nap=5\r\nOther=x\r\nNew=7\r\n[mine]\r\nkeep=1\r\n[snst]\r\nfl=0\r\n");

    ProfileFile lf = ProfileFile::parse("[a]\nk=1\n");
    lf.WritePrivateProfileString("a", "k", "2");
    EXPECT_EQ(lf.text(), "[a]\nk=2\n");

    const std::string path = tempPath(".ini");
    std::remove(path.c_str());
    EXPECT_FALSE(ProfileFile::load(path).exists());
    ASSERT_TRUE(ini.save(path));
    EXPECT_TRUE(ProfileFile::load(path).exists());
    EXPECT_EQ(test::readText(path), ini.text());
    EXPECT_FALSE(ini.save("/no/such/dir/qorva.ini"));
}

// A writer killed at any moment leaves the old file or the new one, never a mix.
TEST(Profile, AKilledWriterLeavesTheOldOrTheNewFile) {
    const std::string path = tempPath(".ini");
    ProfileFile oldFile, newFile;
    for (int k = 0; k < 400; ++k) {
        oldFile.WritePrivateProfileString("s" + std::to_string(k % 7), "key" + std::to_string(k),
                                          "old");
        newFile.WritePrivateProfileString("s" + std::to_string(k % 7), "key" + std::to_string(k),
                                          "new value");
    }
    ASSERT_TRUE(oldFile.save(path));
    for (int round = 0; round < 40; ++round) {
        const pid_t writer = fork();
        if (writer == 0) {
            for (;;) {
                newFile.save(path);
                oldFile.save(path);
            }
        }
        usleep(static_cast<useconds_t>(200 + round * 137 % 3000));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        const std::string now = test::readText(path);
        EXPECT_TRUE(now == oldFile.text() || now == newFile.text()) << "round " << round;
    }
}
