#include "app_world.h"
#include "platform/port_map.h"
#include "platform/profile.h"
#include "shell/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

using namespace qorva;
using namespace qorva::test;

namespace {

std::string stored(const std::string& path, const char* section, const char* key) {
    return ProfileFile::load(path).GetPrivateProfileString(section, key, "<missing>", 300);
}

} // namespace

TEST(Settings, NoFileGivesTheDefaults) {
    AppWorld w(settingsPath());
    TMainFrm& f = w.frm;
    EXPECT_EQ(f.densito.ActivePage(), &f.Blatt3);
    EXPECT_EQ(f.BaudRate.ItemIndex(), 5);
    EXPECT_EQ(f.Notation.ItemIndex(), 2);
    EXPECT_EQ(f.Ausgabeart.ItemIndex(), 0);
    EXPECT_EQ(f.Commport.ItemIndex(), 1);
    EXPECT_FALSE(f.Datumaus.Checked() || f.Zeitaus.Checked());
    EXPECT_FALSE(f.Burst.Checked()) << "records keep the pace of the parse tick";
    EXPECT_EQ(f.pipeline.monitorLineLimit(), RecordPipeline::kDefaultMonitorLines);
    for (int n = 1; n <= 56; ++n) EXPECT_TRUE(f.flags.checked(n) || !f.flags.box(n)) << n;
    EXPECT_TRUE(f.SHIFTEINFG.Checked());
    EXPECT_EQ(w.app.form3.digits(), "1234");
    EXPECT_EQ(w.app.form4.digits(), "1234567");
    EXPECT_EQ(f.parseState.RSbuffer, std::string(36, ' '));
    EXPECT_EQ(w.beeper.beeps, (std::vector<int>{0, 48})) << "the start beep, then COM2 is missing";
    EXPECT_NE(w.log.str().find("first start"), std::string::npos);
    EXPECT_TRUE(w.launcher.opened.empty());
}

TEST(Settings, EveryKeyWrittenAndReadBackGivesTheSameControls) {
    const std::string path = settingsPath();
    std::remove(path.c_str());
    {
        AppWorld w(path);
        TMainFrm& f = w.frm;
        f.densito.setActivePageIndex(4);
        f.BaudRate.setItemIndex(8);
        f.Notation.setItemIndex(1);
        f.Ausgabeart.setItemIndex(3);
        f.Commport.setItemIndex(6);
        f.Zeitaus.setChecked(true);
        f.Burst.setChecked(true);
        for (int n : {2, 9, 13, 20, 29, 39, 45, 47, 50, 51, 56}) f.flags.box(n)->setChecked(false);
        f.CTRLV.setChecked(true);
        w.app.form3.ea(2); // Cyan first: "2134"
        w.app.form4.crc(1, 7);
        w.app.form2.englisch.setChecked(true);
        w.app.startopt.Stj.setChecked(true);
        w.app.startopt.Choosedprgfile.setText("/home/shop/Tabelle.ods");
        w.app.startopt.Prgfilelist.setItems({"/home/shop/Tabelle.ods", "/home/shop/alt.ods"});
        w.app.startopt.Dens7Farbprg.setText("/opt/mx7000/messung.ods");
        w.app.Close();
    }
    AppWorld again(path);
    TMainFrm& f = again.frm;
    EXPECT_EQ(f.densito.ActivePageIndex(), 4);
    EXPECT_EQ(f.BaudRate.ItemIndex(), 8);
    EXPECT_EQ(f.Notation.ItemIndex(), 1);
    EXPECT_EQ(f.Ausgabeart.ItemIndex(), 3);
    EXPECT_EQ(f.Commport.ItemIndex(), 6);
    EXPECT_FALSE(f.Datumaus.Checked());
    EXPECT_TRUE(f.Zeitaus.Checked());
    EXPECT_TRUE(f.Burst.Checked());
    for (int n = 1; n <= 56; ++n) {
        if (!f.flags.box(n)) continue;
        const bool off = n == 2 || n == 9 || n == 13 || n == 20 || n == 29 || n == 39 || n == 45 ||
                         n == 47 || n == 50 || n == 51 || n == 56 || n == 54 ||
                         (n >= 40 && n <= 44);
        EXPECT_EQ(f.flags.checked(n), !off) << n;
    }
    EXPECT_TRUE(f.CTRLV.Checked());
    EXPECT_EQ(again.app.form3.digits(), "2134");
    EXPECT_EQ(again.app.form4.digits(), "7234561");
    EXPECT_TRUE(again.app.form2.englisch.Checked());
    EXPECT_TRUE(again.app.startopt.Stj.Checked());
    EXPECT_EQ(again.launcher.opened, std::vector<std::string>{"/home/shop/Tabelle.ods"});
    EXPECT_EQ(again.app.startopt.Prgfilelist.Items().size(), 2u);
    EXPECT_EQ(again.app.startopt.Dens7Farbprg.Text(), "/opt/mx7000/messung.ods");
    EXPECT_EQ(f.F7Prgst.Hint(), "/opt/mx7000/messung.ods");
    EXPECT_EQ(stored(path, "FarbDensi", "Messfkt"), "1011111010") << "54 follows 13";
    EXPECT_EQ(stored(path, "MX7000", "Messfkt"), "1111111110000001") << "40..44 follow 39";
}

TEST(Settings, StoredValuesAndTheirEdgeCases) {
    struct Case {
        const char* name;
        std::string file;
        std::function<void(AppWorld&)> check;
    } cases[] = {
        {"Commport 12 selects port 13", "[allg]\r\nCommport=12\r\n",
         [](AppWorld& w) { EXPECT_EQ(w.frm.Commport.ItemIndex(), 12); }},
        {"a port index above 14 selects port 15", "[allg]\r\nCommport=77\r\n",
         [](AppWorld& w) { EXPECT_EQ(w.frm.Commport.ItemIndex(), 14); }},
        {"Baudrate -1 reads as '-': item 0", "[allg]\r\nBaudrate=-1\r\n",
         [](AppWorld& w) { EXPECT_EQ(w.frm.BaudRate.ItemIndex(), 0); }},
        {"Baudrate 9: no item", "[allg]\r\nBaudrate=9\r\n",
         [](AppWorld& w) { EXPECT_EQ(w.frm.BaudRate.ItemIndex(), -1); }},
        {"AP other than 1, 2, 4, 5", "[allg]\r\nAP=x\r\n",
         [](AppWorld& w) { EXPECT_EQ(w.frm.densito.ActivePageIndex(), 2); }},
        {"Notation beyond its items: the last", "[allg]\r\nNotation=7\r\nAusgabeart=a\r\n",
         [](AppWorld& w) {
             EXPECT_EQ(w.frm.Notation.ItemIndex(), 2);
             EXPECT_EQ(w.frm.Ausgabeart.ItemIndex(), 0);
         }},
        {"MX7000 Messfkt position 16 is flag 53", "[MX7000]\r\nMessfkt=1111111111111110\r\n",
         [](AppWorld& w) {
             EXPECT_FALSE(w.frm.flags.checked(53));
             EXPECT_TRUE(w.frm.flags.checked(45));
         }},
        {"a short flag string leaves the rest as built", "[BWDensi]\r\nReflexion=00\r\n",
         [](AppWorld& w) {
             EXPECT_FALSE(w.frm.flags.checked(1) || w.frm.flags.checked(2));
             EXPECT_TRUE(w.frm.flags.checked(3) && w.frm.flags.checked(6));
         }},
        {"fl0 = '0' skips the start file and the recent list",
         "[snst]\r\nfl=1\r\nfl0=0\r\nfile=/x/y.ods\r\nl5=1\r\n[snst0]\r\nfl=6\r\nfile=/a.ods\r\n",
         [](AppWorld& w) {
             EXPECT_TRUE(w.launcher.opened.empty());
             EXPECT_TRUE(w.app.startopt.Prgfilelist.Items().empty());
             EXPECT_EQ(w.app.startopt.Choosedprgfile.Text(), "");
         }},
        {"length codes size the reads",
         "[snst]\r\nfl0=:\r\nfile=0123456789abc\r\nswprgl=A\r\n"
         "swprg=/opt/dot/area.ods/extra\r\n",
         [](AppWorld& w) {
             EXPECT_EQ(w.app.startopt.Choosedprgfile.Text(), "0123456789");
             EXPECT_EQ(w.app.startopt.SWDensPrg.Text(), "/opt/dot/area.ods");
         }},
        {"Sto 0 with a start file and fl 1 opens it anyway",
         "[snst]\r\nSto=0\r\nfl=1\r\nfl0=6\r\nfile=/a.ods\r\n",
         [](AppWorld& w) {
             EXPECT_EQ(w.launcher.opened, std::vector<std::string>{"/a.ods"});
             EXPECT_TRUE(w.app.startopt.Sn.Checked());
         }},
        {"stored orders with duplicates", "[snst]\r\nkonfig=1123\r\nkonfig2=1123456\r\n",
         [](AppWorld& w) {
             EXPECT_EQ(w.app.form3.digits(), "4123");
             EXPECT_EQ(w.app.form4.digits(), "7123456");
         }},
        {"Windows style: BOM, mixed case, CRLF, German language",
         "\xEF\xBB\xBF[ALLG]\r\nap=5\r\nSPRACHE=2\r\naus=11\r\n[plaxen]\r\ninfo=0001\r\n",
         [](AppWorld& w) {
             EXPECT_EQ(w.frm.densito.ActivePageIndex(), 4);
             EXPECT_TRUE(w.frm.Datumaus.Checked() && w.frm.Zeitaus.Checked());
             EXPECT_FALSE(w.frm.flags.checked(47));
             EXPECT_TRUE(w.frm.CTRLV.Checked());
             EXPECT_TRUE(w.app.form2.deutsch.Checked());
         }},
    };
    for (const auto& c : cases) {
        const std::string path = settingsPath();
        writeText(path, c.file);
        AppWorld w(path, true);
        SCOPED_TRACE(c.name);
        c.check(w);
    }
}

TEST(Settings, TheWriterKeepsItsFormats) {
    const std::string path = settingsPath();
    writeText(path,
              "; my notes\r\n[snst]\r\nl5=2\r\n[snst1]\r\nfl=1\r\nfile=x\r\n[unknown]\r\na=b\r\n");
    {
        AppWorld w(path);
        w.frm.BaudRate.setText("typed");
        w.app.startopt.Dens4Farbprg.setText(std::string(20, 'p'));
        w.app.startopt.DensVC.setText(std::string(13, 'v'));
        w.app.Close();
    }
    const std::string text = readText(path);
    EXPECT_EQ(text.rfind("; my notes\r\n", 0), 0u);
    EXPECT_NE(text.find("[unknown]\r\na=b\r\n"), std::string::npos);
    EXPECT_EQ(stored(path, "allg", "Baudrate"), "-1");
    EXPECT_EQ(stored(path, "snst", "4fprgl"), "D");
    EXPECT_NE(text.find("VCl==\r\n"), std::string::npos) << "13 characters: two equals signs";
    EXPECT_EQ(stored(path, "snst", "fl"), "0");
    EXPECT_EQ(stored(path, "snst", "fl0"), "0");
    EXPECT_NE(text.find("\r\nfile=\r\n"), std::string::npos);
    EXPECT_EQ(stored(path, "snst", "l5"), "2") << "left as it was";
    EXPECT_EQ(stored(path, "snst1", "file"), "x");
    EXPECT_EQ(stored(path, "allg", "Sprache"), "1") << "a file without the key reads English";
}

// Any bytes in any length load into a valid state.
TEST(Settings, RandomFilesAlwaysLoadIntoAValidState) {
    std::mt19937 random(5);
    const std::string keys[] = {"AP",     "Baudrate",  "Notation", "Ausgabeart", "Commport",
                                "Aus",    "Reflexion", "Messfkt",  "Farben",     "Info",
                                "konfig", "konfig2",   "fl",       "fl0",        "file",
                                "l5",     "swprgl",    "Sto"};
    const std::string sections[] = {"allg",   "BWDensi", "FarbDensi", "MX7000",
                                    "Plaxen", "snst",    "snst0"};
    const std::string path = settingsPath();
    for (int round = 0; round < 600; ++round) {
        std::string text;
        const int lines = std::uniform_int_distribution<int>(0, 30)(random);
        for (int k = 0; k < lines; ++k) {
            switch (std::uniform_int_distribution<int>(0, 3)(random)) {
            case 0:
                text += "[" + sections[random() % std::size(sections)] + "]\r\n";
                break;
            case 3: {
                const int n = std::uniform_int_distribution<int>(0, 300)(random);
                for (int b = 0; b < n; ++b) text += static_cast<char>(random() % 256);
                break;
            }
            default: {
                std::string value;
                const int n = std::uniform_int_distribution<int>(0, 20)(random);
                for (int b = 0; b < n; ++b) value += static_cast<char>(random() % 256);
                text += keys[random() % std::size(keys)] + "=" + value + "\n";
            }
            }
        }
        writeText(path, text);
        AppWorld w(path, true);
        for (const auto* order : {static_cast<const ColourOrderDialog*>(&w.app.form3),
                                  static_cast<const ColourOrderDialog*>(&w.app.form4)}) {
            std::string digits = order->digits();
            std::sort(digits.begin(), digits.end());
            ASSERT_EQ(digits, order->size() == 4 ? "1234" : "1234567") << text;
        }
        ASSERT_GE(w.frm.Notation.ItemIndex(), 0);
        ASSERT_GE(w.frm.Ausgabeart.ItemIndex(), 0);
        ASSERT_GE(w.frm.Commport.ItemIndex(), 0);
        ASSERT_LT(w.frm.BaudRate.ItemIndex(), 9);
        ASSERT_LE(w.app.startopt.Prgfilelist.Items().size(), 5u);
    }
}

TEST(Settings, TheMonitorLimitIsANumberAboveZeroOrTheDefault) {
    const struct {
        const char* stored;
        size_t limit;
    } cases[] = {{"500", 500},
                 {"0", RecordPipeline::kDefaultMonitorLines},
                 {"12x", RecordPipeline::kDefaultMonitorLines},
                 {"-5", RecordPipeline::kDefaultMonitorLines}};
    for (const auto& c : cases) {
        const std::string path = settingsPath();
        writeText(path, std::string("[monitor]\r\nLines=") + c.stored + "\r\n");
        AppWorld w(path, true);
        EXPECT_EQ(w.frm.pipeline.monitorLineLimit(), c.limit) << c.stored;
    }
}

// [ports] names the device behind a port number; keys that name no port from COM1 to
// COM16, empty paths and other sections leave the built-in /dev/ttyS devices.
TEST(Settings, ThePortsSectionNamesDevices) {
    const struct {
        const char* file;
        std::map<int, std::string> named; // port ordinal (0 is COM1) -> device
    } cases[] = {
        {"[ports]\r\nCOM3=/dev/ttyUSB0\r\n", {{2, "/dev/ttyUSB0"}}},
        {"[Ports]\ncom16=/dev/last\nCom1=/dev/first\n", {{15, "/dev/last"}, {0, "/dev/first"}}},
        {"[ports]\r\nCOM17=/dev/x\r\nCOM0=/dev/x\r\nCOMX=/dev/x\r\nLPT1=/dev/x\r\nCOM3=\r\n", {}},
        {"[allg]\r\nCOM4=/dev/elsewhere\r\n", {}},
    };
    for (const auto& c : cases) {
        PortMap ports;
        ReadPortMap(ProfileFile::parse(c.file), ports);
        for (int ordinal = 0; ordinal < 16; ++ordinal) {
            const auto named = c.named.find(ordinal);
            EXPECT_EQ(ports.pathFor(ordinal), named != c.named.end()
                                                  ? named->second
                                                  : "/dev/ttyS" + std::to_string(ordinal))
                << c.file;
        }
    }
}

TEST(Settings, MoveWaitIsWholeMillisecondsAndNeverNegative) {
    const struct {
        const char* file;
        int ms;
    } cases[] = {
        {"", 0},
        {"[keys]\r\nMoveWait=250\r\n", 250},
        {"[KEYS]\nmovewait=40\n", 40},
        {"[keys]\r\nMoveWait=12ms\r\n", 12},
        {"[keys]\r\nMoveWait=slow\r\n", 0},
        {"[keys]\r\nMoveWait=-40\r\n", 0},
        {"[keys]\r\nMoveWait=1234567\r\n", 12345},
        {"[allg]\r\nMoveWait=250\r\n", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadMoveWait(ProfileFile::parse(c.file)), c.ms) << c.file;
}

// The port's own key wait stands unless a number replaces it: a typo must not switch the
// pace off.
TEST(Settings, KeyWaitIsWholeMillisecondsOrThePortsOwn) {
    const struct {
        const char* file;
        int ms;
    } cases[] = {
        {"", 5},
        {"[keys]\r\nKeyWait=0\r\n", 0},
        {"[keys]\r\nKeyWait=12ms\r\n", 12},
        {"[keys]\r\nKeyWait=fast\r\n", 5},
        {"[keys]\r\nKeyWait=-1\r\n", 5},
        {"[keys]\r\nKeyWait=\r\n", 5},
        {"[keys]\r\nKeyWait=123456\r\n", 1234},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadKeyWait(ProfileFile::parse(c.file), 5), c.ms) << c.file;
}

// Closing with records queued loses none: they are kept, as received, in a file beside
// the settings that the simulator can send again, and the close says how many.
TEST(Settings, RecordsStillQueuedAtCloseAreKeptBesideTheSettings) {
    const std::string dir = testing::TempDir() + "untyped-at-close";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    AppWorld w(dir + "/qorva.ini");
    w.frm.Manufacturer.setActivePageIndex(1);
    w.frm.densito.setFromText("Blatt5");
    w.frm.Commport.setItemIndex(0);
    w.frm.Button3.Click();
    std::string sent;
    for (int k = 0; k < 8; ++k) sent += "0.01" + std::to_string(k) + "\r\n";
    w.frm.pipeline.CommPortDriver1ReceiveData(sent.data(), static_cast<int>(sent.size()));
    w.loop.runUntil(w.loop.now() + 150);
    const std::deque<std::string> queued = w.frm.pipeline.RSBUF;
    ASSERT_FALSE(queued.empty());
    ASSERT_LT(queued.size(), 8u) << "one is typed";
    w.app.Close();
    std::string kept;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().rfind("qorva-untyped-", 0) == 0)
            kept = readText(entry.path().string());
    std::string expected;
    for (const auto& record : queued) expected += record;
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(sent.substr(sent.size() - kept.size()), kept) << "the last records, as received";
    EXPECT_NE(w.log.str().find(std::to_string(queued.size()) + " queued records were not typed"),
              std::string::npos)
        << w.log.str();
}

// A settings file that cannot be used never stops the start: the defaults, one message
// naming the file and the reason, and the file left as it is at close.
TEST(Settings, AFileThatCannotBeUsedGivesTheDefaultsAndIsLeftAlone) {
    const std::string dir = testing::TempDir() + "unusable-settings";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); },
         "is not a regular file"},
        {"a link to dev-zero",
         [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
         "is not a regular file"},
        {"2 MiB", [](const std::string& p) { writeText(p, std::string(2 << 20, 'x')); },
         "is larger than 1048576 bytes"},
    };
    for (const auto& c : cases) {
        const std::string path = dir + "/" + c.name + ".ini";
        c.make(path);
        const auto before = std::filesystem::symlink_status(path).type();
        {
            AppWorld w(path);
            EXPECT_EQ(w.frm.BaudRate.ItemIndex(), 5) << c.name;
            EXPECT_NE(w.log.str().find(path + " " + c.reason + ": it is not used"),
                      std::string::npos)
                << c.name << ": " << w.log.str();
            w.app.Close();
            EXPECT_NE(w.log.str().find("was not used; the settings are not saved"),
                      std::string::npos)
                << c.name << ": " << w.log.str();
        }
        EXPECT_EQ(std::filesystem::symlink_status(path).type(), before) << c.name;
        EXPECT_FALSE(std::filesystem::exists(path + ".new")) << c.name;
    }
    const std::string big = dir + "/2 MiB.ini";
    EXPECT_EQ(std::filesystem::file_size(big), size_t{2} << 20) << "not replaced";
}

// Garbage loads by the reading rules, and every value not taken as written is reported
// with the value used instead.
TEST(Settings, GarbageLoadsByTheRulesAndWhatIsNotUnderstoodIsReported) {
    const std::string path = settingsPath();
    std::string garbage;
    for (int k = 0; k < 4096; ++k) garbage += static_cast<char>((k * 7919) % 256);
    writeText(path, garbage + "\r\n[allg]\r\nBaudrate=x\r\nCommport=99999999999\r\nAP=9\r\n"
                              "Notation=1\r\n[BWDensi]\r\nReflexion=1x1101\r\n");
    AppWorld w(path);
    EXPECT_EQ(w.frm.BaudRate.ItemIndex(), 0);
    EXPECT_EQ(w.frm.Commport.ItemIndex(), static_cast<int>(w.frm.Commport.Items().size()) - 1);
    EXPECT_EQ(w.frm.densito.ActivePageIndex(), 2);
    EXPECT_EQ(w.frm.Notation.ItemIndex(), 1);
    const std::vector<std::string> reported = {
        "[allg] Baudrate=x is not understood; 0 is used",
        "[allg] Commport=99 is not understood; " +
            std::to_string(w.frm.Commport.Items().size() - 1) + " is used",
        "[allg] AP=9 is not understood; 3 is used",
        "[BWDensi] Reflexion=1x1101 is not understood; 0 for each character but 1"};
    for (const std::string& said : reported)
        EXPECT_NE(w.log.str().find(path + ": " + said), std::string::npos) << said << "\n"
                                                                           << w.log.str();
    EXPECT_EQ(w.log.str().find("Notation"), std::string::npos) << "understood: not reported";
}

// A file its owner made read-only is not replaced; a temporary file a killed save left
// (here a link that would write through to another file) is removed, not written into.
TEST(Settings, ReadOnlyFilesStayAndLeftTemporaryFilesGo) {
    const std::string path = settingsPath();
    writeText(path, "[allg]\r\nBaudrate=3\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    {
        AppWorld w(path);
        w.frm.BaudRate.setItemIndex(7);
        w.app.Close();
        EXPECT_NE(w.log.str().find(path + " is read-only; the settings are not saved"),
                  std::string::npos)
            << w.log.str();
    }
    EXPECT_EQ(readText(path), "[allg]\r\nBaudrate=3\r\n");

    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    const std::string victim = settingsPath("-victim");
    writeText(victim, "untouched");
    std::filesystem::remove(path + ".new");
    std::filesystem::create_symlink(victim, path + ".new");
    {
        AppWorld w(path);
        w.app.Close();
    }
    EXPECT_EQ(readText(victim), "untouched");
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
    EXPECT_NE(readText(path).find("Baudrate=3"), std::string::npos);
}
